#include "app/application_win.h"

#include <commctrl.h>

#include <utility>

namespace {
constexpr char kApplicationClass[] = "TApplication";
}

Application::Application(HINSTANCE instance, std::string title)
    : instance_(instance), title_(std::move(title)) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &BaseWindow<Application>::Thunk;
  window_class.hInstance = instance_;
  window_class.lpszClassName = kApplicationClass;
  window_class.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(1));
  if (!RegisterWindowClass(window_class)) return;
  // A zero-sized popup: even if some caller managed to show it, there is
  // nothing to see. The tool-window style keeps it off the task bar.
  CreateWindowExA(WS_EX_TOOLWINDOW, kApplicationClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0,
                  nullptr, nullptr, instance_, this);
}

Application::~Application() = default;

void Application::SuppressMainWindowAndTerminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void Application::SetMainWindow(HWND main_window) { main_window_ = main_window; }

void Application::MainWindowMinimised(bool minimised) {
  if (hwnd_ == nullptr) return;
  const LONG_PTR style = GetWindowLongPtrA(hwnd_, GWL_STYLE);
  const LONG_PTR wanted = minimised ? (style | WS_MINIMIZE) : (style & ~LONG_PTR{WS_MINIMIZE});
  if (wanted != style) SetWindowLongPtrA(hwnd_, GWL_STYLE, wanted);
}

int Application::Run() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (main_window_ != nullptr && IsWindow(main_window_) &&
        IsDialogMessageA(main_window_, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void Application::BringMainWindowForward(bool restore) {
  if (forwarding_ || main_window_ == nullptr || !IsWindow(main_window_) ||
      !IsWindowVisible(main_window_)) {
    return;
  }
  const bool iconic = IsIconic(main_window_) != FALSE;
  // A modal box of ours is what the operator must see first.
  HWND front = GetLastActivePopup(main_window_);
  if (front == nullptr || !IsWindowVisible(front)) front = main_window_;
  // Already in front: nothing to do, and no echo of our own moves.
  if (!(restore && iconic) && GetForegroundWindow() == front) return;
  forwarding_ = true;
  if (restore && iconic) ShowWindow(main_window_, SW_RESTORE);
  BringWindowToTop(front);
  SetForegroundWindow(front);
  forwarding_ = false;
}

LRESULT Application::OnWindowPosChanging(WINDOWPOS& position) {
  if (position.flags & SWP_SHOWWINDOW) {
    // Restoring or showing this window from outside means: show the
    // controller. This window itself stays hidden.
    position.flags &= ~SWP_SHOWWINDOW;
    PostMessageA(hwnd_, WM_APP, 1, 0);
  }
  return 0;
}

LRESULT Application::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_QUERYOPEN:
      BringMainWindowForward(true);
      return FALSE;
    case WM_WINDOWPOSCHANGING:
      return OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lparam));
    case WM_WINDOWPOSCHANGED:
      if (!(reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_NOZORDER)) {
        PostMessageA(hwnd_, WM_APP, 0, 0);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) BringMainWindowForward(false);
      return 0;
    case WM_SETFOCUS:
      BringMainWindowForward(false);
      return 0;
    case WM_APP:
      BringMainWindowForward(wparam != 0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}
