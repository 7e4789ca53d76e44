#include "app/controller/air_words.h"

#include <gtest/gtest.h>

namespace {

TEST(AirWords, EachStateInWords) {
  const auto status = [](AirState state, bool failing) {
    AirStatus s;
    s.state = state;
    s.failing = failing;
    s.since = ClockTime{9, 5, 59};
    s.restart_in_seconds = 8;
    s.last_crash_code = 0xC0000005u;
    s.crashes_in_two_minutes = 6;
    s.retry_every_seconds = 60;
    return s;
  };
  struct Row {
    const char* label;
    AirStatus status;
    int crashes;
    const char* words;
  } rows[] = {
      {"off", status(AirState::kOff, false), 0, ""},
      {"on air", status(AirState::kOnAir, false), 0, "On air since 09:05"},
      {"restarting", status(AirState::kRestarting, false), 3,
       "Restarting in 8 s after a crash (0xC0000005), 3rd time"},
      {"restarting, 1st", status(AirState::kRestarting, false), 1,
       "Restarting in 8 s after a crash (0xC0000005), 1st time"},
      {"restarting, 12th", status(AirState::kRestarting, false), 12,
       "Restarting in 8 s after a crash (0xC0000005), 12th time"},
      {"restarting, 22nd", status(AirState::kRestarting, false), 22,
       "Restarting in 8 s after a crash (0xC0000005), 22nd time"},
      {"failing, waiting", status(AirState::kRestarting, true), 6,
       "Failing: 6 crashes in 2 minutes, retrying every 60 s"},
      {"failing, running again", status(AirState::kOnAir, true), 6,
       "Failing: 6 crashes in 2 minutes, retrying every 60 s"},
  };
  for (auto& row : rows) {
    SCOPED_TRACE(row.label);
    row.status.crashes = row.crashes;
    EXPECT_EQ(AirWords(row.status), row.words);
  }
}

}  // namespace
