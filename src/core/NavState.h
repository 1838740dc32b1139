#pragma once
// Transitional aggregate of the program's state records. Each record has one owner, named in its
// header; functions take the records they read and write. NavState only inherits them so that
// code still written against `nav.Field` keeps compiling while it moves over; it goes away when
// the program state holds the records as members.
//
// Positions are decimal degrees, latitude north positive, longitude WEST positive; distances
// nautical miles and speeds knots unless a field says otherwise.

#include "core/AisPlayback.h"
#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/HeadingUpState.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/RouteEditing.h"
#include "core/RoutePanelTexts.h"
#include "core/RouteProgress.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TextLogState.h"
#include "core/TidalStream.h"

#include <string>

namespace kv {

struct NavState : Fix, SentenceFix, ChartReference, Motion, RouteProgress, RoutePanelTexts,
                  TextLogState, Folders, NmeaLink, RouteEditing, TidalStream, FixCycleState,
                  HeadingUpState, AisPlayback, UnitSettings, FixSettings, VesselSettings,
                  RouteSettings, NmeaSettings, UnitPreferences, FixPreferences, RoutePreferences,
                  NmeaPreferences, TidePreferences {};

// Display units: distance = nm × UnitFactor; speed = kn × UnitFactor unless KnotsAlways.
double DistanceInDisplayUnits(const UnitSettings& units, double nauticalMiles);
double SpeedInDisplayUnits(const UnitSettings& units, const UnitPreferences& prefs, double knots);
inline double SpeedInDisplayUnits(const NavState& nav, double knots)
{
    return SpeedInDisplayUnits(nav, nav, knots);
}

// Unit labels follow the factor by thresholds, not the user's choice: < 1.1 nautical,
// > 1.2 kilometres, 1.0 < f < 1.8 statute (later tests override earlier ones).
std::string DistanceUnitLabel(const UnitSettings& units);
std::string SpeedUnitLabel(const UnitSettings& units, const UnitPreferences& prefs);
inline std::string SpeedUnitLabel(const NavState& nav)
{
    return SpeedUnitLabel(nav, nav);
}

// The track starts again after the quick log is emptied: the log is marked empty, the thinning
// of old records restarts and the trip and last-leg distances go back to zero, so that the next
// fix does not add the old trip back.
void RestartTrack(FixCycleState& cycle, Motion& motion);
inline void RestartTrack(NavState& nav)
{
    RestartTrack(nav, nav);
}

} // namespace kv
