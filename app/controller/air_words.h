#pragma once

#include <string>

#include "core/on_air.h"

// What a station's row says of its scheduler, in the hint and to screen
// readers: "On air since 14:02", "Restarting in 8 s after a crash
// (0xC0000005), 3rd time", "Failing: 6 crashes in 2 minutes, retrying every
// 60 s". Empty for a station with no scheduler known.
std::string AirWords(const AirStatus& status);
