#pragma once
// The position and time of the last fix. Owner: navigation (the fix cycle). The cursor commands
// of the views, the chart configuration and the configuration reader also place OwnLat/OwnLong,
// which is "the position" of the program: own ship after a fix, the cursor after a click.

#include "core/ShortString.h"

#include <cstdint>

namespace kv {

inline constexpr double kDefaultOwnLat = -16.780192674;
inline constexpr double kDefaultOwnLong = -41.779279083;

struct Fix {
    double OwnLat = kDefaultOwnLat; // degrees, north positive
    double OwnLong = kDefaultOwnLong; // degrees, west positive
    ShortString<8> FixSource; // "GPS", "DR", "Manual"
    double FixMinutes = 0.0; // minutes since midnight
    std::uint16_t FixHour = 0, FixMinute = 0, FixSecond = 0;
    ShortString<33> FixTimeString;
    double FixTimeValue = 0.0; // days
    ShortString<33> FixDateText; // "dd-mm-yy", base name of the day's logs
};

} // namespace kv
