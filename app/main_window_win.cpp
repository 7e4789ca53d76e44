#include "app/main_window_win.h"

#include <algorithm>

#include "app/application_win.h"
#include "app/artwork/artwork_ids.h"
#include "app/artwork/artwork_win.h"
#include "app/controller/controller.h"
#include "app/controls/accessible_description_win.h"
#include "app/controls/hint_window_win.h"
#include "base/system_text_win.h"
#include "base/user_error.h"
#include "core/titles.h"
#include "win/confirm_dialog_win.h"
#include "win/dialogs_win.h"
#include "win/dpi_win.h"

namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr UINT kFirstActivation = WM_APP + 1;

// What a screen reader says after the name field's name and role.
constexpr wchar_t kNameDescription[] = L"Enter adds the station typed here.";
// What the painted labels beside them say.
constexpr wchar_t kNameName[] = L"Name";
constexpr wchar_t kAutoRunName[] = L"Auto run music stations";

// Windows 10 1703's; the program builds for Windows 7's headers.
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

ScopedFont MakeFont(LayoutFont which, int dpi) {
  const FontStyle style = FontOf(which);
  LOGFONTA font{};
  font.lfHeight = -ScaleToDpi(style.height, dpi);
  font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = style.italic ? TRUE : FALSE;
  font.lfCharSet = style.charset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(font.lfFaceName, style.face, LF_FACESIZE);
  return ScopedFont(CreateFontIndirectA(&font));
}

void SetFont(HWND control, HFONT font) {
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

// Z order is tab order for IsDialogMessage: the first one is on top.
void StackInOrder(const std::vector<HWND>& top_to_bottom) {
  HWND above = HWND_TOP;
  for (HWND window : top_to_bottom) {
    SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    above = window;
  }
}

RECT ToRect(const LayoutBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

// The system's colours and the panel's face have none of their own.
COLORREF ColourOf(LayoutColour colour) {
  switch (colour) {
    case LayoutColour::kWhite:
      return RGB(255, 255, 255);
    case LayoutColour::kBlack:
      return RGB(0, 0, 0);
    case LayoutColour::kDarkGrey:
      return kDarkGrey;
    case LayoutColour::kButtonFace:
      return GetSysColor(COLOR_BTNFACE);
    default:
      return CLR_INVALID;
  }
}

}  // namespace

MainWindow::MainWindow(Application& application)
    : application_(application),
      grey_brush_(CreateSolidBrush(kDarkGrey)),
      buttons_{Button{kIdPlhn, IDB_REMOVE_STATION, 2, {}, {}},
               Button{kIdSyn, IDB_ADD_STATION, 2, {}, {}},
               Button{kIdSpeedButton2, IDB_RUN_SCHEDULER, 1, {}, {}},
               Button{kIdSpeedButton1, IDB_RUN_HISTORY, 1, {}, {}},
               Button{kIdSpeedButton3, IDB_RUN_RECORDER, 1, {}, {}}} {}

MainWindow::~MainWindow() {
  application_.WatchInput(nullptr);
  if (on_air_ != nullptr) on_air_->SetListener(nullptr);
}

bool MainWindow::Create(Tmusicstations& controller) {
  controller_ = &controller;
  const HINSTANCE instance = application_.Instance();
  // Made at the system's DPI, then sized for the DPI of the monitor it is on.
  dpi_ = WindowDpi(nullptr);
  RECT frame = FrameForClient(Scaled(Box(0, 0, kClientWidth, kClientHeight)), kWindowStyle,
                              kWindowExStyle, dpi_);
  if (!BaseWindow::Create(
          instance,
          WindowClass{.name = kMainWindowClass,
                      .icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_MORVELLE)),
                      .background = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))},
          WindowShape{kMainWindowCaption, kWindowStyle, kWindowExStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top},
          application_.Handle())) {
    return false;
  }
  const int dpi = WindowDpi(hwnd_);
  if (dpi != dpi_) {
    dpi_ = dpi;
    frame = FrameForClient(Scaled(Box(0, 0, kClientWidth, kClientHeight)), kWindowStyle,
                           kWindowExStyle, dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  MakeFonts();
  LoadButtonPictures();
  SetFont(hwnd_, FontFor(LayoutFont::kSans));
  if (!CreateControls()) {
    DestroyWindow(hwnd_);
    return false;
  }
  LayOut(false);  // the windows were made in their places
  application_.SetMainWindow(hwnd_);
  return true;
}

RECT MainWindow::Scaled(const LayoutBox& box) const { return ToRect(ScaleToDpi(box, dpi_)); }

void MainWindow::MakeFonts() {
  for (std::size_t i = 0; i < fonts_.size(); ++i) {
    fonts_[i] = MakeFont(static_cast<LayoutFont>(i), dpi_);
  }
}

void MainWindow::LoadButtonPictures() {
  for (Button& b : buttons_) {
    b.picture = LoadArtworkAt(application_.Instance(), b.artwork, dpi_);
    if (b.button) b.button->SetPicture(b.picture.get());
  }
}

Panel* MainWindow::PanelFor(int id) const {
  if (id == kIdPanel1) return panel1_.get();
  if (id == kIdPanel2) return panel2_.get();
  return nullptr;
}

bool MainWindow::CreateControls() {
  hints_ = std::make_unique<HintWindow>(application_.Instance(), hwnd_);
  hints_->SetDpi(dpi_);
  SetHintHidePause(kDefaultHintHidePauseMs);
  application_.WatchInput([this](const MSG& message) { hints_->Relay(message); });
  for (const LayoutRow& row : kWindowLayout) {
    if (!CreateControl(row)) return false;
    if (row.hint != nullptr) hints_->Add(Control(row.id), row.hint);
  }
  // A row whose scheduler is known tells its state instead.
  hints_->SetLiveText(lista_.Handle(), [this](POINT at) { return lista_.AirWordsAt(at); });
  for (const ControlId panel : {kIdPanel1, kIdPanel2}) {
    std::vector<HWND> windows;
    for (const LayoutRow& row : kWindowLayout) {
      if (row.parent == panel && !IsPainted(row.kind)) windows.push_back(Control(row.id));
    }
    StackInOrder(windows);
  }
  focus_ = lista_.Handle();
  return true;
}

bool MainWindow::CreateControl(const LayoutRow& row) {
  const RECT rect = Scaled(row.box);
  Panel* const panel = PanelFor(row.parent);
  if (row.kind != LayoutKind::kPanel && panel == nullptr) return false;
  const std::size_t index = LayoutIndexOf(row.id);
  HWND& window = windows_[index];
  switch (row.kind) {
    case LayoutKind::kPanel: {
      auto& made = row.id == kIdPanel1 ? panel1_ : panel2_;
      made = std::make_unique<Panel>(ColourOf(row.paper), row.raised);
      if (!made->Create(hwnd_, row.id, rect)) return false;
      window = made->Handle();
      return true;
    }
    case LayoutKind::kPicture:
      return true;  // laid out with the DPI
    case LayoutKind::kLabelLeft:
    case LayoutKind::kLabelRight: {
      const auto align =
          row.kind == LayoutKind::kLabelLeft ? TextLabel::Align::kLeft : TextLabel::Align::kRight;
      painters_[index] =
          &panel->Add(std::make_unique<TextLabel>(row.text, ColourOf(row.ink), align));
      return true;
    }
    case LayoutKind::kHeader:
      painters_[index] = &panel->Add(std::make_unique<ListHeader>(row.text));
      return true;
    case LayoutKind::kList:
      if (!lista_.Create(panel->Handle(), row.id, rect,
                         StationListBox::Events{[this] { controller_->plhnClick(0); },
                                                [this] { controller_->listaClick(); }})) {
        return false;
      }
      window = lista_.Handle();
      return true;
    case LayoutKind::kEdit: {
      const HWND name = CreateChildWindow(panel->Handle(), row.id, "EDIT", row.text,
                                          WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | ES_LEFT,
                                          rect, WS_EX_CLIENTEDGE);
      if (name == nullptr) return false;
      SendMessageA(name, EM_SETLIMITTEXT, 0, 0);  // 0: as long as memory allows
      // Its label is painted: a screen reader learns the name from us.
      window = name;
      return msname_.Describe(name, AccessibleTexts{kNameName, kNameDescription});
    }
    case LayoutKind::kCheckBox:
      window = autorun_ = CreateChildWindow(panel->Handle(), row.id, "BUTTON", row.text,
                                            WS_TABSTOP | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX, rect);
      return autorun_ != nullptr &&
             autorun_described_.Describe(autorun_, AccessibleTexts{kAutoRunName, {}});
    case LayoutKind::kRaisedButton:
    case LayoutKind::kFlatButton:
      for (Button& b : buttons_) {
        if (b.id != row.id) continue;
        const auto kind = row.kind == LayoutKind::kRaisedButton ? GlyphButton::Kind::kRaised
                                                                : GlyphButton::Kind::kFlat;
        b.button = std::make_unique<GlyphButton>(*panel, kind, b.picture.get(), b.frames,
                                                 MORVELLE_ARTWORK_KEY);
        if (!b.button->Create(row.id, rect, row.text)) return false;
        window = b.button->Handle();
        return true;
      }
      return false;
  }
  return false;
}

void MainWindow::LayOut(bool move_windows) {
  // Text is measured as the screen draws it.
  const ScopedMemoryDc measure(CreateCompatibleDC(nullptr));
  for (Panel* panel : {panel1_.get(), panel2_.get()}) panel->SetBevelWidth(ScaleToDpi(1, dpi_));
  for (std::size_t i = 0; i < kLayoutRows; ++i) {
    const LayoutRow& row = kWindowLayout[i];
    const RECT rect = Scaled(row.box);
    Panel* const panel = PanelFor(row.parent);
    const HFONT font = FontFor(row.font);
    switch (row.kind) {
      case LayoutKind::kPicture:
        panel->SetPicture(
            std::make_unique<PictureArea>(row.id == kIdImage6 ? &logo_ : &background_, rect, dpi_));
        break;
      case LayoutKind::kLabelLeft:
      case LayoutKind::kLabelRight: {
        static_cast<TextLabel*>(painters_[i])->Place(measure.get(), font, rect);
        break;
      }
      case LayoutKind::kHeader:
        static_cast<ListHeader*>(painters_[i])->Place(font, rect);
        break;
      default: {
        const HWND window = windows_[i];
        if (move_windows) {
          SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        SetFont(window, font);
        break;
      }
    }
  }
  panel1_->Invalidate();
  panel2_->Invalidate();
}

// Windows would scale the whole frame by the ratio of the DPIs; the frame's
// edges and caption do not scale linearly, so the client would drift by a
// few pixels from the layout's size at the new DPI.
LRESULT MainWindow::OnGetDpiScaledSize(int dpi, SIZE& size) const {
  const RECT frame = FrameForClient(ToRect(ScaleToDpi(Box(0, 0, kClientWidth, kClientHeight), dpi)),
                                    kWindowStyle, kWindowExStyle, dpi);
  size.cx = frame.right - frame.left;
  size.cy = frame.bottom - frame.top;
  return TRUE;
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  if (hints_) hints_->SetDpi(dpi);
  // The new fonts reach every control before the old ones go.
  std::array<ScopedFont, 4> old_fonts = std::move(fonts_);
  std::array<ScopedBitmap, 5> old_pictures;
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    old_pictures[i] = std::move(buttons_[i].picture);
  MakeFonts();
  LoadButtonPictures();
  SetFont(hwnd_, FontFor(LayoutFont::kSans));
  LayOut(true);
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::ShowOnAir(OnAir& on_air) {
  on_air_ = &on_air;
  on_air_->SetListener(this);
}

void MainWindow::OnAirChanged(const std::string& station) {
  lista_.SetAirStatus(station, on_air_->Status(station));
}

void MainWindow::ShowCentred() {
  CentreOnWorkArea(hwnd_, hwnd_);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetForegroundWindow(hwnd_);
}

HWND MainWindow::Control(int id) const {
  const std::size_t i = LayoutIndexOf(id);
  return i < kLayoutRows ? windows_[i] : nullptr;
}

const Painter* MainWindow::PaintedControl(int id) const {
  const std::size_t i = LayoutIndexOf(id);
  return i < kLayoutRows ? painters_[i] : nullptr;
}

RECT MainWindow::ControlRect(int id) const {
  if (const Painter* painter = PaintedControl(id)) return painter->Bounds();
  if (id == kIdImage6 || id == kIdImage1) return Scaled(LayoutOf(static_cast<ControlId>(id)).box);
  const HWND window = Control(id);
  return window != nullptr ? RectInParent(window) : RECT{};
}

const Panel* MainWindow::PanelOf(int id) const {
  return PanelFor(LayoutOf(static_cast<ControlId>(id)).parent);
}

int MainWindow::HintHidePause() const { return hints_->HidePause(); }

// --- ControlView ---

int MainWindow::RowCount() const { return lista_.RowCount(); }

std::string MainWindow::RowText(int index) const { return lista_.RowText(index); }

StationRows MainWindow::Rows() const { return lista_.Rows(); }

void MainWindow::SetRows(const StationRows& rows) { lista_.SetRows(rows); }

void MainWindow::AddRow(const std::string& text) { lista_.AddRow(text); }

void MainWindow::DeleteRow(int index) { lista_.DeleteRow(index); }

int MainWindow::HighlightedRow() const { return lista_.HighlightedRow(); }

// Sends no selection notification, so listaClick does not run, as the
// interface promises.
void MainWindow::SetHighlightedRow(int index) { lista_.SetHighlightedRow(index); }

std::string MainWindow::NameText() const { return WindowText(msname_.Handle()); }

void MainWindow::SetNameText(const std::string& text) {
  SetWindowTextA(msname_.Handle(), text.c_str());
}

bool MainWindow::AutoRunChecked() const {
  return SendMessageA(autorun_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetAutoRunChecked(bool checked) {
  SendMessageA(autorun_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowMessage(const std::string& text) { ShowMessageBox(hwnd_, text); }

bool MainWindow::Confirm(const std::string& text) { return ShowConfirmDialog(hwnd_, text, dpi_); }

void MainWindow::ShowError(const std::string& text) { ShowErrorBox(hwnd_, text); }

void MainWindow::LoadLogo(const std::string& path) {
  logo_.LoadFromFile(path);
  panel1_->Invalidate();
}

void MainWindow::LoadBackground(const std::string& path) {
  background_.LoadFromFile(path);
  panel2_->Invalidate();
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
    case kGetDpiScaledSize:
      return OnGetDpiScaledSize(static_cast<int>(wparam), *reinterpret_cast<SIZE*>(lparam));
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
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
  if (focus == msname_.Handle()) controller_->plhnClick(1);
  if (focus == lista_.Handle()) controller_->Button1Click(0);
}

LRESULT MainWindow::OnControlColour(HDC dc, HWND control) {
  const std::size_t i = LayoutIndexOf(GetDlgCtrlID(control));
  if (i < kLayoutRows && windows_[i] == control) {
    const LayoutRow& row = kWindowLayout[i];
    if (row.paper == LayoutColour::kDarkGrey) {
      SetTextColor(dc, ColourOf(row.ink));
      SetBkColor(dc, kDarkGrey);
      return reinterpret_cast<LRESULT>(grey_brush_.get());
    }
    if (row.paper == LayoutColour::kPanelFace) {
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(PanelFor(row.parent)->FaceBrushFor(control));
    }
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
