#pragma once

// The schedulers this controller started and that were running when it last
// looked, as lines of "morvelle.onair" beside the program: what a controller
// started again needs to recognise them (process id, creation time and
// program image, against a reused process id) and to start them again as
// before. Written whole with the station list's durable replace.

#include <cstdint>
#include <string>
#include <vector>

#include "core/station_rows.h"

struct OnAirEntry {
  unsigned long process_id = 0;
  std::uint64_t creation_time = 0;  // the process's FILETIME as one number
  std::string image;                // full path of the program the process runs
  std::string station;
  std::string file;  // how it was started: the shell's file, parameters, folder, show mode
  std::string parameters;
  std::string folder;
  int show_mode = 0;

  bool operator==(const OnAirEntry&) const = default;
};

// One line; any byte of a text survives the round trip.
std::string EncodeOnAirEntry(const OnAirEntry& entry);
// Lines that are not an entry (a damaged or foreign file) are skipped.
std::vector<OnAirEntry> ParseOnAirEntries(const StationRows& lines);
