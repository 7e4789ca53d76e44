#include "storage/station_names.h"

#include <array>
#include <string>

namespace {

constexpr size_t kBlankPatternLength = 250;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsReservedDeviceName(std::string_view name) {
  // The device name is what comes before the first dot, with trailing
  // spaces ignored ("NUL .txt" is NUL too).
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::string upper;
  for (char c : stem) upper.push_back(Upper(c));
  static constexpr std::array<std::string_view, 4> kPlain = {"CON", "PRN", "AUX", "NUL"};
  for (auto reserved : kPlain) {
    if (upper == reserved) return true;
  }
  if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"))) {
    const char digit = upper[3];
    // Windows also reserves the superscript digits 1 to 3 (0xB9, 0xB2, 0xB3).
    const auto d = static_cast<unsigned char>(digit);
    if ((digit >= '1' && digit <= '9') || d == 0xB9 || d == 0xB2 || d == 0xB3) return true;
  }
  // COM0 and LPT0 are reserved on current Windows; CLOCK$ on older ones.
  if (upper == "COM0" || upper == "LPT0") return true;
  if (upper == "CONIN$" || upper == "CONOUT$" || upper == "CLOCK$") return true;
  return false;
}

}  // namespace

bool IsBlank(std::string_view text) {
  if (text.empty()) return true;
  if (text.size() > kBlankPatternLength) return false;
  return text.find_first_not_of(' ') == std::string_view::npos;
}

bool IsOwnFolderName(std::string_view name) {
  if (IsBlank(name) || name == "." || name == "..") return false;
  for (char ch : name) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32 || c == 127) return false;
    switch (ch) {
      case '\\':
      case '/':
      case ':':
      case '*':
      case '?':
      case '<':
      case '>':
      case '"':
      case '|':
        return false;
      default:
        break;
    }
  }
  const char last = name.back();
  if (last == '.' || last == ' ') return false;
  return !IsReservedDeviceName(name);
}
