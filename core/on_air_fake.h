#pragma once

// A recording OnAir for the controller's tests: it starts nothing, and a
// test sets which stations are on air.

#include <map>
#include <string>
#include <vector>

#include "core/on_air.h"

struct FakeOnAir : OnAir {
  std::map<std::string, AirStatus> statuses;  // stations not listed are off air
  bool start_fails = false;                   // Start gives kNotStarted
  std::vector<std::string> calls;  // "adopt", "start: file|params|folder|show", "front: station"
  OnAirListener* listener = nullptr;

  void SetOnAir(const std::string& station) {
    AirStatus status;
    status.state = AirState::kOnAir;
    statuses[station] = status;
  }
  bool Known(const std::string& station) const {
    const auto it = statuses.find(station);
    return it != statuses.end() && it->second.state != AirState::kOff;
  }

  void AdoptEarlier() override { calls.push_back("adopt"); }
  StartOutcome Start(const std::string& station, const std::string& file,
                     const std::string& parameters, const std::string& folder,
                     int show_mode) override {
    calls.push_back("start: " + file + "|" + parameters + "|" + folder + "|" +
                    std::to_string(show_mode));
    const auto it = statuses.find(station);
    if (it != statuses.end() && it->second.state == AirState::kOnAir) {
      return StartOutcome::kAlreadyOnAir;
    }
    if (start_fails) return StartOutcome::kNotStarted;
    SetOnAir(station);
    return StartOutcome::kStarted;
  }
  AirStatus Status(const std::string& station) const override {
    const auto it = statuses.find(station);
    return it == statuses.end() ? AirStatus{} : it->second;
  }
  bool BringToFront(const std::string& station) override {
    calls.push_back("front: " + station);
    return Known(station);
  }
  void SetListener(OnAirListener* l) override { listener = l; }
};
