#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "app/controls/accessible_description_win.h"
#include "app/controls/controls_win.h"
#include "app/controls/glyph_button_win.h"
#include "app/controls/hint_window_win.h"
#include "app/controls/station_list_box_win.h"
#include "app/pictures/picture_win.h"
#include "app/window_layout.h"
#include "core/ports.h"
#include "win/gdi_handles_win.h"
#include "win/window_base_win.h"

class Application;
class Tmusicstations;

// Colour 6118749: red, green and blue 93 each.
inline constexpr COLORREF kDarkGrey = RGB(93, 93, 93);
inline constexpr int kDefaultHintHidePauseMs = 2500;

// The controller window `musicstations`, laid out by kWindowLayout at its
// monitor's DPI. The controls that take input are real child windows; the
// labels, pictures and the list header are drawn by their panels. The
// controller works on the controls through ControlView, and their events run
// the controller's handlers.
class MainWindow final : public ControlView, public OnAirListener, public BaseWindow<MainWindow> {
 public:
  explicit MainWindow(Application& application);
  ~MainWindow() override;

  // Creates the window and every control, hidden, owned by the
  // application window. False when the system refuses.
  [[nodiscard]] bool Create(Tmusicstations& controller);
  // Places the window in the middle of the work area and shows it.
  void ShowCentred();
  // The list marks each station whose scheduler `on_air` knows, and tells
  // its state in the row's hint and to screen readers. `on_air` outlives
  // the window.
  void ShowOnAir(OnAir& on_air);

  // A control's window by its id (control_ids.h); null for a painted one.
  HWND Control(int id) const;
  // What draws a painted control; null for a window.
  const Painter* PaintedControl(int id) const;
  // Where a control is, windows and painted ones alike, in its parent's
  // client coordinates.
  RECT ControlRect(int id) const;
  // The panel a control sits on.
  const Panel* PanelOf(int id) const;
  int Dpi() const { return dpi_; }
  int HintHidePause() const;
  const HintWindow& Hints() const { return *hints_; }

  // ControlView
  int RowCount() const override;
  std::string RowText(int index) const override;
  StationRows Rows() const override;
  void SetRows(const StationRows& rows) override;
  void AddRow(const std::string& text) override;
  void DeleteRow(int index) override;
  int HighlightedRow() const override;
  void SetHighlightedRow(int index) override;
  std::string NameText() const override;
  void SetNameText(const std::string& text) override;
  bool AutoRunChecked() const override;
  void SetAutoRunChecked(bool checked) override;
  bool ShiftHeldAtStart() const override { return shift_at_start_; }
  void ShowMessage(const std::string& text) override;
  bool Confirm(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void LoadLogo(const std::string& path) override;
  void LoadBackground(const std::string& path) override;
  void SetHintHidePause(int milliseconds) override;
  void Discard() override;

  // OnAirListener
  void OnAirChanged(const std::string& station) override;

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  bool CreateControls();
  bool CreateControl(const LayoutRow& row);
  // Fonts, pictures and every control's place for dpi_; the control
  // windows are moved only when asked.
  void LayOut(bool move_windows);
  void MakeFonts();
  void LoadButtonPictures();
  RECT Scaled(const LayoutBox& box) const;
  Panel* PanelFor(int id) const;
  HFONT FontFor(LayoutFont font) const { return fonts_[static_cast<std::size_t>(font)].get(); }
  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnActivate(WPARAM wparam);
  void OnSize(WPARAM wparam);
  LRESULT OnGetDpiScaledSize(int dpi, SIZE& size) const;
  void OnDpiChanged(int dpi, const RECT& suggested);
  void OnClose();
  void OnEnter();

  struct Button {
    ControlId id;
    int artwork;  // resource id of its picture at 96 DPI
    int frames;
    ScopedBitmap picture;
    std::unique_ptr<GlyphButton> button;
  };

  Application& application_;
  Tmusicstations* controller_ = nullptr;
  OnAir* on_air_ = nullptr;
  int dpi_ = kDesignDpi;

  std::array<ScopedFont, 4> fonts_;  // by LayoutFont
  ScopedBrush grey_brush_;
  std::array<Button, 5> buttons_;

  JpegPicture logo_;
  JpegPicture background_;

  std::unique_ptr<Panel> panel1_;
  std::unique_ptr<Panel> panel2_;
  StationListBox lista_;
  DescribedControl msname_;  // its label is painted: the name is ours to give
  HWND autorun_ = nullptr;
  DescribedControl autorun_described_;
  // By the row's place in kWindowLayout: the control's window, or for a
  // painted row the painter that draws it (a picture's: none).
  std::array<HWND, kLayoutRows> windows_{};
  std::array<Painter*, kLayoutRows> painters_{};
  std::unique_ptr<HintWindow> hints_;

  HWND focus_ = nullptr;  // the control to give the focus back to
  bool activated_ = false;
  bool shift_at_start_ = false;
};
