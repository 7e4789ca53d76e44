// The program's own work, each against its floor, in one process:
// - filling the station list box of the program's window with 100,000 rows,
//   against a bare LB_ADDSTRING loop with storage reserved and redraw off;
// - saving 100,000 rows with WinStationListFile::Save, against a bare
//   durable replace of the same bytes;
// - auto-run over 50 stations through the controller and the supervisor
//   (WinOnAir: each scheduler started with its process handle kept and
//   watched), against a bare ShellExecuteA loop starting the same stand-in.
//
// inproc_bench_win [STANDINS_FOLDER [AUTO_RUN_ROUNDS]]

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/application_win.h"
#include "app/controller/controller.h"
#include "app/controller/controller_fakes.h"
#include "app/main_window_win.h"
#include "base/test_folder_win.h"
#include "base/unique_handle_win.h"
#include "base/user_error.h"
#include "bench/bench_table.h"
#include "launch/launcher_win.h"
#include "onair/on_air_win.h"
#include "storage/list_file.h"
#include "storage/list_file_win.h"
#include "tests/standins/standin_requests.h"
#include "win/gdi_handles_win.h"

namespace {

constexpr int kListRows = 100000;
constexpr int kAutoRunStations = 50;

struct WindowTraits {
  using Handle = HWND;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { DestroyWindow(h); }
};
using ScopedWindow = UniqueHandle<WindowTraits>;

std::string FullPath(const std::string& path) {
  const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::string full(size, '\0');
  const DWORD n = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
  full.resize(n < size ? n : 0);
  return full;
}

// --- list box ---

// The floor: a list box of the same class, styles and font, filled with a
// bare LB_ADDSTRING loop, storage reserved and redraw off.
ScopedWindow MakeListBox(HWND parent, HFONT font) {
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS |
                                  LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                              8, 25, 153, 100, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (list != nullptr) SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return ScopedWindow(list);
}

void FillBare(HWND list, const StationRows& rows, size_t bytes) {
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  SendMessageA(list, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
  for (const auto& row : rows) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

bool BenchListFill(int rounds) {
  const char* figure = "filling the list box, 100,000 rows";
  const StationRows rows = bench::StationNames(kListRows);
  size_t bytes = 0;
  for (const auto& row : rows) bytes += row.size() + 1;

  // The program's own window, hidden as it is while the list loads, over a
  // controller whose world is recording fakes.
  Application application(GetModuleHandleA(nullptr), "CONTROLLER");
  MainWindow window(application);
  FakeWorld world;
  Tmusicstations controller(window, Outside{world, world, world, world, world, world, world},
                            world);
  world.controller = &controller;
  ScopedWindow parent(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 308, 164, nullptr,
                                      nullptr, GetModuleHandleA(nullptr), nullptr));
  ScopedFont font(CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GREEK_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, "Arial"));
  ScopedWindow bare_list = parent ? MakeListBox(parent.get(), font.get()) : ScopedWindow(nullptr);
  if (!window.Create(controller) || !bare_list) {
    bench::PrintFailure(figure, "no window or no list box");
    return false;
  }
  std::vector<double> window_ms, bare_ms;
  for (int r = 0; r < rounds; ++r) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool bare = (turn == 0) == (r % 2 == 0);
      const auto start = bench::Clock::now();
      if (bare) {
        FillBare(bare_list.get(), rows, bytes);
      } else {
        try {
          window.SetRows(rows);
        } catch (const UserError& e) {
          bench::PrintFailure(figure, e.what());
          return false;
        }
      }
      (bare ? bare_ms : window_ms).push_back(bench::MillisecondsSince(start));
      const int count = bare ? static_cast<int>(SendMessageA(bare_list.get(), LB_GETCOUNT, 0, 0))
                             : window.RowCount();
      if (count != kListRows) {
        bench::PrintFailure(figure, "wrong row count");
        return false;
      }
    }
  }
  bench::PrintRow(figure, bench::Median(window_ms), bench::Median(bare_ms), "ms",
                  bench::Goal::kAtMost, 1.2);
  return true;
}

// --- saving ---

// The floor of a save that a crash cannot tear: the same bytes into a
// temporary file beside the target with one WriteFile, flushed, closed and
// renamed over the target, in plain Win32 calls and nothing else.
bool ReplaceDurably(const std::string& temporary, const std::string& target,
                    const std::string& bytes) {
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD wrote = 0;
  const bool written =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) &&
      wrote == bytes.size() && FlushFileBuffers(file);
  const bool closed = CloseHandle(file);
  return written && closed &&
         MoveFileExA(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool BenchSave(int rounds) {
  const char* figure = "saving 100,000 rows";
  std::string temp(MAX_PATH + 1, '\0');
  temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
  const std::string folder = temp + "morvelle-bench-" + std::to_string(GetCurrentProcessId());
  if (!CreateDirectoryA(folder.c_str(), nullptr)) {
    bench::PrintFailure(figure, "cannot make " + folder);
    return false;
  }
  const std::string list_path = folder + "\\lista.qmx";
  const std::string plain_path = folder + "\\plain.qmx";
  const std::string plain_temporary = plain_path + ".tmp";
  const StationRows rows = bench::StationNames(kListRows);
  const std::string bytes = SerializeStationRows(rows);

  WinStationListFile list_file;
  std::vector<double> save_ms, replace_ms;
  std::string error;
  // Both targets exist before the first round, so that every timed round
  // replaces a file of the same size.
  bool ok = WriteWholeFile(list_path, bytes) && WriteWholeFile(plain_path, bytes);
  if (!ok) error = "cannot write the files to replace";
  for (int r = 0; ok && r < rounds; ++r) {
    for (int turn = 0; ok && turn < 2; ++turn) {
      const bool plain = (turn == 0) == (r % 2 == 0);
      const auto start = bench::Clock::now();
      if (plain) {
        ok = ReplaceDurably(plain_temporary, plain_path, bytes);
        if (!ok) error = "the bare replace failed (error " + std::to_string(GetLastError()) + ")";
      } else {
        try {
          list_file.Save(list_path, rows);
        } catch (const UserError& e) {
          ok = false;
          error = e.what();
        }
      }
      (plain ? replace_ms : save_ms).push_back(bench::MillisecondsSince(start));
    }
  }
  if (ok && list_file.Load(list_path) != rows) {
    ok = false;
    error = "the saved list does not load back";
  }
  if (ok && ReadWholeFile(plain_path) != bytes) {
    ok = false;
    error = "the bare replace did not leave the bytes";
  }
  DeleteFileA(list_path.c_str());
  DeleteFileA(WinStationListFile::TemporaryFor(list_path).c_str());
  DeleteFileA(plain_path.c_str());
  DeleteFileA(plain_temporary.c_str());
  RemoveDirectoryA(folder.c_str());
  if (!ok) {
    bench::PrintFailure(figure, error);
    return false;
  }
  bench::PrintRow(figure, bench::Median(save_ms), bench::Median(replace_ms), "ms",
                  bench::Goal::kAtMost, 1.2);
  return true;
}

// --- auto-run ---

size_t LinesIn(const std::string& path) {
  ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  size_t lines = 0;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got; ++i) lines += buffer[i] == '\n';
  }
  return lines;
}

// Waits, untimed, until every started stand-in has written its line, so
// that no round overlaps the stand-ins of the one before.
bool WaitForLines(const std::string& log, size_t lines) {
  for (int i = 0; i < 1200; ++i) {
    if (LinesIn(log) >= lines) return true;
    Sleep(50);
  }
  return false;
}

// Dispatches the messages this thread has now, without waiting for more.
void DispatchQueued() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// Dispatches this thread's messages, untimed, until every station is off
// air: the supervisor has seen the exits of all the stand-ins it started.
bool PumpUntilOffAir(const OnAir& on_air, const StationRows& stations) {
  for (int i = 0; i < 1200; ++i) {
    DispatchQueued();
    bool off = true;
    for (const auto& station : stations) {
      off = off && on_air.Status(station).state == AirState::kOff;
    }
    if (off) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  return false;
}

bool BenchAutoRun(const std::string& standins, int rounds) {
  const char* figure = "auto-run over 50 stations";
  const std::string scheduler = standins + "\\" + kSchedulerFileName;
  const std::string log = standins + "\\standins.log";
  if (GetFileAttributesA(scheduler.c_str()) == INVALID_FILE_ATTRIBUTES) {
    bench::PrintFailure(figure, "no stand-in " + scheduler);
    return false;
  }
  if (GetFileAttributesA((standins + "\\" + kStandinStayFile).c_str()) != INVALID_FILE_ATTRIBUTES) {
    bench::PrintFailure(figure, std::string("the stand-ins would stay: ") + kStandinStayFile);
    return false;
  }
  const StationRows stations = bench::StationNames(kAutoRunStations);

  // The controller as the window drives it, with the real shell launcher,
  // the real supervisor (its log and state file in a folder of their own)
  // and recording fakes for everything else.
  TestFolder app_folder("morvelle-autorun");
  if (!app_folder.ok()) {
    bench::PrintFailure(figure, "cannot make a folder for the supervisor");
    return false;
  }
  FakeView view;
  FakeWorld world;
  world.module = standins + "\\morvelle.exe";
  HWND owner = nullptr;
  ShellLauncher launcher(owner);
  WinOnAir on_air(app_folder.path(), owner);
  Tmusicstations controller(view, Outside{world, world, world, world, launcher, world, on_air},
                            world);
  world.controller = &controller;
  controller.FormCreate();
  view.rows = stations;
  view.auto_run = true;

  DeleteFileA(log.c_str());
  size_t expected = 0;
  std::vector<double> controller_ms, bare_ms;
  for (int r = 0; r < rounds; ++r) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool bare = (turn == 0) == (r % 2 == 0);
      const auto start = bench::Clock::now();
      if (bare) {
        for (const auto& station : stations) {
          ShellExecuteA(nullptr, nullptr, scheduler.c_str(), station.c_str(), nullptr, SW_SHOW);
        }
      } else {
        controller.FormActivate();
        // What the supervisor left queued meanwhile is part of the work:
        // its one write of the state file, the exits seen so far.
        DispatchQueued();
      }
      (bare ? bare_ms : controller_ms).push_back(bench::MillisecondsSince(start));
      expected += stations.size();
      if (!WaitForLines(log, expected)) {
        bench::PrintFailure(figure, "the stand-ins did not all start");
        return false;
      }
      // The next round finds every station off air again, so that it starts
      // all 50 rather than passing by those whose exits are not seen yet.
      if (!bare && !PumpUntilOffAir(on_air, stations)) {
        bench::PrintFailure(figure, "the supervisor did not see the stand-ins exit");
        return false;
      }
    }
  }
  if (!view.events.empty() || controller.CurrentStation() != stations.back()) {
    bench::PrintFailure(figure, "the controller did not run every station");
    return false;
  }
  // Every controller round started every station through the supervisor.
  const std::string events = ReadWholeFile(app_folder.path() + kEventLogFileName);
  size_t started = 0;
  for (size_t at = events.find("\tstarted\t"); at != std::string::npos;
       at = events.find("\tstarted\t", at + 1)) {
    ++started;
  }
  if (started != stations.size() * static_cast<size_t>(rounds)) {
    bench::PrintFailure(figure, "the supervisor started " + std::to_string(started) +
                                    " schedulers, not " +
                                    std::to_string(stations.size() * static_cast<size_t>(rounds)));
    return false;
  }
  DeleteFileA(log.c_str());
  std::printf("auto-run, %d rounds: controller %s, floor %s\n", rounds,
              bench::Spread(controller_ms).c_str(), bench::Spread(bare_ms).c_str());
  bench::PrintRow(figure, bench::Median(controller_ms), bench::Median(bare_ms), "ms",
                  bench::Goal::kAtMost, 1.1);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string standins = FullPath(argc > 1 ? argv[1] : MORVELLE_STANDINS_DIR);
  const int auto_run_rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  bool ok = BenchListFill(15);
  ok = BenchSave(15) && ok;
  ok = BenchAutoRun(standins, auto_run_rounds > 0 ? auto_run_rounds : 5) && ok;
  return ok ? 0 : 1;
}
