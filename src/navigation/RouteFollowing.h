#pragma once
// Route following: speed and course over the quick log, range and bearing to the active
// waypoint, arrival and advance, the tidal stream at the vessel, course to steer, velocity made
// good, time to go, the cross-track error and the texts the panels and autopilot sentences show.
// Every distance and bearing is plane sailing on a flat chart scaled by CosLatFactor.

#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Motion.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RoutePanelTexts.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TidalAtlas.h"
#include "core/TidalStream.h"
#include <cstdint>

namespace kv {

// d = 60 × √(Δlat² + (Δlong × cosLat)²), nautical miles.
double PlaneDistance(double cosLat, LatLong a, LatLong b);
// Bearing from a to b in degrees true, 0 … 360 (longitudes west positive).
double PlaneBearing(double cosLat, LatLong a, LatLong b);

// Speed over ground averaged over the last AverageFixes records; SOGShown, LastLegDistance.
void ComputeSOG(Motion& motion, const QuickLog& log, const ChartReference& ref, const UnitSettings& units,
    int averageFixes, double boatSpeed);
// Course over ground from the same records, whole degrees; also sets COGValue.
std::int16_t ComputeCOG(Motion& motion, const QuickLog& log, double cosLat, int averageFixes);
// Range, bearing and name of waypoint ActiveWaypoint from own ship (or the tow).
void RangeBearingToWaypoint(RouteProgress& progress, RoutePanelTexts& texts, const Fix& fix, const ChartReference& ref,
    bool towNavigation, const RouteTable& route);
// TideSet/TideRate from the nearest diamond for TidalHour (the earlier diamond wins a tie).
void FindTidalStream(TidalStream& stream, const Fix& fix, const ChartReference& ref, const TidalDiamonds& tides);
// What one fix's route following writes (progress, panel texts, speed and course, the stream at
// the vessel, the approach prompt) and reads (the fix, the chart reference, settings, the track,
// the route and the tidal atlas).
struct FollowRouteRecords {
    RouteProgress& routeProgress;
    RoutePanelTexts& routeTexts;
    Motion& motion;
    TidalStream& tideStream;
    FixCycleState& cycleState;
    const Fix& fixInfo;
    const SentenceFix& sentenceFix;
    const ChartReference& chartRef;
    const Settings& settings;
    const Preferences& prefs;
    const QuickLog& quickLog;
    const RouteTable& route;
    const TidalDiamonds& tides;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    FollowRouteRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : routeProgress(s.routeProgress)
        , routeTexts(s.routeTexts)
        , motion(s.motion)
        , tideStream(s.tideStream)
        , cycleState(s.cycleState)
        , fixInfo(s.fixInfo)
        , sentenceFix(s.sentenceFix)
        , chartRef(s.chartRef)
        , settings(s.settings)
        , prefs(s.prefs)
        , quickLog(s.quickLog)
        , route(s.route)
        , tides(s.tides)
    {
    }
};

// The whole per-fix computation; the output composer runs after it.
void FollowRoute(FollowRouteRecords state);
// DRLat/DRLong one fix interval on from the newest quick-log record.
void DeadReckon(Motion& motion, Fix& fix, const ChartReference& ref, const RouteProgress& progress,
    const VesselSettings& vessel, std::uint32_t fixIntervalMs, const QuickLog& log);

// Leg restart: range and bearing from here, and the leg bearing set to it, so the cross-track
// error starts again at 0 from the present position.
void RestartLeg(RouteProgress& progress, RoutePanelTexts& texts, const Fix& fix, const ChartReference& ref,
    bool towNavigation, const RouteTable& route);
inline constexpr const char* kResetXteQuestion = "Reset XTE - Are you sure?";

// Whole hours relative to high water at the standard port, −6 … +6.
std::int16_t ComputeTidalHour(int fixHour, int fixMinute, int highWaterHour);

} // namespace kv
