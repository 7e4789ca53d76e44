#include "storage/list_file.h"

#include <algorithm>
#include <cstring>

namespace {

// The next occurrence of `c` at or after `from`, or `end`. memchr keeps the
// scan at memory speed; each finder moves forward only, so the whole parse
// stays linear however the three bytes are spread.
class NextByte {
 public:
  NextByte(char c, const char* end) : c_(c), end_(end), at_(nullptr) {}
  const char* From(const char* from) {
    if (at_ == nullptr || at_ < from) {
      const void* hit = std::memchr(from, c_, static_cast<size_t>(end_ - from));
      at_ = hit ? static_cast<const char*>(hit) : end_;
    }
    return at_;
  }

 private:
  char c_;
  const char* end_;
  const char* at_;
};

}  // namespace

StationRows ParseStationRows(std::string_view bytes) {
  StationRows rows;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  NextByte cr('\r', end), lf('\n', end), nul('\0', end);
  while (p < end && *p != '\0') {
    const char* q = std::min({cr.From(p), lf.From(p), nul.From(p)});
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
