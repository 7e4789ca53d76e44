#pragma once

// The message-text library velnorix.dll. helpTXT returns the numbered text
// as a NUL-terminated 8-bit string that stays valid while the library is
// loaded; an unknown number gives "" (never a null pointer). Imported by
// name, so a program linked against it does not start without the DLL.
extern "C" __declspec(dllimport) const char* __stdcall helpTXT(int number);
