#include "base/system_text_win.h"

#include "base/texts.h"
#include "base/unique_handle_win.h"

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  // With ALLOCATE_BUFFER the buffer argument receives a pointer to the
  // system's allocation, hence the cast of the pointer's address.
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  const ScopedLocalMemory owner(text);
  std::string tidied = length > 0 && text ? TidySystemMessage({text, length}) : std::string();
  if (tidied.empty()) tidied = "System error " + std::to_string(code);
  return tidied;
}

std::string FullPathName(const std::string& path) {
  std::string full;
  DWORD needed = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  // The path can only change between the two calls through the current
  // folder; a second round covers that.
  for (int round = 0; round < 3 && needed > 0; ++round) {
    full.assign(needed, '\0');
    const DWORD length = GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
    if (length == 0) break;
    if (length < needed) {
      full.resize(length);
      return full;
    }
    needed = length;
  }
  return path;
}

std::optional<std::wstring> Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length) != length) {
    return std::nullopt;
  }
  return wide;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int units = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), units, narrow.data(), length, nullptr, nullptr);
  return narrow;
}
