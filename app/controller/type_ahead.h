#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Selecting a list row by typing: the letters typed so far form a prefix,
// which starts afresh after a pause of kResetPauseMs or more. Backspace
// drops the last letter. Times are a wrapping millisecond clock, such as
// the time stamps of window messages.
class TypeAhead {
 public:
  static constexpr std::uint32_t kResetPauseMs = 500;

  // Feeds one typed character. Returns true when the rows are to be
  // searched again: the prefix changed, or a letter after a pause started
  // it afresh (the same letter again included, since the operator may have
  // moved to another row in between). Other control characters (Enter,
  // Escape, Tab) are not letters and leave everything as it was, the pause
  // clock included.
  bool Key(char c, std::uint32_t now_ms);

  const std::string& Prefix() const { return prefix_; }

 private:
  std::string prefix_;
  std::uint32_t last_ms_ = 0;
  bool typed_ = false;
};

// Maps a byte to the form it is compared in (upper case, say).
using LetterFold = std::function<unsigned char(unsigned char)>;

// The first of `count` rows that begins with `prefix`, comparing letters
// after `fold`; -1 when none does or the prefix is empty.
int FindFirstRow(int count, const std::function<std::string(int)>& row_text,
                 std::string_view prefix, const LetterFold& fold);

// ASCII letters only: the fold for code-page independent callers.
unsigned char AsciiUpper(unsigned char c);
