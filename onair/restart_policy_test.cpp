#include "onair/restart_policy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kAccessViolation = 0xC0000005u;
constexpr std::int64_t kSecond = 1000;
constexpr int kAny = -1;

// One scheduler's life: it starts, runs `run_ms`, exits with `code`, and is
// started again as the policy says. Each exit is checked.
struct Life {
  std::int64_t run_ms;
  std::uint32_t code;
  bool restart;           // expected
  std::int64_t delay_ms;  // expected when restarted; kAny: not checked
  bool failing;           // expected right after the exit
  int crashes;            // expected in a row; kAny: not checked
};

struct Row {
  const char* label;
  std::int64_t first_delay_ms;
  std::vector<Life> lives;
};

std::vector<Life> Repeat(int times, Life life) { return std::vector<Life>(times, life); }

std::vector<Life> Join(std::vector<std::vector<Life>> parts) {
  std::vector<Life> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(RestartPolicyTest, DecidesAsTheTableSays) {
  const Row rows[] = {
      {"exit 0 is a stop", 1000, {{5 * kSecond, 0, false, 0, false, 0}}},
      {"End task's 1 is a stop", 1000, {{5 * kSecond, 1, false, 0, false, 0}}},
      {"0x7FFFFFFF is a stop", 1000, {{5 * kSecond, 0x7FFFFFFFu, false, 0, false, 0}}},
      {"0x80000000 is a crash", 1000, {{5 * kSecond, 0x80000000u, true, 1000, false, 1}}},
      {"a C++ exception is a crash", 1000, {{5 * kSecond, 0xE06D7363u, true, 1000, false, 1}}},
      {"a stop after crashes ends the restarts",
       1000,
       {{0, kAccessViolation, true, 1000, false, 1}, {2 * kSecond, 0, false, 0, false, 1}}},
      // 30 s each: never 5 crashes within 2 minutes, so the delays show.
      {"delays double up to 60 s",
       1000,
       {{30 * kSecond, kAccessViolation, true, 1000, false, 1},
        {30 * kSecond, kAccessViolation, true, 2000, false, 2},
        {30 * kSecond, kAccessViolation, true, 4000, false, 3},
        {30 * kSecond, kAccessViolation, true, 8000, false, 4},
        {30 * kSecond, kAccessViolation, true, 16000, false, 5},
        {30 * kSecond, kAccessViolation, true, 32000, false, 6},
        {30 * kSecond, kAccessViolation, true, 60000, false, 7},
        {30 * kSecond, kAccessViolation, true, 60000, false, 8}}},
      {"60 s of running start the delays over",
       1000,
       {{0, kAccessViolation, true, 1000, false, 1},
        {0, kAccessViolation, true, 2000, false, 2},
        {60 * kSecond, kAccessViolation, true, 1000, false, 1}}},
      {"59.999 s are not enough",
       1000,
       {{0, kAccessViolation, true, 1000, false, 1},
        {0, kAccessViolation, true, 2000, false, 2},
        {60 * kSecond - 1, kAccessViolation, true, 4000, false, 3}}},
      {"5 crashes within 2 minutes: failing, at 60 s, and never given up", 1000,
       Join({{{0, kAccessViolation, true, 1000, false, 1},
              {0, kAccessViolation, true, 2000, false, 2},
              {0, kAccessViolation, true, 4000, false, 3},
              {0, kAccessViolation, true, 8000, false, 4},
              {0, kAccessViolation, true, 60000, true, 5}},
             Repeat(50, {0, kAccessViolation, true, 60000, true, kAny})})},
      {"failing stays while it crashes more slowly", 1000,
       Join({Repeat(4, {0, kAccessViolation, true, kAny, false, kAny}),
             {{0, kAccessViolation, true, 60000, true, 5},
              {59 * kSecond, kAccessViolation, true, 60000, true, 6}}})},
      {"failing ends after 60 s of running", 1000,
       Join({Repeat(4, {0, kAccessViolation, true, kAny, false, kAny}),
             {{0, kAccessViolation, true, 60000, true, 5}},
             {{60 * kSecond, kAccessViolation, true, 1000, false, 1}}})},
      // Crashes at 0, 60, 62, 66 and 120 s, never 60 s of running: at 120 s
      // the 1st has just left the 2 minutes.
      {"5 crashes in 120 s are not failing",
       1000,
       {{0, kAccessViolation, true, 1000, false, 1},
        {59 * kSecond, kAccessViolation, true, 2000, false, 2},
        {0, kAccessViolation, true, 4000, false, 3},
        {0, kAccessViolation, true, 8000, false, 4},
        {46 * kSecond, kAccessViolation, true, 16000, false, 5}}},
      {"5 crashes in 119.999 s are",
       1000,
       {{0, kAccessViolation, true, 1000, false, 1},
        {59 * kSecond, kAccessViolation, true, 2000, false, 2},
        {0, kAccessViolation, true, 4000, false, 3},
        {0, kAccessViolation, true, 8000, false, 4},
        {46 * kSecond - 1, kAccessViolation, true, 60000, true, 5}}},
      {"a first delay of 0 restarts at once",
       0,
       {{0, kAccessViolation, true, 0, false, 1}, {0, kAccessViolation, true, 0, false, 2}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RestartSettings settings;
    settings.first_delay_ms = row.first_delay_ms;
    RestartPolicy policy(settings);
    std::int64_t now = 1'000'000;  // any steady clock's value
    int n = 0;
    for (const Life& life : row.lives) {
      SCOPED_TRACE("exit " + std::to_string(++n));
      policy.Started(now);
      now += life.run_ms;
      const RestartDecision decision = policy.Exited(life.code, now);
      EXPECT_EQ(decision.restart, life.restart);
      if (life.restart && life.delay_ms != kAny) {
        EXPECT_EQ(decision.delay_ms, life.delay_ms);
      }
      EXPECT_EQ(policy.Failing(now), life.failing);
      if (life.crashes != kAny) {
        EXPECT_EQ(policy.Crashes(now), life.crashes);
      }
      if (!decision.restart) break;
      now += decision.delay_ms;
    }
  }
}

TEST(RestartPolicyTest, RunningSteadilyClearsTheStatusBeforeAnyEvent) {
  RestartPolicy policy;
  std::int64_t now = 0;
  for (int i = 0; i < 6; ++i) {
    policy.Started(now);
    const RestartDecision decision = policy.Exited(kAccessViolation, now);
    EXPECT_EQ(decision.became_failing, i == 4) << i;
    now += decision.delay_ms;
  }
  EXPECT_TRUE(policy.Failing(now));
  EXPECT_EQ(policy.Crashes(now), 6);
  EXPECT_EQ(policy.RecentCrashes(now), 6);
  EXPECT_EQ(policy.LastCrashCode(), kAccessViolation);
  policy.Started(now);
  EXPECT_TRUE(policy.Failing(now + 60 * kSecond - 1));
  EXPECT_FALSE(policy.Failing(now + 60 * kSecond));
  EXPECT_EQ(policy.Crashes(now + 60 * kSecond), 0);
  EXPECT_EQ(policy.RecentCrashes(now + 60 * kSecond), 0);
}

}  // namespace
