#pragma once

// Shared by the on-air Windows tests: a message pump that waits for a
// condition, and a window that records the messages posted to it.

#include <windows.h>

#include <string>
#include <vector>

// Dispatches this thread's messages until `done` holds or `ms` have passed.
template <typename Done>
bool PumpUntil(Done done, DWORD ms = 20000) {
  const ULONGLONG start = GetTickCount64();
  while (!done()) {
    if (GetTickCount64() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

inline std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}
