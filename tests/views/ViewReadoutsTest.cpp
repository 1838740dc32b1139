// The scale bar, the mouse readout, the zoom caption, zooming about the mouse, panning, the own
// ship shape with its vector, the range-ring labels and the view drawn again for a page.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "core/Format.h"
#include "platform/fake/Fakes.h"
#include "views/ViewPrint.h"
#include "views/ViewReadouts.h"
#include "views/ViewSet.h"
#include "views/ViewText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kv;

Projection ProjectionAt(double zoom, double lat = 50.0)
{
    double centreLat = lat;
    double centreLong = 1.0;
    return ComputeScales(centreLat, centreLong, zoom, DrawingSurface { 1024, 768 }, ViewRotation {});
}

// Three zooms, three units: the bar is the longest 1-2-5 distance within the limit, and its
// length is that distance at the north-south scale (a minute of latitude per nautical mile).
TEST(ScaleBar, LongestRoundDistanceWithinTheLimit)
{
    struct Case {
        double zoom, unitFactor;
        double distance;
        const char* label;
    };
    // At 50 N on 1024 x 768 the latitude base is round(768/200*38*0.63/cos 50) = 143 pixels per
    // degree: 2.383 pixels per Nm at zoom 1, so 160 pixels hold 67 Nm (bar 50 Nm); at zoom 16,
    // 4.2 Nm (bar 2 Nm); at zoom 1000 in kilometres, 160 / (143000/60/1.852) = 0.124 km (0.1 km).
    const Case cases[] = {
        { 1.0, 1.0, 50.0, "50 Nm" },
        { 16.0, 1.0, 2.0, "2 Nm" },
        { 1000.0, 1.852, 0.1, "0.1 Km" },
        { 12000.0, 1.0, 0.005, "0.005 Nm" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoom);
        const Projection p = ProjectionAt(c.zoom);
        ASSERT_EQ(p.latBase, 143);
        const auto bar = ComputeScaleBar(p, c.unitFactor, 160);
        ASSERT_TRUE(bar);
        EXPECT_DOUBLE_EQ(bar->distance, c.distance);
        EXPECT_EQ(bar->label, c.label);
        const double perUnit = p.latScale / (60.0 * c.unitFactor);
        EXPECT_EQ(bar->pixels, static_cast<int>(std::lround(c.distance * perUnit)));
        EXPECT_LE(bar->pixels, 160);
        EXPECT_GT(bar->pixels, 160 / 2.5 - 1); // the next round step would not fit
    }
    EXPECT_FALSE(ComputeScaleBar(Projection {}, 1.0, 160)); // no redraw yet: no scale
}

TEST(ScaleBar, DrawnWithTicksAndLabel)
{
    QImage image = kvtest::BlankImage(200, 40, kNavy);
    RenderCanvas canvas(image);
    DrawScaleBar(canvas, ScaleBar { 100, 1.0, "1 Nm" }, 10, 30, kWhite);
    for (int x = 10; x <= 110; ++x) {
        EXPECT_EQ(kvtest::PixelAt(image, x, 30), kWhite) << x;
    }
    EXPECT_EQ(kvtest::PixelAt(image, 10, 25), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 110, 25), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 111, 30), kNavy);
    int text = 0;
    for (int y = 10; y < 25; ++y) {
        for (int x = 12; x < 60; ++x) {
            text += kvtest::PixelAt(image, x, y) == kWhite ? 1 : 0;
        }
    }
    EXPECT_GT(text, 10);
}

TEST(HoverReadout, PositionThenRangeAndBearingFromOwnShip)
{
    struct Case {
        double dLatMin, dLongMinEast; // from own ship, in minutes
        const char* rangeBearing;
    };
    const Case cases[] = {
        { 1.0, 0.0, "1.000 Nm 000\xb0T" },
        { 0.0, 2.0, "2.000 Nm 090\xb0T" },
        { -3.0, -3.0, "4.243 Nm 225\xb0T" },
        { -12.0, 0.0, "12.00 Nm 180\xb0T" },
    };
    for (const Case& c : cases) {
        const LatLong ship { 50.0, 1.0 };
        const LatLong at { 50.0 + c.dLatMin / 60.0, 1.0 - c.dLongMinEast / 60.0 };
        EXPECT_EQ(RangeBearingText(ship, at, 1.0, 1.0), c.rangeBearing);
    }
    EXPECT_EQ(RangeBearingText({ 50, 1 }, { 50 + 1.0 / 60, 1 }, 1.0, 1.852), "1.852 Km 000\xb0T");

    ProgramState nav;
    const Settings& settings = nav.settings;
    const Projection p = ProjectionAt(16.0);
    const LatLong under = PixelToLatLong(p, 600, 300);
    const std::string position = ViewPositionText(nav.prefs.units, settings, under.lat, under.lon, 4);
    EXPECT_EQ(HoverReadout(nav.prefs.units, nav.chartRef, settings, p, std::nullopt, 600, 300), position);
    EXPECT_EQ(HoverReadout(nav.prefs.units, nav.chartRef, settings, p, LatLong { 50.0, 1.0 }, 600, 300),
        position + "   "
            + RangeBearingText({ 50.0, 1.0 }, under, nav.chartRef.CosLatFactor, nav.settings.units.UnitFactor));
}

TEST(ZoomCaption, FewestDecimals)
{
    EXPECT_EQ(ZoomCaption(12), "Zoom 12");
    EXPECT_EQ(ZoomCaption(0.5), "Zoom 0.5");
    EXPECT_EQ(ZoomCaption(0.03125), "Zoom 0.03125");
    EXPECT_EQ(ZoomCaption(12000), "Zoom 12000");
}

class ViewMotionTest : public ::testing::Test {
protected:
    void SetUp() override { kvtest::UseSmallSurface(state, 4.0, "motion"); }
    ProgramState state;
    FakePlatform fakes;
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

// The position under the mouse keeps its place in the window; the zoom steps and its limits
// are the zoom buttons'.
TEST_F(ViewMotionTest, CtrlWheelZoomKeepsThePositionUnderTheMouse)
{
    ChartView& v = views.CreateView("m");
    const Pixel middle { 160, 120 };
    struct Case {
        Pixel mouse;
        bool in;
    };
    const Case cases[]
        = { { { 200, 150 }, true }, { { 40, 200 }, true }, { { 300, 20 }, false }, { { 160, 120 }, false } };
    for (const Case& c : cases) {
        const double zoomBefore = v.zoom;
        const LatLong under = PixelToLatLong(v.projection, c.mouse.x, c.mouse.y);
        const unsigned tails = v.centredCount;
        views.ZoomAbout(v, c.mouse, middle, c.in);
        EXPECT_DOUBLE_EQ(v.zoom, c.in ? zoomBefore * 2 : zoomBefore / 2);
        EXPECT_EQ(v.centredCount, tails + 1);
        // After the common tail the bitmap's middle is in the window's middle again.
        const auto now = PositionToPixel(v.projection, under.lat, under.lon);
        ASSERT_TRUE(now);
        EXPECT_NEAR(now->x, c.mouse.x, 1) << c.mouse.x;
        EXPECT_NEAR(now->y, c.mouse.y, 1) << c.mouse.y;
    }
    // At the limit: the beep, and nothing moves.
    v.zoom = kMaxZoom;
    views.CommonTail(v);
    const double lat = v.centreLat;
    const auto beeps = fakes.prompter.beeps.size();
    views.ZoomAbout(v, Pixel { 10, 10 }, middle, true);
    EXPECT_EQ(v.zoom, kMaxZoom);
    EXPECT_EQ(v.centreLat, lat);
    EXPECT_EQ(fakes.prompter.beeps.size(), beeps + 1);
}

TEST_F(ViewMotionTest, PanRedrawsAroundTheMiddleOfTheWindowAndLeavesTheCursor)
{
    ChartView& v = views.CreateView("m");
    state.quickLog.push(QuickLogRecord { 50.0, 1.0, 0 }); // own ship: the cursor is not the centre's
    views.CommonTail(v);
    state.fixInfo.OwnLat = 50.01;
    state.fixInfo.OwnLong = 0.99;
    const LatLong target = PixelToLatLong(v.projection, 250, 60);
    views.PanTo(v, Pixel { 250, 60 });
    EXPECT_NEAR(v.referenceLat(), target.lat, 1e-9);
    EXPECT_NEAR(v.referenceLong(), target.lon, 1e-9);
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLat, 50.01);
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLong, 0.99);
    const auto cursor = PositionToPixel(v.projection, 50.01, 0.99);
    ASSERT_TRUE(cursor);
    EXPECT_EQ((Pixel { v.cursorX, v.cursorY }), *cursor);
}

// Own ship at the bitmap centre heading east at 6 knots: the vector runs 0.6 Nm from the bow.
TEST_F(ViewMotionTest, OwnShipShapeAndSixMinuteVector)
{
    state.quickLog.push(QuickLogRecord { 50.0, 1.0, 0 });
    state.fixInfo.OwnLat = 51.0; // the cursor cross far away
    state.fixInfo.OwnLong = 1.0;
    state.motion.COGValue = 90.0;
    state.motion.SOG = 6.0;
    ChartView v;
    v.zoom = 16;
    v.centreLat = 50.0;
    v.centreLong = 1.0;
    v.options.ShowGraticule = false;
    QImage image;
    RedrawView(v, image, RenderContext { state, views.shared });
    const QImage moving = image;
    double lat = 50.0;
    double lon = 1.0;
    const Projection p = ComputeScales(lat, lon, 16, DrawingSurface { 320, 240 }, ViewRotation {});
    const int bowX = 160 + static_cast<int>(std::lround(kOwnShipShapeLength * 0.4));
    const int tipX = bowX + static_cast<int>(std::lround(6.0 * 0.1 / 60.0 * p.latScale));
    EXPECT_EQ(kvtest::PixelAt(image, bowX, 120), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, (bowX + tipX) / 2, 120), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, tipX, 120), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, tipX, 116), kWhite); // the end tick
    EXPECT_EQ(kvtest::PixelAt(image, tipX + 2, 120), kNavy);
    // Beam lines of the hull astern of the position.
    EXPECT_EQ(kvtest::PixelAt(image, 155, 124), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 155, 116), kWhite);

    // Stopped: the shape without a vector; vessel hidden: nothing.
    state.motion.SOG = 0.0;
    image = QImage();
    RedrawView(v, image, RenderContext { state, views.shared });
    EXPECT_EQ(kvtest::PixelAt(image, (bowX + tipX) / 2, 120), kNavy);
    EXPECT_EQ(kvtest::PixelAt(image, 155, 124), kWhite);
    v.options.ShowVessel = false;
    image = QImage();
    RedrawView(v, image, RenderContext { state, views.shared });
    EXPECT_EQ(kvtest::PixelAt(image, 155, 124), kNavy);
}

TEST_F(ViewMotionTest, RangeRingsCarryTheirDistance)
{
    EXPECT_EQ(RangeRingLabel(0.5), "0.5 Nm");
    EXPECT_EQ(RangeRingLabel(12), "12 Nm");
    state.quickLog.push(QuickLogRecord { 50.0, 1.0, 0 });
    ChartView v;
    v.zoom = 32;
    v.centreLat = 50.0;
    v.centreLong = 1.0;
    v.options.ShowGraticule = false;
    v.ais.RingSetting = 1; // 0.5, 1, 2, 3, 4 Nm
    QImage image;
    const RenderResult r = RedrawView(v, image, RenderContext { state, views.shared });
    // Lime text just above the north point of the 1 Nm ring, right of it.
    const auto top = PositionToPixel(r.projection, 50.0 + 1.0 / 60.0, 1.0);
    ASSERT_TRUE(top);
    int lime = 0;
    for (int y = top->y - 14; y < top->y - 1; ++y) {
        for (int x = top->x + 3; x < top->x + 40; ++x) {
            lime += kvtest::PixelAt(image, x, y) == kLime ? 1 : 0;
        }
    }
    EXPECT_GT(lime, 15);
}

// A long line drawn again for a page four times the surface: continuous, four pixels thick,
// proportional; on white paper no background colour is left and the line is dark.
TEST_F(ViewMotionTest, PageDrawnAgainAtItsResolution)
{
    kvtest::TestChart chart { state };
    chart.add(50.1, 1.8);
    chart.add(50.1, 0.2); // east-west across the picture, clear of the cursor cross
    ChartView& v = views.CreateView("m");
    v.options.ShowGraticule = false;
    views.CommonTail(v);
    const QImage screen = v.bitmap;
    const auto row = PositionToPixel(v.projection, 50.1, 1.0);
    ASSERT_TRUE(row);
    for (bool paper : { false, true }) {
        SCOPED_TRACE(paper);
        const QImage page = views.RenderForPage(v, PrintPage { 1280, 1200, 300, paper });
        ASSERT_EQ(page.width(), 1280);
        ASSERT_EQ(page.height(), 960 + 300 / 6); // 320 x 240 times four, and the margin line under it
        const Rgb line = paper ? kBlack : kWhite;
        const Rgb back = paper ? kWhite : kNavy;
        // The screen's line, and the page's: about four times as long (the page's scales are
        // rounded for its own size), four pixels thick with no gap.
        auto extent = [](const QImage& image, int y0, int y1, Rgb colour) {
            int first = -1;
            int last = -1;
            for (int x = 0; x < image.width(); ++x) {
                for (int y = y0; y < y1; ++y) {
                    if (kvtest::PixelAt(image, x, y) == colour) {
                        first = first < 0 ? x : first;
                        last = x;
                        break;
                    }
                }
            }
            return std::pair { first, last };
        };
        const auto [first, last] = extent(screen, row->y, row->y + 1, kWhite);
        ASSERT_GT(last - first, 100);
        const int y0 = row->y * 4 - 12;
        const int y1 = row->y * 4 + 16;
        const auto [pageFirst, pageLast] = extent(page, y0, y1, line);
        EXPECT_NEAR(pageLast - pageFirst, 4.0 * (last - first), 0.03 * 4 * (last - first));
        for (int x = pageFirst + 4; x < pageLast - 4; ++x) {
            int thick = 0;
            for (int y = y0; y < y1; ++y) {
                thick += kvtest::PixelAt(page, x, y) == line ? 1 : 0;
            }
            ASSERT_EQ(thick, 4) << x;
        }
        EXPECT_EQ(kvtest::CountColour(page, kNavy) == 0, paper);
        EXPECT_GT(kvtest::CountColour(page, back), 1280 * 960 * 9 / 10);
    }
    EXPECT_TRUE(views.RenderForPage(v, PrintPage { 0, 0, 300, false }).isNull());
}

TEST(WhitePaper, LightColoursDarkenDarkOnesStay)
{
    QImage image = kvtest::BlankImage(8, 1, kNavy);
    const Rgb in[] = { kNavy, kWhite, kLime, kYellow, kBlue, kSilver, 0xF0F0A0, 0x202020 };
    for (int x = 0; x < 8; ++x) {
        image.setPixel(x, 0, 0xFF000000u | in[x]);
    }
    ToWhitePaper(image, kNavy, kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 0, 0), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 1, 0), kBlack);
    for (int x : { 2, 3, 5, 6 }) {
        const QColor c = QColor::fromRgb(image.pixel(x, 0));
        EXPECT_LT(c.lightness(), 110) << x;
    }
    EXPECT_EQ(kvtest::PixelAt(image, 4, 0), kBlue);
    EXPECT_EQ(kvtest::PixelAt(image, 7, 0), 0x202020u);
}

} // namespace
