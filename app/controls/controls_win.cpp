#include "app/controls/controls_win.h"

#include <algorithm>

#include "app/pictures/picture_win.h"

namespace {

constexpr char kPanelClass[] = "TPanel";

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// How far a string's ink reaches past its advance: before its first
// character (italic and some glyphs lean left) and after its last.
struct Overhang {
  int before = 0;
  int after = 0;
};

Overhang OverhangOf(HDC dc, const std::string& text) {
  Overhang o;
  if (text.empty()) return o;
  ABC first{};
  ABC last{};
  const auto a = static_cast<unsigned char>(text.front());
  const auto c = static_cast<unsigned char>(text.back());
  // Bitmap fonts have no ABC widths; their ink stays inside the advance.
  if (GetCharABCWidthsA(dc, a, a, &first)) o.before = std::max(0, -first.abcA);
  if (GetCharABCWidthsA(dc, c, c, &last)) o.after = std::max(0, -last.abcC);
  return o;
}

}  // namespace

RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// --- PictureArea ---

void PictureArea::PaintContent(HDC dc) const { PaintPart(dc, area_); }

void PictureArea::PaintPart(HDC dc, const RECT& clip) const {
  if (picture_ == nullptr || !picture_->Loaded()) return;
  RECT part{};
  if (!IntersectRect(&part, &clip, &area_)) return;
  picture_->Draw(dc, area_.left, area_.top, part, dpi_);
}

// --- TextLabel ---

void TextLabel::Place(HDC measure, HFONT font, const RECT& anchor) {
  font_ = font;
  const ScopedSelect select(measure, font);
  SIZE extent{};
  GetTextExtentPoint32A(measure, text_.c_str(), static_cast<int>(text_.size()), &extent);
  const Overhang overhang = OverhangOf(measure, text_);
  // The advance starts or ends at the kept edge, as a plain text control
  // draws it; the bounds take in whatever ink leans past it.
  const int x = align_ == Align::kRight ? anchor.right - extent.cx : anchor.left;
  origin_ = POINT{x, anchor.top};
  bounds_.left = x - overhang.before;
  bounds_.right = x + extent.cx + overhang.after;
  bounds_.top = anchor.top;
  bounds_.bottom = anchor.top + std::max<int>(Height(anchor), extent.cy);
}

void TextLabel::PaintContent(HDC dc) const {
  const ScopedSaveDc saved(dc);
  const ScopedSelect font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_);
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  TextOutA(dc, origin_.x, origin_.y, text_.c_str(), static_cast<int>(text_.size()));
}

// --- ListHeader ---

void ListHeader::PaintContent(HDC dc) const {
  const ScopedSaveDc saved(dc);
  FillRect(dc, &rect_, GetSysColorBrush(COLOR_BTNFACE));
  RECT section = rect_;
  DrawEdge(dc, &section, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);

  const ScopedSelect font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text_box = rect_;
  InflateRect(&text_box, -3 * GetSystemMetrics(SM_CXEDGE), 0);
  DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &text_box,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// --- Panel ---

Panel::Panel(COLORREF colour, bool raised_bevel)
    : colour_(colour), raised_bevel_(raised_bevel), brush_(CreateSolidBrush(colour)) {}

bool Panel::Create(HWND parent, int id, const RECT& rect) {
  return RegisterWindowClass(InstanceOf(parent), WindowClass{kPanelClass, &Panel::Thunk}) &&
         CreateChildWindow(parent, id, kPanelClass, "", WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect,
                           WS_EX_CONTROLPARENT, this) != nullptr;
}

void Panel::SetPicture(std::unique_ptr<PictureArea> picture) {
  picture_ = std::move(picture);
  Invalidate();
}

void Panel::Invalidate() {
  face_brush_child_ = nullptr;
  if (hwnd_ != nullptr) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Panel::PaintFace(HDC dc, POINT origin, const RECT& area) const {
  RECT target = area;
  OffsetRect(&target, -origin.x, -origin.y);
  FillRect(dc, &target, brush_.get());
  if (picture_ == nullptr) return;
  const ScopedSaveDc saved(dc);
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, nullptr);
  picture_->PaintPart(dc, area);
}

void Panel::PaintContent(HDC dc) const {
  const RECT all = ClientRect(hwnd_);
  PaintFace(dc, POINT{0, 0}, all);
  for (const auto& painter : painters_) painter->PaintContent(dc);
  if (raised_bevel_) {
    RECT edge = all;
    for (int i = 0; i < bevel_width_; ++i) {
      DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      InflateRect(&edge, -1, -1);
    }
  }
}

HBRUSH Panel::FaceBrushFor(HWND child) {
  // Controls that paint their own background with the brush their parent
  // gives (the check box) get a picture of the face under them.
  if (child == face_brush_child_ && face_brush_) return face_brush_.get();
  const RECT place = RectInParent(child);
  ScopedMemoryDc dc;
  ScopedBitmap bitmap;
  {
    const ScopedGetDc screen(hwnd_);
    dc.reset(CreateCompatibleDC(screen.get()));
    bitmap.reset(CreateCompatibleBitmap(screen.get(), std::max(1, Width(place)),
                                        std::max(1, Height(place))));
  }
  {
    ScopedSelect select(dc.get(), bitmap.get());
    PaintFace(dc.get(), POINT{place.left, place.top}, place);
  }
  face_brush_.reset(CreatePatternBrush(bitmap.get()));
  face_brush_child_ = face_brush_ ? child : nullptr;
  return face_brush_ ? face_brush_.get() : brush_.get();
}

void Panel::OnPaint() {
  PaintScope paint(hwnd_);
  const RECT all = ClientRect(hwnd_);
  // Text over a picture: drawn off screen and copied in one go, so that a
  // repaint never shows the picture without its labels.
  BufferedPaint buffer(paint.dc(), Width(all), Height(all));
  PaintContent(buffer.dc());
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      PaintContent(reinterpret_cast<HDC>(wparam));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageA(GetParent(hwnd_), message, wparam, lparam);
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}
