// A name the removal rule accepts must, put after AppDir, name a folder
// directly inside AppDir and exactly that one: a simple path normalisation
// (both separators, "." and "..", trailing dots and spaces dropped, drives
// and streams after ":") leaves AppDir + name as it was.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "storage/station_names.h"

namespace {

constexpr std::string_view kAppDir = "C:\\App\\";

// The components of a Windows path after the usual clean-up, or nothing
// when the text switches drive or names a stream (anything with ':' after
// the drive), which counts as escaping.
bool Normalise(std::string_view path, std::vector<std::string>& parts) {
  parts.clear();
  std::string current;
  auto flush = [&] {
    while (!current.empty() && (current.back() == '.' || current.back() == ' ')) {
      if (current == "." || current == "..") break;
      current.pop_back();
    }
    if (current.empty() || current == ".") {
    } else if (current == "..") {
      if (parts.size() > 1) parts.pop_back();  // never above the drive
    } else {
      parts.push_back(current);
    }
    current.clear();
  };
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '\\' || c == '/') {
      flush();
    } else if (c == ':' && i != 1) {
      return false;
    } else {
      current.push_back(c);
    }
  }
  flush();
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const std::string name(reinterpret_cast<const char*>(data), size);
  if (!IsOwnFolderName(name)) return 0;
  if (IsBlank(name)) std::abort();  // blank names are never a folder of their own

  std::vector<std::string> parts;
  if (!Normalise(std::string(kAppDir) + name, parts)) std::abort();
  // Exactly C:, App and the station's own folder, named as typed.
  if (parts.size() != 3 || parts[0] != "C:" || parts[1] != "App" || parts[2] != name) {
    std::abort();
  }
  return 0;
}
