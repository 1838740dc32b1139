#pragma once
// After every AIS update: which moving targets are dangerous, the status line note for the
// nearest such encounter, and the alarm sound once per encounter when the alarm is switched on.

#include "ais/AisState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include <optional>
#include <string>

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

// The closest approach of a moving target with a known position, speed and course; nothing for an
// aid to navigation, a target at rest or one whose motion is not known.
std::optional<CpaResult> TargetCpa(const TAISTarget& t, const VesselMotion& own);

// "Danger CPA 0.06nm in 0.9min ORIANA": the figures before the name, so that a status line too
// narrow for the whole note loses the end of the name first.
std::string CollisionNoteText(const std::string& name, const CpaResult& r);

// Judges every target against the limits, sounds the alarm for a new encounter, and returns the
// status line note for the most dangerous target (the nearest closest approach, the sooner one of
// equal approaches), "" when none is dangerous. The note is written to the status line; a note
// left there from an encounter that is over is cleared.
std::string WatchCollisions(CollisionWatchRecords state, Platform& platform);

} // namespace kv
