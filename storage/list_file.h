#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/station_rows.h"

// The station list's text form. A row runs up to the next CR, LF or NUL;
// after it one CR and then one LF are skipped when present, so CR LF, a lone
// LF and a lone CR each end one row. A NUL ends the data. A final row
// without a line end counts; a line end at the very end adds no empty row.
StationRows ParseStationRows(std::string_view bytes);

// Every row followed by CR LF; no rows give no bytes.
std::string SerializeStationRows(const StationRows& rows);

// The same bytes as SerializeStationRows, handed to `write` through
// `buffer` whenever it is full and once more at the end (a row longer than
// the buffer goes in pieces): a list of any size is written with no
// allocation as large as itself. Stops at the first `write` that returns
// false, and returns false then.
bool WriteStationRows(const StationRows& rows, std::span<char> buffer,
                      const std::function<bool(std::string_view)>& write);
