#pragma once

#include <string>
#include <vector>

#include "core/ports.h"

// The station list file on disk. Load reads the whole file while refusing
// writers. Save never truncates the list in place: it writes a temporary
// file beside it (the list's name + ".tmp"), flushes it and puts it over the
// list in one rename, so a full disk or a crash leaves the old list whole.
// A temporary left over from an interrupted save is never read; the next
// save overwrites it.
class WinStationListFile final : public StationListFile {
 public:
  StationRows Load(const std::string& path) override;
  void Save(const std::string& path, const StationRows& rows) override;

  // The name of the temporary that Save writes for `path`.
  static std::string TemporaryFor(const std::string& path) { return path + ".tmp"; }

 private:
  std::vector<char> buffer_;  // kept from save to save
};
