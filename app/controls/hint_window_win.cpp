#include "app/controls/hint_window_win.h"

#include <algorithm>

#include "win/dpi_scale.h"
#include "win/dpi_win.h"

namespace {

constexpr char kHintClass[] = "THintWindow";
constexpr int kMaxTextWidth = 400;
constexpr int kMarginX = 3;
constexpr int kMarginY = 1;

bool IsPress(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      return true;
    default:
      return false;
  }
}

}  // namespace

HintWindow::HintWindow(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}

HintWindow::~HintWindow() = default;

void HintWindow::SetDpi(int dpi) {
  if (dpi == dpi_) return;
  Hide();
  dpi_ = dpi;
  if (hwnd_ != nullptr) font_ = StatusFontForDpi(dpi_);
}

void HintWindow::Add(HWND control, std::string text) {
  // Pointers into the table are kept in current_: no growth behind them.
  Hide();
  current_ = nullptr;
  hints_.push_back(Hint{control, std::move(text), {}});
}

void HintWindow::SetLiveText(HWND control, std::function<std::string(POINT)> live) {
  for (Hint& hint : hints_) {
    if (hint.control == control) hint.live = std::move(live);
  }
}

const HintWindow::Hint* HintWindow::Find(HWND control) const {
  const auto hint = std::find_if(hints_.begin(), hints_.end(),
                                 [control](const Hint& h) { return h.control == control; });
  return hint == hints_.end() ? nullptr : &*hint;
}

const std::string* HintWindow::TextFor(HWND control) const {
  const Hint* hint = Find(control);
  return hint == nullptr ? nullptr : &hint->text;
}

HWND HintWindow::Showing() const {
  return shown_ && current_ != nullptr ? current_->control : nullptr;
}

void HintWindow::Relay(const MSG& message) {
  if (hints_.empty()) return;
  if (message.message == WM_MOUSEMOVE) {
    OnMouseMove(message.hwnd, message.pt);
  } else if (message.message == WM_NCMOUSEMOVE) {
    OnMouseMove(nullptr, message.pt);
  } else if (message.message == WM_MOUSELEAVE) {
    if (current_ != nullptr && message.hwnd == current_->control) OnMouseMove(nullptr, message.pt);
  } else if (IsPress(message.message)) {
    if (current_ != nullptr) spent_ = true;
    Hide();
  }
}

void HintWindow::OnMouseMove(HWND target, POINT at) {
  at_ = at;
  const Hint* hint = target == nullptr ? nullptr : Find(target);
  if (hint == current_) {
    // Resting is what brings a hint up: a move starts the wait afresh.
    if (hint != nullptr && !shown_ && !spent_ && MakeWindow()) {
      SetTimer(hwnd_, kShowTimer, GetDoubleClickTime(), nullptr);
    }
    return;
  }
  const bool was_shown = shown_;
  Hide();
  current_ = hint;
  spent_ = false;
  if (hint == nullptr || !MakeWindow()) return;
  // The control tells us when the mouse leaves it for a window not ours.
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hint->control, 0};
  TrackMouseEvent(&track);
  const UINT wait = was_shown ? GetDoubleClickTime() / 5 : GetDoubleClickTime();
  SetTimer(hwnd_, kShowTimer, wait, nullptr);
}

void HintWindow::Hide() {
  if (hwnd_ == nullptr) return;
  KillTimer(hwnd_, kShowTimer);
  KillTimer(hwnd_, kHideTimer);
  if (shown_) {
    shown_ = false;
    ShowWindow(hwnd_, SW_HIDE);
  }
}

bool HintWindow::MakeWindow() {
  if (hwnd_ != nullptr) return true;
  font_ = StatusFontForDpi(dpi_);
  return BaseWindow::Create(
      instance_, WindowClass{.name = kHintClass, .style = CS_SAVEBITS},
      WindowShape{.style = WS_POPUP | WS_BORDER,
                  .ex_style = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE},
      owner_);
}

void HintWindow::Show() {
  KillTimer(hwnd_, kShowTimer);
  if (current_ == nullptr || !IsWindowVisible(current_->control)) return;
  std::string text;
  if (current_->live) {
    POINT at = at_;
    ScreenToClient(current_->control, &at);
    text = current_->live(at);
  }
  if (text.empty()) text = current_->text;
  SetWindowTextA(hwnd_, text.c_str());

  const int margin_x = ScaleToDpi(kMarginX, dpi_);
  const int margin_y = ScaleToDpi(kMarginY, dpi_);
  RECT box{0, 0, ScaleToDpi(kMaxTextWidth, dpi_), 0};
  {
    const ScopedGetDc dc(hwnd_);
    const ScopedSaveDc saved(dc.get());
    if (font_) SelectObject(dc.get(), font_.get());
    DrawTextA(dc.get(), text.c_str(), static_cast<int>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  const RECT frame = FrameForClient(RECT{0, 0, box.right + 2 * margin_x, box.bottom + 2 * margin_y},
                                    WS_POPUP | WS_BORDER, WS_EX_TOOLWINDOW, dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;

  // Below the pointer, as the system's tooltips sit, and on its screen.
  int x = at_.x;
  int y = at_.y + SystemMetricForDpi(SM_CYCURSOR, dpi_) * 2 / 3;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoA(MonitorFromPoint(at_, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    if (y + height > work.bottom) y = at_.y - height - 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
  }
  SetWindowPos(hwnd_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
  shown_ = true;
  SetTimer(hwnd_, kHideTimer, static_cast<UINT>(std::max(hide_pause_ms_, 1)), nullptr);
}

void HintWindow::OnPaint() {
  PaintScope paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
  FillRect(paint.dc(), &client, GetSysColorBrush(COLOR_INFOBK));
  if (current_ == nullptr) return;
  const std::string text = WindowText(hwnd_);
  const ScopedSelect font(paint.dc(), font_.get());
  SetBkMode(paint.dc(), TRANSPARENT);
  SetTextColor(paint.dc(), GetSysColor(COLOR_INFOTEXT));
  InflateRect(&client, -ScaleToDpi(kMarginX, dpi_), -ScaleToDpi(kMarginY, dpi_));
  DrawTextA(paint.dc(), text.c_str(), static_cast<int>(text.size()), &client,
            DT_WORDBREAK | DT_NOPREFIX);
}

LRESULT HintWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kShowTimer) Show();
      if (wparam == kHideTimer) {
        Hide();
        spent_ = true;
      }
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the mouse goes through to what lies under it
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}
