// Start-up to the first paint, measured from outside: CreateProcess, then
// WaitForInputIdle, which returns once the started program's message loop
// has nothing left to do (its first paint done). Each case is measured
// against two floors: the bare window and the bare window with the
// controller's eight input controls (bare_window_win.cpp). The three
// programs take turns, the order shifting by one each round, and the
// medians are compared.
//
// startup_bench_win ROUNDS BARE_EXE CONTROLS_EXE (STATIONS FOLDER)...
// Each FOLDER is an installation folder holding morvelle.exe; its list file
// is written here with STATIONS rows before the first start.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/test_folder_win.h"
#include "base/unique_handle_win.h"
#include "bench/bench_table.h"
#include "storage/list_file.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

struct WindowSearch {
  DWORD process_id;
  bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

bool HasVisibleWindow(DWORD process_id) {
  WindowSearch search{process_id, false};
  EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// One start, in milliseconds; a negative result when the program did not
// come up (error says why). The program is ended and gone before return, so
// that the next start finds no other copy.
double StartOnce(const std::string& exe, std::string& error) {
  const std::string folder = FolderOf(exe);
  std::string command_line = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const auto start = bench::Clock::now();
  if (!CreateProcessA(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    error = "cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")";
    return -1.0;
  }
  const ScopedHandle process_handle(process.hProcess);
  const ScopedHandle thread_handle(process.hThread);
  const DWORD idle = WaitForInputIdle(process.hProcess, 120000);
  const double ms = bench::MillisecondsSince(start);
  const bool shown = HasVisibleWindow(process.dwProcessId);
  const bool running = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 30000);
  if (idle != 0) {
    error = exe + ": never idle (" + std::to_string(idle) + ")";
    return -1.0;
  }
  if (!running) {
    error = exe + " ended before its window was up";
    return -1.0;
  }
  // Idle before its window shows would time something else than the
  // first paint: a message loop run during start-up, for instance.
  if (!shown) {
    error = exe + " was idle before its window showed";
    return -1.0;
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 4) % 2 != 0) {
    std::fprintf(stderr,
                 "usage: startup_bench_win ROUNDS BARE_EXE CONTROLS_EXE (STATIONS FOLDER)...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  const std::string bare = argv[2];
  const std::string controls = argv[3];
  int status = 0;
  for (int c = 4; c + 1 < argc; c += 2) {
    const int stations = std::atoi(argv[c]);
    const std::string folder = argv[c + 1];
    const std::string figure =
        "start-up to first paint, " + bench::WithThousands(stations) + " stations";
    const std::string controls_figure = figure + ", vs eight controls";
    const bool goal = stations == 1000;

    if (!WriteWholeFile(folder + "\\lista.qmx",
                        SerializeStationRows(bench::StationNames(stations)))) {
      bench::PrintFailure(figure, "cannot write the list file in " + folder);
      status = 1;
      continue;
    }
    // The controller, the bare window, the eight controls.
    const std::string programs[3] = {folder + "\\morvelle.exe", bare, controls};
    std::vector<double> ms[3];
    std::string error;
    // One start of each first, not counted: it fills the file cache, and in
    // a prefix whose desktop process is not up yet the first start can go
    // idle before its window shows. A real failure shows in the rounds.
    for (const auto& program : programs) StartOnce(program, error);
    error.clear();
    bool ok = true;
    for (int r = 0; ok && r < rounds; ++r) {
      for (int turn = 0; ok && turn < 3; ++turn) {
        const int p = (r + turn) % 3;
        const double once = StartOnce(programs[p], error);
        ok = once >= 0;
        ms[p].push_back(once);
      }
    }
    if (!ok) {
      bench::PrintFailure(figure, error);
      status = 1;
      continue;
    }
    const double program_ms = bench::Median(ms[0]);
    bench::PrintRow(figure, program_ms, bench::Median(ms[1]), "ms",
                    goal ? bench::Goal::kAtMost : bench::Goal::kNone, 1.15);
    bench::PrintRow(controls_figure, program_ms, bench::Median(ms[2]), "ms",
                    goal ? bench::Goal::kAtMost : bench::Goal::kNone, 1.1);
  }
  return status;
}
