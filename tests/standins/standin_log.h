#pragma once

// The log the stand-in sibling programs append to, "standins.log" in their
// own folder: one line per start,
//   program|parameters|working folder|whole command line
// where program is the file name the stand-in plays ("talvex.exe", ...) and
// parameters is the command line after the program path and the blanks that
// follow it (what WinMain is given). In every field '%', '|', CR and LF are
// written as %25, %7C, %0D and %0A, so any text reads back exactly.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

struct StandinRecord {
  std::string program;
  std::string parameters;
  std::string folder;
  std::string command_line;
};

inline std::string EncodeStandinField(const std::string& text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '%':
        out += "%25";
        break;
      case '|':
        out += "%7C";
        break;
      case '\r':
        out += "%0D";
        break;
      case '\n':
        out += "%0A";
        break;
      default:
        out += c;
    }
  }
  return out;
}

inline std::string DecodeStandinField(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const std::string code = text.substr(i + 1, 2);
      const char decoded = code == "25"   ? '%'
                           : code == "7C" ? '|'
                           : code == "0D" ? '\r'
                           : code == "0A" ? '\n'
                                          : '\0';
      if (decoded != '\0') {
        out += decoded;
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

inline std::string EncodeStandinRecord(const StandinRecord& r) {
  return EncodeStandinField(r.program) + '|' + EncodeStandinField(r.parameters) + '|' +
         EncodeStandinField(r.folder) + '|' + EncodeStandinField(r.command_line) + "\r\n";
}

// Every complete record of the log at path, in the order written; an absent
// file has none. A line without its four fields is skipped.
inline std::vector<StandinRecord> ReadStandinLog(const std::string& path) {
  std::vector<StandinRecord> records;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (in.eof()) break;  // no line end yet: still being written
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
      const std::size_t bar = line.find('|', start);
      fields.push_back(line.substr(start, bar == std::string::npos ? bar : bar - start));
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    if (fields.size() != 4) continue;
    records.push_back({DecodeStandinField(fields[0]), DecodeStandinField(fields[1]),
                       DecodeStandinField(fields[2]), DecodeStandinField(fields[3])});
  }
  return records;
}
