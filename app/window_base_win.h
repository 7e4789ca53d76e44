#pragma once

#include <windows.h>

#include <functional>

// Runs one window message's handling. An error on its way out is shown in
// the error box (owned by the window's top-level window) and goes no
// further: no exception ever leaves a window procedure. Returns `failed`
// when the handling threw.
LRESULT DispatchGuarded(HWND window, const std::function<LRESULT()>& handle, LRESULT failed = 0);

// Registers a window class once per process; returns false when the system
// refuses.
[[nodiscard]] bool RegisterWindowClass(const WNDCLASSEXA& window_class);

// A window of our own class. T provides
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM)
// and creates its window with Create(..., this as the creation parameter).
// The one thunk stores `this` on WM_NCCREATE, forwards to DefWindowProc
// while no object is attached, and lets go of it on WM_NCDESTROY.
template <typename T>
class BaseWindow {
 public:
  HWND Handle() const { return hwnd_; }

  // The window procedure of T's window class.
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    T* self = nullptr;
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
      self = static_cast<T*>(create->lpCreateParams);
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      static_cast<BaseWindow*>(self)->hwnd_ = hwnd;
    } else {
      self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      static_cast<BaseWindow*>(self)->hwnd_ = nullptr;
      return DefWindowProcA(hwnd, message, wparam, lparam);
    }
    return DispatchGuarded(hwnd, [&] { return self->HandleMessage(message, wparam, lparam); });
  }

 protected:
  BaseWindow() = default;
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;
  // A window still there when its object goes is destroyed without
  // calling back into the object.
  ~BaseWindow() {
    if (hwnd_ != nullptr) {
      SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  HWND hwnd_ = nullptr;
};
