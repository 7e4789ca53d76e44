#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/gdi_handles_win.h"
#include "win/window_base_win.h"

// The controls' hints, shown in a small popup window of our own. The common
// controls' tooltip would do, but it costs the program comctl32, and loading
// that under Wine was about a fifth of the whole start-up.
//
// The hint of a control shows once the mouse has rested on it for the
// system's double-click time, stays up for the hide pause, and goes when the
// mouse leaves the control, a button or key is pressed, or the program
// loses the foreground. After it went by itself or by a press, it comes
// back only when the mouse has left the control and returned. Moving from
// one control to another while a hint shows brings the new one up sooner.
//
// It sees the mouse through Relay, which the event loop calls with every
// message it takes from the queue, so the controls need no subclassing.
// The popup window and its font are made when the first hint shows.
class HintWindow final : public BaseWindow<HintWindow> {
 public:
  HintWindow(HINSTANCE instance, HWND owner);
  ~HintWindow();

  void Add(HWND control, std::string text);
  // For a control whose hint depends on where the mouse rests (the
  // list's rows): `live` gives the text for a point in the control's
  // client area, or nothing for the control's own hint.
  void SetLiveText(HWND control, std::function<std::string(POINT)> live);
  void Relay(const MSG& message);
  void Hide();

  void SetHidePause(int milliseconds) { hide_pause_ms_ = milliseconds; }
  // The DPI the owner is drawn at; hints are sized and written for it.
  void SetDpi(int dpi);
  int HidePause() const { return hide_pause_ms_; }

  // The hint of `control`, null when it has none.
  const std::string* TextFor(HWND control) const;
  std::size_t Count() const { return hints_.size(); }
  // The control whose hint is on the screen, null when none is.
  HWND Showing() const;

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  struct Hint {
    HWND control;
    std::string text;
    std::function<std::string(POINT)> live;
  };
  enum Timer : UINT_PTR { kShowTimer = 1, kHideTimer = 2 };

  const Hint* Find(HWND control) const;
  void OnMouseMove(HWND target, POINT at);
  void Show();
  bool MakeWindow();
  void OnPaint();

  HINSTANCE instance_;
  HWND owner_;
  std::vector<Hint> hints_;
  int hide_pause_ms_ = 2500;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  const Hint* current_ = nullptr;  // the control under the mouse
  bool spent_ = false;             // its hint went; not again until the mouse leaves
  bool shown_ = false;
  POINT at_{};  // where the mouse last moved, screen coordinates
  ScopedFont font_;
};
