#pragma once
// After every AIS update: which moving targets are dangerous, the status line note for the
// nearest such encounter, and the alarm sound once per encounter when the alarm is switched on.

#include <string>
#include "ais/AisState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/Motion.h"

namespace kv {

struct Platform;

// What the collision watch reads and writes: the targets (their danger marks), the status line,
// the kvfree.ini limits and the own vessel's position and motion.
struct CollisionWatchRecords {
    AisState& ais;
    Display& display;
    const ExtraSettings& extra;
    const Fix& fixInfo;
    const Motion& motion;
    const ChartReference& chartRef;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    CollisionWatchRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , display(s.display)
        , extra(s.extra)
        , fixInfo(s.fixInfo)
        , motion(s.motion)
        , chartRef(s.chartRef)
    {
    }
};

// Returns the status line note ("" when no target is dangerous); sets it in the display too.
std::string WatchCollisions(CollisionWatchRecords state, Platform& platform);

} // namespace kv
