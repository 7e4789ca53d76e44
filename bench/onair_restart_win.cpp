// Crash to restart through the supervisor: a program with a message loop,
// as the controller is, that starts one scheduler through WinOnAir and
// lets it bring the scheduler back after each crash. The first delay is 0,
// and no run of crashes makes the station failing (which would retry at
// the longest delay), so that every crash is followed by an immediate
// restart. It ends once the scheduler has stopped (exited with a code
// below 0x80000000).
//
// onair_restart_win APP_FOLDER PROGRAM PARAMETERS
// APP_FOLDER, ending in a separator, receives morvelle.log and
// morvelle.onair.

#include <windows.h>

#include <string>

#include "onair/on_air_win.h"

namespace {

// Ends the message loop once the station is off air.
class QuitWhenOff final : public OnAirListener {
 public:
  QuitWhenOff(const OnAir& on_air, std::string station)
      : on_air_(on_air), station_(std::move(station)) {}
  void OnAirChanged(const std::string& station) override {
    if (station == station_ && on_air_.Status(station).state == AirState::kOff) {
      PostQuitMessage(0);
    }
  }

 private:
  const OnAir& on_air_;
  std::string station_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string station = argv[3];
  HWND owner = nullptr;
  RestartSettings settings{.first_delay_ms = 0};
  settings.failing_window_ms = 0;
  WinOnAir on_air(argv[1], owner, settings);
  QuitWhenOff quit(on_air, station);
  on_air.SetListener(&quit);
  if (on_air.Start(station, argv[2], station, std::string(), SW_SHOW) != StartOutcome::kStarted) {
    return 1;
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
