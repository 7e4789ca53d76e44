#include "storage/settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

struct Row {
  const char* label;
  std::string text;
  std::optional<int32_t> number;  // nullopt: not an integer
  bool on;                        // read with the default false
};

const Row kRows[] = {
    {"one", "1", 1, true},
    {"zero", "0", 0, false},
    {"two", "2", 2, true},
    {"minus one", "-1", -1, true},
    {"0x10", "0x10", 16, true},
    {"0x0", "0x0", 0, false},
    {"word true", "true", std::nullopt, false},
    {"word yes", "yes", std::nullopt, false},
    {"x1A", "x1A", 26, true},
    {"minus 0x10", "-0x10", -16, true},
    {"plus zero", "+0", 0, false},
    {"space inside", "1 2", std::nullopt, false},
    {"empty", "", std::nullopt, false},
    {"lone dollar", "$", std::nullopt, false},
    {"lone minus", "-", std::nullopt, false},
    {"lone plus", "+", std::nullopt, false},
    {"lone 0x", "0x", std::nullopt, false},
    {"lone x", "x", std::nullopt, false},
    {"int32 max", "2147483647", kMax, true},
    {"int32 max plus one", "2147483648", std::nullopt, false},
    {"int32 min", "-2147483648", kMin, true},
    {"int32 min minus one", "-2147483649", std::nullopt, false},
    {"long leading zeros", "00000000002147483647", kMax, true},
    {"0xFFFFFFFF", "0xFFFFFFFF", -1, true},
    {"0x100000000", "0x100000000", std::nullopt, false},
    {"hex leading zeros fit", "$000000000001", 1, true},
    {"dollar lower case", "$ff", 255, true},
    {"minus dollar 80000000", "-$80000000", kMin, true},
    {"minus dollar FFFFFFFF", "-$FFFFFFFF", 1, true},
    {"capital X zero", "X0", 0, false},
    {"0X capital", "0X1f", 31, true},
    {"leading spaces", "   1", 1, true},
    {"leading spaces zero", "   0", 0, false},
    {"leading space sign 0x", " -0x1", -1, true},
    {"trailing space", "1 ", std::nullopt, false},
    {"leading tab", "\t1", std::nullopt, false},
    {"space after sign", "- 1", std::nullopt, false},
    {"two signs", "+-1", std::nullopt, false},
    {"sign after 0x", "0x-1", std::nullopt, false},
    {"sign after dollar", "$-1", std::nullopt, false},
    {"bad hex digit", "0x1g", std::nullopt, false},
    {"double prefix", "0xx1", std::nullopt, false},
    {"dollar then 0x", "$0x1", std::nullopt, false},
    {"exponent", "1e3", std::nullopt, false},
    {"decimal point", "1.0", std::nullopt, false},
    {"hex letters without prefix", "1A", std::nullopt, false},
    // The profile read gives back at most 2047 characters; a value that
    // long is judged whole.
    {"2047 zeros", std::string(2047, '0'), 0, false},
    {"2046 zeros and a 7", std::string(2046, '0') + "7", 7, true},
    {"2046 spaces and a 1", std::string(2046, ' ') + "1", 1, true},
    {"2047 nines", std::string(2047, '9'), std::nullopt, false},
    {"$ and 2046 F", std::string("$").append(2046, 'F'), std::nullopt, false},
};

TEST(ProfileInteger, EveryRuleOfTheValue) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(ParseProfileInteger(row.text), row.number);
    EXPECT_EQ(ProfileBool(row.text, false), row.on);
    // With the default true, only a real integer 0 reads as off.
    EXPECT_EQ(ProfileBool(row.text, true), row.on || !row.number.has_value());
  }
}

}  // namespace
