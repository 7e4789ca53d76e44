#include "win/dpi_win.h"

#include "win/gdi_handles_win.h"

#include "base/system_library_win.h"

namespace {

// Both arrived with Windows 10 1607: looked up, not imported, so that the
// program still starts on older systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

int SystemDpi() {
  const ScopedGetDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto get_dpi_for_window =
      LoadedSystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  if (get_dpi_for_window != nullptr && window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
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

int SystemMetricForDpi(int index, int dpi) {
  static const auto for_dpi =
      LoadedSystemFunction<GetSystemMetricsForDpiFn>(L"user32.dll", "GetSystemMetricsForDpi");
  if (for_dpi != nullptr) return for_dpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

ScopedFont StatusFontForDpi(int dpi) {
  static const auto for_dpi = LoadedSystemFunction<SystemParametersInfoForDpiFn>(
      L"user32.dll", "SystemParametersInfoForDpi");
  // The call for a DPI knows only the UTF-16 form of the metrics.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (for_dpi != nullptr &&
      for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
    return ScopedFont(CreateFontIndirectW(&metrics.lfStatusFont));
  }
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return ScopedFont(nullptr);
  }
  metrics.lfStatusFont.lfHeight = MulDiv(metrics.lfStatusFont.lfHeight, dpi, SystemDpi());
  return ScopedFont(CreateFontIndirectW(&metrics.lfStatusFont));
}
