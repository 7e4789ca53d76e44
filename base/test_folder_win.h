#pragma once

// A temporary installation folder for one test, removed with all its
// content when the test ends. Windows tests only.

#include <windows.h>

#include <string>

#include "base/unique_handle_win.h"
#include "base/user_error.h"

class TestFolder {
 public:
  // `label` becomes part of the folder's name, so it may carry spaces and
  // 8-bit letters of the ANSI code page.
  explicit TestFolder(const std::string& label) {
    std::string base(MAX_PATH + 1, '\0');
    base.resize(GetTempPathA(static_cast<DWORD>(base.size()), base.data()));
    for (unsigned n = GetCurrentProcessId() * 1000u;; ++n) {
      path_ = base + label + " " + std::to_string(n) + "\\";
      if (CreateDirectoryA(path_.c_str(), nullptr)) break;
      if (GetLastError() != ERROR_ALREADY_EXISTS) {
        path_.clear();
        break;
      }
    }
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  ~TestFolder() {
    if (!path_.empty()) RemoveTree(path_.substr(0, path_.size() - 1));
  }

  bool ok() const { return !path_.empty(); }
  // Ends in a separator, like AppDir.
  const std::string& path() const { return path_; }

 private:
  static void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const ScopedFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (search) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = folder + "\\" + name;
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(child);
        } else {
          DeleteFileA(child.c_str());
        }
      } while (FindNextFileA(search.get(), &found));
    }
    RemoveDirectoryA(folder.c_str());
  }

  std::string path_;
};

// Whole-file helpers for setting up and checking a test's files.
inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool ok = bytes.empty() || (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                              &wrote, nullptr) &&
                                    wrote == bytes.size());
  return CloseHandle(file) && ok;
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

inline bool PathExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The text of the UserError that `action` throws, or "<no error>".
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const UserError& e) {
    return e.what();
  }
  return "<no error>";
}
