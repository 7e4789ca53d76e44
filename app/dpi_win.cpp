#include "app/dpi_win.h"

#include "app/gdi_handles_win.h"

#include "base/system_library_win.h"

namespace {

// Both arrived with Windows 10 1607: looked up, not imported, so that the
// program still starts on older systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int WindowDpi(HWND window) {
  static const auto get_dpi_for_window =
      LoadedSystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  const ScopedGetDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

RECT FrameForClient(const RECT& client, DWORD style, DWORD ex_style, int dpi) {
  static const auto adjust_for_dpi =
      LoadedSystemFunction<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT frame = client;
  if (adjust_for_dpi == nullptr ||
      !adjust_for_dpi(&frame, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    frame = client;
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  }
  return frame;
}
