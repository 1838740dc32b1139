// Free look, the zoom kept through chart tiles and the course-up view, driven by fixes through
// the controller as a voyage would.

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
        for (const char* folder : {"charts", "routes", "tides", "logs"}) {
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
                  ChartRecordBytes({ChartPoint::make(lat - 0.1, lon - 0.1), ChartPoint::make(lat + 0.1, lon + 0.1),
                                    ChartPoint::penUp()}));
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

// Following (the default) centres every redraw on own ship; a pan or a wheel zoom leaves the
// chart where the user put it through ten fixes while own ship moves across it; Follow brings
// the view back to own ship.
TEST(FollowView, APanOrWheelZoomHoldsTheChartUntilFollowIsPressed)
{
    for (bool wheel : {false, true}) {
        SCOPED_TRACE(wheel);
        Voyage v;
        v.start();
        v.fixAt(50.0, 3.9);
        v.fixAt(50.0, 3.89);
        ChartView& view = v.view();
        ASSERT_TRUE(view.following);
        EXPECT_NEAR(view.centreLong, 3.89, 1e-6); // the next redraw is around own ship
        const Projection& p = view.projection;
        if (wheel) {
            v.views().ZoomAbout(view, Pixel{p.halfW + 200, p.halfH - 100}, Pixel{p.halfW, p.halfH}, true);
        } else {
            v.views().PanTo(view, Pixel{p.halfW + 200, p.halfH - 100});
        }
        EXPECT_FALSE(view.following);
        const double lat = view.referenceLat();
        const double lon = view.referenceLong();
        std::optional<Pixel> before = view.vesselPixel;
        ASSERT_TRUE(before);
        for (int i = 1; i <= 10; ++i) {
            v.fixAt(50.0, 3.89 - 0.02 * i);
            EXPECT_DOUBLE_EQ(view.referenceLat(), lat) << i;
            EXPECT_DOUBLE_EQ(view.referenceLong(), lon) << i;
            ASSERT_TRUE(view.vesselPixel) << i;
            EXPECT_GT(view.vesselPixel->x, before->x) << i; // eastwards across the picture
            before = view.vesselPixel;
        }
        // Out of a window of 200 × 200 pixels around the middle: shown as out of view.
        const QRect small(p.halfW - 100, p.halfH - 100, 200, 200);
        EXPECT_EQ(v.views().VesselOutside(view, small), !small.contains(view.vesselPixel->x, view.vesselPixel->y));
        EXPECT_FALSE(v.views().VesselOutside(view, QRect()));
        v.views().FollowClick(view);
        EXPECT_TRUE(view.following);
        EXPECT_NEAR(view.referenceLong(), 3.69, 1e-6);
        EXPECT_NEAR(view.referenceLat(), 50.0, 1e-6);
        EXPECT_EQ(view.vesselPixel, (Pixel{p.halfW, p.halfH}));
        v.fixAt(50.0, 3.68);
        EXPECT_NEAR(view.referenceLong(), 3.68, 1e-6); // drawn around each fix, as always
    }
}

// Crossing from one chart tile to the next: the view keeps a zoom the user chose, but never
// below the new tile's own zoom; a zoom nobody touched is the tile's, as it always was.
TEST(FollowView, ATileLoadedUnderWayKeepsTheChosenZoom)
{
    struct Case {
        const char* name;
        int steps; // zoom button presses: in (+) or out (-)
        double expected;
    };
    const Case cases[] = {{"untouched", 0, 2.0}, {"zoomed in", 3, 16.0}, {"zoomed out", -2, 2.0}};
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
    for (const Step& s : {Step{95, 270.0}, Step{99, 270.0}, Step{101, 259.0}, Step{92, 259.0}, Step{80, 280.0}}) {
        v.state.motion.COG = static_cast<std::int16_t>(s.cog);
        v.views().Redraw(view);
        EXPECT_NEAR(view.projection.angle * 180.0 / kPi, s.angleDeg, 1e-9) << s.cog;
    }
    // With COG 080 up, a point ahead along the course is straight above own ship.
    const LatLongValue at{50.0, 3.89};
    const double ahead = 0.1;
    const auto ship = PositionToPixel(view.projection, at.lat, at.lon);
    const auto bow = PositionToPixel(view.projection, at.lat + ahead * std::cos(80.0 * kPi / 180.0),
                                     at.lon - ahead * std::sin(80.0 * kPi / 180.0) / view.projection.cosLat);
    ASSERT_TRUE(ship && bow);
    EXPECT_LT(bow->y, ship->y - 10);
    EXPECT_NEAR(bow->x, ship->x, std::abs(bow->y - ship->y) * 0.12); // the 1/cos stretch of the projection
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
