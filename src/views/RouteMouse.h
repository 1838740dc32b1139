#pragma once
// Route editing with the mouse: the route commands act at the point the user clicked, even while
// fixes keep moving the cursor back to own ship, and a route waypoint can be dragged to a new
// place while "Drag Route Waypoints" is ticked.

#include "views/ViewSet.h"

#include <functional>
#include <optional>
#include <vector>

namespace kv {

// How near (pixels) a press must be to a route waypoint's mark to take hold of it.
inline constexpr int kRouteGrabRadius = 6;

// The position the route commands use: the point last clicked in a view while the cursor stands
// where the last fix put own ship; otherwise the cursor itself (a click, a snap, a chart read).
LatLong RouteCommandPosition(const ViewRecords& state);

// Runs a route command with the cursor at RouteCommandPosition; own ship's position is put back
// afterwards.
void AtRouteCommandPosition(ViewRecords state, const std::function<void()>& command);

// The route waypoint whose mark is within `radius` pixels of (x, y) in the view's last drawing
// (the nearest; of equals the lower number); 0 when there is none.
int RouteWaypointAt(const ChartView& v, const RouteTable& route, int x, int y, int radius = kRouteGrabRadius);

// One drag of a route waypoint in one view.
class RouteDrag {
public:
    // A left press: takes hold of the waypoint under the mouse when dragging is switched on.
    // False when the press is the view's own (the cursor is placed as usual).
    bool press(ViewSet& set, ChartView& v, int x, int y);
    bool active() const { return index_ > 0; }
    int index() const { return index_; }
    // The waypoint follows the mouse; its legs are drawn again with it. The view stays put.
    void move(ViewSet& set, ChartView& v, int x, int y);

    struct Result {
        int index = 0;
        double lat = 0.0;
        double lon = 0.0;
        std::vector<RouteWaypoint> before; // the route before the drag
        int activeWaypoint = 0;
        bool modified = false;
    };
    // The end of the drag; nothing when the waypoint did not move.
    std::optional<Result> release(ViewSet& set, ChartView& v, int x, int y);

private:
    int index_ = 0;
    Pixel start_;
    bool moved_ = false;
    std::vector<RouteWaypoint> before_;
    int active_ = 0;
    bool modified_ = false;
};

} // namespace kv
