#pragma once
// Command enabling of the main window: which commands a user may give in the present mode.
// Runs after every change of mode; the window mirrors Display.enabled / checked / hints.

#include "core/Display.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/RouteProgress.h"
#include "core/Settings.h"
#include "core/TextLogState.h"

#include <string>

namespace kv {

// What the enabling rule looks at, gathered from the tables and the views.
struct MenuInputs {
    int viewCount = 0;
    int logCount = 0;
    int routeLength = 0;
    bool drMode = false; // "&DR Mode" is checked
    bool nmeaOpen = false; // "NMEA &Interface" is checked
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

MenuInputs MenuInputsFrom(
    const RouteProgress& progress, const FixSettings& fix, const NmeaLink& link, int viewCount, int logCount);

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
