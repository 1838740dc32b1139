#pragma once
// Between GPX and the program's tables: a GPX route becomes the route (40 waypoints), GPX
// waypoints chart waypoints (600), a GPX track a track log (98 records); and back.

#include "charts/ChartWaypoints.h"
#include "core/QuickLog.h"
#include "core/RouteTable.h"
#include "routes/GpxImport.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kv {

// A route: its first 40 points, named by their label (cut to 24 characters, symbol 19) or, when
// they have none, by their letter. `dropped` counts the points a route cannot hold.
struct GpxRouteWaypoints {
    std::vector<RouteWaypoint> waypoints;
    std::size_t dropped = 0;
};
GpxRouteWaypoints RouteFromGpx(const GpxLine& route);

// Appends the waypoints to the table (symbol 19) until it holds 600; returns how many were added.
std::size_t AddGpxWaypoints(const std::vector<GpxPoint>& points, ChartWaypoints& table);

// A track as track log records: a longer track keeps its first and last points and others evenly
// spread between them, so that the shape of the whole passage is drawn. Points without a time of
// day get the time of the point before them (0 for the first).
QuickLog QuickLogFromGpx(const GpxLine& track);

GpxLine GpxFromRoute(const RouteTable& route, const std::string& name);
std::vector<GpxPoint> GpxFromChartWaypoints(const ChartWaypoints& table);

// A day's track log: records outside the globe are left out (`leftOut` counts them). The points
// carry a time when the log's name is a date "dd-mm-yy".
struct GpxTrackFromLog {
    GpxLine track;
    std::vector<std::size_t> leftOut; // 1-based record numbers
    bool dated = false;
};
GpxTrackFromLog GpxFromTrackLog(const std::vector<QuickLogRecord>& records, const std::string& logPath);

// The date of a day's log from its name "dd-mm-yy" as "20yy-mm-dd"; empty for other names.
std::string DateOfLogName(const std::string& path);
// "hh:mm:ss.sss" of minutes since midnight.
std::string TimeOfDayText(double minutes);

} // namespace kv
