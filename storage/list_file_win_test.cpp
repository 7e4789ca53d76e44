#include "storage/list_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "base/system_text_win.h"
#include "base/test_folder_win.h"
#include "base/texts.h"
#include "base/unique_handle_win.h"
#include "storage/file_probe_win.h"

namespace {

using namespace std::string_literals;

// The system's text for `code` as the operator should see it after our
// sentence, fetched here on its own.
std::string ExpectedSystemText(DWORD code) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n ? TidySystemMessage({text, n}) : "";
  LocalFree(text);
  return out;
}

ScopedHandle Hold(const std::string& path, DWORD access, DWORD share) {
  return ScopedHandle(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

const char* const kFolderLabels[] = {
    "plain", "with  two spaces",
    "cp1252 \xC4\xF6\xFC\xE9\xD1",   // German, French and Spanish letters
    "cp1253 \xD1\xEF\xEA \xD3\xF4",  // Greek letters' codes, defined in both pages
};

TEST(WinStationListFile, RoundTripInAnyInstallationFolder) {
  struct Row {
    const char* label;
    std::string bytes;
    StationRows rows;
    std::string saved;
  } rows[] = {
      {"A B byte for byte", "A\r\nB\r\n", {"A", "B"}, "A\r\nB\r\n"},
      {"LF only", "A\nB\n", {"A", "B"}, "A\r\nB\r\n"},
      {"no final break", "A\r\nB", {"A", "B"}, "A\r\nB\r\n"},
      {"A CRLF CRLF B", "A\r\n\r\nB", {"A", "", "B"}, "A\r\n\r\nB\r\n"},
      {"NUL byte", "A\0B\r\nC\r\n"s, {"A"}, "A\r\n"},
      {"empty", "", {}, ""},
      {"8-bit names",
       "Rock \xD1\xEF\xEA\r\n\xE9t\xE9\r\n",
       {"Rock \xD1\xEF\xEA", "\xE9t\xE9"},
       "Rock \xD1\xEF\xEA\r\n\xE9t\xE9\r\n"},
  };
  WinStationListFile list;
  for (const char* folder_label : kFolderLabels) {
    SCOPED_TRACE(folder_label);
    TestFolder folder(folder_label);
    ASSERT_TRUE(folder.ok());
    const std::string path = folder.path() + "lista.qmx";
    for (const auto& row : rows) {
      SCOPED_TRACE(row.label);
      ASSERT_TRUE(WriteWholeFile(path, row.bytes));
      StationRows loaded;
      EXPECT_EQ(ErrorOf([&] { loaded = list.Load(path); }), "<no error>");
      EXPECT_EQ(loaded, row.rows);
      EXPECT_EQ(ErrorOf([&] { list.Save(path, loaded); }), "<no error>");
      EXPECT_EQ(ReadWholeFile(path), row.saved);
      EXPECT_FALSE(PathExists(WinStationListFile::TemporaryFor(path)));
    }
  }
}

TEST(WinStationListFile, LoadRefusedOrAllowedByOtherHandles) {
  struct Row {
    const char* label;
    DWORD access;  // of the other handle
    DWORD share;
    DWORD error;  // 0: the load works
  } rows[] = {
      {"held without sharing", GENERIC_READ, 0, ERROR_SHARING_VIOLATION},
      {"held by a writer that shares all", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
       ERROR_SHARING_VIOLATION},
      {"held by a reader that shares reading", GENERIC_READ, FILE_SHARE_READ, 0},
  };
  TestFolder folder("load held");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "lista.qmx";
  ASSERT_TRUE(WriteWholeFile(path, "Rock\r\nJazz\r\n"));
  WinStationListFile list;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const ScopedHandle other = Hold(path, row.access, row.share);
    ASSERT_TRUE(other.valid());
    StationRows loaded;
    SetLastError(0xdeadbeef);
    const std::string error = ErrorOf([&] { loaded = list.Load(path); });
    if (row.error == 0) {
      EXPECT_EQ(error, "<no error>");
      EXPECT_EQ(loaded, (StationRows{"Rock", "Jazz"}));
    } else {
      EXPECT_EQ(error, "Cannot open file \"" + path + "\". " + ExpectedSystemText(row.error));
      EXPECT_TRUE(loaded.empty());
    }
  }
}

TEST(WinStationListFile, LoadErrorNamesTheFullPath) {
  TestFolder folder("load missing");
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(SetCurrentDirectoryA(folder.path().c_str()));
  WinStationListFile list;
  SetLastError(0xdeadbeef);
  const std::string error = ErrorOf([&] { list.Load("lista.qmx"); });
  EXPECT_EQ(error, "Cannot open file \"" + folder.path() + "lista.qmx\". " +
                       ExpectedSystemText(ERROR_FILE_NOT_FOUND));
  SetCurrentDirectoryA("C:\\");
}

TEST(WinStationListFile, RefusedSaveKeepsTheOldListWhole) {
  const std::string old_bytes = "Old 1\r\nOld 2\r\n";
  struct Row {
    const char* label;
    // Makes the save fail; "" or why it could not.
    std::string (*arrange)(const std::string& list, ScopedHandle& held);
    bool leftover_stays;  // a temporary that was there before and could not be opened
  } rows[] = {
      {"list held without sharing",
       [](const std::string& list, ScopedHandle& held) {
         held = Hold(list, GENERIC_READ, 0);
         return std::string(held ? "" : "cannot hold the list");
       },
       false},
      {"list held by a reader that shares reading only",
       [](const std::string& list, ScopedHandle& held) {
         held = Hold(list, GENERIC_READ, FILE_SHARE_READ);
         return std::string(held ? "" : "cannot hold the list");
       },
       false},
      {"temporary held without sharing",
       [](const std::string& list, ScopedHandle& held) {
         const std::string temporary = WinStationListFile::TemporaryFor(list);
         if (!WriteWholeFile(temporary, "leftover")) return "no temporary"s;
         held = Hold(temporary, GENERIC_READ, 0);
         return std::string(held ? "" : "cannot hold the temporary");
       },
       true},
  };
  WinStationListFile list;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestFolder folder("save refused");
    ASSERT_TRUE(folder.ok());
    const std::string path = folder.path() + "lista.qmx";
    const std::string temporary = WinStationListFile::TemporaryFor(path);
    ASSERT_TRUE(WriteWholeFile(path, old_bytes));
    ScopedHandle held;
    ASSERT_EQ(row.arrange(path, held), "");
    SetLastError(0xdeadbeef);
    const std::string error = ErrorOf([&] { list.Save(path, {"New"}); });
    held.reset();
    EXPECT_EQ(error.rfind("Cannot create file \"" + path + "\". ", 0), 0u) << error;
    EXPECT_GT(error.size(), ("Cannot create file \"" + path + "\". ").size());
    EXPECT_EQ(ReadWholeFile(path), old_bytes);
    EXPECT_EQ(PathExists(temporary), row.leftover_stays);
  }
}

TEST(WinStationListFile, SaveWaitsOutABriefHolder) {
  // A scanner that opens the fresh list for a moment must not make the
  // save fail: the holder lets go well inside the save's patience.
  TestFolder folder("save brief holder");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "lista.qmx";
  ASSERT_TRUE(WriteWholeFile(path, "Old\r\n"));
  ScopedHandle held = Hold(path, GENERIC_READ, 0);
  ASSERT_TRUE(held.valid());
  std::thread holder([&held] {
    Sleep(100);
    held.reset();
  });
  WinStationListFile list;
  const std::string error = ErrorOf([&] { list.Save(path, {"New"}); });
  holder.join();
  EXPECT_EQ(error, "<no error>");
  EXPECT_EQ(ReadWholeFile(path), "New\r\n");
  EXPECT_FALSE(PathExists(WinStationListFile::TemporaryFor(path)));
}

TEST(WinStationListFile, SaveOverAReadOnlyList) {
  TestFolder folder("save read-only");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "lista.qmx";
  ASSERT_TRUE(WriteWholeFile(path, "Old\r\n"));
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  struct Restore {
    const std::string& path;
    ~Restore() { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }
  } restore{path};
  {
    const ScopedHandle writer = Hold(path, GENERIC_WRITE, FILE_SHARE_READ);
    // Wine run by root writes through the attribute: a held list covers
    // the refused save there, and the test script covers a locked file.
    if (writer) GTEST_SKIP() << "the read-only attribute does not refuse writers here";
  }
  WinStationListFile list;
  SetLastError(0xdeadbeef);
  EXPECT_EQ(ErrorOf([&] { list.Save(path, {"New"}); }),
            "Cannot create file \"" + path + "\". " + ExpectedSystemText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadWholeFile(path), "Old\r\n");
  EXPECT_FALSE(PathExists(WinStationListFile::TemporaryFor(path)));
}

TEST(WinStationListFile, SaveIntoAMissingFolderNamesTheList) {
  TestFolder folder("save nowhere");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "gone\\lista.qmx";
  WinStationListFile list;
  SetLastError(0xdeadbeef);
  EXPECT_EQ(ErrorOf([&] { list.Save(path, {"A"}); }),
            "Cannot create file \"" + path + "\". " + ExpectedSystemText(ERROR_PATH_NOT_FOUND));
}

TEST(WinStationListFile, LeftoverTemporaryNeverReplacesTheList) {
  TestFolder folder("leftover");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "lista.qmx";
  const std::string temporary = WinStationListFile::TemporaryFor(path);
  ASSERT_TRUE(WriteWholeFile(path, "Kept\r\n"));
  ASSERT_TRUE(WriteWholeFile(temporary, "Half writ"));
  WinStationListFile list;
  StationRows loaded;
  EXPECT_EQ(ErrorOf([&] { loaded = list.Load(path); }), "<no error>");
  EXPECT_EQ(loaded, StationRows{"Kept"});
  EXPECT_EQ(ReadWholeFile(temporary), "Half writ");  // loading leaves it alone

  EXPECT_EQ(ErrorOf([&] { list.Save(path, {"Kept", "Added"}); }), "<no error>");
  EXPECT_EQ(ReadWholeFile(path), "Kept\r\nAdded\r\n");
  EXPECT_FALSE(PathExists(temporary));
}

TEST(WinStationListFile, LargeListsKeepEveryRowInOrder) {
  struct Row {
    const char* label;
    int count;
    size_t width;  // of each name
  } rows[] = {
      {"100,000 rows", 100000, 8},
      {"1,000,000 rows, 50 MiB", 1000000, 50},
  };
  TestFolder folder("large");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "lista.qmx";
  WinStationListFile list;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    StationRows stations;
    stations.reserve(row.count);
    for (int i = 0; i < row.count; ++i) {
      std::string name = std::to_string(row.count - i);  // descending: no sorting sneaks in
      name.resize(row.width, '.');
      stations.push_back(std::move(name));
    }
    EXPECT_EQ(ErrorOf([&] { list.Save(path, stations); }), "<no error>");
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(data.nFileSizeLow, row.count * (row.width + 2));
    StationRows loaded;
    EXPECT_EQ(ErrorOf([&] { loaded = list.Load(path); }), "<no error>");
    EXPECT_TRUE(loaded == stations);  // not EXPECT_EQ: a failure would print a million rows
  }
}

TEST(WinFileProbe, FilesOnly) {
  TestFolder folder("probe \xD3\xE9");
  ASSERT_TRUE(folder.ok());
  ASSERT_TRUE(WriteWholeFile(folder.path() + "lista.qmx", ""));
  ASSERT_TRUE(WriteWholeFile(folder.path() + "\xD1\xEF\xEA.jpg", "x"));
  ASSERT_TRUE(CreateDirectoryA((folder.path() + "images").c_str(), nullptr));
  struct Row {
    const char* label;
    std::string name;
    bool exists;
  } rows[] = {
      {"empty file", "lista.qmx", true},
      {"8-bit name", "\xD1\xEF\xEA.jpg", true},
      {"folder", "images", false},
      {"missing", "radio.ini", false},
      {"missing below a missing folder", "none\\tvxlogo.jpg", false},
  };
  WinFileProbe probe;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(probe.FileExists(folder.path() + row.name), row.exists);
  }
}

TEST(WinFileProbe, ModuleFileNameIsThisProgram) {
  WinFileProbe probe;
  const std::string name = probe.ModuleFileName();
  ASSERT_GT(name.size(), 4u);
  EXPECT_EQ(name.substr(name.size() - 4), ".exe");
  EXPECT_EQ(FullPathName(name), name);  // already absolute
  EXPECT_TRUE(probe.FileExists(name));
}

TEST(SystemErrorText, TidiedOrNamedByCode) {
  struct Row {
    const char* label;
    DWORD code;
  } rows[] = {
      {"file not found", ERROR_FILE_NOT_FOUND},
      {"access denied", ERROR_ACCESS_DENIED},
      {"sharing violation", ERROR_SHARING_VIOLATION},
      {"disk full", ERROR_DISK_FULL},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    const std::string text = SystemErrorText(row.code);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(text.back()), ' ');
  }
  EXPECT_EQ(SystemErrorText(0x2BADC0DE), "System error " + std::to_string(0x2BADC0DE));
}

}  // namespace
