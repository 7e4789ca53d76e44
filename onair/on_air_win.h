#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/on_air.h"
#include "onair/event_log_win.h"
#include "onair/on_air_file.h"
#include "onair/process_watcher_win.h"
#include "onair/restart_policy.h"

inline constexpr char kOnAirFileName[] = "morvelle.onair";
inline constexpr char kEventLogFileName[] = "morvelle.log";

// The schedulers this controller started: started through the shell,
// watched, started again after a crash as the restart policy says, logged
// in AppDir + "morvelle.log" and remembered in AppDir + "morvelle.onair"
// for the next run. It keeps a message-only window of its own for the
// watcher's messages and the restart timers, so the main window has
// nothing to route. Make it, and use it, on the window's thread. Destroying
// it leaves every scheduler running.
class WinOnAir final : public OnAir {
 public:
  // `owner` is read at each start, as ShellLauncher's is.
  WinOnAir(std::string app_dir, HWND& owner, const RestartSettings& settings = {});
  WinOnAir(const WinOnAir&) = delete;
  WinOnAir& operator=(const WinOnAir&) = delete;
  ~WinOnAir() override;

  void AdoptEarlier() override;
  StartOutcome Start(const std::string& station, const std::string& file,
                     const std::string& parameters, const std::string& folder,
                     int show_mode) override;
  AirStatus Status(const std::string& station) const override;
  bool BringToFront(const std::string& station) override;
  void SetListener(OnAirListener* listener) override { listener_ = listener; }

  EventLog& Log() { return log_; }

 private:
  struct Station {
    Station(const std::string& name, const RestartSettings& settings) : policy(settings) {
      entry.station = name;
    }
    OnAirEntry entry;  // its name, how it is started, and who runs it while on air
    RestartPolicy policy;
    AirState state = AirState::kOff;
    std::uint32_t watch = 0;
    SYSTEMTIME since{};
    UINT_PTR timer = 0;
    std::int64_t restart_at_ms = 0;
  };
  // Only the stations known to be on air or restarting; the others are off.
  using Stations = std::vector<Station>;

  Stations::iterator Find(const std::string& name);
  Stations::const_iterator Find(const std::string& name) const;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;
  void OnExit(WPARAM watch);
  void OnTimer(UINT_PTR timer);
  bool Launch(Station& station);
  void Watch(Station& station, ScopedHandle process, const ProcessIdentity& identity,
             const char* event);
  void RestartLater(Station& station, std::int64_t delay_ms);
  void Changed(const std::string& name);
  void SaveSoon();
  void Save();

  std::string app_dir_;
  HWND& owner_;
  RestartSettings settings_;
  EventLog log_;
  HWND window_ = nullptr;
  ProcessWatcher watcher_;
  Stations stations_;
  UINT_PTR next_timer_ = 2;  // 1 is the countdown's tick
  bool save_pending_ = false;
  OnAirListener* listener_ = nullptr;
};
