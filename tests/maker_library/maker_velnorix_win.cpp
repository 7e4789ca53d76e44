// A message-text library shaped like an installation's own velnorix.dll:
// its own wording for 103 to 105, texts of its own under many other numbers
// (106 among them) and NULL for numbers it does not know. The acceptance
// suite installs the controller beside it to see that the controller asks
// it for 103 to 105 only.

#include <windows.h>

#include <cstdio>

namespace {

constexpr int kFirst = 1;
constexpr int kLast = 299;
char g_texts[kLast + 1][48];

void Fill() {
  for (int n = kFirst; n <= kLast; ++n) {
    std::snprintf(g_texts[n], sizeof g_texts[n], "Maker's message %d, about something else", n);
  }
  std::snprintf(g_texts[103], sizeof g_texts[103], "Maker: remove the station for good?");
  std::snprintf(g_texts[104], sizeof g_texts[104], "Maker: a station needs a name.");
  std::snprintf(g_texts[105], sizeof g_texts[105], "Maker: pick a station first.");
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Fill();
  return TRUE;
}

extern "C" __declspec(dllexport) const char* __stdcall helpTXT(int number) {
  if (number < kFirst || number > kLast) return nullptr;
  return g_texts[number];
}
