#pragma once
// The fix cycle: the fix timer's tick, the manual fix, the turning of a received sentence into a
// fix, the fix itself (quick log, track log, route following, panels, gauge, voice prompts,
// output sentences, text log) and the navigation commands around it.

#include "ais/AisState.h"
#include "navigation/TrackLog.h"
#include "platform/Platform.h"

#include "core/AisPlayback.h"
#include "core/AppState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/HeadingUpState.h"
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
#include <string>

namespace kv {

// What the fix cycle asks of the chart views and the other subsystems. The view duties do
// nothing by default, so a program without views (or a test) only overrides what it has; the
// duties of features not built yet say so in the debug log.
class FixCycleHooks {
public:
    virtual ~FixCycleHooks() = default;
    virtual int OpenViewCount() const { return 0; }
    // Every view that shows the vessel takes the new position; views that follow it re-centre.
    virtual void RefreshViews() { }
    // Automatic chart loading: the best chart for the position.
    virtual void AutoLoadChart() { }
    // Command enabling after a change of mode or of the quick log.
    virtual void UpdateMenuItems() { }
    // An event fix while chart editing is on adds the position as a chart point.
    virtual bool ChartPointEditingEnabled() const { return false; }
    virtual void AddChartPoint() { }
    // The measure tool of the views is on: the status line keeps the measured range.
    virtual bool MeasureModeOn() const { return false; }
    // A manual fix in remarks mode opens the remark editor for the event.
    virtual void OpenRemarkEditor() { }
    // The vessel outline the views draw follows the antenna offsets (without views there is no
    // outline to place).
    virtual void PlaceVesselOutline() { }
    // The fix is complete: what depends on own position and motion (the collision watch) looks
    // again.
    virtual void FixTaken() { }
};

inline constexpr const char* kNoPositionData = "No Position Data!";
inline constexpr const char* kSelectNextWaypoint = "Select Next Waypoint!";
inline constexpr const char* kDeadReckoningMode = "Dead Reckoning Mode !";
inline constexpr const char* kLocateAntennaMessage
    = "Fix Position Of antenna relative to vessel, then Fix again to see result!";
inline constexpr const char* kResetTripQuestion = "Reset the trip distance - Are you sure?";
inline constexpr const char* kMonitorTemplate = "$KVGGA,@t,@p:3,5,07,0.0,0.0,M,,0000*MON";

// The records of one fix: the fix cycle is navigation's orchestrator and writes the fix, the
// parsed sentence, speed and course, route progress and texts, the logs' counters, heading-up,
// the stream, the output sentences, the indicators and the track; it reads the chart reference,
// the playback switch, the main window's switches, the route, the tidal atlas and the folders.
// Of the AIS state it reads and writes only the monitor mode: a played log of a monitor station
// switches the mode on.
// It never sees the chart store, the chart waypoints or the views.
struct FixCycleRecords {
    Fix& fixInfo;
    SentenceFix& sentenceFix;
    Motion& motion;
    RouteProgress& routeProgress;
    RoutePanelTexts& routeTexts;
    TextLogState& textLog;
    FixCycleState& cycleState;
    HeadingUpState& headUp;
    TidalStream& tideStream;
    RouteEditing& routeEdit;
    NmeaLink& nmeaLink;
    Settings& settings;
    Preferences& prefs;
    Display& display;
    QuickLog& quickLog;
    const ChartReference& chartRef;
    const AisPlayback& aisPlayback;
    const AppState& app;
    const RouteTable& route;
    const TidalDiamonds& tides;
    const Folders& folders;
    AisState& ais;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    explicit FixCycleRecords(S& s)
        : fixInfo(s.fixInfo)
        , sentenceFix(s.sentenceFix)
        , motion(s.motion)
        , routeProgress(s.routeProgress)
        , routeTexts(s.routeTexts)
        , textLog(s.textLog)
        , cycleState(s.cycleState)
        , headUp(s.headUp)
        , tideStream(s.tideStream)
        , routeEdit(s.routeEdit)
        , nmeaLink(s.nmeaLink)
        , settings(s.settings)
        , prefs(s.prefs)
        , display(s.display)
        , quickLog(s.quickLog)
        , chartRef(s.chartRef)
        , aisPlayback(s.aisPlayback)
        , app(s.app)
        , route(s.route)
        , tides(s.tides)
        , folders(s.folders)
        , ais(s.ais)
    {
    }
};

// Switches read from the preferences record (raw NMEA, route completion, the voices, heading up);
// check marks written: "AISMonitor" (mirroring the monitor mode), "DRMode1", "TowNavigation1", and
// the hints "XTerror" and "WPName".
class FixCycle {
public:
    FixCycle(FixCycleRecords state, Platform& platform, TrackLogs& logs, FixCycleHooks& hooks);
    ~FixCycle();
    FixCycle(const FixCycle&) = delete;
    FixCycle& operator=(const FixCycle&) = delete;

    void FixTimerTimer();
    void ManualFix();
    // CurrentSentence into a fix. An AIS log being played back (AISPlayback) with the interface
    // closed takes the playback road.
    void ProcessSentence(bool fromPlayback = false);
    void FixBtnClick();

    void DRMode1Click();
    void TowNavigationClick();
    void Find_Antenna();
    void TripDblClick();
    void XTerrorDblClick();

    // The voice file started by the last fix ("\left.wav", ...), or "" when none was.
    const std::string& LastPrompt() const { return lastPrompt_; }

private:
    void TakeFixTime();
    void StoreInQuickLog(bool positionIsChartDatum);
    void ShowSpeedAndCourse();
    void ShowActiveLeg();
    void ShowEndOfLeg();
    void HeadingUp();
    void LoadVoice(const std::string& name);
    void PlayLoaded();

    FixCycleRecords state_;
    Platform& platform_;
    TrackLogs& logs_;
    FixCycleHooks& hooks_;
    std::string loadedVoice_;
    std::string lastPrompt_;
};

} // namespace kv
