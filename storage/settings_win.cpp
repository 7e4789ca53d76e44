#include "storage/settings_win.h"

#include <windows.h>

#include "base/system_text_win.h"
#include "base/texts.h"
#include "base/user_error.h"
#include "storage/settings.h"

bool WinSettingsStore::ReadBool(const std::string& section, const std::string& key, bool fallback) {
  constexpr DWORD kBufferSize = 2048;  // values longer than 2047 characters come back cut
  std::string text(kBufferSize, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", text.data(),
                                                kBufferSize, path_.c_str());
  text.resize(length < kBufferSize ? length : kBufferSize - 1);
  return ProfileBool(text, fallback);
}

void WinSettingsStore::WriteBool(const std::string& section, const std::string& key, bool value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value ? "1" : "0", path_.c_str())) {
    throw UserError(FillText("Unable to write to %s", {path_}));
  }
}

std::unique_ptr<SettingsStore> WinSettingsOpener::Open(const std::string& path) {
  return std::make_unique<WinSettingsStore>(FullPathName(path));
}
