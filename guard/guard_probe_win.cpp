// A second process for the guard tests.
//
//   guard_probe_win guard NAME START FINISH
//     waits for the event START, runs the guard with NAME (switching to the
//     previous copy off), and exits 0 when it took the lock first, 1 when it
//     found another copy. The first one holds the lock until the event
//     FINISH is set.
//   guard_probe_win window NAME READY FINISH [minimised]
//     shows a top-level window titled NAME (minimised if asked), sets the
//     event READY, and keeps the window until the event FINISH is set. Exits
//     0, or 3 when the window was still minimised at the end.
// Exit code 2: bad arguments or a failed call.

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "guard/single_instance_win.h"

namespace {

constexpr DWORD kWaitMs = 30000;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeWindow(const std::string& title, DWORD style) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ProbeProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "MorvelleGuardProbe";
  RegisterClassA(&window_class);
  return CreateWindowExA(0, window_class.lpszClassName, title.c_str(), style, 100, 100, 200, 100,
                         nullptr, nullptr, window_class.hInstance, nullptr);
}

// Pumps messages (another process restores our window through them) until
// the event is set or the wait runs out.
bool PumpUntil(HANDLE event) {
  const DWORD end = GetTickCount() + kWaitMs;
  for (;;) {
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return false;
    const DWORD r = MsgWaitForMultipleObjects(1, &event, FALSE, end - now, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return true;
    if (r != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

class ProbeHost final : public ApplicationHost {
 public:
  explicit ProbeHost(HWND window) : window_(window) {}
  HWND Handle() const override { return window_; }
  std::string Title() const override { return "probe"; }
  void SuppressMainWindowAndTerminate() override { terminated_ = true; }
  bool terminated() const { return terminated_; }

 private:
  HWND window_;
  bool terminated_ = false;
};

int RunGuard(const std::string& name, HANDLE start, HANDLE finish) {
  HWND hidden = MakeWindow("probe " + std::to_string(GetCurrentProcessId()), WS_OVERLAPPED);
  ProbeHost host(hidden);
  TXJustOne guard(host);
  guard.SwitchToPrevious = false;
  guard.ApplicationTitle = name;
  guard.Loaded();
  if (WaitForSingleObject(start, kWaitMs) != WAIT_OBJECT_0) return 2;
  guard.SetEnabled(true);
  if (host.terminated()) return 1;
  WaitForSingleObject(finish, kWaitMs);
  return 0;
}

int RunWindow(const std::string& name, HANDLE ready, HANDLE finish, bool minimised) {
  HWND window = MakeWindow(name, WS_OVERLAPPEDWINDOW);
  if (window == nullptr) return 2;
  ShowWindow(window, minimised ? SW_SHOWMINIMIZED : SW_SHOWNOACTIVATE);
  UpdateWindow(window);
  SetEvent(ready);
  PumpUntil(finish);
  const bool still_minimised = IsIconic(window);
  DestroyWindow(window);
  return minimised && still_minimised ? 3 : 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (wide == nullptr) return 2;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
    args.push_back(arg);
  }
  LocalFree(wide);
  if (args.size() < 5) return 2;

  ScopedHandle first(OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, args[3].c_str()));
  ScopedHandle finish(OpenEventA(SYNCHRONIZE, FALSE, args[4].c_str()));
  if (!first || !finish) return 2;
  if (args[1] == "guard") return RunGuard(args[2], first.get(), finish.get());
  if (args[1] == "window") {
    return RunWindow(args[2], first.get(), finish.get(), args.size() > 5 && args[5] == "minimised");
  }
  return 2;
}
