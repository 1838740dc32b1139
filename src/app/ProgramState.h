#pragma once
// The program's process-wide tables, owned by one object created in main and passed by
// reference. Tests build as many independent programs as they like.

#include "ais/AisState.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "app/AppState.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/NavState.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RouteTable.h"
#include "core/Settings.h"
#include "core/TidalAtlas.h"

namespace kv {

struct ProgramState {
    NavState nav;
    Settings settings;
    ExtraSettings extra; // kvfree.ini
    Preferences prefs;
    Display display;
    QuickLog quickLog;
    RouteTable route;
    TidalDiamonds tides;
    ChartStore chart;
    ChartGeometry chartGeometry;
    ChartWaypoints waypoints;
    AisState ais;
    AppState app;
};

} // namespace kv
