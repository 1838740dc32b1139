// The zoom kept through chart tiles and the course-up view, driven by fixes through the
// controller as a voyage would.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "platform/fake/Fakes.h"
#include "support/RmcSentence.h"
#include "support/TempDir.h"
#include "views/Render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace {

using namespace kv;

constexpr double kPi = 3.14159265358979323846;

// Four chart tiles in a row along 50° N, a degree apart, at chart zoom 2.
class Voyage {
public:
    Voyage()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        addChart("world", 45.0, 10.0, 0.1);
        for (int i = 0; i < 4; ++i) {
            addChart("tile" + std::to_string(i + 1), 50.0, 4.0 - i, 2.0);
        }
    }
    void addChart(const std::string& name, double lat, double lon, double zoom)
    {
        dir.write("charts/" + name + ".cht",
            ChartRecordBytes({ ChartPoint::make(lat - 0.1, lon - 0.1), ChartPoint::make(lat + 0.1, lon + 0.1),
                ChartPoint::penUp() }));
        ChartConfig config;
        config.centreLat = lat;
        config.centreLong = lon;
        config.zoom = zoom;
        WriteChartConfigFile(dir.file("charts/" + name + ".cfg"), config);
    }
    void start()
    {
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
        controller->SecsTimerTimer();
        state.nmeaLink.NmeaOpen = true;
    }
    void fixAt(double lat, double lonWest)
    {
        state.cycleState.CurrentSentence = kvtest::RmcAt(lat, lonWest);
        controller->fix().ProcessSentence();
    }
    ViewSet& views() { return controller->views(); }
    ChartView& view() { return controller->views().view(0); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    std::unique_ptr<MainController> controller;
};

// Crossing from one chart tile to the next: the view keeps a zoom the user chose, but never
// below the new tile's own zoom; a zoom nobody touched is the tile's, as it always was.
TEST(FollowView, ATileLoadedUnderWayKeepsTheChosenZoom)
{
    struct Case {
        const char* name;
        int steps; // zoom button presses: in (+) or out (-)
        double expected;
    };
    const Case cases[] = { { "untouched", 0, 2.0 }, { "zoomed in", 3, 16.0 }, { "zoomed out", -2, 2.0 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Voyage v;
        v.start();
        v.fixAt(50.0, 3.9);
        ASSERT_EQ(v.state.chart.ChartName.str(), "tile1");
        ASSERT_DOUBLE_EQ(v.view().zoom, 2.0);
        for (int i = 0; i < std::abs(c.steps); ++i) {
            c.steps > 0 ? v.views().ZoomInClick(v.view()) : v.views().ZoomOutClick(v.view());
        }
        v.fixAt(50.0, 3.2);
        ASSERT_EQ(v.state.chart.ChartName.str(), "tile2");
        EXPECT_DOUBLE_EQ(v.view().zoom, c.expected);
        v.fixAt(50.0, 2.2);
        ASSERT_EQ(v.state.chart.ChartName.str(), "tile3");
        EXPECT_DOUBLE_EQ(v.view().zoom, c.expected);
        // "1:1" gives the choice back to the charts.
        v.views().Zoom1_1Click(v.view());
        v.fixAt(50.0, 1.1);
        ASSERT_EQ(v.state.chart.ChartName.str(), "tile4");
        EXPECT_DOUBLE_EQ(v.view().zoom, 2.0);
    }
}

// Course up turns the view so that the course over ground points up; within the heading-up dead
// band the view stays as it is; north up and the preferences' rotation are the others.
TEST(FollowView, CourseUpTurnsTheViewWithTheDeadBand)
{
    Voyage v;
    v.start();
    v.state.prefs.fix.HeadUpDeadBand = 10;
    v.fixAt(50.0, 3.9);
    v.fixAt(50.0, 3.89);
    ChartView& view = v.view();
    EXPECT_EQ(view.projection.angle, 0.0);
    struct Step {
        int cog;
        double angleDeg; // the view's angle after the fix
    };
    v.state.motion.COG = 90;
    v.views().SetOrientation(view, ViewOrientation::CourseUp);
    EXPECT_NEAR(view.projection.angle, kPi * 270.0 / 180.0, 1e-12);
    for (const Step& s :
        { Step { 95, 270.0 }, Step { 99, 270.0 }, Step { 101, 259.0 }, Step { 92, 259.0 }, Step { 80, 280.0 } }) {
        v.state.motion.COG = static_cast<std::int16_t>(s.cog);
        v.views().Redraw(view);
        EXPECT_NEAR(view.projection.angle * 180.0 / kPi, s.angleDeg, 1e-9) << s.cog;
    }
    // The other choices.
    v.views().SetOrientation(view, ViewOrientation::NorthUp);
    EXPECT_EQ(view.projection.angle, 0.0);
    v.state.headUp.ViewAngle = 1.0;
    v.views().SetOrientation(view, ViewOrientation::Preferences);
    EXPECT_EQ(view.projection.angle, 1.0);
    v.views().SetOrientation(view, ViewOrientation::NorthUp);
    EXPECT_EQ(view.projection.angle, 0.0); // whatever the preferences say
}

} // namespace
