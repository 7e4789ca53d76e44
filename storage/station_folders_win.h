#pragma once

#include <string>

#include "core/ports.h"

// AppDir + name, then + "\history" and + "\data", each one level deep and
// each failure ignored. Nothing is created when AppDir + name resolves to a
// place that is not strictly below AppDir (".", "..", "a\..\.."): a name may
// reach into a station folder that already exists ("a\b"), never out.
void CreateStationFolders(const std::string& app_dir, const std::string& name);

// Deletes the folder `path` with everything in it for good (no recycle
// bin, no question), through the shell. True when the shell reports
// success. Paths of any length are passed on whole; the shell refuses those
// it cannot handle.
[[nodiscard]] bool DeleteFolderTree(const std::string& path);

// The station folders on disk. Remove deletes only a plain folder directly
// inside AppDir that belongs to the named station alone, and removes the
// links inside it as links before the tree goes. It keeps the folder when
// the name is not a folder name of its own, does not resolve to exactly
// AppDir + name, names a link or a file, another remaining row names the
// same folder (or one inside it), or a link inside cannot be removed as a
// link.
class WinStationFolders final : public StationFolders {
 public:
  void Create(const std::string& app_dir, const std::string& name) override;
  FolderRemoval Remove(const std::string& app_dir, const std::string& name,
                       const StationRows& remaining) override;
};
