#pragma once

#include <windows.h>

#include <string>

#include "core/titles.h"

// The message box: the text, the application title, no icon and one "OK"
// button that is both the default and the cancel button. Centred on the
// screen.
void ShowMessageBox(HWND owner, const std::string& text);

// The error box: the error's text with the closing full stop rule, the
// application title, a stop icon and one OK button. Centred on the screen.
void ShowErrorBox(HWND owner, const std::string& text);
