#include "app/controller/controller.h"

#include <new>
#include <stdexcept>

#include "base/texts.h"
#include "base/user_error.h"
#include "storage/station_names.h"

namespace {

constexpr char kIndexError[] = "List index out of bounds (%d)";

}  // namespace

std::string FolderOf(const std::string& module_path) {
  const auto at = module_path.find_last_of("\\/:");
  if (at == std::string::npos) return std::string();
  return module_path.substr(0, at + 1);
}

Tmusicstations::Tmusicstations(ControlView& view, Outside outside, InstanceGuard& guard)
    : view_(view), outside_(outside), guard_(guard) {}

void Tmusicstations::FormCreate() {
  try {
    StartUp();
  } catch (const UserError& error) {
    // The start-up ends at the failing step; the window still opens.
    view_.ShowError(error.what());
  } catch (const std::bad_alloc&) {
    // A list file or picture too large for the memory the program has
    // (the 32-bit build's most of all): told like any other failing step.
    // Nothing was kept of it, so the list is still "not loaded".
    view_.ShowError(outside_.texts.Own(OwnText::kOutOfMemory));
  } catch (const std::length_error&) {
    view_.ShowError(outside_.texts.Own(OwnText::kOutOfMemory));
  }
}

void Tmusicstations::StartUp() {
  app_dir_ = FolderOf(outside_.files.ModuleFileName());

  guard_.SetEnabled(true);
  if (discarded_) return;  // another copy runs: nothing more is done here

  // Before anything can start a scheduler: those an earlier run started
  // (even one that was killed) count as on air, and get no second.
  outside_.on_air.AdoptEarlier();

  if (outside_.files.FileExists(app_dir_ + kLogoFileName)) view_.LoadLogo(app_dir_ + kLogoFileName);
  if (outside_.files.FileExists(app_dir_ + kBackgroundFileName)) {
    view_.LoadBackground(app_dir_ + kBackgroundFileName);
  }

  if (outside_.files.FileExists(ListPath())) view_.SetRows(outside_.list.Load(ListPath()));
  rows_match_file_ = true;

  settings_ = outside_.settings.Open(app_dir_ + kSettingsFileName);
  view_.SetAutoRunChecked(settings_->ReadBool(kSettingsSection, kAutoRunKey, false));

  view_.SetHintHidePause(kHintHidePauseMs);
}

void Tmusicstations::FormActivate() {
  // Shift skips this start's auto-run only; the box, and so the setting
  // written at close, stay as they are.
  if (!view_.AutoRunChecked() || view_.ShiftHeldAtStart()) return;
  const int n = view_.RowCount();
  for (int i = 0; i < n; ++i) {
    current_station_ = view_.RowText(i);
    RunScheduler(false);
  }
}

void Tmusicstations::FormClose() {
  // Without a settings store (start-up ended early) there is nothing to write.
  if (!settings_) return;
  settings_->WriteBool(kSettingsSection, kAutoRunKey, view_.AutoRunChecked());
}

void Tmusicstations::listaClick() {
  const int k = view_.HighlightedRow();
  if (k >= 0 && k < view_.RowCount()) current_station_ = view_.RowText(k);
}

void Tmusicstations::plhnClick(int sender_tag) {
  if (sender_tag == 0) {
    Remove();
  } else {
    Add();
  }
}

void Tmusicstations::Add() {
  const std::string name = view_.NameText();
  if (IsBlank(name)) {
    view_.ShowMessage(outside_.texts.Text(kTextTypeName));
    return;
  }
  view_.AddRow(name);
  const int n = view_.RowCount();
  outside_.folders.Create(app_dir_, name);
  view_.SetNameText(std::string());
  view_.SetHighlightedRow(n - 1);
  SaveRows();
}

void Tmusicstations::Remove() {
  const int k = view_.HighlightedRow();
  if (!StationChosen()) return;
  if (k < 0 || k >= view_.RowCount()) throw UserError(FillNumber(kIndexError, k));
  const std::string name = view_.RowText(k);
  // Its scheduler has the station's folders open: refused before the
  // question, the row, the list and the folders as they are.
  if (outside_.on_air.Status(name).state != AirState::kOff) {
    view_.ShowMessage(FillText(outside_.texts.Own(OwnText::kStationOnAir), {name}));
    return;
  }
  if (!view_.Confirm(outside_.texts.Text(kTextConfirmRemove) + " (" + name + ")")) return;

  view_.DeleteRow(k);
  const FolderRemoval removal = outside_.folders.Remove(app_dir_, name, view_.Rows());
  view_.SetHighlightedRow(k);
  SaveRows();
  if (removal == FolderRemoval::kKept) view_.ShowMessage(outside_.texts.Own(OwnText::kFolderKept));
}

void Tmusicstations::SaveRows() {
  if (!rows_match_file_) {
    if (outside_.files.FileExists(ListPath()))
      throw UserError(FillText(outside_.texts.Own(OwnText::kListNotLoaded), {ListPath()}));
    rows_match_file_ = true;  // nothing stored to lose
  }
  outside_.list.Save(ListPath(), view_.Rows());
}

void Tmusicstations::Button1Click(int sender_tag) {
  if (sender_tag == 0) {
    RunScheduler(true);
  } else if (StationChosen()) {
    outside_.launcher.Launch(app_dir_ + kHistoryFileName, current_station_, std::string(), kSwShow);
  }
}

bool Tmusicstations::StationChosen() {
  if (!IsBlank(current_station_)) return true;
  view_.ShowMessage(outside_.texts.Text(kTextChooseStation));
  return false;
}

void Tmusicstations::RunScheduler(bool by_operator) {
  if (!StationChosen()) return;
  // Never a second scheduler for a station: the one on air is shown
  // instead (auto-run skips it; either way the log says so).
  const StartOutcome outcome = outside_.on_air.Start(
      current_station_, app_dir_ + kSchedulerFileName, current_station_, std::string(), kSwShow);
  if (outcome == StartOutcome::kAlreadyOnAir && by_operator) {
    outside_.on_air.BringToFront(current_station_);
  }
}

void Tmusicstations::SpeedButton3Click() {
  outside_.launcher.Launch(app_dir_ + kRecorderFileName, std::string(), std::string(), kSwShow);
}

void Tmusicstations::JustOneAlreadyExist() {
  discarded_ = true;
  view_.Discard();
}
