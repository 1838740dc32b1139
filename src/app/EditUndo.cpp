#include "app/EditUndo.h"

#include "app/MainController.h"
#include "charts/WaypointFiles.h"

#include <algorithm>

namespace kv {

ChartSnapshot EditUndo::chartNow() const
{
    const ProgramState& s = c_.state();
    ChartSnapshot snap;
    snap.points.reserve(static_cast<std::size_t>(s.chart.count()));
    for (int i = 1; i <= s.chart.count(); ++i) {
        snap.points.push_back(s.chart.point(i));
    }
    snap.waypoints.assign(s.waypoints.begin(), s.waypoints.end());
    snap.modified = s.chart.Modified;
    snap.selectedPoint = s.chartEdit.SelectedPoint;
    return snap;
}

RouteSnapshot EditUndo::routeNow() const
{
    const ProgramState& s = c_.state();
    return RouteSnapshot { std::vector<RouteWaypoint>(s.route.begin(), s.route.end()), s.routeProgress.ActiveWaypoint,
        s.routeEdit.RouteModified };
}

std::string EditUndo::chartOwner() const
{
    const ProgramState& s = c_.state();
    return std::to_string(s.chart.Generation) + "|" + s.chart.ChartName.str();
}

std::string EditUndo::routeOwner() const
{
    const ProgramState& s = c_.state();
    return std::to_string(s.routeEdit.RouteLoads) + "|" + s.settings.RouteName;
}

void EditUndo::checkOwners()
{
    if (const std::string key = chartOwner(); key != chartKey_) {
        chart_.clear();
        chartKey_ = key;
    }
    if (const std::string key = routeOwner(); key != routeKey_) {
        route_.clear();
        routeKey_ = key;
    }
}

void EditUndo::chartEdit(const std::function<void()>& command)
{
    checkOwners();
    ChartSnapshot before = chartNow();
    command();
    // A command that replaced the chart starts a new history rather than joining the old one.
    if (chartOwner() != chartKey_) {
        checkOwners();
        return;
    }
    // Only the contents count: a selection or a modified flag alone is no edit to take back.
    const ChartSnapshot after = chartNow();
    if (after.points != before.points || after.waypoints != before.waypoints) {
        chart_.record(std::move(before), ++stamp_);
    }
}

void EditUndo::routeEdit(const std::function<void()>& command)
{
    checkOwners();
    RouteSnapshot before = routeNow();
    command();
    if (routeOwner() != routeKey_) {
        checkOwners();
        return;
    }
    if (routeNow().waypoints != before.waypoints) {
        route_.record(std::move(before), ++stamp_);
    }
}

void EditUndo::recordRoute(RouteSnapshot before)
{
    checkOwners();
    if (routeNow().waypoints != before.waypoints) {
        route_.record(std::move(before), ++stamp_);
    }
}

bool EditUndo::canUndo()
{
    checkOwners();
    return chart_.canUndo() || route_.canUndo();
}

bool EditUndo::canRedo()
{
    checkOwners();
    return chart_.canRedo() || route_.canRedo();
}

bool EditUndo::Undo()
{
    checkOwners();
    // The newest edit of either record goes first.
    if (chart_.undoStamp() > route_.undoStamp()) {
        restoreChart(*chart_.undo(chartNow()));
        return true;
    }
    if (route_.canUndo()) {
        restoreRoute(*route_.undo(routeNow()));
        return true;
    }
    return false;
}

bool EditUndo::Redo()
{
    checkOwners();
    // The edit undone last is made again first: it carries the older stamp of the two.
    const std::uint64_t chartStamp = chart_.redoStamp();
    const std::uint64_t routeStamp = route_.redoStamp();
    if (chartStamp != 0 && (routeStamp == 0 || chartStamp < routeStamp)) {
        restoreChart(*chart_.redo(chartNow()));
        return true;
    }
    if (routeStamp != 0) {
        restoreRoute(*route_.redo(routeNow()));
        return true;
    }
    return false;
}

void EditUndo::restoreChart(const ChartSnapshot& s)
{
    ProgramState& state = c_.state();
    const bool waypointsChanged
        = !std::equal(s.waypoints.begin(), s.waypoints.end(), state.waypoints.begin(), state.waypoints.end());
    state.chart.setCount(static_cast<int>(s.points.size()));
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        state.chart.setPoint(static_cast<int>(i) + 1, s.points[i]);
    }
    state.waypoints.clear();
    for (const ChartWaypoint& w : s.waypoints) {
        state.waypoints.push(w);
    }
    state.chart.Modified = s.modified;
    state.chartEdit.SelectedPoint = s.selectedPoint;
    // A grid taken back by undo can no longer be taken back by "Undo Auto Grid".
    state.display.enabled[Control::UndoAutoGrid1] = false;
    state.chartEdit.UndoMark = state.chart.count();
    // The waypoint commands write the database at once; so does taking them back.
    if (waypointsChanged) {
        WriteWaypointDatabase(state.waypoints, state.chart, state.prefs, c_.platform().prompter);
    }
    c_.RedrawViews();
    c_.UpdateMenuItems();
}

void EditUndo::restoreRoute(const RouteSnapshot& s)
{
    c_.routes().RestoreRoute(s.waypoints, s.activeWaypoint, s.modified);
}

} // namespace kv
