#pragma once

// Figures for the benchmark table. Every figure is measured side by side
// with its floor in the same run, and the goal is a ratio of the two, so a
// busy machine slows both alike. scripts/bench collects the rows that the
// bench programs print (lines beginning with "|") under one header.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

// Station names of the usual shape and length: "Radio 00042 FM",
// "Station 00043", ...
inline std::vector<std::string> StationNames(int count) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(count));
  char name[32];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, i % 2 ? "Station %05d" : "Radio %05d FM", i);
    names.emplace_back(name);
  }
  return names;
}

// 100000 as "100,000".
inline std::string WithThousands(int value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0 && digits[at - 1] != '-'; at -= 3) {
    digits.insert(static_cast<size_t>(at), ",");
  }
  return digits;
}

inline double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

// "8.2 to 10.5 ms": the lowest and the highest of a figure's rounds, for
// a note beside its row.
inline std::string Spread(const std::vector<double>& ms) {
  if (ms.empty()) return "no rounds";
  const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
  char text[64];
  std::snprintf(text, sizeof text, "%.1f to %.1f ms", *low, *high);
  return text;
}

enum class Goal {
  kNone,     // shown for information
  kAtMost,   // measured / floor must not exceed the goal
  kAtLeast,  // measured / floor must reach the goal
};

// Prints one row: figure | measured | floor | ratio | goal | met?
inline void PrintRow(const std::string& figure, double measured, double floor, const char* unit,
                     Goal goal, double goal_ratio) {
  const double ratio = floor > 0.0 ? measured / floor : 0.0;
  char goal_text[32] = "-";
  const char* met = "-";
  if (goal == Goal::kAtMost) {
    std::snprintf(goal_text, sizeof goal_text, "<= %.2f x", goal_ratio);
    met = ratio <= goal_ratio ? "yes" : "no";
  } else if (goal == Goal::kAtLeast) {
    std::snprintf(goal_text, sizeof goal_text, ">= %.2f x", goal_ratio);
    met = ratio >= goal_ratio ? "yes" : "no";
  }
  std::printf("| %s | %.1f %s | %.1f %s | %.2f | %s | %s |\n", figure.c_str(), measured, unit,
              floor, unit, ratio, goal_text, met);
  std::fflush(stdout);
}

// A figure that could not be measured, with the reason.
inline void PrintFailure(const std::string& figure, const std::string& why) {
  std::printf("| %s | failed: %s | - | - | - | no |\n", figure.c_str(), why.c_str());
  std::fflush(stdout);
}

}  // namespace bench
