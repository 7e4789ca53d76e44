#include "app/controls/station_list_box_win.h"

#include <algorithm>

#include "app/controls/accessible_description_win.h"
#include "base/system_text_win.h"
#include "base/user_error.h"
#include "win/window_base_win.h"

namespace {

constexpr char kOutOfListSpace[] = "Not enough memory for the station list";

// What a screen reader says after the list's name and role: the keys that
// do what the buttons do, the buttons taking no focus.
constexpr wchar_t kListDescription[] =
    L"Enter runs the TALVEX Scheduler for the chosen station. Delete removes the chosen station.";

// Upper case in the ANSI code page, so that Greek station names match
// whatever case the operator types.
unsigned char UpperInCodePage(unsigned char c) {
  char letter[2] = {static_cast<char>(c), '\0'};
  CharUpperBuffA(letter, 1);
  return static_cast<unsigned char>(letter[0]);
}

}  // namespace

bool StationListBox::Create(HWND parent, int id, const RECT& rect, Events events) {
  events_ = std::move(events);
  const HWND list = CreateChildWindow(
      parent, id, "LISTBOX", "",
      WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, rect,
      WS_EX_CLIENTEDGE);
  return list != nullptr && Attach(list);
}

int StationListBox::RowCount() const {
  const LRESULT count = SendMessageA(hwnd_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string StationListBox::RowText(int index) const {
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length <= 0) return std::string();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) return std::string();
  text.resize(std::min(static_cast<std::size_t>(got), static_cast<std::size_t>(length)));
  return Narrow(text);
}

StationRows StationListBox::Rows() const {
  StationRows rows;
  const int count = RowCount();
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) rows.push_back(RowText(i));
  return rows;
}

void StationListBox::SetRows(const StationRows& rows) {
  // One repaint and one allocation for the whole list, however long.
  SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(hwnd_, LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (const auto& row : rows) bytes += row.size() + 1;
  SendMessageA(hwnd_, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
  bool complete = true;
  // Straight to the list box's own procedure, there being one message per
  // row: ours passes these on untouched.
  for (const auto& row : rows) {
    const auto units = Wide(row);
    const LRESULT at = !units ? LB_ERR
                              : CallOriginal(LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(units->c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) {
      complete = false;
      break;
    }
  }
  SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd_, nullptr, TRUE);
  if (!complete) throw UserError(kOutOfListSpace);
}

void StationListBox::AddRow(const std::string& text) {
  const auto units = Wide(text);
  const LRESULT at = !units ? LB_ERR
                            : SendMessageW(hwnd_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(units->c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) throw UserError(kOutOfListSpace);
}

void StationListBox::DeleteRow(int index) {
  SendMessageA(hwnd_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int StationListBox::HighlightedRow() const {
  const LRESULT row = SendMessageA(hwnd_, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

void StationListBox::SetHighlightedRow(int index) {
  // LB_SETCURSEL sends no selection notification.
  const WPARAM row =
      (index >= 0 && index < RowCount()) ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
  SendMessageA(hwnd_, LB_SETCURSEL, row, 0);
}

bool StationListBox::TypeLetter(char c, std::uint32_t time_ms) {
  if (!type_ahead_.Key(c, time_ms)) return false;
  const int row = FindFirstRow(
      RowCount(), [this](int i) { return RowText(i); }, type_ahead_.Prefix(), UpperInCodePage);
  if (row < 0) return false;
  SendMessageA(hwnd_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  return true;
}

LRESULT StationListBox::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETOBJECT) {
    const auto answer =
        AnswerGetObject(hwnd_, wparam, lparam, AccessibleTexts{{}, kListDescription});
    return answer ? *answer : CallOriginal(message, wparam, lparam);
  }
  // A held key repeats nothing.
  if (message == WM_KEYDOWN && wparam == VK_DELETE && (lparam & (1 << 30)) == 0) {
    if (events_.delete_key) events_.delete_key();
    return 0;
  }
  if (message == WM_CHAR) {
    // The list's own search looks at one letter only; ours at all typed,
    // as bytes of the code page the rows are in. A letter the code page
    // lacks can begin no row.
    const auto unit = static_cast<wchar_t>(wparam);
    char letter = 0;
    BOOL lossy = FALSE;
    // The UTF-8 code page takes no question about lossy conversions.
    const bool fits = WideCharToMultiByte(CP_ACP, 0, &unit, 1, &letter, 1, nullptr,
                                          GetACP() == CP_UTF8 ? nullptr : &lossy) == 1 &&
                      !lossy;
    if (fits && TypeLetter(letter, static_cast<std::uint32_t>(GetMessageTime())) &&
        events_.chosen_by_typing) {
      events_.chosen_by_typing();
    }
    return 0;
  }
  return CallOriginal(message, wparam, lparam);
}
