#include "app/controls/station_list_box_win.h"

#include <algorithm>

#include "app/controller/air_words.h"
#include "app/controls/accessible_description_win.h"
#include "base/system_text_win.h"
#include "base/user_error.h"
#include "win/gdi_handles_win.h"
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

// The marks' colours: green on air, amber waiting to restart, red failing.
constexpr COLORREF kOnAirColour = RGB(40, 200, 60);
constexpr COLORREF kRestartingColour = RGB(250, 170, 20);
constexpr COLORREF kFailingColour = RGB(235, 50, 40);

// A mark in `box` (a square): a filled disc on air, a ring while waiting to
// restart, a filled square when failing; shapes as well as colours, for
// the operator who tells red from green badly.
void DrawMark(HDC dc, const RECT& box, const AirStatus& status) {
  const int size = box.right - box.left;
  const int inset = std::max(2, size / 4);
  const RECT shape{box.left + inset, box.top + inset, box.right - inset, box.bottom - inset};
  const COLORREF colour = status.failing                          ? kFailingColour
                          : status.state == AirState::kRestarting ? kRestartingColour
                                                                  : kOnAirColour;
  const ScopedBrush brush(CreateSolidBrush(colour));
  if (status.failing) {
    FillRect(dc, &shape, brush.get());
    return;
  }
  const bool ring = status.state == AirState::kRestarting;
  const ScopedPen pen(CreatePen(PS_SOLID, ring ? std::max(1, size / 8) : 1, colour));
  const ScopedSelect with_pen(dc, pen.get());
  const ScopedSelect with_brush(dc, ring ? GetStockObject(NULL_BRUSH) : brush.get());
  Ellipse(dc, shape.left, shape.top, shape.right, shape.bottom);
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

void StationListBox::SetAirStatus(const std::string& station, const AirStatus& status) {
  InvalidateMarkedRows();
  const bool highlighted = HighlightedRow() >= 0 && RowText(HighlightedRow()) == station;
  const auto known = std::find_if(air_.begin(), air_.end(),
                                  [&station](const auto& entry) { return entry.first == station; });
  if (status.state == AirState::kOff) {
    if (known != air_.end()) air_.erase(known);
  } else if (known != air_.end()) {
    known->second = status;
  } else {
    air_.emplace_back(station, status);
  }
  InvalidateMarkedRows();
  if (highlighted)
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

const AirStatus* StationListBox::AirOf(int row) const {
  if (air_.empty()) return nullptr;
  // Lengths first: a row of 50 MB is not copied to learn it is no station
  // on air. (The list holds UTF-16, the names ANSI bytes: a name's length in
  // one is within a few times its length in the other.)
  const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
  if (length == LB_ERR) return nullptr;
  const auto units = static_cast<std::size_t>(length);
  const bool possible = std::any_of(air_.begin(), air_.end(), [units](const auto& entry) {
    return entry.first.size() >= units / 2 && entry.first.size() <= units * 4;
  });
  if (!possible) return nullptr;
  const std::string text = RowText(row);
  for (const auto& entry : air_) {
    if (entry.first == text) return &entry.second;
  }
  return nullptr;
}

template <typename Visit>
void StationListBox::ForEachMarkedRow(Visit&& visit) const {
  if (air_.empty() || hwnd_ == nullptr) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int count = RowCount();
  for (int row = static_cast<int>(SendMessageA(hwnd_, LB_GETTOPINDEX, 0, 0)); row < count; ++row) {
    RECT place{};
    if (SendMessageA(hwnd_, LB_GETITEMRECT, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&place)) == LB_ERR ||
        place.top >= client.bottom) {
      break;
    }
    if (const AirStatus* status = AirOf(row)) visit(place, *status);
  }
}

void StationListBox::InvalidateMarkedRows() const {
  ForEachMarkedRow(
      [this](const RECT& place, const AirStatus&) { InvalidateRect(hwnd_, &place, FALSE); });
}

// The list box paints as ever; a marked row's picture is then moved right
// by the mark's width, and the mark drawn in the room that leaves. Rows
// without a mark are the list box's own pixels.
void StationListBox::PaintWithMarks() {
  PaintScope paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
  BufferedPaint buffer(paint.dc(), client.right, client.bottom);
  const HDC dc = buffer.dc();
  CallOriginal(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  ForEachMarkedRow([&](const RECT& place, const AirStatus& status) {
    const int height = place.bottom - place.top;
    const int width = place.right - place.left;
    const int room = height;
    if (width <= room) return;
    const COLORREF face = GetPixel(dc, place.left + 1, place.top + 1);
    ScopedMemoryDc row_dc(CreateCompatibleDC(dc));
    const ScopedBitmap row_picture(CreateCompatibleBitmap(dc, width, height));
    {
      const ScopedSelect with_picture(row_dc.get(), row_picture.get());
      BitBlt(row_dc.get(), 0, 0, width, height, dc, place.left, place.top, SRCCOPY);
      BitBlt(dc, place.left + room, place.top, width - room, height, row_dc.get(), 0, 0, SRCCOPY);
    }
    const RECT box{place.left, place.top, place.left + room, place.bottom};
    const ScopedBrush face_brush(CreateSolidBrush(face));
    FillRect(dc, &box, face_brush.get());
    DrawMark(dc, box, status);
  });
}

std::string StationListBox::AirWordsAt(POINT point) const {
  const LRESULT hit = SendMessageA(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  if (HIWORD(hit) != 0) return std::string();  // below the last row
  const AirStatus* status = AirOf(LOWORD(hit));
  return status != nullptr ? AirWords(*status) : std::string();
}

// The keys, and for the highlighted row what is known of its scheduler.
std::wstring StationListBox::Description() const {
  std::wstring description = kListDescription;
  const int row = HighlightedRow();
  const AirStatus* status = row >= 0 ? AirOf(row) : nullptr;
  if (status != nullptr) {
    if (const auto words = Wide(AirWords(*status))) description += L" " + *words + L".";
  }
  return description;
}

LRESULT StationListBox::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_GETOBJECT) {
    const auto answer = AnswerGetObject(hwnd_, wparam, lparam, AccessibleTexts{{}, Description()});
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
    InvalidateMarkedRows();
    return 0;
  }
  if (air_.empty()) return CallOriginal(message, wparam, lparam);
  switch (message) {
    case WM_PAINT:
      PaintWithMarks();
      return 0;
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_TIMER:
    case LB_SETCURSEL: {
      // The list box redraws a row it selects or focuses at once, not
      // through WM_PAINT: a marked row is drawn again with its mark.
      const LRESULT result = CallOriginal(message, wparam, lparam);
      InvalidateMarkedRows();
      return result;
    }
    default:
      return CallOriginal(message, wparam, lparam);
  }
}
