// A stand-in for one of the suite's sibling programs. It records how it was
// started (see standin_log.h) and exits; the demo build also shows a small
// window saying which program was started for which station.
//
// STANDIN_PROGRAM is the file name it plays, STANDIN_ROLE what that program
// is; STANDIN_DEMO selects the window.

#include <windows.h>

#include <string>

#include "tests/standins/standin_log.h"
#include "tests/standins/standin_start_win.h"

namespace {

#ifdef STANDIN_DEMO
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kShowForMs = 20000;

LRESULT CALLBACK DemoProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == kCloseTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

int ShowDemoWindow(HINSTANCE instance, const std::string& parameters) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DemoProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = "MorvelleStandinDemo";
  if (!RegisterClassA(&window_class)) return 1;

  const std::string title = std::string(STANDIN_PROGRAM) + " (" + STANDIN_ROLE + ")";
  const std::string text =
      parameters.empty()
          ? std::string("The ") + STANDIN_ROLE + " was started, with no station."
          : std::string("The ") + STANDIN_ROLE + " was started for the station:\r\n" + parameters;
  HWND window =
      CreateWindowExA(0, window_class.lpszClassName, title.c_str(),
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                      CW_USEDEFAULT, 360, 140, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  RECT client{};
  GetClientRect(window, &client);
  CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 12,
                  client.right - 24, client.bottom - 24, window, nullptr, instance, nullptr);
  SetTimer(window, kCloseTimer, kShowForMs, nullptr);
  ShowWindow(window, SW_SHOW);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string command_line = GetCommandLineA();
  StandinRecord record{STANDIN_PROGRAM, ParametersOf(command_line), CurrentFolder(), command_line};

  const std::string module = ModulePath();
  const std::size_t separator = module.find_last_of("\\/");
  const std::string own_folder =
      separator == std::string::npos ? std::string() : module.substr(0, separator + 1);
  AppendLine(own_folder + "standins.log", EncodeStandinRecord(record));

#ifdef STANDIN_DEMO
  return ShowDemoWindow(instance, record.parameters);
#else
  (void)instance;
  return 0;
#endif
}
