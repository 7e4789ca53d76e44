#pragma once

// Recording fakes of the window and of the world, for the controller's tests.

#include <exception>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/controller/controller.h"
#include "base/user_error.h"
#include "core/on_air_fake.h"
#include "storage/list_file.h"

struct FakeView : ControlView {
  StationRows rows;
  int highlighted = -1;
  std::string name;
  bool auto_run = false;
  bool shift_held = false;          // Shift down at the first activation
  std::vector<std::string> events;  // dialogs and pictures, in order
  bool confirm_answer = true;
  int hint_pause = 0;
  bool discarded = false;
  std::string logo_error;  // when set, LoadLogo throws it

  int RowCount() const override { return static_cast<int>(rows.size()); }
  std::string RowText(int i) const override { return rows.at(static_cast<size_t>(i)); }
  StationRows Rows() const override { return rows; }
  void SetRows(const StationRows& r) override { rows = r; }
  void AddRow(const std::string& t) override { rows.push_back(t); }
  void DeleteRow(int i) override { rows.erase(rows.begin() + i); }
  int HighlightedRow() const override { return highlighted; }
  void SetHighlightedRow(int i) override { highlighted = (i >= 0 && i < RowCount()) ? i : -1; }
  std::string NameText() const override { return name; }
  void SetNameText(const std::string& t) override { name = t; }
  bool AutoRunChecked() const override { return auto_run; }
  bool ShiftHeldAtStart() const override { return shift_held; }
  void SetAutoRunChecked(bool c) override { auto_run = c; }
  void ShowMessage(const std::string& t) override { events.push_back("message: " + t); }
  bool Confirm(const std::string& t) override {
    events.push_back("confirm: " + t);
    return confirm_answer;
  }
  void ShowError(const std::string& t) override { events.push_back("error: " + t); }
  void LoadLogo(const std::string& p) override {
    if (!logo_error.empty()) throw UserError(logo_error);
    events.push_back("logo: " + p);
  }
  void LoadBackground(const std::string& p) override { events.push_back("background: " + p); }
  void SetHintHidePause(int ms) override { hint_pause = ms; }
  void Discard() override { discarded = true; }
};

struct FakeWorld : FileProbe,
                   StationListFile,
                   SettingsOpener,
                   StationFolders,
                   ProgramLauncher,
                   MessageTexts,
                   InstanceGuard,
                   FakeOnAir {
  std::string module = "C:\\Radio Suite\\morvelle.exe";
  std::map<std::string, std::string> files;  // path -> content
  std::string load_error, save_error;        // thrown when set
  std::exception_ptr load_exception;         // thrown by Load when set
  std::vector<StationRows> saves;
  std::vector<std::string> launches;  // "file|params|folder|show"
  std::vector<std::string> folder_calls;
  mutable std::vector<int> texts_asked;  // numbers asked of the library
  FolderRemoval removal = FolderRemoval::kDeleted;
  std::map<std::string, bool> ini;  // key -> value, as written
  bool ini_write_fails = false;
  int ini_writes = 0;
  bool another_copy = false;
  Tmusicstations* controller = nullptr;

  bool FileExists(const std::string& p) const override { return files.count(p) != 0; }
  std::string ModuleFileName() const override { return module; }
  StationRows Load(const std::string& p) override {
    if (!load_error.empty()) throw UserError(load_error);
    if (load_exception) std::rethrow_exception(load_exception);
    return ParseStationRows(files.at(p));
  }
  void Save(const std::string& p, const StationRows& rows) override {
    if (!save_error.empty()) throw UserError(save_error);
    saves.push_back(rows);
    files[p] = SerializeStationRows(rows);
  }
  struct Store : SettingsStore {
    FakeWorld& w;
    explicit Store(FakeWorld& world) : w(world) {}
    bool ReadBool(const std::string&, const std::string& key, bool fallback) override {
      auto it = w.ini.find(key);
      return it == w.ini.end() ? fallback : it->second;
    }
    void WriteBool(const std::string&, const std::string& key, bool value) override {
      if (w.ini_write_fails) throw UserError("Unable to write to C:\\Radio Suite\\radio.ini");
      ++w.ini_writes;
      w.ini[key] = value;
    }
  };
  std::unique_ptr<SettingsStore> Open(const std::string&) override {
    return std::make_unique<Store>(*this);
  }
  void Create(const std::string& dir, const std::string& name) override {
    folder_calls.push_back("create " + dir + name);
  }
  FolderRemoval Remove(const std::string& dir, const std::string& name,
                       const StationRows& remaining) override {
    folder_calls.push_back("remove " + dir + name + " leaving " + std::to_string(remaining.size()));
    return removal;
  }
  // The scheduler's starts are launches too, but for a station on air.
  StartOutcome Start(const std::string& station, const std::string& f, const std::string& p,
                     const std::string& d, int s) override {
    const StartOutcome outcome = FakeOnAir::Start(station, f, p, d, s);
    if (outcome != StartOutcome::kAlreadyOnAir) Launch(f, p, d, s);
    return outcome;
  }
  void Launch(const std::string& f, const std::string& p, const std::string& d, int s) override {
    launches.push_back(f + "|" + p + "|" + d + "|" + std::to_string(s));
  }
  std::string Text(int n) const override {
    texts_asked.push_back(n);
    return "T" + std::to_string(n);
  }
  std::string Own(OwnText id) const override {
    switch (id) {
      case OwnText::kFolderKept:
        return "own: folder kept";
      case OwnText::kListNotLoaded:
        return "own: list %s not loaded";
      case OwnText::kOutOfMemory:
        return "own: out of memory";
      case OwnText::kStationOnAir:
        return "own: %s on air";
    }
    return std::string();
  }
  void SetEnabled(bool enabled) override {
    if (enabled && another_copy && controller) controller->JustOneAlreadyExist();
  }
};
