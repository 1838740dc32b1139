#pragma once
// The records the chart views work on. The views draw nearly the whole model, so the bundles are
// wide, but they name what the views may touch: never the logs' counters or the fix cycle's state.

#include "ais/AisState.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/Folders.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RouteEditing.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TextLogState.h"
#include "core/TidalAtlas.h"
#include "core/TidalStream.h"

namespace kv {

// What the view set and the view commands read and write: the cursor (own position), the
// indicators, the AIS selection, the chart geometry of the last view, and what closing the last view
// empties.
struct ViewRecords {
    AisState& ais;
    const ChartStore& chart;
    ChartGeometry& chartGeometry;
    const ChartReference& chartRef;
    Display& display;
    Fix& fixInfo;
    const QuickLog& quickLog;
    RouteTable& route; // a dragged route waypoint moves as the mouse does
    RouteEditing& routeEdit;
    const RouteProgress& routeProgress;
    const ChartWaypoints& waypoints;
    const Settings& settings;
    const Preferences& prefs;
    const ExtraSettings& extra;
    const Motion& motion;
    const NmeaLink& nmeaLink;
    const SentenceFix& sentenceFix;
    const TidalStream& tideStream;
    const TidalDiamonds& tides;
    const Folders& folders; // the sound files of the AIS voice; the text log of the survey-log plot
    const TextLogState& textLog;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    explicit ViewRecords(S& s)
        : ais(s.ais)
        , chart(s.chart)
        , chartGeometry(s.chartGeometry)
        , chartRef(s.chartRef)
        , display(s.display)
        , fixInfo(s.fixInfo)
        , quickLog(s.quickLog)
        , route(s.route)
        , routeEdit(s.routeEdit)
        , routeProgress(s.routeProgress)
        , waypoints(s.waypoints)
        , settings(s.settings)
        , prefs(s.prefs)
        , extra(s.extra)
        , motion(s.motion)
        , nmeaLink(s.nmeaLink)
        , sentenceFix(s.sentenceFix)
        , tideStream(s.tideStream)
        , tides(s.tides)
        , folders(s.folders)
        , textLog(s.textLog)
    {
    }
};

// What drawing a view reads. All of it is const: drawing returns what it computed and the caller
// stores it.
struct RenderRecords {
    const AisState& ais;
    const ChartStore& chart;
    const ChartGeometry& chartGeometry;
    const ChartReference& chartRef;
    const Display& display;
    const Fix& fixInfo;
    const QuickLog& quickLog;
    const RouteTable& route;
    const RouteProgress& routeProgress;
    const ChartWaypoints& waypoints;
    const Settings& settings;
    const Preferences& prefs;
    const ExtraSettings& extra;
    const Motion& motion;
    const SentenceFix& sentenceFix;
    const TidalStream& tideStream;
    const TidalDiamonds& tides;
    const Folders& folders; // the survey-log plot reads the text log in use
    const TextLogState& textLog;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    RenderRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , chart(s.chart)
        , chartGeometry(s.chartGeometry)
        , chartRef(s.chartRef)
        , display(s.display)
        , fixInfo(s.fixInfo)
        , quickLog(s.quickLog)
        , route(s.route)
        , routeProgress(s.routeProgress)
        , waypoints(s.waypoints)
        , settings(s.settings)
        , prefs(s.prefs)
        , extra(s.extra)
        , motion(s.motion)
        , sentenceFix(s.sentenceFix)
        , tideStream(s.tideStream)
        , tides(s.tides)
        , folders(s.folders)
        , textLog(s.textLog)
    {
    }
};

} // namespace kv
