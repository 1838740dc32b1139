#pragma once
// Sending the route or the chart waypoints to the serial port as "$ECWPL" waypoint list lines.

#include "core/NmeaLink.h"
#include "nmea/Templates.h"
#include "platform/Platform.h"

#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "core/QuickLog.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/TextLogState.h"
#include <string>
#include <vector>

namespace kv {

// A chart waypoint as the transfer needs it: its name field and position (west positive).
struct ChartWaypointRef {
    std::string name;
    double lat = 0.0;
    double lon = 0.0;
};

// What the waypoint transfer reads: whether the interface is open, the route and how far along it
// the vessel is, and the records the waypoint list line prints.
struct WaypointTransferRecords {
    const NmeaLink& nmeaLink;
    const RouteTable& route;
    const RouteProgress& routeProgress;
    const Fix& fixInfo;
    const SentenceFix& sentenceFix;
    const ChartReference& chartRef;
    const Motion& motion;
    const TextLogState& textLog;
    const QuickLog& quickLog;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    WaypointTransferRecords(
        S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : nmeaLink(s.nmeaLink)
        , route(s.route)
        , routeProgress(s.routeProgress)
        , fixInfo(s.fixInfo)
        , sentenceFix(s.sentenceFix)
        , chartRef(s.chartRef)
        , motion(s.motion)
        , textLog(s.textLog)
        , quickLog(s.quickLog)
    {
    }
};

// The "$ECWPL" line of one waypoint under the given identifier, with its checksum, ending in
// CR LF.
std::string WaypointListLine(const RouteWaypoint& waypoint, const std::string& identifier, const TemplateContext& ctx);
// The "$ECWPL" lines of a list of waypoints, each under its identifier unique within the list
// (for the route, the identifiers its autopilot sentences use).
std::vector<std::string> WaypointListLines(const std::vector<RouteWaypoint>& list, const TemplateContext& ctx);

// Route waypoints: the message counts the route's length, whatever was written.
void SendWPSClick(WaypointTransferRecords state, Platform& platform);
// Chart waypoints: the message counts the lines written.
void SendChartWaypoints1Click(
    WaypointTransferRecords state, Platform& platform, const std::vector<ChartWaypointRef>& waypoints);

// Sends the sentences of the last fix (link.OutputText) when there are any and the port has room
// for all of them; otherwise this fix's sentences are dropped. Returns whether they were written.
bool SendOutputText(const NmeaLink& link, SerialPort& serial);

} // namespace kv
