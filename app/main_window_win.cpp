#include "app/main_window_win.h"

#include <algorithm>

#include "app/accessible_description_win.h"
#include "app/application_win.h"
#include "app/artwork_ids.h"
#include "app/confirm_dialog_win.h"
#include "app/controller.h"
#include "app/dialogs_win.h"
#include "app/hint_window_win.h"
#include "app/titles.h"
#include "base/system_text_win.h"
#include "base/user_error.h"

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr UINT kFirstActivation = WM_APP + 1;
constexpr char kOutOfListSpace[] = "Not enough memory for the station list";

// What a screen reader says after the control's name and role: the keys
// that do what the buttons do, the buttons taking no focus.
constexpr wchar_t kListDescription[] =
    L"Enter runs the TALVEX Scheduler for the chosen station. Delete removes the chosen station.";
constexpr wchar_t kNameDescription[] = L"Enter adds the station typed here.";

constexpr RECT Place(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}

ScopedFont MakeFont(const char* face, int height, BYTE charset, bool bold = false,
                    bool italic = false) {
  LOGFONTA font{};
  font.lfHeight = -height;
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = italic ? TRUE : FALSE;
  font.lfCharSet = charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return ScopedFont(CreateFontIndirectA(&font));
}

ScopedBitmap LoadArtwork(HINSTANCE instance, int id) {
  return ScopedBitmap(static_cast<HBITMAP>(
      LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

void SetFont(HWND control, HFONT font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Z order is tab order for IsDialogMessage: the first one is on top.
void StackInOrder(std::initializer_list<HWND> top_to_bottom) {
  HWND above = HWND_TOP;
  for (HWND window : top_to_bottom) {
    SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = window;
  }
}

// Upper case in the ANSI code page, so that Greek station names match
// whatever case the operator types.
unsigned char UpperInCodePage(unsigned char c) {
  char letter[2] = {static_cast<char>(c), '\0'};
  CharUpperBuffA(letter, 1);
  return static_cast<unsigned char>(letter[0]);
}

}  // namespace

MainWindow::MainWindow(Application& application)
    : application_(application),
      sans_(MakeFont("MS Sans Serif", 11, DEFAULT_CHARSET)),
      arial_(MakeFont("Arial", 11, DEFAULT_CHARSET)),
      arial_greek_(MakeFont("Arial", 11, GREEK_CHARSET)),
      title_font_(MakeFont("Arial", 15, DEFAULT_CHARSET, true, true)),
      grey_brush_(CreateSolidBrush(kDarkGrey)) {
  const HINSTANCE instance = application_.Instance();
  remove_strip_ = LoadArtwork(instance, IDB_REMOVE_STATION);
  add_strip_ = LoadArtwork(instance, IDB_ADD_STATION);
  scheduler_picture_ = LoadArtwork(instance, IDB_RUN_SCHEDULER);
  history_picture_ = LoadArtwork(instance, IDB_RUN_HISTORY);
  recorder_picture_ = LoadArtwork(instance, IDB_RUN_RECORDER);
}

MainWindow::~MainWindow() {
  application_.WatchInput(nullptr);
  if (lista_ != nullptr && list_procedure_ != nullptr) {
    RestoreWindowProcedure(lista_, list_procedure_, true);
  }
  if (msname_ != nullptr && name_procedure_ != nullptr) {
    RestoreWindowProcedure(msname_, name_procedure_, false);
  }
}

bool MainWindow::Create(Tmusicstations& controller) {
  controller_ = &controller;
  const HINSTANCE instance = application_.Instance();
  if (!RegisterWindowClass(instance,
                           WindowClass{kMainWindowClass, &BaseWindow<MainWindow>::Thunk,
                                       LoadIconA(instance, MAKEINTRESOURCEA(IDI_MORVELLE)),
                                       static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))})) {
    return false;
  }

  RECT frame = Place(0, 0, kClientWidth, kClientHeight);
  AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  if (CreateWindowExA(kWindowExStyle, kMainWindowClass, kMainWindowCaption, kWindowStyle,
                      CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                      frame.bottom - frame.top, application_.Handle(), nullptr, instance,
                      this) == nullptr) {
    return false;
  }
  SetFont(hwnd_, sans_.get());
  if (!CreateControls()) {
    DestroyWindow(hwnd_);
    return false;
  }
  application_.SetMainWindow(hwnd_);
  return true;
}

bool MainWindow::CreateControls() {
  hints_ = std::make_unique<HintWindow>(application_.Instance(), hwnd_);
  SetHintHidePause(kDefaultHintHidePauseMs);
  application_.WatchInput([this](const MSG& message) { hints_->Relay(message); });
  return CreateTopBar() && CreateMainPanel();
}

bool MainWindow::CreateTopBar() {
  panel1_ = std::make_unique<Panel>(kDarkGrey, false);
  if (!panel1_->Create(hwnd_, kIdPanel1, Place(0, 0, 308, 32))) return false;
  SetFont(panel1_->Handle(), sans_.get());

  image6_ = std::make_unique<PictureBox>(*panel1_);
  label1_ =
      std::make_unique<Label>(*panel1_, RGB(255, 255, 255), title_font_.get(), Label::Align::kLeft);
  plhn_ = std::make_unique<GlyphButton>(*panel1_, GlyphButton::Kind::kRaised, remove_strip_.get(),
                                        2, MORVELLE_ARTWORK_KEY);
  syn_ = std::make_unique<GlyphButton>(*panel1_, GlyphButton::Kind::kRaised, add_strip_.get(), 2,
                                       MORVELLE_ARTWORK_KEY);
  if (!image6_->Create(kIdImage6, Place(0, 0, 308, 32)) ||
      !label1_->Create(kIdLabel1, Place(132, 7, 66, 17), "Morvelle") ||
      !plhn_->Create(kIdPlhn, Place(256, 4, 25, 24), "Remove music station") ||
      !syn_->Create(kIdSyn, Place(280, 4, 25, 24), "Add music station")) {
    return false;
  }
  panel1_->SetPicture(&logo_, Place(0, 0, 308, 32));
  StackInOrder({plhn_->Handle(), syn_->Handle(), label1_->Handle(), image6_->Handle()});
  hints_->Add(plhn_->Handle(), "Remove music station");
  hints_->Add(syn_->Handle(), "Add music station");
  return true;
}

bool MainWindow::CreateMainPanel() {
  panel2_ = std::make_unique<Panel>(GetSysColor(COLOR_BTNFACE), true);
  if (!panel2_->Create(hwnd_, kIdPanel2, Place(0, 32, 308, 132))) return false;
  const HWND panel = panel2_->Handle();
  SetFont(panel, sans_.get());

  lista_ = CreateChildWindow(
      panel, kIdLista, "LISTBOX", "",
      WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
      Place(8, 25, 153, 100), WS_EX_CLIENTEDGE);
  msname_ = CreateChildWindow(panel, kIdMsname, "EDIT", "",
                              WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | ES_LEFT,
                              Place(204, 9, 97, 22), WS_EX_CLIENTEDGE);
  autorun_ =
      CreateChildWindow(panel, kIdAutorun, "BUTTON", "",
                        WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX, Place(285, 36, 15, 13));
  epikef_ = std::make_unique<Header>(arial_greek_.get(), 154);
  if (lista_ == nullptr || msname_ == nullptr || autorun_ == nullptr ||
      !epikef_->Create(panel, kIdEpikef, Place(8, 9, 154, 17), "Music station name")) {
    return false;
  }

  SetFont(lista_, arial_greek_.get());
  SetFont(msname_, arial_.get());
  SetFont(autorun_, sans_.get());
  SendMessageA(msname_, EM_SETLIMITTEXT, 0, 0);  // 0: as long as memory allows
  // Subclassed for the type-ahead through its window procedure, a Unicode
  // one, as the list box's own is: every row goes in and out in UTF-16,
  // ours and other programs' (screen readers, the test driver) alike. Under
  // Wine, a list text converted between ANSI and UTF-16 on its way passes a
  // fixed-size buffer that a row of more than 511 characters overruns,
  // which ends the program.
  list_procedure_ = SubclassWindow(lista_, &MainWindow::ListProcedure, this, true);
  if (list_procedure_ == nullptr) return false;
  // The name field's only for its accessible description; an ANSI one, so
  // that the field stays an ANSI window, as it was made.
  name_procedure_ = SubclassWindow(msname_, &MainWindow::NameProcedure, this, false);
  if (name_procedure_ == nullptr) return false;

  image1_ = std::make_unique<PictureBox>(*panel2_);
  ltitle_ = std::make_unique<Label>(*panel2_, RGB(0, 0, 0), arial_.get(), Label::Align::kRight);
  label5_ = std::make_unique<Label>(*panel2_, RGB(0, 0, 0), arial_.get(), Label::Align::kRight);
  speed_button2_ = std::make_unique<GlyphButton>(*panel2_, GlyphButton::Kind::kFlat,
                                                 scheduler_picture_.get(), 1, MORVELLE_ARTWORK_KEY);
  speed_button1_ = std::make_unique<GlyphButton>(*panel2_, GlyphButton::Kind::kFlat,
                                                 history_picture_.get(), 1, MORVELLE_ARTWORK_KEY);
  speed_button3_ = std::make_unique<GlyphButton>(*panel2_, GlyphButton::Kind::kFlat,
                                                 recorder_picture_.get(), 1, MORVELLE_ARTWORK_KEY);
  if (!image1_->Create(kIdImage1, Place(1, 1, 306, 130)) ||
      !ltitle_->Create(kIdLtitle, Place(171, 13, 27, 14), "Name") ||
      !label5_->Create(kIdLabel5, Place(167, 36, 114, 14), "Auto run music stations") ||
      !speed_button2_->Create(kIdSpeedButton2, Place(168, 80, 45, 45), "Run TALVEX Scheduler") ||
      !speed_button1_->Create(kIdSpeedButton1, Place(212, 80, 45, 45), "Run TALVEX History") ||
      !speed_button3_->Create(kIdSpeedButton3, Place(256, 80, 45, 45), "Run TALVEX Recorder")) {
    return false;
  }
  panel2_->SetPicture(&background_, Place(1, 1, 306, 130));
  StackInOrder({lista_, msname_, autorun_, epikef_->Handle(), ltitle_->Handle(), label5_->Handle(),
                speed_button2_->Handle(), speed_button1_->Handle(), speed_button3_->Handle(),
                image1_->Handle()});

  hints_->Add(lista_, "Select music station or double click to open it");
  hints_->Add(msname_, "Type music station's name");
  hints_->Add(autorun_, "If checked, all music stations will be run on startup of controller");
  hints_->Add(speed_button2_->Handle(), "Run TALVEX Scheduler");
  hints_->Add(speed_button1_->Handle(), "Run TALVEX History");
  hints_->Add(speed_button3_->Handle(), "Run TALVEX Recorder");
  focus_ = lista_;
  return true;
}

void MainWindow::ShowCentred() {
  CentreOnWorkArea(hwnd_, hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
}

HWND MainWindow::Control(int id) const {
  switch (id) {
    case kIdPanel1:
      return panel1_ ? panel1_->Handle() : nullptr;
    case kIdPanel2:
      return panel2_ ? panel2_->Handle() : nullptr;
    default:
      break;
  }
  for (const auto& panel : {panel1_.get(), panel2_.get()}) {
    if (panel == nullptr) continue;
    if (HWND control = GetDlgItem(panel->Handle(), id)) return control;
  }
  return nullptr;
}

int MainWindow::HintHidePause() const { return hints_->HidePause(); }

// --- ControlView ---

int MainWindow::RowCount() const {
  const LRESULT count = SendMessageA(lista_, LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string MainWindow::RowText(int index) const {
  const LRESULT length = SendMessageW(lista_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR || length <= 0) return std::string();
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(lista_, LB_GETTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  if (got == LB_ERR) return std::string();
  text.resize(std::min(static_cast<std::size_t>(got), static_cast<std::size_t>(length)));
  return Narrow(text);
}

StationRows MainWindow::Rows() const {
  StationRows rows;
  const int count = RowCount();
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) rows.push_back(RowText(i));
  return rows;
}

void MainWindow::SetRows(const StationRows& rows) {
  // One repaint and one allocation for the whole list, however long.
  SendMessageA(lista_, WM_SETREDRAW, FALSE, 0);
  SendMessageA(lista_, LB_RESETCONTENT, 0, 0);
  std::size_t bytes = 0;
  for (const auto& row : rows) bytes += row.size() + 1;
  SendMessageA(lista_, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
  bool complete = true;
  // Straight to the list box's own procedure, there being one message per
  // row: ours passes these on untouched. Rows go in as UTF-16, see the
  // list's procedure.
  for (const auto& row : rows) {
    const auto units = Wide(row);
    const LRESULT at =
        !units ? LB_ERR
               : CallWindowProcW(list_procedure_, lista_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(units->c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) {
      complete = false;
      break;
    }
  }
  SendMessageA(lista_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(lista_, nullptr, TRUE);
  // Part of a list must never pass for the whole one: it would be saved.
  if (!complete) throw UserError(kOutOfListSpace);
}

void MainWindow::AddRow(const std::string& text) {
  const auto units = Wide(text);
  const LRESULT at = !units ? LB_ERR
                            : SendMessageW(lista_, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(units->c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) throw UserError(kOutOfListSpace);
}

void MainWindow::DeleteRow(int index) {
  SendMessageA(lista_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int MainWindow::HighlightedRow() const {
  const LRESULT row = SendMessageA(lista_, LB_GETCURSEL, 0, 0);
  return row == LB_ERR ? -1 : static_cast<int>(row);
}

void MainWindow::SetHighlightedRow(int index) {
  // LB_SETCURSEL sends no selection notification, so listaClick does not
  // run, as the interface promises.
  const WPARAM row =
      (index >= 0 && index < RowCount()) ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
  SendMessageA(lista_, LB_SETCURSEL, row, 0);
}

std::string MainWindow::NameText() const { return WindowText(msname_); }

void MainWindow::SetNameText(const std::string& text) { SetWindowTextA(msname_, text.c_str()); }

bool MainWindow::AutoRunChecked() const {
  return SendMessageA(autorun_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetAutoRunChecked(bool checked) {
  SendMessageA(autorun_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowMessage(const std::string& text) { ShowMessageBox(hwnd_, text); }

bool MainWindow::Confirm(const std::string& text) { return ShowConfirmDialog(hwnd_, text); }

void MainWindow::ShowError(const std::string& text) { ShowErrorBox(hwnd_, text); }

void MainWindow::LoadLogo(const std::string& path) {
  logo_.LoadFromFile(path);
  InvalidateRect(panel1_->Handle(), nullptr, FALSE);
  RedrawWindow(panel1_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::LoadBackground(const std::string& path) {
  background_.LoadFromFile(path);
  RedrawWindow(panel2_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void MainWindow::SetHintHidePause(int milliseconds) { hints_->SetHidePause(milliseconds); }

void MainWindow::Discard() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

// --- events ---

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case kFirstActivation:
      controller_->FormActivate();
      return 0;
    case WM_SIZE:
      OnSize(wparam);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case kIdLista:
      if (code == LBN_SELCHANGE) controller_->listaClick();
      if (code == LBN_DBLCLK) controller_->Button1Click(0);
      return;
    case kIdPlhn:
      if (code == BN_CLICKED) controller_->plhnClick(0);
      return;
    case kIdSyn:
      if (code == BN_CLICKED) controller_->plhnClick(1);
      return;
    case kIdSpeedButton2:
      if (code == BN_CLICKED) controller_->Button1Click(0);
      return;
    case kIdSpeedButton1:
      if (code == BN_CLICKED) controller_->Button1Click(1);
      return;
    case kIdSpeedButton3:
      if (code == BN_CLICKED) controller_->SpeedButton3Click();
      return;
    case IDOK:
      OnEnter();
      return;
    default:
      return;  // Escape arrives as IDCANCEL: nothing to do
  }
}

// The dialog manager turns Enter into IDOK; the control with the focus
// says what it means.
void MainWindow::OnEnter() {
  const HWND focus = GetFocus();
  if (focus == msname_) controller_->plhnClick(1);
  if (focus == lista_) controller_->Button1Click(0);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  if (control == lista_ || control == msname_) {
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, kDarkGrey);
    return reinterpret_cast<LRESULT>(grey_brush_.get());
  }
  if (control == autorun_) {
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(panel2_->FaceBrushFor(control));
  }
  return DefWindowProcA(hwnd_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control));
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    hints_->Hide();
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) focus_ = focus;
    return;
  }
  if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
  if (!activated_) {
    activated_ = true;
    // The key as it is now, not as this thread's messages last left it:
    // Shift went down before the program started.
    shift_at_start_ = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    // Out of WM_ACTIVATE before anything shows a box or starts a program.
    PostMessageA(hwnd_, kFirstActivation, 0, 0);
  }
}

void MainWindow::OnSize(WPARAM wparam) {
  if (wparam == SIZE_MINIMIZED) application_.MainWindowMinimised(true);
  if (wparam == SIZE_RESTORED) application_.MainWindowMinimised(false);
}

void MainWindow::OnClose() {
  // A failing write throws: the window stays open.
  controller_->FormClose();
  DestroyWindow(hwnd_);
}

void MainWindow::OnListChar(char c, std::uint32_t time_ms) {
  if (!type_ahead_.Key(c, time_ms)) return;
  const int row = FindFirstRow(
      RowCount(), [this](int i) { return RowText(i); }, type_ahead_.Prefix(), UpperInCodePage);
  if (row < 0) return;
  SendMessageA(lista_, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  controller_->listaClick();
}

LRESULT CALLBACK MainWindow::ListProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                           LPARAM lparam) noexcept {
  auto* window = SubclassOwner<MainWindow>(hwnd);
  if (window == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
  const WNDPROC original = window->list_procedure_;
  if (message == WM_NCDESTROY) {
    RestoreWindowProcedure(hwnd, original, true);
    window->lista_ = nullptr;
    return CallWindowProcW(original, hwnd, message, wparam, lparam);
  }
  if (message == WM_GETOBJECT) {
    return DispatchGuarded(hwnd, [&] {
      const auto answer = AnswerGetObject(hwnd, wparam, lparam, kListDescription);
      return answer ? *answer : CallWindowProcW(original, hwnd, message, wparam, lparam);
    });
  }
  // Delete removes, as the remove button does; a held key repeats nothing.
  if (message == WM_KEYDOWN && wparam == VK_DELETE && (lparam & (1 << 30)) == 0) {
    return DispatchGuarded(hwnd, [&] {
      window->controller_->plhnClick(0);
      return LRESULT{0};
    });
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
    return DispatchGuarded(hwnd, [&] {
      if (fits) window->OnListChar(letter, static_cast<std::uint32_t>(GetMessageTime()));
      return LRESULT{0};
    });
  }
  return CallWindowProcW(original, hwnd, message, wparam, lparam);
}

LRESULT CALLBACK MainWindow::NameProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                           LPARAM lparam) noexcept {
  auto* window = SubclassOwner<MainWindow>(hwnd);
  if (window == nullptr) return DefWindowProcA(hwnd, message, wparam, lparam);
  const WNDPROC original = window->name_procedure_;
  if (message == WM_NCDESTROY) {
    RestoreWindowProcedure(hwnd, original, false);
    window->msname_ = nullptr;
    return CallWindowProcA(original, hwnd, message, wparam, lparam);
  }
  if (message == WM_GETOBJECT) {
    return DispatchGuarded(hwnd, [&] {
      const auto answer = AnswerGetObject(hwnd, wparam, lparam, kNameDescription);
      return answer ? *answer : CallWindowProcA(original, hwnd, message, wparam, lparam);
    });
  }
  return CallWindowProcA(original, hwnd, message, wparam, lparam);
}
