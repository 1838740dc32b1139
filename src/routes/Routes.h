#pragma once
// The route: its files (`.rte` read and written, the DOS `.prn` read), the route commands of the
// main window and of a chart view's pop-up menu, the waypoint name list and the measure text.

#include "charts/ChartWaypoints.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/Folders.h"
#include "core/RouteEditing.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/Settings.h"
#include "core/Units.h"
#include "platform/Prompter.h"

#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kRouteFileMissing = "Route File does not exist !";
inline constexpr const char* kRouteFormatError = "Route file format error !";
inline constexpr const char* kErrorWritingRoute = "Error writing route file!";
inline constexpr const char* kSelectWaypointFirst = "Select a waypoint first !";
inline constexpr const char* kRouteFull = "40 Waypoints in the route - Delete one first!";
inline constexpr const char* kRemoveRouteQuestion = "This will remove the current route! - Are you sure?";

// The name field of a waypoint that was given no name: its letter ("A" … "Z", then "a" … "n"),
// 23 spaces, the symbol "19" and 3 spaces.
std::string DefaultRouteName(int index);
// One `.rte` line (the chart waypoint layout).
std::string RouteLine(const RouteWaypoint& waypoint);

// The waypoints of a route file (`.rte` or `.prn`, by its extension) without touching the
// program's route: for readers outside the main window (the voyage simulator). Up to 40 points;
// `problem` says why nothing was read, `formatError` that some line did not parse.
struct RouteFileRead {
    std::vector<RouteWaypoint> waypoints;
    bool formatError = false;
    std::string problem; // empty when the file was read
};
RouteFileRead ReadRouteWaypoints(const std::string& path);

// What the route commands need from the windows; the defaults do nothing.
class RouteHooks {
public:
    virtual ~RouteHooks() = default;
    virtual bool viewOpen() { return false; }
    virtual void resetCrossTrack() { }
    virtual void RedrawViews() { }
    virtual void UpdateMenuItems() { }
};

// The edit dialog "Edit Selected Route Waypoint".
struct EditRouteDialog {
    std::string name; // "Enter new WP name if required"
    bool MoveWP = false;
};

class RouteEditor {
public:
    // `settings` holds the configured route name; `fixSettings` is written for DRMode, which
    // removing the route leaves.
    RouteEditor(RouteTable& route, RouteProgress& progress, RouteEditing& editing, const Fix& fix,
        const ChartReference& reference, const ChartWaypoints& waypoints, Settings& settings, FixSettings& fixSettings,
        const Folders& folders, Display& display, Prompter& prompter, RouteHooks& hooks)
        : route_(route)
        , progress_(progress)
        , editing_(editing)
        , fix_(fix)
        , reference_(reference)
        , waypoints_(waypoints)
        , settings_(settings)
        , fixSettings_(fixSettings)
        , folders_(folders)
        , display_(display)
        , prompter_(prompter)
        , hooks_(hooks)
    {
    }

    // Reads a route file, replacing the route. False when nothing could be read.
    bool ReadRouteFile(const std::string& path);
    // Open route with the path the open dialog returned (empty: cancelled).
    void Routes1Click(const std::string& path);
    // Start-up and configuration loads: the route the configuration names, from the routes
    // folder below the program folder; nothing when it names none.
    void LoadConfiguredRoute();
    // Save route as, always in the `.rte` layout. False when the file could not be written.
    bool SaveRouteAs1Click(const std::string& path);
    // Remove route, after the question.
    void Route1Click();

    // The chart waypoint nearest the current position (ties to the later one); 0 when none.
    int NearestChartWaypoint() const;

    void AddRouteWaypoint1Click();
    void InsertWaypoint1Click();
    EditRouteDialog EditRoute1Click() const;
    void EditRouteOk(const EditRouteDialog& dialog);
    void DeleteSelectedWaypoint1Click();
    void WaypointSnapModeClick();
    // A waypoint moved by the mouse in a view: the route is marked modified. The caller draws
    // the views again.
    void MoveRouteWaypoint(int index, double lat, double lon);
    // The route as it was before an edit (undo and redo): its waypoints, selection and state.
    void RestoreRoute(const std::vector<RouteWaypoint>& waypoints, int active, bool modified);

    // Run by the one-second tick while RouteListChanged is set.
    void RefreshNameList();

private:
    void Changed();
    void SetSaveEnabled();
    RouteWaypoint NewWaypoint(int index, bool& snapped) const;

    RouteTable& route_;
    RouteProgress& progress_;
    RouteEditing& editing_;
    const Fix& fix_;
    const ChartReference& reference_;
    const ChartWaypoints& waypoints_;
    Settings& settings_;
    FixSettings& fixSettings_;
    const Folders& folders_;
    Display& display_;
    Prompter& prompter_;
    RouteHooks& hooks_;
};

// Measure mode: range and bearing from the measure start point to the current position.
struct MeasureResult {
    std::string text;
    double range = 0.0; // display units; the caller keeps it as RangeToWaypoint
};
MeasureResult MeasureText(double startLat, double startLong, const Fix& fix, const ChartReference& ref,
    const UnitSettings& units, double total);
// The same to a given position (lat, lon, longitude west positive) instead of OwnLat / OwnLong.
MeasureResult MeasureText(double startLat, double startLong, double lat, double lon, const ChartReference& ref,
    const UnitSettings& units, double total);
std::string MeasureUnitLabel(double unitFactor);

// "On Completion of route ..." and "Reversed route" as the dialog edits them: repeating a route
// and reversing it never stay on together.
struct RouteCompletionSettings {
    RouteCompletion completion = RouteCompletion::NormalMode;
    bool RevRoute = false;
};
void SelectRouteCompletion(RouteCompletionSettings& settings, RouteCompletion choice);
void RevRouteClick(RouteCompletionSettings& settings, bool ticked);

} // namespace kv
