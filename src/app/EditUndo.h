#pragma once
// Undo and redo of the edits made by hand: chart points, chart waypoints and survey grids as one
// history for the chart, route waypoints as one history for the route. An edit command runs
// through `chartEdit` or `routeEdit`, which keep the record as it was when the command changed
// it. A history belongs to one chart (or route): it is forgotten when another is loaded, when the
// record is emptied, or when it is saved under another name.

#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "core/EditHistory.h"
#include "core/RouteTable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv {

class MainController;

// A chart as the edit commands change it. The slots above the point count are not kept: a
// saved chart holds only the counted points.
struct ChartSnapshot {
    std::vector<ChartPoint> points;
    std::vector<ChartWaypoint> waypoints;
    bool modified = false;
    int selectedPoint = 0;
    friend bool operator==(const ChartSnapshot&, const ChartSnapshot&) = default;
};

struct RouteSnapshot {
    std::vector<RouteWaypoint> waypoints;
    int activeWaypoint = 0;
    bool modified = false;
    friend bool operator==(const RouteSnapshot&, const RouteSnapshot&) = default;
};

class EditUndo {
public:
    // Each history keeps this many edits (a full chart snapshot is about 200 kB).
    static constexpr std::size_t kChartLimit = 64;
    static constexpr std::size_t kRouteLimit = 200;

    explicit EditUndo(MainController& controller)
        : c_(controller)
    {
    }

    // Runs a command that may change the chart (or the route); kept for undo when it did.
    void chartEdit(const std::function<void()>& command);
    void routeEdit(const std::function<void()>& command);
    // Keeps `before` as the route before an edit made outside a command (a drag of a waypoint).
    void recordRoute(RouteSnapshot before);

    // Takes back (or makes again) the newest edit of the chart or the route; false when there
    // was none.
    bool Undo();
    bool Redo();
    bool canUndo();
    bool canRedo();

    ChartSnapshot chartNow() const;
    RouteSnapshot routeNow() const;

private:
    // Forgets a history whose chart or route is no longer the one shown.
    void checkOwners();
    std::string chartOwner() const;
    std::string routeOwner() const;
    void restoreChart(const ChartSnapshot& s);
    void restoreRoute(const RouteSnapshot& s);

    MainController& c_;
    EditHistory<ChartSnapshot> chart_ { kChartLimit };
    EditHistory<RouteSnapshot> route_ { kRouteLimit };
    std::string chartKey_;
    std::string routeKey_;
    std::uint64_t stamp_ = 0;
};

} // namespace kv
