#pragma once

#include <windows.h>

#include "base/unique_handle_win.h"

// GDI objects the window creates and owns: fonts, brushes, bitmaps.
template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteObject(h); }
};
using ScopedFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using ScopedBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using ScopedRegion = UniqueHandle<GdiObjectTraits<HRGN>>;
using ScopedPen = UniqueHandle<GdiObjectTraits<HPEN>>;

struct IconTraits {
  using Handle = HICON;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyIcon(h); }
};
using ScopedIcon = UniqueHandle<IconTraits>;

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DeleteDC(h); }
};
using ScopedMemoryDc = UniqueHandle<MemoryDcTraits>;

// A window's (or, with no window, the screen's) DC from GetDC, released
// with ReleaseDC at the end of the scope.
class ScopedGetDc {
 public:
  explicit ScopedGetDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ScopedGetDc(const ScopedGetDc&) = delete;
  ScopedGetDc& operator=(const ScopedGetDc&) = delete;
  ~ScopedGetDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// SaveDC for one scope: every change to the DC's state (selections, clip,
// modes, palette) is undone at the end.
class ScopedSaveDc {
 public:
  explicit ScopedSaveDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
  ScopedSaveDc(const ScopedSaveDc&) = delete;
  ScopedSaveDc& operator=(const ScopedSaveDc&) = delete;
  ~ScopedSaveDc() {
    if (saved_ != 0) RestoreDC(dc_, saved_);
  }

  bool saved() const { return saved_ != 0; }

 private:
  HDC dc_;
  int saved_;
};

// Selects an object into a DC for one scope and puts the old one back. A
// null object selects nothing (a font that could not be made: the DC's own).
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (old_ != nullptr) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Clips a DC to a rectangle (logical coordinates, so a print of a child
// with a moved origin clips right) for one scope; the DC's own clip comes
// back at the end.
class ScopedClip {
 public:
  ScopedClip(HDC dc, const RECT& rect) : saved_(dc) {
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  }

 private:
  ScopedSaveDc saved_;
};

// BeginPaint/EndPaint; EndPaint runs even when drawing throws, so the area
// is validated before the error box comes up and no paint storm follows.
class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  ~PaintScope() { EndPaint(window_, &paint_); }

  HDC dc() const { return paint_.hdc; }
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

// An off-screen bitmap of one window's client size: drawing happens there
// and reaches the screen in one copy, without flicker.
class BufferedPaint {
 public:
  BufferedPaint(HDC target, int width, int height)
      : target_(target),
        width_(width),
        height_(height),
        dc_(CreateCompatibleDC(target)),
        bitmap_(CreateCompatibleBitmap(target, width > 0 ? width : 1, height > 0 ? height : 1)),
        select_(dc_.get(), bitmap_.get()) {}
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;
  ~BufferedPaint() { BitBlt(target_, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY); }

  HDC dc() const { return dc_.get(); }

 private:
  HDC target_;
  int width_;
  int height_;
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  ScopedSelect select_;
};
