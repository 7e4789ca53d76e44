#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A settings value read as a 32-bit integer. A text longer than two
// characters that starts with "0x" or "0X" has those two replaced by "$"
// first. Then: leading spaces (character 32 only) are skipped; one optional
// "+" or "-"; then either decimal digits within the int32 range, or a
// hexadecimal prefix ("$", "x", "X", "0x", "0X") and hexadecimal digits
// whose value fits in 32 bits, taken as two's complement and negated after
// "-". Nothing may follow. Anything else gives no value.
std::optional<int32_t> ParseProfileInteger(std::string_view text);

// The flag a settings value stands for: its integer is not 0. A text that
// is not an integer counts as 0 when `fallback` is false, 1 when it is true.
bool ProfileBool(std::string_view text, bool fallback);
