#pragma once

// Resource ids of the program's artwork. Shared by the resource script and
// the window, so it stays plain preprocessor text that windres can read.
//
// Every bitmap is a 24-bit BMP. Pixels of the key colour, magenta
// (255, 0, 255), are transparent: the window draws the pictures with
// TransparentBlt (or a mask) keyed on MORVELLE_ARTWORK_KEY over the
// button face.

// The program icon comes first in the resource script so Explorer shows it.
#define IDI_MORVELLE 1

// Run buttons: 32 x 32 pictures.
#define IDB_RUN_SCHEDULER 101
#define IDB_RUN_HISTORY 102
#define IDB_RUN_RECORDER 103

// Remove and add: 50 x 25 strips of two 25 x 25 frames, normal then disabled.
#define IDB_REMOVE_STATION 104
#define IDB_ADD_STATION 105

// The key colour as a COLORREF (0x00BBGGRR).
#define MORVELLE_ARTWORK_KEY 0x00FF00FF

#define MORVELLE_RUN_PICTURE_SIZE 32
#define MORVELLE_STRIP_FRAME_SIZE 25
