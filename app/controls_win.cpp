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

template <typename T>
bool RegisterChildClass(HINSTANCE instance, const char* name) {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &T::Thunk;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  window_class.lpszClassName = name;
  return RegisterWindowClass(window_class);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT ClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
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
  const HINSTANCE instance = InstanceOf(parent);
  if (!RegisterChildClass<Panel>(instance, kPanelClass)) return false;
  return CreateWindowExA(WS_EX_CONTROLPARENT, kPanelClass, "",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect.left,
                         rect.top, Width(rect), Height(rect), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         this) != nullptr;
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
  const HDC screen = GetDC(hwnd_);
  ScopedMemoryDc dc(CreateCompatibleDC(screen));
  ScopedBitmap bitmap(
      CreateCompatibleBitmap(screen, std::max(1, Width(place)), std::max(1, Height(place))));
  ReleaseDC(hwnd_, screen);
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
  const HWND parent = panel_.Handle();
  const HINSTANCE instance = InstanceOf(parent);
  if (!RegisterChildClass<PictureBox>(instance, kPictureClass)) return false;
  return CreateWindowExA(0, kPictureClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left,
                         rect.top, Width(rect), Height(rect), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         this) != nullptr;
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
  const HWND parent = panel_.Handle();
  const HINSTANCE instance = InstanceOf(parent);
  if (!RegisterChildClass<Label>(instance, kLabelClass)) return false;
  return CreateWindowExA(0, kLabelClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                         rect.left, rect.top, Width(rect), Height(rect), parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                         this) != nullptr;
}

void Label::OnPaint() {
  PaintScope paint(hwnd_);
  RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  const RECT place = RectInParent(hwnd_);
  panel_.PaintFace(buffer.dc(), POINT{place.left, place.top}, place);

  const std::string text = TextOf(hwnd_);
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
  if (hwnd_ != nullptr) {
    SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  }
}

bool GlyphButton::Create(int id, const RECT& rect, const std::string& accessible_name) {
  const HWND parent = panel_.Handle();
  // Owner-drawn as far as the system is concerned: it never draws a face or
  // a focus frame of its own; WM_PAINT is ours.
  hwnd_ = CreateWindowExA(
      0, "BUTTON", accessible_name.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_OWNERDRAW,
      rect.left, rect.top, Width(rect), Height(rect), parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), InstanceOf(parent), nullptr);
  if (hwnd_ == nullptr) return false;
  // Subclassed through its window procedure: the button class leaves the
  // window's user data to us.
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GlyphButton::Procedure)));
  if (original_ == nullptr) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  return true;
}

LRESULT CALLBACK GlyphButton::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* button = reinterpret_cast<GlyphButton*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (button == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  const WNDPROC original = button->original_;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
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
    const HRGN clip = CreateRectRgn(inset, inset, Width(client) - inset, Height(client) - inset);
    SelectClipRgn(dc, clip);
    DeleteObject(clip);
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
  const HINSTANCE instance = InstanceOf(parent);
  if (!RegisterChildClass<Header>(instance, kHeaderClass)) return false;
  return CreateWindowExA(
             0, kHeaderClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED,
             rect.left, rect.top, Width(rect), Height(rect), parent,
             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this) != nullptr;
}

void Header::OnPaint() {
  PaintScope paint(hwnd_);
  const RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  const HDC dc = buffer.dc();
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT section{0, 0, std::min<int>(section_width_, Width(client)), Height(client)};
  DrawEdge(dc, &section, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);

  const std::string text = TextOf(hwnd_);
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
