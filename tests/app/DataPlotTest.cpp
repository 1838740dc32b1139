// The data trend plot: the gain rule and the offsets it draws.

#include "app/DataPlot.h"
#include "app/ProgramState.h"

#include <gtest/gtest.h>

namespace {

using namespace kv;

TEST(DataPlot, GainStaysAtLeastOneAndStepsByHundredAboveNinetyNine)
{
    DataPlotState plot;
    Display display;
    DataGainChange(plot, display, 0);
    EXPECT_EQ(plot.gain, 1);
    EXPECT_EQ(plot.gainStep, 1);
    EXPECT_EQ(display.hint(Control::Data_Gain), "Full Scale=4500.00|");
    DataGainChange(plot, display, 99);
    EXPECT_EQ(plot.gainStep, 1);
    EXPECT_EQ(display.hint(Control::Data_Gain), "Full Scale=45.45|");
    DataGainChange(plot, display, 100);
    EXPECT_EQ(plot.gainStep, 100);
    EXPECT_EQ(display.hint(Control::Data_Gain), "Full Scale=45.00|");
}

TEST(DataPlot, OffsetsAreMeasuredFromTheActiveLeg)
{
    ProgramState state;
    state.chartRef.CosLatFactor = 1.0;
    // A leg due north along longitude 0; fixes 0.01 minute of longitude east and west of it.
    state.route.push({ "A", 50.0, 0.0 });
    state.route.push({ "B", 51.0, 0.0 });
    state.routeProgress.ActiveWaypoint = 2;
    state.quickLog.push({ 50.1, -1.0 / 60.0, 0.0 }); // 1 nm east: right of a northward track
    state.quickLog.push({ 50.2, 1.0 / 60.0, 1.0 }); // 1 nm west
    state.quickLog.push({ 50.3, 0.0, 2.0 });
    const auto offsets = CrossTrackOffsets(state);
    ASSERT_EQ(offsets.size(), 3u);
    EXPECT_NEAR(offsets[0], 1852.0, 1e-6);
    EXPECT_NEAR(offsets[1], -1852.0, 1e-6);
    EXPECT_NEAR(offsets[2], 0.0, 1e-6);

    // Drawn: the middle line in the foreground colour, the first fix at the right-hand limit
    // clipped to the top (1852 m is beyond a 45 m full scale).
    DataPlotState plot;
    plot.gain = 100;
    plot.plotAll = true;
    const QImage image = DrawDataPlot(state, plot, 101, 41);
    EXPECT_EQ(image.pixel(50, 20) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(0, 39) & 0xFFFFFF, 0x000080u); // background
}

TEST(DataPlot, FewerThanTwoFixesDrawOnlyTheMiddleLine)
{
    ProgramState state;
    state.quickLog.push({ 50.0, 1.0, 0.0 });
    EXPECT_TRUE(CrossTrackOffsets(state).empty());
    DataPlotState plot;
    plot.markA = 10;
    plot.markB = 20;
    const QImage image = DrawDataPlot(state, plot, 60, 100);
    EXPECT_EQ(image.pixel(30, 50) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(10, 20) & 0xFFFFFF, 0xFF0000u); // the marks, 86 pixels high
    EXPECT_EQ(image.pixel(20, 92) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(20, 96) & 0xFFFFFF, 0x000080u);
}

} // namespace
