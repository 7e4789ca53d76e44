#pragma once

#include <windows.h>

#include <string>

#include "app/gdi_handles_win.h"
#include "app/window_base_win.h"

class JpegPicture;

// A panel: a plain face of one colour with, optionally, a picture over part
// of it and a raised one-pixel bevel round it. The controls on a panel that
// show its face through themselves (pictures, labels, flat buttons) ask the
// panel to paint the part under them. Commands, notifications and colour
// requests from its controls go on to the panel's parent.
class Panel final : public BaseWindow<Panel> {
 public:
  Panel(COLORREF colour, bool raised_bevel);

  [[nodiscard]] bool Create(HWND parent, int id, const RECT& rect);

  // The picture shows at its natural size from area's top-left corner,
  // clipped to area (panel coordinates). The panel does not own it.
  void SetPicture(JpegPicture* picture, const RECT& area);

  // Paints the face (colour, then picture) of the panel rectangle `area`
  // into dc, whose point (0, 0) is panel point `origin`.
  void PaintFace(HDC dc, POINT origin, const RECT& area);

  // A brush that paints the face under `child` in the child's own
  // coordinates; valid until the next call for the same child.
  HBRUSH FaceBrushFor(HWND child);

  COLORREF Colour() const { return colour_; }

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnPaint();

  COLORREF colour_;
  bool raised_bevel_;
  ScopedBrush brush_;
  JpegPicture* picture_ = nullptr;
  RECT picture_area_{};
  HWND face_brush_child_ = nullptr;
  ScopedBrush face_brush_;
};

// The rectangle of `child` in its parent's client coordinates.
RECT RectInParent(HWND child);

// A picture control: shows its panel's face (the panel's picture lies
// exactly under it).
class PictureBox final : public BaseWindow<PictureBox> {
 public:
  explicit PictureBox(Panel& panel) : panel_(panel) {}
  [[nodiscard]] bool Create(int id, const RECT& rect);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  Panel& panel_;
};

// A transparent label: the panel's face shows behind its text.
class Label final : public BaseWindow<Label> {
 public:
  enum class Align { kLeft, kRight };
  Label(Panel& panel, COLORREF text_colour, HFONT font, Align align)
      : panel_(panel), text_colour_(text_colour), font_(font), align_(align) {}
  [[nodiscard]] bool Create(int id, const RECT& rect, const std::string& text);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnPaint();

  Panel& panel_;
  COLORREF text_colour_;
  HFONT font_;
  Align align_;
};

// A button that shows a picture and never takes the keyboard focus. It is a
// real BUTTON (so accessibility tools see a push button, named by its window
// text, which is its hint and never drawn), with the mouse handled here so
// that a click does not move the focus. A click sends WM_COMMAND/BN_CLICKED
// to the parent, like any button.
//
// Raised: the button face with a frame, the picture's first frame (its
// second when disabled). Flat: the panel's face, a thin frame while the
// mouse is over it. Pixels of `key` in the picture are transparent.
class GlyphButton {
 public:
  enum class Kind { kRaised, kFlat };
  GlyphButton(Panel& panel, Kind kind, HBITMAP picture, int frames, COLORREF key)
      : panel_(panel), kind_(kind), picture_(picture), frames_(frames), key_(key) {}
  GlyphButton(const GlyphButton&) = delete;
  GlyphButton& operator=(const GlyphButton&) = delete;
  ~GlyphButton();

  [[nodiscard]] bool Create(int id, const RECT& rect, const std::string& accessible_name);
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void SetLook(bool hot, bool down);
  bool MouseInside(LPARAM lparam) const;

  Panel& panel_;
  Kind kind_;
  HBITMAP picture_;
  int frames_;
  COLORREF key_;
  HWND hwnd_ = nullptr;
  WNDPROC original_ = nullptr;  // the button class's own procedure
  bool hot_ = false;            // the mouse is over it
  bool down_ = false;           // drawn pressed
  bool tracking_ = false;       // a left button press is being followed
};

// A list header of one section, of `section_width` pixels from the left,
// with the window text as its caption; it is created disabled and cannot
// be pressed. Drawn here rather than by the common controls' header,
// which would bring comctl32 into the start-up.
class Header final : public BaseWindow<Header> {
 public:
  Header(HFONT font, int section_width) : font_(font), section_width_(section_width) {}
  [[nodiscard]] bool Create(HWND parent, int id, const RECT& rect, const std::string& text);
  int SectionWidth() const { return section_width_; }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnPaint();

  HFONT font_;
  int section_width_;
};
