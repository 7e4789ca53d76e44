#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/control_ids.h"
#include "app/controls_win.h"
#include "app/gdi_handles_win.h"
#include "app/hint_window_win.h"
#include "app/picture_win.h"
#include "app/type_ahead.h"
#include "app/window_base_win.h"
#include "core/ports.h"

class Application;
class Tmusicstations;

// Colour 6118749: red, green and blue 93 each.
inline constexpr COLORREF kDarkGrey = RGB(93, 93, 93);
inline constexpr int kClientWidth = 308;
inline constexpr int kClientHeight = 164;
inline constexpr int kDefaultHintHidePauseMs = 2500;

// The controller window `musicstations`: its controls are real child
// windows; the controller works on them through ControlView, and their
// events run the controller's handlers.
class MainWindow final : public ControlView, public BaseWindow<MainWindow> {
 public:
  explicit MainWindow(Application& application);
  ~MainWindow() override;

  // Creates the window and every control, hidden, owned by the
  // application window. False when the system refuses.
  [[nodiscard]] bool Create(Tmusicstations& controller);
  // Places the window in the middle of the work area and shows it.
  void ShowCentred();

  // A control by its id (control_ids.h), null when there is none.
  HWND Control(int id) const;
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

  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  bool CreateControls();
  bool CreateTopBar();
  bool CreateMainPanel();
  void OnCommand(int id, int code);
  LRESULT OnControlColour(HDC dc, HWND control);
  void OnActivate(WPARAM wparam);
  void OnSize(WPARAM wparam);
  void OnClose();
  void OnListChar(char c, std::uint32_t time_ms);
  void OnEnter();
  static LRESULT CALLBACK ListProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                        LPARAM lparam) noexcept;
  static LRESULT CALLBACK NameProcedure(HWND hwnd, UINT message, WPARAM wparam,
                                        LPARAM lparam) noexcept;

  Application& application_;
  Tmusicstations* controller_ = nullptr;

  ScopedFont sans_;
  ScopedFont arial_;
  ScopedFont arial_greek_;
  ScopedFont title_font_;
  ScopedBrush grey_brush_;
  ScopedBitmap remove_strip_;
  ScopedBitmap add_strip_;
  ScopedBitmap scheduler_picture_;
  ScopedBitmap history_picture_;
  ScopedBitmap recorder_picture_;

  JpegPicture logo_;
  JpegPicture background_;

  std::unique_ptr<Panel> panel1_;
  std::unique_ptr<Panel> panel2_;
  std::unique_ptr<PictureBox> image6_;
  std::unique_ptr<PictureBox> image1_;
  std::unique_ptr<Label> label1_;
  std::unique_ptr<Label> ltitle_;
  std::unique_ptr<Label> label5_;
  std::unique_ptr<GlyphButton> plhn_;
  std::unique_ptr<GlyphButton> syn_;
  std::unique_ptr<GlyphButton> speed_button2_;
  std::unique_ptr<GlyphButton> speed_button1_;
  std::unique_ptr<GlyphButton> speed_button3_;
  std::unique_ptr<Header> epikef_;
  HWND lista_ = nullptr;
  WNDPROC list_procedure_ = nullptr;  // the list box's own, under ours
  HWND msname_ = nullptr;
  WNDPROC name_procedure_ = nullptr;  // the edit box's own, under ours
  HWND autorun_ = nullptr;
  std::unique_ptr<HintWindow> hints_;

  TypeAhead type_ahead_;
  HWND focus_ = nullptr;  // the control to give the focus back to
  bool activated_ = false;
  bool shift_at_start_ = false;
};
