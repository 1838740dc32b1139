#pragma once
// Working state of the fix cycle between two fixes. Owner: navigation (the fix cycle); start-up
// initialises it.

#include <cstdint>
#include <string>

namespace kv {

struct FixCycleState {
    std::string CurrentSentence;
    std::string LastEventSentence;
    // The received position sentence the last fix was taken from: the fix timer does not take it
    // again as if it were news.
    std::string UsedPositionSentence;
    bool ManualFix = false;
    bool SoundIdle = true;
    bool ApproachPending = false;
    bool SelectPromptPending = false;
    bool AntennaPending = false;
    std::int16_t DropIndex = 2; // quick-log thinning
    std::int16_t DropCounter = 0;
    std::uint16_t RedrawCountdown = 0;
    bool LogEmpty = true;
};

} // namespace kv
