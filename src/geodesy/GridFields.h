#pragma once
// The waypoint edit dialog's position and National Grid fields, and the two conversions between
// them that run when the user leaves one of them.

#include <string>

namespace kv {

struct WaypointPositionFields {
    std::string Latitude;
    std::string Longitude;
    std::string Easting;
    std::string Northing;
};

// Leaving Latitude or Longitude: completes both texts and writes the numeric grid texts
// (stars outside the grid).
void ToOSClick(WaypointPositionFields& fields);

// Leaving Easting or Northing: writes the position texts. Nothing changes while either field
// holds the stars or a text that is not a number.
void ToLatLongClick(WaypointPositionFields& fields);

} // namespace kv
