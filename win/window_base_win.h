#pragma once

#include <windows.h>

#include <exception>
#include <new>
#include <string>

#include "base/user_error.h"

// Shows a failure that ended a window message's handling in the error box,
// owned by the window's top-level window. Never throws: when not even the
// box can be made, the message is lost and the program goes on.
void ShowDispatchFailure(HWND window, const char* text) noexcept;

// Runs one window message's handling. An error on its way out is shown in
// the error box and goes no further: no exception ever leaves a window
// procedure. Returns `failed` when the handling threw. The handling is
// taken by reference and called in place: nothing is allocated per message.
template <typename Handle>
LRESULT DispatchGuarded(HWND window, Handle&& handle, LRESULT failed = 0) noexcept {
  try {
    return handle();
  } catch (const UserError& error) {
    ShowDispatchFailure(window, error.what());
  } catch (const std::bad_alloc&) {
    ShowDispatchFailure(window, "Out of memory");
  } catch (const std::exception& error) {
    ShowDispatchFailure(window, error.what());
  } catch (...) {
    ShowDispatchFailure(window, "Unexpected failure");
  }
  return failed;
}

// One window class: its name and procedure, and what differs between ours.
struct WindowClass {
  const char* name;
  WNDPROC procedure = nullptr;
  HICON icon = nullptr;
  HBRUSH background = nullptr;
  UINT style = 0;
};

// What a window of our own class is made with.
struct WindowShape {
  const char* title = "";
  DWORD style = 0;
  DWORD ex_style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Registers a window class once per process, with the arrow cursor; false
// when the system refuses.
[[nodiscard]] bool RegisterWindowClass(HINSTANCE instance, const WindowClass& window_class);

// A visible child window with the id `id` at `rect` (parent coordinates),
// in the parent's module. `param` reaches WM_NCCREATE.
HWND CreateChildWindow(HWND parent, int id, const char* window_class, const char* text, DWORD style,
                       const RECT& rect, DWORD ex_style = 0, void* param = nullptr);

// Puts `procedure` over the procedure of a window of another class (a list
// box, an edit box, a button), with `owner` in the window's user data;
// returns the window's own procedure, null when the system refused.
// `unicode` says whether the window's messages reach `procedure` in UTF-16
// or in ANSI (and so how the window's own is to be called: CallWindowProcW
// or CallWindowProcA). RestoreWindowProcedure undoes it, in the same
// character set: from the subclass's WM_NCDESTROY, or by its owner when the
// owner goes first.
[[nodiscard]] WNDPROC SubclassWindow(HWND window, WNDPROC procedure, void* owner, bool unicode);
void RestoreWindowProcedure(HWND window, WNDPROC original, bool unicode);

// The work area of the monitor `reference` is on (the primary one when it
// is on none, or when reference is null).
RECT WorkAreaFor(HWND reference);
// The left and top that centre a width x height rectangle in `area`.
POINT CentredIn(const RECT& area, int width, int height);
// Moves `window`, its size unchanged, to the middle of the work area of the
// monitor `reference` is on.
void CentreOnWorkArea(HWND window, HWND reference);

// A window's text in the ANSI code page, sized exactly.
std::string WindowText(HWND window);

// A window of our own class. T provides
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM)
// and makes its window with Create.
// The one thunk stores `this` on WM_NCCREATE, forwards to DefWindowProc
// while no object is attached, and lets go of it on WM_NCDESTROY.
template <typename T>
class BaseWindow {
 public:
  HWND Handle() const { return hwnd_; }

  // The window procedure of T's window class.
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
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

  // Registers T's window class once per process, the thunk its procedure,
  // and makes T's window, owned by `owner`, with this object attached from
  // its first message on. False when the system refused either.
  [[nodiscard]] bool Create(HINSTANCE instance, WindowClass window_class, const WindowShape& shape,
                            HWND owner) {
    window_class.procedure = &Thunk;
    return RegisterWindowClass(instance, window_class) &&
           CreateWindowExA(shape.ex_style, window_class.name, shape.title, shape.style, shape.x,
                           shape.y, shape.width, shape.height, owner, nullptr, instance,
                           static_cast<T*>(this)) != nullptr;
  }

  HWND hwnd_ = nullptr;
};

// A window of another class (a list box, an edit box, a button) with T's
// procedure over its own. T provides
//   LRESULT HandleMessage(UINT, WPARAM, LPARAM)
// and gives what it does not handle to CallOriginal. The one procedure finds
// the object in the window's user data, guards the call, and on
// WM_NCDESTROY puts the window's own procedure back and lets go of the
// window. `kUnicode`: the messages reach T in UTF-16 (see SubclassWindow).
template <typename T, bool kUnicode = false>
class Subclass {
 public:
  HWND Handle() const { return hwnd_; }

 protected:
  Subclass() = default;
  Subclass(const Subclass&) = delete;
  Subclass& operator=(const Subclass&) = delete;
  // A window still there when its object goes gets its own procedure back.
  ~Subclass() {
    if (hwnd_ != nullptr && original_ != nullptr)
      RestoreWindowProcedure(hwnd_, original_, kUnicode);
  }

  // Puts T's procedure over `window`'s; false when the system refused.
  [[nodiscard]] bool Attach(HWND window) {
    hwnd_ = window;
    original_ = SubclassWindow(window, &Procedure, static_cast<T*>(this), kUnicode);
    return original_ != nullptr;
  }

  LRESULT CallOriginal(UINT message, WPARAM wparam, LPARAM lparam) {
    return Call(original_, hwnd_, message, wparam, lparam);
  }

  HWND hwnd_ = nullptr;

 private:
  static LRESULT Call(WNDPROC procedure, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return kUnicode ? CallWindowProcW(procedure, hwnd, message, wparam, lparam)
                    : CallWindowProcA(procedure, hwnd, message, wparam, lparam);
  }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                    LPARAM lparam) noexcept {
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
      return kUnicode ? DefWindowProcW(hwnd, message, wparam, lparam)
                      : DefWindowProcA(hwnd, message, wparam, lparam);
    }
    auto& base = static_cast<Subclass&>(*self);
    if (message == WM_NCDESTROY) {
      const WNDPROC original = base.original_;
      RestoreWindowProcedure(hwnd, original, kUnicode);
      base.hwnd_ = nullptr;
      base.original_ = nullptr;
      return Call(original, hwnd, message, wparam, lparam);
    }
    return DispatchGuarded(hwnd, [&] { return self->HandleMessage(message, wparam, lparam); });
  }

  WNDPROC original_ = nullptr;  // the window's own, under T's
};
