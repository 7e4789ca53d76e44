#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The system's own text for an error code (as GetLastError gives it), made
// fit to end a sentence of ours: trailing spaces, control characters and
// full stops removed. A code the system has no text for gives
// "System error <code>".
[[nodiscard]] std::string SystemErrorText(DWORD code);

// `path` made absolute by the system (relative parts and "." and ".."
// resolved), sized exactly. The path as given when the system refuses it.
[[nodiscard]] std::string FullPathName(const std::string& path);

// Text of the ANSI code page in UTF-16, and back, as the system converts
// it. Nothing when the system refuses the text.
[[nodiscard]] std::optional<std::wstring> Wide(const std::string& text);
[[nodiscard]] std::string Narrow(const std::wstring& text);
