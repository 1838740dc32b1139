#include "views/RouteMouse.h"

#include "views/EditRefresh.h"

#include <cmath>

namespace kv {

namespace {

// Own ship's position as the last fix left it in the cursor (chart datum).
std::optional<LatLong> OwnShipFix(const ViewRecords& state)
{
    if (state.quickLog.empty()) {
        return std::nullopt;
    }
    const QuickLogRecord& r = state.quickLog.at(state.quickLog.count());
    return LatLong { r.lat + state.chartRef.ChartLatOffset, r.lon - state.chartRef.ChartLongOffset };
}

bool Same(double a, double b)
{
    return std::fabs(a - b) < 1e-9;
}

} // namespace

LatLong RouteCommandPosition(const ViewRecords& state)
{
    const LatLong cursor { state.fixInfo.OwnLat, state.fixInfo.OwnLong };
    if (!state.routeEdit.HasPick) {
        return cursor;
    }
    const auto ship = OwnShipFix(state);
    if (ship && Same(ship->lat, cursor.lat) && Same(ship->lon, cursor.lon)) {
        return LatLong { state.routeEdit.PickLat, state.routeEdit.PickLong };
    }
    return cursor;
}

void AtRouteCommandPosition(ViewRecords state, const std::function<void()>& command)
{
    const LatLong at = RouteCommandPosition(state);
    const double lat = state.fixInfo.OwnLat;
    const double lon = state.fixInfo.OwnLong;
    state.fixInfo.OwnLat = at.lat;
    state.fixInfo.OwnLong = at.lon;
    command();
    state.fixInfo.OwnLat = lat;
    state.fixInfo.OwnLong = lon;
}

int RouteWaypointAt(const ChartView& v, const RouteTable& route, int x, int y, int radius)
{
    int found = 0;
    long best = static_cast<long>(radius) * radius;
    for (std::size_t i = 1; i <= route.count(); ++i) {
        const RouteWaypoint& w = route.at(i);
        const auto p = PositionToPixel(v.projection, w.lat, w.lon);
        if (!p) {
            continue;
        }
        const long dx = p->x - x;
        const long dy = p->y - y;
        const long d = dx * dx + dy * dy;
        if (d <= best && (found == 0 || d < best)) {
            best = d;
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool RouteDrag::press(ViewSet& set, ChartView& v, int x, int y)
{
    index_ = 0;
    ViewRecords& state = set.state();
    if (!state.routeEdit.DragWaypoints || v.bitmap.isNull()) {
        return false;
    }
    index_ = RouteWaypointAt(v, state.route, x, y);
    if (index_ == 0) {
        return false;
    }
    start_ = Pixel { x, y };
    moved_ = false;
    before_.assign(state.route.begin(), state.route.end());
    active_ = state.routeProgress.ActiveWaypoint;
    modified_ = state.routeEdit.RouteModified;
    return true;
}

void RouteDrag::move(ViewSet& set, ChartView& v, int x, int y)
{
    ViewRecords& state = set.state();
    if (index_ == 0 || index_ > static_cast<int>(state.route.count())) {
        return;
    }
    if (!moved_ && Pixel { x, y } == start_) {
        return;
    }
    moved_ = true;
    const LatLong to = PixelToLatLong(v.projection, x, y);
    RouteWaypoint& w = state.route.at(static_cast<std::size_t>(index_));
    w.lat = to.lat;
    w.lon = to.lon;
    RedrawInPlace(set, v);
}

std::optional<RouteDrag::Result> RouteDrag::release(ViewSet& set, ChartView& v, int x, int y)
{
    if (index_ == 0) {
        return std::nullopt;
    }
    move(set, v, x, y);
    const int index = index_;
    index_ = 0;
    if (!moved_ || index > static_cast<int>(set.state().route.count())) {
        return std::nullopt;
    }
    const RouteWaypoint& w = set.state().route.at(static_cast<std::size_t>(index));
    return Result { index, w.lat, w.lon, std::move(before_), active_, modified_ };
}

} // namespace kv
