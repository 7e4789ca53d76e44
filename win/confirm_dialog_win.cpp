#include "win/confirm_dialog_win.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "win/dpi_win.h"
#include "win/gdi_handles_win.h"
#include "win/window_base_win.h"

namespace {

constexpr int kTextId = 100;
constexpr int kIconId = 101;
constexpr DWORD kDialogStyle =
    DS_MODALFRAME | DS_SETFONT | DS_SHELLFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct DialogState {
  const std::string* text;
  HWND owner;
  int dpi;
  ScopedIcon icon;  // the question mark at the dialog's size
};

// Dialog templates hold their strings as UTF-16 whatever the A/W call.
void AppendWide(std::vector<WORD>& out, const wchar_t* text) {
  do {
    out.push_back(static_cast<WORD>(*text));
  } while (*text++ != L'\0');
}

// An empty dialog; the controls are made in WM_INITDIALOG, where the font
// and the text's size are known.
std::vector<WORD> MakeTemplate() {
  std::vector<WORD> data(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  DLGTEMPLATE head{};
  head.style = kDialogStyle;
  head.cdit = 0;
  head.cx = 100;
  head.cy = 50;
  std::memcpy(data.data(), &head, sizeof head);
  data.push_back(0);  // no menu
  data.push_back(0);  // the standard dialog class
  AppendWide(data, L"Confirm");
  data.push_back(8);  // point size of the dialog font
  AppendWide(data, L"MS Shell Dlg");
  return data;
}

int DialogUnitsX(HWND dialog, int units) {
  RECT rect{0, 0, units, 0};
  MapDialogRect(dialog, &rect);
  return rect.right;
}

int DialogUnitsY(HWND dialog, int units) {
  RECT rect{0, 0, 0, units};
  MapDialogRect(dialog, &rect);
  return rect.bottom;
}

HWND MakeChild(HWND dialog, const char* window_class, const char* text, DWORD style, int id,
               HFONT font) {
  HWND child = CreateChildWindow(dialog, id, window_class, text, style, RECT{});
  if (child != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

SIZE MeasureText(HWND dialog, HFONT font, const std::string& text, int max_width, UINT format) {
  RECT rect{0, 0, max_width, 0};
  const ScopedGetDc dc(dialog);
  if (!dc) return SIZE{max_width, 0};
  const ScopedSelect selected(dc.get(), font);
  const int length = static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
  DrawTextA(dc.get(), text.data(), length, &rect, format | DT_CALCRECT);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void Layout(HWND dialog, DialogState& state) {
  const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  const RECT work = WorkAreaFor(state.owner != nullptr ? state.owner : dialog);
  const int work_width = work.right - work.left;
  const int work_height = work.bottom - work.top;

  const int margin = DialogUnitsX(dialog, 7);
  const int gap = DialogUnitsX(dialog, 4);
  const int button_width = DialogUnitsX(dialog, 50);
  const int button_height = DialogUnitsY(dialog, 14);
  const int icon_size = SystemMetricForDpi(SM_CXICON, state.dpi);

  // The frame's size, to keep the whole window on the screen.
  const RECT frame = FrameForClient(RECT{0, 0, 0, 0}, kDialogStyle, 0, state.dpi);
  const int frame_width = frame.right - frame.left;
  const int frame_height = frame.bottom - frame.top;

  constexpr UINT kFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
  const int max_text_width =
      std::max(button_width * 2, work_width / 2 - 3 * margin - icon_size - frame_width);
  const int max_text_height =
      std::max(icon_size, work_height - frame_height - 3 * margin - button_height);
  SIZE text = MeasureText(dialog, font, *state.text, max_text_width, kFormat);
  const bool scrolls = text.cy > max_text_height;
  if (scrolls) {
    text.cx = max_text_width;
    text.cy = max_text_height;
  }
  text.cx = std::max<LONG>(text.cx, 1);

  const int content_height = std::max<int>(icon_size, text.cy);
  const int client_width =
      std::max<int>(3 * margin + icon_size + text.cx, 2 * margin + 2 * button_width + gap);
  const int client_height = 3 * margin + content_height + button_height;

  HWND icon = MakeChild(dialog, "STATIC", nullptr, SS_ICON, kIconId, font);
  // The system's shared icon where its size is the one wanted; drawn
  // afresh at another DPI's size, not stretched.
  HICON question = LoadIconA(nullptr, IDI_QUESTION);
  if (icon_size != GetSystemMetrics(SM_CXICON)) {
    state.icon.reset(
        static_cast<HICON>(LoadImageA(nullptr, IDI_QUESTION, IMAGE_ICON, icon_size, icon_size, 0)));
    if (state.icon) question = state.icon.get();
  }
  SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(question), 0);
  MoveWindow(icon, margin, margin, icon_size, icon_size, FALSE);

  // The text is set after creation: a window's creation text is cut at the
  // first NUL and is not meant for long texts.
  HWND body =
      scrolls
          ? MakeChild(dialog, "EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL,
                      kTextId, font)
          : MakeChild(dialog, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kTextId, font);
  SetWindowTextA(body, state.text->c_str());
  const int text_top = margin + (content_height - text.cy) / 2;
  MoveWindow(body, 2 * margin + icon_size, text_top, text.cx + (scrolls ? margin : 0), text.cy,
             FALSE);

  const int buttons_top = 2 * margin + content_height;
  const int no_left = client_width - margin - button_width;
  HWND yes =
      MakeChild(dialog, "BUTTON", "&Yes", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES, font);
  HWND no = MakeChild(dialog, "BUTTON", "&No", BS_PUSHBUTTON | WS_TABSTOP, IDNO, font);
  MoveWindow(yes, no_left - gap - button_width, buttons_top, button_width, button_height, FALSE);
  MoveWindow(no, no_left, buttons_top, button_width, button_height, FALSE);
  SendMessageA(dialog, DM_SETDEFID, IDYES, 0);

  const int width = client_width + frame_width;
  const int height = client_height + frame_height;
  const POINT at = CentredIn(work, width, height);
  SetWindowPos(dialog, nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SetFocus(yes);
}

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  // Nothing may throw out of here into the system's dialog code.
  try {
    switch (message) {
      case WM_INITDIALOG:
        Layout(dialog, *reinterpret_cast<DialogState*>(lparam));
        return FALSE;  // the focus is set already
      case WM_COMMAND:
        switch (LOWORD(wparam)) {
          case IDYES:
          case IDOK:  // Enter with the default button
            EndDialog(dialog, IDYES);
            return TRUE;
          case IDNO:
          case IDCANCEL:  // Escape, and the close button through WM_CLOSE
            EndDialog(dialog, IDNO);
            return TRUE;
          default:
            return FALSE;
        }
      default:
        return FALSE;
    }
  } catch (...) {
    EndDialog(dialog, IDNO);
    return TRUE;
  }
}

}  // namespace

bool ShowConfirmDialog(HWND owner, const std::string& text, int dpi) {
  const std::vector<WORD> dialog_template = MakeTemplate();
  DialogState state{&text, owner, dpi, ScopedIcon(nullptr)};
  const INT_PTR answer = DialogBoxIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialog_template.data()), owner,
      ConfirmProc, reinterpret_cast<LPARAM>(&state));
  return answer == IDYES;
}
