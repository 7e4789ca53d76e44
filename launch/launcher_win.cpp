#include "launch/launcher_win.h"

#include <shellapi.h>

#include "base/shell_win.h"

void LaunchProgram(HWND owner, const std::string& file, const std::string& parameters,
                   const std::string& folder, int show_mode) {
  // A null folder is the documented "no working folder"; an empty text is
  // not promised to mean the same.
  const char* directory = folder.empty() ? nullptr : folder.c_str();
  // The result is deliberately not looked at: a missing sibling program is
  // not the controller's to report.
  static const auto shell_execute = ShellEntry<decltype(&ShellExecuteA)>("ShellExecuteA");
  if (shell_execute == nullptr) return;
  (void)shell_execute(owner, nullptr, file.c_str(), parameters.c_str(), directory, show_mode);
}

void ShellLauncher::Launch(const std::string& file, const std::string& parameters,
                           const std::string& folder, int show_mode) {
  LaunchProgram(owner_, file, parameters, folder, show_mode);
}
