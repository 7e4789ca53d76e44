#pragma once

// When a station's scheduler is started again. Events in (it started, it
// exited with a code), decisions out; every time is passed in, in
// milliseconds of one steady clock, so the whole policy runs in tests
// without waiting.
//
// A crash is an exit with a code of 0x80000000 or above (an unhandled
// exception ends a process with its NTSTATUS, such as 0xC0000005); any other
// exit was meant, and is not followed by a restart. After a crash the
// scheduler is started again after the first delay, then twice that, and so
// on up to the longest; once it has run for the steady time without a crash
// the count starts over. A given number of crashes within the failing window
// makes the station failing: retried at the longest delay until it runs
// steadily again. It never gives up.

#include <cstdint>

struct RestartSettings {
  std::int64_t first_delay_ms = 1000;
  std::int64_t longest_delay_ms = 60000;
  std::int64_t steady_run_ms = 60000;
  int failing_crashes = 5;
  std::int64_t failing_window_ms = 120000;
};

[[nodiscard]] constexpr bool IsCrashExit(std::uint32_t exit_code) {
  return exit_code >= 0x80000000u;
}

struct RestartDecision {
  bool restart = false;  // false after a stop: the station is off air
  std::int64_t delay_ms = 0;
  bool became_failing = false;  // this crash made the station failing
};

class RestartPolicy {
 public:
  explicit RestartPolicy(const RestartSettings& settings = {}) : settings_(settings) {}

  void Started(std::int64_t now_ms);
  RestartDecision Exited(std::uint32_t exit_code, std::int64_t now_ms);

  // What holds at now_ms: a scheduler that has run steadily since its last
  // crash has left its crashes behind, before any event says so.
  [[nodiscard]] bool Failing(std::int64_t now_ms) const { return failing_ && !Steady(now_ms); }
  [[nodiscard]] int Crashes(std::int64_t now_ms) const { return Steady(now_ms) ? 0 : crashes_; }
  // The crashes within the failing window that ends at the last crash (at
  // most 16 are counted).
  [[nodiscard]] int RecentCrashes(std::int64_t now_ms) const {
    return Steady(now_ms) ? 0 : recent_count_;
  }
  [[nodiscard]] std::uint32_t LastCrashCode() const { return last_code_; }
  [[nodiscard]] const RestartSettings& Settings() const { return settings_; }

 private:
  [[nodiscard]] bool Steady(std::int64_t now_ms) const {
    return running_ && now_ms - started_ms_ >= settings_.steady_run_ms;
  }

  RestartSettings settings_;
  bool running_ = false;
  bool failing_ = false;
  std::int64_t started_ms_ = 0;
  std::uint32_t last_code_ = 0;
  int crashes_ = 0;  // since the last steady run
  // The times of the latest crashes, the next one going to crashes_ % kKept:
  // enough for any failing count up to kKept.
  static constexpr int kKept = 16;
  std::int64_t crash_times_[kKept] = {};
  int recent_count_ = 0;  // within the failing window up to the last crash
};
