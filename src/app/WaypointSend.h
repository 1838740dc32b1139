#pragma once
// "Send Chart Waypoints" over the program's chart waypoint table.

#include "app/ProgramState.h"
#include "platform/Platform.h"

namespace kv {

void SendChartWaypoints1Click(ProgramState& state, Platform& platform);

} // namespace kv
