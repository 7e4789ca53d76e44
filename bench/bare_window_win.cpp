// The floors for start-up: the least a Win32 program does to show a window.
// It registers a class, shows a window of the controller's size and paints
// it once, then waits in its message loop like any program.
//
// Built twice. bare_window_win is the window alone. bare_controls_win
// (BARE_WINDOW_CONTROLS) adds the controller's eight input controls as
// plain child windows of the system's classes, in their places on two plain
// panels, so that its floor holds what any window with those controls pays
// under Wine for its child windows, and the gap to the controller is what
// the controller adds on top.

#include <windows.h>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

#ifdef BARE_WINDOW_CONTROLS

struct Box {
  int left, top, width, height;
};

struct Child {
  int panel;  // 0: the top bar, 1: the main panel
  const char* class_name;
  DWORD style;
  DWORD ex_style;
  Box place;  // in the panel
};

// The controller's input controls with its styles; the buttons are plain
// push buttons where the controller draws its own.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS;
constexpr Child kChildren[] = {
    {0, "BUTTON", kChild | BS_PUSHBUTTON, 0, {256, 4, 25, 24}},
    {0, "BUTTON", kChild | BS_PUSHBUTTON, 0, {280, 4, 25, 24}},
    {1,
     "LISTBOX",
     kChild | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
     WS_EX_CLIENTEDGE,
     {8, 25, 153, 100}},
    {1, "EDIT", kChild | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, {204, 9, 97, 22}},
    {1, "BUTTON", kChild | BS_AUTOCHECKBOX, 0, {285, 36, 15, 13}},
    {1, "BUTTON", kChild | BS_PUSHBUTTON, 0, {168, 80, 45, 45}},
    {1, "BUTTON", kChild | BS_PUSHBUTTON, 0, {212, 80, 45, 45}},
    {1, "BUTTON", kChild | BS_PUSHBUTTON, 0, {256, 80, 45, 45}},
};

constexpr Box kPanels[] = {{0, 0, 308, 32}, {0, 32, 308, 132}};

// Two panels of a class of our own with the default procedure and the
// button face as background, and the controls on them.
bool CreateChildren(HINSTANCE instance, HWND window) {
  WNDCLASSA panel_class{};
  panel_class.lpfnWndProc = DefWindowProcA;
  panel_class.hInstance = instance;
  panel_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  panel_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panel_class.lpszClassName = "MorvelleBenchPanel";
  if (!RegisterClassA(&panel_class)) return false;

  HWND panels[2];
  for (int p = 0; p < 2; ++p) {
    const Box& b = kPanels[p];
    panels[p] = CreateWindowExA(WS_EX_CONTROLPARENT, panel_class.lpszClassName, "",
                                WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, b.left,
                                b.top, b.width, b.height, window, nullptr, instance, nullptr);
    if (panels[p] == nullptr) return false;
  }
  for (const Child& child : kChildren) {
    const Box& b = child.place;
    if (CreateWindowExA(child.ex_style, child.class_name, "", child.style, b.left, b.top, b.width,
                        b.height, panels[child.panel], nullptr, instance, nullptr) == nullptr) {
      return false;
    }
  }
  return true;
}

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr char kClassName[] = "MorvelleBenchControls";

#else

bool CreateChildren(HINSTANCE, HWND) { return true; }

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr char kClassName[] = "MorvelleBenchBare";

#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = BareProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = kClassName;
  if (!RegisterClassA(&window_class)) return 1;

  RECT frame{0, 0, 308, 164};
  AdjustWindowRect(&frame, kStyle, FALSE);
  HWND window = CreateWindowExA(0, window_class.lpszClassName, "Bare", kStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, nullptr);
  if (window == nullptr || !CreateChildren(instance, window)) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
