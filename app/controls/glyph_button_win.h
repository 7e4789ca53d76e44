#pragma once

#include <windows.h>

#include <string>

#include "win/window_base_win.h"

class Panel;

// A button that shows a picture and never takes the keyboard focus. It is a
// real BUTTON (so accessibility tools see a push button, named by its window
// text, which is its hint and never drawn), with the mouse handled here so
// that a click does not move the focus. A click sends WM_COMMAND/BN_CLICKED
// to the parent, like any button.
//
// Raised: the button face with a frame, the picture's first frame (its
// second when disabled). Flat: the panel's face, a thin frame while the
// mouse is over it. Pixels of `key` in the picture are transparent.
class GlyphButton final : public Subclass<GlyphButton> {
 public:
  enum class Kind { kRaised, kFlat };
  GlyphButton(Panel& panel, Kind kind, HBITMAP picture, int frames, COLORREF key)
      : panel_(panel), kind_(kind), picture_(picture), frames_(frames), key_(key) {}

  [[nodiscard]] bool Create(int id, const RECT& rect, const std::string& accessible_name);
  // Another picture of the same layout (a new DPI); the button does not
  // own it.
  void SetPicture(HBITMAP picture);

 private:
  friend class Subclass<GlyphButton>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void PaintContent(HDC dc) const;
  void SetLook(bool hot, bool down);
  bool MouseInside(LPARAM lparam) const;

  Panel& panel_;
  Kind kind_;
  HBITMAP picture_;
  int frames_;
  COLORREF key_;
  bool hot_ = false;       // the mouse is over it
  bool down_ = false;      // drawn pressed
  bool tracking_ = false;  // a left button press is being followed
};
