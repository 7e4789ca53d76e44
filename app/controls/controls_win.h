#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "win/gdi_handles_win.h"
#include "win/window_base_win.h"

class JpegPicture;

// What a panel draws on its face for a control that takes no input and no
// focus (a label, a picture, a list header): no window of its own.
class Painter {
 public:
  virtual ~Painter() = default;
  // Where it draws, in its panel's client coordinates.
  virtual RECT Bounds() const = 0;
  // Draws into dc, whose point (0, 0) is the panel's client origin.
  virtual void PaintContent(HDC dc) const = 0;
};

// A JPEG picture at a DPI's scale from area's top-left corner, clipped to
// area (panel coordinates). It does not own the picture.
class PictureArea final : public Painter {
 public:
  PictureArea(JpegPicture* picture, const RECT& area, int dpi)
      : picture_(picture), area_(area), dpi_(dpi) {}
  RECT Bounds() const override { return area_; }
  void PaintContent(HDC dc) const override;
  // Draws the part in `clip` only.
  void PaintPart(HDC dc, const RECT& clip) const;

 private:
  JpegPicture* picture_;
  RECT area_;
  int dpi_;
};

// A transparent line of text, sized to its text in its font: a left-aligned
// label's text starts at the left edge it is placed by, a right-aligned
// one's ends at its right edge, however long the text. Its bounds take in
// all of the text's ink.
class TextLabel final : public Painter {
 public:
  enum class Align { kLeft, kRight };
  TextLabel(std::string text, COLORREF colour, Align align)
      : text_(std::move(text)), colour_(colour), align_(align) {}

  // Places the label by the edge its alignment keeps and sizes it to its
  // text in `font`, measured on `measure`.
  void Place(HDC measure, HFONT font, const RECT& anchor);

  RECT Bounds() const override { return bounds_; }
  void PaintContent(HDC dc) const override;
  const std::string& Text() const { return text_; }
  HFONT Font() const { return font_; }

 private:
  std::string text_;
  COLORREF colour_;
  Align align_;
  HFONT font_ = nullptr;
  POINT origin_{};  // where the text's advance starts
  RECT bounds_{};
};

// A list header of one section the width of its rectangle, with a caption;
// it cannot be pressed. Drawn here rather than by the common controls'
// header, which would bring comctl32 into the start-up.
class ListHeader final : public Painter {
 public:
  explicit ListHeader(std::string text) : text_(std::move(text)) {}
  void Place(HFONT font, const RECT& rect) {
    font_ = font;
    rect_ = rect;
  }
  RECT Bounds() const override { return rect_; }
  void PaintContent(HDC dc) const override;
  const std::string& Text() const { return text_; }
  HFONT Font() const { return font_; }

 private:
  std::string text_;
  HFONT font_ = nullptr;
  RECT rect_{};
};

// A panel: a plain face of one colour with, optionally, a picture over part
// of it, its painters over that, and a raised one-pixel bevel round it. The
// controls on a panel that show its face through themselves (flat buttons,
// the check box) ask the panel to paint the part under them. Commands,
// notifications and colour requests from its controls go on to the panel's
// parent.
class Panel final : public BaseWindow<Panel> {
 public:
  Panel(COLORREF colour, bool raised_bevel);

  [[nodiscard]] bool Create(HWND parent, int id, const RECT& rect);

  // The picture under everything else; null for none. Repaints.
  void SetPicture(std::unique_ptr<PictureArea> picture);
  // A painter over the face, drawn in the order added; the panel owns it.
  template <typename T>
  T& Add(std::unique_ptr<T> painter) {
    T& added = *painter;
    painters_.push_back(std::move(painter));
    return added;
  }
  // After painters have been placed anew.
  void Invalidate();
  // The bevel's thickness: one pixel at 96 DPI, as thick as the picture's
  // inset at other DPIs, so that no strip of face shows between them.
  void SetBevelWidth(int pixels) { bevel_width_ = pixels; }

  // Everything the panel shows, its child windows left out, into dc whose
  // point (0, 0) is the panel's client origin.
  void PaintContent(HDC dc) const;

  // Paints the face (colour, then picture) of the panel rectangle `area`
  // into dc, whose point (0, 0) is panel point `origin`.
  void PaintFace(HDC dc, POINT origin, const RECT& area) const;

  // A brush that paints the face under `child` in the child's own
  // coordinates; valid until the next call for the same child.
  HBRUSH FaceBrushFor(HWND child);

  COLORREF Colour() const { return colour_; }

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  void OnPaint();

  COLORREF colour_;
  bool raised_bevel_;
  int bevel_width_ = 1;
  ScopedBrush brush_;
  std::unique_ptr<PictureArea> picture_;
  std::vector<std::unique_ptr<Painter>> painters_;
  HWND face_brush_child_ = nullptr;
  ScopedBrush face_brush_;
};

// The rectangle of `child` in its parent's client coordinates.
RECT RectInParent(HWND child);

inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
inline RECT ClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}
