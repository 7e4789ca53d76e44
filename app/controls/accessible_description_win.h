#pragma once

#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>
#include <utility>

#include "win/window_base_win.h"

// What a screen reader reads for a control of ours that the system's object
// gets wrong: its name (the label beside it is painted by its panel, not a
// window the system could find) and its description (after the name and
// the role). Empty: the system's own.
struct AccessibleTexts {
  std::wstring name;
  std::wstring description;
};

// The calls an answer is made of; the system's own in the program, others
// in tests that make an answer fail.
struct AccessibleCalls {
  HRESULT(WINAPI* create)(HWND, LONG, REFIID, void**) = nullptr;  // CreateStdAccessibleObject
  LRESULT(WINAPI* result)(REFIID, WPARAM, LPUNKNOWN) = nullptr;   // LresultFromObject
  BSTR(WINAPI* alloc)(const OLECHAR*) = nullptr;                  // SysAllocString
};

// oleacc.dll and oleaut32.dll, from the system folder, loaded when an
// accessibility client first asks, so that a start-up without one pays
// nothing. Members null where a library or function is missing.
const AccessibleCalls& SystemAccessibleCalls();

// Answers WM_GETOBJECT for a standard control (a list box, an edit box, a
// check box) with the system's own accessible object for it, save for
// `texts`. Nothing when the message asks for anything but the client
// object, or when making or handing out the answer failed: the control's
// own procedure answers then, and the client still gets the system's object.
std::optional<LRESULT> AnswerGetObject(HWND control, WPARAM wparam, LPARAM lparam,
                                       const AccessibleTexts& texts,
                                       const AccessibleCalls& calls = SystemAccessibleCalls());

// A control of another class (made in ANSI, as ours are) that answers
// WM_GETOBJECT with `texts` and leaves every other message to its own
// procedure.
class DescribedControl final : public Subclass<DescribedControl> {
 public:
  [[nodiscard]] bool Describe(HWND control, AccessibleTexts texts) {
    texts_ = std::move(texts);
    return Attach(control);
  }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  AccessibleTexts texts_;
};
