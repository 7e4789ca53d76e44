// A command-line probe of the list file and settings store for the test
// script, which makes the conditions Wine cannot make from inside (a full
// disk, a file locked by the host). Prints "ok" or the error text.
//   storage_probe list PATH ROWS WIDTH   save ROWS names of WIDTH characters
//   storage_probe flag PATH 0|1          write the auto-run flag
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/user_error.h"
#include "storage/list_file_win.h"
#include "storage/settings_win.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string what = argv[1], path = argv[2];
  try {
    if (what == "list" && argc == 5) {
      StationRows rows(std::strtoul(argv[3], nullptr, 10),
                       std::string(std::strtoul(argv[4], nullptr, 10), 'n'));
      WinStationListFile().Save(path, rows);
    } else if (what == "flag") {
      WinSettingsOpener().Open(path)->WriteBool("MAC", "auto run", std::string(argv[3]) == "1");
    } else {
      return 2;
    }
  } catch (const UserError& e) {
    std::printf("%s\n", e.what());
    return 1;
  }
  std::printf("ok\n");
  return 0;
}
