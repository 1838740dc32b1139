#pragma once
// Plane sailing: the one distance and bearing of the program's navigation, used alike for route
// following, AIS targets and chart editing. Longitudes are west positive; cosLat is the chart's
// latitude factor that shortens a degree of longitude.

namespace kv {

// Nautical miles: 60 × √(Δlat² + (Δlong × cosLat)²).
double PlaneSailingDistance(double cosLat, double latA, double lonA, double latB, double lonB);

// Degrees true from A to B, 0 up to 360. The quadrant follows the sign of Δlong + 1e-9 (the small
// offset keeps a meridian course away from a division by zero), so a point due north a hair to
// the west stays north.
double PlaneSailingBearing(double cosLat, double latA, double lonA, double latB, double lonB);

} // namespace kv
