#include "onair/on_air_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/test_folder_win.h"
#include "onair/on_air_test_support_win.h"
#include "storage/list_file.h"
#include "tests/standins/standin_log.h"
#include "tests/standins/standin_requests.h"

namespace {

constexpr char kScheduler[] = "talvex.exe";

struct RecordingListener : OnAirListener {
  std::vector<std::string> changed;
  void OnAirChanged(const std::string& station) override { changed.push_back(station); }
};

// A temporary installation folder with the stand-in scheduler, told how to
// behave by its stay file. Every stand-in still running at the end is closed.
class Installation {
 public:
  explicit Installation(const char* stay = "")
      : folder_("morvelle-onair"),
        ready_(folder_.ok() &&
               CopyFileA((WindowsPath(MORVELLE_STANDINS_DIR) + "\\" + kScheduler).c_str(),
                         (folder_.path() + kScheduler).c_str(), FALSE) &&
               WriteWholeFile(folder_.path() + kStandinStayFile, stay)),
        crashing_(std::string(stay) == "crash") {}
  ~Installation() {
    if (crashing_) return;
    for (const std::string& station : started_) {
      // A scheduler started just now may not have its window yet.
      HWND window = nullptr;
      PumpUntil([&] { return (window = FindStandinWindow(kScheduler, station)) != nullptr; }, 2000);
      if (window == nullptr) continue;
      PostMessageA(window, WM_CLOSE, 0, 0);
      PumpUntil([&] { return FindStandinWindow(kScheduler, station) == nullptr; }, 5000);
    }
  }

  bool ready() const { return ready_; }
  const std::string& dir() const { return folder_.path(); }
  std::string Log() const { return ReadWholeFile(dir() + kEventLogFileName); }
  std::size_t Starts() const { return ReadStandinLog(dir() + "standins.log").size(); }

  StartOutcome Start(OnAir& on_air, const std::string& station) {
    if (std::find(started_.begin(), started_.end(), station) == started_.end()) {
      started_.push_back(station);
    }
    return on_air.Start(station, dir() + kScheduler, station, std::string(), SW_SHOW);
  }
  // The station's stand-in window once it shows.
  HWND Window(const std::string& station) const {
    HWND window = nullptr;
    PumpUntil([&] {
      window = FindStandinWindow(kScheduler, station);
      return window != nullptr && IsWindowVisible(window);
    });
    return window;
  }

 private:
  TestFolder folder_;
  bool ready_;
  bool crashing_;
  std::vector<std::string> started_;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WinOnAirTest, ACrashIsBroughtBackAndAStopIsNot) {
  Installation installation;
  ASSERT_TRUE(installation.ready());
  HWND owner = nullptr;
  RestartSettings settings;
  settings.first_delay_ms = 100;
  WinOnAir on_air(installation.dir(), owner, settings);
  RecordingListener listener;
  on_air.SetListener(&listener);
  const std::string station = "Rock FM";

  ASSERT_EQ(installation.Start(on_air, station), StartOutcome::kStarted);
  const AirStatus first = on_air.Status(station);
  EXPECT_EQ(first.state, AirState::kOnAir);
  ASSERT_NE(first.process_id, 0u);
  HWND window = installation.Window(station);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(installation.Start(on_air, station), StartOutcome::kAlreadyOnAir);
  EXPECT_TRUE(on_air.BringToFront(station));
  EXPECT_FALSE(on_air.BringToFront("Jazz"));
  EXPECT_EQ(on_air.Status("Jazz").state, AirState::kOff);

  // The exception raised, not the null pointer written: the i686 build's
  // emulation reports that fault with another code.
  PostMessageA(window, kStandinCrash, 0xC0000005u, 0);
  ASSERT_TRUE(PumpUntil([&] { return on_air.Status(station).state == AirState::kRestarting; }));
  EXPECT_EQ(on_air.Status(station).restart_in_seconds, 1);
  ASSERT_TRUE(PumpUntil([&] {
    const AirStatus now = on_air.Status(station);
    return now.state == AirState::kOnAir && now.process_id != first.process_id;
  }));
  const AirStatus again = on_air.Status(station);
  EXPECT_EQ(again.last_crash_code, 0xC0000005u);
  EXPECT_EQ(again.crashes, 1);
  EXPECT_FALSE(again.failing);
  EXPECT_TRUE(PumpUntil([&] { return installation.Starts() == 2; }));

  window = installation.Window(station);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return on_air.Status(station).state == AirState::kOff; }));
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(on_air.Status(station).state, AirState::kOff);
  EXPECT_EQ(installation.Starts(), 2u);

  const std::string log = installation.Log();
  const std::string pid = "\tpid " + std::to_string(first.process_id);
  const std::string restarted = "\tpid " + std::to_string(again.process_id);
  for (const std::string& line :
       {"\tRock FM\tstarted" + pid, "\tRock FM\talready on air" + pid,
        "\tRock FM\tcrashed 0xC0000005" + pid, std::string("\tRock FM\trestarting in 1 s\r\n"),
        "\tRock FM\tstarted" + restarted, "\tRock FM\texited 0x00000000 (stopped)" + restarted}) {
    EXPECT_TRUE(Contains(log, line)) << line << "\nin\n" << log;
  }
  EXPECT_GE(listener.changed.size(), 4u);  // started, restarting, started, stopped
}

TEST(WinOnAirTest, ACrashLoopIsFailingAndStillRetried) {
  Installation installation("crash");
  ASSERT_TRUE(installation.ready());
  HWND owner = nullptr;
  RestartSettings settings;
  settings.first_delay_ms = 10;
  settings.longest_delay_ms = 1000;
  WinOnAir on_air(installation.dir(), owner, settings);
  ASSERT_EQ(installation.Start(on_air, "Jazz"), StartOutcome::kStarted);
  ASSERT_TRUE(PumpUntil([&] { return on_air.Status("Jazz").crashes >= 7; }, 60000));
  const AirStatus status = on_air.Status("Jazz");
  EXPECT_TRUE(status.failing);
  EXPECT_EQ(status.retry_every_seconds, 1);
  EXPECT_GE(status.crashes_in_two_minutes, 7);
  const std::string log = installation.Log();
  EXPECT_TRUE(Contains(log, "\tJazz\tfailing\r\n")) << log;
  // A real fault: 0xC000001D where qemu runs the i686 build.
  EXPECT_TRUE(Contains(log, "\tJazz\tcrashed 0xC0000005\t") ||
              Contains(log, "\tJazz\tcrashed 0xC000001D\t"))
      << log;
  EXPECT_TRUE(Contains(log, "\tJazz\trestarting in 1 s\r\n")) << log;
}

TEST(WinOnAirTest, AControllerStartedAgainKnowsItsSchedulers) {
  Installation installation;
  ASSERT_TRUE(installation.ready());
  HWND owner = nullptr;
  RestartSettings settings;
  settings.first_delay_ms = 0;
  unsigned long process_id = 0;
  {
    WinOnAir first_run(installation.dir(), owner, settings);
    ASSERT_EQ(installation.Start(first_run, "Jazz"), StartOutcome::kStarted);
    process_id = first_run.Status("Jazz").process_id;
  }
  ASSERT_NE(installation.Window("Jazz"), nullptr) << "closing the controller ended it";
  const StationRows saved = ParseStationRows(ReadWholeFile(installation.dir() + kOnAirFileName));

  {
    WinOnAir second_run(installation.dir(), owner, settings);
    second_run.AdoptEarlier();
    EXPECT_EQ(second_run.Status("Jazz").state, AirState::kOnAir);
    EXPECT_EQ(second_run.Status("Jazz").process_id, process_id);
    EXPECT_EQ(installation.Start(second_run, "Jazz"), StartOutcome::kAlreadyOnAir);
    EXPECT_TRUE(Contains(installation.Log(), "\tJazz\tadopted at start-up\tpid " +
                                                 std::to_string(process_id) + "\r\n"));
    // Still watched: a crash is brought back.
    PostMessageA(installation.Window("Jazz"), kStandinCrash, 0, 0);
    ASSERT_TRUE(PumpUntil([&] {
      const AirStatus now = second_run.Status("Jazz");
      return now.state == AirState::kOnAir && now.process_id != process_id;
    }));
    EXPECT_TRUE(PumpUntil([&] { return installation.Starts() == 2; }));
  }

  // What the file says must be the same process, not only the same id.
  std::vector<OnAirEntry> entries = ParseOnAirEntries(saved);
  ASSERT_EQ(entries.size(), 1u);
  struct Row {
    const char* label;
    void (*change)(OnAirEntry&);
    bool adopted;
  };
  const Row rows[] = {
      {"the running one", [](OnAirEntry&) {}, true},
      {"another creation time", [](OnAirEntry& e) { e.creation_time += 1; }, false},
      {"another program", [](OnAirEntry& e) { e.image += "x"; }, false},
      {"a process that is gone", [](OnAirEntry& e) { e.process_id = 0xFFFFFFF0u; }, false},
  };
  // The crash above started a new process; the file names it now.
  entries = ParseOnAirEntries(ParseStationRows(ReadWholeFile(installation.dir() + kOnAirFileName)));
  ASSERT_EQ(entries.size(), 1u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<OnAirEntry> changed = entries;
    row.change(changed[0]);
    ASSERT_TRUE(
        WriteWholeFile(installation.dir() + kOnAirFileName, EncodeOnAirEntry(changed[0]) + "\r\n"));
    WinOnAir run(installation.dir(), owner, settings);
    run.AdoptEarlier();
    EXPECT_EQ(run.Status("Jazz").state == AirState::kOnAir, row.adopted);
  }
}

}  // namespace
