#include "storage/station_folders_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/test_folder_win.h"

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int CountEntries(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

bool UnderWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// An installation in a temporary folder:
//   <root>\above.txt                      the folder above AppDir
//   <root>\app\app.txt, lista.qmx         AppDir
//   <root>\app\Jazz\{history,data}        a neighbouring station
//   <root>\app\Rock\{history,data}        the station most rows remove
//   <root>\outside\canary.txt             a folder outside AppDir
// and the canary files, which must all survive unless a row says otherwise.
class Installation {
 public:
  Installation() : root_("station folders") {
    if (!root_.ok()) return;
    app_ = root_.path() + "app\\";
    // A fault in the code under test must not reach the folder the tests
    // were started from: Wine's shell, on a path too long for it, deletes
    // the content of the current folder. So that is a sandbox of ours.
    const std::string sandbox = root_.path() + "current";
    previous_folder_.resize(GetCurrentDirectoryA(0, nullptr));
    previous_folder_.resize(
        GetCurrentDirectoryA(static_cast<DWORD>(previous_folder_.size()), previous_folder_.data()));
    ok_ = !previous_folder_.empty() && CreateDirectoryA(sandbox.c_str(), nullptr) &&
          Canary(sandbox + "\\canary.txt") && SetCurrentDirectoryA(sandbox.c_str());
    ok_ = ok_ && CreateDirectoryA(app_.c_str(), nullptr) &&
          CreateDirectoryA((root_.path() + "outside").c_str(), nullptr);
    ok_ = ok_ && Canary(root_.path() + "above.txt") && Canary(app_ + "app.txt") &&
          Canary(app_ + "lista.qmx") && Canary(root_.path() + "outside\\canary.txt");
    for (const char* station : {"Jazz", "Rock"}) {
      CreateStationFolders(app_, station);
      ok_ = ok_ && Canary(app_ + station + "\\data\\canary.txt") &&
            Canary(app_ + station + "\\history\\day1.txt");
    }
  }

  ~Installation() {
    if (!previous_folder_.empty()) SetCurrentDirectoryA(previous_folder_.c_str());
  }
  Installation(const Installation&) = delete;
  Installation& operator=(const Installation&) = delete;

  bool ok() const { return ok_; }
  const std::string& root() const { return root_.path(); }
  const std::string& app() const { return app_; }

  bool Canary(const std::string& path) {
    if (!WriteWholeFile(path, "canary " + path)) return false;
    canaries_.push_back(path);
    return true;
  }

  // Every canary still there with its bytes, except those below `gone`.
  void ExpectCanariesSurvive(const std::string& gone = "") const {
    for (const std::string& path : canaries_) {
      if (!gone.empty() && path.rfind(gone, 0) == 0) continue;
      EXPECT_EQ(ReadWholeFile(path), "canary " + path) << path;
    }
  }

 private:
  TestFolder root_;
  std::string previous_folder_;
  std::string app_;
  bool ok_ = false;
  std::vector<std::string> canaries_;
};

TEST(CreateStationFolders, CreatesThreeFoldersAndTwiceChangesNothing) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  CreateStationFolders(inst.app(), "Pop");
  for (const char* sub : {"", "\\history", "\\data"}) {
    EXPECT_TRUE(IsFolder(inst.app() + "Pop" + sub)) << sub;
  }
  ASSERT_TRUE(WriteWholeFile(inst.app() + "Pop\\data\\playlist.txt", "x"));
  CreateStationFolders(inst.app(), "Pop");
  EXPECT_EQ(CountEntries(inst.app() + "Pop"), 2);
  EXPECT_EQ(CountEntries(inst.app() + "Pop\\data"), 1);
  EXPECT_EQ(ReadWholeFile(inst.app() + "Pop\\data\\playlist.txt"), "x");
  inst.ExpectCanariesSurvive();
}

TEST(CreateStationFolders, NeverReachesOutOfAppDir) {
  struct Row {
    const char* label;
    const char* name;
    const char* must_exist;      // below AppDir, after the call
    const char* must_not_exist;  // below the root, after the call
  };
  const Row rows[] = {
      {"into an existing station", "Rock\\Live", "Rock\\Live\\history", ""},
      {"parent missing", "Nope\\Live", "", "app\\Nope"},
      {"AppDir itself", ".", "", "app\\history"},
      {"the folder above", "..", "", "history"},
      {"up and in", "..\\Elsewhere", "", "Elsewhere"},
      {"in and twice up", "Rock\\..\\..", "", "data"},
      {"device", "CON", "", "app\\CON\\history"},
      {"wildcard", "*", "", "app\\*"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Installation inst;
    ASSERT_TRUE(inst.ok());
    const int above_before = CountEntries(inst.root());
    CreateStationFolders(inst.app(), row.name);
    if (*row.must_exist) {
      EXPECT_TRUE(IsFolder(inst.app() + row.must_exist));
    }
    if (*row.must_not_exist) {
      EXPECT_FALSE(PathExists(inst.root() + row.must_not_exist));
    }
    EXPECT_EQ(CountEntries(inst.root()), above_before);
    inst.ExpectCanariesSurvive();
  }
}

TEST(DeleteFolderTree, DeletesEverythingForGood) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  const std::string station = "Gone " + std::to_string(GetCurrentProcessId());
  const std::string folder = inst.app() + station;
  CreateStationFolders(inst.app(), station);
  ASSERT_TRUE(CreateDirectoryA((folder + "\\data\\deep").c_str(), nullptr));
  ASSERT_TRUE(WriteWholeFile(folder + "\\data\\deep\\a.txt", "a"));
  ASSERT_TRUE(WriteWholeFile(folder + "\\history\\b.txt", "b"));
  ASSERT_TRUE(WriteWholeFile(folder + "\\top.txt", "c"));

  EXPECT_TRUE(DeleteFolderTree(folder));
  EXPECT_FALSE(PathExists(folder));
  inst.ExpectCanariesSurvive();

  // Not moved to the recycle bin: under Wine that is the desktop's trash.
  std::string home(32768, '\0');
  home.resize(GetEnvironmentVariableA("HOME", home.data(), static_cast<DWORD>(home.size())));
  if (UnderWine() && !home.empty()) {
    EXPECT_FALSE(PathExists("Z:" + home + "\\.local\\share\\Trash\\files\\" + station));
  }
}

TEST(DeleteFolderTree, FailsWithoutHarm) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  EXPECT_FALSE(DeleteFolderTree(inst.app() + "Missing"));
  EXPECT_FALSE(DeleteFolderTree(""));
  inst.ExpectCanariesSurvive();
}

TEST(WinStationFolders, RemovesTheStationsOwnTree) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  WinStationFolders folders;
  EXPECT_EQ(folders.Remove(inst.app(), "Rock", {"Jazz"}), FolderRemoval::kDeleted);
  EXPECT_FALSE(PathExists(inst.app() + "Rock"));
  inst.ExpectCanariesSurvive(inst.app() + "Rock\\");
}

TEST(WinStationFolders, MissingFolderIsNothingToDo) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  WinStationFolders folders;
  const int before = CountEntries(inst.app());
  EXPECT_EQ(folders.Remove(inst.app(), "Pop", {"Jazz", "Rock"}), FolderRemoval::kDeleted);
  EXPECT_EQ(CountEntries(inst.app()), before);
  inst.ExpectCanariesSurvive();
}

// Each row runs in a fresh installation. Unless the row says which folder
// goes, nothing at all may be deleted.
TEST(WinStationFolders, DangerousNamesDeleteNothingElse) {
  struct Row {
    const char* label;
    std::string name;
    StationRows remaining;
    std::optional<FolderRemoval> expected;   // none: the path limits decide
    std::vector<std::string> extra_folders;  // below the root, made first
    std::string goes;                        // below AppDir: the folder that goes
  };
  const std::string spaces251(251, ' ');
  const std::string letters300(300, 'r');
  const StationRows jazz = {"Jazz"};
  const Row rows[] = {
      {"control: Rock itself", "Rock", jazz, FolderRemoval::kDeleted, {}, "Rock"},
      {"empty", "", jazz, FolderRemoval::kKept, {}, ""},
      {"one space", " ", jazz, FolderRemoval::kKept, {}, ""},
      {"251 spaces", spaces251, jazz, FolderRemoval::kKept, {}, ""},
      {"dot", ".", jazz, FolderRemoval::kKept, {}, ""},
      {"dot dot", "..", jazz, FolderRemoval::kKept, {}, ""},
      {"backslash", "\\", jazz, FolderRemoval::kKept, {}, ""},
      {"slash", "/", jazz, FolderRemoval::kKept, {}, ""},
      {"a\\b", "a\\b", jazz, FolderRemoval::kKept, {"app\\a", "app\\a\\b"}, ""},
      {"a/b", "a/b", jazz, FolderRemoval::kKept, {"app\\a", "app\\a\\b"}, ""},
      {"..\\x", "..\\x", jazz, FolderRemoval::kKept, {"x"}, ""},
      {"a\\..\\..", "a\\..\\..", jazz, FolderRemoval::kKept, {"app\\a"}, ""},
      {"Rock\\..", "Rock\\..", jazz, FolderRemoval::kKept, {}, ""},
      {"C:x", "C:x", jazz, FolderRemoval::kKept, {}, ""},
      {"x:y stream", "x:y", jazz, FolderRemoval::kKept, {"app\\x"}, ""},
      {"long path prefix", "\\\\?\\C:\\x", jazz, FolderRemoval::kKept, {}, ""},
      {"star", "*", jazz, FolderRemoval::kKept, {}, ""},
      {"question mark", "?", jazz, FolderRemoval::kKept, {}, ""},
      {"Ro?k", "Ro?k", jazz, FolderRemoval::kKept, {}, ""},
      {"<a>", "<a>", jazz, FolderRemoval::kKept, {}, ""},
      {"a|b", "a|b", jazz, FolderRemoval::kKept, {}, ""},
      {"tab in the name", "tab\tname", jazz, FolderRemoval::kKept, {}, ""},
      {"NUL byte cutting the name to Jazz",
       std::string("Jazz\0x", 6),
       jazz,
       FolderRemoval::kKept,
       {},
       ""},
      {"Rock. names Rock", "Rock.", jazz, FolderRemoval::kKept, {}, ""},
      {"Rock space names Rock", "Rock ", jazz, FolderRemoval::kKept, {}, ""},
      {"CON", "CON", jazz, FolderRemoval::kKept, {}, ""},
      {"nul.txt", "nul.txt", jazz, FolderRemoval::kKept, {}, ""},
      {"com1.txt", "com1.txt", jazz, FolderRemoval::kKept, {}, ""},
      {"a file, not a folder", "notes.txt", jazz, FolderRemoval::kKept, {}, ""},
      {"Rock while rock stays", "Rock", {"Jazz", "rock"}, FolderRemoval::kKept, {}, ""},
      {"Rock while ROCK stays", "Rock", {"ROCK", "Jazz"}, FolderRemoval::kKept, {}, ""},
      {"duplicate row stays", "Rock", {"Jazz", "Rock"}, FolderRemoval::kKept, {}, ""},
      {"Rock. stays", "Rock", {"Jazz", "Rock."}, FolderRemoval::kKept, {}, ""},
      {"Rock\\Live stays inside",
       "Rock",
       {"Jazz", "Rock\\Live"},
       FolderRemoval::kKept,
       {"app\\Rock\\Live"},
       ""},
      {"Jazz\\..\\Rock stays", "Rock", {"Jazz", "Jazz\\..\\Rock"}, FolderRemoval::kKept, {}, ""},
      {"leading space is its own folder",
       " Rock",
       jazz,
       FolderRemoval::kDeleted,
       {"app\\ Rock"},
       " Rock"},
      {"300 letters", letters300, jazz, std::nullopt, {}, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Installation inst;
    ASSERT_TRUE(inst.ok());
    ASSERT_TRUE(inst.Canary(inst.app() + "notes.txt"));
    for (const std::string& extra : row.extra_folders) {
      ASSERT_TRUE(CreateDirectoryA((inst.root() + extra).c_str(), nullptr)) << extra;
      ASSERT_TRUE(inst.Canary(inst.root() + extra + "\\canary.txt"));
    }
    WinStationFolders folders;
    const FolderRemoval result = folders.Remove(inst.app(), row.name, row.remaining);
    if (row.expected) {
      EXPECT_EQ(result, *row.expected);
    }
    if (row.goes.empty()) {
      inst.ExpectCanariesSurvive();
    } else {
      EXPECT_FALSE(PathExists(inst.app() + row.goes));
      inst.ExpectCanariesSurvive(inst.app() + row.goes + "\\");
    }
    EXPECT_TRUE(IsFolder(inst.app() + "Jazz\\history"));
  }
}

// Names near and past MAX_PATH: whatever the system allows, nothing
// overruns and nothing but the station's own folder goes.
TEST(WinStationFolders, LongNames) {
  for (size_t length : {100u, 200u, 230u, 255u, 256u, 300u, 1000u}) {
    SCOPED_TRACE(length);
    Installation inst;
    ASSERT_TRUE(inst.ok());
    const std::string name(length, 'n');
    CreateStationFolders(inst.app(), name);
    const bool created = IsFolder(inst.app() + name);
    WinStationFolders folders;
    const FolderRemoval result = folders.Remove(inst.app(), name, {"Jazz", "Rock"});
    if (created) {
      EXPECT_EQ(result == FolderRemoval::kDeleted, !PathExists(inst.app() + name));
    }
    inst.ExpectCanariesSurvive();
    EXPECT_EQ(CountEntries(inst.app()), created && result == FolderRemoval::kKept ? 5 : 4);
  }
}

// A tree deeper than the shell's path buffers is kept whole.
TEST(WinStationFolders, TreeTooDeepForTheShellIsKept) {
  Installation inst;
  ASSERT_TRUE(inst.ok());
  std::string deep = inst.app() + "Rock\\data";
  std::vector<std::wstring> made;
  while (deep.size() < MAX_PATH + 40) {
    deep += "\\" + std::string(20, 'd');
    // The ANSI calls stop at MAX_PATH; the wide ones with \\?\ go on.
    std::wstring wide = L"\\\\?\\";
    for (char c : deep) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr)) << deep.size();
    made.push_back(wide);
  }
  WinStationFolders folders;
  EXPECT_EQ(folders.Remove(inst.app(), "Rock", {"Jazz"}), FolderRemoval::kKept);
  EXPECT_TRUE(IsFolder(inst.app() + "Rock\\data"));
  inst.ExpectCanariesSurvive();
  // Too deep for the ANSI clean-up of the test folder.
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
}

// A link made from the Linux side: Wine itself reports success for
// CreateSymbolicLinkA without making anything.
class UnixLinks {
 public:
  ~UnixLinks() {
    for (const auto& [dos, unix_name] : made_) {
      Run("/bin/rm -f \"" + unix_name + "\"");
      for (int i = 0; i < 250 && PathExists(dos); ++i) Sleep(20);
    }
  }

  // Makes `link` point at `target`, by the system or through Wine's view
  // of the Unix file system. False when neither works.
  bool Make(const std::string& link, const std::string& target, bool folder) {
    const DWORD flags = (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | 0x2;  // unprivileged
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) && PathExists(link)) return true;
    const auto unix_link = UnixName(link);
    const auto unix_target = UnixName(target);
    if (!unix_link || !unix_target) return false;
    Run("/bin/ln -s \"" + *unix_target + "\" \"" + *unix_link + "\"");
    for (int i = 0; i < 250 && !PathExists(link); ++i) Sleep(20);
    if (!PathExists(link)) return false;
    made_.emplace_back(link, *unix_link);
    return true;
  }

 private:
  static std::optional<std::string> UnixName(const std::string& path) {
    using WineUnixName = char*(CDECL*)(const WCHAR*);
    auto to_unix = reinterpret_cast<WineUnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (to_unix == nullptr) return std::nullopt;
    std::wstring wide(path.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.data(),
                                                        static_cast<int>(path.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
    char* unix_name = to_unix(wide.c_str());
    if (unix_name == nullptr) return std::nullopt;
    std::string result = unix_name;
    HeapFree(GetProcessHeap(), 0, unix_name);
    return result;
  }

  // Wine starts Unix programs named by their DOS path. Their process
  // handle cannot be waited on, so callers watch for the result.
  static void Run(const std::string& command) {
    std::string line = "Z:" + command;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      return;
    }
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }

  std::vector<std::pair<std::string, std::string>> made_;  // DOS and Unix name
};

TEST(WinStationFolders, LinksAreNeverFollowed) {
  struct Row {
    const char* label;
    const char* station;
    const char* link;    // below AppDir
    const char* target;  // below the root
    bool folder;
    bool station_may_go;
  };
  const Row rows[] = {
      {"folder link in history", "Rock", "Rock\\history\\elsewhere", "outside", true, true},
      {"file link in data", "Rock", "Rock\\data\\canary.lnk", "outside\\canary.txt", false, true},
      {"link to AppDir", "Rock", "Rock\\data\\app", "app", true, true},
      {"station folder is a link", "Linked", "Linked", "outside", true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    Installation inst;
    ASSERT_TRUE(inst.ok());
    UnixLinks links;
    if (!links.Make(inst.app() + row.link, inst.root() + row.target, row.folder)) {
      GTEST_SKIP() << "no way to make a symbolic link here";
    }
    WinStationFolders folders;
    const FolderRemoval result = folders.Remove(inst.app(), row.station, {"Jazz"});
    // The canaries outside, the link's target among them, always survive.
    inst.ExpectCanariesSurvive(inst.app() + row.station + "\\");
    EXPECT_TRUE(IsFolder(inst.root() + "outside"));
    EXPECT_EQ(result == FolderRemoval::kDeleted, !PathExists(inst.app() + row.station));
    if (!row.station_may_go) {
      EXPECT_EQ(result, FolderRemoval::kKept);
    } else if (!UnderWine()) {
      // Windows removes a link as a link, so the station's folder goes.
      EXPECT_EQ(result, FolderRemoval::kDeleted);
    } else {
      // Wine follows links in every delete call: the folder is kept whole.
      EXPECT_EQ(result, FolderRemoval::kKept);
      EXPECT_TRUE(PathExists(inst.app() + row.link));
    }
  }
}

}  // namespace
