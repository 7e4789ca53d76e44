// Start-up to the first paint, measured from outside: CreateProcess, then
// WaitForInputIdle, which returns once the started program's message loop
// has nothing left to do (its first paint done). The program and the bare
// window alternate, round by round, and the medians are compared.
//
// startup_bench_win ROUNDS BARE_EXE (STATIONS FOLDER)...
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
  if (argc < 5 || (argc - 3) % 2 != 0) {
    std::fprintf(stderr, "usage: startup_bench_win ROUNDS BARE_EXE (STATIONS FOLDER)...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  const std::string bare = argv[2];
  int status = 0;
  for (int c = 3; c + 1 < argc; c += 2) {
    const int stations = std::atoi(argv[c]);
    const std::string folder = argv[c + 1];
    const std::string program = folder + "\\morvelle.exe";
    const std::string figure =
        "start-up to first paint, " + bench::WithThousands(stations) + " stations";
    const bench::Goal goal = stations == 1000 ? bench::Goal::kAtMost : bench::Goal::kNone;

    if (!WriteWholeFile(folder + "\\lista.qmx",
                        SerializeStationRows(bench::StationNames(stations)))) {
      bench::PrintFailure(figure, "cannot write the list file in " + folder);
      status = 1;
      continue;
    }
    std::vector<double> program_ms, bare_ms;
    std::string error;
    // One start of each first, not counted: it fills the file cache, and in
    // a prefix whose desktop process is not up yet the first start can go
    // idle before its window shows. A real failure shows in the rounds.
    StartOnce(bare, error);
    StartOnce(program, error);
    error.clear();
    bool ok = true;
    for (int r = 0; ok && r < rounds; ++r) {
      const bool bare_first = r % 2 == 0;
      const double first = StartOnce(bare_first ? bare : program, error);
      const double second = first < 0 ? -1.0 : StartOnce(bare_first ? program : bare, error);
      if (second < 0) ok = false;
      (bare_first ? bare_ms : program_ms).push_back(first);
      (bare_first ? program_ms : bare_ms).push_back(second);
    }
    if (!ok) {
      bench::PrintFailure(figure, error);
      status = 1;
      continue;
    }
    bench::PrintRow(figure, bench::Median(program_ms), bench::Median(bare_ms), "ms", goal, 1.15);
  }
  return status;
}
