#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "textlib/message_texts_win.h"
#include "textlib/velnorix.h"

namespace {

TEST(Velnorix, TextsOfTheController) {
  struct Row {
    const char* label;
    int number;
    bool known;
  };
  const Row rows[] = {
      {"removal question", 103, true}, {"type a name", 104, true},
      {"choose a station", 105, true}, {"zero", 0, false},
      {"below the range", 102, false}, {"above the range", 106, false},
      {"negative", -103, false},       {"smallest int", INT_MIN, false},
      {"largest int", INT_MAX, false},
  };
  LibraryMessageTexts texts;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const char* raw = helpTXT(row.number);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(std::strlen(raw) > 0, row.known);
    EXPECT_EQ(texts.Text(row.number), std::string(raw));
  }
}

TEST(Velnorix, TextsAreDistinctAndSingleLine) {
  const int numbers[] = {103, 104, 105};
  for (int a : numbers) {
    SCOPED_TRACE(a);
    const std::string text = helpTXT(a);
    EXPECT_EQ(text.find_first_of("\r\n\t"), std::string::npos);
    for (int b : numbers) {
      if (a != b) {
        EXPECT_NE(text, std::string(helpTXT(b)));
      }
    }
  }
}

TEST(Velnorix, PointerStaysValid) {
  const char* first = helpTXT(104);
  const std::string copy = first;
  // Other look-ups in between must not overwrite the earlier text.
  for (int n = 0; n < 1000; ++n) (void)helpTXT(n);
  EXPECT_EQ(std::string(first), copy);
  EXPECT_EQ(helpTXT(104), first);
}

TEST(Velnorix, ImportedByNameFromTheLibrary) {
  HMODULE module = GetModuleHandleA("velnorix.dll");
  ASSERT_NE(module, nullptr) << "the program does not import velnorix.dll";
  FARPROC by_name = GetProcAddress(module, "helpTXT");
  ASSERT_NE(by_name, nullptr);
  EXPECT_EQ(reinterpret_cast<void*>(by_name), reinterpret_cast<void*>(&helpTXT));
}

// The program's own texts come from its string table, whatever the library
// holds: they must be there, whole, and not the library's.
TEST(OwnTexts, FromTheProgramsStringTable) {
  struct Row {
    const char* label;
    OwnText id;
    const char* begins;
    const char* ends;
  };
  const Row rows[] = {
      {"folder kept", OwnText::kFolderKept, "The station was removed from the list, but its folder",
       "so nothing was deleted."},
      {"list not loaded", OwnText::kListNotLoaded, "The station list \"%s\" could not be read",
       "so it was left as it was"},
  };
  LibraryMessageTexts texts;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string text = texts.Own(row.id);
    EXPECT_EQ(text.rfind(row.begins, 0), 0u) << text;
    ASSERT_GE(text.size(), std::strlen(row.ends));
    EXPECT_EQ(text.substr(text.size() - std::strlen(row.ends)), row.ends) << text;
    for (int n = 100; n < 110; ++n) EXPECT_NE(text, texts.Text(n)) << n;
  }
}

}  // namespace
