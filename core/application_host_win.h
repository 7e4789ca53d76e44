#pragma once

#include <windows.h>

#include <string>

// What the guard needs of the application object: its hidden top-level
// window (the one a second copy finds by its title), the title, and a way to
// end the program before the main window is ever shown.
class ApplicationHost {
 public:
  virtual ~ApplicationHost() = default;
  virtual HWND Handle() const = 0;
  virtual std::string Title() const = 0;
  // Do not show the main window, and end the event loop before it shows.
  virtual void SuppressMainWindowAndTerminate() = 0;
};
