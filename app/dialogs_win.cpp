#include "app/dialogs_win.h"

#include "storage/texts.h"

namespace {

// MessageBoxA places its box over the owner window; the operator expects it
// in the middle of the screen. A CBT hook sees the box being activated for
// the first time and moves it there before it is drawn.
thread_local HHOOK centre_hook = nullptr;

LRESULT CALLBACK CentreOnScreen(int code, WPARAM wparam, LPARAM lparam) {
  const HHOOK hook = centre_hook;
  // Other hooks on this thread see every event, this one included.
  const LRESULT next = CallNextHookEx(hook, code, wparam, lparam);
  if (code == HCBT_ACTIVATE && hook != nullptr) {
    const auto box = reinterpret_cast<HWND>(wparam);
    RECT frame{};
    RECT work{};
    if (GetWindowRect(box, &frame) && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
      const int width = frame.right - frame.left;
      const int height = frame.bottom - frame.top;
      SetWindowPos(box, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UnhookWindowsHookEx(hook);
    centre_hook = nullptr;
  }
  return next;
}

void ShowCentredBox(HWND owner, const std::string& text, UINT type) {
  // A nested box (an error shown while another box is up) keeps the hook of
  // the outer one if that one has not been activated yet.
  if (centre_hook == nullptr) {
    centre_hook = SetWindowsHookExA(WH_CBT, CentreOnScreen, nullptr, GetCurrentThreadId());
  }
  MessageBoxA(owner, text.c_str(), kApplicationTitle, type);
  if (centre_hook != nullptr) {
    UnhookWindowsHookEx(centre_hook);
    centre_hook = nullptr;
  }
}

}  // namespace

void ShowMessageBox(HWND owner, const std::string& text) { ShowCentredBox(owner, text, MB_OK); }

void ShowErrorBox(HWND owner, const std::string& text) {
  ShowCentredBox(owner, ErrorBoxText(text), MB_OK | MB_ICONSTOP);
}
