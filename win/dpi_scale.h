#pragma once

// Sizes are designed at 96 DPI and drawn at the window's.
inline constexpr int kDesignDpi = 96;

// value * dpi / 96, rounded half up; every coordinate goes through here.
constexpr int ScaleToDpi(int value, int dpi) {
  const long long scaled = static_cast<long long>(value) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + kDesignDpi / 2) / kDesignDpi
                                      : -((-scaled + kDesignDpi / 2) / kDesignDpi));
}
