#pragma once

#include <memory>
#include <string>

#include "core/ports.h"

// Message text numbers of the message-text library: the only numbers the
// program asks it for.
inline constexpr int kTextConfirmRemove = 103;
inline constexpr int kTextTypeName = 104;
inline constexpr int kTextChooseStation = 105;

// The show mode every program is started with: SW_SHOW (not SW_SHOWNORMAL).
inline constexpr int kSwShow = 5;
inline constexpr int kHintHidePauseMs = 3000;

inline constexpr char kListFileName[] = "lista.qmx";
inline constexpr char kSettingsFileName[] = "radio.ini";
inline constexpr char kLogoFileName[] = "images/tvxlogo.jpg";
inline constexpr char kBackgroundFileName[] = "images/tvxback.jpg";
inline constexpr char kSchedulerFileName[] = "talvex.exe";
inline constexpr char kHistoryFileName[] = "brevold.exe";
inline constexpr char kRecorderFileName[] = "captelle.exe";
inline constexpr char kSettingsSection[] = "MAC";
inline constexpr char kAutoRunKey[] = "auto run";

// The folder part of an executable's full path, with its trailing separator.
std::string FolderOf(const std::string& module_path);

// The controller: its state and one handler per window event. Handlers let
// UserError pass to the caller, which shows it in the error box.
class Tmusicstations {
 public:
  Tmusicstations(ControlView& view, Outside outside, InstanceGuard& guard);

  void FormCreate();
  void FormActivate();  // the window calls it on its first activation only
  void FormClose();     // throws when the flag cannot be written: close abandoned
  void listaClick();
  void plhnClick(int sender_tag);
  void Button1Click(int sender_tag);
  void SpeedButton3Click();
  void JustOneAlreadyExist();

  const std::string& AppDir() const { return app_dir_; }
  const std::string& CurrentStation() const { return current_station_; }
  bool Discarded() const { return discarded_; }
  bool SettingsOpened() const { return settings_ != nullptr; }

 private:
  void StartUp();
  // The scheduler for the current station; `by_operator`: Run, Enter or a
  // double click, which bring a scheduler already on air to the front.
  void RunScheduler(bool by_operator);
  // False, after telling the operator to choose one, when no station is.
  bool StationChosen();
  void Add();
  void Remove();
  void SaveRows();
  std::string ListPath() const { return app_dir_ + kListFileName; }

  ControlView& view_;
  Outside outside_;
  InstanceGuard& guard_;

  std::string app_dir_;
  std::string current_station_;
  std::unique_ptr<SettingsStore> settings_;
  bool discarded_ = false;
  // True once the rows in the window are known to be the stored list (it
  // was loaded, or there was none). Until then a save could replace stations
  // that were never loaded, and is refused while the file exists.
  bool rows_match_file_ = false;
};
