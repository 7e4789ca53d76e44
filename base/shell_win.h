#pragma once

#include <windows.h>

#include "base/system_library_win.h"

// shell32 is loaded when first used rather than with the program: under Wine
// it brings ole32 and more with it, which every start would pay for and
// most never use. Always the system folder's copy, never one that lies
// beside the program.
inline HMODULE ShellModule() {
  static const HMODULE module = LoadSystemLibrary(L"shell32.dll");
  return module;
}

// A shell32 function by name, typed; null when shell32 or the function
// cannot be had.
template <typename Function>
Function ShellEntry(const char* name) {
  return LibraryFunction<Function>(ShellModule(), name);
}
