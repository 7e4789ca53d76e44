#include "app/main_window_win.h"

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/application_win.h"
#include "app/controller/controller.h"
#include "app/controller/controller_fakes.h"
#include "app/controls/accessible_description_win.h"
#include "app/pictures/jpeg_test_support.h"
#include "base/com_apartment_win.h"
#include "base/system_library_win.h"
#include "base/test_folder_win.h"
#include "win/window_base_win.h"

namespace {

// --- modal boxes: seen, described and closed by a hook of the test thread ---

struct SeenBox {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
  bool icon = false;
  RECT frame{};
};

std::vector<SeenBox> seen_boxes;
HHOOK box_hook = nullptr;
HWND open_box = nullptr;

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK DescribeChild(HWND child, LPARAM into) {
  auto& box = *reinterpret_cast<SeenBox*>(into);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  const std::string kind = ClassOf(child);
  if (kind == "Static" || kind == "STATIC") {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      const bool shown = (style & WS_VISIBLE) != 0 && SendMessageA(child, STM_GETICON, 0, 0) != 0;
      box.icon = box.icon || shown;
    } else if (!WindowText(child).empty()) {
      box.text += WindowText(child);
    }
  } else if ((kind == "Button" || kind == "BUTTON") && (style & WS_VISIBLE)) {
    box.buttons.push_back(WindowText(child));
  }
  return TRUE;
}

LRESULT CALLBACK WatchBoxes(int code, WPARAM wparam, LPARAM lparam) {
  const auto window = reinterpret_cast<HWND>(wparam);
  if (code == HCBT_ACTIVATE && ClassOf(window) == "#32770" && window != open_box) {
    SeenBox box;
    box.title = WindowText(window);
    EnumChildWindows(window, DescribeChild, reinterpret_cast<LPARAM>(&box));
    seen_boxes.push_back(box);
    open_box = window;
    PostMessageA(window, WM_CLOSE, 0, 0);
  }
  if (code == HCBT_DESTROYWND && window == open_box) {
    GetWindowRect(window, &seen_boxes.back().frame);
    open_box = nullptr;
  }
  return CallNextHookEx(box_hook, code, wparam, lparam);
}

void Pump() {
  MSG message;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT at{x, y};
  ClientToScreen(window, &at);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::string Hex(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// Writes the window as it is on the screen to a BMP under the build folder,
// for a person to look at.
void SaveScreenshot(HWND window, const std::string& name) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4d42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
  std::ofstream out(std::string(MORVELLE_SCREENSHOT_DIR) + "/" + name + ".bmp", std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), stride * static_cast<DWORD>(height));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen_boxes.clear();
    box_hook = SetWindowsHookExA(WH_CBT, WatchBoxes, nullptr, GetCurrentThreadId());
    application = std::make_unique<Application>(GetModuleHandleA(nullptr), "CONTROLLER");
    window = std::make_unique<MainWindow>(*application);
    controller = std::make_unique<Tmusicstations>(
        *window, Outside{world, world, world, world, world, world, world}, world);
    world.controller = controller.get();
    ASSERT_TRUE(window->Create(*controller));
  }
  void TearDown() override {
    controller.reset();
    window.reset();
    application.reset();
    Pump();
    UnhookWindowsHookEx(box_hook);
    installation.reset();
  }
  void Start() {
    controller->FormCreate();
    window->ShowCentred();
    Pump();
  }
  // A real installation folder for the pictures; the list stays fake.
  void UseFolder() {
    installation.emplace("main window");
    folder = installation->path();
    CreateDirectoryA((folder + "images").c_str(), nullptr);
    world.module = folder + "morvelle.exe";
  }
  void Picture(const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder + name;
    WriteFile(path, bytes);
    world.files[path] = "";
  }
  HWND Control(int id) const { return window->Control(id); }
  // As if the window were moved to a monitor of `dpi`, staying where it is.
  void MoveToDpi(int dpi) {
    if (window->Dpi() == dpi) return;
    RECT frame{};
    GetWindowRect(Main(), &frame);
    SendMessageA(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&frame));
  }
  HWND Main() const { return window->Handle(); }
  void Click(HWND control, int x, int y) {
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump();
  }

  // First, as in the program: the window's thread is in its apartment.
  UiThreadApartment apartment;
  FakeWorld world;
  std::unique_ptr<Application> application;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<Tmusicstations> controller;
  std::optional<TestFolder> installation;
  std::string folder;
};

TEST_F(MainWindowTest, WindowFrameCaptionAndOwner) {
  RECT client{};
  GetClientRect(Main(), &client);
  EXPECT_EQ(client.right, 308);
  EXPECT_EQ(client.bottom, 164);
  EXPECT_EQ(WindowText(Main()), "TALVEX Morvelle");

  const LONG style = GetWindowLongA(Main(), GWL_STYLE);
  const LONG ex_style = GetWindowLongA(Main(), GWL_EXSTYLE);
  struct Bit {
    const char* label;
    LONG value;
    bool set;
  };
  const Bit bits[] = {
      {"title bar", WS_CAPTION, true},
      {"system menu", WS_SYSMENU, true},
      {"minimise box", WS_MINIMIZEBOX, true},
      {"no maximise box", WS_MAXIMIZEBOX, false},
      {"no sizing border", WS_THICKFRAME, false},
  };
  for (const auto& bit : bits) {
    SCOPED_TRACE(bit.label);
    EXPECT_EQ((style & bit.value) == bit.value, bit.set);
  }
  EXPECT_TRUE(ex_style & WS_EX_APPWINDOW) << "on the task bar although owned";

  const HWND app = application->Handle();
  EXPECT_EQ(GetWindow(Main(), GW_OWNER), app);
  EXPECT_EQ(WindowText(app), "CONTROLLER");
  EXPECT_TRUE(GetWindowLongA(app, GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(GetParent(app), nullptr);
}

// Every row of the layout where it belongs at the window's DPI: windows at
// their scaled rectangles on their parents, painted controls inside their
// panels, clear of every child window that would cut them, labels sized to
// their text and keeping the edge their alignment keeps.
void ExpectLaidOutAt(const MainWindow& window, int dpi) {
  RECT client{};
  GetClientRect(window.Handle(), &client);
  EXPECT_EQ(client.right, ScaleToDpi(kClientWidth, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(kClientHeight, dpi));
  for (const LayoutRow& row : kWindowLayout) {
    SCOPED_TRACE(std::to_string(row.id) + " " + row.text);
    const LayoutBox want = ScaleToDpi(row.box, dpi);
    const RECT want_rect{want.left, want.top, want.right, want.bottom};
    const RECT got = window.ControlRect(row.id);
    if (!IsPainted(row.kind)) {
      const HWND control = window.Control(row.id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(GetParent(control),
                row.parent == kIdWindow ? window.Handle() : window.Control(row.parent));
      EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
      EXPECT_EQ(Describe(got), Describe(want_rect));
      continue;
    }
    EXPECT_EQ(window.Control(row.id), nullptr) << "painted by its panel, no window";
    if (row.kind == LayoutKind::kLabelLeft) {
      EXPECT_LE(got.left, want.left);
      EXPECT_GE(got.left, want.left - 3) << "leans left by its overhang at most";
    } else if (row.kind == LayoutKind::kLabelRight) {
      EXPECT_GE(got.right, want.right);
      EXPECT_LE(got.right, want.right + 3) << "leans right by its overhang at most";
    } else {
      EXPECT_EQ(Describe(got), Describe(want_rect));
    }
    if (row.kind != LayoutKind::kLabelLeft && row.kind != LayoutKind::kLabelRight) continue;
    RECT panel{};
    GetClientRect(window.Control(row.parent), &panel);
    RECT inside{};
    IntersectRect(&inside, &got, &panel);
    EXPECT_TRUE(EqualRect(&inside, &got)) << Describe(got) << " in " << Describe(panel);
    for (const LayoutRow& other : kWindowLayout) {
      if (other.parent != row.parent || IsPainted(other.kind)) continue;
      const RECT window_rect = window.ControlRect(other.id);
      RECT overlap{};
      EXPECT_FALSE(IntersectRect(&overlap, &got, &window_rect))
          << "covered by control " << other.id << " at " << Describe(window_rect);
    }
  }
}

TEST_F(MainWindowTest, EveryControlSitsAtItsPlaceOnItsParent) {
  EXPECT_EQ(window->Dpi(), 96) << "the test prefix runs at 96 DPI";
  ExpectLaidOutAt(*window, window->Dpi());
  // At 96 DPI the painted controls are where their windows were.
  struct Place {
    int id;
    RECT rect;
  };
  for (const Place& p : {Place{kIdImage6, {0, 0, 308, 32}}, Place{kIdImage1, {1, 1, 307, 131}},
                         Place{kIdEpikef, {8, 9, 162, 26}}}) {
    SCOPED_TRACE(p.id);
    EXPECT_EQ(Describe(window->ControlRect(p.id)), Describe(p.rect));
  }
  // The labels in Arial 11 px: "Name" is wider than the 27 pixels it once
  // had and now grows to the left of its right edge, 198.
  const RECT name = window->ControlRect(kIdLtitle);
  EXPECT_EQ(name.right, 198);
  EXPECT_LT(name.left, 171);
  EXPECT_GT(name.left, 161) << "clear of the list";
}

// Moved to a monitor of another DPI: everything at the new scale, at the
// rectangle Windows suggests, with fonts and pictures of the new size.
TEST_F(MainWindowTest, ADpiChangeLaysTheWindowOutAgain) {
  Start();
  struct Step {
    int dpi;
    int font_height;  // Arial's 11 pixels at that DPI
  };
  for (const Step& step : {Step{144, 17}, Step{192, 22}, Step{120, 14}, Step{96, 11}}) {
    SCOPED_TRACE(step.dpi);
    RECT frame{};
    GetWindowRect(Main(), &frame);
    RECT client{0, 0, ScaleToDpi(kClientWidth, step.dpi), ScaleToDpi(kClientHeight, step.dpi)};
    AdjustWindowRectEx(&client, GetWindowLongA(Main(), GWL_STYLE), FALSE,
                       GetWindowLongA(Main(), GWL_EXSTYLE));
    RECT suggested{frame.left + 7, frame.top + 5, frame.left + 7 + client.right - client.left,
                   frame.top + 5 + client.bottom - client.top};
    SendMessageA(Main(), WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(window->Dpi(), step.dpi);
    // What Windows 10 asks before it suggests a rectangle: the frame round
    // the client at the new DPI, not the old frame scaled.
    SIZE asked{};
    ASSERT_TRUE(SendMessageA(Main(), 0x02E4 /* WM_GETDPISCALEDSIZE */, step.dpi,
                             reinterpret_cast<LPARAM>(&asked)));
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust =
        LoadedSystemFunction<AdjustForDpi>(L"user32.dll", "AdjustWindowRectExForDpi");
    ASSERT_NE(adjust, nullptr);
    RECT frame_only{};
    ASSERT_TRUE(adjust(&frame_only, GetWindowLongA(Main(), GWL_STYLE), FALSE,
                       GetWindowLongA(Main(), GWL_EXSTYLE), step.dpi));
    EXPECT_EQ(asked.cx - Width(frame_only), ScaleToDpi(kClientWidth, step.dpi));
    EXPECT_EQ(asked.cy - Height(frame_only), ScaleToDpi(kClientHeight, step.dpi));
    RECT now{};
    GetWindowRect(Main(), &now);
    EXPECT_EQ(Describe(now), Describe(suggested));
    ExpectLaidOutAt(*window, step.dpi);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Control(kIdMsname), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -step.font_height);
  }
}

TEST_F(MainWindowTest, FontsAndCharacterSets) {
  struct Font {
    const char* name;
    int id;
    const char* face;
    int height;
    BYTE charset;
    bool bold;
    bool italic;
  };
  const Font fonts[] = {
      {"Label1", kIdLabel1, "Arial", -15, DEFAULT_CHARSET, true, true},
      {"epikef", kIdEpikef, "Arial", -11, GREEK_CHARSET, false, false},
      {"lista", kIdLista, "Arial", -11, GREEK_CHARSET, false, false},
      {"Ltitle", kIdLtitle, "Arial", -11, DEFAULT_CHARSET, false, false},
      {"msname", kIdMsname, "Arial", -11, DEFAULT_CHARSET, false, false},
      {"Label5", kIdLabel5, "Arial", -11, DEFAULT_CHARSET, false, false},
      {"autorun (the window's font)", kIdAutorun, "MS Sans Serif", -11, DEFAULT_CHARSET, false,
       false},
  };
  for (const auto& f : fonts) {
    SCOPED_TRACE(f.name);
    HFONT font = nullptr;
    if (const Painter* painted = window->PaintedControl(f.id)) {
      if (const auto* label = dynamic_cast<const TextLabel*>(painted)) font = label->Font();
      if (const auto* header = dynamic_cast<const ListHeader*>(painted)) font = header->Font();
    } else {
      font = reinterpret_cast<HFONT>(SendMessageA(Control(f.id), WM_GETFONT, 0, 0));
    }
    ASSERT_NE(font, nullptr);
    LOGFONTA info{};
    ASSERT_EQ(GetObjectA(font, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_STREQ(info.lfFaceName, f.face);
    EXPECT_EQ(info.lfHeight, f.height);
    EXPECT_EQ(info.lfCharSet, f.charset);
    EXPECT_EQ(info.lfWeight >= FW_BOLD, f.bold);
    EXPECT_EQ(info.lfItalic != 0, f.italic);
  }
}

TEST_F(MainWindowTest, TextsHeaderAndAccessibleNames) {
  struct Text {
    int id;
    const char* text;
  };
  const Text painted[] = {
      {kIdLabel1, "Morvelle"},
      {kIdLtitle, "Name"},
      {kIdLabel5, "Auto run music stations"},
  };
  for (const auto& t : painted) {
    SCOPED_TRACE(t.text);
    const auto* label = dynamic_cast<const TextLabel*>(window->PaintedControl(t.id));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Text(), t.text);
  }
  const Text windows[] = {
      {kIdAutorun, ""},
      {kIdPlhn, "Remove music station"},
      {kIdSyn, "Add music station"},
      {kIdSpeedButton2, "Run TALVEX Scheduler"},
      {kIdSpeedButton1, "Run TALVEX History"},
      {kIdSpeedButton3, "Run TALVEX Recorder"},
  };
  for (const auto& t : windows) {
    SCOPED_TRACE(t.text);
    EXPECT_EQ(WindowText(Control(t.id)), t.text);
  }
  for (int id : {kIdPlhn, kIdSyn, kIdSpeedButton2, kIdSpeedButton1, kIdSpeedButton3}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(ClassOf(Control(id)), "Button") << "screen readers announce a push button";
  }

  const auto* header = dynamic_cast<const ListHeader*>(window->PaintedControl(kIdEpikef));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->Text(), "Music station name");

  const LONG list = GetWindowLongA(Control(kIdLista), GWL_STYLE);
  EXPECT_FALSE(list & LBS_SORT);
  EXPECT_FALSE(list & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  EXPECT_FALSE(list & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE));
  EXPECT_EQ(SendMessageA(Control(kIdMsname), EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE)
      << "no length limit on the name";
}

// A memory DC with a bitmap of the screen's kind selected into it.
class Canvas {
 public:
  Canvas(int width, int height) {
    const ScopedGetDc screen(nullptr);
    dc_.reset(CreateCompatibleDC(screen.get()));
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
    select_.emplace(dc_.get(), bitmap_.get());
  }
  HDC dc() const { return dc_.get(); }
  COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

 private:
  ScopedMemoryDc dc_;
  ScopedBitmap bitmap_;
  std::optional<ScopedSelect> select_;
};

// What a panel prints of itself (WM_PRINTCLIENT), its child windows left out.
std::unique_ptr<Canvas> Printed(HWND panel) {
  RECT client{};
  GetClientRect(panel, &client);
  auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
  SendMessageA(panel, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
  return canvas;
}

// The ink of a painter drawn alone into a magenta memory DC twice its
// panel's size: where it lands, so that a test sees text cut at an edge.
struct Ink {
  RECT box{};
  int pixels = 0;
};

Ink InkOf(const Painter& painter, int width, int height) {
  const Canvas canvas(width, height);
  const RECT all{0, 0, width, height};
  const ScopedBrush magenta(CreateSolidBrush(RGB(255, 0, 255)));
  FillRect(canvas.dc(), &all, magenta.get());
  painter.PaintContent(canvas.dc());
  Ink ink;
  ink.box = RECT{width, height, 0, 0};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (canvas.At(x, y) == RGB(255, 0, 255)) continue;
      ++ink.pixels;
      ink.box.left = std::min<LONG>(ink.box.left, x);
      ink.box.top = std::min<LONG>(ink.box.top, y);
      ink.box.right = std::max<LONG>(ink.box.right, x + 1);
      ink.box.bottom = std::max<LONG>(ink.box.bottom, y + 1);
    }
  }
  return ink;
}

TEST_F(MainWindowTest, PaintedControlsDrawWholeInsideTheirBounds) {
  for (const int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    MoveToDpi(dpi);
    for (const int id : {kIdLabel1, kIdLtitle, kIdLabel5, kIdEpikef}) {
      SCOPED_TRACE(id);
      const Painter* painter = window->PaintedControl(id);
      ASSERT_NE(painter, nullptr);
      const RECT bounds = painter->Bounds();
      const Ink ink =
          InkOf(*painter, ScaleToDpi(2 * kClientWidth, dpi), ScaleToDpi(2 * kClientHeight, dpi));
      ASSERT_GT(ink.pixels, 0) << "draws something";
      RECT inside{};
      IntersectRect(&inside, &ink.box, &bounds);
      EXPECT_TRUE(EqualRect(&inside, &ink.box))
          << "ink " << Describe(ink.box) << " outside its bounds " << Describe(bounds);
    }
  }
}

TEST_F(MainWindowTest, PanelsPrintTheirPaintedControls) {
  UseFolder();
  Picture("images/tvxback.jpg", jpeg_test::Encode(306, 130, false, [](int, int) {
            return jpeg_test::Rgb{0, 160, 0};
          }));
  Start();
  const auto printed = Printed(Control(kIdPanel2));
  // Dark text of the labels over the green picture; the header's face.
  auto dark_in = [&](const RECT& r) {
    int dark = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const COLORREF c = printed->At(x, y);
        if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) ++dark;
      }
    }
    return dark;
  };
  EXPECT_GT(dark_in(window->ControlRect(kIdLtitle)), 10);
  EXPECT_GT(dark_in(window->ControlRect(kIdLabel5)), 10);
  EXPECT_GT(dark_in(window->ControlRect(kIdEpikef)), 10);
  const COLORREF picture = printed->At(100, 2);
  EXPECT_NEAR(GetGValue(picture), 160, 24) << Hex(picture);
  EXPECT_EQ(Hex(printed->At(100, 12)), Hex(GetSysColor(COLOR_BTNFACE))) << "the header's face";
}

// A print of the window (PrintWindow, as screenshot tools take it) sends
// each child WM_PRINT, which reaches its WM_PRINTCLIENT: the picture
// buttons print as the screen shows them. (Wine's PrintWindow leaves the
// children out, so each button is asked here as Windows asks it.)
TEST_F(MainWindowTest, APrintOfTheButtonsShowsWhatTheScreenShows) {
  Start();
  UpdateWindow(Main());
  for (const int id : {kIdPlhn, kIdSyn, kIdSpeedButton2, kIdSpeedButton1, kIdSpeedButton3}) {
    SCOPED_TRACE(id);
    const HWND button = Control(id);
    const RECT client = ClientRect(button);
    const Canvas printed(client.right, client.bottom);
    SendMessageA(button, WM_PRINT, reinterpret_cast<WPARAM>(printed.dc()),
                 PRF_CLIENT | PRF_ERASEBKGND | PRF_NONCLIENT);
    const Canvas screen(client.right, client.bottom);
    const ScopedGetDc button_dc(button);
    ASSERT_TRUE(
        BitBlt(screen.dc(), 0, 0, client.right, client.bottom, button_dc.get(), 0, 0, SRCCOPY));
    int same = 0, all = 0;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) {
        // Where a sibling overlaps the button, the screen shows the sibling.
        POINT at{x, y};
        MapWindowPoints(button, GetParent(button), &at, 1);
        if (ChildWindowFromPointEx(GetParent(button), at, CWP_SKIPINVISIBLE) != button) continue;
        same += printed.At(x, y) == screen.At(x, y) ? 1 : 0;
        ++all;
      }
    }
    EXPECT_GT(all, Width(client) * Height(client) / 2);
    EXPECT_EQ(same, all) << "pixels printed as on the screen";
  }
}

TEST_F(MainWindowTest, HintsOnEveryControlThatHasOne) {
  const HintWindow& hints = window->Hints();
  EXPECT_EQ(hints.HidePause(), 2500) << "before start-up";
  struct Hint {
    int id;
    const char* text;
  };
  const Hint expected[] = {
      {kIdPlhn, "Remove music station"},
      {kIdSyn, "Add music station"},
      {kIdLista, "Select music station or double click to open it"},
      {kIdMsname, "Type music station's name"},
      {kIdAutorun, "If checked, all music stations will be run on startup of controller"},
      {kIdSpeedButton2, "Run TALVEX Scheduler"},
      {kIdSpeedButton1, "Run TALVEX History"},
      {kIdSpeedButton3, "Run TALVEX Recorder"},
  };
  EXPECT_EQ(hints.Count(), std::size(expected));
  for (const auto& h : expected) {
    SCOPED_TRACE(h.text);
    const std::string* text = hints.TextFor(Control(h.id));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(*text, h.text);
  }

  Start();
  EXPECT_EQ(hints.HidePause(), 3000) << "after start-up";
  EXPECT_EQ(window->HintHidePause(), 3000);
}

TEST_F(MainWindowTest, TabRunsListNameFieldCheckBoxAndButtonsTakeNoFocus) {
  world.files["C:\\Radio Suite\\lista.qmx"] = "Rock\r\nJazz\r\n";
  Start();
  const HWND list = Control(kIdLista);
  EXPECT_EQ(GetFocus(), list) << "the first in the tab order has the focus at the start";

  const HWND order[] = {Control(kIdMsname), Control(kIdAutorun), list};
  for (HWND next : order) {
    SCOPED_TRACE(ClassOf(next));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0x000f0001, GetTickCount(), {}};
    EXPECT_TRUE(IsDialogMessageA(Main(), &tab));
    EXPECT_EQ(GetFocus(), next);
  }

  // Back to the name field, then click each button: the focus stays.
  SetFocus(Control(kIdMsname));
  for (int id : {kIdPlhn, kIdSyn, kIdSpeedButton2, kIdSpeedButton1, kIdSpeedButton3}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(GetWindowLongA(Control(id), GWL_STYLE) & WS_TABSTOP);
    Click(Control(id), 5, 5);
    EXPECT_EQ(GetFocus(), Control(kIdMsname));
  }
}

TEST_F(MainWindowTest, ControlsRunTheirHandlers) {
  world.files["C:\\Radio Suite\\lista.qmx"] = "Rock\r\nJazz\r\n";
  Start();
  const HWND list = Control(kIdLista);
  RECT row{};
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  Click(list, row.left + 3, row.top + 2);
  EXPECT_EQ(controller->CurrentStation(), "Jazz") << "a click on a row runs listaClick";

  struct Action {
    const char* label;
    int id;
    const char* launch;
  };
  const Action actions[] = {
      {"SpeedButton2: scheduler", kIdSpeedButton2, "C:\\Radio Suite\\talvex.exe|Jazz||5"},
      {"SpeedButton1: history", kIdSpeedButton1, "C:\\Radio Suite\\brevold.exe|Jazz||5"},
      {"SpeedButton3: recorder", kIdSpeedButton3, "C:\\Radio Suite\\captelle.exe|||5"},
  };
  for (const auto& a : actions) {
    SCOPED_TRACE(a.label);
    world.launches.clear();
    Click(Control(a.id), 20, 20);
    ASSERT_EQ(world.launches.size(), 1u);
    EXPECT_EQ(world.launches[0], a.launch);
  }

  world.launches.clear();
  world.statuses.clear();  // the scheduler started above has stopped
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 3, row.top + 2));
  SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(row.left + 3, row.top + 2));
  Pump();
  ASSERT_EQ(world.launches.size(), 1u) << "a double click runs the scheduler";
  EXPECT_EQ(world.launches[0], "C:\\Radio Suite\\talvex.exe|Jazz||5");

  // Add (syn, tag 1): the typed name becomes a row and the list is saved.
  SetWindowTextA(Control(kIdMsname), "Pop");
  Click(Control(kIdSyn), 5, 5);
  EXPECT_EQ(window->Rows(), (StationRows{"Rock", "Jazz", "Pop"}));
  EXPECT_EQ(window->HighlightedRow(), 2);
  EXPECT_EQ(WindowText(Control(kIdMsname)), "");
  ASSERT_EQ(world.saves.size(), 1u);

  // Remove (plhn, tag 0) asks first; the test's hook closes the question,
  // which answers No.
  Click(Control(kIdPlhn), 5, 5);
  ASSERT_EQ(seen_boxes.size(), 1u);
  EXPECT_EQ(seen_boxes[0].title, "Confirm");
  EXPECT_EQ(window->RowCount(), 3);
}

// Keys for what the buttons do, through the event loop's dialog manager as
// a real key press goes: Enter in the name field adds, Enter on the list
// runs the scheduler, Delete on the list removes (after the question).
TEST_F(MainWindowTest, KeysRunTheButtonsHandlers) {
  world.files["C:\\Radio Suite\\lista.qmx"] = "Rock\r\nJazz\r\n";
  Start();
  const HWND list = Control(kIdLista);
  const HWND name = Control(kIdMsname);
  const auto press = [&](HWND focus, WPARAM key, LPARAM flags = 0) {
    SetFocus(focus);
    MSG down{focus, WM_KEYDOWN, key, flags | 1, GetTickCount(), {}};
    if (!IsDialogMessageA(Main(), &down)) {
      TranslateMessage(&down);
      DispatchMessageA(&down);
    }
    Pump();
  };

  SetWindowTextA(name, "Pop");
  press(name, VK_RETURN);
  EXPECT_EQ(window->Rows(), (StationRows{"Rock", "Jazz", "Pop"})) << "Enter in the name field adds";
  EXPECT_EQ(WindowText(name), "");
  EXPECT_EQ(world.saves.size(), 1u);
  press(name, VK_RETURN);
  ASSERT_EQ(seen_boxes.size(), 1u) << "Enter with no name: the message, as the add button";
  EXPECT_EQ(seen_boxes[0].text, "T104");

  RECT row{};
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  Click(list, row.left + 3, row.top + 2);
  world.launches.clear();
  press(list, VK_RETURN);
  EXPECT_EQ(world.launches, (std::vector<std::string>{"C:\\Radio Suite\\talvex.exe|Jazz||5"}))
      << "Enter on the list runs the scheduler for the chosen station";
  world.statuses.clear();  // and it stopped: the station may go

  press(list, VK_DELETE);
  ASSERT_EQ(seen_boxes.size(), 2u) << "Delete asks first";
  EXPECT_EQ(seen_boxes[1].title, "Confirm");
  EXPECT_EQ(seen_boxes[1].text, "T103 (Jazz)");
  EXPECT_EQ(window->RowCount(), 3) << "the question closed answers No";
  press(list, VK_DELETE, 1 << 30);
  EXPECT_EQ(seen_boxes.size(), 2u) << "a held key's repeats ask nothing";

  press(name, VK_DELETE);
  EXPECT_EQ(seen_boxes.size(), 2u) << "Delete in the name field is the field's own";
  world.launches.clear();
  press(Control(kIdAutorun), VK_RETURN);
  EXPECT_TRUE(world.launches.empty()) << "Enter on the check box does nothing";
  EXPECT_EQ(window->RowCount(), 3);
}

// A screen reader reads the names the painted labels show and the keys in
// the descriptions; the rest of what it reads is the system's own.
TEST_F(MainWindowTest, AccessibleNamesAndDescriptions) {
  Start();
  struct Row {
    const char* label;
    int id;
    const wchar_t* name;         // null: the system's own
    const wchar_t* description;  // null: the system's own
  };
  const Row rows[] = {
      {"list", kIdLista, nullptr,
       L"Enter runs the TALVEX Scheduler for the chosen station. Delete removes the chosen "
       L"station."},
      {"name field", kIdMsname, L"Name", L"Enter adds the station typed here."},
      {"check box", kIdAutorun, L"Auto run music stations", nullptr},
  };
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  const auto text = [&](IAccessible* object, auto getter) {
    BSTR value = nullptr;
    const HRESULT hr = (object->*getter)(self, &value);
    std::wstring result = SUCCEEDED(hr) && value != nullptr ? value : L"(none)";
    SysFreeString(value);
    return result;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    IAccessible* object = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(Control(row.id), OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);
    IAccessible* standard = nullptr;
    ASSERT_EQ(CreateStdAccessibleObject(Control(row.id), OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&standard)),
              S_OK);
    EXPECT_EQ(text(object, &IAccessible::get_accName),
              row.name ? row.name : text(standard, &IAccessible::get_accName));
    EXPECT_EQ(text(object, &IAccessible::get_accDescription),
              row.description ? row.description : text(standard, &IAccessible::get_accDescription));
    VARIANT role{}, standard_role{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(standard->get_accRole(self, &standard_role), S_OK);
    EXPECT_EQ(role.vt, VT_I4);
    EXPECT_EQ(role.lVal, standard_role.lVal);
    LONG children = -1, standard_children = -2;
    EXPECT_EQ(object->get_accChildCount(&children),
              standard->get_accChildCount(&standard_children));
    EXPECT_EQ(children, standard_children);

    // COM identity: every interface the object hands out is the object's
    // own, with its IUnknown.
    IUnknown* identity = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    const IID asked[] = {IID_IUnknown,     IID_IDispatch,  __uuidof(IAccessible),
                         IID_IEnumVARIANT, IID_IOleWindow, IID_IServiceProvider};
    for (const IID& iid : asked) {
      IUnknown* part = nullptr;
      if (FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&part)))) continue;
      IUnknown* part_identity = nullptr;
      ASSERT_EQ(part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&part_identity)), S_OK);
      EXPECT_EQ(part_identity, identity) << "interface " << iid.Data1;
      part_identity->Release();
      part->Release();
    }
    identity->Release();
    standard->Release();
    object->Release();
  }
}

// The window's thread joins its apartment through the program's own route.
TEST(UiThreadApartmentTest, TheThreadIsASingleThreadedApartment) {
  std::thread([] {
    const UiThreadApartment apartment;
    EXPECT_TRUE(apartment.Joined());
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    ASSERT_EQ(CoGetApartmentType(&type, &qualifier), S_OK);
    EXPECT_EQ(type, APTTYPE_MAINSTA);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  }).join();
}

// Calls that fail as Windows' do without a COM apartment or memory.
LRESULT WINAPI RefuseMarshalling(REFIID, WPARAM, LPUNKNOWN) {
  return static_cast<LRESULT>(CO_E_NOTINITIALIZED);
}
HRESULT WINAPI RefuseObject(HWND, LONG, REFIID, void** object) {
  *object = nullptr;
  return E_OUTOFMEMORY;
}

// When our object cannot be made or handed out, the control's own answer
// stands: a client gets the system's object, never a failure.
TEST_F(MainWindowTest, AFailedAnswerLeavesTheControlsOwn) {
  Start();
  const AccessibleCalls& system = SystemAccessibleCalls();
  ASSERT_NE(system.result, nullptr);
  struct Row {
    const char* label;
    AccessibleCalls calls;
  };
  AccessibleCalls no_marshalling = system;
  no_marshalling.result = &RefuseMarshalling;
  AccessibleCalls no_object = system;
  no_object.create = &RefuseObject;
  const Row rows[] = {{"marshalling refused", no_marshalling}, {"object not made", no_object}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_FALSE(AnswerGetObject(Control(kIdMsname), 0, OBJID_CLIENT, {L"Name", L""}, row.calls));
  }
  EXPECT_TRUE(AnswerGetObject(Control(kIdMsname), 0, OBJID_CLIENT, {L"Name", L""}, system))
      << "the system's calls answer";
}

// A row whose scheduler is known carries a mark before its name; the other
// rows, and the row again once nothing is known, are the list box's own
// pixels. A screen reader hears the highlighted row's state.
TEST_F(MainWindowTest, RowsMarkTheirSchedulersState) {
  Start();
  window->ShowOnAir(world);
  window->SetRows({"Rock", "Jazz", "Pop"});
  const HWND list = Control(kIdLista);
  RECT client{};
  GetClientRect(list, &client);
  const auto shot = [&] {
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto canvas = std::make_unique<Canvas>(client.right, client.bottom);
    const ScopedGetDc dc(list);
    BitBlt(canvas->dc(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
    return canvas;
  };
  RECT row{};
  SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  const int height = row.bottom - row.top;
  // Pixels of `colour`'s hue in the mark's square, and rows that differ.
  const auto mark_pixels = [&](const Canvas& c, auto is_colour) {
    int n = 0;
    for (int y = row.top; y < row.bottom; ++y)
      for (int x = 0; x < height; ++x) n += is_colour(c.At(x, y)) ? 1 : 0;
    return n;
  };
  const auto rows_differing = [&](const Canvas& a, const Canvas& b) {
    std::vector<int> rows;
    for (int r = 0; r < 3; ++r) {
      for (int y = r * height; y < (r + 1) * height; ++y) {
        bool differs = false;
        for (int x = 0; x < client.right && !differs; ++x) differs = a.At(x, y) != b.At(x, y);
        if (differs) {
          rows.push_back(r);
          break;
        }
      }
    }
    return rows;
  };
  const auto green = [](COLORREF c) { return GetGValue(c) > 150 && GetRValue(c) < 100; };
  const auto amber = [](COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) > 120 && GetBValue(c) < 80;
  };
  const auto red = [](COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 100; };
  // The caret where the end of the test leaves it.
  window->SetHighlightedRow(1);
  window->SetHighlightedRow(-1);
  const auto plain = shot();

  struct Step {
    const char* label;
    AirState state;
    bool failing;
    bool (*colour)(COLORREF);
  } steps[] = {{"on air", AirState::kOnAir, false, +green},
               {"restarting", AirState::kRestarting, false, +amber},
               {"failing", AirState::kRestarting, true, +red}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.label);
    AirStatus status;
    status.state = step.state;
    status.failing = step.failing;
    world.statuses["Jazz"] = status;
    window->OnAirChanged("Jazz");
    const auto marked = shot();
    EXPECT_EQ(rows_differing(*plain, *marked), std::vector<int>{1}) << "only Jazz's row";
    EXPECT_GT(mark_pixels(*marked, step.colour), height / 2);
    Pump();
    SaveScreenshot(Main(), std::string("window_marks_") + step.label);
  }
  window->SetHighlightedRow(1);
  IAccessible* object = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(list, OBJID_CLIENT, __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&object)),
            S_OK);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR description = nullptr;
  ASSERT_EQ(object->get_accDescription(self, &description), S_OK);
  EXPECT_NE(std::wstring(description).find(L"Failing: "), std::wstring::npos) << description;
  SysFreeString(description);
  object->Release();

  world.statuses.erase("Jazz");
  window->OnAirChanged("Jazz");
  window->SetHighlightedRow(-1);
  EXPECT_TRUE(rows_differing(*plain, *shot()).empty()) << "nothing known: as before";
}

TEST_F(MainWindowTest, SettingTheHighlightFromTheProgramRunsNoHandler) {
  Start();
  window->SetRows({"Rock", "Jazz"});
  window->SetHighlightedRow(1);
  Pump();
  EXPECT_EQ(window->HighlightedRow(), 1);
  EXPECT_EQ(controller->CurrentStation(), "");
  window->SetHighlightedRow(7);
  EXPECT_EQ(window->HighlightedRow(), -1) << "out of range clears the highlight";
}

TEST_F(MainWindowTest, TypingInTheListSelectsByPrefix) {
  Start();
  window->SetRows({"Rock FM", "Radio One", "Jazz", "Jazz Lounge", "jazzy", "\xE9t\xE9"});
  const HWND list = Control(kIdLista);
  SetFocus(list);
  const auto type = [&](const char* keys) {
    for (const char* k = keys; *k != '\0'; ++k)
      PostMessageA(list, WM_CHAR, static_cast<BYTE>(*k), 1);
    Pump();
  };
  struct Step {
    const char* label;
    const char* keys;
    bool pause_first;
    const char* station;
  };
  const Step steps[] = {
      {"one letter: the first row with it", "r", false, "Rock FM"},
      {"a second letter narrows", "a", false, "Radio One"},
      {"after a pause the letters start afresh", "ja", true, "Jazz"},
      {"upper case matches", "ZZ L", false, "Jazz Lounge"},
      {"no row matches: the highlight stays", "x", false, "Jazz Lounge"},
      {"backspace drops the x, the L and the space", "\b\b\b", false, "Jazz"},
      {"after a pause, 'jazzy'", "jazzy", true, "jazzy"},
      {"a letter of the code page", "\xE9", true, "\xE9t\xE9"},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.label);
    if (s.pause_first) Sleep(600);
    type(s.keys);
    EXPECT_EQ(controller->CurrentStation(), s.station);
    ASSERT_GE(window->HighlightedRow(), 0);
    EXPECT_EQ(window->RowText(window->HighlightedRow()), s.station);
  }
}

TEST_F(MainWindowTest, ManyRowsLoadInOrder) {
  StationRows rows;
  for (int i = 0; i < 100000; ++i) rows.push_back("Station " + std::to_string(i));
  Start();
  window->SetRows(rows);
  window->SetHighlightedRow(3);
  UpdateWindow(Main());
  Pump();
  SaveScreenshot(Main(), "window_long_list");
  EXPECT_EQ(window->RowCount(), 100000);
  EXPECT_EQ(window->RowText(0), "Station 0");
  EXPECT_EQ(window->RowText(99999), "Station 99999");
  window->SetRows({"Only"});
  EXPECT_EQ(window->Rows(), StationRows{"Only"}) << "rows are replaced, not added";
}

// Other programs (screen readers, test drivers) ask for the rows in UTF-16;
// rows longer than any fixed buffer, and bytes of the code page, must come
// back whole both ways.
TEST_F(MainWindowTest, LongAndHighRowsReadBackAsTextOfBothKinds) {
  const StationRows rows = {std::string(5000, 'n'), "St\xE9\xE4tion\xA7\xFF",
                            std::string(50u << 20, 'x')};
  Start();
  window->SetRows({rows[0], rows[1]});
  window->AddRow(rows[2]);
  const HWND list = Control(kIdLista);
  ASSERT_EQ(window->RowCount(), 3);
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    SCOPED_TRACE(i);
    const std::string& row = rows[static_cast<std::size_t>(i)];
    std::wstring want(row.size(), L'\0');
    want.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, row.data(), static_cast<int>(row.size()), want.data(),
                            static_cast<int>(want.size()))));
    const LRESULT units = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    ASSERT_EQ(units, static_cast<LRESULT>(want.size()));
    std::wstring got(static_cast<std::size_t>(units) + 1, L'\0');
    got.resize(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                                     reinterpret_cast<LPARAM>(got.data()))));
    EXPECT_TRUE(got == want);
    EXPECT_TRUE(window->RowText(i) == row);
  }
  window->SetNameText(rows[0]);
  EXPECT_TRUE(window->NameText() == rows[0]) << "a 5,000-character name in the name field";
}

TEST_F(MainWindowTest, ActivationRunsAutoRunOnceOnly) {
  world.files["C:\\Radio Suite\\lista.qmx"] = "Rock\r\nJazz\r\n";
  world.ini["auto run"] = true;
  controller->FormCreate();
  EXPECT_TRUE(world.launches.empty()) << "not before the window shows";
  window->ShowCentred();
  Pump();
  ASSERT_EQ(world.launches.size(), 2u);
  EXPECT_EQ(world.launches[1], "C:\\Radio Suite\\talvex.exe|Jazz||5");

  SetForegroundWindow(application->Handle());  // passed straight back to the window
  Pump();
  SetActiveWindow(nullptr);
  SetForegroundWindow(Main());
  Pump();
  EXPECT_EQ(world.launches.size(), 2u) << "later activations start nothing";
}

TEST_F(MainWindowTest, ClosingWritesTheFlagOrStaysOpenOnFailure) {
  Start();
  SendMessageA(Control(kIdAutorun), BM_CLICK, 0, 0);
  world.ini_write_fails = true;
  SendMessageA(Main(), WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(seen_boxes.size(), 1u);
  EXPECT_EQ(seen_boxes[0].text, "Unable to write to C:\\Radio Suite\\radio.ini.");
  EXPECT_TRUE(IsWindow(Main())) << "a failed write keeps the window open";

  world.ini_write_fails = false;
  const HWND main = Main();
  SendMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(world.ini["auto run"]);
  MSG quit{};
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop ends";
}

TEST_F(MainWindowTest, DialogsTitlesIconsButtonsAndPlace) {
  Start();
  window->ShowMessage("Type the name");
  window->ShowError("Stream write error");
  window->ShowError("Failed (code 5)");
  window->ShowError("");
  struct Box {
    const char* label;
    const char* text;
    bool icon;
  };
  const Box boxes[] = {
      {"message box: no icon, the text as given", "Type the name", false},
      {"error box: a full stop added", "Stream write error.", true},
      {"error box: none after a closing bracket", "Failed (code 5)", true},
      {"error box: an empty text stays empty", "", true},
  };
  ASSERT_EQ(seen_boxes.size(), std::size(boxes));
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  for (std::size_t i = 0; i < std::size(boxes); ++i) {
    SCOPED_TRACE(boxes[i].label);
    const SeenBox& seen = seen_boxes[i];
    EXPECT_EQ(seen.title, "CONTROLLER");
    EXPECT_EQ(seen.text, boxes[i].text);
    EXPECT_EQ(seen.icon, boxes[i].icon);
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"OK"});
    const int mid_x = (seen.frame.left + seen.frame.right) / 2;
    const int mid_y = (seen.frame.top + seen.frame.bottom) / 2;
    EXPECT_NEAR(mid_x, (work.left + work.right) / 2, 1) << "centred on the screen";
    EXPECT_NEAR(mid_y, (work.top + work.bottom) / 2, 1);
  }
}

TEST_F(MainWindowTest, PlainPanelsWithoutPictures) {
  Start();
  window->SetRows({});
  UpdateWindow(Main());
  Pump();
  SaveScreenshot(Main(), "window_plain");
  const std::string grey = "5d5d5d";
  const std::string face = Hex(GetSysColor(COLOR_BTNFACE));
  struct Sample {
    const char* label;
    int x, y;
    std::string colour;
  };
  const Sample samples[] = {
      {"top bar, left of the title", 20, 16, grey},
      {"top bar, between title and buttons", 220, 16, grey},
      {"main panel under the header", 100, 32 + 4, face},
      {"main panel between the labels and the buttons", 230, 32 + 65, face},
      {"main panel bottom right", 303, 32 + 128, face},
      {"the list's empty rows", 80, 32 + 90, grey},
      {"the name field", 250, 32 + 20, grey},
  };
  for (const auto& s : samples) {
    SCOPED_TRACE(s.label);
    EXPECT_EQ(Hex(ScreenPixel(Main(), s.x, s.y)), s.colour);
  }
}

// At any DPI the main panel's bevel meets its picture: no strip of the
// panel's face between them on any side.
TEST_F(MainWindowTest, TheBevelMeetsThePictureAtEveryDpi) {
  UseFolder();
  Picture("images/tvxback.jpg", jpeg_test::Encode(306, 130, false, [](int, int) {
            return jpeg_test::Rgb{0, 160, 0};
          }));
  Start();
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  for (const int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    MoveToDpi(dpi);
    const auto printed = Printed(Control(kIdPanel2));
    const RECT panel = ClientRect(Control(kIdPanel2));
    // From each edge inwards, at the middle of the side, past the bevel.
    const struct {
      const char* side;
      int x, y, dx, dy;
    } walks[] = {{"left", 0, panel.bottom / 2, 1, 0},
                 {"right", panel.right - 1, panel.bottom / 2, -1, 0},
                 {"top", panel.right / 3, 0, 0, 1},
                 {"bottom", panel.right / 3, panel.bottom - 1, 0, -1}};
    for (const auto& w : walks) {
      SCOPED_TRACE(w.side);
      int x = w.x, y = w.y, face_pixels = 0;
      for (int step = 0; step < 6; ++step, x += w.dx, y += w.dy) {
        const COLORREF c = printed->At(x, y);
        if (GetGValue(c) > 120 && GetRValue(c) < 60) break;  // the picture
        face_pixels += c == face ? 1 : 0;
      }
      EXPECT_EQ(face_pixels, 0);
    }
  }
}

TEST_F(MainWindowTest, PicturesShowUnderTheLabelsAndAreClipped) {
  UseFolder();
  // A logo larger than the bar: red in its top-left 308 x 32, blue beyond.
  Picture("images/tvxlogo.jpg", jpeg_test::Encode(400, 60, false, [](int x, int y) {
            return (x < 308 && y < 32) ? jpeg_test::Rgb{200, 0, 0} : jpeg_test::Rgb{0, 0, 200};
          }));
  Picture("images/tvxback.jpg", jpeg_test::Encode(306, 130, false, [](int, int) {
            return jpeg_test::Rgb{0, 160, 0};
          }));
  Start();
  UpdateWindow(Main());
  Pump();
  SaveScreenshot(Main(), "window_pictures");
  EXPECT_TRUE(seen_boxes.empty());
  struct Sample {
    const char* label;
    int x, y;
    int r, g, b;
  };
  const Sample samples[] = {
      {"logo, left", 10, 10, 200, 0, 0},
      {"logo, bottom right corner of the bar", 250, 31, 200, 0, 0},
      {"logo through Label1 beside its text", 196, 22, 200, 0, 0},
      {"background", 100, 32 + 3, 0, 160, 0},
      {"background through Label5 left of its text", 169, 32 + 37, 0, 160, 0},
      {"background around the flat buttons", 170, 32 + 82, 0, 160, 0},
  };
  for (const auto& s : samples) {
    SCOPED_TRACE(s.label);
    const COLORREF c = ScreenPixel(Main(), s.x, s.y);
    EXPECT_NEAR(GetRValue(c), s.r, 24) << Hex(c);
    EXPECT_NEAR(GetGValue(c), s.g, 24) << Hex(c);
    EXPECT_NEAR(GetBValue(c), s.b, 24) << Hex(c);
  }
}

// At another DPI the pictures grow by the same factor from their top-left
// corners and stay clipped to their panels.
TEST_F(MainWindowTest, PicturesScaleWithTheDpi) {
  UseFolder();
  // Red in the logo's top-left 100 x 16 pixels, blue beyond.
  Picture("images/tvxlogo.jpg", jpeg_test::Encode(308, 32, false, [](int x, int y) {
            return (x < 100 && y < 16) ? jpeg_test::Rgb{200, 0, 0} : jpeg_test::Rgb{0, 0, 200};
          }));
  Start();
  struct Sample {
    int dpi;
    int x, y;  // in the top bar at that DPI
    int r, b;
  };
  const Sample samples[] = {
      {96, 50, 8, 200, 0},    {96, 150, 8, 0, 200},   {96, 50, 24, 0, 200},
      {192, 150, 8, 200, 0},  {192, 190, 28, 200, 0}, {192, 210, 28, 0, 200},
      {192, 150, 40, 0, 200}, {144, 140, 20, 200, 0}, {144, 160, 26, 0, 200},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(::testing::Message() << s.dpi << " DPI at " << s.x << "," << s.y);
    MoveToDpi(s.dpi);
    const COLORREF c = Printed(Control(kIdPanel1))->At(s.x, s.y);
    EXPECT_NEAR(GetRValue(c), s.r, 40) << Hex(c);
    EXPECT_NEAR(GetBValue(c), s.b, 40) << Hex(c);
  }
  EXPECT_TRUE(seen_boxes.empty());
}

TEST_F(MainWindowTest, PictureErrors) {
  struct Case {
    const char* label;
    std::vector<std::uint8_t> logo;
    std::vector<std::string> errors;  // error boxes, in order
    bool rows_loaded;
  };
  const Case cases[] = {
      {"not a JPEG: at start-up, the rest of start-up skipped",
       {'B', 'M', 0, 0},
       {"JPEG error #53."},
       false},
      {"an empty file: once, at its first drawing", {}, {"JPEG error #42."}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TearDown();
    world = FakeWorld();
    folder.clear();
    SetUp();
    UseFolder();
    Picture("images/tvxlogo.jpg", c.logo);
    world.files[folder + "lista.qmx"] = "Rock\r\n";
    Start();
    InvalidateRect(Control(kIdPanel1), nullptr, TRUE);
    RedrawWindow(Control(kIdPanel1), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    std::vector<std::string> texts;
    for (const auto& box : seen_boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, c.errors);
    EXPECT_EQ(window->RowCount(), c.rows_loaded ? 1 : 0);
    EXPECT_TRUE(IsWindowVisible(Main())) << "the window opens all the same";
  }
}

TEST_F(MainWindowTest, TheApplicationWindowStaysHiddenAndBringsTheWindowBack) {
  Start();
  const HWND app = application->Handle();
  EXPECT_FALSE(IsWindowVisible(app));

  ShowWindow(Main(), SW_MINIMIZE);
  Pump();
  EXPECT_TRUE(IsIconic(app)) << "a second copy sees the controller minimised";

  // What a second copy does to it.
  ShowWindow(app, SW_RESTORE);
  SetForegroundWindow(app);
  Pump();
  EXPECT_FALSE(IsIconic(Main()));
  EXPECT_FALSE(IsIconic(app));
  EXPECT_FALSE(IsWindowVisible(app)) << "restoring it never shows it";
  EXPECT_EQ(GetForegroundWindow(), Main());
}

TEST_F(MainWindowTest, DiscardDestroysTheWindowAtOnce) {
  world.another_copy = true;
  const HWND main = Main();
  controller->FormCreate();
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(seen_boxes.empty());
  EXPECT_EQ(world.ini_writes, 0);
}

}  // namespace
