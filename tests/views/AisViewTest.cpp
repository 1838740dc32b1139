// AIS targets in the views: labels, marks, rings, selection, following and the view commands.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "views/AisDraw.h"
#include "views/ViewAis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kv;

class AisViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 32.0, "");
        state.ais.HighlightNearest = false;
    }
    int AddTarget(const char* name, double lat, double lonWest, int sog, int cog)
    {
        TAISTarget t = ZeroTarget();
        t.MsgType = 1;
        t.MMSI = 235000000u + static_cast<unsigned>(state.ais.targets.count() + 1);
        t.VesselName.set(name);
        t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
        t.Longitude = static_cast<std::int32_t>(std::lround(-lonWest * 600000));
        t.SOG = static_cast<std::uint16_t>(sog);
        t.COG = static_cast<std::uint16_t>(cog);
        t.TrueHeading = 511;
        state.ais.targets.add(t);
        return state.ais.targets.count();
    }
    ChartView& AisView()
    {
        ChartView& v = views.CreateView("ais");
        v.options.ShowGraticule = false;
        v.ais.ShowAIS = true;
        return v;
    }
    // Silver (label) pixels in a box right of a target.
    int LabelPixels(const ChartView& v, double lat, double lonWest)
    {
        const auto p = PositionToPixel(v.projection, lat, lonWest);
        int n = 0;
        for (int y = p->y - 14; y <= p->y + 18; ++y) {
            for (int x = p->x + 4; x <= p->x + 70; ++x) {
                if (x >= 0 && y >= 0 && x < 320 && y < 240) {
                    n += kvtest::PixelAt(v.bitmap, x, y) == kSilver;
                }
            }
        }
        return n;
    }
    ProgramState state;
    FakePlatform fakes;
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

TEST_F(AisViewTest, LabelsOnAllOrOnTheSelectedOnly)
{
    AddTarget("ALPHA", 50.01, 1.02, 50, 900);
    AddTarget("BRAVO", 49.99, 0.98, 50, 900);
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    views.ReCentre(v);
    EXPECT_GT(LabelPixels(v, 50.01, 1.02), 10);
    EXPECT_GT(LabelPixels(v, 49.99, 0.98), 10);
    OnSelected1Click(views, v);
    EXPECT_GT(LabelPixels(v, 50.01, 1.02), 10);
    EXPECT_EQ(LabelPixels(v, 49.99, 0.98), 0);
    OnAll1Click(views, v);
    EXPECT_GT(LabelPixels(v, 49.99, 0.98), 10);
    // yellow marks the selected target, red the others
    const auto a = PositionToPixel(v.projection, 50.01, 1.02);
    const auto b = PositionToPixel(v.projection, 49.99, 0.98);
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, a->x, a->y), kYellow);
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, b->x, b->y), kRed);
}

TEST_F(AisViewTest, NoSelectionStillDrawsEveryTargetAndASingleTargetIsSelected)
{
    AddTarget("ALPHA", 50.01, 1.02, 50, 900);
    AddTarget("BRAVO", 49.99, 0.98, 50, 900);
    ChartView& v = AisView();
    views.ReCentre(v);
    EXPECT_EQ(state.ais.SelectedTarget, 0);
    for (const auto& [lat, lon] : { std::pair { 50.01, 1.02 }, std::pair { 49.99, 0.98 } }) {
        const auto p = PositionToPixel(v.projection, lat, lon);
        EXPECT_EQ(kvtest::PixelAt(v.bitmap, p->x, p->y), kRed); // drawn, none as the selected one
    }
    EXPECT_EQ(kvtest::CountColour(v.bitmap, kYellow), 0);
    const std::uint32_t bravo = state.ais.targets[2].MMSI;
    state.ais.targets.removeIf([&](const TAISTarget& t) { return t.MMSI == bravo; });
    views.ReCentre(v);
    EXPECT_EQ(state.ais.SelectedTarget, 1);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kYellow), 5);
}

TEST_F(AisViewTest, CourseStubFromSixTenthsOfAKnot)
{
    TAISTarget t = ZeroTarget();
    t.SOG = 5;
    EXPECT_FALSE(AisShowsCourseStub(t));
    t.SOG = 6;
    EXPECT_TRUE(AisShowsCourseStub(t));

    AddTarget("SLOW", 50.0, 1.0, 5, 900);
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    v.ais.ConventionalShape = true;
    views.ReCentre(v);
    const int slow = kvtest::CountColour(v.bitmap, kYellow);
    state.ais.targets[1].SOG = 6;
    views.ReCentre(v);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kYellow), slow + 10);
}

TEST_F(AisViewTest, RangeRingSettingsStopAtTheirLimits)
{
    ChartView& v = AisView();
    v.ais.RingSetting = 14;
    RRUpClick(views, v);
    EXPECT_EQ(v.ais.RingSetting, 16);
    RRUpClick(views, v);
    EXPECT_EQ(v.ais.RingSetting, 16);
    for (Control button : { Control::RRUp, Control::RRDown }) {
        EXPECT_EQ(state.display.hint(button), "Rings 4,8,12,16,20 Nm|") << ControlName(button);
    }
    v.ais.RingSetting = 2;
    RRDownClick(views, v);
    EXPECT_EQ(v.ais.RingSetting, 0);
    RRDownClick(views, v);
    EXPECT_EQ(v.ais.RingSetting, 0);
    for (Control button : { Control::RRUp, Control::RRDown }) {
        EXPECT_EQ(state.display.hint(button), "Rings off|") << ControlName(button);
    }
    EXPECT_EQ(RangeRings(7), (std::vector<double> { 1, 2, 4, 6, 8 }));
    EXPECT_EQ(RangeRingHint(11), "Rings 2,4,6,8,10,12 Nm|");
    // rings are drawn in lime around the vessel
    const int before = kvtest::CountColour(v.bitmap, kLime);
    RRUpClick(views, v);
    EXPECT_GT(kvtest::CountColour(v.bitmap, kLime), before + 50);
}

TEST_F(AisViewTest, TrueHeadingFallsBackToTheCourse)
{
    TAISTarget t = ZeroTarget();
    t.COG = 1234;
    t.TrueHeading = 511;
    EXPECT_EQ(AisOutlineHeading(t, false), 123.4);
    t.TrueHeading = 90;
    EXPECT_EQ(AisOutlineHeading(t, false), 90.0);
    EXPECT_EQ(AisOutlineHeading(t, true), 123.4);
    t.VesselName.set("SEA @WITCH@@@  ");
    EXPECT_EQ(AisTargetName(t), "SEA WITCH");
    t.Day = 7;
    t.Month = 3;
    t.Year = 2006;
    t.Hour = 9;
    t.Minute = 5;
    t.Second = 0;
    EXPECT_EQ(AisBaseStationTime(t), "7-3-2006 9:5:0");
}

TEST_F(AisViewTest, TheSecondViewShowsNoTargets)
{
    AddTarget("ALPHA", 50.0, 1.0, 50, 900);
    ChartView& first = AisView();
    views.FileNewItemClick();
    ChartView& second = views.view(1);
    second.ais.ShowAIS = true; // even with its button down
    state.ais.SelectedTarget = 1;
    views.ReCentre(second);
    EXPECT_FALSE(second.aisView);
    EXPECT_EQ(kvtest::CountColour(second.bitmap, kYellow), 0);
    views.ReCentre(first);
    EXPECT_GT(kvtest::CountColour(first.bitmap, kYellow), 5);
}

TEST_F(AisViewTest, FollowingCentresOnTheSelectedTarget)
{
    AddTarget("ALPHA", 50.02, 1.03, 50, 900);
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    AISFollowSelectedTarget1Click(views, v);
    EXPECT_TRUE(v.followingTarget);
    EXPECT_NEAR(v.projection.refLat, 50.02, 1e-6);
    EXPECT_NEAR(v.projection.refLong, 1.03, 1e-6);
    EXPECT_EQ(v.cursorX, 160);
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, 160, 120), kYellow);
}

TEST_F(AisViewTest, TheTargetListCentresTheViewOnATarget)
{
    AddTarget("ALPHA", 50.02, 1.03, 50, 900);
    AddTarget("BRAVO", 49.97, 0.96, 50, 900);
    const int lost = AddTarget("NOFIX", 0, 0, 0, 0);
    state.ais.targets[lost].Latitude = 91 * 600000;
    ChartView& v = AisView();
    state.ais.SelectedTarget = 1;
    views.ReCentre(v);

    CentreOnTarget(views, v, 2);
    EXPECT_EQ(state.ais.SelectedTarget, 2);
    EXPECT_NEAR(v.centreLat, 49.97, 1e-6);
    EXPECT_NEAR(v.centreLong, 0.96, 1e-6);
    const auto p = PositionToPixel(v.projection, 49.97, 0.96);
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(kvtest::PixelAt(v.bitmap, p->x, p->y), kYellow) << "drawn as the selected target";

    CentreOnTarget(views, v, lost);
    EXPECT_EQ(state.ais.SelectedTarget, lost);
    EXPECT_NEAR(v.centreLat, 49.97, 1e-6) << "no position: the view stays";
    CentreOnTarget(views, v, 9);
    EXPECT_EQ(state.ais.SelectedTarget, lost) << "no such target: nothing changes";
}

TEST_F(AisViewTest, AListChoiceOutlivesHighlightNearestButNotAisZoom)
{
    AddTarget("NEAR", 50.001, 1.001, 50, 900);
    AddTarget("FAR", 50.03, 1.03, 50, 900);
    ChartView& v = AisView();
    state.ais.HighlightNearest = true;
    views.ReCentre(v);
    ASSERT_EQ(state.ais.SelectedTarget, 1);

    CentreOnTarget(views, v, 2);
    views.ReCentre(v);
    EXPECT_EQ(state.ais.SelectedTarget, 2) << "the redraw kept the chosen target";
    EXPECT_FALSE(state.ais.HighlightNearest);
    EXPECT_TRUE(state.ais.TargetSelectorVisible);

    state.ais.HighlightNearest = true;
    state.ais.AISZoom = true; // zooming to the nearest target needs it highlighted
    SelectListTarget(views, 2);
    EXPECT_TRUE(state.ais.HighlightNearest);
}

TEST_F(AisViewTest, ZoomAndHighlightSwitches)
{
    AddTarget("NEAR", 50.001, 1.0, 0, 0);
    AddTarget("FAR", 50.5, 1.0, 0, 0);
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0;
    ChartView& v = AisView();
    AISZoomClick(views, v); // highlight was off: it follows the zoom switch
    EXPECT_TRUE(state.ais.AISZoom);
    EXPECT_TRUE(state.ais.HighlightNearest);
    EXPECT_FALSE(state.ais.HighlightNearestEnabled);
    // that redraw selected the nearest (0.06 Nm); the next re-centre zooms for its range
    EXPECT_EQ(state.ais.SelectedTarget, 1);
    views.ReCentre(v);
    EXPECT_EQ(v.zoom, 1200.0); // the first row above 0.06 Nm
    HighlightNearest1Click(views, v);
    EXPECT_FALSE(state.ais.HighlightNearest);
    EXPECT_TRUE(state.ais.TargetSelectorVisible);
    EXPECT_FALSE(state.ais.AISZoom);

    // a double click selects the target nearest own vessel, whatever was clicked
    state.ais.SelectedTarget = 2;
    views.Image1DblClick(v);
    EXPECT_EQ(state.ais.SelectedTarget, 1);
}

} // namespace
