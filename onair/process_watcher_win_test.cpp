#include "onair/process_watcher_win.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "onair/on_air_test_support_win.h"

namespace {

constexpr UINT kExited = WM_APP + 7;
std::vector<WPARAM> g_posted;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kExited) {
    g_posted.push_back(wparam);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeWindow() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = RecordingProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "OnAirWatcherTest";
  RegisterClassA(&window_class);
  return CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         window_class.hInstance, nullptr);
}

struct Child {
  ScopedHandle process;  // the test's own handle, to end it with
  DWORD id = 0;
};

Child StartSleeper() {
  std::string command = "\"" + WindowsPath(MORVELLE_SLEEPER) + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return {};
  }
  CloseHandle(info.hThread);
  return {ScopedHandle(info.hProcess), info.dwProcessId};
}

ScopedHandle WatchHandle(const Child& child) {
  return ScopedHandle(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child.id));
}

// More processes than one wait can hold (64 handles), each exit seen with
// its own code through the posted message, whatever order they end in.
TEST(ProcessWatcherTest, SeventyExitsArriveWithTheirCodes) {
  const DWORD codes[] = {0, 1, 0xC0000005u, 0xE06D7363u, 0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu};
  constexpr int kCount = 70;
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  g_posted.clear();
  {
    ProcessWatcher watcher(window, kExited);
    std::vector<Child> children;
    std::map<WPARAM, DWORD> expected;  // watch id -> exit code
    for (int i = 0; i < kCount; ++i) {
      children.push_back(StartSleeper());
      ASSERT_TRUE(children.back().process.valid()) << i;
      const std::uint32_t id = watcher.Watch(WatchHandle(children.back()));
      ASSERT_NE(id, 0u) << i;
      expected[id] = i < 7 ? codes[i] : 1000u + i;
    }
    EXPECT_EQ(watcher.size(), static_cast<std::size_t>(kCount));
    // Ended last first, so the order of the messages is not the order of the watches.
    int i = kCount;
    for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
      ASSERT_TRUE(TerminateProcess(children[--i].process.get(), it->second));
    }
    ASSERT_TRUE(PumpUntil([] { return g_posted.size() >= kCount; }));
    for (const WPARAM id : g_posted) {
      SCOPED_TRACE(id);
      ASSERT_EQ(expected.count(id), 1u);
      const std::optional<DWORD> code = watcher.Finish(id);
      ASSERT_TRUE(code.has_value());
      EXPECT_EQ(*code, expected[id]);
      EXPECT_FALSE(watcher.Finish(id).has_value()) << "finished twice";
    }
    EXPECT_EQ(watcher.size(), 0u);
  }
  DestroyWindow(window);
}

// A watcher that goes while its processes run takes its waits with it
// before their handles: the processes ending later post nothing. (Whether
// the handles are closed cannot be seen here: Wine's GetProcessHandleCount
// answers 0.)
TEST(ProcessWatcherTest, AWatcherGoneLeavesNothingBehind) {
  HWND window = MakeWindow();
  ASSERT_NE(window, nullptr);
  g_posted.clear();
  std::vector<Child> children;
  {
    ProcessWatcher watcher(window, kExited);
    for (int i = 0; i < 3; ++i) {
      children.push_back(StartSleeper());
      ASSERT_TRUE(children.back().process.valid());
      ASSERT_NE(watcher.Watch(WatchHandle(children.back())), 0u);
    }
  }
  for (const Child& child : children) TerminateProcess(child.process.get(), 0xC0000005u);
  for (const Child& child : children) WaitForSingleObject(child.process.get(), 5000);
  PumpUntil([] { return false; }, 300);
  EXPECT_TRUE(g_posted.empty());
  DestroyWindow(window);
}

TEST(ProcessIdentityTest, OnlyTheSameRunningProcessIsOpened) {
  Child child = StartSleeper();
  ASSERT_TRUE(child.process.valid());
  const std::optional<ProcessIdentity> identity = IdentityOf(child.process.get());
  ASSERT_TRUE(identity.has_value());
  EXPECT_EQ(identity->process_id, child.id);
  EXPECT_NE(identity->image.find("sleeper"), std::string::npos) << identity->image;

  struct Row {
    const char* label;
    ProcessIdentity wanted;
    bool opened;
  };
  ProcessIdentity later = *identity;
  later.creation_time += 1;
  ProcessIdentity other_image = *identity;
  other_image.image += ".other";
  ProcessIdentity other_case = *identity;
  CharUpperBuffA(other_case.image.data(), static_cast<DWORD>(other_case.image.size()));
  const Row rows[] = {
      {"the same", *identity, true},
      {"the image in other case", other_case, true},
      {"another creation time: the id was reused", later, false},
      {"another image", other_image, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(OpenSameProcess(row.wanted).valid(), row.opened);
  }
  TerminateProcess(child.process.get(), 0);
  WaitForSingleObject(child.process.get(), 5000);
  EXPECT_FALSE(OpenSameProcess(*identity).valid()) << "ended";
}

}  // namespace
