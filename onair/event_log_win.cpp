#include "onair/event_log_win.h"

#include <windows.h>

#include <cstdio>

namespace {

// A station name may be as long as a list row; the log keeps the start.
constexpr std::size_t kLongestStation = 200;

}  // namespace

std::string ExitCodeText(std::uint32_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code));
  return text;
}

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
    char time[32];
    std::snprintf(time, sizeof time, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    std::string line = time;
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
