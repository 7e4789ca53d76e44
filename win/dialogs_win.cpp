#include "win/dialogs_win.h"

#include "base/texts.h"
#include "base/unique_handle_win.h"
#include "win/window_base_win.h"

namespace {

// MessageBoxA places its box over the owner window; the operator expects it
// in the middle of the screen. A CBT hook sees the box being activated for
// the first time and moves it there before it is drawn. Boxes come from the
// window's thread only, so one hook handle serves: a thread-local one with
// a destructor would bring the runtime's thread-exit machinery into the
// program.
ScopedHook centre_hook;

LRESULT CALLBACK CentreOnScreen(int code, WPARAM wparam, LPARAM lparam) noexcept {
  const HHOOK hook = centre_hook.get();
  // Other hooks on this thread see every event, this one included.
  const LRESULT next = CallNextHookEx(hook, code, wparam, lparam);
  if (code == HCBT_ACTIVATE && hook != nullptr) {
    const auto box = reinterpret_cast<HWND>(wparam);
    CentreOnWorkArea(box, GetWindow(box, GW_OWNER));
    centre_hook.reset();
  }
  return next;
}

void ShowCentredBox(HWND owner, const std::string& text, UINT type) {
  // A nested box (an error shown while another box is up) keeps the hook of
  // the outer one if that one has not been activated yet.
  if (!centre_hook) {
    centre_hook.reset(SetWindowsHookExA(WH_CBT, CentreOnScreen, nullptr, GetCurrentThreadId()));
  }
  MessageBoxA(owner, text.c_str(), kApplicationTitle, type);
  centre_hook.reset();
}

}  // namespace

void ShowMessageBox(HWND owner, const std::string& text) { ShowCentredBox(owner, text, MB_OK); }

void ShowErrorBox(HWND owner, const std::string& text) {
  ShowCentredBox(owner, ErrorBoxText(text), MB_OK | MB_ICONSTOP);
}
