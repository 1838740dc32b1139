#pragma once
// The program's process-wide tables, owned by one object created in main and passed by
// reference. Tests build as many independent programs as they like.

#include "ais/AisState.h"
#include "ais/OwnShip.h"
#include "charts/ChartIndex.h"
#include "nmea/Templates.h"

#include "charts/ChartEditor.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "core/AisPlayback.h"
#include "core/AppState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/HeadingUpState.h"
#include "core/Instruments.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RouteEditing.h"
#include "core/RoutePanelTexts.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TextLogState.h"
#include "core/TidalAtlas.h"
#include "core/TidalStream.h"
#include "core/Units.h"

namespace kv {

struct ProgramState {
    // Navigation state, one record per owner (each header names who writes it).
    Fix fixInfo;
    SentenceFix sentenceFix;
    ChartReference chartRef;
    Motion motion;
    RouteProgress routeProgress;
    RoutePanelTexts routeTexts;
    TextLogState textLog;
    Folders folders;
    NmeaLink nmeaLink;
    RouteEditing routeEdit;
    TidalStream tideStream;
    FixCycleState cycleState;
    HeadingUpState headUp;
    AisPlayback aisPlayback;
    Settings settings;
    ExtraSettings extra; // kvfree.ini
    Preferences prefs;
    Display display;
    QuickLog quickLog;
    RouteTable route;
    TidalDiamonds tides;
    ChartStore chart;
    ChartIndex chartIndex;
    ChartGeometry chartGeometry;
    ChartWaypoints waypoints;
    ChartEditState chartEdit;
    AisState ais;
    AppState app;
    Instruments instruments; // depth, wind and heading as last received
};

// The own-vessel records the AIS code reads.
inline OwnShip OwnShipOf(const ProgramState& s)
{
    return OwnShip { s.fixInfo, s.chartRef, s.motion, s.sentenceFix, s.settings.units, s.prefs.fix, s.aisPlayback };
}

} // namespace kv
