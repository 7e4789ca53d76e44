#include <windows.h>

#include <string>

// Leaves "planted-library-loaded" in its own folder, whatever name it was
// copied under.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::string path(MAX_PATH, '\0');
  const DWORD length = GetModuleFileNameA(instance, path.data(), MAX_PATH);
  path.resize(length);
  const auto slash = path.find_last_of('\\');
  if (length == 0 || slash == std::string::npos) return TRUE;
  path.resize(slash + 1);
  path += "planted-library-loaded";
  const HANDLE marker =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return TRUE;
}
