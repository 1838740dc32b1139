#pragma once
// Where the vessel is on the active route. Owner: navigation (route following, restarting a leg,
// the end of a route); the route editor sets the active waypoint and the route length, and
// removing a route or a purge resets them.

#include "core/ShortString.h"

#include <cstdint>

namespace kv {

struct RouteProgress {
    std::int16_t RouteLength = 0;
    std::int16_t ActiveWaypoint = 0; // 0 none; RouteLength + 1 past the end
    bool RouteReversed = false;
    double XTE = 0.0; // nautical miles, right positive
    double RangeToWaypoint = 0.0; // nautical miles, whatever the display unit
    double BearingToWaypoint = 0.0;
    double LegBearing = 0.0;
    // The leg the cross-track error is measured from: the waypoint it leads to (0 while no leg has
    // been set for the active waypoint) and the route waypoint it starts at (0 when it starts where
    // the navigator restarted it).
    std::int16_t LegWaypoint = 0;
    std::int16_t LegOrigin = 0;
    // Set at each fix: whether XTE is a true distance from a defined leg (not clamped), whether
    // the vessel is inside the destination's arrival circle, and whether it has passed the
    // destination abeam (the waypoint lies on or behind the perpendicular to the leg).
    bool XTEValid = false;
    bool ArrivalCircleEntered = false;
    bool PerpendicularPassed = false;
    std::int16_t CourseToSteer = -1; // degrees true; -1 none
    double CourseToSteerExact = -1.0; // course to steer before rounding, degrees
    double VMG = 0.0; // knots
    double TimeToWaypoint = 0.0; // hours; -1 unreachable at VMG, -2 stream stronger than the boat
    ShortString<33> WaypointName; // label of the active waypoint
    double TideCross = 0.0; // knots, across the bearing line
    double TideAlong = 0.0; // knots, along the bearing line
    double WaterSpeedShown = 0.0; // knots
    double TowLat = 0.0; // tow position, chart datum
    double TowLong = 0.0;
};

} // namespace kv
