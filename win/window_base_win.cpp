#include "win/window_base_win.h"

#include "win/dialogs_win.h"

void ShowDispatchFailure(HWND window, const char* text) noexcept {
  HWND owner = window != nullptr && IsWindow(window) ? GetAncestor(window, GA_ROOT) : nullptr;
  try {
    ShowErrorBox(owner, text);
  } catch (...) {
    // Not even the box could be made (out of memory): the message is lost,
    // the program goes on.
  }
}

bool RegisterWindowClass(HINSTANCE instance, const WindowClass& window_class) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(instance, window_class.name, &existing)) return true;
  WNDCLASSEXA fresh{};
  fresh.cbSize = sizeof fresh;
  fresh.style = window_class.style;
  fresh.lpfnWndProc = window_class.procedure;
  fresh.hInstance = instance;
  fresh.hIcon = window_class.icon;
  fresh.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  fresh.hbrBackground = window_class.background;
  fresh.lpszClassName = window_class.name;
  return RegisterClassExA(&fresh) != 0;
}

HWND CreateChildWindow(HWND parent, int id, const char* window_class, const char* text, DWORD style,
                       const RECT& rect, DWORD ex_style, void* param) {
  return CreateWindowExA(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, rect.left,
                         rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)),
                         param);
}

WNDPROC SubclassWindow(HWND window, WNDPROC procedure, void* owner, bool unicode) {
  const auto owner_value = reinterpret_cast<LONG_PTR>(owner);
  const auto procedure_value = reinterpret_cast<LONG_PTR>(procedure);
  if (unicode) {
    SetWindowLongPtrW(window, GWLP_USERDATA, owner_value);
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, procedure_value));
  }
  SetWindowLongPtrA(window, GWLP_USERDATA, owner_value);
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, procedure_value));
}

void RestoreWindowProcedure(HWND window, WNDPROC original, bool unicode) {
  const auto original_value = reinterpret_cast<LONG_PTR>(original);
  if (unicode) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, original_value);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  } else {
    SetWindowLongPtrA(window, GWLP_WNDPROC, original_value);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  }
}

RECT WorkAreaFor(HWND reference) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = reference != nullptr
                               ? MonitorFromWindow(reference, MONITOR_DEFAULTTOPRIMARY)
                               : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  if (GetMonitorInfoA(monitor, &info)) return info.rcWork;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return area;
}

POINT CentredIn(const RECT& area, int width, int height) {
  return POINT{area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2};
}

void CentreOnWorkArea(HWND window, HWND reference) {
  RECT frame{};
  if (!GetWindowRect(window, &frame)) return;
  const POINT at =
      CentredIn(WorkAreaFor(reference), frame.right - frame.left, frame.bottom - frame.top);
  SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}
