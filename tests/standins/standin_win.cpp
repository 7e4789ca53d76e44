// A stand-in for one of the suite's sibling programs. It records how it was
// started (see standin_log.h) and exits; the demo build also shows a small
// window saying which program was started for which station.
//
// STANDIN_PROGRAM is the file name it plays, STANDIN_ROLE what that program
// is; STANDIN_DEMO selects the window.

#include <windows.h>

#include <string>

#include "tests/standins/standin_log.h"

namespace {

std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string CurrentFolder() {
  const DWORD size = GetCurrentDirectoryA(0, nullptr);
  if (size == 0) return std::string();
  std::string folder(size, '\0');
  const DWORD n = GetCurrentDirectoryA(size, folder.data());
  folder.resize(n < size ? n : 0);
  return folder;
}

// What follows the program path, as WinMain's command-line argument is made:
// the path ends at the first blank outside quotes, and the blanks after it
// are skipped. The rest is kept byte for byte.
std::string ParametersOf(const std::string& command_line) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < command_line.size(); ++i) {
    const char c = command_line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      break;
    }
  }
  while (i < command_line.size() && (command_line[i] == ' ' || command_line[i] == '\t')) ++i;
  return command_line.substr(i);
}

// Several stand-ins may start at once (auto-run): each line goes in with one
// write under an exclusive lock, and an open refused for sharing is retried.
void AppendLine(const std::string& path, const std::string& line) {
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 200; ++attempt) {
    file = CreateFileA(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) break;
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
        error != ERROR_ACCESS_DENIED) {
      return;
    }
    Sleep(25);
  }
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (locked) {
    OVERLAPPED again{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &again);
  }
  CloseHandle(file);
}

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
