#include "onair/event_log_win.h"

#include <windows.h>

namespace {

// A station name may be as long as a list row; the log keeps the start.
constexpr std::size_t kLongestStation = 200;

// Digits by hand: the C library's formatting brings its floating-point
// code into the program, some 20 KB.
void AppendDecimal(std::string& text, unsigned value, int width) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 && n < 10);
  for (int i = n; i < width; ++i) text += '0';
  while (n > 0) text += digits[--n];
}

}  // namespace

bool EventLog::Open() {
  if (file_) return true;
  // Readers usually share writing (they open a file another program
  // writes); sharing deletion as well lets the full file be moved away
  // while one of them still reads it.
  file_.reset(CreateFileA(path_.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  const LARGE_INTEGER none{};
  // The controller is the only writer: the end it finds stays the end.
  if (!file_ || !GetFileSizeEx(file_.get(), &size) ||
      !SetFilePointerEx(file_.get(), none, nullptr, FILE_END)) {
    file_.reset();
    return false;
  }
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return true;
}

void EventLog::MakeRoom(std::uint64_t line_size) {
  if (size_ + line_size < limit_) return;
  file_.reset();
  const std::string older = path_ + ".1";
  if (MoveFileExA(path_.c_str(), older.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    Open();
    return;
  }
  // A reader that does not share deletion keeps the file where it is: it
  // starts over in place rather than grow past its limit.
  if (!Open()) return;
  LARGE_INTEGER start{};
  if (SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN) && SetEndOfFile(file_.get())) {
    size_ = 0;
  } else {
    file_.reset();
  }
}

void EventLog::Write(const std::string& station, const std::string& event,
                     unsigned long process_id) noexcept {
  try {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string line;
    const WORD parts[] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    for (int i = 0; i < 6; ++i) {
      if (i > 0) line += "--- ::"[i];
      AppendDecimal(line, parts[i], i == 0 ? 4 : 2);
    }
    line += '\t';
    line.append(station, 0, kLongestStation);
    if (station.size() > kLongestStation) line += "...";
    line += '\t';
    line += event;
    if (process_id != 0) line += "\tpid " + std::to_string(process_id);
    line += "\r\n";

    if (!Open()) return;
    MakeRoom(line.size());
    if (!file_) return;
    DWORD written = 0;
    if (!WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr)) {
      file_.reset();  // reopened, and its size asked again, at the next line
      return;
    }
    size_ += written;
  } catch (...) {
    // Out of memory for one line: the line is lost, nothing more.
  }
}
