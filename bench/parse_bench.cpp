// List file parsing: ParseStationRows over a list of 100,000 stations, in
// bytes per second, against a memchr scan for the line ends of the same
// bytes (the least any parser has to do).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_table.h"
#include "storage/list_file.h"

namespace {

volatile size_t g_sink;  // keeps the work from being optimised away

size_t CountLineEnds(const std::string& bytes) {
  size_t count = 0;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
    ++count;
    p = static_cast<const char*>(hit) + 1;
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 31;
  const std::string bytes = SerializeStationRows(bench::StationNames(rows));
  const double megabytes = static_cast<double>(bytes.size()) / 1e6;

  if (ParseStationRows(bytes).size() != static_cast<size_t>(rows) ||
      CountLineEnds(bytes) != static_cast<size_t>(rows)) {
    bench::PrintFailure("list file parsing", "wrong row count");
    return 1;
  }

  // Alternating, so that both see the same state of the machine.
  std::vector<double> parse_ms, scan_ms;
  for (int r = 0; r < rounds; ++r) {
    auto start = bench::Clock::now();
    g_sink = g_sink + ParseStationRows(bytes).size();
    parse_ms.push_back(bench::MillisecondsSince(start));
    start = bench::Clock::now();
    g_sink = g_sink + CountLineEnds(bytes);
    scan_ms.push_back(bench::MillisecondsSince(start));
  }
  const double parse_rate = megabytes / (bench::Median(parse_ms) / 1000.0);
  const double scan_rate = megabytes / (bench::Median(scan_ms) / 1000.0);
  char size[32];
  std::snprintf(size, sizeof size, "%.1f MB", megabytes);
  const std::string figure =
      "list file parsing, " + bench::WithThousands(rows) + " rows (" + size + "), native";
  bench::PrintRow(figure, parse_rate, scan_rate, "MB/s", bench::Goal::kAtLeast, 0.5);
  return 0;
}
