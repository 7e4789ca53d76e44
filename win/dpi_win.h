#pragma once

#include <windows.h>

#include "win/gdi_handles_win.h"

// The DPI a window is drawn at: its monitor's for a per-monitor aware
// program, the system's otherwise and on systems that predate per-monitor
// awareness.
int WindowDpi(HWND window);

// The frame round a client rectangle at a DPI, as AdjustWindowRectEx gives
// it at the system's.
RECT FrameForClient(const RECT& client, DWORD style, DWORD ex_style, int dpi);

// A system metric (GetSystemMetrics' index) for a window drawn at `dpi`:
// the system's own figure at that DPI where Windows gives one (Windows 10
// 1607), the system DPI's figure scaled otherwise.
int SystemMetricForDpi(int index, int dpi);

// The system's status font, the one its tooltips use, for `dpi`.
ScopedFont StatusFontForDpi(int dpi);
