#include "app/MenuState.h"

#include "core/Format.h"

namespace kv {

MenuInputs MenuInputsFrom(const RouteProgress& progress, const FixSettings& fix, const NmeaLink& link, int viewCount, int logCount)
{
    MenuInputs in;
    in.viewCount = viewCount;
    in.logCount = logCount;
    in.routeLength = progress.RouteLength;
    in.drMode = fix.DRMode;
    in.nmeaOpen = link.NmeaOpen;
    in.keepTextLog = fix.KeepTextLog;
    return in;
}

bool UpdateMenuItems(Display& d, const MenuInputs& in)
{
    d.checked[cmd::TextLogButton] = !in.keepTextLog; // down while text logs are off
    d.hints[cmd::TextLogButton] = in.keepTextLog ? kTextLogsOffHint : kTextLogsOnHint;

    const bool view = in.viewCount > 0;
    const bool oneView = in.viewCount == 1;
    auto set = [&d](const char* name, bool on) { d.enabled[name] = on; };

    // The DOS waypoint format governs how the open chart's waypoints are saved: a chart command.
    for (const char* name : {cmd::File, cmd::Window, cmd::Print, cmd::Charts, cmd::Logs, cmd::Tides, cmd::RouteFiles,
                             cmd::DOSWaypointFormat}) {
        set(name, view);
    }
    set(cmd::SaveLogAs, view && in.logCount > 0);
    const bool routeOn = view && in.routeLength > 0;
    set(cmd::SaveRouteAs, routeOn);
    set(cmd::Route, routeOn);
    set(cmd::Fix, view && !in.drMode);
    set(cmd::FixButton, view && !in.drMode);
    set(cmd::DRMode, routeOn);
    set(cmd::TideStep, view && in.tidesLoaded);
    set(cmd::TidesDisplay, view && in.tidesLoaded);
    set(cmd::SendRouteWaypoints, routeOn && in.nmeaOpen);
    set(cmd::SendRouteWaypointsButton, routeOn && in.nmeaOpen);
    set(cmd::SendChartWaypoints, in.chartWaypointCount > 0 && in.nmeaOpen);
    set(cmd::LocateAntenna, oneView && in.logCount == 0 && !in.drMode && !in.nmeaOpen);
    const bool pointEditing =
        oneView && in.logCount == 0 && in.chartPointCount > 0 && in.chartEditMode && in.activeViewZoom >= 1.0;
    set(cmd::ChartPointEditing, pointEditing);
    set(cmd::SaveChartAs, pointEditing);
    for (const char* name : cmd::PointCommands) {
        set(name, pointEditing);
    }
    set(cmd::AddChartWaypoint, view);
    set(cmd::SurveyTrack, view);
    const bool waypoints = view && in.chartWaypointCount > 0;
    set(cmd::ChartWaypointEdit, waypoints);
    set(cmd::ChartWaypointDelete, waypoints);
    set(cmd::WaypointSnap, waypoints);
    set(cmd::Layers, view && in.chartPointCount > 0 && in.layerMaskSet);
    set(cmd::StartNewChart, in.chartPointCount == 0 && in.chartEditMode);
    set(cmd::AutoChart, view && in.chartsAvailable);

    d.FixTimer.enabled = (in.routeLength > 0 && in.drMode) || in.nmeaOpen;
    return !view;
}

int NextWaypoint(int activeWaypoint, int routeLength)
{
    if (routeLength <= 0) {
        return 0;
    }
    return activeWaypoint >= routeLength ? 1 : activeWaypoint + 1;
}

std::string WaypointListHint(const std::string& routeEntryName)
{
    const std::string name = TrimRight(routeEntryName, " @");
    return name.size() >= 13 ? name + "|" : std::string("Selected Waypoint|");
}

} // namespace kv
