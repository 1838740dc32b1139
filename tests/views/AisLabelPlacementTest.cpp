// Target labels placed clear of each other and of the marks: the placement over rectangles, and
// a crowded AIS view drawn with it.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "views/AisDraw.h"
#include "views/AisTargetPopup.h"
#include "views/LabelPlacement.h"
#include "views/ViewSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace kv;

LabelRequest Label(int x, int y, int w, int h, double priority)
{
    LabelRequest r;
    r.anchor = Pixel { x, y };
    r.markRadius = 2;
    r.width = w;
    r.height = h;
    r.offset = Pixel { 5, 4 };
    r.priority = priority;
    return r;
}

TEST(LabelPlacement, EachLabelTakesTheFirstFreePlaceNearestFirst)
{
    struct Case {
        const char* what;
        std::vector<LabelRequest> labels;
        std::vector<LabelBox> obstacles;
        std::vector<std::optional<Pixel>> want;
    };
    const Case cases[] = {
        { "a lone label keeps its own place", { Label(100, 100, 40, 10, 1.0) }, {}, { Pixel { 105, 104 } } },
        { "two far apart both keep theirs", { Label(100, 100, 40, 10, 1.0), Label(200, 100, 40, 10, 2.0) }, {},
            { Pixel { 105, 104 }, Pixel { 205, 104 } } },
        // The farther one, listed first, gives way: its place would cover the nearer one's.
        { "the nearer wins, the farther goes above", { Label(100, 104, 40, 10, 2.0), Label(100, 100, 40, 10, 1.0) }, {},
            { Pixel { 105, 91 }, Pixel { 105, 104 } } },
        { "an obstacle on the right sends it left", { Label(100, 100, 40, 10, 1.0) }, { { 105, 80, 60, 40 } },
            { Pixel { 55, 104 } } },
        { "boxed in on every side it is left out", { Label(100, 100, 40, 10, 1.0) }, { { 40, 60, 140, 80 } },
            { std::nullopt } },
        { "nothing to write, nothing placed", { Label(100, 100, 0, 10, 1.0) }, {}, { std::nullopt } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto got = PlaceLabels(c.labels, c.obstacles);
        ASSERT_EQ(got.size(), c.want.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].has_value(), c.want[i].has_value()) << i;
            if (got[i] && c.want[i]) {
                EXPECT_EQ(got[i]->x, c.want[i]->x) << i;
                EXPECT_EQ(got[i]->y, c.want[i]->y) << i;
            }
        }
    }
}

TEST(LabelPlacement, NoPlacedLabelMeetsAnotherOrAMark)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 300), y(0, 220), w(20, 70);
    std::vector<LabelRequest> labels;
    labels.reserve(60);
    for (int i = 0; i < 60; ++i) {
        labels.push_back(Label(x(random), y(random), w(random), 12, i));
    }
    const auto placed = PlaceLabels(labels);
    int shown = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!placed[i]) {
            continue;
        }
        ++shown;
        const LabelBox box = BoxAt(labels[i], *placed[i]);
        for (std::size_t k = 0; k < labels.size(); ++k) {
            EXPECT_FALSE(box.intersects(MarkBox(labels[k]))) << i << " covers mark " << k;
            if (k != i && placed[k]) {
                EXPECT_FALSE(box.intersects(BoxAt(labels[k], *placed[k]))) << i << " meets " << k;
            }
        }
    }
    EXPECT_GT(shown, 30);
    EXPECT_LT(shown, 60) << "a crowd this thick cannot label everything";
}

class AisLabelViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 32.0, "");
        state.ais.HighlightNearest = false;
        state.fixInfo.OwnLat = 50.0;
        state.fixInfo.OwnLong = 1.0;
    }
    void AddTarget(const std::string& name, double lat, double lonWest)
    {
        TAISTarget t = ZeroTarget();
        t.MsgType = 1;
        t.MMSI = 235000000u + static_cast<unsigned>(state.ais.targets.count() + 1);
        t.VesselName.set(name);
        t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
        t.Longitude = static_cast<std::int32_t>(std::lround(-lonWest * 600000));
        t.SOG = 60;
        t.COG = 900;
        t.TrueHeading = 511;
        state.ais.targets.add(t);
    }
    // The AIS targets drawn again over the view's last picture; the label boxes drawn.
    std::vector<LabelBox> Draw(ChartView& v)
    {
        views.ReCentre(v);
        picture = v.bitmap.copy();
        RenderCanvas canvas(picture);
        Projection projection = v.projection;
        const SchemeColours colours;
        Plotter plotter(canvas, projection, colours);
        return DrawAISTargets(plotter, v, state, state.ais.SelectedTarget);
    }
    ChartView& AisView()
    {
        ChartView& v = views.CreateView("ais");
        v.options.ShowGraticule = false;
        v.ais.ShowAIS = true;
        return v;
    }
    ProgramState state;
    FakePlatform fakes;
    ViewSet views { ViewRecords { state }, fakes.prompter };
    QImage picture;
};

TEST_F(AisLabelViewTest, SixtyTargetsInACrowdGetLabelsThatNeverMeet)
{
    std::mt19937 random(33);
    std::uniform_real_distribution<double> dLat(-0.03, 0.03), dLon(-0.05, 0.05);
    for (int i = 0; i < 60; ++i) {
        AddTarget("VESSEL " + std::to_string(i + 1), 50.0 + dLat(random), 1.0 + dLon(random));
    }
    state.extra.PlaceTargetLabels = true;
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    const std::vector<LabelBox> boxes = Draw(v);
    ASSERT_GT(boxes.size(), 10u);
    EXPECT_LT(boxes.size(), 60u);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t k = i + 1; k < boxes.size(); ++k) {
            EXPECT_FALSE(boxes[i].intersects(boxes[k])) << i << " and " << k;
        }
        for (int n = 1; n <= state.ais.targets.count(); ++n) {
            const LatLong pos = AisTargetChartPosition(state.chartRef, state.ais.targets[n]);
            if (const auto px = PositionToPixel(v.projection, pos.lat, pos.lon)) {
                EXPECT_FALSE(boxes[i].intersects(LabelBox { px->x - 2, px->y - 2, 5, 5 }))
                    << "label " << i << " on target " << n;
            }
        }
    }
}

TEST_F(AisLabelViewTest, TheTargetNearestOwnShipKeepsItsLabelWithoutPlacementAllAreDrawn)
{
    AddTarget("FARTHER", 50.0101, 1.0501); // listed first, a pixel or two from the nearer one
    AddTarget("NEARER", 50.0100, 1.0500);
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    EXPECT_TRUE(Draw(v).empty()) << "placement is off by default";

    state.extra.PlaceTargetLabels = true;
    const std::vector<LabelBox> boxes = Draw(v);
    const LatLong nearer = AisTargetChartPosition(state.chartRef, state.ais.targets[2]);
    const auto px = PositionToPixel(v.projection, nearer.lat, nearer.lon);
    ASSERT_TRUE(px);
    ASSERT_EQ(boxes.size(), 2u);
    // The nearer target's name sits at its own place, right of and below its mark.
    bool ownPlace = false;
    for (const LabelBox& b : boxes) {
        ownPlace = ownPlace || (b.x == px->x + 5 && b.y == px->y + 4);
    }
    EXPECT_TRUE(ownPlace);
    EXPECT_FALSE(boxes[0].intersects(boxes[1]));
}

} // namespace

namespace {

using namespace kv;

class AisTargetClickTest : public AisLabelViewTest { };

TEST_F(AisTargetClickTest, APressWithinAFewPixelsOfAMarkHitsTheNearestTarget)
{
    AddTarget("NORTH", 50.1, 1.0);
    AddTarget("EAST", 50.0, 0.9);
    ChartView& v = AisView();
    views.ReCentre(v);
    const LatLong north = AisTargetChartPosition(state.chartRef, state.ais.targets[1]);
    const Pixel at = *PositionToPixel(v.projection, north.lat, north.lon);
    struct Case {
        int dx, dy, want;
    };
    for (const Case c : { Case { 0, 0, 1 }, Case { 4, -4, 1 }, Case { 6, 0, 1 }, Case { 7, 0, 0 }, Case { 5, 5, 0 } }) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        EXPECT_EQ(TargetAtPixel(v, state, at.x + c.dx, at.y + c.dy), c.want);
    }
    v.ais.ShowAIS = false;
    EXPECT_EQ(TargetAtPixel(v, state, at.x, at.y), 0) << "hidden targets are not hit";
}

TEST_F(AisTargetClickTest, PopupLinesGiveMotionRangeBearingAndClosestApproach)
{
    AddTarget("NORTH@@ ", 50.1, 1.0); // 6 miles due north, coming south at 6 knots
    state.ais.targets[1].COG = 1800;
    state.extra.CollisionWarnings = true;
    state.extra.TcpaLimitMin = 90;
    const std::vector<std::string> want = { "NORTH", "MMSI 235000001", "Class A", "SOG 6.0 Kn  COG 180.0\xb0T",
        "Range 6.00 Nm  Bearing 0.0\xb0T", "CPA 0.00 Nm  TCPA 60.0 Min", "DANGEROUS TARGET" };
    EXPECT_EQ(TargetPopupLines(state, 1), want);
    state.ais.targets[1].SOG = 1023;
    const std::vector<std::string> unknown = TargetPopupLines(state, 1);
    ASSERT_EQ(unknown.size(), 6u);
    EXPECT_EQ(unknown[3], "SOG n/a  COG 180.0\xb0T");
    EXPECT_EQ(unknown[5], "CPA n/a  TCPA n/a");
    EXPECT_TRUE(TargetPopupLines(state, 2).empty());
}

} // namespace
