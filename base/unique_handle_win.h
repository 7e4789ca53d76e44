#pragma once

#include <windows.h>

#include <utility>

// A move-only owner of one system handle. Traits give the handle type, its
// empty value, what else counts as empty and how to close it. reset() keeps
// GetLastError as it was, so a CreateMutexA + ERROR_ALREADY_EXISTS check
// survives replacing an older handle.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueHandle() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return valid(); }

  [[nodiscard]] Handle release() { return std::exchange(handle_, Traits::Null()); }

  void reset(Handle handle = Traits::Null()) {
    if (handle == handle_) return;
    const DWORD error = GetLastError();
    if (Traits::IsValid(handle_)) Traits::Close(handle_);
    handle_ = handle;
    SetLastError(error);
  }

 private:
  Handle handle_ = Traits::Null();
};

// Kernel objects: files, mutexes, events. Both NULL and INVALID_HANDLE_VALUE
// are empty, since CreateFile and CreateMutex report failure differently.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

// Memory that FormatMessageA and similar calls allocate with LocalAlloc.
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { LocalFree(h); }
};
using ScopedLocalMemory = UniqueHandle<LocalMemoryTraits>;

// A FindFirstFile search, closed with FindClose (not CloseHandle).
struct FindTraits {
  using Handle = HANDLE;
  static Handle Null() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { FindClose(h); }
};
using ScopedFind = UniqueHandle<FindTraits>;

// A windows hook of this thread.
struct HookTraits {
  using Handle = HHOOK;
  static Handle Null() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { UnhookWindowsHookEx(h); }
};
using ScopedHook = UniqueHandle<HookTraits>;
