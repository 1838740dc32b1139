#pragma once
// What the AIS code reads about the own vessel: where it is (chart datum) and the chart's cosine
// factor, its course, the heading field of its sentences, the display unit, whether fix times are
// UTC and whether a log is being played. A bundle of references to the records that own them,
// built by the caller; the AIS code never writes through it.

#include "core/AisPlayback.h"
#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "core/Preferences.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"

namespace kv {

struct OwnShip {
    const Fix& fix;
    const ChartReference& chartRef;
    const Motion& motion;
    const SentenceFix& sentence;
    const UnitSettings& units;
    const FixPreferences& fixPrefs;
    const AisPlayback& playback;
};

} // namespace kv
