#include "app/controller/type_ahead.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Stroke {
  char key;
  std::uint32_t at_ms;
};

struct PrefixCase {
  const char* label;
  std::vector<Stroke> strokes;
  std::string prefix;
};

TEST(TypeAheadTest, PrefixFollowsTypingPausesAndBackspace) {
  const PrefixCase cases[] = {
      {"letters in quick succession join", {{'r', 0}, {'o', 100}, {'c', 200}}, "roc"},
      {"a pause of 499 ms keeps the prefix", {{'r', 0}, {'o', 499}}, "ro"},
      {"a pause of exactly 500 ms starts afresh", {{'r', 0}, {'o', 500}}, "o"},
      {"the pause counts from the last key, not the first",
       {{'a', 0}, {'b', 400}, {'c', 800}, {'d', 1200}},
       "abcd"},
      {"backspace drops the last letter", {{'j', 0}, {'a', 50}, {'\b', 100}}, "j"},
      {"backspace on nothing stays empty", {{'\b', 0}, {'\b', 10}}, ""},
      {"backspace after a pause clears, then drops nothing",
       {{'a', 0}, {'b', 10}, {'\b', 900}},
       ""},
      {"typing after backspace goes on from the shorter prefix",
       {{'a', 0}, {'x', 10}, {'\b', 20}, {'b', 30}},
       "ab"},
      {"Enter, Escape and Tab are not letters",
       {{'a', 0}, {'\r', 10}, {'\x1b', 20}, {'\t', 30}},
       "a"},
      {"a control key does not restart the pause clock", {{'a', 0}, {'\r', 450}, {'b', 600}}, "b"},
      {"space is part of a station name", {{'r', 0}, {'o', 10}, {' ', 20}}, "ro "},
      {"8-bit letters are kept as they are", {{'\xc1', 0}, {'\xe8', 10}}, "\xc1\xe8"},
      {"the clock may wrap between two keys", {{'x', 0xFFFFFF00u}, {'y', 0x00000010u}}, "xy"},
      {"a long pause across the wrap still resets", {{'x', 0xFFFFFF00u}, {'y', 0x00000200u}}, "y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TypeAhead typing;
    for (const auto& stroke : c.strokes) typing.Key(stroke.key, stroke.at_ms);
    EXPECT_EQ(typing.Prefix(), c.prefix);
  }
}

TEST(TypeAheadTest, ReportsWhetherToSearchTheRowsAgain) {
  struct Case {
    const char* label;
    std::vector<Stroke> before;
    Stroke key;
    bool changed;
  };
  const Case cases[] = {
      {"a first letter", {}, {'a', 0}, true},
      {"backspace on an empty prefix", {}, {'\b', 0}, false},
      {"backspace on a letter", {{'a', 0}}, {'\b', 10}, true},
      {"Enter", {{'a', 0}}, {'\r', 10}, false},
      {"the same letter again after a pause searches afresh", {{'a', 0}}, {'a', 700}, true},
      {"backspace after a pause on nothing", {{'\b', 0}}, {'\b', 700}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TypeAhead typing;
    for (const auto& stroke : c.before) typing.Key(stroke.key, stroke.at_ms);
    EXPECT_EQ(typing.Key(c.key.key, c.key.at_ms), c.changed);
  }
}

TEST(TypeAheadTest, FindsTheFirstRowThatBeginsWithThePrefix) {
  const std::vector<std::string> rows = {
      "Rock FM", "rock classics", "Radio One", "Jazz", "Jazz Lounge", "", "R"};
  const auto row = [&rows](int i) { return rows.at(static_cast<std::size_t>(i)); };
  const int count = static_cast<int>(rows.size());
  struct Case {
    const char* label;
    const char* prefix;
    int row;
  };
  const Case cases[] = {
      {"one letter: the first of several", "r", 0},
      {"upper and lower case are the same", "ROCK", 0},
      {"the longer prefix picks the later row", "rock c", 1},
      {"a row that shares only the first letter", "ra", 2},
      {"a whole row as the prefix", "jazz lounge", 4},
      {"a prefix longer than every row", "jazz lounge and more", -1},
      {"no row begins so", "x", -1},
      {"an empty prefix finds nothing", "", -1},
      {"a one-letter row after longer ones", "r", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FindFirstRow(count, row, c.prefix, AsciiUpper), c.row);
  }
}

TEST(TypeAheadTest, ComparesLettersThroughTheGivenFold) {
  // A fold that makes two 8-bit letters the same, as a code page's case
  // rules do for Greek capitals and small letters.
  const auto greek = [](unsigned char c) -> unsigned char {
    return c >= 0xE1 && c <= 0xF9 ? static_cast<unsigned char>(c - 0x20) : c;
  };
  const std::vector<std::string> rows = {"\xd1\xe1\xe4\xe9\xef", "\xc1\xe8\xdc"};
  const auto row = [&rows](int i) { return rows.at(static_cast<std::size_t>(i)); };
  struct Case {
    const char* label;
    const char* prefix;
    int row;
  };
  const Case cases[] = {
      {"small letters find the capital", "\xf1\xe1", 0},
      {"capitals find small letters", "\xd1\xc1\xc4", 0},
      {"the second row", "\xe1", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FindFirstRow(2, row, c.prefix, greek), c.row);
  }
  EXPECT_EQ(FindFirstRow(2, row, "\xf1", AsciiUpper), -1)
      << "without the fold, case differences in 8-bit letters do not match";
}

}  // namespace
