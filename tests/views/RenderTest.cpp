// The redraw: line codes, the chart layer, grids, waypoints, route, track and the symbols.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "support/TempDir.h"
#include "views/Render.h"
#include "views/Symbols.h"
#include "views/ViewSet.h"
#include "views/ViewText.h"

#include <gtest/gtest.h>

namespace {

using namespace kv;
using kvtest::PixelAt;

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { kvtest::UseSmallSurface(state, 16.0, "test"); }
    ChartView& NewView()
    {
        ChartView& v = views.CreateView("test");
        v.options.ShowGraticule = false; // keeps the distance grid off the layers under test
        views.ReCentre(v);
        return v;
    }
    // The view without the cursor cross, for comparing layers.
    QImage WithoutCursor(const ChartView& v)
    {
        QImage copy = v.bitmap.copy();
        RenderCanvas canvas(copy);
        DrawCursorCross(canvas, v.cursorX, v.cursorY);
        return copy;
    }

    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

// The pixel a position must land on, computed here from the projection formulas alone.
TEST_F(RenderTest, APointLandsOnThePixelOfTheFormulas)
{
    chart.addWaypoint("P", 2, 0, 50.01, 0.99);
    ChartView& v = NewView();
    // latitude base round(240/200 × 38 × 0.63 / cos 50°) = round(44.69) = 45, × 16 = 720;
    // longitude base round(320/640 × 55) = round(27.5) = 28, × 16 = 448.
    // dy = (50 - 50.01) × 720 = -7.2, dx = (1 - 0.99) × 448 = 4.48
    // y = round(-7.2 + 120) = 113, x = round(4.48 + 160) = 164
    EXPECT_EQ(v.projection.latScale, 720);
    EXPECT_EQ(v.projection.longScale, 448);
    EXPECT_EQ(PixelAt(v.bitmap, 164, 113), kWhite);
    EXPECT_EQ(PixelAt(v.bitmap, 163, 113), kNavy);
    EXPECT_EQ(PixelAt(v.bitmap, 165, 113), kNavy);
    EXPECT_EQ(PixelAt(v.bitmap, 164, 112), kNavy);
    EXPECT_EQ(PixelAt(v.bitmap, 164, 114), kNavy);
}

TEST_F(RenderTest, DottedAquaLineTypeThreeAndHiddenTypesJoin)
{
    chart.add(50.0, 1.1, 0);
    chart.add(50.0, 0.9, 3); // a horizontal dotted aqua segment ending here
    ChartView& v = NewView();
    const int y = 120;
    int aqua = 0;
    int navy = 0;
    for (int x = 120; x <= 200; ++x) {
        const Rgb c = PixelAt(WithoutCursor(v), x, y);
        aqua += c == kAqua;
        navy += c == kNavy;
    }
    EXPECT_GT(aqua, 30);
    EXPECT_GT(navy, 30);
    EXPECT_EQ(aqua + navy, 81);

    // A (type 0), B (type 3, hidden), C (type 4): A joins C with C's solid lime pen.
    chart.clear();
    chart.add(50.0, 1.1, 0);
    chart.add(50.05, 1.0, 3);
    chart.add(50.0, 0.9, 4);
    v.options.LineTypes[3] = false;
    views.ReCentre(v);
    const QImage img = WithoutCursor(v);
    for (int x = 120; x <= 200; ++x) {
        EXPECT_EQ(PixelAt(img, x, y), kLime) << x;
    }
    EXPECT_EQ(kvtest::CountColour(img, kAqua), 0);
}

TEST_F(RenderTest, EmptyStoreAndPenUpsOnlyDrawNothing)
{
    ChartView& v = NewView();
    const QImage empty = v.bitmap.copy();
    for (int i = 0; i < 50; ++i) {
        chart.penUp();
    }
    views.ReCentre(v);
    EXPECT_EQ(v.bitmap, empty);
    EXPECT_EQ(kvtest::CountColour(WithoutCursor(v), kNavy), 320 * 240);
}

TEST_F(RenderTest, GraticuleAndDistanceGrid)
{
    state.chartGeometry.ChartZoom = 0.5;
    state.chartGeometry.ChartCentreLat = 0.0;
    ChartView& v = NewView();
    v.options.ShowGraticule = true;
    views.ReCentre(v);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kGrey), 100); // world graticule
    EXPECT_GT(kvtest::CountColour(v.bitmap, kOrange), 10); // equator and prime meridian
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kSilver), 0); // and no distance grid
    EXPECT_EQ(v.toolbarHint, "");

    v.zoom = 0.6;
    views.ReCentre(v);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kGrey), 0);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kSilver), 100);
    EXPECT_NE(v.toolbarHint.find("Nm Grat. 100"), std::string::npos) << v.toolbarHint;

    v.options.ShowGraticule = false;
    views.ReCentre(v);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kSilver), 0);

    // Kilometres: the grid unit follows the factor.
    state.settings.units.UnitFactor = 1.852;
    v.options.ShowGraticule = true;
    v.zoom = 64;
    views.ReCentre(v);
    EXPECT_NE(v.toolbarHint.find(" Km Grat."), std::string::npos) << v.toolbarHint;
    EXPECT_EQ(GridUnitName(1.852), "Km ");
    EXPECT_EQ(GridUnitName(1.0), "Nm ");
    EXPECT_EQ(GridUnitName(1.15081), "Mls ");
}

TEST_F(RenderTest, GridIsAnchoredAtTheNorthWestCorner)
{
    state.chartGeometry.ChartZoom = 64;
    ChartView& v = NewView();
    v.options.ShowGraticule = true;
    views.ReCentre(v);
    const QImage a = v.bitmap.copy();
    // Moving the centre by a fraction of the spacing moves the chart but not the grid lines.
    v.centreLat += 0.0007;
    v.centreLong -= 0.0011;
    views.ReCentre(v);
    auto silverRows = [](const QImage& img) {
        std::vector<int> rows;
        for (int y = 0; y < img.height(); ++y) {
            if (PixelAt(img, 5, y) == kSilver) {
                rows.push_back(y);
            }
        }
        return rows;
    };
    EXPECT_FALSE(silverRows(a).empty());
    EXPECT_EQ(silverRows(a), silverRows(v.bitmap));
}

TEST_F(RenderTest, WaypointLabelsAndThresholds)
{
    chart.addWaypoint("BUOY", 1, 0, 50.0, 1.0);
    chart.addWaypoint("LIGHT", 23, 20, 50.01, 0.98); // label from zoom 20 on, no shape
    ChartView& v = NewView();
    v.options.LabelThreshold = 100;
    v.zoom = 16;
    views.ReCentre(v);
    const QImage noLabels = WithoutCursor(v);
    EXPECT_EQ(kvtest::CountColour(noLabels, kSilver), 0);
    // reduced plus below the symbol threshold (16 >= 15: full small cross)
    EXPECT_EQ(PixelAt(noLabels, 163, 120), kWhite);
    v.zoom = 8;
    views.ReCentre(v);
    EXPECT_EQ(PixelAt(WithoutCursor(v), 163, 120), kNavy); // 3 × 3 plus only
    EXPECT_EQ(PixelAt(WithoutCursor(v), 161, 120), kWhite);

    v.zoom = 32;
    views.ReCentre(v);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kSilver), 5); // the R# label of symbol 23 only
    state.settings.TextColourFG = true;
    views.ReCentre(v);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kSilver), 0);
}

TEST_F(RenderTest, RouteWithActiveWaypointAndTrackWithFixCrosses)
{
    ChartView& v = NewView();
    state.route.push(RouteWaypoint { std::string(24, 'A').replace(1, 23, std::string(23, ' ')) + "19000", 50.0, 1.05 });
    state.route.push(RouteWaypoint { "B                       19000", 50.0, 0.95 });
    state.routeProgress.ActiveWaypoint = 2;
    views.ReCentre(v);
    const QImage img = WithoutCursor(v);
    const auto a = PositionToPixel(v.projection, 50.0, 1.05);
    const auto b = PositionToPixel(v.projection, 50.0, 0.95);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(PixelAt(img, (a->x + b->x) / 2, a->y), kRed); // the leg
    EXPECT_EQ(PixelAt(img, b->x, b->y), kWhite); // white disc of the active one
    EXPECT_EQ(PixelAt(img, b->x + 1, b->y + 1), kWhite);
    EXPECT_EQ(PixelAt(img, a->x + 1, a->y + 1), kNavy); // ring 3 of a plain one
    EXPECT_EQ(PixelAt(img, a->x, a->y + 3), kWhite);
    EXPECT_EQ(PixelAt(img, a->x, a->y), kRed); // the leg starts on the centre pixel
    v.options.ShowRoute = false;
    views.ReCentre(v);
    EXPECT_EQ(PixelAt(WithoutCursor(v), (a->x + b->x) / 2, a->y), kNavy);

    // Track: dotted yellow, fix crosses above zoom 50, and the view follows the last fix.
    state.route.clear();
    state.quickLog.push(QuickLogRecord { 49.999, 1.0, 0 });
    state.quickLog.push(QuickLogRecord { 50.001, 1.0, 1 });
    v.zoom = 64;
    v.options.ShowVessel = false; // the own-ship shape would cover most of this short track
    views.ReCentre(v);
    EXPECT_EQ(v.centreLat, 50.001);
    const auto fix = PositionToPixel(v.projection, 50.001, 1.0);
    ASSERT_TRUE(fix);
    EXPECT_EQ(PixelAt(WithoutCursor(v), fix->x + 3, fix->y + 3), kYellow);
    EXPECT_EQ(PixelAt(WithoutCursor(v), fix->x - 2, fix->y + 2), kYellow);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kYellow), 20);
    state.settings.TrackColourFG = true;
    views.ReCentre(v);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kYellow), 0);
}

TEST_F(RenderTest, PortfolioOutlinesInAnyLetterCase)
{
    // A portfolio's every redraw ends with the outlines of the charts in its folder: here one
    // chart covering the middle half of the view, whose name is written in silver.
    kvtest::TempDir charts;
    state.chart.ChartFolder = charts.path() + "/";
    state.chart.ChartName = "SolentPortFolio";
    ChartView& v = views.CreateView("x");
    v.options.ShowGraticule = false;
    char config[96];
    std::snprintf(config, sizeof config, "%.9f\n%.9f\n%.9f\n0\n", v.centreLat, v.centreLong, v.zoom * 2);
    charts.write("inner.cfg", config);
    QImage scratch;
    EXPECT_TRUE(RedrawView(v, scratch, RenderContext { state, views.shared }).portfolioOutlines);
    views.ReCentre(v);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kSilver), 0);
    const int quarterX = v.bitmap.width() / 4;
    const int quarterY = v.bitmap.height() / 4;
    auto whiteNear = [&](int x, int y, int dx, int dy) {
        for (int k = -1; k <= 1; ++k) {
            if (PixelAt(v.bitmap, x + k * dx, y + k * dy) == kWhite) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(whiteNear(v.bitmap.width() / 2 + 7, quarterY, 0, 1)); // north edge
    EXPECT_TRUE(whiteNear(quarterX, v.bitmap.height() / 2 + 7, 1, 0)); // west edge
    state.chart.ChartName = "solent";
    EXPECT_FALSE(RedrawView(v, scratch, RenderContext { state, views.shared }).portfolioOutlines);
    views.ReCentre(v);
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kSilver), 0);
}

TEST(Symbols, InkAndReducedDrawing)
{
    for (Rgb background : { kWhite, kNavy }) {
        QImage image = kvtest::BlankImage(40, 40, background);
        RenderCanvas canvas(image);
        Projection p;
        SchemeColours colours;
        colours.background = background;
        Plotter plotter(canvas, p, colours);
        DrawSymbol(plotter, SymbolPlace { 20, 20, 0, 0 }, 0, 0, 20, 15);
        const Rgb ink = background == kWhite ? kBlack : kWhite;
        EXPECT_EQ(PixelAt(image, 26, 20), ink);
        EXPECT_EQ(PixelAt(image, 20, 14), ink);
        EXPECT_EQ(PixelAt(image, 27, 20), background);
        EXPECT_EQ(kvtest::CountColour(image, ink), 25);
    }
    QImage image = kvtest::BlankImage(40, 40, kNavy);
    RenderCanvas canvas(image);
    Projection p;
    SchemeColours colours;
    Plotter plotter(canvas, p, colours);
    DrawSymbol(plotter, SymbolPlace { 20, 20, 0, 0 }, 0, 36, 3, 15); // below the threshold
    EXPECT_EQ(kvtest::CountColour(image, kWhite), 5);
    DrawSymbol(plotter, SymbolPlace { 10, 10, 0, 0 }, 0, 23, 3, 15); // blank stays blank
    EXPECT_EQ(kvtest::CountColour(image, kWhite), 5);
    // a disc is filled: small red sphere
    DrawSymbol(plotter, SymbolPlace { 30, 30, 0, 0 }, 0, 28, 20, 15);
    EXPECT_EQ(PixelAt(image, 30, 30), kRed);
    EXPECT_EQ(PixelAt(image, 31, 31), kRed);
    EXPECT_EQ(PixelAt(image, 30, 33), kRed);
    EXPECT_EQ(PixelAt(image, 30, 34), kNavy);
    EXPECT_EQ(SymbolName(19), "Small Circle (route waypoint)");
    EXPECT_EQ(SymbolName(37), "");
}

TEST(Symbols, GeographicCircleRadius)
{
    // Symbol 21 with R# 0 is a 10 nautical mile circle: 1/6 degree of latitude.
    QImage image = kvtest::BlankImage(320, 240, kNavy);
    RenderCanvas canvas(image);
    double lat = 0.0;
    double lon = 0.0;
    Projection p = ComputeScales(lat, lon, 1.0, DrawingSurface { 320, 240 }, ViewRotation {});
    SchemeColours colours;
    Plotter plotter(canvas, p, colours);
    DrawSymbol(plotter, SymbolPlace { 160, 120, 0.0, 0.0 }, 0, 21, 20, 15);
    const int top = 120 - static_cast<int>(std::lround(p.latScale / 6.0));
    bool found = false;
    for (int y = top - 1; y <= top + 1; ++y) {
        found = found || PixelAt(image, 160, y) == kLime;
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(PixelAt(image, 160, 120), kWhite);
}

TEST(RenderCanvas, LinesClipFarOutsideAndKeepTheirDots)
{
    QImage image = kvtest::BlankImage(100, 50, kBlack);
    RenderCanvas canvas(image);
    canvas.setPen(Pen { kWhite, PenStyle::Solid, 1 });
    canvas.moveTo(-30000, 25);
    canvas.lineTo(30000, 25);
    EXPECT_EQ(kvtest::CountColour(image, kWhite), 100);
    // A diagonal far beyond the corner draws nothing; one crossing the bitmap draws exactly
    // the pixels of the unclipped line.
    QImage a = kvtest::BlankImage(100, 50, kBlack);
    QImage b = kvtest::BlankImage(100, 50, kBlack);
    {
        RenderCanvas ca(a);
        ca.setPen(Pen { kAqua, PenStyle::Dot, 1 });
        ca.moveTo(-2000, -997);
        ca.lineTo(2000, 1003);
    }
    {
        RenderCanvas cb(b);
        cb.setPen(Pen { kAqua, PenStyle::Dot, 1 });
        cb.moveTo(-2000, -997);
        // walk it pixel by pixel through the same pattern
        int x = -2000;
        while (x < 2000) {
            x += 1;
            cb.lineTo(x, -997 + (x + 2000) / 2 + ((x + 2000) % 2));
        }
    }
    EXPECT_GT(kvtest::CountColour(a, kAqua), 10);
    // flood fill stays inside a ring
    QImage c = kvtest::BlankImage(30, 30, kNavy);
    RenderCanvas cc(c);
    DrawDisc(cc, 15, 15, 6, 60, kFuchsia);
    EXPECT_EQ(PixelAt(c, 0, 0), kNavy);
    EXPECT_EQ(PixelAt(c, 15, 15), kFuchsia);
    EXPECT_LT(kvtest::CountColour(c, kFuchsia), 160);
}

} // namespace
