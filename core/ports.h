#pragma once

// The controller's view of the window and of the world around it. The Win32
// window and the Win32 services implement these; tests implement them with
// fakes that record what happened.

#include <memory>
#include <string>
#include <vector>

#include "core/on_air.h"
#include "core/station_rows.h"

// The window's controls. Row indices are valid unless stated otherwise.
class ControlView {
 public:
  virtual ~ControlView() = default;

  virtual int RowCount() const = 0;
  virtual std::string RowText(int index) const = 0;
  virtual StationRows Rows() const = 0;
  virtual void SetRows(const StationRows& rows) = 0;  // replaces every row
  virtual void AddRow(const std::string& text) = 0;
  virtual void DeleteRow(int index) = 0;
  // -1 when no row is highlighted. Setting it from the program never runs
  // the selection handler; an index out of range clears the highlight.
  virtual int HighlightedRow() const = 0;
  virtual void SetHighlightedRow(int index) = 0;

  virtual std::string NameText() const = 0;
  virtual void SetNameText(const std::string& text) = 0;
  virtual bool AutoRunChecked() const = 0;
  virtual void SetAutoRunChecked(bool checked) = 0;
  // Shift was held down when the window was first activated: the operator
  // asks for a start without auto-run.
  virtual bool ShiftHeldAtStart() const = 0;

  // The three modal dialogs. ShowError gets the error's own text; the view
  // applies the closing-full-stop rule.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual bool Confirm(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;

  // Pictures: load the JPEG at path into the top bar or the main panel.
  // Throws UserError ("JPEG error #%d") when its header cannot be read.
  virtual void LoadLogo(const std::string& path) = 0;
  virtual void LoadBackground(const std::string& path) = 0;
  virtual void SetHintHidePause(int milliseconds) = 0;

  // Discards the window at once: it is never shown.
  virtual void Discard() = 0;
};

class FileProbe {
 public:
  virtual ~FileProbe() = default;
  virtual bool FileExists(const std::string& path) const = 0;
  // The full path of the running executable.
  virtual std::string ModuleFileName() const = 0;
};

class StationListFile {
 public:
  virtual ~StationListFile() = default;
  // Both throw UserError with the operator's text on failure. Save never
  // leaves a partly written list: on failure the old file is as it was.
  virtual StationRows Load(const std::string& path) = 0;
  virtual void Save(const std::string& path, const StationRows& rows) = 0;
};

// One value per call; no file is held open between calls.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual bool ReadBool(const std::string& section, const std::string& key, bool fallback) = 0;
  // Throws UserError ("Unable to write to %s") when the system refuses.
  virtual void WriteBool(const std::string& section, const std::string& key, bool value) = 0;
};

class SettingsOpener {
 public:
  virtual ~SettingsOpener() = default;
  virtual std::unique_ptr<SettingsStore> Open(const std::string& path) = 0;  // never fails
};

enum class FolderRemoval {
  kDeleted,  // the station's own folder was handed to the shell for deletion
  kKept,     // the folder is not the station's alone (or not a plain folder): left alone
};

class StationFolders {
 public:
  virtual ~StationFolders() = default;
  // AppDir + name, + "\history", + "\data"; every failure ignored.
  virtual void Create(const std::string& app_dir, const std::string& name) = 0;
  // Deletes AppDir + name with everything in it, unless the folder is not
  // that station's alone: `remaining` are the rows that stay in the list.
  virtual FolderRemoval Remove(const std::string& app_dir, const std::string& name,
                               const StationRows& remaining) = 0;
};

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts file through the shell and returns at once; the result is not
  // looked at.
  virtual void Launch(const std::string& file, const std::string& parameters,
                      const std::string& folder, int show_mode) = 0;
};

// The program's own texts, kept in its resources.
enum class OwnText { kFolderKept, kListNotLoaded, kOutOfMemory, kStationOnAir };

class MessageTexts {
 public:
  virtual ~MessageTexts() = default;
  // A numbered text of the message-text library, which may be the maker's:
  // asked only for 103 to 105. Empty when the library has none.
  virtual std::string Text(int number) const = 0;
  // A text of the program's own ("%s" where Own's caller fills in a value).
  virtual std::string Own(OwnText id) const = 0;
};

// The single-instance guard as the controller switches it on. Setting
// Enabled runs the check; on another copy the guard calls the controller's
// JustOneAlreadyExist before it returns.
class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  virtual void SetEnabled(bool enabled) = 0;
};

struct Outside {
  FileProbe& files;
  StationListFile& list;
  SettingsOpener& settings;
  StationFolders& folders;
  ProgramLauncher& launcher;  // the history viewer and the recorder
  MessageTexts& texts;
  OnAir& on_air;  // the schedulers: started, watched and brought back
};
