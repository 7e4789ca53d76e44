#include "app/controls/hint_window_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// Runs the thread's messages through the hint, as the event loop does,
// until `done` holds or `limit_ms` has passed. True when `done` held.
bool PumpUntil(HintWindow& hints, const std::function<bool()>& done, DWORD limit_ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      hints.Relay(message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount() - start >= limit_ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

class HintWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "hints", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                              200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    a_ = CreateWindowExA(0, "STATIC", "a", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, parent_, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
    b_ = CreateWindowExA(0, "STATIC", "b", WS_CHILD | WS_VISIBLE, 10, 40, 50, 20, parent_, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(a_, nullptr);
    ASSERT_NE(b_, nullptr);
    hints_ = std::make_unique<HintWindow>(GetModuleHandleA(nullptr), parent_);
    hints_->Add(a_, "Hint of a");
    hints_->Add(b_, "Hint of b, somewhat longer");
    rest_ms_ = GetDoubleClickTime();
  }
  void TearDown() override {
    hints_.reset();
    DestroyWindow(parent_);
  }

  // Hands the hint a mouse message for `window` at its point `at`, as the
  // event loop would, with the pointer really there: the hint asks the
  // system to tell it when the pointer leaves the control.
  void Mouse(HWND window, UINT message, POINT at = {20, 20}) {
    MSG m{window, message, 0, MAKELPARAM(at.x, at.y), GetTickCount(), at};
    if (message == WM_NCMOUSEMOVE) {
      RECT frame{};
      GetWindowRect(window, &frame);
      m.pt = POINT{frame.left + at.x, frame.top + 4};
    } else {
      ClientToScreen(window, &m.pt);
    }
    if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE) SetCursorPos(m.pt.x, m.pt.y);
    hints_->Relay(m);
  }
  bool ShowsFor(HWND control, DWORD limit_ms) {
    return PumpUntil(
        *hints_, [&] { return hints_->Showing() == control; }, limit_ms);
  }
  bool StaysHidden(DWORD ms) {
    return !PumpUntil(
        *hints_, [&] { return hints_->Showing() != nullptr; }, ms);
  }
  HWND HintHandle() const { return FindWindowA("THintWindow", nullptr); }

  HWND parent_ = nullptr, a_ = nullptr, b_ = nullptr;
  std::unique_ptr<HintWindow> hints_;
  DWORD rest_ms_ = 500;
};

TEST_F(HintWindowTest, ShowsTheRestedControlsTextBelowThePointerWithoutTakingTheFocus) {
  ASSERT_EQ(*hints_->TextFor(a_), "Hint of a");
  EXPECT_EQ(hints_->TextFor(parent_), nullptr);
  SetForegroundWindow(parent_);
  const HWND active = GetForegroundWindow();

  Mouse(a_, WM_MOUSEMOVE);
  ASSERT_TRUE(ShowsFor(a_, rest_ms_ * 4));
  const HWND hint = HintHandle();
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(IsWindowVisible(hint));
  EXPECT_EQ(TextOf(hint), "Hint of a");
  EXPECT_EQ(GetWindow(hint, GW_OWNER), parent_);
  EXPECT_EQ(GetForegroundWindow(), active) << "a hint never takes the foreground";
  RECT frame{};
  GetWindowRect(hint, &frame);
  POINT at{20, 20};
  ClientToScreen(a_, &at);
  EXPECT_EQ(frame.left, at.x);
  EXPECT_GT(frame.top, at.y) << "below the pointer";
  EXPECT_GT(frame.right - frame.left, 20);
}

TEST_F(HintWindowTest, WhatHidesAHintAndWhatBringsItBack) {
  struct Step {
    const char* what;
    std::function<void()> act;
    HWND expect;  // the control whose hint shows afterwards, null for none
  };
  const Step steps[] = {
      {"rest on a", [&] { Mouse(a_, WM_MOUSEMOVE); }, a_},
      {"on to b while a shows: b comes up sooner", [&] { Mouse(b_, WM_MOUSEMOVE); }, b_},
      {"a press hides it", [&] { Mouse(b_, WM_LBUTTONDOWN); }, nullptr},
      {"resting on b again does not bring it back", [&] { Mouse(b_, WM_MOUSEMOVE); }, nullptr},
      {"out onto the plain window",
       [&] {
         Mouse(parent_, WM_MOUSEMOVE, {200, 120});
       },
       nullptr},
      {"back on b: it comes back", [&] { Mouse(b_, WM_MOUSEMOVE); }, b_},
      {"the mouse leaves b for another program", [&] { Mouse(b_, WM_MOUSELEAVE); }, nullptr},
      {"rest on a", [&] { Mouse(a_, WM_MOUSEMOVE); }, a_},
      {"a key press hides it", [&] { Mouse(a_, WM_KEYDOWN); }, nullptr},
      {"on to b, then out over the frame",
       [&] {
         Mouse(b_, WM_MOUSEMOVE);
         Mouse(parent_, WM_NCMOUSEMOVE);
       },
       nullptr},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.what);
    step.act();
    if (step.expect != nullptr) {
      EXPECT_TRUE(ShowsFor(step.expect, rest_ms_ * 4));
      EXPECT_EQ(TextOf(HintHandle()), *hints_->TextFor(step.expect));
    } else {
      EXPECT_TRUE(StaysHidden(rest_ms_ * 2));
      const HWND hint = HintHandle();
      EXPECT_TRUE(hint == nullptr || !IsWindowVisible(hint));
    }
  }
}

TEST_F(HintWindowTest, GoesAfterTheHidePauseAndStaysGoneWhileTheMouseStays) {
  EXPECT_EQ(hints_->HidePause(), 2500);
  hints_->SetHidePause(300);
  Mouse(a_, WM_MOUSEMOVE);
  ASSERT_TRUE(ShowsFor(a_, rest_ms_ * 4));
  EXPECT_TRUE(PumpUntil(
      *hints_, [&] { return hints_->Showing() == nullptr; }, 5000));
  Mouse(a_, WM_MOUSEMOVE, {25, 12});
  EXPECT_TRUE(StaysHidden(rest_ms_ * 2));
}

TEST_F(HintWindowTest, StaysOnTheScreenNearItsBottomEdge) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(parent_, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  // The pointer on b, 10 pixels above the bottom and 5 from the right.
  RECT parent{};
  GetWindowRect(parent_, &parent);
  POINT at{45, 15};
  ClientToScreen(b_, &at);
  SetWindowPos(parent_, nullptr, parent.left + (work.right - 5 - at.x),
               parent.top + (work.bottom - 10 - at.y), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Mouse(b_, WM_MOUSEMOVE, {45, 15});
  ASSERT_TRUE(ShowsFor(b_, rest_ms_ * 4));
  RECT frame{};
  GetWindowRect(HintHandle(), &frame);
  at = POINT{45, 15};
  ClientToScreen(b_, &at);
  ASSERT_EQ(at.y, work.bottom - 10);
  EXPECT_LE(frame.bottom, work.bottom);
  EXPECT_LE(frame.right, work.right);
  EXPECT_LT(frame.bottom, at.y) << "above the pointer when there is no room below";
}

}  // namespace

// Hints are written and sized for the owner's DPI, not the system's.
TEST_F(HintWindowTest, SizedForTheOwnersDpi) {
  int heights[2] = {};
  const int dpis[2] = {96, 192};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(dpis[i]);
    hints_->SetDpi(dpis[i]);
    Mouse(parent_, WM_MOUSEMOVE, {200, 200});
    Mouse(a_, WM_MOUSEMOVE);
    ASSERT_TRUE(ShowsFor(a_, rest_ms_ * 4));
    RECT frame{};
    GetWindowRect(HintHandle(), &frame);
    heights[i] = frame.bottom - frame.top;
    hints_->Hide();
  }
  EXPECT_GE(heights[1], heights[0] * 18 / 10) << heights[0] << " at 96 DPI, " << heights[1];
}
