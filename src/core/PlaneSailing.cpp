#include "core/PlaneSailing.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

// Longitude from A to B the short way round: two points either side of the date line are a few
// miles apart, not most of the way round the world.
double LongitudeDifference(double lonA, double lonB)
{
    double d = lonB - lonA;
    if (d > 180.0) {
        d -= 360.0;
    } else if (d < -180.0) {
        d += 360.0;
    }
    return d;
}

} // namespace

double PlaneSailingDistance(double cosLat, double latA, double lonA, double latB, double lonB)
{
    const double dLat = latB - latA;
    const double dLong = LongitudeDifference(lonA, lonB) * cosLat;
    return 60.0 * std::sqrt(dLat * dLat + dLong * dLong);
}

double PlaneSailingBearing(double cosLat, double latA, double lonA, double latB, double lonB)
{
    const double dLat = latA - latB;
    const double divisor = -LongitudeDifference(lonA, lonB) + 1e-9;
    double theta = std::atan((dLat / divisor) / cosLat) / (std::numbers::pi / 180.0);
    if (std::isnan(theta)) {
        theta = 0.0; // the same point with a zero divisor, or a zero latitude factor
    }
    return divisor >= 0.0 ? theta + 90.0 : theta + 270.0;
}

} // namespace kv
