#pragma once

#include <windows.h>

#include <string>

// The confirmation dialog: modal, titled "Confirm", a question icon, the
// text, and the buttons "&Yes" (the default) and "&No". Escape and the
// title bar's close button answer No. Sized to the text, wrapped to at most
// half the screen's width (a text too tall for the screen scrolls), and
// centred on the screen. True only when the answer is Yes.
//
// MessageBoxA with MB_YESNO would disable both Escape and the close
// button, so the dialog is one of our own. `dpi`: the owner's, which its
// icon and frame are sized for.
bool ShowConfirmDialog(HWND owner, const std::string& text, int dpi = USER_DEFAULT_SCREEN_DPI);
