#include "onair/event_log_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/test_folder_win.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "a line without its end";
  return lines;
}

TEST(EventLogTest, OneLinePerEventWithTimeStationEventAndProcess) {
  TestFolder folder("morvelle-log");
  ASSERT_TRUE(folder.ok());
  EventLog log(folder.path() + "morvelle.log");
  log.Write("Rock FM", "crashed " + ExitCodeText(0xC0000005u), 4242);
  log.Write("Jazz", "could not be started", 0);

  const std::vector<std::string> lines = Lines(ReadWholeFile(log.path()));
  ASSERT_EQ(lines.size(), 2u);
  const struct {
    std::string tail;
  } rows[] = {{"\tRock FM\tcrashed 0xC0000005\tpid 4242"}, {"\tJazz\tcould not be started"}};
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(lines[i]);
    // "2026-12-11 14:02:03": local time to the second.
    ASSERT_GT(lines[i].size(), 19u);
    const std::string time = lines[i].substr(0, 19);
    for (std::size_t k = 0; k < time.size(); ++k) {
      const char expected = k == 4 || k == 7 ? '-' : k == 10 ? ' ' : k == 13 || k == 16 ? ':' : '9';
      if (expected == '9') {
        EXPECT_TRUE(time[k] >= '0' && time[k] <= '9') << k;
      } else {
        EXPECT_EQ(time[k], expected) << k;
      }
    }
    EXPECT_EQ(lines[i].substr(19), rows[i].tail);
  }
}

// The full file moves to ".1" and a new one begins, the lines going on in
// order across the two. A reader that does not share deletion, or that
// still holds the file moved to ".1" (which cannot be replaced then), makes
// it start over in place instead: lines are lost, never the limit.
TEST(EventLogTest, StaysBelowItsLimitWhileReadersHoldIt) {
  const struct {
    const char* label;
    DWORD reader_share;  // 0: no reader
    bool moved;
    bool continuous;  // the newest ".1" ends where the current file begins
  } rows[] = {
      {"no reader", 0, true, true},
      {"a reader sharing everything", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true,
       false},
      {"a reader sharing no deletion", FILE_SHARE_READ | FILE_SHARE_WRITE, false, false},
  };
  constexpr std::uint64_t kLimit = 1000;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    TestFolder folder("morvelle-log");
    ASSERT_TRUE(folder.ok());
    EventLog log(folder.path() + "morvelle.log", kLimit);
    log.Write("Rock", "started", 1);
    ScopedHandle reader;
    if (row.reader_share != 0) {
      reader.reset(CreateFileA(log.path().c_str(), GENERIC_READ, row.reader_share, nullptr,
                               OPEN_EXISTING, 0, nullptr));
      ASSERT_TRUE(reader.valid());
    }
    for (int i = 2; i <= 100; ++i) {
      log.Write("Rock", "started", static_cast<unsigned long>(i));
      const std::string bytes = ReadWholeFile(log.path());
      ASSERT_LT(bytes.size(), kLimit) << i;
      // The reader sees every line the moment it is written.
      ASSERT_NE(bytes.find("\tpid " + std::to_string(i) + "\r\n"), std::string::npos) << i;
    }
    const std::vector<std::string> current = Lines(ReadWholeFile(log.path()));
    ASSERT_FALSE(current.empty());
    EXPECT_NE(current.back().find("\tpid 100"), std::string::npos);
    const std::string older = ReadWholeFile(log.path() + ".1");
    if (!row.moved) {
      EXPECT_EQ(older, "<missing>");
      continue;
    }
    ASSERT_NE(older, "<missing>");
    EXPECT_LT(older.size(), kLimit);
    const std::vector<std::string> old_lines = Lines(older);
    ASSERT_FALSE(old_lines.empty());
    const std::string first_current = current.front().substr(current.front().find("pid ") + 4);
    const std::string last_older = old_lines.back().substr(old_lines.back().find("pid ") + 4);
    EXPECT_EQ(std::stoi(last_older) + 1 == std::stoi(first_current), row.continuous);
  }
}

TEST(EventLogTest, ALogThatCannotBeWrittenLosesItsLinesOnly) {
  TestFolder folder("morvelle-log");
  ASSERT_TRUE(folder.ok());
  const std::string path = folder.path() + "no such folder\\morvelle.log";
  EventLog log(path);
  log.Write("Rock", "started", 1);
  EXPECT_FALSE(PathExists(path));
  // Once the folder is there, the next line is written.
  ASSERT_TRUE(CreateDirectoryA((folder.path() + "no such folder").c_str(), nullptr));
  log.Write("Rock", "started", 2);
  EXPECT_EQ(Lines(ReadWholeFile(path)).size(), 1u);
}

}  // namespace
