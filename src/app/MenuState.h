#pragma once
// Command enabling of the main window: which commands a user may give in the present mode.
// Runs after every change of mode; the window mirrors Display.enabled / checked / hints.

#include "core/Display.h"
#include "core/NmeaLink.h"
#include "core/RouteProgress.h"
#include "core/Settings.h"
#include "core/Preferences.h"

#include <string>

namespace kv {

// What the enabling rule looks at, gathered from the tables and the views.
struct MenuInputs {
    int viewCount = 0;
    int logCount = 0;
    int routeLength = 0;
    bool drMode = false;       // "&DR Mode" is checked
    bool nmeaOpen = false;     // "NMEA &Interface" is checked
    bool keepTextLog = true;
    bool tidesLoaded = false;
    int chartPointCount = 0;
    int chartWaypointCount = 0;
    bool chartEditMode = false;
    bool layerMaskSet = false;
    bool chartsAvailable = false;
    // Chart points are placed only at a scale of 1 or more, where a pixel is fine enough.
    double activeViewZoom = 1.0;
};

MenuInputs MenuInputsFrom(const RouteProgress& progress, const FixSettings& fix, const NmeaLink& link, int viewCount, int logCount);

// Control names of the commands the rule governs.
namespace cmd {
inline constexpr const char* File = "File1";
inline constexpr const char* Window = "Window1";
inline constexpr const char* Print = "Print1";
inline constexpr const char* Charts = "Charts1";
inline constexpr const char* Logs = "Logs1";
inline constexpr const char* Tides = "Tides1";
inline constexpr const char* RouteFiles = "Routes1";
inline constexpr const char* SaveLogAs = "SaveLogAs1";
inline constexpr const char* SaveRouteAs = "SaveRouteAs1";
inline constexpr const char* Route = "Route1";
inline constexpr const char* Fix = "Fix1";
inline constexpr const char* FixButton = "FixBtn";
inline constexpr const char* DRMode = "DRMode1";
inline constexpr const char* TideStep = "TideStep1";
inline constexpr const char* TidesDisplay = "Tides2";
inline constexpr const char* SendRouteWaypoints = "SendWaypoints1";
inline constexpr const char* SendRouteWaypointsButton = "SendWPS";
inline constexpr const char* SendChartWaypoints = "SendChartWaypoints1";
inline constexpr const char* LocateAntenna = "Find_Antenna";
inline constexpr const char* ChartPointEditing = "ChartPoints1";
inline constexpr const char* SaveChartAs = "SaveChartAs1";
inline constexpr const char* ChartWaypointEdit = "EditChartWaypoint1";
inline constexpr const char* ChartWaypointDelete = "DeleteChartWaypoint1";
inline constexpr const char* WaypointSnap = "WaypointSnapMode1";
inline constexpr const char* DOSWaypointFormat = kDOSWPTformat;
inline constexpr const char* Layers = "Layers1";
// The chart-point commands that go with ChartPoints1.
inline constexpr const char* PointCommands[] = {"AddChartPoint1", "SetLineType1", "EditPoint1", "DeletePoint1",
                                                "SnaptoChart1", "AutoMakeGrid1"};
inline constexpr const char* AddChartWaypoint = "AddChartWaypoint1";
inline constexpr const char* SurveyTrack = "SurveyTrack1";
inline constexpr const char* StartNewChart = "StartNew";
inline constexpr const char* AutoChart = "AutoChart1";
inline constexpr const char* TextLogButton = "TxtLogOnOff";
inline constexpr const char* NmeaInterface = "NMEAInterface1";
} // namespace cmd

inline constexpr const char* kTextLogsOffHint = "Press for Text Logs Off|";
inline constexpr const char* kTextLogsOnHint = "Release for Text Logs On|";

// Applies the enabling table to the display, and the fix timer's enabled state. Returns true when
// no view is open, in which case the caller empties the chart counts, the layer mask and the chart
// name (tables this rule does not own).
bool UpdateMenuItems(Display& display, const MenuInputs& in);

// "Next Waypoint": the next waypoint, or the first after the last.
int NextWaypoint(int activeWaypoint, int routeLength);

// The hint of the waypoint list after a choice: the name without trailing blanks and "@" followed
// by "|" when it has 13 or more characters, otherwise "Selected Waypoint|".
std::string WaypointListHint(const std::string& routeEntryName);

} // namespace kv
