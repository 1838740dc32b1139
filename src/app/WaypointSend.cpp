#include "app/WaypointSend.h"
#include "app/ProgramState.h"

#include "nmea/WaypointTransfer.h"

namespace kv {

void SendChartWaypoints1Click(ProgramState& state, Platform& platform)
{
    std::vector<ChartWaypointRef> list;
    for (std::size_t i = 1; i <= state.waypoints.count(); ++i) {
        const auto& w = state.waypoints.at(i);
        list.push_back({ w.name, w.lat, w.lon });
    }
    SendChartWaypoints1Click(state, platform, list);
}

} // namespace kv
