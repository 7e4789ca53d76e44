#include "onair/process_watcher_win.h"

// Runs on a thread of the pool: nothing here may touch the watcher.
void CALLBACK ProcessWatcher::Exited(void* context, BOOLEAN /*timed_out*/) {
  const Post& post = *static_cast<const Post*>(context);
  PostMessageA(post.window, post.message, post.id, 0);
}

void ProcessWatcher::Unregister(Watched& watched) {
  // INVALID_HANDLE_VALUE: returns only once a callback that already runs
  // has finished, so the context stays valid for it. The callback only
  // posts, so waiting for it cannot deadlock this thread.
  if (watched.wait != nullptr) UnregisterWaitEx(watched.wait, INVALID_HANDLE_VALUE);
  watched.wait = nullptr;
}

ProcessWatcher::~ProcessWatcher() {
  for (const auto& watched : watched_) Unregister(*watched);
}

std::uint32_t ProcessWatcher::Watch(ScopedHandle process) {
  const std::uint32_t id = next_id_++;
  if (next_id_ == 0) next_id_ = 1;
  auto watched = std::make_unique<Watched>();
  watched->process = std::move(process);
  watched->post = {window_, message_, id};
  if (!RegisterWaitForSingleObject(&watched->wait, watched->process.get(), Exited, &watched->post,
                                   INFINITE, WT_EXECUTEONLYONCE)) {
    return 0;
  }
  watched_.push_back(std::move(watched));
  return id;
}

std::optional<DWORD> ProcessWatcher::Finish(WPARAM id) {
  auto it = watched_.begin();
  while (it != watched_.end() && (*it)->post.id != id) ++it;
  if (it == watched_.end()) return std::nullopt;
  Unregister(**it);
  DWORD code = 0;
  const bool known = GetExitCodeProcess((*it)->process.get(), &code);
  watched_.erase(it);  // closes the handle, after its wait is gone
  if (!known) return std::nullopt;
  return code;
}

std::optional<ProcessIdentity> IdentityOf(HANDLE process) {
  ProcessIdentity identity;
  identity.process_id = GetProcessId(process);
  FILETIME created, exited, kernel, user;
  if (identity.process_id == 0 || !GetProcessTimes(process, &created, &exited, &kernel, &user)) {
    return std::nullopt;
  }
  identity.creation_time =
      (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
  std::string image(MAX_PATH, '\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(image.size());
    if (QueryFullProcessImageNameA(process, 0, image.data(), &size)) {
      image.resize(size);
      break;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || image.size() > 32768) return std::nullopt;
    image.resize(image.size() * 2);
  }
  identity.image = std::move(image);
  return identity;
}

ScopedHandle OpenSameProcess(const ProcessIdentity& wanted) {
  ScopedHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                   static_cast<DWORD>(wanted.process_id)));
  if (!process || WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return {};
  const std::optional<ProcessIdentity> found = IdentityOf(process.get());
  if (!found || found->creation_time != wanted.creation_time ||
      lstrcmpiA(found->image.c_str(), wanted.image.c_str()) != 0) {
    return {};
  }
  return process;
}

SYSTEMTIME LocalTimeOf(std::uint64_t creation_time) {
  FILETIME utc{static_cast<DWORD>(creation_time), static_cast<DWORD>(creation_time >> 32)};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) {
    GetLocalTime(&time);
  }
  return time;
}

namespace {

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lparam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lparam);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process != search.process_id || !IsWindowVisible(window) ||
      GetWindow(window, GW_OWNER) != nullptr) {
    return TRUE;
  }
  search.found = window;
  return FALSE;
}

}  // namespace

bool BringProcessWindowToFront(unsigned long process_id) {
  WindowSearch search{static_cast<DWORD>(process_id), nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return false;
  if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
  SetForegroundWindow(search.found);
  return true;
}

void SetQuietCrashErrorMode() {
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
}
