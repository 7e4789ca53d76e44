// The state file's lines: whatever a damaged file holds, every entry read
// from it is written back to a line that reads as the same entry, and a
// line that is read back whole is the line that was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "onair/on_air_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1 << 16) return 0;
  StationRows lines;
  std::string line;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(data[i]);
    }
  }
  lines.push_back(line);
  for (const OnAirEntry& entry : ParseOnAirEntries(lines)) {
    const std::string written = EncodeOnAirEntry(entry);
    const std::vector<OnAirEntry> again = ParseOnAirEntries({written});
    if (again.size() != 1 || !(again[0] == entry)) std::abort();
    if (EncodeOnAirEntry(again[0]) != written) std::abort();
  }
  return 0;
}
