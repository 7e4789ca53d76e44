#pragma once

#include <windows.h>

// The DPI a window is drawn at: its monitor's for a per-monitor aware
// program, the system's otherwise and on systems that predate per-monitor
// awareness.
int WindowDpi(HWND window);

// The frame round a client rectangle at a DPI, as AdjustWindowRectEx gives
// it at the system's.
RECT FrameForClient(const RECT& client, DWORD style, DWORD ex_style, int dpi);
