#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "core/application_host_win.h"
#include "win/window_base_win.h"

// The application object: the title, the hidden top-level application
// window that carries it (the window a second copy finds and brings
// forward), and the event loop.
//
// The application window is never shown. It owns the main window, and
// whatever is done to it from outside is passed on to the main window:
// activating it, bringing it to the top or restoring it while the main
// window is minimised brings the main window forward and restores it.
class Application final : public ApplicationHost, public BaseWindow<Application> {
 public:
  Application(HINSTANCE instance, std::string title);
  ~Application() override;

  HWND Handle() const override { return hwnd_; }
  std::string Title() const override { return title_; }
  void SuppressMainWindowAndTerminate() override;

  HINSTANCE Instance() const { return instance_; }
  bool Terminated() const { return terminated_; }

  // The window everything is passed on to; its minimised state is
  // mirrored on the application window, so that IsIconic on it tells.
  void SetMainWindow(HWND main_window);
  void MainWindowMinimised(bool minimised);

  // Called with every message the event loop takes from the queue, before
  // it is dispatched; empty for none.
  void WatchInput(std::function<void(const MSG&)> watcher) { watcher_ = std::move(watcher); }

  // Runs the event loop until the main window is destroyed (or the program
  // is told to end before it shows). Every message passes the input watcher
  // first; the keyboard's dialog keys (Tab, Enter, Escape) go through
  // IsDialogMessage on the main window. A held Enter acts once, here and in
  // every dialog box of this thread: its repeats are dropped.
  int Run();

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  // `restore`: a minimised main window is restored as well.
  void BringMainWindowForward(bool restore);
  LRESULT OnWindowPosChanging(WINDOWPOS& position);

  HINSTANCE instance_;
  std::string title_;
  HWND main_window_ = nullptr;
  std::function<void(const MSG&)> watcher_;
  HHOOK enter_filter_ = nullptr;  // this thread's message filter, for held Enter
  bool terminated_ = false;
  bool forwarding_ = false;
  bool changing_state_ = false;  // our own minimise or restore of this window
};
