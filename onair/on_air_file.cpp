#include "onair/on_air_file.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// '%', '|' and the bytes that end a line become %XX.
void AppendField(std::string& line, const std::string& text) {
  if (!line.empty()) line += '|';
  for (const char c : text) {
    if (c == '%' || c == '|' || c == '\r' || c == '\n' || c == '\0') {
      const auto byte = static_cast<unsigned char>(c);
      line += '%';
      line += kHex[byte >> 4];
      line += kHex[byte & 15];
    } else {
      line += c;
    }
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeField(std::string_view field, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return false;
    const int high = HexDigit(field[i + 1]);
    const int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

// Decimal digits only, and no more than `Number` holds.
template <typename Number>
bool ParseNumber(std::string_view field, Number& out) {
  std::uint64_t value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return false;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (~std::uint64_t{0} - digit) / 10) return false;
    value = value * 10 + digit;
  }
  out = static_cast<Number>(value);
  return !field.empty() && static_cast<std::uint64_t>(out) == value;
}

}  // namespace

std::string EncodeOnAirEntry(const OnAirEntry& e) {
  std::string line = std::to_string(e.process_id) + '|' + std::to_string(e.creation_time) + '|' +
                     std::to_string(e.show_mode);
  for (const std::string* text : {&e.image, &e.station, &e.file, &e.parameters, &e.folder}) {
    AppendField(line, *text);
  }
  return line;
}

std::vector<OnAirEntry> ParseOnAirEntries(const StationRows& lines) {
  constexpr std::size_t kFields = 8;
  std::vector<OnAirEntry> entries;
  for (const std::string& line : lines) {
    std::string_view fields[kFields];
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
      const std::size_t bar = line.find('|', start);
      if (count < kFields) {
        fields[count] = std::string_view(line).substr(start, bar - start);
      }
      ++count;
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    OnAirEntry e;
    if (count != kFields || !ParseNumber(fields[0], e.process_id) ||
        !ParseNumber(fields[1], e.creation_time) || !ParseNumber(fields[2], e.show_mode) ||
        !DecodeField(fields[3], e.image) || !DecodeField(fields[4], e.station) ||
        !DecodeField(fields[5], e.file) || !DecodeField(fields[6], e.parameters) ||
        !DecodeField(fields[7], e.folder)) {
      continue;
    }
    entries.push_back(std::move(e));
  }
  return entries;
}
