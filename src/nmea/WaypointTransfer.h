#pragma once
// Sending the route or the chart waypoints to the serial port as "$ECWPL" waypoint list lines.

#include "core/NmeaLink.h"
#include "nmea/Templates.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace kv {

struct ProgramState;

// A chart waypoint as the transfer needs it: its name field and position (west positive).
struct ChartWaypointRef {
    std::string name;
    double lat = 0.0;
    double lon = 0.0;
};

// The "$ECWPL" line of one waypoint (no checksum), ending in CR LF.
std::string WaypointListLine(const RouteWaypoint& waypoint, const TemplateContext& ctx);

// Route waypoints: the message counts the route's length, whatever was written.
void SendWPSClick(ProgramState& state, Platform& platform);
// Chart waypoints: the message counts the lines written.
void SendChartWaypoints1Click(ProgramState& state, Platform& platform, const std::vector<ChartWaypointRef>& waypoints);
// The same over the program's chart waypoint table.
void SendChartWaypoints1Click(ProgramState& state, Platform& platform);

// Sends the sentences of the last fix (link.OutputText) when there are any and the port has room
// for all of them; otherwise this fix's sentences are dropped. Returns whether they were written.
bool SendOutputText(const NmeaLink& link, SerialPort& serial);

} // namespace kv
