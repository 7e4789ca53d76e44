#pragma once

// How a test asks the stand-in sibling programs to behave as a scheduler
// that stays on air, crashes or is closed.
//
// A file "standins.stay" beside the stand-ins makes each one, after it has
// recorded its start, stay running with a small top-level window of class
// "MorvelleStandin", captioned with its program and parameters
// ("talvex.exe Rock FM"). Without the file they exit at once, as always.
// If the file begins with "crash", each one crashes at once instead.
// To the window a test posts:
//   kStandinCrash: the stand-in crashes: with WPARAM 0 by writing through a
//                  null pointer, a real access violation (exit code
//                  0xC0000005; 0xC000001D in the i686 build under qemu,
//                  whose emulation reports that fault as an illegal
//                  instruction); with any other WPARAM by raising that
//                  exception code unhandled, which ends it with that code
//                  in every build;
//   kStandinExit:  it exits with WPARAM as its exit code;
//   WM_CLOSE:      it exits with 0, as a scheduler closed by the operator.

#include <windows.h>

#include <string>

inline constexpr char kStandinStayFile[] = "standins.stay";
inline constexpr char kStandinWindowClass[] = "MorvelleStandin";
inline constexpr UINT kStandinCrash = WM_APP + 1;
inline constexpr UINT kStandinExit = WM_APP + 2;

inline std::string StandinCaption(const std::string& program, const std::string& parameters) {
  return parameters.empty() ? program : program + " " + parameters;
}

// The running stand-in started as `program` with `parameters`, or null.
inline HWND FindStandinWindow(const std::string& program, const std::string& parameters) {
  return FindWindowA(kStandinWindowClass, StandinCaption(program, parameters).c_str());
}
