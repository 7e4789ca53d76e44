#include "storage/list_file.h"

#include <cstring>

StationRows ParseStationRows(std::string_view bytes) {
  StationRows rows;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end && *p != '\0') {
    const char* q = p;
    while (q < end && *q != '\r' && *q != '\n' && *q != '\0') ++q;
    rows.emplace_back(p, q);
    if (q < end && *q == '\r') ++q;
    if (q < end && *q == '\n') ++q;
    p = q;
  }
  return rows;
}

std::string SerializeStationRows(const StationRows& rows) {
  size_t total = 0;
  for (const auto& row : rows) total += row.size() + 2;
  std::string out;
  out.resize(total);
  char* w = out.data();
  for (const auto& row : rows) {
    std::memcpy(w, row.data(), row.size());
    w += row.size();
    *w++ = '\r';
    *w++ = '\n';
  }
  return out;
}
