// A stand-in for one of the suite's sibling programs. It records how it was
// started (see standin_log.h) and exits, or stays running and crashes or
// exits when a test asks (see standin_requests.h); the demo build shows a
// small window saying which program was started for which station.
//
// STANDIN_PROGRAM is the file name it plays, STANDIN_ROLE what that program
// is; STANDIN_DEMO selects the window.

#include <windows.h>

#include <string>

#include "tests/standins/standin_log.h"
#include "tests/standins/standin_requests.h"
#include "tests/standins/standin_start_win.h"

namespace {

#ifndef STANDIN_DEMO
// Read through a volatile pointer, so that the compiler cannot see the null
// and put a trap (another exception code) in place of the write.
int* volatile g_nowhere = nullptr;

LONG WINAPI EndAtOnce(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// code 0: a real fault, the write through a null pointer.
[[noreturn]] void CrashNow(DWORD code) {
  // On Windows the error mode alone keeps the crash dialog away (the
  // controller's would reach us, but the stand-in may be started by a test).
  // Wine 8 neither passes the mode to a child nor looks at it: its
  // unhandled-exception filter starts winedbg, whose crash dialog holds the
  // process alive. A filter of our own answers first and ends the process
  // with the exception's code, as Windows does under this error mode.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(EndAtOnce);
  if (code != 0) RaiseException(code, EXCEPTION_NONCONTINUABLE, 0, nullptr);
  *g_nowhere = 1;
  ExitProcess(1);  // not reached
}

struct StayState {
  bool crash = false;
  DWORD crash_code = 0;
  UINT exit_code = 0;
};
StayState g_stay;

LRESULT CALLBACK StayProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kStandinCrash:
      // Crashed outside the window procedure: the system guards some
      // dispatches (WM_TIMER) with a handler of its own.
      g_stay.crash = true;
      g_stay.crash_code = static_cast<DWORD>(wparam);
      PostQuitMessage(0);
      return 0;
    case kStandinExit:
      g_stay.exit_code = static_cast<UINT>(wparam);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

int StayRunning(HINSTANCE instance, const std::string& parameters, int show) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = StayProc;
  window_class.hInstance = instance;
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kStandinWindowClass;
  RegisterClassA(&window_class);
  HWND window =
      CreateWindowExA(0, kStandinWindowClass, StandinCaption(STANDIN_PROGRAM, parameters).c_str(),
                      WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 240, 80, nullptr, nullptr,
                      instance, nullptr);
  if (window == nullptr) return 1;
  ShowWindow(window, show);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  if (g_stay.crash) CrashNow(g_stay.crash_code);
  return static_cast<int>(g_stay.exit_code);
}
#endif

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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const std::string command_line = GetCommandLineA();
  StandinRecord record{STANDIN_PROGRAM, ParametersOf(command_line), CurrentFolder(), command_line};

  const std::string module = ModulePath();
  const std::size_t separator = module.find_last_of("\\/");
  const std::string own_folder =
      separator == std::string::npos ? std::string() : module.substr(0, separator + 1);
  AppendLine(own_folder + "standins.log", EncodeStandinRecord(record));

#ifdef STANDIN_DEMO
  (void)show;
  return ShowDemoWindow(instance, record.parameters);
#else
  const HANDLE stay = CreateFileA((own_folder + kStandinStayFile).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (stay == INVALID_HANDLE_VALUE) return 0;
  char head[5] = {};
  DWORD got = 0;
  ReadFile(stay, head, sizeof head, &got, nullptr);
  CloseHandle(stay);
  if (got == sizeof head && std::string(head, sizeof head) == "crash") CrashNow(0);
  return StayRunning(instance, record.parameters, show);
#endif
}
