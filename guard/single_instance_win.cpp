#include "guard/single_instance_win.h"

#include <utility>

void TXJustOne::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Check();
}

std::string TXJustOne::LockName() const {
  std::string name = ApplicationTitle;
  if (name.empty() || name.front() == ' ') name = host_.Title();
  if (name.size() > kMaxGuardNameLength) name.resize(kMaxGuardNameLength);
  return name;
}

void TXJustOne::Check() {
  if (!enabled_) return;

  const std::string name = LockName();
  guard_held_ = false;
  HANDLE handle = CreateMutexA(nullptr, FALSE, name.c_str());
  const DWORD error = GetLastError();
  mutex_.reset(handle);
  // Marked before the notification, which may destroy this object: its
  // destructor must then still close the handle.
  guard_held_ = true;
  if (error != ERROR_ALREADY_EXISTS && handle != nullptr) return;

  // Everything the steps below need, taken before the notification.
  const bool switch_to_previous = SwitchToPrevious;
  ApplicationHost& host = host_;
  if (AlreadyExist) {
    // A copy: the notification may reset or destroy the member itself.
    std::function<void(TXJustOne&)> notify = AlreadyExist;
    notify(*this);
  }
  if (switch_to_previous) {
    // Our own application window carries the same title; blank it so the
    // search finds the running copy, not us.
    SetWindowTextA(host.Handle(), "");
    HWND previous = FindWindowA(nullptr, name.c_str());
    if (previous != nullptr) {
      if (IsIconic(previous)) {
        ShowWindow(previous, SW_RESTORE);
      } else {
        BringWindowToTop(previous);
      }
    }
    SetForegroundWindow(previous);
  }
  host.SuppressMainWindowAndTerminate();
}
