#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// printf-style "%s" and "%d" filling for the fixed error texts, without a
// fixed-size buffer. Each "%s" takes the next of `args` in turn; "%d" the
// number. Unused placeholders are left empty.
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> args);
std::string FillNumber(std::string_view pattern, long long number);

// The system's text for an error code made fit to end a sentence of ours:
// trailing spaces, control characters and full stops removed.
std::string TidySystemMessage(std::string_view text);

// The error box's text: "." appended unless the text is empty or its last
// character is "." or sorts before it (such as ")" or "!").
std::string ErrorBoxText(std::string_view text);

// An exit code as the log and the operator read it: "0xC0000005".
std::string ExitCodeText(std::uint32_t code);
