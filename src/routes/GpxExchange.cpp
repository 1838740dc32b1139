#include "routes/GpxExchange.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "routes/Routes.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace kv {

GpxRouteWaypoints RouteFromGpx(const GpxLine& route)
{
    GpxRouteWaypoints result;
    const std::size_t kept = std::min(route.points.size(), kRouteCapacity);
    result.dropped = route.points.size() - kept;
    for (std::size_t i = 0; i < kept; ++i) {
        const GpxPoint& p = route.points[i];
        const std::string label = Trim(p.name);
        const std::string name = label.empty()
            ? DefaultRouteName(static_cast<int>(i) + 1)
            : PadRight(label.substr(0, kWaypointLabelLength), kWaypointLabelLength) + "19   ";
        result.waypoints.push_back({ name, p.lat, -p.lon });
    }
    return result;
}

std::size_t AddGpxWaypoints(const std::vector<GpxPoint>& points, ChartWaypoints& table)
{
    std::size_t added = 0;
    for (const GpxPoint& p : points) {
        if (!table.push({ WaypointNameField(Trim(p.name), 19), p.lat, -p.lon })) {
            break;
        }
        ++added;
    }
    return added;
}

QuickLog QuickLogFromGpx(const GpxLine& track)
{
    QuickLog log;
    const std::size_t n = track.points.size();
    const std::size_t kept = std::min(n, kQuickLogCapacity);
    double minutes = 0.0;
    for (std::size_t k = 0; k < kept; ++k) {
        // Index k of kept spread over 0 … n-1, first and last included.
        const std::size_t i = kept < 2 ? 0 : (k * (n - 1) + (kept - 1) / 2) / (kept - 1);
        const GpxPoint& p = track.points[i];
        minutes = GpxMinutesOfDay(p.time).value_or(minutes);
        log.push({ p.lat, -p.lon, minutes });
    }
    return log;
}

GpxLine GpxFromRoute(const RouteTable& route, const std::string& name)
{
    GpxLine line { name, {} };
    for (std::size_t i = 1; i <= route.count(); ++i) {
        const RouteWaypoint& w = route.at(i);
        line.points.push_back(
            { w.lat, -w.lon, TrimRight(w.name.substr(0, std::min(w.name.size(), kWaypointLabelLength))), {} });
    }
    return line;
}

std::vector<GpxPoint> GpxFromChartWaypoints(const ChartWaypoints& table)
{
    std::vector<GpxPoint> points;
    for (std::size_t i = 1; i <= table.count(); ++i) {
        const ChartWaypoint& w = table.at(i);
        points.push_back({ w.lat, -w.lon, w.label(), {} });
    }
    return points;
}

std::string TimeOfDayText(double minutes)
{
    if (!std::isfinite(minutes)) {
        minutes = 0.0;
    }
    long long ms = RoundHalfEven(std::fmod(std::fmod(minutes, 1440.0) + 1440.0, 1440.0) * 60000.0);
    ms %= 86400000LL;
    char buffer[32];
    std::snprintf(
        buffer, sizeof buffer, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buffer;
}

std::string DateOfLogName(const std::string& path)
{
    const std::string name = NameWithoutExtension(path);
    if (name.size() != 8 || name[2] != '-' || name[5] != '-') {
        return {};
    }
    const auto d = ParseInt(name.substr(0, 2)), m = ParseInt(name.substr(3, 2)), y = ParseInt(name.substr(6, 2));
    if (!d || !m || !y || *y < 0
        || !std::chrono::year_month_day(std::chrono::year(2000 + static_cast<int>(*y)),
            std::chrono::month(static_cast<unsigned>(std::clamp(*m, 0LL, 13LL))),
            std::chrono::day(static_cast<unsigned>(std::clamp(*d, 0LL, 32LL))))
                .ok()) {
        return {};
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "20%02lld-%02lld-%02lld", *y, *m, *d);
    return buffer;
}

GpxTrackFromLog GpxFromTrackLog(const std::vector<QuickLogRecord>& records, const std::string& logPath)
{
    GpxTrackFromLog result;
    const std::string date = DateOfLogName(logPath);
    result.dated = !date.empty();
    // File names are plain; anything XML would read as markup is left out of the track's name.
    for (const unsigned char c : NameWithoutExtension(logPath)) {
        if (c >= 0x20 && c < 0x7f && c != '<' && c != '>' && c != '&') {
            result.track.name += static_cast<char>(c);
        }
    }
    for (std::size_t k = 0; k < records.size(); ++k) {
        const QuickLogRecord& r = records[k];
        if (!(std::fabs(r.lat) <= 90.0 && std::fabs(r.lon) <= 180.0)) {
            result.leftOut.push_back(k + 1);
            continue;
        }
        // GPX longitudes are east positive; the time is the log's own clock.
        result.track.points.push_back(
            { r.lat, -r.lon, {}, result.dated ? date + "T" + TimeOfDayText(r.minutes) : std::string() });
    }
    return result;
}

} // namespace kv
