#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/controller/type_ahead.h"
#include "core/on_air.h"
#include "core/station_rows.h"
#include "win/window_base_win.h"

// The station list: a LISTBOX whose rows go in and out as UTF-16, with a
// type-ahead over every letter typed, Delete as a key of its own and an
// accessible description naming its keys.
//
// Rows are UTF-16 through a Unicode window procedure, the list box's own
// kind, ours and other programs' (screen readers, test drivers) alike.
// Under Wine, a list text converted between ANSI and UTF-16 on its way
// passes a fixed-size buffer that a row of more than 511 characters
// overruns, which ends the program.
class StationListBox final : public Subclass<StationListBox, true> {
 public:
  struct Events {
    // Delete pressed (not held): remove the chosen row.
    std::function<void()> delete_key;
    // Typing chose a row.
    std::function<void()> chosen_by_typing;
  };

  [[nodiscard]] bool Create(HWND parent, int id, const RECT& rect, Events events);

  int RowCount() const;
  // Empty for a row that is not there.
  std::string RowText(int index) const;
  StationRows Rows() const;
  // Throws UserError when memory runs out part way: part of a list must
  // never pass for the whole one.
  void SetRows(const StationRows& rows);
  void AddRow(const std::string& text);
  void DeleteRow(int index);
  int HighlightedRow() const;
  // Sends no selection notification. -1 or a row that is not there: none.
  void SetHighlightedRow(int index);

  // A typed letter, in the ANSI code page: selects the first row the typed
  // letters begin, ignoring case. True when it chose a row.
  bool TypeLetter(char c, std::uint32_t time_ms);

  // What is known of a station's scheduler. The station's rows carry a mark
  // before the name (on air, restarting, failing), drawn at the list's
  // font size; kOff forgets the station, and its rows look as any other.
  void SetAirStatus(const std::string& station, const AirStatus& status);
  // The words for the scheduler of the row at `point` (client
  // coordinates); empty when the row has no scheduler known.
  std::string AirWordsAt(POINT point) const;

 private:
  friend class Subclass<StationListBox, true>;
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  const AirStatus* AirOf(int row) const;
  // The rows on the screen that carry a mark.
  template <typename Visit>
  void ForEachMarkedRow(Visit&& visit) const;
  void InvalidateMarkedRows() const;
  void PaintWithMarks();
  std::wstring Description() const;

  Events events_;
  TypeAhead type_ahead_;
  // Only the stations with a scheduler known: nothing to look up, and the
  // list paints as it always did, while this is empty.
  std::vector<std::pair<std::string, AirStatus>> air_;
};
