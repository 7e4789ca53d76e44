#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/unique_handle_win.h"

// Learns of process exits without polling and without a thread of its own:
// each process gets one wait in the system's thread pool (which has no
// limit of 64 handles), whose callback only posts `message` to `window`
// with the watch's id. Everything else happens on the window's thread,
// when that message is handled and passed to Finish.
class ProcessWatcher {
 public:
  ProcessWatcher(HWND window, UINT message) : window_(window), message_(message) {}
  ProcessWatcher(const ProcessWatcher&) = delete;
  ProcessWatcher& operator=(const ProcessWatcher&) = delete;
  // Every wait is unregistered before its handle is closed; the processes
  // run on.
  ~ProcessWatcher();

  // Watches the process and owns its handle, which needs SYNCHRONIZE and
  // PROCESS_QUERY_LIMITED_INFORMATION. 0 when the system refuses the wait.
  [[nodiscard]] std::uint32_t Watch(ScopedHandle process);
  // For the posted message's WPARAM: the process's exit code, once its wait
  // is unregistered and its handle closed. Nothing for an id that is not
  // watched (any more).
  std::optional<DWORD> Finish(WPARAM id);

  std::size_t size() const { return watched_.size(); }

 private:
  struct Post {
    HWND window;
    UINT message;
    WPARAM id;
  };
  struct Watched {
    ScopedHandle process;
    HANDLE wait = nullptr;
    Post post;  // the callback's context: held by pointer, so it never moves
  };
  static void CALLBACK Exited(void* context, BOOLEAN timed_out);
  static void Unregister(Watched& watched);

  HWND window_;
  UINT message_;
  std::uint32_t next_id_ = 1;
  std::vector<std::unique_ptr<Watched>> watched_;
};

// Who a process is, beyond its id, which the system hands out again once
// it has ended: its creation time and the program it runs.
struct ProcessIdentity {
  unsigned long process_id = 0;
  std::uint64_t creation_time = 0;
  std::string image;
};

// Empty when the handle cannot be asked.
std::optional<ProcessIdentity> IdentityOf(HANDLE process);

// The running process with that id, if it is still the one described (the
// same creation time and program image); opened for a watch.
ScopedHandle OpenSameProcess(const ProcessIdentity& identity);

// The local time of day of a creation time.
SYSTEMTIME LocalTimeOf(std::uint64_t creation_time);

// Brings the process's first visible top-level window to the front,
// restoring it when minimised. False when it has none.
bool BringProcessWindowToFront(unsigned long process_id);

// For the program's entry, before it starts anything: the programs it
// starts inherit this error mode, so on Windows a crashed scheduler ends at
// once instead of waiting behind the system's crash dialog. (Wine neither
// passes the mode on nor looks at it before starting its debugger.)
void SetQuietCrashErrorMode();
