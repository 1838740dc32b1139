#pragma once
// The route table: 40 waypoints, numbered from 1. A name field is laid out as a chart waypoint's
// name (characters 1-24 the label, 25-26 the symbol number, the rest carried unchanged).

#include "core/BoundedTable.h"

#include <string>

namespace kv {

struct RouteWaypoint {
    std::string name; // up to 29 characters
    double lat = 0.0;
    double lon = 0.0; // west positive
    friend bool operator==(const RouteWaypoint&, const RouteWaypoint&) = default;
};

inline constexpr std::size_t kRouteCapacity = 40;
inline constexpr std::size_t kRouteNameLength = 29;
// What the main window's waypoint list shows of a name: the label without the symbol columns.
inline constexpr std::size_t kRouteLabelLength = 24;
using RouteTable = BoundedTable<RouteWaypoint, kRouteCapacity>;

} // namespace kv
