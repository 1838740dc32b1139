// Area measurement, chart information text and log playback.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"
#include "support/TempDir.h"

#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "views/ViewCommands.h"

#include <gtest/gtest.h>

namespace {

using namespace kv;

class ViewCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.chartGeometry.SurfaceWidth = 320;
        state.chartGeometry.SurfaceHeight = 240;
        state.chartGeometry.ChartCentreLat = 0.0;
        state.chartGeometry.ChartCentreLong = 0.0;
        state.chartGeometry.ChartZoom = 8.0;
        state.chart.ChartName = "bay";
        state.chart.ChartFolder = dir.path() + "/";
    }
    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
    kvtest::TempDir dir;
};

TEST_F(ViewCommandsTest, AreaUnitsAndSmallAreas)
{
    EXPECT_EQ(AreaFromPixelCount(2, 1.852, 0.0, 600, 100).text, "Area = 496 Sq. Metres"); // 0.0496 ha
    EXPECT_EQ(AreaFromPixelCount(20000, 1.852, 0.0, 600, 100).unit, " Hectares");
    EXPECT_EQ(AreaFromPixelCount(1, 1.15081, 0.0, 600, 100).unit, " Sq. Feet");
    EXPECT_EQ(AreaFromPixelCount(2, 1.15081, 0.0, 600, 100).unit, " Acres");
    const AreaResult nm = AreaFromPixelCount(1000, 1.0, 60.0, 600, 1);
    EXPECT_EQ(nm.unit, " Sq. Nm");
    EXPECT_EQ(nm.text, "Area = 180.63 Sq. Nm"); // 1000 × 0.7225 × 0.25
}

TEST_F(ViewCommandsTest, AreaOfAClosedCoastline)
{
    // A square of 0.1° at the equator: 6 × 6 nautical miles.
    chart.add(0.05, 0.05);
    chart.add(0.05, -0.05);
    chart.add(-0.05, -0.05);
    chart.add(-0.05, 0.05);
    chart.add(0.05, 0.05);
    state.chartGeometry.ChartZoom = 32.0; // about 90 pixels a side: the boundary weighs little
    ChartView& v = views.CreateView("bay");
    v.options.ShowGraticule = false;
    const auto area = Area1Click(views, v);
    ASSERT_TRUE(area.has_value()) << fakes.prompter.messages.back().text;
    EXPECT_NEAR(area->value, 36.0, 1.5);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(area->text));
    EXPECT_FALSE(v.options.ShowTrack);
    EXPECT_FALSE(v.options.ShowWaypoints);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kYellow), 0); // redrawn without the fill
}

TEST_F(ViewCommandsTest, AreaIsRefusedWhileALogIsKept)
{
    ChartView& v = views.CreateView("bay");
    state.quickLog.push(QuickLogRecord { 0, 0, 0 });
    views.ReCentre(v);
    const QImage before = v.bitmap.copy();
    EXPECT_FALSE(Area1Click(views, v).has_value());
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kAreaRefused));
    EXPECT_TRUE(v.options.ShowTrack);
    EXPECT_EQ(v.bitmap, before);
    state.quickLog.clear();
    state.settings.fix.DRMode = true;
    EXPECT_FALSE(Area1Click(views, v).has_value());
}

TEST_F(ViewCommandsTest, ChartInformationText)
{
    ChartView& v = views.CreateView("bay");
    Information1Click(views, v, false);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kNoInformation));
    EXPECT_FALSE(v.infoOpen);

    dir.write("bay.inf", "Bay chart\r\nSoundings in metres\r\n");
    Information1Click(views, v, false);
    ASSERT_TRUE(v.infoOpen);
    EXPECT_FALSE(v.infoEditable);
    EXPECT_EQ(v.infoHint, kInfoCloseHint);
    EXPECT_EQ(v.infoText, "Bay chart\nSoundings in metres");
    Information1Click(views, v, false);
    EXPECT_FALSE(v.infoOpen);

    // In chart edit mode a missing text starts empty and is written on closing.
    std::remove(dir.file("bay.inf").c_str());
    Information1Click(views, v, true);
    ASSERT_TRUE(v.infoOpen);
    EXPECT_TRUE(v.infoEditable);
    EXPECT_EQ(v.infoHint, kInfoSaveHint);
    v.infoText = "New notes";
    Information1Click(views, v, true);
    EXPECT_FALSE(v.infoOpen);
    EXPECT_EQ(dir.read("bay.inf"), "New notes\r\n");
}

TEST_F(ViewCommandsTest, LogPlaybackRunsToTheEndAndRestoresTheView)
{
    ChartView& v = views.CreateView("bay");
    LogPlayback playback;
    PlaybackLog1Click(views, v, playback); // nothing to play
    EXPECT_FALSE(playback.active);
    for (int i = 0; i < 12; ++i) {
        state.quickLog.push(QuickLogRecord { 0.001 * i, 0.002 * i, 600.0 + i });
    }
    state.display.AISPlayTimer.enabled = true;
    PlaybackLog1Click(views, v, playback);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kPlaybackRefused));
    EXPECT_FALSE(playback.active);
    state.display.AISPlayTimer.enabled = false;

    views.shared.PlaybackSpeed = 4;
    PlaybackLog1Click(views, v, playback);
    ASSERT_TRUE(playback.active);
    EXPECT_EQ(playback.Delay.intervalMs, 250u);
    EXPECT_EQ(state.display.StatusLine, kPlaybackInProgress);
    EXPECT_FALSE(v.options.ShowTrack);
    int ticks = 0;
    while (playback.active && ticks < 100) {
        DelayTimer(views, v, playback);
        ++ticks;
        if (ticks == 3) {
            EXPECT_GT(kvtest::CountColour(v.bitmap, kYellow), 5); // the records played so far
        }
    }
    EXPECT_EQ(ticks, 12);
    EXPECT_TRUE(v.options.ShowTrack);
    EXPECT_EQ(state.display.StatusLine, "");
    EXPECT_EQ(v.centreLat, 0.011);
}

TEST_F(ViewCommandsTest, RouteCommandsRedrawAndPopupMenuState)
{
    ChartView& v = views.CreateView("bay");
    v.options.ShowGraticule = false;
    views.MouseDown(v, 200, 100);
    views.MouseUp(v, 200, 100);
    RouteHooks hooks;
    RouteEditor editor(state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, fakes.prompter, hooks);
    RouteCommand(views, v, [&] { editor.AddRouteWaypoint1Click(); });
    ASSERT_EQ(state.route.count(), 1u);
    EXPECT_TRUE(state.routeEdit.RouteListChanged);
    // the click also made its position the view's centre: the new route waypoint (a 3 × 3 plus at
    // this zoom) is in the middle of the fresh picture
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, 161, 120), kWhite);
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, 161, 121), kNavy);

    views.FileNewItemClick();
    PopupMenuOpening(views, views.view(1));
    EXPECT_FALSE(state.display.isEnabled(Control::Area1));
    EXPECT_FALSE(state.display.isEnabled(Control::AISZoom));
    state.routeEdit.WaypointSnap = true;
    PopupMenuOpening(views, v);
    EXPECT_TRUE(state.display.isEnabled(Control::Area1));
    EXPECT_TRUE(state.display.isChecked(Control::WaypointSnapMode));

    CopyView1Click(v, fakes.clipboard);
    EXPECT_EQ(fakes.clipboard.image, v.bitmap);
}

} // namespace
