#pragma once

#include <cstdint>
#include <string>

#include "base/texts.h"
#include "base/unique_handle_win.h"

// The log an engineer reads to learn what happened to the schedulers
// ("morvelle.log" beside the program), one line per event:
//   2026-12-11 14:02:03<TAB>Rock<TAB>crashed 0xC0000005<TAB>pid 4242
// Kept below the size limit by moving the full file to "<name>.1" (one
// older file only). The file stays open, shared for reading and writing,
// so an engineer can read it while the controller runs.
class EventLog {
 public:
  static constexpr std::uint64_t kLimit = 1u << 20;

  explicit EventLog(std::string path, std::uint64_t limit = kLimit)
      : path_(std::move(path)), limit_(limit) {}

  // Never throws and never asks anything: a line that cannot be written is
  // lost, and the next one tries again. A process id of 0 is left out.
  void Write(const std::string& station, const std::string& event,
             unsigned long process_id) noexcept;

  const std::string& path() const { return path_; }

 private:
  bool Open();
  void MakeRoom(std::uint64_t line_size);

  std::string path_;
  std::uint64_t limit_;
  ScopedHandle file_;
  std::uint64_t size_ = 0;
};
