#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Answers WM_GETOBJECT for a standard control (a list box, an edit box) with
// the system's own accessible object for it, save for its description,
// which becomes `description`: what a screen reader reads after the
// control's name and role. oleacc.dll and oleaut32.dll are loaded only when
// an accessibility client first asks, so a start-up without one pays
// nothing. Nothing when the message asks for anything but the client object
// or the system lacks the libraries: the control's own procedure answers.
std::optional<LRESULT> AnswerGetObject(HWND control, WPARAM wparam, LPARAM lparam,
                                       const std::wstring& description);
