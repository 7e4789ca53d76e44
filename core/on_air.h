#pragma once

// The controller's view of the schedulers it starts: which stations are on
// air, starting and watching a station's scheduler, and bringing its window
// forward. A station is known by its name exactly as listed; stations that
// are not known are off air. Everything runs on the window's thread.

#include <cstdint>
#include <string>

enum class AirState {
  kOff,         // no scheduler known: the row looks as it always did
  kOnAir,       // its scheduler runs
  kRestarting,  // it crashed; it is started again when restart_in_seconds are over
};

// A local time of day, to the second.
struct ClockTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct AirStatus {
  AirState state = AirState::kOff;
  // Crashed 5 times within 2 minutes and not yet run 60 s since; it is
  // retried every retry_every_seconds. Either on air or restarting.
  bool failing = false;
  ClockTime since;                    // kOnAir: when the running scheduler started
  int restart_in_seconds = 0;         // kRestarting: whole seconds left, rounded up
  std::uint32_t last_crash_code = 0;  // 0 before the first crash
  int crashes = 0;                    // in a row: since it last ran 60 s ("3rd time")
  int crashes_in_two_minutes = 0;     // up to the last crash
  int retry_every_seconds = 0;        // failing: the delay between tries
  unsigned long process_id = 0;       // kOnAir
};

enum class StartOutcome {
  kStarted,       // a new scheduler runs and is watched
  kAlreadyOnAir,  // its scheduler runs already: nothing was started
  kNotStarted,    // the shell gave no process (missing program...); logged only
};

class OnAirListener {
 public:
  virtual ~OnAirListener() = default;
  // The status of `station` changed: its mark and hint are out of date.
  virtual void OnAirChanged(const std::string& station) = 0;
};

class OnAir {
 public:
  virtual ~OnAir() = default;

  // Recognises the schedulers that an earlier run of the controller started
  // and that still run, and watches them again: they count as on air.
  // Once, at start-up, before auto-run.
  virtual void AdoptEarlier() = 0;

  // Starts the station's scheduler through the shell with exactly these
  // file, parameters, folder and show mode (what ProgramLauncher::Launch
  // would pass) and watches it. Never a second scheduler: a station on air
  // starts nothing. A station waiting for its restart is started at once.
  // Every outcome is logged; none is an error.
  virtual StartOutcome Start(const std::string& station, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int show_mode) = 0;

  virtual AirStatus Status(const std::string& station) const = 0;

  // Brings the top-level window of the station's scheduler to the front,
  // restoring it when it is minimised. False when the station is not on
  // air or its scheduler shows no window.
  virtual bool BringToFront(const std::string& station) = 0;

  // Told of every change of status, and once a second of each station that
  // waits for its restart (its countdown); null for none. Not owned. The
  // listener only redraws: it must not start stations.
  virtual void SetListener(OnAirListener* listener) = 0;
};
