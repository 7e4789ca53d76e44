#pragma once

// Child-window ids of the controller window's controls, for the window and
// for anything that finds a control with GetDlgItem on its parent panel.
enum ControlId : int {
  kIdPanel1 = 100,  // the top bar, child of the window
  kIdImage6,        // children of kIdPanel1
  kIdLabel1,
  kIdPlhn,
  kIdSyn,
  kIdPanel2,  // the main panel, child of the window
  kIdImage1,  // children of kIdPanel2
  kIdEpikef,
  kIdLista,
  kIdLtitle,
  kIdMsname,
  kIdLabel5,
  kIdAutorun,
  kIdSpeedButton2,
  kIdSpeedButton1,
  kIdSpeedButton3,
};

inline constexpr char kMainWindowClass[] = "Tmusicstations";
inline constexpr char kMainWindowCaption[] = "TALVEX Morvelle";
