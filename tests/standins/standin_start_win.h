#pragma once

// How a stand-in sibling program learns how it was started, and how it
// records that: shared by the stand-ins and the acceptance suite's sibling.

#include <windows.h>

#include <string>

inline std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

inline std::string CurrentFolder() {
  const DWORD size = GetCurrentDirectoryA(0, nullptr);
  if (size == 0) return std::string();
  std::string folder(size, '\0');
  const DWORD n = GetCurrentDirectoryA(size, folder.data());
  folder.resize(n < size ? n : 0);
  return folder;
}

// What follows the program path, as WinMain's command-line argument is made:
// the path ends at the first blank outside quotes, and the blanks after it
// are skipped. The rest is kept byte for byte.
inline std::string ParametersOf(const std::string& command_line) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < command_line.size(); ++i) {
    const char c = command_line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      break;
    }
  }
  while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
  return command_line.substr(i);
}

// Several stand-ins may start at once (auto-run): each line goes in with one
// write under an exclusive lock, and an open refused for sharing is retried.
inline void AppendLine(const std::string& path, const std::string& line) {
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 200; ++attempt) {
    file = CreateFileA(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) break;
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
        error != ERROR_ACCESS_DENIED) {
      return;
    }
    Sleep(25);
  }
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (locked) {
    OVERLAPPED again{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &again);
  }
  CloseHandle(file);
}
