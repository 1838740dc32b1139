#pragma once
// The main window's own operations: creation, the one-second tick with the start-up work of its
// first run, command enabling, view refresh, the window commands, the panels' small commands, the
// measure tool and the orderly shutdown. The subsystem controllers the window's commands reach
// are owned here and wired to one another, so the Qt layer only forwards clicks and mirrors
// Display.

#include "ais/AisController.h"
#include "charts/ChartFiles.h"
#include "core/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "platform/Platform.h"
#include "routes/Routes.h"
#include "routes/TidalStreams.h"

#include <functional>
#include <memory>
#include <string>

namespace kv {

inline constexpr const char* kNewViewRefused = "Two views maximum - close one first...";
inline constexpr const char* kDeleteViewsQuestion = "This will delete all the displayed views! - Are you sure?";
inline constexpr const char* kSaveChartBeforeExit = "Save the modified chart before exit ?";
inline constexpr const char* kDeadReckoningStatus = "Dead Reckoning Mode !";
inline constexpr const char* kCloseNmeaHint = "Close NMEA iterface|";
inline constexpr const char* kMeasureOnHint = "Measure on|";
inline constexpr const char* kMeasureOffHint = "Measure off|";
inline constexpr const char* kMeasureStartHint = "Measure On|";
inline constexpr const char* kTotaliseHint = "Totalise distance and reset measure point|";
inline constexpr const char* kSelectedWaypointHint = "Selected Waypoint|";

// Control names of the main window this controller writes.
namespace ctl {
inline constexpr const char* MeasureMode = "MeasureMode";
inline constexpr const char* ExMeasure = "ExMeasure";
inline constexpr const char* ExMeasureMenu = "ExMeasure1";
inline constexpr const char* NavigationData = "NavigationData1";
inline constexpr const char* NavPanel = "NavPanel";
inline constexpr const char* WPName = "WPName";
inline constexpr const char* TxtLogOnOff = "TxtLogOnOff";
} // namespace ctl

// What only the window can do: its child views, their arrangement and the about box. The
// defaults do nothing, as a run without windows wants.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;
    virtual int viewCount() const { return 0; }
    virtual void createView(const std::string& /*caption*/) {}
    virtual void closeActiveView() {}
    virtual void closeLowestView() {}
    virtual void closeAllViews() {}
    virtual void cascadeViews() {}
    virtual void tileViews() {}
    virtual void setViewCaptions(const std::string& /*caption*/) {}
    // Every view takes OwnLat/OwnLong as the vessel position and re-centres on it, or goes to
    // scale 1:1 when zoomReset is set.
    virtual void refreshViews(bool /*zoomReset*/) {}
    // Redraw every view without moving it.
    virtual void redrawViews() {}
    virtual void setFirstViewZoom(double /*zoom*/) {}
    virtual void setNavPanelVisible(bool /*visible*/) {}
    virtual void showAboutBox() {}
    // The program must end now, without the quit question (a chart that cannot be found).
    virtual void endProgram() {}
};

class MainController final : private ChartViewHooks, private RouteHooks {
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
    void UpdateMenuItems();
    void RefreshViews();
    // The quit question and everything that has to happen before the window may close.
    bool FormCloseQuery();

    // Window commands.
    void FileNewItemClick();
    void FileCloseItemClick();
    void CloseAll1Click();

    // Panels and small commands.
    void PosnPanelClick();
    void PosnPanelDblClick();
    void SelectWaypoint1Click();
    void WPNameChange(int entry);
    void NavigationData1Click();
    void MeasureModeClick(bool pressed);
    void ExMeasureClick();
    // "Show raw &NMEA": while checked the received sentences appear in the status line.
    void ShowNMEAClick();
    // "Additional Target Data": the longer form of the target text.
    void AdditionalTargetData1Click();
    // The views call this when the cursor moved: the measure text while measure mode is on.
    void ShowMeasureText();

    NmeaInterface& nmea() { return *nmea_; }
    AisController& ais() { return *ais_; }
    ChartFiles& charts() { return *charts_; }
    RouteEditor& routes() { return *routes_; }
    TidalAtlas& tides() { return *tides_; }
    ProgramState& state() { return state_; }
    bool ended() const { return ended_; }

    // Links to the navigation subsystem, set by whoever wires the program together: the day's
    // logs at creation, the vessel outline from the antenna offsets, range and bearing to the
    // active waypoint, and the restart of the leg from the present position.
    std::function<void()> openDayLogs;
    std::function<void()> placeVesselOutline;
    std::function<void()> rangeAndBearing;
    std::function<void()> restartLeg;
    Platform& platform() { return platform_; }

private:
    void LoadStartupFiles();
    void StopDeadReckoning();

    // ChartViewHooks
    void setViewCaptions(const std::string& caption) override { window_.setViewCaptions(caption); }
    void refreshViews() override { RefreshViews(); }
    void updateMenus() override { UpdateMenuItems(); }
    void createView(const std::string& caption) override { window_.createView(caption); }
    void closeLowestView() override { window_.closeLowestView(); }
    void endProgram() override
    {
        ended_ = true;
        window_.endProgram();
    }
    // RouteHooks
    bool viewOpen() override { return window_.viewCount() > 0; }
    void redraw() override { window_.redrawViews(); }
    void resetCrossTrack() override
    {
        if (restartLeg) {
            restartLeg();
        }
    }

    ProgramState& state_;
    Platform& platform_;
    MainWindowHooks& window_;
    bool ended_ = false;
    std::unique_ptr<AisController> ais_;
    std::unique_ptr<NmeaInterface> nmea_;
    std::unique_ptr<ChartFiles> charts_;
    std::unique_ptr<RouteEditor> routes_;
    std::unique_ptr<TidalAtlas> tides_;
};

} // namespace kv
