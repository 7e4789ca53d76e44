#pragma once

// Child-window ids of the controller window's controls, for the window and
// for anything that finds a control with GetDlgItem on its parent panel.
// What each control is for; the names are the controls' own. Where each
// sits and what it shows: window_layout.h.
enum ControlId : int {
  kIdWindow = 0,    // the controller window itself: parent of the two panels
  kIdPanel1 = 100,  // top bar, child of the window; the rest of this block are its children
  kIdImage6,        // the logo picture, images/tvxlogo.jpg, filling the bar
  kIdLabel1,        // the "Morvelle" title
  kIdPlhn,          // remove button: removes the chosen station (plhnClick, tag 0)
  kIdSyn,           // add button: adds the name typed in msname (plhnClick, tag 1)
  kIdPanel2,        // main panel, child of the window; the rest are its children
  kIdImage1,        // the background picture, images/tvxback.jpg
  kIdEpikef,        // the list's header, "Music station name"
  kIdLista,         // the station list: a click chooses (listaClick), a double click runs
  kIdLtitle,        // the "Name" label of msname
  kIdMsname,        // the name field: the name of a station to add
  kIdLabel5,        // the "Auto run music stations" label of autorun
  kIdAutorun,       // the auto-run check box, stored in radio.ini
  kIdSpeedButton2,  // runs the scheduler for the chosen station (Button1Click, tag 0)
  kIdSpeedButton1,  // runs the history viewer for the chosen station (Button1Click, tag 1)
  kIdSpeedButton3,  // runs the recorder (SpeedButton3Click)
};
