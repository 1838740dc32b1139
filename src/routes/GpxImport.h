#pragma once
// Routes from other programs: the points of a GPX file (its route points, or its waypoints when
// it has no route). Only what a route file can hold is read: position and name.

#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct GpxPoint {
    double lat = 0.0;
    double lon = 0.0; // east positive, as GPX has it
    std::string name; // single-byte, as the route file holds it
};

// Every <element lat=".." lon=".."> ... </element> with its <name>. A point without a valid
// position (missing, not a number, beyond 90 or 180 degrees) is left out and sets `bad`.
std::vector<GpxPoint> ReadGpxPoints(std::string_view xml, std::string_view element, bool& bad);

} // namespace kv
