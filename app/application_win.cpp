#include "app/application_win.h"

#include <utility>

namespace {
constexpr char kApplicationClass[] = "TApplication";

// The dialog manager turns Enter into a press of the default button, and a
// held key repeats: every repeat would press it again, in the main window
// (starting the scheduler over and over) and in every box this thread shows
// (closing it unread). The dialog manager passes each message it takes to
// this thread's message filter first; a repeated Enter ends there, so only
// the first key-down counts, as with Delete on the list.
LRESULT CALLBACK DropRepeatedEnter(int code, WPARAM wparam, LPARAM lparam) {
  if (code == MSGF_DIALOGBOX) {
    const auto& message = *reinterpret_cast<const MSG*>(lparam);
    constexpr LPARAM kRepeat = LPARAM{1} << 30;  // the key was down already
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
        (message.lParam & kRepeat) != 0) {
      return TRUE;
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}
}  // namespace

Application::Application(HINSTANCE instance, std::string title)
    : instance_(instance), title_(std::move(title)) {
  // A zero-sized popup: even if some caller managed to show it, there is
  // nothing to see. The tool-window style keeps it off the task bar. When
  // it cannot be made, Handle() says so.
  (void)Create(
      instance_,
      WindowClass{.name = kApplicationClass, .icon = LoadIconA(instance_, MAKEINTRESOURCEA(1))},
      WindowShape{.title = title_.c_str(), .style = WS_POPUP, .ex_style = WS_EX_TOOLWINDOW},
      nullptr);
  enter_filter_ = SetWindowsHookExA(WH_MSGFILTER, DropRepeatedEnter, nullptr, GetCurrentThreadId());
}

Application::~Application() {
  if (enter_filter_ != nullptr) UnhookWindowsHookEx(enter_filter_);
}

void Application::SuppressMainWindowAndTerminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void Application::SetMainWindow(HWND main_window) { main_window_ = main_window; }

void Application::MainWindowMinimised(bool minimised) {
  if (hwnd_ == nullptr || (IsIconic(hwnd_) != FALSE) == minimised) return;
  // The window stays hidden throughout: WM_WINDOWPOSCHANGING takes the
  // "show" out of every change. Setting the minimised style is enough to
  // mark it; the system lets no one clear that style by hand, so the mark
  // goes through a real restore (and the mark through a real minimise
  // where the style alone does not take).
  changing_state_ = true;
  if (minimised) {
    SetWindowLongPtrA(hwnd_, GWL_STYLE, GetWindowLongPtrA(hwnd_, GWL_STYLE) | WS_MINIMIZE);
    if (!IsIconic(hwnd_)) ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
  } else {
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  }
  changing_state_ = false;
}

int Application::Run() {
  MSG message{};
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (watcher_) watcher_(message);
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
    // This window itself stays hidden. Restoring or showing it from
    // outside means: show the controller.
    position.flags &= ~SWP_SHOWWINDOW;
    if (!changing_state_) PostMessageA(hwnd_, WM_APP, 1, 0);
  }
  return 0;
}

LRESULT Application::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_QUERYOPEN:
      // Only the main window's own restore clears the mark; a restore from
      // outside restores the main window, which then clears it.
      if (changing_state_) return TRUE;
      BringMainWindowForward(true);
      return FALSE;
    case WM_WINDOWPOSCHANGING:
      return OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lparam));
    case WM_WINDOWPOSCHANGED:
      if (!changing_state_ && !(reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_NOZORDER)) {
        PostMessageA(hwnd_, WM_APP, 0, 0);
      }
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE && !changing_state_) BringMainWindowForward(false);
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
