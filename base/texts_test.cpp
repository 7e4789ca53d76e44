#include "base/texts.h"

#include <gtest/gtest.h>

TEST(ErrorBoxText, ClosingFullStopRule) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"", ""},
      {"Stream write error", "Stream write error."},
      {"Done.", "Done."},
      {"List index out of bounds (-1)", "List index out of bounds (-1)"},
      {"Stop!", "Stop!"},
      {"ends in -", "ends in -"},     // '-' sorts before '.'
      {"ends in /", "ends in /."},    // '/' sorts after '.'
      {"Greek \xC1", "Greek \xC1."},  // bytes above 127 sort after '.'
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(ErrorBoxText(rows[i].in), rows[i].out);
  }
}

TEST(TidySystemMessage, DropsTrailingSpacesControlsAndStops) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"Access is denied.\r\n", "Access is denied"},
      {"The process cannot access the file. . \r\n", "The process cannot access the file"},
      {"No trailing", "No trailing"},
      {"...", ""},
      {"", ""},
      {"v1.2 inside.", "v1.2 inside"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(TidySystemMessage(rows[i].in), rows[i].out);
  }
}

TEST(FillText, PlaceholdersInOrder) {
  EXPECT_EQ(FillText("Cannot open file \"%s\". %s", {"C:\\a b\\lista.qmx", "Access is denied"}),
            "Cannot open file \"C:\\a b\\lista.qmx\". Access is denied");
  EXPECT_EQ(FillText("Unable to write to %s", {}), "Unable to write to ");
  EXPECT_EQ(FillNumber("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
}
