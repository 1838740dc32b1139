#pragma once
// Counters and names of the text log in use. Owner: navigation (the track logs and the fix cycle).

#include "core/ShortString.h"

#include <cstdint>
#include <string>

namespace kv {

struct TextLogState {
    std::uint16_t EventNumber = 0;
    std::uint16_t TextLogFixCount = 0;
    std::int16_t TextLogCountdown = 0; // fixes since the last text-log line
    ShortString<32> LogNameBase;
    std::string TextLogFileFormat;
};

// Hints of the text-log button, named by what they ask: up while text logs are kept, it offers to
// stop them; down, it offers to start them again.
inline constexpr const char* kTextLogPressHint = "Press for Text Logs Off|";
inline constexpr const char* kTextLogReleaseHint = "Release for Text Logs On|";

} // namespace kv
