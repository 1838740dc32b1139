#pragma once
// Route following: speed and course over the quick log, range and bearing to the active
// waypoint, arrival and advance, the tidal stream at the vessel, course to steer, velocity made
// good, time to go, the cross-track error and the texts the panels and autopilot sentences show.
// Every distance and bearing is plane sailing on a flat chart scaled by CosLatFactor.

#include "app/ProgramState.h"

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
// The whole per-fix computation; the output composer runs after it.
void FollowRoute(ProgramState& state);
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
