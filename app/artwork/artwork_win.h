#pragma once

#include <windows.h>

#include "win/gdi_handles_win.h"

// One of the button bitmaps of app/artwork_ids.h (IDB_...) for a monitor of
// `dpi`: at 96 (or a dpi <= 0) the 1x resource as it is; at any other the
// same picture drawn afresh at dpi / 96, so its edges stay sharp. Either way
// a 24-bit DIB section whose transparent pixels are MORVELLE_ARTWORK_KEY; a
// strip's two frames are each exactly half its width. Empty for an id that
// is not a button bitmap. Drawing takes milliseconds: keep the result for as
// long as the DPI stays.
ScopedBitmap LoadArtworkAt(HINSTANCE instance, int id, int dpi);
