// The settings value rule against a second reading of it that works on
// whole digit strings instead of accumulating a number.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "storage/settings.h"

namespace {

bool AllOf(std::string_view s, bool hex) {
  for (char c : s) {
    const bool digit = c >= '0' && c <= '9';
    const bool letter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!digit && !(hex && letter)) return false;
  }
  return !s.empty();
}

std::string_view WithoutLeadingZeros(std::string_view s) {
  while (s.size() > 1 && s[0] == '0') s.remove_prefix(1);
  return s;
}

// Numbers compared as digit strings of equal length.
bool AtMost(std::string_view digits, std::string_view limit) {
  digits = WithoutLeadingZeros(digits);
  if (digits.size() != limit.size()) return digits.size() < limit.size();
  return digits <= limit;
}

std::optional<int64_t> Reference(std::string text) {
  if (text.size() > 2 && text.rfind("0x", 0) == 0) text = "$" + text.substr(2);
  if (text.size() > 2 && text.rfind("0X", 0) == 0) text = "$" + text.substr(2);
  std::string_view s = text;
  s.remove_prefix(std::min(s.find_first_not_of(' '), s.size()));
  int sign = 1;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    sign = s[0] == '-' ? -1 : 1;
    s.remove_prefix(1);
  }
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (s.substr(0, prefix.size()) == prefix && AllOf(s.substr(prefix.size()), true)) {
      std::string_view digits = WithoutLeadingZeros(s.substr(prefix.size()));
      if (digits.size() > 8) return std::nullopt;
      const int64_t value = static_cast<int64_t>(std::stoull(std::string(digits), nullptr, 16));
      const int64_t as_int32 = value >= 0x80000000LL ? value - 0x100000000LL : value;
      int64_t result = sign * as_int32;
      if (result == 0x80000000LL) result = -0x80000000LL;  // -(INT32_MIN) wraps
      return result;
    }
  }
  if (!AllOf(s, false)) return std::nullopt;
  if (!AtMost(s, sign < 0 ? "2147483648" : "2147483647")) return std::nullopt;
  return sign * std::stoll(std::string(WithoutLeadingZeros(s)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::optional<int32_t> got = ParseProfileInteger(text);
  const std::optional<int64_t> want = Reference(text);
  if (got.has_value() != want.has_value()) std::abort();
  if (got && *got != *want) std::abort();
  if (ProfileBool(text, false) != (want ? *want != 0 : false)) std::abort();
  if (ProfileBool(text, true) != (want ? *want != 0 : true)) std::abort();
  return 0;
}
