#include "storage/station_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
  const char* label;
  std::string text;
  bool expected;
};

std::string Spaces(size_t n) { return std::string(n, ' '); }

TEST(IsBlank, Table) {
  const Row rows[] = {
      {"empty", "", true},
      {"one space", " ", true},
      {"250 spaces", Spaces(250), true},
      {"251 spaces", Spaces(251), false},
      {"1000 spaces", Spaces(1000), false},
      {"space a space", " a ", false},
      {"a single tab", "\t", false},
      {"spaces then a tab", "   \t", false},
      {"line feed", "\n", false},
      {"no-break space 0xA0", "\xA0", false},
      {"a NUL byte", std::string(1, '\0'), false},
      {"spaces around a NUL", std::string("  \0  ", 5), false},
      {"249 spaces and a letter", Spaces(249) + "x", false},
      {"a letter then 249 spaces", "x" + Spaces(249), false},
      {"a name", "Rock", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(IsBlank(row.text), row.expected);
  }
}

TEST(IsOwnFolderName, Table) {
  const Row rows[] = {
      // Names that can only be a folder of their own directly in AppDir.
      {"plain", "Rock", true},
      {"with a space inside", "Rock FM", true},
      {"leading space", " Rock", true},
      {"inner dot", "Rock.fm", true},
      {"leading dot", ".rock", true},
      {"three letters like a device", "CONSOLE", true},
      {"COM10 is no device", "COM10", true},
      {"LPT without digit", "LPT", true},
      {"device name inside", "MyCON", true},
      {"Greek letters in CP1253", "\xD1\xDC\xE4\xE9\xEF", true},
      {"300 letters", std::string(300, 'a'), true},
      // Blank, or reaching AppDir itself or above.
      {"empty", "", false},
      {"spaces", "   ", false},
      {"251 spaces", Spaces(251), false},
      {"dot", ".", false},
      {"dot dot", "..", false},
      {"three dots", "...", false},
      {"backslash", "\\", false},
      {"slash", "/", false},
      {"a backslash b", "a\\b", false},
      {"a slash b", "a/b", false},
      {"up and in", "..\\x", false},
      {"in and twice up", "a\\..\\..", false},
      {"drive relative", "C:x", false},
      {"stream", "x:y", false},
      {"long path prefix", "\\\\?\\C:\\x", false},
      {"UNC", "\\\\server\\share", false},
      // Wildcards and characters Windows refuses or drops.
      {"star", "*", false},
      {"question mark", "?", false},
      {"star inside", "Ro*k", false},
      {"angle brackets", "<a>", false},
      {"pipe", "a|b", false},
      {"quote", "a\"b", false},
      {"tab inside", "tab\tname", false},
      {"control character", "\x01Rock", false},
      {"DEL character", "Rock\x7F", false},
      {"NUL inside, which would cut the name to Rock", std::string("Rock\0x", 6), false},
      {"trailing dot", "Rock.", false},
      {"trailing space", "Rock ", false},
      {"trailing dot and space", "Rock. ", false},
      // Reserved device names, with or without an extension, any case.
      {"CON", "CON", false},
      {"con", "con", false},
      {"PRN", "PRN", false},
      {"AUX", "AUX", false},
      {"NUL", "NUL", false},
      {"nul.txt", "nul.txt", false},
      {"NUL space dot txt", "NUL .txt", false},
      {"com1.txt", "com1.txt", false},
      {"COM9", "COM9", false},
      {"COM0", "COM0", false},
      {"lpt1", "lpt1", false},
      {"LPT9.tar.gz", "LPT9.tar.gz", false},
      {"COM superscript one", "COM\xB9", false},
      {"CONIN$", "CONIN$", false},
      {"conout$.log", "conout$.log", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(IsOwnFolderName(row.text), row.expected);
  }
}

}  // namespace
