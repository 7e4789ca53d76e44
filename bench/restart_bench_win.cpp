// Crash to restart: how long a crashed scheduler is off air before its new
// process exists, through the supervisor (onair_restart_win: WinOnAir in a
// program with a message loop, first delay 0) against the floor
// (bare_restart_win: a program that waits on the process handle and starts
// the program again with ShellExecuteExA).
//
// Both run side by side, each bringing back its own stand-in scheduler that
// stays running, from a copy in a folder of its own. Round by round, taking
// turns, each stand-in is asked to crash with 0xC0000005. The time is read
// from the system's own records of the two processes, the same for both:
// from the old process's exit time (when its handle is signalled) to the
// new process's creation time. What the crash itself takes, and what the
// new process does once it exists, is outside the figure.
//
// restart_bench_win ROUNDS STANDINS_FOLDER
// The two programs are found beside this one.

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/test_folder_win.h"
#include "base/unique_handle_win.h"
#include "bench/bench_table.h"
#include "tests/standins/standin_requests.h"
#include "tests/standins/standin_start_win.h"

namespace {

constexpr DWORD kCrashCode = 0xC0000005;
constexpr char kScheduler[] = "talvex.exe";

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// One of the two restarters and the stand-in it keeps on air.
struct Side {
  std::string name;  // the station, which is also the stand-in's parameters
  std::string command_line;
  PROCESS_INFORMATION restarter{};
  DWORD scheduler_id = 0;  // the stand-in now running
  std::vector<double> ms;
};

// The stand-in's window for the station, once a process other than `not_id`
// shows it; null after 20 s.
HWND WaitForStandin(const std::string& station, DWORD not_id, DWORD& id) {
  for (int i = 0; i < 2000; ++i) {
    const HWND window = FindStandinWindow(kScheduler, station);
    id = 0;
    if (window != nullptr) GetWindowThreadProcessId(window, &id);
    if (window != nullptr && id != 0 && id != not_id) return window;
    Sleep(10);
  }
  return nullptr;
}

// Crashes the side's stand-in and returns the time from its death to the
// new process, in ms; negative when something failed (error says what).
double CrashAndRestart(Side& side, std::string& error) {
  DWORD id = 0;
  const HWND window = WaitForStandin(side.name, 0, id);
  // Held until the new process is found, so that its id cannot be given out
  // again meanwhile.
  const ScopedHandle old_process(
      window ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id) : nullptr);
  if (!old_process) {
    error = side.name + ": no stand-in running";
    return -1.0;
  }
  PostMessageA(window, kStandinCrash, kCrashCode, 0);
  // Still while the restart runs: woken by the same death, this thread would
  // take the processor from the restarter within the measured span. The
  // stand-in takes some 80 ms to crash under Wine, and its successor longer
  // to show its window.
  Sleep(300);
  DWORD code = 0;
  if (WaitForSingleObject(old_process.get(), 20000) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(old_process.get(), &code) || code != kCrashCode) {
    error = side.name + ": the stand-in did not crash with 0xC0000005";
    return -1.0;
  }
  DWORD new_id = 0;
  const ScopedHandle new_process(WaitForStandin(side.name, id, new_id)
                                     ? OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, new_id)
                                     : nullptr);
  FILETIME created, exited, unused_created, kernel, user;
  if (!new_process ||
      !GetProcessTimes(old_process.get(), &unused_created, &exited, &kernel, &user) ||
      !GetProcessTimes(new_process.get(), &created, &unused_created, &kernel, &user)) {
    error = side.name + ": the stand-in was not started again";
    return -1.0;
  }
  side.scheduler_id = new_id;
  // FILETIME counts 100 ns.
  return (static_cast<double>(Ticks(created)) - static_cast<double>(Ticks(exited))) / 10000.0;
}

bool StartRestarter(Side& side, std::string& error) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, side.command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &side.restarter)) {
    error = "cannot start " + side.command_line;
    return false;
  }
  CloseHandle(side.restarter.hThread);
  side.restarter.hThread = nullptr;
  return true;
}

// Closes the side's stand-in with exit code 0, a stop, after which the
// restarter ends; one that does not is ended.
void Finish(Side& side) {
  if (side.restarter.hProcess == nullptr) return;
  const HWND window = FindStandinWindow(kScheduler, side.name);
  if (window != nullptr) PostMessageA(window, kStandinExit, 0, 0);
  if (WaitForSingleObject(side.restarter.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(side.restarter.hProcess, 1);
    WaitForSingleObject(side.restarter.hProcess, 10000);
  }
  CloseHandle(side.restarter.hProcess);
  side.restarter.hProcess = nullptr;
}

// A backslash before the closing quote is doubled, or it would escape it.
std::string Quoted(const std::string& text) {
  const bool ends_in_backslash = !text.empty() && text.back() == '\\';
  return "\"" + text + (ends_in_backslash ? "\\\"" : "\"");
}

std::string BenchFolder() {
  const std::string module = ModulePath();
  return module.substr(0, module.find_last_of("\\/") + 1);
}

}  // namespace

int main(int argc, char** argv) {
  const char* figure = "crash to restart (death to new process)";
  if (argc != 3) {
    std::fprintf(stderr, "usage: restart_bench_win ROUNDS STANDINS_FOLDER\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  const std::string standin = std::string(argv[2]) + "\\" + kScheduler;

  // A copy of the stand-in that stays running, in a folder of its own: the
  // stand-ins in the build folder exit at once, for the auto-run figure.
  TestFolder folder("morvelle-restart");
  const std::string scheduler = folder.path() + kScheduler;
  if (!folder.ok() || !CopyFileA(standin.c_str(), scheduler.c_str(), FALSE) ||
      !WriteWholeFile(folder.path() + kStandinStayFile, "stay\r\n")) {
    bench::PrintFailure(figure, "cannot prepare a folder with " + standin);
    return 1;
  }
  Side supervised{"BenchSupervised", {}, {}, 0, {}};
  Side bare{"BenchBare", {}, {}, 0, {}};
  const std::string here = BenchFolder();
  supervised.command_line = Quoted(here + "onair_restart_win.exe") + " " + Quoted(folder.path()) +
                            " " + Quoted(scheduler) + " " + supervised.name;
  bare.command_line =
      Quoted(here + "bare_restart_win.exe") + " " + Quoted(scheduler) + " " + bare.name;

  std::string error;
  bool ok = StartRestarter(supervised, error) && StartRestarter(bare, error);
  // One crash of each first, not counted: the first start of a program
  // fills the file cache.
  for (Side* side : {&supervised, &bare}) {
    ok = ok && CrashAndRestart(*side, error) >= 0;
  }
  for (int r = 0; ok && r < rounds; ++r) {
    for (int turn = 0; ok && turn < 2; ++turn) {
      Side& side = (turn == 0) == (r % 2 == 0) ? bare : supervised;
      // Both sides quiet: the last new stand-in up, the supervisor's
      // bookkeeping after its start (log, state file) done.
      Sleep(150);
      const double ms = CrashAndRestart(side, error);
      ok = ms >= 0;
      side.ms.push_back(ms);
    }
  }
  Finish(supervised);
  Finish(bare);
  // Every counted crash went through the supervisor, and was logged so.
  const std::string log = ReadWholeFile(folder.path() + "morvelle.log");
  size_t crashes = 0;
  for (size_t at = log.find("crashed 0xC0000005"); at != std::string::npos;
       at = log.find("crashed 0xC0000005", at + 1)) {
    ++crashes;
  }
  if (ok && crashes != static_cast<size_t>(rounds) + 1) {
    ok = false;
    error = "the supervisor logged " + std::to_string(crashes) + " crashes, not " +
            std::to_string(rounds + 1);
  }
  if (!ok) {
    bench::PrintFailure(figure, error);
    return 1;
  }
  std::printf("crash to restart, %d rounds: supervised %s, floor %s\n", rounds,
              bench::Spread(supervised.ms).c_str(), bench::Spread(bare.ms).c_str());
  bench::PrintRow(figure, bench::Median(supervised.ms), bench::Median(bare.ms), "ms",
                  bench::Goal::kAtMost, 1.2);
  return 0;
}
