#pragma once
// Display units and the track restart: small rules over the state records that several
// subsystems share.
//
// Positions are decimal degrees, latitude north positive, longitude WEST positive; distances
// nautical miles and speeds knots unless a field says otherwise.

#include "core/FixCycleState.h"
#include "core/Motion.h"
#include "core/Preferences.h"
#include "core/Settings.h"

#include <string>

namespace kv {

// Display units: distance = nm × UnitFactor; speed = kn × UnitFactor unless KnotsAlways.
double DistanceInDisplayUnits(const UnitSettings& units, double nauticalMiles);
double SpeedInDisplayUnits(const UnitSettings& units, const UnitPreferences& prefs, double knots);

// Unit labels follow the factor by thresholds, not the user's choice: < 1.1 nautical,
// > 1.2 kilometres, 1.0 < f < 1.8 statute (later tests override earlier ones).
std::string DistanceUnitLabel(const UnitSettings& units);
std::string SpeedUnitLabel(const UnitSettings& units, const UnitPreferences& prefs);

// The track starts again after the quick log is emptied: the log is marked empty, the thinning
// of old records restarts and the trip and last-leg distances go back to zero, so that the next
// fix does not add the old trip back.
void RestartTrack(FixCycleState& cycle, Motion& motion);

} // namespace kv
