// A sibling program for the acceptance suite that records when it was
// created, so that the order in which the controller started several copies
// can be read back even though they run concurrently. Each start appends
//   <file name>|<creation time, 100 ns units>|<parameters, escaped as the
//   stand-ins escape them>
// to "order.log" in its own folder, under an exclusive lock, and exits.

#include <windows.h>

#include <string>

#include "tests/standins/standin_log.h"
#include "tests/standins/standin_start_win.h"

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
  const std::string line = name + "|" + std::to_string(stamp) + "|" +
                           EncodeStandinField(ParametersOf(GetCommandLineA())) + "\r\n";
  AppendLine(folder + "order.log", line);
  return 0;
}
