#include "onair/on_air_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(OnAirFileTest, EntriesComeBackAsWritten) {
  const std::string every_byte = [] {
    std::string s;
    for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
    return s;
  }();
  const std::vector<OnAirEntry> entries = {
      {4242, 133'456'789'012'345'678ull, "C:\\Radio\\talvex.exe", "Rock", "C:\\Radio\\talvex.exe",
       "Rock", "", 5},
      {1, 0, "", "", "", "", "", 0},
      {4'294'967'295ul, 18'446'744'073'709'551'615ull, "Z:\\a|b%c\\t.exe", "Rock|FM 100%", "x",
       "Rock|FM 100%", "C:\\work", 1},
      {7, 7, every_byte, every_byte, every_byte, every_byte, every_byte, 10},
  };
  StationRows lines;
  for (const OnAirEntry& entry : entries) lines.push_back(EncodeOnAirEntry(entry));
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
  }
  EXPECT_EQ(ParseOnAirEntries(lines), entries);
}

TEST(OnAirFileTest, LinesThatAreNoEntryAreSkipped) {
  const std::string good = "12|34|5|C:\\t.exe|Rock|C:\\t.exe|Rock|";
  const struct {
    const char* label;
    std::string line;
  } rows[] = {
      {"empty", ""},
      {"a field short", "12|34|5|C:\\t.exe|Rock|C:\\t.exe|Rock"},
      {"a field more", good + "|"},
      {"pid not a number", "x2|34|5|C:\\t.exe|Rock|C:\\t.exe|Rock|"},
      {"pid negative", "-2|34|5|C:\\t.exe|Rock|C:\\t.exe|Rock|"},
      {"pid empty", "|34|5|C:\\t.exe|Rock|C:\\t.exe|Rock|"},
      {"creation time too large", "12|18446744073709551616|5|C:\\t.exe|Rock|C:\\t.exe|Rock|"},
      {"escape cut short", "12|34|5|C:\\t.exe|Rock%4|C:\\t.exe|Rock|"},
      {"escape not hex", "12|34|5|C:\\t.exe|Rock%G0|C:\\t.exe|Rock|"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::vector<OnAirEntry> entries = ParseOnAirEntries({good, row.line, good});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].process_id, 12u);
    EXPECT_EQ(entries[1].station, "Rock");
  }
}

}  // namespace
