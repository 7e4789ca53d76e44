#include "app/controls_win.h"

#include <algorithm>

#include "app/picture_win.h"

namespace {

constexpr char kPanelClass[] = "TPanel";
constexpr char kPictureClass[] = "TImage";
constexpr char kLabelClass[] = "TLabel";
constexpr char kHeaderClass[] = "THeaderControl";

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

// Registers T's class in the parent's module and creates T's window there.
template <typename T>
bool CreateOwnControl(T* control, HWND parent, const char* class_name, int id, const RECT& rect,
                      const char* text, DWORD style, DWORD ex_style = 0) {
  return RegisterWindowClass(InstanceOf(parent), WindowClass{class_name, &T::Thunk}) &&
         CreateChildWindow(parent, id, class_name, text, style, rect, ex_style, control) != nullptr;
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT ClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

// What the painted text controls (labels, the header) answer alike: their
// painting, their font, and a repaint when their text or state changes.
template <typename Paint>
LRESULT TextControlMessage(HWND window, HFONT font, UINT message, WPARAM wparam, LPARAM lparam,
                           Paint paint) {
  switch (message) {
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font);
    case WM_ENABLE:
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcA(window, message, wparam, lparam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

}  // namespace

RECT RectInParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// --- Panel ---

Panel::Panel(COLORREF colour, bool raised_bevel)
    : colour_(colour), raised_bevel_(raised_bevel), brush_(CreateSolidBrush(colour)) {}

bool Panel::Create(HWND parent, int id, const RECT& rect) {
  return CreateOwnControl(this, parent, kPanelClass, id, rect, "",
                          WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT);
}

void Panel::SetPicture(JpegPicture* picture, const RECT& area) {
  picture_ = picture;
  picture_area_ = area;
  face_brush_child_ = nullptr;
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Panel::PaintFace(HDC dc, POINT origin, const RECT& area) {
  RECT target = area;
  OffsetRect(&target, -origin.x, -origin.y);
  FillRect(dc, &target, brush_.get());
  if (picture_ == nullptr || !picture_->Loaded()) return;
  RECT clip{};
  if (!IntersectRect(&clip, &area, &picture_area_)) return;
  OffsetRect(&clip, -origin.x, -origin.y);
  picture_->Draw(dc, picture_area_.left - origin.x, picture_area_.top - origin.y, clip);
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
  PaintFace(paint.dc(), POINT{0, 0}, all);
  if (raised_bevel_) {
    RECT edge = all;
    DrawEdge(paint.dc(), &edge, BDR_RAISEDINNER, BF_RECT);
  }
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
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

// --- PictureBox ---

bool PictureBox::Create(int id, const RECT& rect) {
  return CreateOwnControl(this, panel_.Handle(), kPictureClass, id, rect, "", WS_CLIPSIBLINGS);
}

LRESULT PictureBox::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PaintScope paint(hwnd_);
      const RECT place = RectInParent(hwnd_);
      panel_.PaintFace(paint.dc(), POINT{place.left, place.top}, place);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // clicks go to the panel, as on a plain face
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

// --- Label ---

bool Label::Create(int id, const RECT& rect, const std::string& text) {
  return CreateOwnControl(this, panel_.Handle(), kLabelClass, id, rect, text.c_str(),
                          WS_CLIPSIBLINGS);
}

void Label::OnPaint() {
  PaintScope paint(hwnd_);
  RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  const RECT place = RectInParent(hwnd_);
  panel_.PaintFace(buffer.dc(), POINT{place.left, place.top}, place);

  const std::string text = WindowText(hwnd_);
  ScopedSelect font(buffer.dc(), font_);
  SetBkMode(buffer.dc(), TRANSPARENT);
  SetTextColor(buffer.dc(), text_colour_);
  const UINT align = align_ == Align::kRight ? DT_RIGHT : DT_LEFT;
  DrawTextA(buffer.dc(), text.c_str(), static_cast<int>(text.size()), &client,
            align | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT Label::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;
  return TextControlMessage(hwnd_, font_, message, wparam, lparam, [this] { OnPaint(); });
}

// --- GlyphButton ---

GlyphButton::~GlyphButton() {
  if (hwnd_ != nullptr) RestoreWindowProcedure(hwnd_, original_, false);
}

bool GlyphButton::Create(int id, const RECT& rect, const std::string& accessible_name) {
  const HWND parent = panel_.Handle();
  // Owner-drawn as far as the system is concerned: it never draws a face or
  // a focus frame of its own; WM_PAINT is ours.
  hwnd_ = CreateChildWindow(parent, id, "BUTTON", accessible_name.c_str(),
                            WS_CLIPSIBLINGS | BS_OWNERDRAW, rect);
  if (hwnd_ == nullptr) return false;
  // Subclassed through its window procedure: the button class leaves the
  // window's user data to us.
  original_ = SubclassWindow(hwnd_, &GlyphButton::Procedure, this, false);
  if (original_ == nullptr) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  return true;
}

LRESULT CALLBACK GlyphButton::Procedure(HWND hwnd, UINT message, WPARAM wparam,
                                        LPARAM lparam) noexcept {
  auto* button = SubclassOwner<GlyphButton>(hwnd);
  if (button == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  const WNDPROC original = button->original_;
  if (message == WM_NCDESTROY) {
    RestoreWindowProcedure(hwnd, original, false);
    button->hwnd_ = nullptr;
    return CallWindowProcA(original, hwnd, message, wparam, lparam);
  }
  return DispatchGuarded(hwnd, [&] { return button->HandleMessage(message, wparam, lparam); });
}

bool GlyphButton::MouseInside(LPARAM lparam) const {
  const POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
  const RECT client = ClientRect(hwnd_);
  return PtInRect(&client, at) != FALSE;
}

void GlyphButton::SetLook(bool hot, bool down) {
  if (hot == hot_ && down == down_) return;
  hot_ = hot;
  down_ = down;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void GlyphButton::OnPaint() {
  PaintScope paint(hwnd_);
  RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  const HDC dc = buffer.dc();
  const bool enabled = IsWindowEnabled(hwnd_) != FALSE;

  int frame_size = 0;
  int frame_height = 0;
  if (picture_ != nullptr) {
    BITMAP info{};
    GetObjectA(picture_, sizeof info, &info);
    frame_size = frames_ > 0 ? info.bmWidth / frames_ : info.bmWidth;
    frame_height = info.bmHeight;
  }

  if (kind_ == Kind::kRaised) {
    RECT face = client;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down_ ? DFCS_PUSHED : 0));
  } else {
    const RECT place = RectInParent(hwnd_);
    panel_.PaintFace(dc, POINT{place.left, place.top}, place);
    if (down_) {
      DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot_ && enabled) {
      DrawEdge(dc, &client, BDR_RAISEDINNER, BF_RECT);
    }
  }

  if (picture_ != nullptr && frame_size > 0) {
    const int frame = (!enabled && frames_ > 1) ? 1 : 0;
    const int shift = down_ ? 1 : 0;
    const int x = (Width(client) - frame_size) / 2 + shift;
    const int y = (Height(client) - frame_height) / 2 + shift;
    ScopedMemoryDc source(CreateCompatibleDC(dc));
    ScopedSelect select(source.get(), picture_);
    // Inside the frame only: a picture as big as the button must not paint
    // over its edges.
    const int inset = kind_ == Kind::kRaised ? 2 : 1;
    const ScopedRegion clip(
        CreateRectRgn(inset, inset, Width(client) - inset, Height(client) - inset));
    SelectClipRgn(dc, clip.get());
    GdiTransparentBlt(dc, x, y, frame_size, frame_height, source.get(), frame * frame_size, 0,
                      frame_size, frame_height, key_);
    SelectClipRgn(dc, nullptr);
  }
}

LRESULT GlyphButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // No SetFocus: the focus stays where the operator left it.
      tracking_ = true;
      SetCapture(hwnd_);
      SetLook(true, true);
      return 0;
    case WM_MOUSEMOVE: {
      const bool inside = MouseInside(lparam);
      if (!hot_ && inside) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&track);
      }
      SetLook(inside, tracking_ && inside);
      return 0;
    }
    case WM_MOUSELEAVE:
      if (!tracking_) SetLook(false, false);
      return 0;
    case WM_LBUTTONUP: {
      const bool click = tracking_ && MouseInside(lparam);
      tracking_ = false;
      if (GetCapture() == hwnd_) ReleaseCapture();
      SetLook(MouseInside(lparam), false);
      if (click) {
        UpdateWindow(hwnd_);
        const int id = GetDlgCtrlID(hwnd_);
        SendMessageA(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(hwnd_));
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (tracking_) {
        tracking_ = false;
        SetLook(false, false);
      }
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      return 0;
    default:
      return CallWindowProcA(original_, hwnd_, message, wparam, lparam);
  }
}

// --- Header ---

bool Header::Create(HWND parent, int id, const RECT& rect, const std::string& text) {
  return CreateOwnControl(this, parent, kHeaderClass, id, rect, text.c_str(),
                          WS_CLIPSIBLINGS | WS_DISABLED);
}

void Header::OnPaint() {
  PaintScope paint(hwnd_);
  const RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  const HDC dc = buffer.dc();
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT section{0, 0, std::min<int>(section_width_, Width(client)), Height(client)};
  DrawEdge(dc, &section, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);

  const std::string text = WindowText(hwnd_);
  ScopedSelect font(dc, font_);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT text_box = section;
  InflateRect(&text_box, -3 * GetSystemMetrics(SM_CXEDGE), 0);
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &text_box,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

LRESULT Header::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return TextControlMessage(hwnd_, font_, message, wparam, lparam, [this] { OnPaint(); });
}
