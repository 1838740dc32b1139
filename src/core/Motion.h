#pragma once
// Speed, course and distances made good. Owner: navigation (speed and course over the ground,
// dead reckoning, the trip reset).

#include <cstdint>

namespace kv {

struct Motion {
    double SOG = 0.0; // knots
    double SOGShown = 0.0; // knots, as the panel shows it
    std::int16_t COG = 0; // degrees true, rounded
    double COGValue = 0.0; // degrees true, the same course as a double for drawing
    double LastLegDistance = 0.0; // display units
    double TripDistance = 0.0; // nautical miles
    double DRSpeed = 10.0; // knots
    double DRCourse = 0.0; // degrees true
    double DRLat = 0.0; // dead-reckoned position, receiver datum
    double DRLong = 0.0;
};

} // namespace kv
