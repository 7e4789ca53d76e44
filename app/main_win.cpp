#include <windows.h>

#include <cstdlib>

#include "app/application_win.h"
#include "app/controller/controller.h"
#include "app/main_window_win.h"
#include "base/com_apartment_win.h"
#include "base/system_library_win.h"
#include "guard/single_instance_win.h"
#include "launch/launcher_win.h"
#include "onair/on_air_win.h"
#include "onair/process_watcher_win.h"
#include "storage/file_probe_win.h"
#include "storage/list_file_win.h"
#include "storage/settings_win.h"
#include "storage/station_folders_win.h"
#include "textlib/message_texts_win.h"
#include "win/dialogs_win.h"

namespace {

int RunController(HINSTANCE instance) {
  // Before anything is started: the schedulers inherit it, and one that
  // crashes ends at once instead of waiting behind the system's crash
  // dialog with nobody at the desk.
  SetQuietCrashErrorMode();
  RestrictLibrarySearch();
  const UiThreadApartment apartment;
  Application application(instance, kApplicationTitle);
  if (application.Handle() == nullptr) return 1;

  WinFileProbe files;
  WinStationListFile list;
  WinSettingsOpener settings;
  WinStationFolders folders;
  HWND owner = nullptr;
  ShellLauncher launcher(owner);
  LibraryMessageTexts texts;
  WinOnAir on_air(FolderOf(files.ModuleFileName()), owner);

  MainWindow window(application);
  TXJustOne guard(application);
  guard.SwitchToPrevious = true;
  guard.ApplicationTitle = kApplicationTitle;
  Tmusicstations musicstations(
      window, Outside{files, list, settings, folders, launcher, texts, on_air}, guard);
  guard.AlreadyExist = [&musicstations](TXJustOne&) { musicstations.JustOneAlreadyExist(); };
  guard.Loaded();  // disabled here: the controller switches it on at start-up

  if (!window.Create(musicstations)) return 1;
  owner = window.Handle();
  window.ShowOnAir(on_air);
  // Palette mode is measured once, before anything is drawn.
  (void)JpegPicture::PaletteMode();

  musicstations.FormCreate();
  // Another copy runs: this one ends without a window and without writing.
  if (musicstations.Discarded() || application.Terminated()) return 0;

  window.ShowCentred();
  return application.Run();
}

}  // namespace

#ifdef __GLIBCXX__
// The library's default terminate handler names the exception on stderr,
// which this program has none of, and brings the whole C++ demangler into
// the program. It ends the program with abort after printing; so does this.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    return RunController(instance);
  } catch (...) {
    // Everything the operator is told about is caught where it happens;
    // this is the last guard against an exception leaving the program.
    return 1;
  }
}
