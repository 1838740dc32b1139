#pragma once
// Flags of the route editor. Owner: routes (the route editor); the view commands ask for a
// rebuild of the name list and the end of a leg keeps the active waypoint.

namespace kv {

struct RouteEditing {
    bool RouteListChanged = false;   // the waypoint name list is rebuilt on the next tick
    bool KeepActiveWaypoint = false; // that rebuild keeps ActiveWaypoint
    bool WaypointSnap = false;       // new route waypoints snap to the nearest chart waypoint
    bool RouteModified = false;      // edited in a view since it was opened or saved
};

} // namespace kv
