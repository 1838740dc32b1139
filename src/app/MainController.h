#pragma once
// The main window's own operations: creation, the one-second tick with the start-up work of its
// first run, command enabling, view refresh, the window commands, the panels' small commands, the
// measure tool and the orderly shutdown. The subsystem controllers the window's commands reach
// are owned here and wired to one another, so the Qt layer only forwards clicks and mirrors
// Display.

#include "ais/AisController.h"
#include "app/AlarmWatch.h"
#include "app/ProgramState.h"
#include "app/Remarks.h"
#include "charts/ChartEditor.h"
#include "charts/ChartFiles.h"
#include "navigation/FixCycle.h"
#include "navigation/TrackLog.h"
#include "nmea/NmeaInterface.h"
#include "platform/Platform.h"
#include "platform/SentenceRelay.h"
#include "routes/Routes.h"
#include "routes/TidalStreams.h"
#include "views/ViewSet.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kv {

inline constexpr const char* kDeleteViewsQuestion = "This will delete all the displayed views! - Are you sure?";
inline constexpr const char* kSaveRouteBeforeExit = "Save the modified route before exit ?";
inline constexpr const char* kDeadReckoningStatus = "Dead Reckoning Mode !";
inline constexpr const char* kCloseNmeaHint = "Close NMEA iterface|";
inline constexpr const char* kMeasureOnHint = "Measure on|";
inline constexpr const char* kMeasureOffHint = "Measure off|";
inline constexpr const char* kMeasureStartHint = "Measure On|";
inline constexpr const char* kTotaliseHint = "Totalise distance and reset measure point|";
inline constexpr const char* kSelectedWaypointHint = "Selected Waypoint|";
inline constexpr const char* kConfigLoadRefused
    = "You cannot load a config file while logging in progress or a Chart Portfolio is open!";
inline constexpr const char* kApplicationNotAvailableBang = "Application Not Available !";
// The tidal atlas editor, a separate program in the program folder.
inline constexpr const char* kTidalAtlasEditorProgram = "TidalAtlasEditor";

class EditUndo;
class WaypointDialogModel;
struct RouteSnapshot;

// What only the window can do: which child window is active, their arrangement, the navigation
// panel, the about box. The views themselves are the ViewSet's; the window mirrors them. The
// defaults do nothing, as a run without windows wants.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;
    // Index in the ViewSet of the active view, or -1 when none is active.
    virtual int activeViewIndex() const { return -1; }
    virtual void cascadeViews() { }
    virtual void tileViews() { }
    virtual void setNavPanelVisible(bool /*visible*/) { }
    virtual void showAboutBox() { }
    // Saves the route through the save-route command (its file dialog); false when it was not
    // saved.
    virtual bool saveRouteForExit() { return false; }
    // The program must end now, without the quit question (a chart that cannot be found).
    virtual void endProgram() { }
    // The waypoint dialog, filled; true for OK. readOnly shows every field greyed.
    virtual bool runWaypointDialog(WaypointDialogModel& /*model*/, bool /*readOnly*/) { return false; }
    // The timing dialog, opened for the user to change the fix interval.
    virtual void openTimingDialog() { }
};

class MainController final : private ChartViewHooks, private RouteHooks, private FixCycleHooks, private ChartEditHooks {
public:
    MainController(ProgramState& state, Platform& platform, MainWindowHooks& window);
    ~MainController() override;
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // Creation of the main window: flags, folders, timers, the configuration (workingFolder +
    // configArgument, or kelvw.cfg without one), the start mode, the day's logs.
    void FormCreate(const std::string& workingFolder, const std::string& configArgument);
    // The one-second tick; its first run loads the start-up files and opens the interface.
    void SecsTimerTimer();
    // The three duties the subsystems also ask for through their hooks: the command enabling set
    // again from the state; every view re-centred as it follows (own ship, else where it stands)
    // and drawn; every view drawn again where it stands.
    void UpdateMenuItems() override;
    // Chart points may be added now: the point-editing commands are enabled and the active view
    // is at a zoom of 1 or more (looked at again, as the zoom may have changed since).
    bool ChartPointsAllowed() const;
    void RefreshViews() override;
    void RedrawViews() override;
    // The quit question and everything that has to happen before the window may close.
    bool FormCloseQuery();

    // Window commands.
    void FileNewItemClick();
    void FileCloseItemClick();
    // Closes view `index` as the user asks (the view's own rules and questions); closing the last
    // view empties the chart, its waypoints and the route with it. False when the view stays.
    bool CloseView(int index);
    void CloseAll1Click();
    // "Remove Everything": the chart, the track, the route and dead reckoning, once confirmed.
    void PurgeAllClick();

    // Commands that reach one subsystem and then bring the views and the command enabling up to
    // date (MainCommands.cpp). An empty path is a cancelled file dialog.
    void Logs1Click(const std::string& path); // open a log
    void Tides1Click(const std::string& path); // open a tidal atlas
    void Log1Click(); // purge the quick-log track
    void Route1Click(); // purge the route
    void Tides2Click(); // purge the tides
    void Layers1Click(); // load the chart's layers
    void Find_AntennaClick(); // locate the antenna
    void IncTideClick(); // step the tide one hour
    void NMEAServerOnOffClick(); // open or close the NMEA interface
    void AISMonitorClick();
    void TxtLogOnOffClick(bool pressed);
    void PlayAISlogClick(const std::function<std::optional<std::string>()>& chooseFile);
    // "AIS Clear All Targets" of view v, once confirmed: the collision watch looks again, v is redrawn.
    void ClearAllTargets1Click(ChartView& v);
    // The anchor watch: dropped at own ship's last fix (or at the cursor), or ended.
    void DropAnchor(bool atCursor);
    void WeighAnchor();
    // Target `slot` chosen in the target list or a target pop-up: selected in the views and the
    // text window. ShowTarget (a double-click in the list) also centres the AIS view on it when
    // there is one and the target's position is known.
    void SelectTarget(int slot);
    void ShowTarget(int slot);
    // A route command of view v's pop-up menu, run at the point clicked in the view and kept in
    // the route's undo history; the route list follows on the next tick.
    void RouteCommand(ChartView& v, const std::function<void()>& command);
    // The end of a drag of a route waypoint in a view: the waypoint moves there, the edit is
    // kept for undo, every view is drawn again in place.
    void MoveDraggedWaypoint(int index, double lat, double lon, const RouteSnapshot& before);
    // Edit › Undo and Redo of the newest chart or route edit; a beep when there is none.
    void Undo1Click();
    void Redo1Click();

    // Panels and small commands.
    void PosnPanelClick();
    void PosnPanelDblClick();
    void SelectWaypoint1Click();
    void WPNameChange(int entry);
    void NavigationData1Click();
    void MeasureModeClick(bool pressed);
    void ExMeasureClick();
    // Tools: load a configuration (`path` from the open dialog; empty when cancelled), and save
    // one under another name. Config1Allowed says whether the dialog may open at all.
    bool Config1Allowed();
    void Config1Click(const std::string& path);
    void SaveConfigAs1Click(const std::string& path);
    void TidalAtlasEditor1Click();
    // Chart selection: the nearest chart's name in the status line; loading it ("L&oad Nearest
    // Chart" and the AutoChart button).
    void NearestChart1Click();
    void LoadNearestChart1Click();
    // "A&vailable Charts": the outlines of every chart over every view.
    void AvailableChartsClick();
    // "Open Chart Portfolio" with the path the open dialog returned (empty when cancelled): its
    // folder becomes the chart folder the dialogs and the chart index use.
    void OpenPortfolio1Click(const std::string& path);
    // "Copy View": the active view's picture to the clipboard.
    void CopyViewClick();
    // File menu: print the active view scaled to the page; the printer set-up dialog.
    void Print1Click();
    void PrinterSetUp1Click();

    // Data trend plot: "Data Trend &Plot", the gain box, the plot-all button and a mouse mark.
    void DataPlot1Click();
    void Data_GainChange(int gain);
    void PlotAllClick();
    void MarkPlot(int x);

    // "Show raw &NMEA": while checked the received sentences appear in the status line.
    void ShowNMEAClick();
    // "Additional Target Data": the longer form of the target text.
    void AdditionalTargetData1Click();
    // The vessel database switches of the NMEA menu (both checked at start).
    void UpdateAISDatabaseClick();
    void SearchAISDatabaseClick();

    NmeaInterface& nmea() { return *nmea_; }
    // Received sentences and the output of each fix are passed on to `relay` (none: nullptr).
    void setSentenceRelay(SentenceRelay* relay) { relay_ = relay; }
    // One received sentence: the instruments it reads and the relay.
    void SentenceReceived(const std::string& sentence);
    AisController& ais() { return *ais_; }
    ChartFiles& charts() { return *charts_; }
    ChartEditor& editor() { return *editor_; }
    RouteEditor& routes() { return *routes_; }
    TidalAtlas& tides() { return *tides_; }
    ViewSet& views() { return *views_; }
    FixCycle& fix() { return *fix_; }
    TrackLogs& logs() { return *logs_; }
    Remarks& remarks() { return *remarks_; }
    AlarmWatch& alarms() { return *alarms_; }
    // The chart's and the route's edit histories; every command that edits by hand runs in them.
    EditUndo& undo() { return *undo_; }
    // The 5-second target refresh of view `index`.
    void RefRateTimer(int index);
    ProgramState& state() { return state_; }
    bool ended() const { return ended_; }

    Platform& platform() { return platform_; }

private:
    void LoadStartupFiles();
    int ActiveView() const;
    void StopDeadReckoning();
    // What goes with the last view: the chart, its waypoints, the route and the navigation panel.
    void ForgetViewData();

    // ChartViewHooks
    void setViewCaptions(const std::string& caption) override;
    void showEditedPoint() override;
    void createView(const std::string& caption) override { views_->CreateView(caption); }
    void closeLowestView() override { views_->ReplaceLowestView(); }
    void setNumberedViewCaptions(const std::string& chartName, const std::string& configName) override;
    void endProgram() override
    {
        ended_ = true;
        window_.endProgram();
    }
    // RouteHooks
    bool viewOpen() override { return views_->count() > 0; }
    void resetCrossTrack() override;
    // FixCycleHooks
    int OpenViewCount() const override { return views_->count(); }
    // The views draw own vessel's outline where the antenna offsets place it.
    void PlaceVesselOutline() override;
    bool MeasureModeOn() const override;
    void OpenRemarkEditor() override { remarks_->OpenRemarkEditor(); }
    void FixTaken() override;

    void AutoLoadChart() override;

    bool ChartPointEditingEnabled() const override { return ChartPointsAllowed(); }
    void AddChartPoint() override { editor_->AddChartPoint1Click(); }
    // ChartEditHooks
    int editViewCount() const override { return views_->count(); }
    void openTimingDialog() override { window_.openTimingDialog(); }
    std::string snapSentence(double lat, double lon) override;
    bool showWaypointForm(ChartWaypointForm& form) override;
    void removeSurveyTrack() override; // ViewOptionsModel.cpp

    ProgramState& state_;
    Platform& platform_;
    MainWindowHooks& window_;
    bool ended_ = false;
    std::unique_ptr<AisController> ais_;
    std::unique_ptr<NmeaInterface> nmea_;
    SentenceRelay* relay_ = nullptr;
    std::unique_ptr<ChartFiles> charts_;
    std::unique_ptr<ChartEditor> editor_;
    std::unique_ptr<RouteEditor> routes_;
    std::unique_ptr<TidalAtlas> tides_;
    std::unique_ptr<ViewSet> views_;
    std::unique_ptr<TrackLogs> logs_;
    std::unique_ptr<FixCycle> fix_;
    std::unique_ptr<Remarks> remarks_;
    std::unique_ptr<AlarmWatch> alarms_;
    std::unique_ptr<EditUndo> undo_;
};

} // namespace kv
