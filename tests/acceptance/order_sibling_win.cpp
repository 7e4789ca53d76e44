// A sibling program for the acceptance suite that records when it was
// created, so that the order in which the controller started several copies
// can be read back even though they run concurrently. Each start appends
//   <file name>|<creation time, 100 ns units>|<parameters, %XX-escaped>
// to "order.log" in its own folder, under an exclusive lock, and exits.

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// What follows the program path on the command line, the blanks after it
// skipped, as WinMain is given it.
std::string ParametersOf(const std::string& line) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && (line[i] == ' ' || line[i] == '\t')) {
      break;
    }
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return line.substr(i);
}

std::string Escape(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b > 0x7E || b == '%' || b == '|') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", b);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const unsigned long long stamp =
      (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;

  const std::string module = ModulePath();
  const std::size_t slash = module.find_last_of("\\/");
  const std::string folder =
      slash == std::string::npos ? std::string() : module.substr(0, slash + 1);
  const std::string name = module.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string line =
      name + "|" + std::to_string(stamp) + "|" + Escape(ParametersOf(GetCommandLineA())) + "\r\n";

  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 400 && file == INVALID_HANDLE_VALUE; ++attempt) {
    file = CreateFileA((folder + "order.log").c_str(), FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) Sleep(10);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  OVERLAPPED whole{};
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (locked) {
    OVERLAPPED again{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &again);
  }
  CloseHandle(file);
  return 0;
}
