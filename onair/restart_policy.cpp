#include "onair/restart_policy.h"

#include <algorithm>

void RestartPolicy::Started(std::int64_t now_ms) {
  running_ = true;
  started_ms_ = now_ms;
}

RestartDecision RestartPolicy::Exited(std::uint32_t exit_code, std::int64_t now_ms) {
  if (Steady(now_ms)) {
    crashes_ = 0;
    failing_ = false;
  }
  running_ = false;
  if (!IsCrashExit(exit_code)) return {};

  last_code_ = exit_code;
  crash_times_[crashes_ % kKept] = now_ms;
  ++crashes_;
  recent_count_ = 0;
  for (int i = 0; i < std::min(crashes_, kKept); ++i) {
    if (now_ms - crash_times_[i] < settings_.failing_window_ms) ++recent_count_;
  }

  RestartDecision decision{true, settings_.longest_delay_ms, false};
  if (!failing_ && recent_count_ >= std::min(settings_.failing_crashes, kKept)) {
    failing_ = true;
    decision.became_failing = true;
  }
  if (!failing_) {
    // first * 2^(crashes - 1), doubled step by step so that it cannot overflow.
    std::int64_t delay = settings_.first_delay_ms;
    for (int i = 1; i < crashes_ && delay < settings_.longest_delay_ms; ++i) delay *= 2;
    decision.delay_ms = std::min(delay, settings_.longest_delay_ms);
  }
  return decision;
}
