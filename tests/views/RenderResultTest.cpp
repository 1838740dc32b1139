// The redraw reads the program state and returns what it computed; the view set stores it. And
// own vessel's outline around the antenna.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "ais/AisTargets.h"
#include "platform/fake/Fakes.h"
#include "views/ViewAis.h"
#include "views/ViewSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

namespace {

using namespace kv;

constexpr double kMetre = 0.000008999; // one metre in degrees of latitude

// The fields a redraw used to write, and the rest of the target table.
struct Written {
    double ownLat, ownLong, range;
    std::string posn, status;
    int selected, targetCount;
    double nearestRange;
    std::vector<unsigned char> targets;
    bool operator==(const Written&) const = default;
};

Written Snapshot(const ProgramState& s)
{
    Written w { s.fixInfo.OwnLat, s.fixInfo.OwnLong, s.routeProgress.RangeToWaypoint, s.display.PosnPanel,
        s.display.StatusLine, s.ais.SelectedTarget, s.ais.targets.count(), s.ais.NearestTargetRange, {} };
    w.targets.resize(s.ais.targets.allSlots().size_bytes());
    std::memcpy(w.targets.data(), s.ais.targets.allSlots().data(), w.targets.size());
    return w;
}

class RenderResultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 32.0, "result");
        state.ais.HighlightNearest = false;
    }
    void AddTarget(double lat, double lonWest) { AddTargetTo(state, lat, lonWest); }
    static void AddTargetTo(ProgramState& state, double lat, double lonWest)
    {
        TAISTarget t = ZeroTarget();
        t.MsgType = 1;
        t.MMSI = 235000000u + static_cast<unsigned>(state.ais.targets.count() + 1);
        t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
        t.Longitude = static_cast<std::int32_t>(std::lround(-lonWest * 600000));
        t.SOG = 50;
        t.COG = 900;
        t.TrueHeading = 511;
        t.DimA = 20;
        t.DimB = 10;
        t.DimC = 3;
        t.DimD = 3;
        t.LastHeard = 100.0;
        state.ais.targets.add(t);
    }
    RenderResult Render(const ChartView& v, QImage& into)
    {
        return RedrawView(v, into, RenderContext { state, views.shared });
    }

    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

// Each scene exercises what a redraw used to write into the state: the cursor of an empty AIS
// view, the measure text and range, the redraw's target selection and the nearest range.
TEST_F(RenderResultTest, RedrawingTwiceGivesTheSamePixelsAndLeavesTheStateAlone)
{
    struct Scene {
        const char* name;
        std::function<void(ProgramState&, ChartView&, ViewShared&)> set;
        std::function<void(const RenderResult&)> check;
    };
    const Scene scenes[] = {
        { "empty AIS view moves the cursor to its centre",
            [](ProgramState& s, ChartView& v, ViewShared&) {
                s.fixInfo.OwnLat = 49.9;
                v.centreLat = 50.01;
                v.centreLong = 1.02;
            },
            [](const RenderResult& r) {
                ASSERT_TRUE(r.cursorPosition);
                EXPECT_NEAR(r.cursorPosition->lat, 50.01, 1e-9);
                EXPECT_EQ(r.cursor, (Pixel { 160, 120 }));
            } },
        { "measure mode with a track",
            [](ProgramState& s, ChartView&, ViewShared& shared) {
                s.quickLog.push(QuickLogRecord { 50.0, 1.0, 0 });
                s.quickLog.push(QuickLogRecord { 50.002, 1.001, 1 });
                shared.MeasureMode = true;
                shared.MeasureOriginLat = 49.99;
                shared.MeasureOriginLong = 1.0;
                s.fixInfo.OwnLat = 50.0;
                s.fixInfo.OwnLong = 1.0;
                s.chartRef.CosLatFactor = 0.64;
            },
            [](const RenderResult& r) {
                ASSERT_TRUE(r.measurement);
                EXPECT_NEAR(r.measurement->range, 0.6, 1e-9);
                EXPECT_EQ(r.measurement->text.substr(0, 19), "0.6000 Nm  Bearing ");
                EXPECT_NEAR(r.centre.lat, 50.002, 1e-12); // the view follows the vessel
            } },
        { "targets shown, nearest highlighted, followed",
            [](ProgramState& s, ChartView& v, ViewShared&) {
                AddTargetTo(s, 50.02, 1.0);
                AddTargetTo(s, 50.001, 1.0);
                AddTargetTo(s, 49.95, 1.05);
                s.ais.SelectedTarget = 1;
                s.ais.HighlightNearest = true;
                s.ais.AISZoom = true;
                s.fixInfo.OwnLat = 50.0;
                s.fixInfo.OwnLong = 1.0;
                s.chartRef.CosLatFactor = 0.64;
                v.ais.ShowAIS = true;
                v.ais.FollowSelected = true;
            },
            [](const RenderResult& r) {
                EXPECT_TRUE(r.targetsShown);
                EXPECT_EQ(r.selectedTarget, 2);
                ASSERT_TRUE(r.nearestTargetRange);
                EXPECT_NEAR(*r.nearestTargetRange, 0.06, 1e-6);
                EXPECT_TRUE(r.followingTarget); // on the selection the redraw started with
                EXPECT_NEAR(r.projection.refLat, 50.02, 1e-6);
            } },
    };
    for (const Scene& scene : scenes) {
        SCOPED_TRACE(scene.name);
        auto owned = std::make_unique<ProgramState>();
        ProgramState& s = *owned;
        kvtest::UseSmallSurface(s, 32.0, "result");
        s.ais.HighlightNearest = false;
        ViewShared shared;
        ChartView v;
        v.aisView = true;
        v.zoom = 32;
        v.centreLat = 50.0;
        v.centreLong = 1.0;
        v.options.ShowGraticule = false;
        scene.set(s, v, shared);
        const Written before = Snapshot(s);
        QImage first;
        QImage second;
        const RenderResult r1 = RedrawView(v, first, RenderContext { s, shared });
        EXPECT_TRUE(Snapshot(s) == before);
        const RenderResult r2 = RedrawView(v, second, RenderContext { s, shared });
        EXPECT_TRUE(Snapshot(s) == before);
        EXPECT_TRUE(first == second);
        EXPECT_EQ(r1.positionText, r2.positionText);
        EXPECT_EQ(r1.cursor, r2.cursor);
        EXPECT_FALSE(r1.positionText.empty());
        scene.check(r1);
    }
}

TEST_F(RenderResultTest, TheViewSetStoresWhatTheRedrawComputed)
{
    AddTarget(50.02, 1.0);
    AddTarget(50.001, 1.0);
    state.ais.targets[1].LastHeard = 0.0; // heard long ago: aged out after the picture
    state.ais.HighlightNearest = true;
    state.ais.AISZoom = true;
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0;
    state.chartRef.CosLatFactor = 0.64;
    int textRefreshes = 0;
    views.hooks.refreshTargetText = [&] { ++textRefreshes; };
    views.nowDays = [] { return 100.001; };
    views.shared.MeasureMode = true;
    views.shared.MeasureOriginLat = 49.99;
    views.shared.MeasureOriginLong = 1.0;

    ChartView& v = views.CreateView("ais");
    v.ais.ShowAIS = true;
    QImage scratch;
    const RenderResult expected = Render(v, scratch);
    views.Redraw(v);
    EXPECT_EQ(state.display.PosnPanel, expected.positionText);
    ASSERT_TRUE(expected.measurement);
    EXPECT_EQ(state.display.StatusLine, expected.measurement->text);
    EXPECT_DOUBLE_EQ(views.shared.MeasureLastLeg, expected.measurement->range);
    EXPECT_DOUBLE_EQ(state.routeProgress.RangeToWaypoint, 0.0); // the route range is not the measure tool's
    EXPECT_NEAR(state.ais.NearestTargetRange, 0.06, 1e-6);
    EXPECT_EQ(v.cursorX, expected.cursor.x);
    EXPECT_EQ(v.cursorY, expected.cursor.y);
    // The nearest (target 2) was selected, then the silent target 1 was aged out, which moves
    // the selection down with the table.
    EXPECT_EQ(state.ais.targets.count(), 1);
    EXPECT_EQ(state.ais.SelectedTarget, 1);
    EXPECT_EQ(textRefreshes, 1); // the view was created with the targets hidden
}

// Own vessel: 20 m long, 4 m to either side, the antenna 10 m behind the bow on the centre line.
// At zoom 2000 on the 320 x 240 surface at 50 N one metre is 0.810 pixels north-south and 0.784
// pixels east-west, so the hull's corners fall 8 and 4 pixels (ahead, astern) and 3 pixels
// (abeam) from the antenna pixel (160, 120).
TEST_F(RenderResultTest, OwnVesselOutlineAroundTheAntennaAlongTheCourse)
{
    state.settings.VesselLength = 20.0;
    state.settings.VesselOutlineDimA = 4.0;
    state.settings.VesselOutlineDimB = 4.0;
    state.settings.vessel.AntennaNorth = 10 * kMetre;
    const VesselDimensions dims = OwnVesselDimensions(state.settings.vessel, state.settings);
    EXPECT_EQ(dims, (VesselDimensions { 10, 10, 4, 4 }));
    views.shared.vesselOutline = dims;
    state.quickLog.push(QuickLogRecord { 50.0, 1.0, 0 });
    state.fixInfo.OwnLat = 51.0; // the cursor far off the bitmap: its cross stays out of the way
    state.fixInfo.OwnLong = 1.0;
    ChartView v;
    v.zoom = 2000;
    v.centreLat = 50.0;
    v.centreLong = 1.0;
    v.cursorX = 5;
    v.cursorY = 5;
    v.options.ShowGraticule = false;

    struct Case {
        double cog;
        std::vector<Pixel> hull; // on the outline
        std::vector<Pixel> clear; // inside or just outside it
    };
    const Case cases[] = {
        // North: bow (160, 112), shoulders (157/163, 116), stern corners (157/163, 128).
        { 0.0, { { 160, 112 }, { 157, 120 }, { 163, 124 }, { 158, 128 }, { 162, 128 } },
            { { 160, 124 }, { 165, 124 }, { 160, 130 } } },
        // East: bow (168, 120), shoulders (164, 117/123), stern corners (152, 117/123).
        { 90.0, { { 168, 120 }, { 156, 117 }, { 156, 123 }, { 152, 118 }, { 152, 122 } },
            { { 158, 120 }, { 156, 126 }, { 150, 120 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cog);
        state.motion.COGValue = c.cog;
        QImage image;
        Render(v, image);
        for (const Pixel& p : c.hull) {
            EXPECT_EQ(kvtest::PixelAt(image, p.x, p.y), kWhite) << p.x << "," << p.y;
        }
        for (const Pixel& p : c.clear) {
            EXPECT_EQ(kvtest::PixelAt(image, p.x, p.y), kNavy) << p.x << "," << p.y;
        }
    }
    // Not placed, or the vessel not shown: no outline.
    for (int hide = 0; hide < 2; ++hide) {
        ChartView hidden = v;
        if (hide == 0) {
            views.shared.vesselOutline.reset();
        } else {
            views.shared.vesselOutline = dims;
            hidden.options.ShowVessel = false;
        }
        QImage image;
        Render(hidden, image);
        EXPECT_EQ(kvtest::PixelAt(image, 152, 118), kNavy);
    }
}

TEST(OwnVesselDimensions, FromTheAntennaOffsets)
{
    struct Case {
        double northMetres, eastMetres;
        VesselDimensions expected;
    };
    const Case cases[] = {
        { 0, 0, { 0, 12, 2, 3 } }, // never located: the antenna at the bow
        { 3, 0.5, { 3, 9, 1.5, 3.5 } }, // 3 m behind the bow, 0.5 m to port of the centre line
        { -2, 0, { 0, 12, 2, 3 } }, // ahead of the bow: held at the bow
        { 15, -4, { 12, 0, 6, 0 } }, // astern of the hull and beyond the starboard side
    };
    for (const Case& c : cases) {
        ProgramState nav;
        Settings& settings = nav.settings;
        settings.VesselLength = 12;
        settings.VesselOutlineDimA = 2;
        settings.VesselOutlineDimB = 3;
        nav.settings.vessel.AntennaNorth = c.northMetres * kMetre;
        nav.settings.vessel.AntennaEast = c.eastMetres * kMetre;
        const VesselDimensions d = OwnVesselDimensions(nav.settings.vessel, settings);
        EXPECT_NEAR(d.DimA, c.expected.DimA, 1e-9) << c.northMetres;
        EXPECT_NEAR(d.DimB, c.expected.DimB, 1e-9) << c.northMetres;
        EXPECT_NEAR(d.DimC, c.expected.DimC, 1e-9) << c.eastMetres;
        EXPECT_NEAR(d.DimD, c.expected.DimD, 1e-9) << c.eastMetres;
    }
}

TEST_F(RenderResultTest, ADoubleClickPicksATargetOnlyInTheAisViewShowingTargetsElseSnapsToAWaypoint)
{
    struct Case {
        const char* what;
        bool secondView; // the view clicked is the one that is not the AIS view
        bool showAis;
        int targets;
        bool snaps;
    };
    const Case cases[] = {
        { "AIS view showing targets", false, true, 1, false },
        { "AIS view with the targets hidden", false, false, 1, true },
        { "AIS view showing no targets", false, true, 0, true },
        { "the other view", true, true, 1, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto owner = std::make_unique<ProgramState>();
        ProgramState& s = *owner;
        kvtest::UseSmallSurface(s, 32.0, "result");
        ViewSet set { ViewRecords { s }, fakes.prompter };
        int snaps = 0;
        set.hooks.waypointSnap = [&snaps] { ++snaps; };
        ChartView& first = set.CreateView("a");
        ChartView& second = set.CreateView("b");
        ChartView& v = c.secondView ? second : first;
        first.ais.ShowAIS = c.showAis;
        second.ais.ShowAIS = c.showAis;
        for (int i = 0; i < c.targets; ++i) {
            AddTargetTo(s, 32.0, 0.0);
        }
        s.ais.SelectedTarget = 0;
        set.Image1DblClick(v);
        EXPECT_EQ(snaps, c.snaps ? 1 : 0);
        EXPECT_EQ(s.ais.SelectedTarget, c.snaps ? 0 : 1);
    }
}

} // namespace
