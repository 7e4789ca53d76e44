#include "win/dpi_win.h"

#include "win/gdi_handles_win.h"

namespace {

// Both arrived with Windows 10 1607: looked up, not imported, so that the
// program still starts on older systems.
template <typename Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 == nullptr ? nullptr
                           : reinterpret_cast<Function>(
                                 reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

}  // namespace

int WindowDpi(HWND window) {
  static const auto get_dpi_for_window = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
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
      User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT frame = client;
  if (adjust_for_dpi == nullptr ||
      !adjust_for_dpi(&frame, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    frame = client;
    AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  }
  return frame;
}
