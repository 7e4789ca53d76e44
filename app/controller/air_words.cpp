#include "app/controller/air_words.h"

#include "base/texts.h"

namespace {

std::string TwoDigits(int n) {
  return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

// 1st, 2nd, 3rd, 4th ... 11th, 12th, 13th ... 21st.
std::string Ordinal(int n) {
  const int last_two = n % 100;
  const char* suffix = "th";
  if (last_two < 11 || last_two > 13) {
    if (n % 10 == 1) suffix = "st";
    if (n % 10 == 2) suffix = "nd";
    if (n % 10 == 3) suffix = "rd";
  }
  return std::to_string(n) + suffix;
}

}  // namespace

std::string AirWords(const AirStatus& status) {
  if (status.state == AirState::kOff) return std::string();
  std::string words;
  if (status.failing) {
    words.append("Failing: ").append(std::to_string(status.crashes_in_two_minutes));
    words.append(" crashes in 2 minutes, retrying every ");
    words.append(std::to_string(status.retry_every_seconds)).append(" s");
  } else if (status.state == AirState::kRestarting) {
    words.append("Restarting in ").append(std::to_string(status.restart_in_seconds));
    words.append(" s after a crash (").append(ExitCodeText(status.last_crash_code)).append("), ");
    words.append(Ordinal(status.crashes)).append(" time");
  } else {
    words.append("On air since ").append(TwoDigits(status.since.hour)).append(":");
    words.append(TwoDigits(status.since.minute));
  }
  return words;
}
