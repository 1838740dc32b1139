#pragma once
// Flags of the route editor. Owner: routes (the route editor); the view commands ask for a
// rebuild of the name list and the end of a leg keeps the active waypoint.

namespace kv {

struct RouteEditing {
    bool RouteListChanged = false; // the waypoint name list is rebuilt on the next tick
    bool KeepActiveWaypoint = false; // that rebuild keeps ActiveWaypoint
    bool WaypointSnap = false; // new route waypoints snap to the nearest chart waypoint
    bool RouteModified = false; // edited in a view since it was opened or saved
    // Counts the times the route was replaced (read from a file or removed): an undo history
    // kept for one route does not apply to the next.
    unsigned RouteLoads = 0;
    // The point last clicked in a chart view. The fix cycle moves the cursor back to own ship at
    // every fix; the route commands still act where the user clicked.
    bool HasPick = false;
    double PickLat = 0.0;
    double PickLong = 0.0; // west positive
    // Route waypoints may be dragged with the left button in the chart views.
    bool DragWaypoints = false;
};

} // namespace kv
