#pragma once

#include <windows.h>

#include <string>

// shell32 is loaded when first used rather than with the program: under Wine
// it brings ole32 and more with it, which every start would pay for and
// most never use. Always the system folder's copy, never one that lies
// beside the program.
inline HMODULE ShellModule() {
  static const HMODULE module = [] {
    const UINT size = GetSystemDirectoryA(nullptr, 0);
    if (size == 0) return HMODULE{};
    std::string path(size, '\0');
    const UINT length = GetSystemDirectoryA(path.data(), size);
    if (length == 0 || length >= size) return HMODULE{};
    path.resize(length);
    return LoadLibraryA((path + "\\shell32.dll").c_str());
  }();
  return module;
}

// A shell32 function by name, typed; null when shell32 or the function
// cannot be had.
template <typename Function>
Function ShellEntry(const char* name) {
  const HMODULE module = ShellModule();
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
