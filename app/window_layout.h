#pragma once

// The controller window's controls: one row each, in creation order (the
// first row of a parent is on top of its siblings and first in tab order).
// The window makes its controls from this table and its tests check the
// window against it. Rectangles are at 96 DPI in the parent's client
// coordinates; at another DPI every edge scales by DPI / 96, so that
// controls that meet at 96 DPI still meet.

#include <cstddef>
#include <iterator>
#include <span>

#include "app/control_ids.h"
#include "win/dpi_scale.h"

inline constexpr int kClientWidth = 308;
inline constexpr int kClientHeight = 164;

// What a row is. Painted kinds take no input and no focus: their panel
// draws them. The others are real child windows.
enum class LayoutKind {
  kPanel,
  kPicture,     // painted: the panel's picture
  kLabelLeft,   // painted: text from the rectangle's left edge
  kLabelRight,  // painted: text up to the rectangle's right edge
  kHeader,      // painted: a list header of one section
  kList,
  kEdit,
  kCheckBox,
  kRaisedButton,
  kFlatButton,
};

constexpr bool IsPainted(LayoutKind kind) {
  return kind == LayoutKind::kPicture || kind == LayoutKind::kLabelLeft ||
         kind == LayoutKind::kLabelRight || kind == LayoutKind::kHeader;
}

enum class LayoutFont { kSans, kArial, kArialGreek, kTitle };

// A row's colours. kSystem: what the system draws with; kPanelFace: the
// face of the panel the control sits on, seen through it.
enum class LayoutColour { kSystem, kWhite, kBlack, kDarkGrey, kButtonFace, kPanelFace };

struct FontStyle {
  const char* face;
  int height;             // character height in pixels at 96 DPI
  unsigned char charset;  // DEFAULT_CHARSET 1, GREEK_CHARSET 161
  bool bold;
  bool italic;
};

constexpr FontStyle FontOf(LayoutFont font) {
  switch (font) {
    case LayoutFont::kArial:
      return {"Arial", 11, 1, false, false};
    case LayoutFont::kArialGreek:
      return {"Arial", 11, 161, false, false};
    case LayoutFont::kTitle:
      return {"Arial", 15, 1, true, true};
    case LayoutFont::kSans:
    default:
      return {"MS Sans Serif", 11, 1, false, false};
  }
}

struct LayoutBox {
  int left;
  int top;
  int right;
  int bottom;
  friend constexpr bool operator==(const LayoutBox&, const LayoutBox&) = default;
};

struct LayoutRow {
  ControlId id;
  ControlId parent;
  LayoutKind kind;
  LayoutBox box;     // at 96 DPI
  const char* text;  // shown, or for a button its accessible name
  const char* hint;  // nullptr: none
  LayoutFont font;
  LayoutColour ink = LayoutColour::kSystem;    // a label's text, a control's text
  LayoutColour paper = LayoutColour::kSystem;  // a panel's face, a control's background
  bool raised = false;                         // a panel: with a raised bevel
};

constexpr LayoutBox Box(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

constexpr LayoutBox ScaleToDpi(const LayoutBox& box, int dpi) {
  return {ScaleToDpi(box.left, dpi), ScaleToDpi(box.top, dpi), ScaleToDpi(box.right, dpi),
          ScaleToDpi(box.bottom, dpi)};
}

inline constexpr LayoutRow kWindowLayout[] = {
    {kIdPanel1, kIdWindow, LayoutKind::kPanel, Box(0, 0, 308, 32), "", nullptr, LayoutFont::kSans,
     LayoutColour::kSystem, LayoutColour::kDarkGrey, false},
    {kIdPlhn, kIdPanel1, LayoutKind::kRaisedButton, Box(256, 4, 25, 24), "Remove music station",
     "Remove music station", LayoutFont::kSans},
    {kIdSyn, kIdPanel1, LayoutKind::kRaisedButton, Box(280, 4, 25, 24), "Add music station",
     "Add music station", LayoutFont::kSans},
    {kIdLabel1, kIdPanel1, LayoutKind::kLabelLeft, Box(132, 7, 66, 17), "Morvelle", nullptr,
     LayoutFont::kTitle, LayoutColour::kWhite},
    {kIdImage6, kIdPanel1, LayoutKind::kPicture, Box(0, 0, 308, 32), "", nullptr,
     LayoutFont::kSans},

    {kIdPanel2, kIdWindow, LayoutKind::kPanel, Box(0, 32, 308, 132), "", nullptr, LayoutFont::kSans,
     LayoutColour::kSystem, LayoutColour::kButtonFace, true},
    {kIdLista, kIdPanel2, LayoutKind::kList, Box(8, 25, 153, 100), "",
     "Select music station or double click to open it", LayoutFont::kArialGreek,
     LayoutColour::kWhite, LayoutColour::kDarkGrey},
    {kIdMsname, kIdPanel2, LayoutKind::kEdit, Box(204, 9, 97, 22), "", "Type music station's name",
     LayoutFont::kArial, LayoutColour::kWhite, LayoutColour::kDarkGrey},
    {kIdAutorun, kIdPanel2, LayoutKind::kCheckBox, Box(285, 36, 15, 13), "",
     "If checked, all music stations will be run on startup of controller", LayoutFont::kSans,
     LayoutColour::kSystem, LayoutColour::kPanelFace},
    {kIdEpikef, kIdPanel2, LayoutKind::kHeader, Box(8, 9, 154, 17), "Music station name", nullptr,
     LayoutFont::kArialGreek},
    {kIdLtitle, kIdPanel2, LayoutKind::kLabelRight, Box(171, 13, 27, 14), "Name", nullptr,
     LayoutFont::kArial, LayoutColour::kBlack},
    {kIdLabel5, kIdPanel2, LayoutKind::kLabelRight, Box(167, 36, 114, 14),
     "Auto run music stations", nullptr, LayoutFont::kArial, LayoutColour::kBlack},
    {kIdSpeedButton2, kIdPanel2, LayoutKind::kFlatButton, Box(168, 80, 45, 45),
     "Run TALVEX Scheduler", "Run TALVEX Scheduler", LayoutFont::kSans},
    {kIdSpeedButton1, kIdPanel2, LayoutKind::kFlatButton, Box(212, 80, 45, 45),
     "Run TALVEX History", "Run TALVEX History", LayoutFont::kSans},
    {kIdSpeedButton3, kIdPanel2, LayoutKind::kFlatButton, Box(256, 80, 45, 45),
     "Run TALVEX Recorder", "Run TALVEX Recorder", LayoutFont::kSans},
    {kIdImage1, kIdPanel2, LayoutKind::kPicture, Box(1, 1, 306, 130), "", nullptr,
     LayoutFont::kSans},
};

inline constexpr std::size_t kLayoutRows = std::size(kWindowLayout);

// The place of a control's row in the table; kLayoutRows for an id that has
// none (kIdWindow, or a window that is not one of ours).
constexpr std::size_t LayoutIndexOf(int id) {
  for (std::size_t i = 0; i < kLayoutRows; ++i) {
    if (kWindowLayout[i].id == id) return i;
  }
  return kLayoutRows;
}

// The row of a control; every id of ControlId but kIdWindow has one.
constexpr const LayoutRow& LayoutOf(ControlId id) {
  const std::size_t i = LayoutIndexOf(id);
  return kWindowLayout[i < kLayoutRows ? i : 0];
}
