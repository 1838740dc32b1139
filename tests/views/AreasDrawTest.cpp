// Filled areas beneath the chart: only with the FillAreas option and an areas file, land over
// the water shades, and a picture unchanged to the last pixel otherwise.

#include "ViewTestSupport.h"
#include "app/ProgramState.h"

#include "charts/ChartAreas.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"
#include "views/AreasDraw.h"
#include "views/ViewSet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace {

using namespace kv;
using kvtest::PixelAt;

std::vector<TilerPoint> Square(double south, double north, double east, double west)
{
    return { { south, east }, { south, west }, { north, west }, { north, east }, { south, east } };
}

class AreasDrawTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvtest::UseSmallSurface(state, 16.0, "harbour");
        state.chart.ChartFolder = dir.path() + "/";
        // A coastline across the view so that the lines have something to draw over the fill.
        chart.add(50.05, 1.15, 0);
        chart.add(50.05, 0.85, 0);
        chart.addWaypoint("Bn", 8, 0, 49.95, 1.1);
        areas.safetyDepth = 5.0;
        // North half land; south-west quarter shallow water with a hole (an islet of deep water);
        // south-east quarter water from 6 m (medium); a deep area off the view to the south.
        areas.areas.push_back({ ChartAreaKind::Land, 0, 0, { Square(50.0, 50.2, 0.8, 1.2) } });
        areas.areas.push_back(
            { ChartAreaKind::Depth, 0.0, 5.0, { Square(49.8, 50.0, 1.0, 1.2), Square(49.99, 49.995, 1.01, 1.02) } });
        areas.areas.push_back({ ChartAreaKind::Depth, 6.0, 20.0, { Square(49.8, 50.0, 0.8, 1.0) } });
        areas.areas.push_back({ ChartAreaKind::Depth, 20.0, 50.0, { Square(48.0, 49.0, 0.8, 1.2) } });
    }
    QImage Draw()
    {
        if (view == nullptr) {
            view = &views.CreateView("harbour");
            view->options.ShowGraticule = false;
        }
        views.ReCentre(*view);
        return view->bitmap.copy();
    }
    void WriteAreas() { ASSERT_TRUE(WriteChartAreasFile(dir.file("harbour.areas"), areas)); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    kvtest::TestChart chart { state };
    ViewSet views { ViewRecords { state }, fakes.prompter };
    ChartAreas areas;
    ChartView* view = nullptr;
};

TEST_F(AreasDrawTest, WithoutTheOptionOrTheFileThePictureIsUnchanged)
{
    const QImage plain = Draw(); // no file, option off
    state.extra.FillAreas = true;
    EXPECT_EQ(Draw(), plain) << "option on, no areas file";
    dir.write("harbour.areas", "KVFree chart areas 1\r\nLAND 1\r\nRING 9\r\n50 1\r\n"); // truncated
    EXPECT_EQ(Draw(), plain) << "option on, damaged areas file";
    WriteAreas();
    state.extra.FillAreas = false;
    EXPECT_EQ(Draw(), plain) << "areas file there, option off";
    state.extra.FillAreas = true;
    EXPECT_NE(Draw(), plain) << "areas file there, option on";
}

TEST_F(AreasDrawTest, LandAndWaterShadesBeneathTheLines)
{
    WriteAreas();
    state.extra.FillAreas = true;
    const QImage picture = Draw();
    const AreaColours c = AreaColoursFor(SchemeColours {});
    // The view is 320 × 240 centred on 50 N 1 W at 720 and 448 pixels a degree: the areas span
    // x 70 to 250; north of y 120 is land, south-west shallow, south-east medium (west is left).
    EXPECT_EQ(PixelAt(picture, 100, 40), c.land);
    EXPECT_EQ(PixelAt(picture, 100, 200), c.shallow);
    EXPECT_EQ(PixelAt(picture, 220, 200), c.medium);
    EXPECT_EQ(PixelAt(picture, 60, 200), kNavy); // beyond the areas
    // The coastline and the waypoint symbol are drawn over the fill.
    EXPECT_EQ(PixelAt(picture, 110, 84), kWhite);
    EXPECT_EQ(PixelAt(picture, 115, 156), kRed);
    // The hole in the shallow area keeps the background: 49.9925 N 1.015 W.
    const int holeY = 120 + static_cast<int>((50.0 - 49.9925) * 720);
    const int holeX = 160 - static_cast<int>((1.015 - 1.0) * 448);
    EXPECT_EQ(PixelAt(picture, holeX, holeY), kNavy);
}

TEST_F(AreasDrawTest, ANewerFileIsReadAgain)
{
    WriteAreas();
    state.extra.FillAreas = true;
    const QImage first = Draw();
    areas.areas.erase(areas.areas.begin()); // the land goes
    areas.areas.push_back({ ChartAreaKind::Land, 0, 0, { Square(49.8, 50.2, 0.8, 1.2) } }); // all land
    const auto written = std::filesystem::last_write_time(dir.file("harbour.areas"));
    WriteAreas();
    // A re-import a moment later: the file system may give both writes one time stamp (its clock
    // ticks in milliseconds), so the newer file is made visibly newer, as a later import is.
    std::filesystem::last_write_time(dir.file("harbour.areas"), written + std::chrono::seconds(1));
    const QImage second = Draw();
    EXPECT_EQ(PixelAt(second, 100, 200), AreaColoursFor(SchemeColours {}).land);
    EXPECT_NE(first, second);
}

} // namespace
