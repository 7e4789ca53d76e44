#include "app/controls/glyph_button_win.h"

#include "app/controls/controls_win.h"
#include "win/gdi_handles_win.h"
#include "win/window_base_win.h"

bool GlyphButton::Create(int id, const RECT& rect, const std::string& accessible_name) {
  const HWND parent = panel_.Handle();
  // Owner-drawn as far as the system is concerned: it never draws a face or
  // a focus frame of its own; WM_PAINT is ours.
  const HWND button = CreateChildWindow(parent, id, "BUTTON", accessible_name.c_str(),
                                        WS_CLIPSIBLINGS | BS_OWNERDRAW, rect);
  if (button == nullptr) return false;
  // Subclassed through its window procedure: the button class leaves the
  // window's user data to us.
  if (!Attach(button)) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
    return false;
  }
  return true;
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
  const RECT client = ClientRect(hwnd_);
  BufferedPaint buffer(paint.dc(), Width(client), Height(client));
  PaintContent(buffer.dc());
}

// Into any DC: the screen's buffer, or a print of the window (PrintWindow,
// WM_PRINTCLIENT), whose origin may be moved; hence the clip in logical
// coordinates.
void GlyphButton::PaintContent(HDC dc) const {
  const RECT client = ClientRect(hwnd_);
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
    RECT edge = client;
    if (down_) {
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    } else if (hot_ && enabled) {
      DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
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
    const ScopedClip clip(dc, RECT{inset, inset, Width(client) - inset, Height(client) - inset});
    GdiTransparentBlt(dc, x, y, frame_size, frame_height, source.get(), frame * frame_size, 0,
                      frame_size, frame_height, key_);
  }
}

LRESULT GlyphButton::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      // The button class would ask the panel for WM_DRAWITEM, which it
      // does not draw: a print of the window would show the buttons blank.
      PaintContent(reinterpret_cast<HDC>(wparam));
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
      return CallOriginal(message, wparam, lparam);
  }
}

void GlyphButton::SetPicture(HBITMAP picture) {
  picture_ = picture;
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}
