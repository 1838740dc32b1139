#include "app/MenuState.h"

#include "core/Format.h"

namespace kv {

namespace {

// The chart-point commands that go with ChartPoints1.
constexpr Control kPointCommands[] = { Control::AddChartPoint1, Control::SetLineType1, Control::EditPoint1,
    Control::DeletePoint1, Control::SnaptoChart1, Control::AutoMakeGrid1 };

} // namespace

MenuInputs MenuInputsFrom(
    const RouteProgress& progress, const FixSettings& fix, const NmeaLink& link, int viewCount, int logCount)
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
    d.checked[Control::TxtLogOnOff] = !in.keepTextLog; // down while text logs are off
    d.hints[Control::TxtLogOnOff] = in.keepTextLog ? kTextLogPressHint : kTextLogReleaseHint;

    const bool view = in.viewCount > 0;
    const bool oneView = in.viewCount == 1;
    auto set = [&d](Control c, bool on) { d.enabled[c] = on; };

    // The DOS waypoint format governs how the open chart's waypoints are saved: a chart command.
    for (Control c : { Control::File1, Control::Window1, Control::Print1, Control::Charts1, Control::Logs1,
             Control::Tides1, Control::Routes1, Control::DOSWPTformat }) {
        set(c, view);
    }
    set(Control::SaveLogAs1, view && in.logCount > 0);
    const bool routeOn = view && in.routeLength > 0;
    set(Control::SaveRouteAs1, routeOn);
    set(Control::Route1, routeOn);
    set(Control::Fix1, view && !in.drMode);
    set(Control::FixBtn, view && !in.drMode);
    set(Control::DRMode1, routeOn);
    set(Control::TideStep1, view && in.tidesLoaded);
    set(Control::Tides2, view && in.tidesLoaded);
    set(Control::SendWaypoints1, routeOn && in.nmeaOpen);
    set(Control::SendWPS, routeOn && in.nmeaOpen);
    set(Control::SendChartWaypoints1, in.chartWaypointCount > 0 && in.nmeaOpen);
    set(Control::Find_Antenna, oneView && in.logCount == 0 && !in.drMode && !in.nmeaOpen);
    const bool pointEditing
        = oneView && in.logCount == 0 && in.chartPointCount > 0 && in.chartEditMode && in.activeViewZoom >= 1.0;
    set(Control::ChartPoints1, pointEditing);
    set(Control::SaveChartAs1, pointEditing);
    for (Control c : kPointCommands) {
        set(c, pointEditing);
    }
    set(Control::AddChartWaypoint1, view);
    set(Control::SurveyTrack1, view);
    const bool waypoints = view && in.chartWaypointCount > 0;
    set(Control::EditChartWaypoint1, waypoints);
    set(Control::DeleteChartWaypoint1, waypoints);
    set(Control::WaypointSnapMode1, waypoints);
    set(Control::Layers1, view && in.chartPointCount > 0 && in.layerMaskSet);
    set(Control::StartNew, in.chartPointCount == 0 && in.chartEditMode);
    // The tool-bar button and the menu command load the nearest chart as the auto-chart does.
    set(Control::AutoChart, view && in.chartsAvailable);
    set(Control::LoadNearestChart1, view && in.chartsAvailable);

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
