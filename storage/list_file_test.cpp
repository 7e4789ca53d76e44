#include "storage/list_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(StationListText, LoadThenSave) {
  struct Row {
    const char* label;
    std::string bytes;
    StationRows rows;
    std::string saved;  // what saving the loaded rows writes
  } rows[] = {
      {"A B with CR LF", "A\r\nB\r\n", {"A", "B"}, "A\r\nB\r\n"},
      {"LF only", "A\nB\n", {"A", "B"}, "A\r\nB\r\n"},
      {"lone CR", "A\rB\r", {"A", "B"}, "A\r\nB\r\n"},
      {"no final break", "A\r\nB", {"A", "B"}, "A\r\nB\r\n"},
      {"single row without break", "Rock", {"Rock"}, "Rock\r\n"},
      {"CR CR", "A\r\rB\r\n", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
      {"empty line inside", "A\r\n\r\nB", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
      {"LF CR is two breaks", "A\n\rB", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
      {"NUL ends the data", "A\r\n\0B\r\nC\r\n"s, {"A"}, "A\r\n"},
      {"NUL inside a row", "A\0B\r\nC\r\n"s, {"A"}, "A\r\n"},
      {"NUL first", "\0A\r\n"s, {}, ""},
      {"empty file", "", {}, ""},
      {"lone CR LF", "\r\n", {""}, "\r\n"},
      {"two breaks at the end", "A\r\n\r\n", {"A", ""}, "A\r\n\r\n"},
      {"duplicates and spaces kept", " A \r\n A \r\n", {" A ", " A "}, " A \r\n A \r\n"},
      {"8-bit letters",
       "\xD1\xEF\xEA\r\n\xE9\r\n",
       {"\xD1\xEF\xEA", "\xE9"},
       "\xD1\xEF\xEA\r\n\xE9\r\n"},
      {"tab is not a break", "A\tB\r\n", {"A\tB"}, "A\tB\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const StationRows loaded = ParseStationRows(row.bytes);
    EXPECT_EQ(loaded, row.rows);
    EXPECT_EQ(SerializeStationRows(loaded), row.saved);
    // What was saved loads back as the same rows.
    EXPECT_EQ(ParseStationRows(SerializeStationRows(loaded)), row.rows);
  }
}

// Rows are searched a word at a time: every break at every place in a word,
// beside bytes that differ from CR or LF in one bit only.
TEST(StationListText, BreaksFoundAtEveryOffsetOfAWord) {
  const std::string filler = "\x8D\x8A\x0C\x0E\x0B\x09\x8Dx\x8A\x2D\x4A\xFFyz\x01\x80";
  for (const char* line_break : {"\r", "\n", "\r\n"}) {
    for (std::size_t before = 0; before <= filler.size(); ++before) {
      SCOPED_TRACE(::testing::Message() << "break "
                                        << (line_break[1]           ? "CR LF"
                                            : line_break[0] == '\r' ? "CR"
                                                                    : "LF")
                                        << " after " << before << " bytes");
      const std::string first = filler.substr(0, before);
      const std::string second = filler.substr(before);
      EXPECT_EQ(ParseStationRows(first + line_break + second + line_break + "z"),
                (StationRows{first, second, "z"}));
    }
  }
}

TEST(StationListText, SaveWritesCrLfAfterEveryRow) {
  struct Row {
    const char* label;
    StationRows rows;
    std::string bytes;
  } rows[] = {
      {"no rows", {}, ""},
      {"one empty row", {""}, "\r\n"},
      {"order kept", {"Zeta", "Alpha", "Mid"}, "Zeta\r\nAlpha\r\nMid\r\n"},
      {"empty rows between", {"", "A", ""}, "\r\nA\r\n\r\n"},
      {"long row", {std::string(5000, 'x')}, std::string(5000, 'x') + "\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(SerializeStationRows(row.rows), row.bytes);
  }
}

// Written through a buffer of any size, even smaller than a row or a line
// end, the bytes are the saved form exactly, and every piece but the last
// fills the buffer.
TEST(StationListText, WrittenThroughABufferAsSaved) {
  const StationRows lists[] = {
      {},
      {""},
      {"Rock"},
      {"Rock", "", "Jazz FM", std::string(300, 'x'), "\xC1\xE8\xE3"},
  };
  for (const StationRows& rows : lists) {
    for (const std::size_t size : {1u, 2u, 3u, 5u, 64u, 4096u}) {
      SCOPED_TRACE(::testing::Message() << rows.size() << " rows, buffer " << size);
      std::vector<char> buffer(size);
      std::vector<std::string> pieces;
      EXPECT_TRUE(WriteStationRows(rows, buffer, [&](std::string_view piece) {
        pieces.emplace_back(piece);
        return true;
      }));
      std::string all;
      for (const auto& piece : pieces) all += piece;
      EXPECT_EQ(all, SerializeStationRows(rows));
      for (std::size_t i = 0; i + 1 < pieces.size(); ++i) EXPECT_EQ(pieces[i].size(), size);
      if (!pieces.empty()) EXPECT_FALSE(pieces.back().empty());
    }
  }
}

// A write that fails (a full disk) ends the writing there.
TEST(StationListText, WritingStopsAtTheFirstFailedWrite) {
  const StationRows rows(50, "Station");
  std::vector<char> buffer(16);
  for (int fail_at : {1, 2, 10}) {
    SCOPED_TRACE(fail_at);
    int calls = 0;
    EXPECT_FALSE(
        WriteStationRows(rows, buffer, [&](std::string_view) { return ++calls < fail_at; }));
    EXPECT_EQ(calls, fail_at);
  }
  std::vector<char> none;
  EXPECT_FALSE(WriteStationRows(rows, none, [](std::string_view) { return true; }));
}

}  // namespace
