#include "storage/list_file.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace {

// The first CR or LF at or after `p`, or `end`. Eight bytes at a time: for
// each word, a byte equal to CR or LF becomes a zero byte of one of two
// words, and the lowest zero byte of a word is found exactly by the usual
// borrow trick (its false hits only ever lie above a true one). Rows are
// short, so this beats a library search that is called once per row.
const char* NextBreak(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kHighs = 0x8080808080808080u;
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const std::uint64_t cr = word ^ (kOnes * '\r');
      const std::uint64_t lf = word ^ (kOnes * '\n');
      const std::uint64_t hits = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
      if (hits != 0) return p + (std::countr_zero(hits) / 8);
      p += 8;
    }
  }
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

// The line feeds in [p, end). A plain loop that the compiler turns into
// vector code, which it does for a 32-bit count but not for a size_t one:
// hence the pieces of at most 2^30 bytes.
size_t CountLineFeeds(const char* p, const char* end) {
  size_t total = 0;
  while (p < end) {
    const char* const piece_end = p + std::min<size_t>(static_cast<size_t>(end - p), 1u << 30);
    std::uint32_t n = 0;
    for (; p < piece_end; ++p) n += *p == '\n' ? 1u : 0u;
    total += n;
  }
  return total;
}

}  // namespace

StationRows ParseStationRows(std::string_view bytes) {
  const char* p = bytes.data();
  // Nothing after the first NUL counts.
  const void* nul = std::memchr(p, '\0', bytes.size());
  const char* const end = nul ? static_cast<const char*>(nul) : p + bytes.size();
  // Room for every row of a CR LF or LF file at once: growing the vector
  // row by row would cost more than finding the rows.
  StationRows rows;
  rows.reserve(CountLineFeeds(p, end) + 1);
  while (p < end) {
    const char* q = NextBreak(p, end);
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

bool WriteStationRows(const StationRows& rows, std::span<char> buffer,
                      const std::function<bool(std::string_view)>& write) {
  if (buffer.empty()) return false;
  size_t used = 0;
  auto put = [&](std::string_view bytes) {
    while (!bytes.empty()) {
      if (used == buffer.size()) {
        if (!write(std::string_view(buffer.data(), used))) return false;
        used = 0;
      }
      const size_t n = std::min(bytes.size(), buffer.size() - used);
      std::memcpy(buffer.data() + used, bytes.data(), n);
      used += n;
      bytes.remove_prefix(n);
    }
    return true;
  };
  for (const auto& row : rows) {
    if (row.size() + 2 <= buffer.size() - used) {  // the usual case: the row fits whole
      char* w = buffer.data() + used;
      std::memcpy(w, row.data(), row.size());
      w[row.size()] = '\r';
      w[row.size() + 1] = '\n';
      used += row.size() + 2;
    } else if (!put(row) || !put("\r\n")) {
      return false;
    }
  }
  return used == 0 || write(std::string_view(buffer.data(), used));
}
