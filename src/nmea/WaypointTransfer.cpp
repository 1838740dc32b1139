#include "nmea/WaypointTransfer.h"

#include "core/Format.h"

namespace kv {

std::string WaypointListLine(const RouteWaypoint& waypoint, const std::string& identifier, const TemplateContext& ctx)
{
    // The waypoint stands in for the active route entry while its line is expanded; the route
    // table and the active waypoint are left as they are.
    TemplateContext one = ctx;
    one.activeOverride = &waypoint;
    const std::string body = ExpandTemplate("$ECWPL,@~:3,", one) + identifier;
    // A receiver that checks checksums (most do) drops a line without one.
    return body + NMEAChecksum(body) + "\r\n";
}

std::vector<std::string> WaypointListLines(const std::vector<RouteWaypoint>& list, const TemplateContext& ctx)
{
    std::vector<std::string> names;
    names.reserve(list.size());
    for (const auto& w : list) {
        names.push_back(w.name);
    }
    const std::vector<std::string> ids = WaypointIdentifiers(names);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.size(); ++i) {
        lines.push_back(WaypointListLine(list[i], ids[i], ctx));
    }
    return lines;
}

namespace {

// Writes each line whole or not at all; returns the number written.
int SendLines(WaypointTransferRecords state, Platform& platform, const std::vector<RouteWaypoint>& list)
{
    const TemplateContext ctx = MakeTemplateContext(TemplateRecordsOf(state), platform.clock);
    int written = 0;
    for (const std::string& line : WaypointListLines(list, ctx)) {
        if (!line.empty() && state.nmeaLink.NmeaOpen && platform.serial.outputFree() >= line.size()
            && platform.serial.write(line)) {
            ++written;
        }
    }
    return written;
}

} // namespace

bool SendOutputText(const NmeaLink& link, SerialPort& serial)
{
    if (link.OutputText.empty() || serial.outputFree() < link.OutputText.size()) {
        return false;
    }
    return serial.write(link.OutputText);
}

void SendWPSClick(WaypointTransferRecords state, Platform& platform)
{
    std::vector<RouteWaypoint> list;
    const auto length = static_cast<std::size_t>(std::max<int>(state.routeProgress.RouteLength, 0));
    for (std::size_t i = 1; i <= length && i <= state.route.count(); ++i) {
        list.push_back(state.route.at(i));
    }
    SendLines(state, platform, list);
    platform.prompter.information(FormatInt(state.routeProgress.RouteLength, 3) + " Waypoints sent");
}

void SendChartWaypoints1Click(
    WaypointTransferRecords state, Platform& platform, const std::vector<ChartWaypointRef>& waypoints)
{
    std::vector<RouteWaypoint> list;
    list.reserve(waypoints.size());
    for (const auto& w : waypoints) {
        list.push_back({ w.name.substr(0, kRouteNameLength), w.lat, w.lon });
    }
    const int written = SendLines(state, platform, list);
    platform.prompter.information(FormatInt(written, 3) + " Chart Waypoints sent");
}

} // namespace kv
