// Small renders of hand-made charts, routes, tracks and targets compared pixel for pixel with
// checked-in images. KV_UPDATE_GOLDEN=1 rewrites the images (look at them before committing).

#include "support/Golden.h"
#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "ais/AisTarget.h"
#include "platform/fake/Fakes.h"
#include "views/Symbols.h"
#include "views/ViewAis.h"
#include "views/ViewSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

using namespace kv;

class GoldenTest : public ::testing::Test {
protected:
    void SetUp() override { kvtest::UseSmallSurface(state, 16.0, "golden"); }

    // A harbour: a coastline, a channel, depth contours of every line type, buoys and lights.
    void HandMadeChart()
    {
        const double coast[][2] = { { 50.06, 1.12 }, { 50.04, 1.08 }, { 50.045, 1.03 }, { 50.03, 0.99 },
            { 50.035, 0.94 }, { 50.02, 0.90 }, { 50.03, 0.86 } };
        for (const auto& p : coast) {
            chart.add(p[0], p[1], 0);
        }
        chart.penUp();
        for (int t = 1; t <= 6; ++t) {
            const double lat = 50.02 - 0.012 * t;
            chart.add(lat, 1.10, t);
            chart.add(lat - 0.004, 1.02, t);
            chart.add(lat + 0.003, 0.95, t);
            chart.add(lat, 0.88, t);
            chart.penUp();
        }
        chart.addWaypoint("Fairway", 13, 0, 49.985, 1.05);
        chart.addWaypoint("No 1", 7, 0, 49.99, 1.01);
        chart.addWaypoint("No 2", 8, 0, 49.995, 0.99);
        chart.addWaypoint("Light", 5, 0, 50.02, 0.97);
        chart.addWaypoint("Wreck", 15, 0, 49.96, 0.95);
        chart.addWaypoint("Anchorage", 22, 0, 49.975, 0.93);
        chart.addWaypoint("Racon", 18, 0, 49.95, 1.07);
        chart.addWaypoint("Circle", 30, 90, 49.965, 1.0);
    }

    void RouteAndTrack()
    {
        state.route.push(RouteWaypoint { "Start                   19000", 49.93, 1.10 });
        state.route.push(RouteWaypoint { "Mid                     19000", 49.97, 1.03 });
        state.route.push(RouteWaypoint { "End                     19000", 50.00, 0.92 });
        state.routeProgress.ActiveWaypoint = 2;
        for (int k = 0; k < 6; ++k) {
            state.quickLog.push(QuickLogRecord { 49.925 + 0.007 * k, 1.12 - 0.012 * k + 0.002 * (k % 2), 600.0 + k });
        }
        TidalDiamond d;
        d.lat = 49.95;
        d.lon = 0.97;
        d.set.fill(45);
        d.rate.fill(15);
        state.tides.push(d);
    }

    void Targets()
    {
        auto make = [&](std::uint32_t mmsi, const char* name, double lat, double lonWest, int sog, int cog) {
            TAISTarget t = ZeroTarget();
            t.MsgType = 1;
            t.MMSI = mmsi;
            t.VesselName.set(name);
            t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
            t.Longitude = static_cast<std::int32_t>(std::lround(-lonWest * 600000));
            t.SOG = static_cast<std::uint16_t>(sog);
            t.COG = static_cast<std::uint16_t>(cog);
            t.TrueHeading = 511;
            t.DimA = 80;
            t.DimB = 20;
            t.DimC = 8;
            t.DimD = 8;
            for (int k = 1; k <= 5; ++k) {
                t.point(k).lat = lat - 0.002 * (6 - k);
                t.point(k).lon = -(lonWest + 0.003 * (6 - k));
            }
            t.TrackCount = 5;
            state.ais.targets.add(t);
        };
        make(235000001, "FERRY@@@", 49.97, 1.06, 120, 450);
        make(235000002, "YACHT", 50.0, 0.96, 5, 2000);
        make(235000003, "TUG", 49.99, 1.09, 60, 3300);
        TAISTarget base = ZeroTarget();
        base.MsgType = 4;
        base.MMSI = 2320001;
        base.Latitude = static_cast<std::int32_t>(50.01 * 600000);
        base.Longitude = static_cast<std::int32_t>(-1.03 * 600000);
        base.Year = 2006;
        base.Month = 3;
        base.Day = 7;
        base.Hour = 9;
        base.Minute = 5;
        state.ais.targets.add(base);
        state.ais.HighlightNearest = false;
        state.ais.SelectedTarget = 1;
    }

    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

TEST_F(GoldenTest, ChartRouteTrackAndTides)
{
    HandMadeChart();
    RouteAndTrack();
    ChartView& v = views.CreateView("golden");
    v.options.LabelThreshold = 10;
    v.options.TideLabelThreshold = 5;
    v.centreLat = 49.975;
    v.centreLong = 1.01;
    v.zoom = 32;
    views.CommonTail(v);
    kvtest::ExpectGoldenImage("views/golden/chart_route_track.png", v.bitmap);
}

TEST_F(GoldenTest, RotatedViewWithTargetsAndRings)
{
    HandMadeChart();
    RouteAndTrack();
    Targets();
    views.shared.rotation.setAngle(30.0 * 3.14159265358979 / 180.0);
    ChartView& v = views.CreateView("golden");
    v.options.LabelThreshold = 10;
    v.options.ShowEPE = true;
    state.sentenceFix.PositionError = 400;
    v.ais.ShowAIS = true;
    v.ais.RingSetting = 2;
    v.zoom = 40;
    state.ais.SelectedTarget = 1; // a new view starts with none selected
    v.ais.ShowMMSI = true;
    views.CommonTail(v);
    kvtest::ExpectGoldenImage("views/golden/rotated_targets.png", v.bitmap);

    // Following the selected target puts it at the centre with its outline.
    AISFollowSelectedTarget1Click(views, v);
    AISShapeClick(views, v);
    kvtest::ExpectGoldenImage("views/golden/followed_target.png", v.bitmap);
}

TEST_F(GoldenTest, WorldGraticuleOnWhite)
{
    state.settings.ChartBackColour = 0xFFFFFF;
    state.settings.ChartForeColour = 0x000000;
    state.chartGeometry.ChartCentreLat = 0.0;
    state.chartGeometry.ChartCentreLong = 0.0;
    state.chartGeometry.ChartZoom = 0.5;
    chart.add(10, 10);
    chart.add(-10, -20);
    chart.add(30, -40);
    ChartView& v = views.CreateView("world");
    kvtest::ExpectGoldenImage("views/golden/world_graticule.png", v.bitmap);
}

TEST_F(GoldenTest, AllSymbolsOnBothBackgrounds)
{
    for (Rgb background : { kNavy, kWhite }) {
        QImage image = kvtest::BlankImage(320, 240, background);
        RenderCanvas canvas(image);
        double lat = 50.0;
        double lon = 0.0;
        Projection p = ComputeScales(lat, lon, 2000.0, DrawingSurface { 320, 240 }, ViewRotation {});
        SchemeColours colours;
        colours.background = background;
        Plotter plotter(canvas, p, colours);
        for (int s = 0; s < kSymbolCount; ++s) {
            const int x = 24 + (s % 8) * 38;
            const int y = 24 + (s / 8) * 46;
            const LatLong at = PixelToLatLong(p, x, y);
            DrawSymbol(plotter, SymbolPlace { x, y, at.lat, at.lon }, 1, s, 2000, 15);
        }
        kvtest::ExpectGoldenImage(
            background == kWhite ? "views/golden/symbols_white.png" : "views/golden/symbols_navy.png", image);
    }
}

} // namespace
