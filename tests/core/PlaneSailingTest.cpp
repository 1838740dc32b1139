// Plane sailing, the distance and bearing every navigation figure is made of: the quadrants, the
// meridian and the date line.

#include "core/PlaneSailing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using namespace kv;

// Angular difference, so that 359.9999 and 0 count as close.
double AngleApart(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

TEST(PlaneSailing, QuadrantsMeridianAndDateLine)
{
    const double c50 = std::cos(50.0 * std::numbers::pi / 180.0);
    struct Case {
        const char* what;
        double cosLat, latA, lonA, latB, lonB; // longitudes west positive
        double distance, bearing;
    };
    const Case cases[] = {
        { "due east", c50, 50.0, 1.0, 50.0, 0.9, 6.0 * c50, 90.0 },
        { "due west", c50, 50.0, 1.0, 50.0, 1.1, 6.0 * c50, 270.0 },
        { "due north", 1.0, 50.0, 1.0, 50.1, 1.0, 6.0, 0.0 },
        { "due south", 1.0, 50.0, 1.0, 49.9, 1.0, 6.0, 180.0 },
        { "north-east", 1.0, 0.0, 0.0, 1.0, -1.0, 60.0 * std::sqrt(2.0), 45.0 },
        { "south-east", 1.0, 0.0, 0.0, -1.0, -1.0, 60.0 * std::sqrt(2.0), 135.0 },
        { "south-west", 1.0, 0.0, 0.0, -1.0, 1.0, 60.0 * std::sqrt(2.0), 225.0 },
        { "north-west", 1.0, 0.0, 0.0, 1.0, 1.0, 60.0 * std::sqrt(2.0), 315.0 },
        // North but a hair west of the meridian: the quadrant follows Δlong + 1e-9, not the sign
        // of the longitudes, so this is north and not south.
        { "north, a hair west", 1.0, 50.0, 1.0, 50.1, 1.0 + 5e-10, 6.0, 0.0 },
        { "south, on the offset", 1.0, 50.0, 1.0, 49.9, 1.0 + 1e-9, 6.0, 180.0 },
        // Either side of the date line (179.9° E is -179.9 west positive): the short way round.
        { "west over the date line", 1.0, 10.0, 179.9, 10.0, -179.9, 12.0, 270.0 },
        { "east over the date line", 1.0, 10.0, -179.9, 10.0, 179.9, 12.0, 90.0 },
        { "north-west over the date line", 1.0, 10.0, 179.95, 10.1, -179.95, 6.0 * std::sqrt(2.0), 315.0 },
        { "south-east over the date line", 1.0, 10.1, -179.95, 10.0, 179.95, 6.0 * std::sqrt(2.0), 135.0 },
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(PlaneSailingDistance(c.cosLat, c.latA, c.lonA, c.latB, c.lonB), c.distance, 1e-6) << c.what;
        const double b = PlaneSailingBearing(c.cosLat, c.latA, c.lonA, c.latB, c.lonB);
        EXPECT_LT(AngleApart(b, c.bearing), 1e-6) << c.what << ": " << b;
        EXPECT_GE(b, 0.0) << c.what;
        EXPECT_LE(b, 360.0) << c.what;
    }
    EXPECT_FALSE(std::isnan(PlaneSailingBearing(1.0, 50.0, 1.0, 50.0, 1.0 + 1e-9)));
}

} // namespace
