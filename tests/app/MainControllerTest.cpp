// The main window's operations without a window: creation, the first tick, command enabling,
// window commands, panel commands, the measure tool and shutdown.

#include "app/MainController.h"
#include "app/EditUndo.h"
#include "app/MenuState.h"
#include "app/ProgramState.h"
#include "app/WaypointDialog.h"
#include "charts/ChartFiles.h"
#include "core/Config.h"
#include "core/Real48.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "support/ConfigFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

namespace {

using namespace kv;

class WindowHooks final : public MainWindowHooks {
public:
    int activeViewIndex() const override { return active; }
    void cascadeViews() override { ++cascades; }
    void tileViews() override { ++tiles; }
    void setNavPanelVisible(bool visible) override { navPanel = visible; }
    void showAboutBox() override { ++aboutBoxes; }
    void endProgram() override { ended = true; }
    bool runWaypointDialog(WaypointDialogModel& model, bool) override
    {
        model.WPShapeChange();
        eastingCaptions.push_back(model.EastingCaption());
        eastings.push_back(model.fields.position.Easting);
        return false;
    }
    std::vector<std::string> eastingCaptions, eastings;
    int active = -1;
    int cascades = 0, tiles = 0, aboutBoxes = 0;
    bool navPanel = true;
    bool ended = false;
};

// A working folder with a small chart "world" (two lines) and, when asked, a configuration and a
// route of n waypoints.
class Program {
public:
    Program()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        std::vector<ChartPoint> points { ChartPoint::make(50.0, 1.0), ChartPoint::make(50.5, 1.5), ChartPoint::penUp(),
            ChartPoint::make(49.0, 2.0), ChartPoint::make(49.5, 2.5) };
        points.push_back(ChartPoint::penUp());
        dir.write("charts/world.cht", ChartRecordBytes(points));
        ChartConfig config;
        config.centreLat = 50.0;
        config.centreLong = 1.0;
        config.zoom = 1.0;
        WriteChartConfigFile(dir.file("charts/world.cfg"), config);
    }

    void writeRoute(const std::string& name, int waypoints)
    {
        std::vector<std::string> lines;
        for (int i = 1; i <= waypoints; ++i) {
            RouteWaypoint w;
            w.name = DefaultRouteName(i);
            w.lat = 50.0 + i * 0.1;
            w.lon = 1.0 + i * 0.1;
            lines.push_back(RouteLine(w));
        }
        ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/" + name + ".rte"), lines));
    }

    void create(const std::string& argument = "")
    {
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), argument);
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    WindowHooks window;
    std::unique_ptr<MainController> controller;
};

TEST(MainController, FirstStartWithoutConfigurationOpensTheWorldChartOnce)
{
    Program p;
    p.create();
    EXPECT_EQ(p.state.folders.AppDir.str(), p.dir.path() + "/");
    // With no view open the enabling rule empties the chart name; the first tick reads it again.
    EXPECT_EQ(p.state.folders.ChartName, "");
    EXPECT_EQ(p.state.settings.fix.NmeaStartMode.str(), "Manual");
    EXPECT_TRUE(p.state.prefs.units.DecimalStyle);
    EXPECT_FALSE(p.state.display.FixTimer.running());
    EXPECT_EQ(p.state.display.AISPlayTimer.intervalMs, 500u);
    EXPECT_EQ(p.state.app.RouteDialogDir, p.dir.path() + "/routes/");
    EXPECT_TRUE(p.state.app.FirstTickPending);
    // No view yet: the file commands wait for one.
    EXPECT_FALSE(p.state.display.isEnabled(Control::File1));

    p.controller->SecsTimerTimer();
    EXPECT_FALSE(p.state.app.FirstTickPending);
    ASSERT_EQ(p.controller->views().count(), 1);
    EXPECT_EQ(p.state.folders.ChartName, "world");
    EXPECT_EQ(p.state.chart.count(), 5); // two lines and the pen-up between them
    EXPECT_EQ(p.window.aboutBoxes, 1);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Total chart points = 5"));
    EXPECT_TRUE(p.state.display.isEnabled(Control::File1));
    EXPECT_EQ(p.state.display.TimePanel, "12:00:00");
    // The view follows the configured position and zoom, not the chart's own.
    EXPECT_DOUBLE_EQ(p.controller->views().view(0).zoom, 0.03125);
    EXPECT_NEAR(p.controller->views().view(0).centreLat, kDefaultOwnLat, 1e-9);

    p.fakes.clock.time.second = 1;
    p.controller->SecsTimerTimer();
    EXPECT_EQ(p.controller->views().count(), 1);
    EXPECT_EQ(p.window.aboutBoxes, 1);
    EXPECT_EQ(p.state.display.TimePanel, "12:00:01");
}

TEST(MainController, AutoStartOpensThePortOnTheFirstTickAndStartsTheFixTimer)
{
    Program p;
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings&) {
        nav.settings.fix.NmeaStartMode = "Auto";
        nav.settings.fix.DRMode = true;
        nav.settings.nmea.ComPortNumber = 3;
        nav.settings.nmea.BaudRate = 4800;
        nav.settings.fix.FixIntervalMs = 2000;
    });
    p.create();
    EXPECT_TRUE(p.state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(p.state.settings.fix.DRMode); // "Auto" wins over "DR"
    EXPECT_TRUE(p.state.display.isChecked(Control::NMEAInterface1));
    EXPECT_EQ(p.state.display.hint(Control::NMEAServerOnOff), "Close NMEA iterface|");
    EXPECT_FALSE(p.fakes.serial.opened);

    p.controller->SecsTimerTimer();
    EXPECT_TRUE(p.fakes.serial.opened);
    EXPECT_EQ(p.fakes.serial.openedNumber, 3u);
    EXPECT_EQ(p.fakes.serial.openedBaud, 4800u);
    EXPECT_TRUE(p.state.display.FixTimer.running());
    EXPECT_EQ(p.state.display.FixTimer.intervalMs, 2000u);
    EXPECT_FALSE(p.state.display.isEnabled(Control::PlayAISlog));
    // No "Total chart points" box in automatic start.
    for (const auto& m : p.fakes.prompter.messages) {
        EXPECT_EQ(m.text.find("Total chart points"), std::string::npos);
    }
}

// The vessel outline is placed from the antenna offsets at the first tick and again when the
// antenna is located.
TEST(MainController, TheFirstTickAndLocateAntennaPlaceTheVesselOutline)
{
    constexpr double kMetre = 0.000008999;
    Program p;
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings& s) {
        nav.settings.vessel.AntennaNorth = 3 * kMetre;
        nav.settings.vessel.AntennaEast = 0.5 * kMetre;
        s.VesselLength = 12.0;
        s.VesselOutlineDimA = 2.0;
        s.VesselOutlineDimB = 3.0;
    });
    p.create();
    EXPECT_FALSE(p.controller->views().shared.vesselOutline);
    p.controller->SecsTimerTimer();
    ASSERT_TRUE(p.controller->views().shared.vesselOutline);
    const VesselDimensions placed = *p.controller->views().shared.vesselOutline;
    EXPECT_NEAR(placed.DimA, 3.0, 1e-6);
    EXPECT_NEAR(placed.DimB, 9.0, 1e-6);
    EXPECT_NEAR(placed.DimC, 1.5, 1e-6);
    EXPECT_NEAR(placed.DimD, 3.5, 1e-6);
    p.controller->fix().Find_Antenna(); // the offsets start again from the reference point
    EXPECT_EQ(*p.controller->views().shared.vesselOutline, (VesselDimensions { 0.0, 12.0, 2.0, 3.0 }));
}

TEST(MainController, AutoStartWithAMissingPortSaysSoAndStillRunsTheFixTimer)
{
    Program p;
    kvtest::WriteConfigIn(
        p.dir, "kelvw.cfg", [](ProgramState& nav, Settings&) { nav.settings.fix.NmeaStartMode = "Auto"; });
    p.create();
    p.fakes.serial.available = false;
    p.controller->SecsTimerTimer();
    EXPECT_FALSE(p.fakes.serial.opened);
    EXPECT_EQ(p.fakes.prompter.messages.front().text, kPortUnavailable);
    EXPECT_TRUE(p.state.display.FixTimer.running());
    EXPECT_EQ(p.window.aboutBoxes, 1);
}

TEST(MainController, DeadReckoningWithoutRouteIsSwitchedOffByTheFirstTick)
{
    Program p;
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings&) { nav.settings.fix.DRMode = true; });
    p.create();
    EXPECT_TRUE(p.state.settings.fix.DRMode);
    EXPECT_EQ(p.state.display.FixTimer.intervalMs, 10000u);
    EXPECT_EQ(p.state.display.StatusLine, "Dead Reckoning Mode !");
    EXPECT_TRUE(p.state.display.isChecked(Control::DRMode1));

    p.controller->SecsTimerTimer();
    EXPECT_FALSE(p.state.settings.fix.DRMode);
    EXPECT_FALSE(p.state.display.FixTimer.running());
    EXPECT_EQ(p.state.display.StatusLine, "");
    EXPECT_FALSE(p.state.display.isChecked(Control::DRMode1));
}

TEST(MainController, ConfiguredRouteIsLoadedAndNextWaypointWraps)
{
    Program p;
    p.writeRoute("coast", 5);
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    p.create();
    p.controller->SecsTimerTimer();
    ASSERT_EQ(p.state.routeProgress.RouteLength, 5);
    ASSERT_EQ(p.state.display.WPNameItems.size(), 5u);
    // A route read from its file keeps the first waypoint active through the list rebuild.
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 1);
    EXPECT_EQ(p.state.display.WPNameIndex, 0);
    EXPECT_TRUE(p.state.display.isEnabled(Control::Route1));
    EXPECT_TRUE(p.state.display.isEnabled(Control::DRMode1));

    p.controller->SelectWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 2);
    EXPECT_EQ(p.state.display.WPNameIndex, 1);
    p.controller->WPNameChange(4);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 5);
    p.controller->SelectWaypoint1Click(); // after the last: the first
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 1);
    EXPECT_EQ(p.state.display.WPNameIndex, 0);

    // Choosing entry 2 makes waypoint 3 active and blanks range and bearing until the next fix.
    p.state.display.RngToWp = "1.00";
    p.state.display.BearingToWP = "090";
    p.controller->WPNameChange(2);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 3);
    EXPECT_EQ(p.state.display.RngToWp, "");
    EXPECT_EQ(p.state.display.BearingToWP, "");
    EXPECT_DOUBLE_EQ(p.state.routeProgress.LegBearing, p.state.routeProgress.BearingToWaypoint);
    EXPECT_GT(p.state.routeProgress.RangeToWaypoint, 0.0);
    EXPECT_EQ(p.state.display.hint(Control::WPName), "Selected Waypoint|");
    p.controller->WPNameChange(7); // no such entry: nothing changes
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 3);
}

TEST(MainController, QuitAnsweredNoKeepsRunningAndYesWritesKelvwCfg)
{
    Program p;
    kvtest::WriteConfigIn(p.dir, "boat2.cfg", [](ProgramState& nav, Settings&) {
        nav.settings.vessel.BoatSpeed = 7.5;
        nav.settings.fix.NmeaStartMode = "Auto";
    });
    p.create("boat2.cfg");
    EXPECT_DOUBLE_EQ(p.state.settings.vessel.BoatSpeed, 7.5);
    p.controller->SecsTimerTimer();
    ASSERT_TRUE(p.fakes.serial.opened);

    p.fakes.prompter.answer({ false });
    EXPECT_FALSE(p.controller->FormCloseQuery());
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Quit Kelvane - Are you sure?"));
    EXPECT_FALSE(std::filesystem::exists(p.dir.file("kelvw.cfg")));
    EXPECT_TRUE(p.fakes.serial.opened);

    p.fakes.prompter.answer({ true });
    EXPECT_TRUE(p.controller->FormCloseQuery());
    EXPECT_FALSE(p.fakes.serial.opened);
    EXPECT_FALSE(p.state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(p.state.display.FixTimer.running());
    ASSERT_TRUE(std::filesystem::exists(p.dir.file("kelvw.cfg")));
    ProgramState nav;
    Settings& settings = nav.settings;
    ASSERT_TRUE(ReadConfig(p.dir.file("kelvw.cfg"), nav.fixInfo, nav.chartRef, nav.folders, settings));
    EXPECT_DOUBLE_EQ(nav.settings.vessel.BoatSpeed, 7.5);
    EXPECT_EQ(nav.settings.fix.NmeaStartMode.str(), "Auto");
}

// Both writes of the configuration keep the view the user left (a zoom in, then a pan) in lines
// 2 to 4, and the vessel drawing dimensions the start-up set whatever the file held.
TEST(MainController, ConfigurationWritesKeepTheViewAndTheStartUpVesselDimensions)
{
    struct Case {
        const char* name;
        bool quit; // otherwise "Save Config As"
    };
    for (const Case& c : { Case { "quit", true }, Case { "save as", false } }) {
        SCOPED_TRACE(c.name);
        Program p;
        kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings& s) {
            nav.fixInfo.OwnLat = 50.2;
            nav.fixInfo.OwnLong = 1.2;
            s.ViewZoom = 2.0;
            s.VesselDrawDimA = 0;
            s.VesselDrawDimB = 0.0;
        });
        p.create();
        EXPECT_EQ(p.state.settings.VesselDrawDimA, 100);
        p.controller->SecsTimerTimer();
        ChartView& v = p.controller->views().view(0);
        p.controller->views().ZoomInClick(v);
        v.centreLat = 50.3;
        v.centreLong = 1.1;
        p.controller->views().CommonTail(v);
        p.state.fixInfo.OwnLat = 49.0; // a later click elsewhere moves only the cursor
        const std::string file = c.quit ? "kelvw.cfg" : "saved.cfg";
        if (c.quit) {
            p.fakes.prompter.answer({ true });
            ASSERT_TRUE(p.controller->FormCloseQuery());
        } else {
            p.controller->SaveConfigAs1Click(p.dir.file(file));
        }
        ProgramState nav;
        ASSERT_TRUE(ReadConfig(p.dir.file(file), nav.fixInfo, nav.chartRef, nav.folders, nav.settings));
        EXPECT_NEAR(nav.fixInfo.OwnLat, 50.3, 1e-9);
        EXPECT_NEAR(nav.fixInfo.OwnLong, 1.1, 1e-9);
        EXPECT_DOUBLE_EQ(nav.settings.ViewZoom, 4.0);
        EXPECT_EQ(nav.settings.VesselDrawDimA, 100);
        EXPECT_DOUBLE_EQ(nav.settings.VesselDrawDimB, 20.0);
    }
}

// Chart points are added only at a zoom of 1 or more, also when the zoom changed after the
// menus were last set (the raster viewer and the fix cycle ask at the moment they add).
TEST(MainController, ChartPointsNeedAZoomOfOneOrMore)
{
    struct Case {
        double menuZoom, nowZoom;
        bool allowed;
    };
    for (const Case& c :
        { Case { 1.0, 1.0, true }, Case { 0.5, 0.5, false }, Case { 1.0, 0.5, false }, Case { 4.0, 2.0, true } }) {
        Program p;
        p.create();
        p.controller->SecsTimerTimer();
        p.controller->editor().ChartEdit1Click();
        ASSERT_TRUE(p.state.app.ChartEditMode);
        p.controller->views().view(0).zoom = c.menuZoom;
        p.controller->UpdateMenuItems();
        p.controller->views().view(0).zoom = c.nowZoom;
        EXPECT_EQ(p.controller->ChartPointsAllowed(), c.allowed) << c.menuZoom << " then " << c.nowZoom;
    }
}

// The waypoint dialog's grid fields follow the grid the positions are displayed in.
TEST(MainController, WaypointDialogGridFollowsThePositionDisplay)
{
    struct Case {
        int mode;
        const char* caption;
    };
    for (const Case& c : { Case { -1, "OS GB Easting" }, Case { 0, "OS GB Easting" }, Case { 3, "UTM Easting" } }) {
        Program p;
        p.create();
        p.controller->SecsTimerTimer();
        p.state.settings.PositionDisplayMode = c.mode;
        p.state.fixInfo.OwnLat = 50.5;
        p.state.fixInfo.OwnLong = 1.25;
        p.controller->editor().AddChartWaypoint1Click();
        ASSERT_EQ(p.window.eastingCaptions.size(), 1u) << c.mode;
        EXPECT_EQ(p.window.eastingCaptions[0], c.caption) << c.mode;
        EXPECT_FALSE(p.window.eastings[0].empty()) << c.mode;
    }
}

TEST(MainController, QuitAfterAnEditAsksToSaveTheChartAndSavesIt)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    p.fakes.prompter.messages.clear();
    p.controller->editor().ChartEdit1Click();
    ASSERT_TRUE(p.state.app.ChartEditMode);
    EXPECT_FALSE(p.state.settings.fix.AutoChart);
    p.state.fixInfo.OwnLat = 49.75;
    p.state.fixInfo.OwnLong = 2.25;
    // After Pen Up the new line starts apart from the chart's last line: a pen-up, then the point.
    p.controller->editor().LineTypeClick(2);
    ASSERT_EQ(p.state.chart.count(), 7);
    EXPECT_TRUE(p.state.chart.point(6).isPenUp());

    // Quit, then No to saving: the chart file is as it was.
    const std::string before = p.dir.read("charts/world.cht");
    p.fakes.prompter.answer({ true, false });
    EXPECT_TRUE(p.controller->FormCloseQuery());
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Save the modified chart before exit ?"));
    EXPECT_EQ(p.dir.read("charts/world.cht"), before);

    // Quit, then Yes: the chart with the new point is written where it was opened from.
    p.fakes.prompter.answer({ true, true });
    EXPECT_TRUE(p.controller->FormCloseQuery());
    const ChartRecords saved = ReadChartRecords(p.dir.file("charts/world.cht"));
    ASSERT_EQ(saved.taken, 7);
    EXPECT_TRUE(saved.records[5].isPenUp());
    EXPECT_EQ(saved.records[6].lineType(), 2);
    EXPECT_DOUBLE_EQ(saved.records[6].lat(), 49.75);
}

TEST(MainController, QuitDuringAisPlaybackStopsIt)
{
    Program p;
    p.create();
    p.state.aisPlayback.AISPlayback = true;
    p.state.display.AISPlayTimer.enabled = true;
    p.state.ais.PlayLines = { "!AIVDM,1,1,,A,x,0*00" };
    EXPECT_TRUE(p.controller->FormCloseQuery());
    EXPECT_FALSE(p.state.aisPlayback.AISPlayback);
    EXPECT_FALSE(p.state.display.AISPlayTimer.enabled);
    EXPECT_TRUE(p.state.ais.PlayLines.empty());
}

TEST(MainController, WindowCommandsKeepTwoViewsAtMost)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    p.controller->FileNewItemClick();
    ASSERT_EQ(p.controller->views().count(), 2);
    EXPECT_EQ(p.controller->views().view(1).caption, "world.2"); // no configuration name: no brackets
    EXPECT_EQ(p.window.cascades, 1);
    EXPECT_FALSE(p.state.display.isEnabled(Control::Find_Antenna)); // exactly one view wanted
    p.controller->FileNewItemClick();
    EXPECT_EQ(p.controller->views().count(), 2);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Two views maximum - close one first..."));

    // The second view closes without a question; the AIS view (the first) is kept.
    p.window.active = 1;
    p.controller->FileCloseItemClick();
    EXPECT_EQ(p.controller->views().count(), 1);
    EXPECT_TRUE(p.state.display.isEnabled(Control::Find_Antenna));
}

TEST(MainController, ClosingTheOnlyViewAsksAndEmptiesTheChart)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    p.window.active = 0;
    p.fakes.prompter.answer({ false });
    p.controller->FileCloseItemClick();
    EXPECT_EQ(p.controller->views().count(), 1);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(
        "This is the only view open. Closing it will remove all data ! - Are you really sure?"));

    // The only view is the AIS view: it is refused even after Yes.
    p.fakes.prompter.answer({ true });
    p.controller->FileCloseItemClick();
    EXPECT_EQ(p.controller->views().count(), 1);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Cannot close the AIS window as all AIS data will be lost !"));
}

TEST(MainController, ClosingTheLastOrdinaryViewEmptiesTheChartAndTheRoute)
{
    Program p;
    p.writeRoute("coast", 3);
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    p.create();
    p.controller->SecsTimerTimer();
    p.controller->FileNewItemClick();
    p.controller->views().RemoveView(0); // the survivor is not the AIS view
    p.state.waypoints.push(ChartWaypoint {});
    p.state.chart.ConfigName = "kelvw";
    ASSERT_EQ(p.state.routeProgress.RouteLength, 3);
    ASSERT_FALSE(p.state.display.WPNameItems.empty());

    p.fakes.prompter.answer({ false });
    EXPECT_FALSE(p.controller->CloseView(0));
    EXPECT_EQ(p.state.routeProgress.RouteLength, 3);
    EXPECT_EQ(p.state.chart.ConfigName, "kelvw");

    p.fakes.prompter.answer({ true });
    EXPECT_TRUE(p.controller->CloseView(0));
    EXPECT_EQ(p.controller->views().count(), 0);
    EXPECT_EQ(p.state.chart.count(), 0);
    EXPECT_TRUE(p.state.waypoints.empty());
    EXPECT_TRUE(p.state.route.empty());
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_TRUE(p.state.display.WPNameItems.empty());
    EXPECT_EQ(p.state.display.WPNameIndex, -1);
    EXPECT_EQ(p.state.chart.ChartName.str(), "");
    EXPECT_EQ(p.state.chart.ConfigName, "");
    EXPECT_FALSE(p.state.display.isEnabled(Control::File1)); // the menus know the views are gone
}

TEST(MainController, RemoveEverythingAlsoEmptiesTrackRouteAndDeadReckoning)
{
    Program p;
    p.writeRoute("coast", 3);
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    p.create();
    p.controller->SecsTimerTimer();
    p.controller->views().view(0).options.SurveyTrack = true;
    p.state.quickLog.push({ 50, 1, 10 });
    p.state.motion.TripDistance = 3.0;
    p.state.cycleState.LogEmpty = false;
    p.state.settings.fix.DRMode = true;
    p.state.display.checked[Control::DRMode1] = true;
    p.state.display.Trip = "3.00 Nm";
    p.state.display.StatusLine = "x";
    ASSERT_EQ(p.state.routeProgress.RouteLength, 3);

    p.fakes.prompter.answer({ false });
    p.controller->PurgeAllClick();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 3);
    EXPECT_FALSE(p.state.quickLog.empty());
    EXPECT_TRUE(p.state.settings.fix.DRMode);

    p.fakes.prompter.answer({ true });
    p.controller->PurgeAllClick();
    EXPECT_EQ(p.state.chart.count(), 0);
    EXPECT_TRUE(p.state.quickLog.empty());
    EXPECT_EQ(p.state.motion.TripDistance, 0.0);
    EXPECT_TRUE(p.state.cycleState.LogEmpty);
    EXPECT_EQ(p.state.display.Trip, "0.00 Nm");
    EXPECT_TRUE(p.state.route.empty());
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 0);
    EXPECT_FALSE(p.state.settings.fix.DRMode);
    EXPECT_FALSE(p.state.display.isChecked(Control::DRMode1));
    EXPECT_FALSE(p.state.display.isEnabled(Control::DRMode1));
    EXPECT_TRUE(p.state.display.StatusLine.empty());
    EXPECT_TRUE(p.state.display.WPNameItems.empty());
    EXPECT_FALSE(p.controller->views().view(0).options.SurveyTrack);
}

// Each command's operation sets the command enabling again and redraws what it changed by
// itself: the window forwards the click and does nothing after it.
TEST(MainController, CommandOperationsLeaveTheMenusAndViewsUpToDate)
{
    Program p;
    p.writeRoute("coast", 3);
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    std::uint8_t position[12];
    doubleToReal48(50.0, position);
    doubleToReal48(1.0, position + 6);
    p.dir.write("tides/solent.pos", std::string(reinterpret_cast<const char*>(position), 12));
    p.dir.write("tides/solent.flo", std::string(std::size_t { 13 } * 4, '\x01'));
    QuickLog track;
    track.push({ 50.1, 1.1, 0.0 });
    track.push({ 50.2, 1.2, 0.0 });
    p.dir.write("logs/trip.log", EncodeTrackLog(track));
    p.create();
    p.controller->SecsTimerTimer();
    ChartView& view = p.controller->views().view(0);

    struct Case {
        const char* command;
        std::function<void()> run;
        Control control;
        bool enabled; // afterwards
    };
    MainController& c = *p.controller;
    const Case cases[] = {
        { "open tides", [&] { c.Tides1Click(p.dir.file("tides/solent.pos")); }, Control::TideStep1, true },
        { "step tide", [&] { c.IncTideClick(); }, Control::TideStep1, true },
        { "purge tides", [&] { c.Tides2Click(); }, Control::TideStep1, false },
        { "open log", [&] { c.Logs1Click(p.dir.file("logs/trip.log")); }, Control::SaveLogAs1, true },
        { "purge log", [&] { c.Log1Click(); }, Control::SaveLogAs1, false },
        { "purge route", [&] { c.Route1Click(); }, Control::Route1, false },
    };
    ASSERT_TRUE(p.state.display.isEnabled(Control::Route1));
    for (const Case& k : cases) {
        p.fakes.prompter.answer({ true });
        view.bitmap.fill(Qt::magenta); // a redraw paints over it
        k.run();
        EXPECT_EQ(p.state.display.isEnabled(k.control), k.enabled) << k.command;
        EXPECT_NE(view.bitmap.pixelColor(0, 0), QColor(Qt::magenta)) << k.command;
    }
}

// The commands of the views' pop-ups, the target list and the anchor watch draw the views
// themselves, and the route edits among them go through the route's undo history.
TEST(MainController, ViewCommandsDrawTheViewsAndRouteEditsCanBeTakenBack)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    MainController& c = *p.controller;
    ChartView& view = c.views().view(0);
    const auto addWaypoint = [&] { c.RouteCommand(view, [&] { c.routes().AddRouteWaypoint1Click(); }); };
    struct Case {
        const char* command;
        std::function<void()> run;
    };
    const Case cases[] = {
        { "drop anchor", [&] { c.DropAnchor(false); } },
        { "drop anchor at the cursor", [&] { c.DropAnchor(true); } },
        { "weigh anchor", [&] { c.WeighAnchor(); } },
        { "select a target", [&] { c.SelectTarget(1); } },
        { "show a target that cannot be centred on", [&] { c.ShowTarget(1); } },
        { "add a route waypoint", addWaypoint },
        { "drag a route waypoint", [&] { c.MoveDraggedWaypoint(1, 50.3, 1.3, c.undo().routeNow()); } },
    };
    for (const Case& k : cases) {
        view.bitmap.fill(Qt::magenta); // a redraw paints over it
        p.state.routeEdit.RouteListChanged = false;
        k.run();
        EXPECT_NE(view.bitmap.pixelColor(0, 0), QColor(Qt::magenta)) << k.command;
    }
    ASSERT_EQ(p.state.route.count(), 1U);
    EXPECT_DOUBLE_EQ(p.state.route.at(1).lat, 50.3);

    c.Undo1Click(); // the drag
    EXPECT_NE(p.state.route.at(1).lat, 50.3);
    c.Undo1Click(); // the added waypoint
    EXPECT_EQ(p.state.route.count(), 0U);
    EXPECT_TRUE(p.fakes.prompter.beeps.empty());
    c.Undo1Click(); // nothing left to take back
    EXPECT_EQ(p.fakes.prompter.beeps.size(), 1U);
    c.Redo1Click();
    EXPECT_EQ(p.state.route.count(), 1U);
    addWaypoint();
    EXPECT_TRUE(p.state.routeEdit.RouteListChanged);
    c.Redo1Click(); // a new edit forgets what was undone
    EXPECT_EQ(p.fakes.prompter.beeps.size(), 2U);
}

TEST(MainController, CloseAllAsksTwiceThenEmptiesEverything)
{
    Program p;
    p.writeRoute("coast", 3);
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    p.create();
    p.controller->SecsTimerTimer();
    p.controller->FileNewItemClick();
    ASSERT_EQ(p.controller->views().count(), 2);

    p.fakes.prompter.answer({ false });
    p.controller->CloseAll1Click();
    EXPECT_EQ(p.controller->views().count(), 2);
    EXPECT_EQ(p.state.routeProgress.RouteLength, 3);

    p.fakes.prompter.answer({ true, true });
    p.controller->CloseAll1Click();
    EXPECT_EQ(p.controller->views().count(), 0);
    EXPECT_EQ(p.state.chart.count(), 0);
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_TRUE(p.state.display.WPNameItems.empty());
    EXPECT_EQ(p.state.folders.ChartName, "");
    const auto texts = p.fakes.prompter.texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "This will delete all the displayed views! - Are you sure?");
    EXPECT_EQ(texts.back(), "This will remove all data! - Are you sure?");
    EXPECT_FALSE(p.state.display.isEnabled(Control::File1));
    EXPECT_FALSE(p.state.display.isEnabled(Control::Window1));
}

TEST(MainController, PositionPanelClickShowsDecimalDegreesUnlessGrid)
{
    Program p;
    p.create();
    p.state.fixInfo.OwnLat = 50.123456;
    p.state.fixInfo.OwnLong = 1.5; // west
    p.controller->PosnPanelClick();
    EXPECT_EQ(p.state.display.PosnPanel, "50.12346\xb0 -1.50000\xb0 (S/W -ve)");

    p.state.display.PosnPanel = "keep";
    p.state.settings.PositionDisplayMode = 0; // National Grid
    p.controller->PosnPanelClick();
    EXPECT_EQ(p.state.display.PosnPanel, "keep");

    p.controller->PosnPanelDblClick();
    EXPECT_FALSE(p.state.prefs.units.DecimalStyle);
    p.controller->PosnPanelDblClick();
    EXPECT_TRUE(p.state.prefs.units.DecimalStyle);
}

TEST(MainController, NavigationDataTogglesThePanelAndTiles)
{
    Program p;
    p.create();
    EXPECT_TRUE(p.state.display.isChecked(Control::NavigationData1));
    p.controller->NavigationData1Click();
    EXPECT_FALSE(p.window.navPanel);
    EXPECT_FALSE(p.state.display.isChecked(Control::NavigationData1));
    EXPECT_EQ(p.window.tiles, 1);
    p.controller->NavigationData1Click();
    EXPECT_TRUE(p.window.navPanel);
}

TEST(MainController, MeasureAndTotalise)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    EXPECT_EQ(p.state.display.hint(Control::MeasureMode), "Measure On|");
    EXPECT_FALSE(p.state.display.isEnabled(Control::ExMeasure));

    p.state.fixInfo.OwnLat = 50.0;
    p.state.fixInfo.OwnLong = 1.0;
    p.state.chartRef.CosLatFactor = 1.0;
    p.controller->MeasureModeClick(true);
    EXPECT_EQ(p.state.display.hint(Control::MeasureMode), "Measure off|");
    EXPECT_TRUE(p.state.display.isEnabled(Control::ExMeasure));
    EXPECT_TRUE(p.state.display.isEnabled(Control::ExMeasure1));
    EXPECT_TRUE(p.controller->views().shared.MeasureMode);

    // The cursor one nautical mile north: the view's measure text keeps the distance.
    p.state.fixInfo.OwnLat = 50.0 + 1.0 / 60.0;
    p.state.display.StatusLine
        = ViewMeasureText(p.state.fixInfo, p.state.chartRef, p.state.settings.units, p.controller->views().shared);
    EXPECT_NEAR(p.controller->views().shared.MeasureLastLeg, 1.0, 1e-9);
    // A fix in between writes the route's range; the total adds the measured leg all the same.
    p.state.routeProgress.RangeToWaypoint = 7.0;
    p.controller->ExMeasureClick();
    EXPECT_NEAR(p.controller->views().shared.MeasureTotal, 1.0, 1e-9);
    EXPECT_DOUBLE_EQ(p.controller->views().shared.MeasureOriginLat, 50.0 + 1.0 / 60.0);
    EXPECT_NE(p.state.display.StatusLine.find("Total Distance 1.00"), std::string::npos);

    // Totalising is off while the interface is open.
    p.state.nmeaLink.NmeaOpen = true;
    p.controller->UpdateMenuItems();
    EXPECT_FALSE(p.state.display.isEnabled(Control::ExMeasure));
    p.state.nmeaLink.NmeaOpen = false;

    p.controller->MeasureModeClick(false);
    EXPECT_EQ(p.state.display.hint(Control::MeasureMode), "Measure on|");
    EXPECT_EQ(p.state.display.StatusLine, "");
    EXPECT_DOUBLE_EQ(p.controller->views().shared.MeasureTotal, 0.0);
    EXPECT_FALSE(p.state.display.isEnabled(Control::ExMeasure));
    p.controller->ExMeasureClick(); // outside measure mode nothing happens
    EXPECT_EQ(p.state.display.StatusLine, "");
}

TEST(MainController, RefreshViewsRecentresOnTheCursor)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    p.state.fixInfo.OwnLat = 49.25;
    p.state.fixInfo.OwnLong = 2.25;
    p.controller->RefreshViews();
    EXPECT_NEAR(p.controller->views().view(0).centreLat, 49.25, 1e-9);
    EXPECT_NEAR(p.controller->views().view(0).centreLong, 2.25, 1e-9);
}

TEST(MainController, EveryDrawingOfAViewTurnsByTheViewAngle)
{
    // The heading-up rule (or the preferences) sets the angle between fixes; whatever draws a
    // view next turns it by that angle, not only the fix's own redraw.
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    ViewSet& views = p.controller->views();
    ChartView& v = views.view(0);
    const std::pair<double, std::function<void()>> cases[]
        = { { -0.5, [&] { views.ZoomInClick(v); } }, { 1.25, [&] { views.Zoom1_1Click(v); } },
              { -2.0, [&] { views.ReCentre(v); } }, { 0.75, [&] { views.Redraw(v); } } };
    for (const auto& [angle, draw] : cases) {
        p.state.headUp.ViewAngle = angle;
        draw();
        EXPECT_DOUBLE_EQ(v.projection.angle, angle);
        EXPECT_NEAR(v.projection.sinA, std::sin(angle), 1e-12);
    }
}

TEST(MainController, MissingChartEndsTheProgram)
{
    Program p;
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings&) { nav.folders.ChartName = "nowhere"; });
    p.create();
    p.controller->SecsTimerTimer();
    EXPECT_TRUE(p.window.ended);
    EXPECT_TRUE(p.controller->ended());
    EXPECT_EQ(p.window.aboutBoxes, 0);
}

TEST(MainController, LoadingAConfigurationMovesVesselAndView)
{
    Program p;
    p.writeRoute("coast", 4);
    p.create();
    p.controller->SecsTimerTimer();
    kvtest::WriteConfigIn(p.dir, "other.cfg", [](ProgramState& nav, Settings& s) {
        nav.settings.vessel.BoatSpeed = 5.0;
        nav.fixInfo.OwnLat = 49.5;
        nav.fixInfo.OwnLong = 2.0;
        s.ViewZoom = 2.0;
        s.RouteName = "coast";
    });

    p.state.nmeaLink.NmeaOpen = true;
    p.controller->Config1Click(p.dir.file("other.cfg"));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(
        "You cannot load a config file while logging in progress or a Chart Portfolio is open!"));
    EXPECT_DOUBLE_EQ(p.state.settings.vessel.BoatSpeed, 10.0);
    p.state.nmeaLink.NmeaOpen = false;

    p.controller->Config1Click(p.dir.file("other.cfg"));
    EXPECT_DOUBLE_EQ(p.state.settings.vessel.BoatSpeed, 5.0);
    EXPECT_EQ(p.state.chart.ConfigName, "other");
    EXPECT_EQ(p.state.routeProgress.RouteLength, 4);
    // The active view where the configuration left it, at its zoom; the redraw puts the cursor
    // (the shared position) at the view's centre.
    const ChartView& v = p.controller->views().view(0);
    EXPECT_NEAR(v.centreLat, 49.5, 1e-6);
    EXPECT_NEAR(v.centreLong, 2.0, 1e-6);
    EXPECT_DOUBLE_EQ(v.zoom, 2.0);
    EXPECT_NEAR(p.state.fixInfo.OwnLat, 49.5, 1e-6);

    std::filesystem::remove(p.dir.file("charts/world.cfg"));
    p.controller->Config1Click(p.dir.file("other.cfg"));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Chart Config File Missing!"));
}

// Plane sailing scales longitude by the loaded chart's centre latitude, not by the latitude a
// main configuration was saved at: at start, after opening another chart and after loading a
// configuration while a chart is loaded.
TEST(MainController, CosLatFactorFollowsTheLoadedChart)
{
    Program p;
    kvtest::WriteConfigIn(p.dir, "kelvw.cfg", [](ProgramState& nav, Settings&) {
        nav.folders.ChartName = "world";
        nav.fixInfo.OwnLat = 10.0;
    });
    std::vector<ChartPoint> points { ChartPoint::make(60.0, 1.0), ChartPoint::make(60.5, 1.5), ChartPoint::penUp() };
    p.dir.write("charts/north.cht", ChartRecordBytes(points));
    ChartConfig north;
    north.centreLat = 60.0;
    north.centreLong = 1.0;
    north.zoom = 1.0;
    ASSERT_TRUE(WriteChartConfigFile(p.dir.file("charts/north.cfg"), north));
    const auto cosDeg = [](double deg) { return std::cos(deg * M_PI / 180.0); };

    p.create();
    p.controller->SecsTimerTimer();
    ASSERT_EQ(p.state.folders.ChartName, "world");
    EXPECT_NEAR(p.state.chartRef.CosLatFactor, cosDeg(50.0), 1e-12);

    p.controller->charts().OpenChart(p.dir.file("charts/north.cht"));
    ASSERT_EQ(p.state.folders.ChartName, "north");
    EXPECT_NEAR(p.state.chartRef.CosLatFactor, cosDeg(60.0), 1e-12);

    kvtest::WriteConfigIn(p.dir, "other.cfg", [](ProgramState& nav, Settings&) {
        nav.folders.ChartName = "north";
        nav.fixInfo.OwnLat = 20.0;
    });
    p.controller->Config1Click(p.dir.file("other.cfg"));
    EXPECT_NEAR(p.state.chartRef.CosLatFactor, cosDeg(60.0), 1e-12);
}

// Starting an AIS log playback purges the quick log as the log menu's purge does: the trip, the
// last leg and the thinning of old records start again, not only the records.
TEST(MainController, PlaybackAndMenuPurgeRestartTheTrack)
{
    struct Case {
        const char* name;
        void (*purge)(MainController&, const std::string& log);
    };
    const Case cases[] = {
        { "log menu purge", [](MainController& c, const std::string&) { c.logs().Log1Click(); } },
        { "playback start",
            [](MainController& c, const std::string& log) {
                c.ais().PlayAISlogClick([log] { return std::optional<std::string>(log); });
            } },
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Program p;
        p.dir.write("logs/played.AIS", "AIS Log Date : 07-12-26\r\n");
        p.create();
        p.controller->SecsTimerTimer();
        for (int i = 0; i < 5; ++i) {
            p.state.quickLog.push({ 50.0 + i * 0.01, 1.0, 600.0 + i });
        }
        p.state.cycleState.LogEmpty = false;
        p.state.motion.TripDistance = 12.5;
        p.state.motion.LastLegDistance = 0.6;
        p.state.cycleState.DropIndex = 9;
        p.state.cycleState.DropCounter = 4;
        p.state.display.Trip = "12.50 Nm";

        tc.purge(*p.controller, p.dir.file("logs/played.AIS"));
        EXPECT_TRUE(p.state.quickLog.empty());
        EXPECT_TRUE(p.state.cycleState.LogEmpty);
        EXPECT_EQ(p.state.motion.TripDistance, 0.0);
        EXPECT_EQ(p.state.motion.LastLegDistance, 0.0);
        EXPECT_EQ(p.state.cycleState.DropIndex, 2);
        EXPECT_EQ(p.state.cycleState.DropCounter, 0);
        EXPECT_EQ(p.state.display.Trip, "0.00 Nm");
    }
}

TEST(MainController, MonitorModeOfAPlayedMonitorLogCanBeSwitchedOff)
{
    Program p;
    p.dir.write("logs/station.AIS", "$KVGGA,120000,5030.000,N,00100.000,W,5,07,0.0,0.0,M,,0000*MON\r\n");
    p.create();
    p.controller->SecsTimerTimer();
    p.controller->ais().PlayAISlogClick([&] { return std::optional<std::string>(p.dir.file("logs/station.AIS")); });
    while (p.state.aisPlayback.AISPlayback) {
        p.controller->ais().AISplayTimeTimer();
    }
    EXPECT_TRUE(p.state.ais.AISMonitor && p.state.display.isChecked(Control::AISMonitor));
    p.controller->ais().AISMonitorClick();
    EXPECT_FALSE(p.state.ais.AISMonitor || p.state.display.isChecked(Control::AISMonitor));
    // A receiver opened later gives the fixes, not the station sentence.
    p.state.nmeaLink.NmeaOpen = true;
    p.state.nmeaLink.LastPositionSentence = "$GPGGA,120100,4900.000,N,00200.000,W,1,08,0.9,1.0,M,,M,,";
    p.controller->fix().FixTimerTimer();
    EXPECT_EQ(p.state.fixInfo.FixSource, "$GPGGA");
}

TEST(MainController, SavingAConfigurationRenamesTheViews)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    p.state.settings.vessel.BoatSpeed = 6.25;
    p.controller->SaveConfigAs1Click(p.dir.file("boat3.cfg"));
    EXPECT_EQ(p.controller->views().view(0).caption, "world (boat3)");
    ProgramState nav;
    Settings& settings = nav.settings;
    ASSERT_TRUE(ReadConfig(p.dir.file("boat3.cfg"), p.state.fixInfo, p.state.chartRef, p.state.folders, settings));
    EXPECT_DOUBLE_EQ(p.state.settings.vessel.BoatSpeed, 6.25);

    p.controller->SaveConfigAs1Click(p.dir.file("no/such/folder/x.cfg"));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Error creating config file !"));
    EXPECT_EQ(p.state.chart.ConfigName, "boat3");

    // "Remove Everything" forgets the configuration's name, and so do the captions: no empty
    // brackets are left behind.
    p.fakes.prompter.answer({ true });
    p.controller->PurgeAllClick();
    EXPECT_EQ(p.state.chart.ConfigName, "");
    EXPECT_EQ(p.controller->views().view(0).caption, "");
}

TEST(MainController, HelperProgramsAndClipboard)
{
    Program p;
    p.create();
    p.fakes.launcher.succeed = false;
    p.controller->TidalAtlasEditor1Click();
    ASSERT_EQ(p.fakes.launcher.launches.size(), 1u);
    EXPECT_EQ(p.fakes.launcher.launches[0].program, p.dir.path() + "/TidalAtlasEditor");
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Application Not Available !"));

    p.controller->CopyViewClick(); // no view: nothing to copy
    EXPECT_TRUE(p.fakes.clipboard.image.isNull());
    p.controller->SecsTimerTimer();
    p.controller->CopyViewClick();
    EXPECT_EQ(p.fakes.clipboard.image.size(), p.controller->views().view(0).bitmap.size());
    EXPECT_FALSE(p.fakes.clipboard.image.isNull());
}

TEST(MainController, ShowRawNmeaClearsTheStatusLineWhenUnchecked)
{
    Program p;
    p.create();
    p.controller->ShowNMEAClick();
    EXPECT_TRUE(p.state.prefs.ShowNMEA);
    p.state.display.StatusLine = "$GPGGA,...";
    p.controller->ShowNMEAClick();
    EXPECT_FALSE(p.state.prefs.ShowNMEA);
    EXPECT_EQ(p.state.display.StatusLine, "");
}

} // namespace

namespace {

TEST(MainController, VesselDatabaseSwitchesStartCheckedAndToggle)
{
    Program p;
    p.create();
    EXPECT_TRUE(p.state.display.isChecked(Control::UpdateAISDatabase));
    EXPECT_TRUE(p.state.display.isChecked(Control::SearchAISDatabase));
    p.controller->UpdateAISDatabaseClick();
    EXPECT_FALSE(p.state.ais.UpdateAISDatabase);
    EXPECT_FALSE(p.state.display.isChecked(Control::UpdateAISDatabase));
    p.controller->SearchAISDatabaseClick();
    p.controller->SearchAISDatabaseClick();
    EXPECT_TRUE(p.state.ais.SearchAISDatabase);
    EXPECT_TRUE(p.state.display.isChecked(Control::SearchAISDatabase));
}

} // namespace

namespace {

TEST(MainController, PrintSendsTheActiveViewToThePrinter)
{
    Program p;
    p.create();
    p.controller->Print1Click(); // no view yet: nothing to print
    EXPECT_TRUE(p.fakes.printer.printed.empty());
    p.controller->SecsTimerTimer();
    ASSERT_EQ(p.controller->views().count(), 1);
    EXPECT_TRUE(p.state.display.isEnabled(Control::Print1));
    p.controller->Print1Click();
    ASSERT_EQ(p.fakes.printer.printed.size(), 1u);
    // Drawn again for the page (1600 × 1200 at 300 dpi in the fake dialog), not the screen bitmap
    // enlarged: the proportions of the area shown (here the whole bitmap, no window reports a
    // part), as large as the page allows above the margin line of a sixth of an inch; a picture
    // wider than tall asks for a landscape page.
    const QImage& bitmap = p.controller->views().view(0).bitmap;
    const QImage& printed = p.fakes.printer.printed[0];
    const double fit = std::min(1600.0 / bitmap.width(), (1200.0 - 50) / bitmap.height());
    EXPECT_EQ(printed.width(), static_cast<int>(bitmap.width() * fit));
    EXPECT_EQ(printed.height(), static_cast<int>(bitmap.height() * fit) + 50);
    EXPECT_EQ(p.fakes.printer.landscape, std::optional<bool>(true));
    p.controller->views().view(0).shownArea = QRect(10, 20, 300, 400); // a window taller than wide
    p.controller->Print1Click();
    EXPECT_EQ(p.fakes.printer.landscape, std::optional<bool>(false));
    ASSERT_EQ(p.fakes.printer.printed.size(), 2u);
    EXPECT_EQ(p.fakes.printer.printed[1].height(), 1200);
    EXPECT_EQ(p.fakes.printer.printed[1].width(), static_cast<int>(300 * 1150.0 / 400));
    p.controller->PrinterSetUp1Click();
    EXPECT_EQ(p.fakes.printer.setups, 1);
}

} // namespace

TEST(MainController, UnreadableConfigurationStartsWithDefaultsAndSaysSo)
{
    for (const bool fifo : { true, false }) {
        Program p;
        const std::string config = p.dir.file("kelvw.cfg");
        if (fifo) {
            ASSERT_EQ(::mkfifo(config.c_str(), 0600), 0);
        } else {
            std::filesystem::create_directory(config);
        }
        p.create(); // returns at once, a FIFO is not waited on
        EXPECT_EQ(p.state.settings.nmea.ComPortNumber, 1u) << fifo;
        EXPECT_EQ(p.state.settings.nmea.BaudRate, 38400u) << fifo;
        EXPECT_EQ(p.state.display.StatusLine,
            "Configuration " + config + (fifo ? " is not a regular file" : " is a folder, not a file")
                + " - defaults used");
        p.controller->SecsTimerTimer();
        EXPECT_EQ(p.state.folders.ChartName, "world") << fifo;
    }
}

TEST(MainController, StartRemovesStaleTemporariesOfInterruptedRewrites)
{
    Program p;
    const std::vector<std::string> stale { ".kvtmp-kelvw.cfg-a1B2c3", "logs/.kvtmp-07-03-26.log-zzzzzz",
        "charts/.kvtmp-world.cht-000000", "routes/.kvtmp-a.rte-QWERTY", "tides/.kvtmp-p.pos-abcdef" };
    for (const auto& name : stale) {
        p.dir.write(name, "half written");
    }
    p.dir.write("logs/.kvtmp-notes", "someone else's");
    p.create();
    for (const auto& name : stale) {
        EXPECT_FALSE(PathTaken(p.dir.file(name))) << name;
    }
    EXPECT_EQ(p.dir.read("logs/.kvtmp-notes"), "someone else's");
}
namespace {

// The switches only the preferences and timing dialogs change start as their check boxes are
// drawn on a first start: on only where the box starts ticked.
TEST(MainController, DialogSwitchesStartAsTheirCheckBoxes)
{
    Program p;
    p.create();
    p.controller->SecsTimerTimer();
    const ProgramState& s = p.state;
    const struct {
        const char* control;
        bool on;
        bool actual;
    } rows[] = {
        { "KnAlways", true, s.prefs.units.KnotsAlways },
        { "WP_auto", true, s.prefs.route.AutoNextWaypoint },
        { "NormalMode", true, s.prefs.OnRouteCompletion == RouteCompletion::NormalMode },
        { "Reverse", false, s.prefs.OnRouteCompletion == RouteCompletion::Reverse },
        { "RepRoute", false, s.prefs.OnRouteCompletion == RouteCompletion::RepRoute },
        { "RevRoute", false, s.routeProgress.RouteReversed },
        { "Voice", false, s.prefs.Voice },
        { "WPVoice", false, s.prefs.WPVoice },
        { "Vfreq", false, s.prefs.Vfreq },
        { "AISvoice", false, s.prefs.AISvoice },
        { "ManTide", false, !s.prefs.tide.AtlasTide },
        { "HeadUp", false, s.prefs.HeadUp },
        { "NoOffsets", false, s.prefs.NoOffsets },
        { "KeepLog", true, s.prefs.fix.DisposalStep == 2 },
        { "sendAPB", true, s.prefs.nmea.sendAPB },
        { "sendXTE", true, s.prefs.nmea.sendXTE },
        { "sendHSC", true, s.prefs.nmea.sendHSC },
        { "SendBOD", true, s.prefs.nmea.SendBOD },
        { "sendBWR", false, s.prefs.nmea.sendBWR },
        { "SendVTG", false, s.prefs.nmea.SendVTG },
        { "SendRMB", false, s.prefs.nmea.SendRMB },
        { "SendCustom", false, s.prefs.nmea.SendCustom },
        { "UTCClock", true, s.prefs.fix.UseGpsTime },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.actual, row.on) << row.control;
    }
}

} // namespace
