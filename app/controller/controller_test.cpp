#include "app/controller/controller.h"

#include <gtest/gtest.h>

#include "app/controller/controller_fakes.h"

namespace {

const std::string kDir = "C:\\Radio Suite\\";
const std::string kList = kDir + "lista.qmx";

struct Rig {
  FakeView view;
  FakeWorld world;
  Tmusicstations c{view, Outside{world, world, world, world, world, world, world}, world};
  Rig() { world.controller = &c; }
  void Start(const std::string& list = {}, bool has_list = false) {
    if (has_list) world.files[kList] = list;
    c.FormCreate();
  }
  void Select(int row) {
    view.highlighted = row;
    c.listaClick();
  }
  std::string File() { return world.files.count(kList) ? world.files[kList] : "<none>"; }
};

TEST(StartUp, EmptyInstallationOpensQuietly) {
  Rig r;
  r.Start();
  EXPECT_EQ(r.c.AppDir(), kDir);
  EXPECT_TRUE(r.view.events.empty());
  EXPECT_TRUE(r.view.rows.empty());
  EXPECT_FALSE(r.view.auto_run);
  EXPECT_EQ(r.view.hint_pause, 3000);
  EXPECT_EQ(r.c.CurrentStation(), "");
}

TEST(StartUp, StepsRunInOrderAndLoadEverything) {
  Rig r;
  r.world.files[kDir + "images/tvxlogo.jpg"] = "x";
  r.world.files[kDir + "images/tvxback.jpg"] = "x";
  r.world.ini["auto run"] = true;
  r.Start("Rock\r\nJazz\r\n", true);
  EXPECT_EQ(r.view.events,
            (std::vector<std::string>{"logo: " + kDir + "images/tvxlogo.jpg",
                                      "background: " + kDir + "images/tvxback.jpg"}));
  EXPECT_EQ(r.view.rows, (StationRows{"Rock", "Jazz"}));
  EXPECT_TRUE(r.view.auto_run);
}

TEST(StartUp, AppDirIsTheExecutablesFolderWithItsSeparator) {
  struct Row {
    const char* module;
    const char* dir;
  } rows[] = {
      {"C:\\Radio Suite\\morvelle.exe", "C:\\Radio Suite\\"},
      {"D:\\\xD1\xE1\xE4\xE9\xFC\\a b\\morvelle.exe", "D:\\\xD1\xE1\xE4\xE9\xFC\\a b\\"},
      {"\\\\server\\share\\morvelle.exe", "\\\\server\\share\\"},
      {"C:morvelle.exe", "C:"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.module);
    EXPECT_EQ(FolderOf(row.module), row.dir);
  }
}

// A failing step ends the start-up there: the error is shown once, the
// later steps do not run, and the window still opens.
TEST(StartUp, FailingStepEndsTheSequence) {
  struct Row {
    const char* label;
    bool logo_fails;
    bool list_fails;
    std::exception_ptr list_throws;
    const char* error;
  } rows[] = {
      {"picture", true, false, nullptr, "error: JPEG error #53"},
      {"list", false, true, nullptr,
       "error: Cannot open file \"C:\\Radio Suite\\lista.qmx\". Busy"},
      // A huge list or picture, most likely in the 32-bit build.
      {"list out of memory", false, false, std::make_exception_ptr(std::bad_alloc()),
       "error: own: out of memory"},
      {"list too long", false, false, std::make_exception_ptr(std::length_error("basic_string")),
       "error: own: out of memory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Rig r;
    r.world.files[kDir + "images/tvxlogo.jpg"] = "x";
    if (row.logo_fails) r.view.logo_error = "JPEG error #53";
    if (row.list_fails)
      r.world.load_error = "Cannot open file \"C:\\Radio Suite\\lista.qmx\". Busy";
    r.world.load_exception = row.list_throws;
    r.world.ini["auto run"] = true;
    r.Start("Rock\r\n", true);
    EXPECT_EQ(r.view.events.back(), row.error);
    EXPECT_TRUE(r.view.rows.empty());
    EXPECT_FALSE(r.view.auto_run);
    EXPECT_EQ(r.view.hint_pause, 0);
    EXPECT_FALSE(r.c.SettingsOpened());
    // Closing writes nothing and does not fail.
    r.c.FormClose();
    EXPECT_EQ(r.world.ini_writes, 0);
    // The stored list was never loaded: adding must not replace it.
    r.view.name = "Jazz";
    EXPECT_THROW(r.c.plhnClick(1), UserError);
    EXPECT_EQ(r.File(), "Rock\r\n");
    EXPECT_EQ(r.view.rows, (StationRows{"Jazz"}));
  }
}

TEST(StartUp, EndedEarlyWithNoStoredListSavesNormally) {
  Rig r;
  r.world.files[kDir + "images/tvxlogo.jpg"] = "x";
  r.view.logo_error = "JPEG error #53";
  r.Start();
  r.view.name = "Jazz";
  r.c.plhnClick(1);
  EXPECT_EQ(r.File(), "Jazz\r\n");
}

TEST(StartUp, AnotherCopyDiscardsTheWindowAndDoesNothingMore) {
  Rig r;
  r.world.another_copy = true;
  r.world.files[kDir + "images/tvxlogo.jpg"] = "x";
  r.Start("Rock\r\n", true);
  EXPECT_TRUE(r.view.discarded);
  EXPECT_TRUE(r.c.Discarded());
  EXPECT_TRUE(r.view.events.empty());
  EXPECT_TRUE(r.view.rows.empty());
  EXPECT_FALSE(r.c.SettingsOpened());
  r.c.FormClose();
  EXPECT_EQ(r.world.ini_writes, 0);
}

TEST(Add, BlankNamesAreRefusedWithText104) {
  const std::string names[] = {"", " ", std::string(250, ' ')};
  for (const auto& name : names) {
    SCOPED_TRACE(name.size());
    Rig r;
    r.Start("A\r\n", true);
    r.view.name = name;
    r.c.plhnClick(1);
    EXPECT_EQ(r.view.events, (std::vector<std::string>{"message: T104"}));
    EXPECT_EQ(r.view.rows, (StationRows{"A"}));
    EXPECT_TRUE(r.world.saves.empty());
    EXPECT_TRUE(r.world.folder_calls.empty());
    EXPECT_EQ(r.view.name, name);
  }
}

TEST(Add, NamesThatAreNotBlankAreKeptAsTyped) {
  const std::string names[] = {"\t", std::string(251, ' '), " Rock ", "a\\b",
                               "\xC1\xE8\xDE\xED\xE1"};
  for (const auto& name : names) {
    SCOPED_TRACE(name);
    Rig r;
    r.Start();
    r.view.name = name;
    r.c.plhnClick(7);  // any tag but 0 adds
    EXPECT_EQ(r.view.rows, (StationRows{name}));
    EXPECT_EQ(r.File(), name + "\r\n");
  }
}

TEST(Add, AppendsCreatesFoldersHighlightsAndSavesButKeepsTheCurrentStation) {
  Rig r;
  r.Start("Rock\r\n", true);
  r.view.name = "Rock";
  r.c.plhnClick(1);
  EXPECT_EQ(r.view.rows, (StationRows{"Rock", "Rock"}));
  EXPECT_EQ(r.File(), "Rock\r\nRock\r\n");
  EXPECT_EQ(r.world.folder_calls, (std::vector<std::string>{"create " + kDir + "Rock"}));
  EXPECT_EQ(r.view.name, "");
  EXPECT_EQ(r.view.highlighted, 1);
  EXPECT_EQ(r.c.CurrentStation(), "");
  // Nothing was chosen yet: remove and both runs ask for a station.
  r.c.plhnClick(0);
  r.c.Button1Click(0);
  r.c.Button1Click(1);
  EXPECT_EQ(r.view.events, std::vector<std::string>(3, "message: T105"));
  EXPECT_EQ(r.view.rows.size(), 2u);
  EXPECT_TRUE(r.world.launches.empty());
}

TEST(Add, FailedSaveIsRaisedAndTheRowStays) {
  Rig r;
  r.Start();
  r.world.save_error = "Cannot create file \"C:\\Radio Suite\\lista.qmx\". Access is denied";
  r.view.name = "Rock";
  EXPECT_THROW(r.c.plhnClick(1), UserError);
  EXPECT_EQ(r.view.rows, (StationRows{"Rock"}));
  EXPECT_EQ(r.world.folder_calls.size(), 1u);
}

TEST(Remove, ConfirmedRemovalDeletesRowFolderAndSaves) {
  Rig r;
  r.Start("A\r\nRock\r\nC\r\n", true);
  r.Select(1);
  r.c.plhnClick(0);
  EXPECT_EQ(r.view.events, (std::vector<std::string>{"confirm: T103 (Rock)"}));
  EXPECT_EQ(r.view.rows, (StationRows{"A", "C"}));
  EXPECT_EQ(r.world.folder_calls, (std::vector<std::string>{"remove " + kDir + "Rock leaving 2"}));
  EXPECT_EQ(r.view.highlighted, 1);  // the row that followed
  EXPECT_EQ(r.c.CurrentStation(), "Rock");
  EXPECT_EQ(r.File(), "A\r\nC\r\n");
}

TEST(Remove, AnsweredNoChangesNothing) {
  Rig r;
  r.Start("A\r\nB\r\n", true);
  r.Select(0);
  r.view.confirm_answer = false;
  r.c.plhnClick(0);
  EXPECT_EQ(r.view.rows, (StationRows{"A", "B"}));
  EXPECT_TRUE(r.world.folder_calls.empty());
  EXPECT_TRUE(r.world.saves.empty());
  EXPECT_EQ(r.view.highlighted, 0);
}

TEST(Remove, LastRowThenAgainReportsIndexOutOfBounds) {
  Rig r;
  r.Start("A\r\nB\r\n", true);
  r.Select(1);
  r.c.plhnClick(0);
  EXPECT_EQ(r.view.highlighted, -1);
  EXPECT_EQ(r.File(), "A\r\n");
  try {
    r.c.plhnClick(0);
    ADD_FAILURE() << "no error";
  } catch (const UserError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_EQ(r.view.rows, (StationRows{"A"}));
  EXPECT_EQ(r.world.saves.size(), 1u);
}

TEST(Remove, KeptFolderIsToldAfterTheRowGoesAndTheListIsSaved) {
  Rig r;
  r.Start("..\r\nB\r\n", true);
  r.Select(0);
  r.world.removal = FolderRemoval::kKept;
  r.c.plhnClick(0);
  EXPECT_EQ(r.view.rows, (StationRows{"B"}));
  EXPECT_EQ(r.File(), "B\r\n");
  EXPECT_EQ(r.view.events.back(), "message: own: folder kept");
}

TEST(Remove, FailedSaveKeepsTheRemovalInTheWindow) {
  Rig r;
  r.Start("A\r\nB\r\n", true);
  r.Select(0);
  r.world.save_error = "Cannot create file \"x\". Denied";
  EXPECT_THROW(r.c.plhnClick(0), UserError);
  EXPECT_EQ(r.view.rows, (StationRows{"B"}));
  EXPECT_EQ(r.world.folder_calls.size(), 1u);
  EXPECT_EQ(r.File(), "A\r\nB\r\n");
}

TEST(Launch, RunButtonsPassTheCurrentStationUnquoted) {
  Rig r;
  r.Start("Rock FM\r\n", true);
  r.Select(0);
  r.c.Button1Click(0);
  r.c.Button1Click(1);
  r.c.SpeedButton3Click();
  EXPECT_EQ(r.world.launches,
            (std::vector<std::string>{kDir + "talvex.exe|Rock FM||5",
                                      kDir + "brevold.exe|Rock FM||5", kDir + "captelle.exe|||5"}));
}

TEST(Launch, RecorderNeedsNoStation) {
  Rig r;
  r.Start();
  r.c.SpeedButton3Click();
  EXPECT_EQ(r.world.launches, (std::vector<std::string>{kDir + "captelle.exe|||5"}));
  EXPECT_TRUE(r.view.events.empty());
}

TEST(AutoRun, StartsTheSchedulerForEveryRowInOrder) {
  struct Row {
    const char* label;
    const char* list;
    bool checked;
    bool shift;
    std::vector<std::string> params;
    int messages;
  } rows[] = {
      {"three rows", "A\r\nB\r\nC\r\n", true, false, {"A", "B", "C"}, 0},
      {"blank row in the middle", "A\r\n\r\nC\r\n", true, false, {"A", "C"}, 1},
      {"empty list", "", true, false, {}, 0},
      {"box clear", "A\r\nB\r\n", false, false, {}, 0},
      {"Shift held at the start", "A\r\nB\r\n", true, true, {}, 0},
      {"Shift held, box clear", "A\r\nB\r\n", false, true, {}, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    Rig r;
    r.world.ini["auto run"] = row.checked;
    r.Start(row.list, true);
    r.view.shift_held = row.shift;
    r.c.FormActivate();
    std::vector<std::string> want;
    for (const auto& p : row.params) want.push_back(kDir + "talvex.exe|" + p + "||5");
    EXPECT_EQ(r.world.launches, want);
    EXPECT_EQ(static_cast<int>(r.view.events.size()), row.messages);
    EXPECT_EQ(r.view.highlighted, -1);
    if (row.checked && !row.shift && !r.view.rows.empty()) {
      EXPECT_EQ(r.c.CurrentStation(), r.view.rows.back());
    }
  }
}

// A start with Shift held skips this start's auto-run only: the box keeps
// its state, the close writes it as always, and the next start runs again.
TEST(AutoRun, ShiftSkipsThisStartOnly) {
  FakeWorld world;
  world.ini["auto run"] = true;
  world.files[kList] = "A\r\nB\r\n";
  for (const bool shift : {true, false}) {
    SCOPED_TRACE(shift ? "with Shift" : "the next start, without");
    FakeView view;
    Tmusicstations c{view, Outside{world, world, world, world, world, world, world}, world};
    world.controller = &c;
    world.launches.clear();
    c.FormCreate();
    view.shift_held = shift;
    c.FormActivate();
    EXPECT_EQ(world.launches.size(), shift ? 0u : 2u);
    EXPECT_TRUE(view.auto_run);
    EXPECT_EQ(c.CurrentStation(), shift ? "" : "B");
    c.FormClose();
    EXPECT_TRUE(world.ini["auto run"]);
  }
  EXPECT_EQ(world.ini_writes, 2);
}

// The library is asked for its three texts and nothing else, whatever the
// operator does: an installation's own library has other texts under other
// numbers.
TEST(Texts, TheLibraryIsAskedFor103To105Only) {
  Rig r;
  r.Start("..\r\nA\r\n\r\n", true);
  r.c.plhnClick(1);     // blank name: 104
  r.c.Button1Click(0);  // no station: 105
  r.c.plhnClick(0);     // no station: 105
  r.Select(0);
  r.world.removal = FolderRemoval::kKept;
  r.c.plhnClick(0);  // 103, then the folder kept: our own text
  EXPECT_EQ(r.view.events.back(), "message: own: folder kept");
  r.Select(1);
  r.c.FormActivate();
  for (int n : r.world.texts_asked) {
    EXPECT_TRUE(n >= 103 && n <= 105) << n;
  }
  EXPECT_EQ(r.world.texts_asked, (std::vector<int>{104, 105, 105, 103}));
}

TEST(Texts, AListNeverLoadedIsToldInTheProgramsOwnWords) {
  Rig r;
  r.world.files[kList] = "A\r\n";
  r.view.logo_error = "JPEG error #53";
  r.world.files[kDir + "images/tvxlogo.jpg"] = "x";
  r.c.FormCreate();
  r.view.name = "B";
  try {
    r.c.plhnClick(1);
    FAIL() << "the save of a list never loaded went through";
  } catch (const UserError& e) {
    EXPECT_EQ(std::string(e.what()), "own: list " + kList + " not loaded");
  }
  EXPECT_EQ(r.File(), "A\r\n");
}

TEST(AutoRun, LeavesTheLastRowCurrentWithNothingHighlighted) {
  Rig r;
  r.world.ini["auto run"] = true;
  r.Start("A\r\nB\r\n", true);
  r.c.FormActivate();
  r.world.launches.clear();
  r.world.statuses.clear();  // every scheduler stopped
  r.c.Button1Click(0);       // runs B again
  EXPECT_EQ(r.world.launches, (std::vector<std::string>{kDir + "talvex.exe|B||5"}));
  EXPECT_THROW(r.c.plhnClick(0), UserError);  // nothing highlighted
  EXPECT_EQ(r.view.rows.size(), 2u);
}

// Never a second scheduler for a station: Run shows the one on air, auto-run
// passes it by, and a station on air or waiting to restart is not removed.
TEST(OnAir, NoSecondSchedulerAndNoRemovalWhileOnAir) {
  Rig r;
  r.world.ini["auto run"] = true;
  r.Start("A\r\nB\r\nC\r\n", true);
  ASSERT_EQ(r.world.calls, (std::vector<std::string>{"adopt"})) << "before any start";
  r.world.SetOnAir("A");  // adopted: an earlier run started it
  r.world.statuses["C"].state = AirState::kRestarting;
  r.c.FormActivate();
  EXPECT_EQ(r.world.launches,
            (std::vector<std::string>{kDir + "talvex.exe|B||5", kDir + "talvex.exe|C||5"}))
      << "auto-run passes A by and starts C at once";
  EXPECT_TRUE(r.view.events.empty()) << "silently";

  r.world.launches.clear();
  r.Select(1);
  r.c.Button1Click(0);
  r.c.Button1Click(0);
  EXPECT_TRUE(r.world.launches.empty());
  EXPECT_EQ(r.world.calls.back(), "front: B");

  struct Row {
    const char* label;
    AirState state;
  } rows[] = {{"on air", AirState::kOnAir}, {"restarting", AirState::kRestarting}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    r.view.events.clear();
    r.world.statuses["B"].state = row.state;
    r.c.plhnClick(0);
    EXPECT_EQ(r.view.events, (std::vector<std::string>{"message: own: B on air"}));
    EXPECT_EQ(r.view.rows, (StationRows{"A", "B", "C"}));
    EXPECT_EQ(r.File(), "A\r\nB\r\nC\r\n");
    EXPECT_TRUE(r.world.folder_calls.empty());
  }
}

TEST(OnAir, AnotherCopyAdoptsNothing) {
  Rig r;
  r.world.another_copy = true;
  r.Start();
  EXPECT_TRUE(r.world.calls.empty());
}

TEST(Close, WritesTheFlagEveryTimeAndRaisesARefusedWrite) {
  Rig r;
  r.Start();
  r.view.auto_run = true;
  r.c.FormClose();
  EXPECT_TRUE(r.world.ini["auto run"]);
  r.view.auto_run = false;
  r.c.FormClose();
  EXPECT_FALSE(r.world.ini["auto run"]);
  EXPECT_EQ(r.world.ini_writes, 2);
  r.world.ini_write_fails = true;
  EXPECT_THROW(r.c.FormClose(), UserError);
}

}  // namespace
