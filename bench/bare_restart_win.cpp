// The floor of crash to restart: the least a program does to bring back a
// program that crashed. It starts the program with ShellExecuteExA, waits
// on its process handle and, when the exit code says it crashed, starts it
// again at once; any other exit ends it.
//
// bare_restart_win PROGRAM PARAMETERS

#include <windows.h>

#include <shellapi.h>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  for (;;) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = argv[1];
    info.lpParameters = argv[2];
    info.nShow = SW_SHOW;
    if (!ShellExecuteExA(&info) || info.hProcess == nullptr) return 1;
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    if (!known || code < 0x80000000u) return 0;
  }
}
