#pragma once

#include <memory>
#include <string>
#include <utility>

#include "core/ports.h"

// The settings file through the system's profile-string service, which
// reads and writes one value per call and leaves every other line alone.
class WinSettingsStore final : public SettingsStore {
 public:
  explicit WinSettingsStore(std::string full_path) : path_(std::move(full_path)) {}

  bool ReadBool(const std::string& section, const std::string& key, bool fallback) override;
  void WriteBool(const std::string& section, const std::string& key, bool value) override;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class WinSettingsOpener final : public SettingsOpener {
 public:
  // The store keeps the full path: the profile service looks for a name
  // without a folder in the system folder, not the current one.
  std::unique_ptr<SettingsStore> Open(const std::string& path) override;
};
