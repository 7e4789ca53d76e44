#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"

// Starts file through the shell's default action and returns at once,
// without looking at the result. Texts of any length are passed whole; an
// empty folder means none (the started program inherits ours).
void LaunchProgram(HWND owner, const std::string& file, const std::string& parameters,
                   const std::string& folder, int show_mode);

// The controller's launcher. Reads the owner window through the reference at
// each call, so it can be made before the window exists.
class ShellLauncher final : public ProgramLauncher {
 public:
  explicit ShellLauncher(HWND& owner) : owner_(owner) {}
  void Launch(const std::string& file, const std::string& parameters, const std::string& folder,
              int show_mode) override;

 private:
  HWND& owner_;
};
