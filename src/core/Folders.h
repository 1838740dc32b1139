#pragma once
// The program's folders and the chart named in the configuration. Owner: start-up (AppDir), the
// configuration reader, opening a chart (ChartDir, ChartName) and opening a log set (LogDir).
// Directories end in "/". The classic program cut folders at 80 characters; a Linux path is often
// longer and a cut one points somewhere else, so folders are kept whole (up to the system's path
// limit).

#include "core/ShortString.h"

#include <cstddef>
#include <string>

namespace kv {

inline constexpr std::size_t kPathCapacity = 4096;

struct Folders {
    ShortString<kPathCapacity> AppDir;
    ShortString<kPathCapacity> LogDir; // configured, then the folder of the log set last opened
    ShortString<kPathCapacity> ChartDir; // configured, then the folder of the chart last opened
    std::string ChartName = "world"; // chart to load at start, configuration line 1
};

} // namespace kv
