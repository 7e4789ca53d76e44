#include "guard/single_instance_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Names unique to this process and call, so that runs in parallel and the
// cases of one run never share a lock.
std::string UniqueName(const std::string& what) {
  static int counter = 0;
  return "morvelle-guard-test-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++counter) + "-" + what;
}

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeWindow(const std::string& title, DWORD style) {
  static const ATOM atom = [] {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = PlainProc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "MorvelleGuardTest";
    return RegisterClassA(&window_class);
  }();
  return CreateWindowExA(0, MAKEINTATOM(atom), title.c_str(), style, 50, 50, 200, 100, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

std::string WindowTitle(HWND window) {
  std::string title(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  title.resize(static_cast<std::size_t>(GetWindowTextA(window, title.data(), title.size())));
  return title;
}

struct WindowDeleter {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using ScopedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The application object as the guard sees it, on a real hidden window.
class FakeHost final : public ApplicationHost {
 public:
  explicit FakeHost(const std::string& title)
      : title_(title), window_(MakeWindow(title, WS_OVERLAPPED)) {}
  HWND Handle() const override { return window_.get(); }
  std::string Title() const override { return title_; }
  void SuppressMainWindowAndTerminate() override { ++terminations; }

  int terminations = 0;

 private:
  std::string title_;
  ScopedWindow window_;
};

bool LockExists(const std::string& name) {
  ScopedHandle mutex(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()));
  return mutex.valid();
}

// A guard with a recorder on its notification.
struct Watched {
  explicit Watched(ApplicationHost& host, const std::string& title) : guard(host) {
    guard.ApplicationTitle = title;
    guard.AlreadyExist = [this](TXJustOne& sender) { senders.push_back(&sender); };
  }
  TXJustOne guard;
  std::vector<TXJustOne*> senders;
};

TEST(TXJustOneTest, StartsDisabledAndSwitchingToThePreviousCopy) {
  FakeHost host("host");
  TXJustOne guard(host);
  EXPECT_TRUE(guard.SwitchToPrevious);
  EXPECT_FALSE(guard.AlreadyExist);
  EXPECT_EQ(guard.ApplicationTitle, "");
  EXPECT_FALSE(guard.Enabled());
  EXPECT_FALSE(guard.GuardHeld());
}

TEST(TXJustOneTest, FirstCheckTakesTheLock) {
  const std::string name = UniqueName("first");
  FakeHost host(name);
  Watched first(host, name);
  first.guard.Loaded();
  EXPECT_FALSE(LockExists(name)) << "the check ran while disabled";
  first.guard.SetEnabled(true);

  EXPECT_TRUE(LockExists(name));
  EXPECT_TRUE(first.guard.GuardHeld());
  EXPECT_TRUE(first.senders.empty());
  EXPECT_EQ(host.terminations, 0);
  EXPECT_EQ(WindowTitle(host.Handle()), name);
}

TEST(TXJustOneTest, SecondGuardOfTheSameNameReportsAnotherCopy) {
  struct Row {
    const char* label;
    bool switch_to_previous;
    bool own_title_emptied;
  };
  const Row rows[] = {
      {"switching to the previous copy", true, true},
      {"staying in the background", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string name = UniqueName("second");
    FakeHost first_host(name);
    Watched first(first_host, name);
    first.guard.SetEnabled(true);

    FakeHost second_host(name);
    Watched second(second_host, name);
    second.guard.SwitchToPrevious = row.switch_to_previous;
    second.guard.SetEnabled(true);

    ASSERT_EQ(second.senders.size(), 1u);
    EXPECT_EQ(second.senders[0], &second.guard);
    EXPECT_EQ(second_host.terminations, 1);
    EXPECT_TRUE(second.guard.GuardHeld());
    EXPECT_EQ(WindowTitle(second_host.Handle()), row.own_title_emptied ? "" : name);
    EXPECT_EQ(WindowTitle(first_host.Handle()), name);
    EXPECT_TRUE(first.senders.empty());
    EXPECT_EQ(first_host.terminations, 0);
  }
}

TEST(TXJustOneTest, NameFallsBackToTheApplicationTitle) {
  const std::string long_host(300, 'h');
  struct Row {
    const char* label;
    std::string title;       // ApplicationTitle, after the unique prefix unless it is blank
    std::string host_title;  // after the unique prefix
    bool title_used;
  };
  const Row rows[] = {
      {"own title", "own", "host", true},
      {"empty title", "", "host", false},
      {"title starting with a space", " x", "host", false},
      {"only spaces", "  ", "host", false},
      {"space inside", "a b", "host", true},
      {"long host title", "", long_host, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string prefix = UniqueName("");
    const bool blank = row.title.empty() || row.title[0] == ' ';
    const std::string title = blank ? row.title : prefix + row.title;
    FakeHost host(prefix + row.host_title);
    Watched watched(host, title);
    watched.guard.SetEnabled(true);

    std::string expected = row.title_used ? prefix + row.title : prefix + row.host_title;
    if (expected.size() > kMaxGuardNameLength) expected.resize(kMaxGuardNameLength);
    EXPECT_TRUE(LockExists(expected)) << expected;
    EXPECT_TRUE(watched.senders.empty());
    if (!row.title_used && !row.title.empty()) {
      EXPECT_FALSE(LockExists(row.title));
    }
  }
}

TEST(TXJustOneTest, ChecksOnlyWhenEnabledChanges) {
  struct Row {
    const char* label;
    std::vector<bool> assignments;
    bool loaded_first;
    std::size_t checks;
  };
  const Row rows[] = {
      {"nothing assigned", {}, false, 0},
      {"loaded while disabled", {}, true, 0},
      {"false while disabled", {false}, false, 0},
      {"true", {true}, false, 1},
      {"true twice", {true, true}, false, 1},
      {"true then false", {true, false}, false, 1},
      {"true, false, true", {true, false, true}, false, 2},
      {"loaded, then true", {true}, true, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    // The lock exists already, so every check that runs reports it.
    const std::string name = UniqueName("count");
    ScopedHandle existing(CreateMutexA(nullptr, FALSE, name.c_str()));
    ASSERT_TRUE(existing.valid());
    FakeHost host(UniqueName("host"));
    Watched watched(host, name);
    watched.guard.SwitchToPrevious = false;
    if (row.loaded_first) watched.guard.Loaded();
    for (const bool value : row.assignments) watched.guard.SetEnabled(value);

    EXPECT_EQ(watched.senders.size(), row.checks);
    EXPECT_EQ(static_cast<std::size_t>(host.terminations), row.checks);
    EXPECT_EQ(watched.guard.Enabled(), !row.assignments.empty() && row.assignments.back());
  }
}

TEST(TXJustOneTest, DisablingKeepsAndDestroyingReleasesTheLock) {
  const std::string name = UniqueName("release");
  FakeHost host(name);
  {
    Watched first(host, name);
    first.guard.SetEnabled(true);
    first.guard.SetEnabled(false);
    EXPECT_TRUE(LockExists(name)) << "disabling released the lock";

    FakeHost other_host(name);
    Watched other(other_host, name);
    other.guard.SwitchToPrevious = false;
    other.guard.SetEnabled(true);
    EXPECT_EQ(other.senders.size(), 1u);
  }
  EXPECT_FALSE(LockExists(name)) << "destruction kept the lock";

  Watched again(host, name);
  again.guard.SetEnabled(true);
  EXPECT_TRUE(again.senders.empty());
  EXPECT_EQ(host.terminations, 0);
}

TEST(TXJustOneTest, NameLongerThanTheLimitIsCutTheSameForLockAndWindow) {
  const std::string prefix = UniqueName("long-");
  const std::string name = prefix + std::string(300 - prefix.size(), 'n');
  const std::string cut = name.substr(0, kMaxGuardNameLength);
  const std::string other_tail = cut + std::string(300 - cut.size(), 'o');

  FakeHost first_host("first");
  Watched first(first_host, name);
  first.guard.SetEnabled(true);
  EXPECT_TRUE(first.senders.empty()) << "a long name must not make the lock fail";
  EXPECT_TRUE(LockExists(cut));

  // A window titled with the cut name, minimised: the second copy must find
  // it under the same name as the lock.
  ScopedWindow previous(MakeWindow(cut, WS_OVERLAPPEDWINDOW));
  ShowWindow(previous.get(), SW_SHOWMINIMIZED);
  ASSERT_TRUE(IsIconic(previous.get()));

  FakeHost second_host("second");
  Watched second(second_host, other_tail);
  second.guard.SetEnabled(true);
  EXPECT_EQ(second.senders.size(), 1u);
  EXPECT_EQ(second_host.terminations, 1);
  EXPECT_FALSE(IsIconic(previous.get()));
}

TEST(TXJustOneTest, StepsAfterTheNotificationUseTheValuesFromBefore) {
  struct Row {
    const char* label;
    bool discard;  // the owner's answer destroys the guard, as the controller window's does
  };
  const Row rows[] = {
      {"owner changes the properties", false},
      {"owner discards the guard", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string name = UniqueName("owner-gone");
    FakeHost first_host(name);
    TXJustOne first(first_host);
    first.ApplicationTitle = name;
    first.SetEnabled(true);

    ScopedWindow previous(MakeWindow(name, WS_OVERLAPPEDWINDOW));
    ShowWindow(previous.get(), SW_SHOWMINIMIZED);
    ASSERT_TRUE(IsIconic(previous.get()));

    FakeHost second_host(name);
    auto second = std::make_unique<TXJustOne>(second_host);
    second->ApplicationTitle = name;
    int notified = 0;
    second->AlreadyExist = [&](TXJustOne& sender) {
      ++notified;
      sender.SwitchToPrevious = false;
      sender.ApplicationTitle = "changed";
      if (row.discard) second.reset();
    };
    second->SetEnabled(true);

    EXPECT_EQ(notified, 1);
    EXPECT_EQ(second_host.terminations, 1);
    EXPECT_EQ(WindowTitle(second_host.Handle()), "");
    EXPECT_FALSE(IsIconic(previous.get())) << "the previous copy was not restored";
    EXPECT_TRUE(LockExists(name));
  }
}

// Cross-process cases, with the probe program beside this test program.
class Probe {
 public:
  explicit Probe(const std::vector<std::string>& args) {
    std::string command_line = "\"" + ProbePath() + "\"";
    for (const std::string& arg : args) command_line += " \"" + arg + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
      process_.reset(info.hProcess);
      CloseHandle(info.hThread);
    }
  }
  bool started() const { return process_.valid(); }
  // The exit code, or -1 when it did not end within the wait.
  int Wait(DWORD milliseconds = 30000) {
    if (WaitForSingleObject(process_.get(), milliseconds) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
  }
  ~Probe() {
    if (process_.valid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);
    }
  }

 private:
  static std::string ProbePath() {
    std::string path(MAX_PATH, '\0');
    path.resize(GetModuleFileNameA(nullptr, path.data(), path.size()));
    return path.substr(0, path.find_last_of('\\') + 1) + "guard_probe_win.exe";
  }
  ScopedHandle process_;
};

struct Event {
  explicit Event(const std::string& what) : name(UniqueName(what)) {
    handle.reset(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
  }
  std::string name;
  ScopedHandle handle;
};

TEST(TXJustOneProcessTest, TenCopiesStartedTogetherLeaveExactlyOneFirst) {
  const std::string name = UniqueName("ten");
  Event start("start");
  Event finish("finish");
  std::vector<std::unique_ptr<Probe>> probes;
  for (int i = 0; i < 10; ++i) {
    probes.push_back(
        std::make_unique<Probe>(std::vector<std::string>{"guard", name, start.name, finish.name}));
    ASSERT_TRUE(probes.back()->started());
  }
  Sleep(500);  // let every copy reach its wait, so that they check together
  SetEvent(start.handle.get());

  // The ones that found another copy end at once; the first holds on until
  // told to finish.
  std::vector<int> codes(probes.size(), -1);
  int running = 0;
  for (std::size_t i = 0; i < probes.size(); ++i) {
    codes[i] = probes[i]->Wait(3000);
    if (codes[i] == -1) ++running;
  }
  SetEvent(finish.handle.get());
  int first = 0;
  int others = 0;
  for (std::size_t i = 0; i < probes.size(); ++i) {
    if (codes[i] == -1) codes[i] = probes[i]->Wait();
    SCOPED_TRACE("probe " + std::to_string(i));
    EXPECT_TRUE(codes[i] == 0 || codes[i] == 1) << codes[i];
    first += codes[i] == 0;
    others += codes[i] == 1;
  }
  EXPECT_EQ(first, 1);
  EXPECT_EQ(others, 9);
  EXPECT_EQ(running, 1) << "the first copy must hold the lock until it ends";
}

TEST(TXJustOneProcessTest, RunningCopysWindowComesToTheFront) {
  struct Row {
    const char* label;
    bool minimised;
  };
  const Row rows[] = {
      {"running minimised", true},
      {"running in the background", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string name = UniqueName("front");
    ScopedHandle lock(CreateMutexA(nullptr, FALSE, name.c_str()));  // the running copy's
    Event ready("ready");
    Event finish("finish");
    std::vector<std::string> args{"window", name, ready.name, finish.name};
    if (row.minimised) args.push_back("minimised");
    Probe running(args);
    ASSERT_TRUE(running.started());
    ASSERT_EQ(WaitForSingleObject(ready.handle.get(), 30000), WAIT_OBJECT_0);
    HWND previous = FindWindowA(nullptr, name.c_str());
    ASSERT_NE(previous, nullptr);
    ASSERT_EQ(IsIconic(previous) != FALSE, row.minimised);

    // Something of ours in front first, so that coming forward is visible.
    ScopedWindow ours(MakeWindow(UniqueName("in-front"), WS_OVERLAPPEDWINDOW | WS_VISIBLE));
    SetForegroundWindow(ours.get());
    ASSERT_NE(GetForegroundWindow(), previous);

    FakeHost host(name);
    Watched second(host, name);
    second.guard.SetEnabled(true);
    EXPECT_EQ(second.senders.size(), 1u);
    EXPECT_EQ(host.terminations, 1);

    EXPECT_FALSE(IsIconic(previous));
    EXPECT_EQ(GetForegroundWindow(), previous);
    SetEvent(finish.handle.get());
    EXPECT_EQ(running.Wait(), 0) << "the window was minimised when the probe ended";
  }
}

}  // namespace
