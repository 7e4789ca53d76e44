#pragma once

#include <string>

#include "core/ports.h"

class WinFileProbe final : public FileProbe {
 public:
  // True only for a file: a folder of that name does not count.
  bool FileExists(const std::string& path) const override;
  // Empty when the system gives no name.
  std::string ModuleFileName() const override;
};
