#include "launch/launcher_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/test_folder_win.h"
#include "tests/standins/standin_log.h"

namespace {

std::string WindowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string CurrentFolder() {
  std::string folder(GetCurrentDirectoryA(0, nullptr), '\0');
  folder.resize(GetCurrentDirectoryA(folder.size(), folder.data()));
  return folder;
}

// A temporary installation folder holding the stand-in sibling programs,
// `depth` folders below a fresh temporary folder; removed at the end.
class Installation {
 public:
  explicit Installation(const std::string& depth_name = std::string(), int depth = 0)
      : root_("morvelle-launch") {
    if (!root_.ok()) return;
    folder_ = root_.path();
    for (int i = 0; i < depth; ++i) {
      folder_ += depth_name + "\\";
      CreateDirectoryA(folder_.c_str(), nullptr);
    }
    const std::string standins = WindowsPath(MORVELLE_STANDINS_DIR) + "\\";
    copied_ = true;
    for (const char* program : {"talvex.exe", "brevold.exe", "captelle.exe"}) {
      if (!CopyFileA((standins + program).c_str(), (folder_ + program).c_str(), FALSE)) {
        copied_ = false;
      }
    }
  }

  bool ready() const { return copied_; }
  const std::string& folder() const { return folder_; }  // ends in a separator

  // The stand-ins' records once `count` have arrived, or what there is when
  // they do not within the wait.
  std::vector<StandinRecord> WaitForRecords(std::size_t count) const {
    std::vector<StandinRecord> records;
    for (int i = 0; i < 200; ++i) {
      records = ReadStandinLog(folder_ + "standins.log");
      if (records.size() >= count) break;
      Sleep(50);
    }
    return records;
  }

 private:
  TestFolder root_;
  std::string folder_;
  bool copied_ = false;
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND MakeOwnerWindow() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = PlainProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "MorvelleLauncherTest";
  RegisterClassA(&window_class);
  return CreateWindowExA(0, window_class.lpszClassName, "owner", WS_OVERLAPPED, 0, 0, 100, 100,
                         nullptr, nullptr, window_class.hInstance, nullptr);
}

TEST(LaunchProgramTest, SiblingReceivesExactlyWhatWasPassed) {
  struct Row {
    const char* label;
    const char* program;
    std::string parameters;
    const char* subfolder;  // working folder below the installation; nullptr: none
    int depth;              // installation this many 40-character folders deep
    bool with_owner;
  };
  const std::string long_parameters(200, 'p');
  const Row rows[] = {
      {"scheduler for a name with a space", "talvex.exe", "Rock FM", nullptr, 0, true},
      {"history viewer", "brevold.exe", "Rock", nullptr, 0, true},
      {"recorder without parameters", "captelle.exe", "", nullptr, 0, true},
      {"no owner window", "talvex.exe", "Jazz", nullptr, 0, false},
      {"quotes, percent and bar kept", "talvex.exe", "Late \"Night\" 100%|FM", nullptr, 0, true},
      {"parameters longer than 80 characters", "brevold.exe", long_parameters, nullptr, 0, true},
      {"installation deeper than 80 characters", "talvex.exe", "Deep", nullptr, 3, true},
      {"deep installation, recorder", "captelle.exe", "", nullptr, 3, false},
      {"working folder given", "talvex.exe", "Rock", "work", 0, true},
  };
  HWND owner = MakeOwnerWindow();
  ASSERT_NE(owner, nullptr);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Installation installation(std::string(40, 'd'), row.depth);
    ASSERT_TRUE(installation.ready());
    const std::string file = installation.folder() + row.program;
    if (row.depth > 0) {
      ASSERT_GT(file.size(), 80u);
    }
    std::string folder;
    if (row.subfolder != nullptr) {
      folder = installation.folder() + row.subfolder;
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }

    LaunchProgram(row.with_owner ? owner : nullptr, file, row.parameters, folder, SW_SHOW);

    const std::vector<StandinRecord> records = installation.WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].program, row.program);
    EXPECT_EQ(records[0].parameters, row.parameters);
    EXPECT_EQ(records[0].folder, folder.empty() ? CurrentFolder() : folder);
    const std::string& line = records[0].command_line;
    EXPECT_NE(line.find(row.program), std::string::npos) << line;
    if (!row.parameters.empty()) {
      ASSERT_GE(line.size(), row.parameters.size());
      EXPECT_EQ(line.substr(line.size() - row.parameters.size()), row.parameters) << line;
    }
  }
  DestroyWindow(owner);
}

TEST(LaunchProgramTest, ProgramsStartedOneAfterAnotherAllRun) {
  Installation installation;
  ASSERT_TRUE(installation.ready());
  HWND owner_window = MakeOwnerWindow();
  HWND owner = nullptr;
  ShellLauncher launcher(owner);
  owner = owner_window;  // read at each call, so it may be set after construction
  const std::vector<std::string> stations = {"A", "B", "C", "Rock FM"};
  for (const std::string& station : stations) {
    launcher.Launch(installation.folder() + "talvex.exe", station, std::string(), SW_SHOW);
  }

  const std::vector<StandinRecord> records = installation.WaitForRecords(stations.size());
  std::vector<std::string> received;
  for (const StandinRecord& record : records) {
    EXPECT_EQ(record.program, "talvex.exe");
    received.push_back(record.parameters);
  }
  // Each started program runs on its own, so the order they log in is theirs.
  std::sort(received.begin(), received.end());
  EXPECT_EQ(received, stations);
  DestroyWindow(owner_window);
}

TEST(LaunchProgramTest, MissingProgramIsNotAnError) {
  Installation installation;
  ASSERT_TRUE(installation.ready());
  LaunchProgram(nullptr, installation.folder() + "absent.exe", "Rock", std::string(), SW_SHOW);
  LaunchProgram(nullptr, installation.folder() + "captelle.exe", std::string(), std::string(),
                SW_SHOW);
  const std::vector<StandinRecord> records = installation.WaitForRecords(1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].program, "captelle.exe");
}

}  // namespace
