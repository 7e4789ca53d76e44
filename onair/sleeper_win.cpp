// A process that only waits to be ended, for the watcher's tests.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(INFINITE);
  return 0;
}
