#pragma once
// The chart waypoint table: the named buoys, lights, wrecks and information points of the chart,
// read from its waypoint database and drawn by symbol.

#include "core/BoundedTable.h"

#include <string>

namespace kv {

inline constexpr std::size_t kWaypointCapacity = 600;
inline constexpr std::size_t kWaypointNameLength = 29;
inline constexpr std::size_t kWaypointLabelLength = 24;
inline constexpr int kWaypointSymbols = 37;

// The name field is 29 characters: 1-24 the label, 25-26 the symbol number, 27-28 the symbol
// parameter R#, 29 carried unchanged.
struct ChartWaypoint {
    std::string name = std::string(kWaypointNameLength, ' ');
    double lat = 0.0;
    double lon = 0.0; // west positive

    // The label without its trailing spaces.
    std::string label() const;
    // Two-digit fields of the name; -1 when they are not digits.
    int symbol() const;
    int parameter() const;
    friend bool operator==(const ChartWaypoint&, const ChartWaypoint&) = default;
};

// A name field made of a label (cut or padded to 24), a symbol and a parameter.
std::string WaypointNameField(std::string_view label, int symbol, int parameter = 0);

using ChartWaypoints = BoundedTable<ChartWaypoint, kWaypointCapacity>;

} // namespace kv
