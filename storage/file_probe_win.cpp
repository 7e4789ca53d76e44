#include "storage/file_probe_win.h"

#include <windows.h>

bool WinFileProbe::FileExists(const std::string& path) const {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WinFileProbe::ModuleFileName() const {
  // GetModuleFileNameA says nothing of the length it needs: a name that
  // fills the buffer may have been cut, so the buffer grows until it does not.
  std::string name(MAX_PATH, '\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(name.size());
    const DWORD length = GetModuleFileNameA(nullptr, name.data(), size);
    if (length == 0) return {};
    if (length < size) {
      name.resize(length);
      return name;
    }
    if (name.size() >= 1u << 20) return {};  // no real path is this long
    name.resize(name.size() * 2);
  }
}
