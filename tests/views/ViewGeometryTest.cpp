// Projection, zoom limits and the view lifecycle.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "views/ViewGeometry.h"
#include "views/ViewSet.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kv;

Projection MakeProjection(double lat, double lon, double zoom, int w, int h, double angle = 0.0)
{
    DrawingSurface s { w, h };
    ViewRotation r;
    r.setAngle(angle);
    return ComputeScales(lat, lon, zoom, s, r);
}

TEST(ViewGeometry, SurfaceAndBaseScales)
{
    EXPECT_EQ(SurfaceForScreen(1024, 768).height, 768);
    EXPECT_EQ(SurfaceForScreen(1280, 1024).height, 1024); // narrower than 4:3 keeps its height
    const DrawingSurface wide = SurfaceForScreen(1920, 1080);
    EXPECT_EQ(wide.width, 1920);
    EXPECT_EQ(wide.height, 1440);
    EXPECT_EQ(ChartLongitudeBaseScale(1024), 88);
    EXPECT_EQ(ChartLongitudeBaseScale(320), 28); // 27.5 rounds to even
}

TEST(ViewGeometry, CentreClickGivesTheReferenceExactly)
{
    const Projection p = MakeProjection(50.123456789, -1.987654321, 37.5, 1024, 768);
    const LatLong v = PixelToLatLong(p, p.halfW, p.halfH);
    EXPECT_EQ(v.lat, 50.123456789);
    EXPECT_EQ(v.lon, -1.987654321);
}

TEST(ViewGeometry, PixelPositionRoundTripAtAnyAngle)
{
    for (double angle : { 0.0, 0.3, 1.2, 3.14159265358979, -2.0, 4.5 }) {
        const Projection p = MakeProjection(50.5, 1.25, 20.0, 1024, 768, angle);
        for (int x : { 0, 17, 512, 777, 1023 }) {
            for (int y : { 0, 99, 384, 767 }) {
                const LatLong pos = PixelToLatLong(p, x, y);
                const auto px = PositionToPixel(p, pos.lat, pos.lon);
                ASSERT_TRUE(px.has_value());
                EXPECT_EQ(px->x, x) << "angle " << angle;
                EXPECT_EQ(px->y, y) << "angle " << angle;
                // and the other way within half a pixel
                const LatLong back = PixelToLatLong(p, px->x, px->y);
                EXPECT_NEAR(back.lat, pos.lat, 1e-9);
                EXPECT_NEAR(back.lon, pos.lon, 1e-9);
            }
        }
        const auto px = PositionToPixel(p, 50.51, 1.24);
        ASSERT_TRUE(px.has_value());
        const LatLong pos = PixelToLatLong(p, px->x, px->y);
        EXPECT_NEAR(pos.lat, 50.51, 1.0 / p.latScale);
        EXPECT_NEAR(pos.lon, 1.24, 1.0 / p.longScale);
    }
}

TEST(ViewGeometry, LatitudeSixtyDoublesTheVerticalScale)
{
    const Projection equator = MakeProjection(0.0, 0.0, 1.0, 1024, 768);
    const Projection sixty = MakeProjection(60.0, 0.0, 1.0, 1024, 768);
    EXPECT_EQ(sixty.latBase, 2 * equator.latBase);
    const auto a = PositionToPixel(sixty, 60.0, 0.0);
    const auto b = PositionToPixel(sixty, 59.0, 0.0);
    const auto c = PositionToPixel(equator, 0.0, 0.0);
    const auto d = PositionToPixel(equator, -1.0, 0.0);
    ASSERT_TRUE(a && b && c && d);
    EXPECT_EQ(b->y - a->y, 2 * (d->y - c->y));
    EXPECT_EQ(sixty.longScale, equator.longScale);
}

TEST(ViewGeometry, CentreIsClampedAndWrapped)
{
    double lat = 88.0;
    double lon = 181.0; // one degree past the antimeridian, west positive
    const Projection p = ComputeScales(lat, lon, 1.0, DrawingSurface {}, ViewRotation {});
    EXPECT_EQ(lat, 84.0);
    EXPECT_EQ(lon, -179.0);
    // 179°E (-179) is now at the centre; 179°W (+179) is a whole world away and not joined.
    const auto east = PositionToPixel(p, 84.0, -179.0);
    ASSERT_TRUE(east.has_value());
    EXPECT_EQ(east->x, p.halfW);
    EXPECT_FALSE(PositionToPixel(p, 84.0, 179.0).has_value());
    double south = -85.0;
    double west = -200.0;
    ComputeScales(south, west, 1.0, DrawingSurface {}, ViewRotation {});
    EXPECT_EQ(south, -80.0);
    EXPECT_EQ(west, 160.0);
}

TEST(ViewGeometry, ClipMarginLimitsDrawablePoints)
{
    EXPECT_EQ(ClipMargin(9.99), 600.0);
    EXPECT_EQ(ClipMargin(10.0), 600.0);
    EXPECT_EQ(ClipMargin(100.0), 6000.0);
    EXPECT_EQ(ClipMargin(12000.0), 30000.0);
    const Projection p = MakeProjection(0.0, 0.0, 1.0, 1024, 768);
    // 600 pixels beyond the right edge is the limit (strict).
    const double lonAtEdge = -(1024 + 600 - p.halfW) / static_cast<double>(p.longScale);
    EXPECT_FALSE(PositionToPixel(p, 0.0, lonAtEdge).has_value());
    EXPECT_TRUE(PositionToPixel(p, 0.0, lonAtEdge + 0.01).has_value());
}

TEST(ViewGeometry, AutoZoomTable)
{
    EXPECT_EQ(AutoZoomForRange(0.0), 6000.0);
    EXPECT_EQ(AutoZoomForRange(0.02), 2400.0); // the limit must exceed the range
    EXPECT_EQ(AutoZoomForRange(7.0), 12.0);
    EXPECT_EQ(AutoZoomForRange(199.9), 0.5);
    EXPECT_FALSE(AutoZoomForRange(200.0).has_value());
    EXPECT_EQ(CentredScrollPosition(1024, 601), 212);
    EXPECT_EQ(CentredScrollPosition(100, 200), -49); // halves toward zero
}

class ViewSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 2.0, "solent");
        state.chart.ConfigName = "kelvw";
    }
    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

TEST_F(ViewSetTest, ZoomLimitsClampWithABeep)
{
    ChartView& v = views.CreateView("solent (kelvw)");
    v.zoom = 8000;
    views.ZoomInClick(v);
    EXPECT_EQ(v.zoom, 12000.0);
    EXPECT_EQ(fakes.prompter.beeps.size(), 1u);
    v.zoom = 4000;
    views.ZoomInClick(v);
    EXPECT_EQ(v.zoom, 8000.0);
    EXPECT_EQ(fakes.prompter.beeps.size(), 1u);
    v.zoom = 0.0625;
    views.ZoomOutClick(v);
    EXPECT_EQ(v.zoom, 0.03125);
    EXPECT_EQ(fakes.prompter.beeps.size(), 1u);
    v.zoom = 0.05;
    views.ZoomOutClick(v);
    EXPECT_EQ(v.zoom, 0.03125);
    views.ZoomOutClick(v);
    EXPECT_EQ(v.zoom, 0.03125);
    EXPECT_EQ(fakes.prompter.beeps.size(), 3u);
    EXPECT_EQ(state.chartGeometry.LastViewZoom, 0.03125);
}

TEST_F(ViewSetTest, FullChartAndReCentreWithAutoZoom)
{
    ChartView& v = views.CreateView("x");
    EXPECT_EQ(v.zoom, 2.0);
    EXPECT_TRUE(v.aisView);
    v.zoom = 300;
    v.centreLat = 10;
    views.Zoom1_1Click(v);
    EXPECT_EQ(v.zoom, 2.0);
    EXPECT_EQ(v.centreLat, 50.0);
    EXPECT_EQ(state.chartGeometry.LastViewLat, 50.0);

    // Auto zoom follows the range to the active waypoint, but only while one is active.
    v.options.AutoZoom = true;
    state.route.push(RouteWaypoint { "A", 50.1, 1.0 });
    state.routeProgress.RangeToWaypoint = 3.0;
    state.routeProgress.ActiveWaypoint = 2; // beyond the route
    views.ReCentre(v);
    EXPECT_EQ(v.zoom, 2.0);
    state.routeProgress.ActiveWaypoint = 1;
    views.ReCentre(v);
    EXPECT_EQ(v.zoom, 25.0);
    state.routeProgress.RangeToWaypoint = 500.0; // no row: the zoom stays
    views.ReCentre(v);
    EXPECT_EQ(v.zoom, 25.0);
}

TEST_F(ViewSetTest, ThirdViewIsRefusedAndCaptionsCountViews)
{
    views.CreateView(views.ViewCaption(0));
    views.FileNewItemClick();
    ASSERT_EQ(views.count(), 2);
    EXPECT_EQ(views.view(1).caption, "solent.2 (kelvw)");
    EXPECT_FALSE(views.view(1).aisView);
    views.FileNewItemClick();
    EXPECT_EQ(views.count(), 2);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kTwoViewsMaximum));
}

TEST_F(ViewSetTest, TheAisViewCannotBeClosed)
{
    views.CreateView("first");
    views.FileNewItemClick();
    EXPECT_FALSE(views.CloseView(0)); // the AIS view while another is open
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kCannotCloseAisView));
    EXPECT_TRUE(views.CloseView(1)); // the other closes freely
    EXPECT_EQ(views.count(), 1);
    fakes.prompter.answer({ false });
    EXPECT_FALSE(views.CloseView(0));
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kCloseOnlyViewQuestion));
    fakes.prompter.answer({ true });
    EXPECT_FALSE(views.CloseView(0));
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kCannotCloseAisView));
    EXPECT_EQ(views.count(), 1);
}

TEST_F(ViewSetTest, TheOnlyOrdinaryViewClosesOnceConfirmed)
{
    views.CreateView("first");
    views.FileNewItemClick();
    views.RemoveView(0); // a purge replaced the chart's view: the survivor is not the AIS view
    ASSERT_EQ(views.count(), 1);
    fakes.prompter.answer({ false });
    EXPECT_FALSE(views.CloseView(0));
    EXPECT_EQ(views.count(), 1);
    fakes.prompter.answer({ true });
    EXPECT_TRUE(views.CloseView(0));
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kCloseOnlyViewQuestion));
    EXPECT_EQ(views.count(), 0);
}

TEST_F(ViewSetTest, MouseMovesTheSharedCursorAndTheCrossIsInverting)
{
    ChartView& v = views.CreateView("first");
    const QImage before = v.bitmap.copy();
    views.MouseDown(v, 100, 50);
    EXPECT_TRUE(v.dragging);
    const LatLong expected = PixelToLatLong(v.projection, 100, 50);
    EXPECT_EQ(state.fixInfo.OwnLat, expected.lat);
    EXPECT_EQ(state.fixInfo.OwnLong, expected.lon);
    EXPECT_EQ(v.centreLat, expected.lat);
    EXPECT_EQ(state.display.PosnPanel.size(), 24u);
    // a cross arm pixel is inverted navy, the point itself is untouched
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, 110, 50), 0xFFFF7Fu);
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, 100, 50), kvtest::PixelAt(before, 100, 50));
    views.UpDownClick(v, true);
    EXPECT_EQ(v.cursorY, 51);
    views.LeftRightClick(v, false);
    EXPECT_EQ(v.cursorX, 99);
    views.MouseUp(v, 99, 51);
    EXPECT_FALSE(v.dragging);
    views.MouseMove(v, 10, 10); // not dragging: nothing moves
    EXPECT_EQ(v.cursorX, 99);

    // A small-scale overview beside a second view does not move the cursor.
    views.FileNewItemClick();
    ChartView& overview = views.view(1);
    overview.zoom = 0.5;
    views.ReCentre(overview);
    const double lat = state.fixInfo.OwnLat;
    views.MouseDown(overview, 5, 5);
    EXPECT_EQ(state.fixInfo.OwnLat, lat);
    EXPECT_NE(overview.centreLat, lat);
}

TEST_F(ViewSetTest, RefreshCentresOnTheCursorOrZoomsToTheChart)
{
    views.CreateView("a");
    views.FileNewItemClick();
    state.fixInfo.OwnLat = 51.0;
    state.fixInfo.OwnLong = 2.0;
    state.chartGeometry.FullChartZoomPending = true;
    views.view(0).zoom = 64;
    views.view(1).zoom = 64;
    views.RefreshViews();
    EXPECT_EQ(views.view(0).zoom, 2.0); // the mark applies to the first view only
    EXPECT_EQ(views.view(0).centreLat, 50.0);
    EXPECT_EQ(views.view(1).zoom, 64.0);
    EXPECT_FALSE(state.chartGeometry.FullChartZoomPending);
}

TEST_F(ViewSetTest, ReadoutFollowsTheDisplayModeAndMeasureModeDrawsItsLine)
{
    ChartView& v = views.CreateView("a");
    views.MouseDown(v, 40, 40);
    EXPECT_NE(state.display.PosnPanel.find('\xb0'), std::string::npos); // 50°…N 001°…W
    EXPECT_EQ(state.display.PosnPanel.back(), 'W');
    state.settings.PositionDisplayMode = 8; // UTM on WGS 1984
    views.MouseDown(v, 40, 40);
    EXPECT_EQ(state.display.PosnPanel.find('\xb0'), std::string::npos);
    EXPECT_NE(state.display.PosnPanel.find("30U"), std::string::npos) << state.display.PosnPanel;
    views.MouseUp(v, 40, 40);

    // Measure mode: the status line shows range and bearing from the origin, and releasing the
    // button draws a dotted line from it.
    state.settings.PositionDisplayMode = -1;
    views.shared.MeasureMode = true;
    views.shared.MeasureOriginLat = v.projection.refLat;
    views.shared.MeasureOriginLong = v.projection.refLong;
    const QImage before = v.bitmap.copy();
    views.MouseDown(v, 250, 200);
    EXPECT_NE(state.display.StatusLine.find("Bearing"), std::string::npos) << state.display.StatusLine;
    views.MouseUp(v, 250, 200);
    const auto origin = PositionToPixel(v.projection, views.shared.MeasureOriginLat, views.shared.MeasureOriginLong);
    ASSERT_TRUE(origin.has_value());
    int changed = 0;
    for (int k = 1; k < 10; ++k) { // along the line from the origin towards the cursor
        const int x = origin->x + (250 - origin->x) * k / 10;
        const int y = origin->y + (200 - origin->y) * k / 10;
        for (int dy = -1; dy <= 1; ++dy) {
            changed += kvtest::PixelAt(v.bitmap, x, y + dy) != kvtest::PixelAt(before, x, y + dy);
        }
    }
    EXPECT_GT(changed, 3);
}

} // namespace
