#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/unique_handle_win.h"
#include "core/application_host_win.h"
#include "core/ports.h"

// Longest lock and window name used; a longer name is cut to this length,
// for the lock and the window search alike (CreateMutexA refuses names of
// MAX_PATH characters or more).
inline constexpr std::size_t kMaxGuardNameLength = 256;

// Keeps a second copy of the program from running: it takes a named
// system-wide lock and, when the lock already exists, tells its owner,
// brings the running copy's window forward and ends this copy.
class TXJustOne final : public InstanceGuard {
 public:
  explicit TXJustOne(ApplicationHost& host) : host_(host) {}
  TXJustOne(const TXJustOne&) = delete;
  TXJustOne& operator=(const TXJustOne&) = delete;

  bool SwitchToPrevious = true;
  // Called with the guard when another copy holds the lock. It may destroy
  // the guard's owner, and the guard with it: the guard's remaining steps
  // touch nothing of the object afterwards.
  std::function<void(TXJustOne&)> AlreadyExist;
  // The lock's name; empty or starting with a space: the host's title.
  std::string ApplicationTitle;

  // Runs the check when the value changes; assigning the same value does
  // nothing. Disabling never releases the lock.
  void SetEnabled(bool enabled) override;
  bool Enabled() const { return enabled_; }

  // The owner calls this once, after setting the properties.
  void Loaded() { Check(); }

  // The name the check uses with the current properties.
  std::string LockName() const;
  bool GuardHeld() const { return guard_held_; }

 private:
  void Check();

  ApplicationHost& host_;
  bool enabled_ = false;
  ScopedHandle mutex_;
  bool guard_held_ = false;
};
