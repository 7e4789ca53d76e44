#include "app/controller/type_ahead.h"

namespace {
constexpr char kBackspace = '\b';
}

bool TypeAhead::Key(char c, std::uint32_t now_ms) {
  const auto byte = static_cast<unsigned char>(c);
  if (c != kBackspace && (byte < 0x20 || byte == 0x7f)) return false;

  const std::string before = prefix_;
  // Unsigned subtraction keeps the pause right across the clock's wrap.
  const bool afresh = typed_ && static_cast<std::uint32_t>(now_ms - last_ms_) >= kResetPauseMs;
  if (afresh) prefix_.clear();
  typed_ = true;
  last_ms_ = now_ms;

  if (c == kBackspace) {
    if (!prefix_.empty()) prefix_.pop_back();
    return prefix_ != before;
  }
  prefix_.push_back(c);
  return afresh || prefix_ != before;
}

int FindFirstRow(int count, const std::function<std::string(int)>& row_text,
                 std::string_view prefix, const LetterFold& fold) {
  if (prefix.empty()) return -1;
  std::string wanted(prefix);
  for (char& c : wanted) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
  for (int i = 0; i < count; ++i) {
    const std::string row = row_text(i);
    if (row.size() < wanted.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < wanted.size() && same; ++k) {
      same = static_cast<char>(fold(static_cast<unsigned char>(row[k]))) == wanted[k];
    }
    if (same) return i;
  }
  return -1;
}

unsigned char AsciiUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
