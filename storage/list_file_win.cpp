#include "storage/list_file_win.h"

#include <windows.h>

#include <algorithm>

#include "base/system_text_win.h"
#include "base/texts.h"
#include "base/unique_handle_win.h"
#include "base/user_error.h"
#include "storage/list_file.h"

namespace {

constexpr DWORD kChunk = 16u << 20;  // ReadFile and WriteFile take a DWORD count
constexpr size_t kSaveBuffer = 256u << 10;

[[noreturn]] void ThrowFileError(const char* pattern, const std::string& path, DWORD error) {
  throw UserError(FillText(pattern, {FullPathName(path), SystemErrorText(error)}));
}

[[noreturn]] void ThrowWriteError() { throw UserError("Stream write error"); }

// Reads from the current position to the end. The size is only a hint: the
// file may grow or shrink while it is read, and the end is where ReadFile
// gives no more bytes.
[[nodiscard]] bool ReadToEnd(HANDLE file, std::string& bytes) {
  LARGE_INTEGER size{};
  size_t expected = 0;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) < bytes.max_size() / 2) {
    expected = static_cast<size_t>(size.QuadPart);
  }
  bytes.clear();
  bytes.resize(expected + 1);  // one more, to see the end without another round
  size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() + std::max<size_t>(bytes.size(), 4096));
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - used, kChunk));
    DWORD got = 0;
    if (!ReadFile(file, bytes.data() + used, ask, &got, nullptr)) return false;
    if (got == 0) break;
    used += got;
  }
  bytes.resize(used);
  return true;
}

[[nodiscard]] bool WriteAll(HANDLE file, std::string_view bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kChunk));
    DWORD wrote = 0;
    if (!WriteFile(file, bytes.data() + done, ask, &wrote, nullptr) || wrote != ask) return false;
    done += wrote;
  }
  return true;
}

bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Indexers and virus scanners open a freshly written file for a moment;
// the rename is refused with a sharing or access error while they do.
[[nodiscard]] bool ReplaceWithRetry(const std::string& from, const std::string& to, DWORD& error) {
  constexpr int kAttempts = 20;
  constexpr DWORD kPauseMs = 50;
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return true;
    }
    error = GetLastError();
    const bool passing = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                         (error == ERROR_ACCESS_DENIED && !IsReadOnly(to));
    if (!passing || attempt == kAttempts) return false;
    Sleep(kPauseMs);
  }
}

}  // namespace

StationRows WinStationListFile::Load(const std::string& path) {
  const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowFileError("Cannot open file \"%s\". %s", path, GetLastError());
  std::string bytes;
  if (!ReadToEnd(file.get(), bytes)) {
    ThrowFileError("Cannot open file \"%s\". %s", path, GetLastError());
  }
  return ParseStationRows(bytes);
}

void WinStationListFile::Save(const std::string& path, const StationRows& rows) {
  const std::string temporary = TemporaryFor(path);

  // Through one buffer kept from save to save: memory as large as the list,
  // fresh for every save, costs more than writing it. Sized before the
  // temporary exists, so that nothing after it can throw and leave it.
  buffer_.resize(kSaveBuffer);

  ScopedHandle file(CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  // The operator knows the list, not our temporary: errors name the list.
  if (!file) ThrowFileError("Cannot create file \"%s\". %s", path, GetLastError());
  const bool written =
      WriteStationRows(rows, buffer_,
                       [&file](std::string_view bytes) { return WriteAll(file.get(), bytes); }) &&
      FlushFileBuffers(file.get());
  const bool closed = CloseHandle(file.release());
  if (!written || !closed) {
    DeleteFileA(temporary.c_str());
    ThrowWriteError();
  }

  DWORD error = 0;
  if (!ReplaceWithRetry(temporary, path, error)) {
    DeleteFileA(temporary.c_str());
    ThrowFileError("Cannot create file \"%s\". %s", path, error);
  }
}
