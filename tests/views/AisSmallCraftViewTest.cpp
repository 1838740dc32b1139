// Class B and aid-to-navigation marks, and the red predicted track of a dangerous target.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "platform/fake/Fakes.h"
#include "views/AisDraw.h"
#include "views/ViewAis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace kv;

class AisSmallCraftViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 32.0, "");
        state.ais.HighlightNearest = false;
        state.fixInfo.OwnLat = 50.0;
        state.fixInfo.OwnLong = 1.0;
        state.motion.SOG = 0.0;
        state.motion.COGValue = 0.0;
    }
    int AddTarget(int type, const char* name, double lat, double lonWest, int sog, int cog, int spare = 0)
    {
        TAISTarget t = ZeroTarget();
        t.MsgType = static_cast<std::uint8_t>(type);
        t.MMSI = 235000000u + static_cast<unsigned>(state.ais.targets.count() + 1);
        t.VesselName.set(name);
        t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
        t.Longitude = static_cast<std::int32_t>(std::lround(-lonWest * 600000));
        t.SOG = static_cast<std::uint16_t>(sog);
        t.COG = static_cast<std::uint16_t>(cog);
        t.TrueHeading = 511;
        t.Spare = static_cast<std::uint8_t>(spare);
        state.ais.targets.add(t);
        return state.ais.targets.count();
    }
    ChartView& Draw()
    {
        ChartView& v = views.CreateView("ais");
        v.options.ShowGraticule = false;
        v.ais.ShowAIS = true;
        state.ais.SelectedTarget = 1;
        views.ReCentre(v);
        return v;
    }
    int Count(const ChartView& v, Pixel c, int half, Rgb colour)
    {
        int n = 0;
        for (int y = c.y - half; y <= c.y + half; ++y) {
            for (int x = c.x - half; x <= c.x + half; ++x) {
                if (x >= 0 && y >= 0 && x < 320 && y < 240) {
                    n += kvtest::PixelAt(v.bitmap, x, y) == colour;
                }
            }
        }
        return n;
    }
    ProgramState state;
    FakePlatform fakes;
    ViewSet views { ViewRecords { state }, fakes.prompter };
};

TEST_F(AisSmallCraftViewTest, ClassBAndAidMarks)
{
    AddTarget(1, "SHIP", 50.02, 1.03, 0, 0);
    AddTarget(18, "YACHT", 50.0, 0.97, 0, 0);
    AddTarget(21, "BUOY", 49.98, 1.03, 0, 0);
    AddTarget(21, "GHOST", 50.02, 0.97, 0, 0, 1);
    ChartView& v = Draw();
    const Pixel yacht = *PositionToPixel(v.projection, 50.0, 0.97);
    const Pixel buoy = *PositionToPixel(v.projection, 49.98, 1.03);
    const Pixel ghost = *PositionToPixel(v.projection, 50.02, 0.97);
    EXPECT_GT(Count(v, yacht, 6, kAqua), 8) << "Class B: an open aqua circle";
    EXPECT_NE(kvtest::PixelAt(v.bitmap, yacht.x, yacht.y), kAqua) << "open, not filled";
    EXPECT_NE(kvtest::PixelAt(v.bitmap, yacht.x, yacht.y), kRed) << "not the red Class A mark";
    const int solid = Count(v, buoy, 10, kLime);
    const int dotted = Count(v, ghost, 10, kLime);
    EXPECT_GT(solid, 10) << "aid: a lime diamond";
    EXPECT_GT(dotted, 3);
    EXPECT_LT(dotted, solid) << "a virtual aid is dotted";
    EXPECT_GT(Count(v, Pixel { buoy.x + 30, buoy.y }, 20, kSilver), 5) << "an aid always shows its name";
}

TEST_F(AisSmallCraftViewTest, DangerousTargetShowsItsTrackToTheClosestPoint)
{
    struct Case {
        const char* what;
        bool warnings;
        int cog;
        bool red;
    };
    const Case cases[] = { { "closing: dangerous", true, 1800, true }, { "opening: past", true, 0, false },
        { "closing, warnings off", false, 1800, false } };
    AddTarget(18, "YACHT", 50.02, 1.0, 100, 0); // 1.2 nm north; 7.2 minutes away when closing
    ChartView& v = Draw();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        state.extra.CollisionWarnings = c.warnings;
        state.ais.targets[1].COG = static_cast<std::uint16_t>(c.cog);
        views.ReCentre(v);
        const Pixel t = *PositionToPixel(v.projection, 50.02, 1.0);
        const Pixel own = *PositionToPixel(v.projection, 50.0, 1.0);
        ASSERT_GT(std::abs(t.y - own.y), 20);
        const Pixel mid { (t.x + own.x) / 2, (t.y + own.y) / 2 };
        EXPECT_EQ(Count(v, mid, 2, kRed) > 0, c.red);
        EXPECT_EQ(Count(v, t, 13, kRed) > 0, c.red) << "the red ring";
    }
}

} // namespace
