#include "win/confirm_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

namespace {

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), length + 1)));
  return text;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// What a second thread saw of the dialog before it answered.
struct Seen {
  bool found = false;
  std::string title;
  std::string class_name;
  bool question_icon = false;
  int icon_width = 0;
  std::string yes_text;
  std::string no_text;
  LRESULT default_id = 0;
  bool yes_is_default_style = false;
  bool close_enabled = false;
  std::string body;
  RECT window{};
  RECT work{};
  bool body_inside = false;
};

// Two minutes: laying out the longest texts takes half a minute when the
// 32-bit build runs under emulation, and a watcher that gave up would leave
// the dialog open for ever.
HWND WaitForDialog() {
  for (int i = 0; i < 6000; ++i) {
    if (HWND dialog = FindWindowA("#32770", "Confirm")) {
      if (IsWindowVisible(dialog)) return dialog;
    }
    Sleep(20);
  }
  return nullptr;
}

HWND IconChild(HWND dialog) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      return child;
    }
  }
  return nullptr;
}

// Runs the dialog on this thread while another thread looks at it and then
// answers with `act`.
bool RunDialog(const std::string& text, Seen& seen, const std::function<void(HWND)>& act,
               int dpi = USER_DEFAULT_SCREEN_DPI) {
  std::thread watcher([&] {
    HWND dialog = WaitForDialog();
    if (dialog == nullptr) return;
    seen.found = true;
    seen.title = TextOf(dialog);
    seen.class_name = ClassOf(dialog);
    HWND icon = IconChild(dialog);
    seen.question_icon =
        icon != nullptr && reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)) ==
                               LoadIconA(nullptr, IDI_QUESTION);
    RECT icon_rect{};
    GetClientRect(icon, &icon_rect);
    seen.icon_width = icon_rect.right;
    HWND yes = GetDlgItem(dialog, IDYES);
    HWND no = GetDlgItem(dialog, IDNO);
    seen.yes_text = TextOf(yes);
    seen.no_text = TextOf(no);
    seen.default_id = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    seen.yes_is_default_style = (GetWindowLongA(yes, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    HMENU menu = GetSystemMenu(dialog, FALSE);
    const UINT state = GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND);
    seen.close_enabled = state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
    HWND body = GetDlgItem(dialog, 100);
    seen.body = TextOf(body);
    GetWindowRect(dialog, &seen.window);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &info);
    seen.work = info.rcWork;
    RECT body_rect{};
    GetWindowRect(body, &body_rect);
    RECT client{};
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT*>(&client), 2);
    seen.body_inside = body_rect.left >= client.left && body_rect.right <= client.right &&
                       body_rect.top >= client.top && body_rect.bottom <= client.bottom &&
                       body_rect.right > body_rect.left && body_rect.bottom > body_rect.top;
    act(dialog);
  });
  const bool answer = ShowConfirmDialog(nullptr, text, dpi);
  watcher.join();
  return answer;
}

void PostKey(HWND dialog, UINT message, WPARAM key) {
  PostMessageA(GetDlgItem(dialog, IDYES), message, key, 0);
}

TEST(ConfirmDialog, AnswersAndLooks) {
  struct Row {
    const char* label;
    std::function<void(HWND)> act;
    bool expected;
  };
  const Row rows[] = {
      {"click Yes", [](HWND d) { PostMessageA(GetDlgItem(d, IDYES), BM_CLICK, 0, 0); }, true},
      {"click No", [](HWND d) { PostMessageA(GetDlgItem(d, IDNO), BM_CLICK, 0, 0); }, false},
      {"Enter takes the default", [](HWND d) { PostKey(d, WM_KEYDOWN, VK_RETURN); }, true},
      {"Escape", [](HWND d) { PostKey(d, WM_KEYDOWN, VK_ESCAPE); }, false},
      {"close button", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, false},
      {"WM_CLOSE", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }, false},
      {"mnemonic n", [](HWND d) { PostKey(d, WM_CHAR, 'n'); }, false},
      {"mnemonic y", [](HWND d) { PostKey(d, WM_CHAR, 'y'); }, true},
  };
  const std::string text = "Remove this station & its folder? (Rock)";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Seen seen;
    const bool answer = RunDialog(text, seen, row.act);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(answer, row.expected);
    EXPECT_EQ(seen.title, "Confirm");
    EXPECT_EQ(seen.class_name, "#32770");
    EXPECT_TRUE(seen.question_icon);
    EXPECT_EQ(seen.yes_text, "&Yes");
    EXPECT_EQ(seen.no_text, "&No");
    EXPECT_EQ(HIWORD(seen.default_id), DC_HASDEFID);
    EXPECT_EQ(LOWORD(seen.default_id), IDYES);
    EXPECT_TRUE(seen.yes_is_default_style);
    EXPECT_TRUE(seen.close_enabled);
    EXPECT_EQ(seen.body, text);
  }
}

// Sized to the text and centred on the screen, for texts of any length.
TEST(ConfirmDialog, SizedToTheTextAndCentred) {
  struct Row {
    const char* label;
    std::string text;
  };
  const Row rows[] = {
      {"short", "Remove? (A)"},
      {"a sentence", "Do you want to remove this station and delete its folder (Rock FM 104.5)"},
      {"one long word", "Remove? (" + std::string(300, 'W') + ")"},
      {"many words",
       [] {
         std::string text;
         for (int i = 0; i < 400; ++i) text += "station ";
         return text;
       }()},
      {"taller than the screen",
       [] {
         std::string text;
         for (int i = 0; i < 3000; ++i) text += "line of a very long text ";
         return text;
       }()},
  };
  int previous_area = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Seen seen;
    EXPECT_FALSE(RunDialog(row.text, seen, [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); }));
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.body, row.text);
    EXPECT_TRUE(seen.body_inside);
    const RECT& w = seen.window;
    const RECT& a = seen.work;
    EXPECT_GE(w.left, a.left);
    EXPECT_GE(w.top, a.top);
    EXPECT_LE(w.right, a.right);
    EXPECT_LE(w.bottom, a.bottom);
    EXPECT_LE(std::abs((w.left + w.right) - (a.left + a.right)), 2);
    EXPECT_LE(std::abs((w.top + w.bottom) - (a.top + a.bottom)), 2);
    // Longer texts never give a smaller dialog.
    const int area = (w.right - w.left) * (w.bottom - w.top);
    EXPECT_GE(area, previous_area);
    previous_area = area;
  }
}

}  // namespace

// Owned by a window on a monitor of another DPI: the icon is that DPI's,
// not the system's.
TEST(ConfirmDialog, TheIconIsTheOwnersDpis) {
  for (const int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    Seen seen;
    RunDialog(
        "Remove?", seen, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }, dpi);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.icon_width, dpi / 3) << "32 pixels at 96 DPI";
  }
}
