// Load, save, load again: the rows survive, and the saved text is exactly
// every row followed by CR LF with no break inside a row.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "storage/list_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const StationRows rows = ParseStationRows(bytes);
  for (const auto& row : rows) {
    if (row.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
  }

  const std::string saved = SerializeStationRows(rows);
  size_t at = 0;
  for (const auto& row : rows) {
    if (saved.compare(at, row.size(), row) != 0) std::abort();
    at += row.size();
    if (saved.compare(at, 2, "\r\n") != 0) std::abort();
    at += 2;
  }
  if (at != saved.size()) std::abort();
  if (ParseStationRows(saved) != rows) std::abort();

  // Every byte before the first NUL is accounted for: rows and breaks only.
  const size_t end = bytes.find('\0');
  const std::string_view data_part = bytes.substr(0, end);
  size_t row_bytes = 0;
  for (const auto& row : rows) row_bytes += row.size();
  size_t breaks = 0;
  for (char c : data_part) breaks += (c == '\r' || c == '\n');
  if (row_bytes + breaks != data_part.size()) std::abort();
  return 0;
}
