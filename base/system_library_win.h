#pragma once

#include <windows.h>

#include <string>

// The installation folder is writable by the suite's operators by design, so
// a DLL named like a system one could be planted there. System libraries are
// therefore loaded from the system folder only, never found by bare name.

// LOAD_LIBRARY_SEARCH_* arrived with KB2533623 (Windows 7) and Windows 8:
// where LoadLibraryExW refuses the flag, the system folder's full path.
inline HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (const HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
    return module;
  }
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  const UINT size = GetSystemDirectoryW(nullptr, 0);
  if (size == 0) return nullptr;
  std::wstring path(size, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), size);
  if (length == 0 || length >= size) return nullptr;
  path.resize(length);
  path += L'\\';
  path += name;
  return LoadLibraryW(path.c_str());
}

// A function of a module by name, typed; null when either is missing.
template <typename Function>
Function LibraryFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// A function of a system library the program imports anyway (user32,
// kernel32), looked up because older systems lack it.
template <typename Function>
Function LoadedSystemFunction(const wchar_t* module, const char* name) {
  return LibraryFunction<Function>(GetModuleHandleW(module), name);
}

// Every later load by bare name searches the program's folder and the
// system folder only: not the current folder, not PATH. Nothing on systems
// that predate SetDefaultDllDirectories.
inline void RestrictLibrarySearch() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  if (const auto restrict_search = LoadedSystemFunction<SetDefaultDllDirectoriesFn>(
          L"kernel32.dll", "SetDefaultDllDirectories")) {
    restrict_search(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  }
}
