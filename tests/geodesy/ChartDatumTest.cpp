#include "geodesy/ChartDatum.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kv;

namespace {

// Stands in for a chart table: a plain list of positions.
struct PositionList {
    std::vector<LatLong> points;
    PositionTable table()
    {
        return [this](const PositionEdit& edit) {
            for (auto& p : points) {
                edit(p.lat, p.lon);
            }
        };
    }
};

struct Fixture {
    ProgramState state;
    FakePlatform fakes;
    ChartDatumController controller { state.chartRef, fakes.platform };
    PositionList chart { { { 50.0, 1.0 }, { 50.5, -1.0 } } };
    PositionList waypoints { { { 51.0, 2.0 } } };
    Fixture()
    {
        state.route.push({ "WP1", 50.25, 1.25 });
        state.route.push({ "WP2", 50.75, 1.5 });
        controller.setChartPoints(chart.table());
        controller.setChartWaypoints(waypoints.table());
    }
};

} // namespace

TEST(ChartDatum, RemovesTheOffsetsFromChartAndWaypointsNotTheRoute)
{
    Fixture f;
    f.fakes.prompter.answer({ true, true });
    ChartOffsetFields fields { 600, -1200 }; // 0.6' north, 1.2' west (east positive field)
    f.state.chartRef.ChartLatOffset = 0.5; // stale values are replaced by the fields
    f.controller.Cht2WGS84Click(fields);

    const double dLat = 600 / 60000.0;
    const double dLon = -1200 / 60000.0;
    EXPECT_DOUBLE_EQ(f.chart.points[0].lat, 50.0 - dLat);
    EXPECT_DOUBLE_EQ(f.chart.points[0].lon, 1.0 + dLon);
    EXPECT_DOUBLE_EQ(f.chart.points[1].lon, -1.0 + dLon);
    EXPECT_DOUBLE_EQ(f.state.route.at(2).lat, 50.75); // the route is not chart data
    EXPECT_DOUBLE_EQ(f.state.route.at(2).lon, 1.5);
    EXPECT_EQ(f.state.route.at(2).name, "WP2");
    EXPECT_DOUBLE_EQ(f.waypoints.points[0].lat, 51.0 - dLat);
    EXPECT_DOUBLE_EQ(f.waypoints.points[0].lon, 2.0 + dLon);

    EXPECT_EQ(f.state.chartRef.ChartLatOffset, 0.0);
    EXPECT_EQ(f.state.chartRef.ChartLongOffset, 0.0);
    EXPECT_EQ(fields.LatOffs, 0);
    EXPECT_EQ(fields.LongOffs, 0);
    const std::vector<FakePrompter::Message> expected {
        { "confirm", "This will edit the chart! - Are you sure?" },
        { "confirm", "Do you want to process the chart waypoints too?" },
        { "information", "Done - Click OK to redraw chart. Save the chart to update files on disk" },
    };
    EXPECT_EQ(f.fakes.prompter.messages, expected);
}

TEST(ChartDatum, NoChangesWhenTheUserDeclines)
{
    Fixture f;
    f.fakes.prompter.answer({ false });
    f.state.chartRef.ChartLatOffset = 0.01;
    ChartOffsetFields fields { 600, 600 };
    f.controller.Cht2WGS84Click(fields);
    EXPECT_DOUBLE_EQ(f.chart.points[0].lat, 50.0);
    EXPECT_DOUBLE_EQ(f.state.route.at(1).lat, 50.25);
    EXPECT_DOUBLE_EQ(f.state.chartRef.ChartLatOffset, 0.01);
    EXPECT_EQ(fields.LatOffs, 600);
    ASSERT_EQ(f.fakes.prompter.messages.size(), 2u);
    EXPECT_EQ(f.fakes.prompter.messages[1], (FakePrompter::Message { "information", "No changes were made." }));
}

TEST(ChartDatum, WaypointsKeptWhenNotWantedAndFieldsHeldInRange)
{
    Fixture f;
    f.fakes.prompter.answer({ true, false });
    ChartOffsetFields fields { 25000, -25000 }; // beyond the spin range
    f.controller.Cht2WGS84Click(fields);
    EXPECT_DOUBLE_EQ(f.waypoints.points[0].lat, 51.0);
    EXPECT_DOUBLE_EQ(f.chart.points[0].lat, 50.0 - 10000 / 60000.0);
    EXPECT_DOUBLE_EQ(f.chart.points[0].lon, 1.0 - 10000 / 60000.0);
    EXPECT_TRUE(
        f.fakes.prompter.lastMessageIs("Done - Click OK to redraw chart. Save the chart to update files on disk"));
}

TEST(ChartDatum, WorksWithoutChartTablesPluggedIn)
{
    ProgramState state;
    FakePlatform fakes;
    ChartDatumController controller { state.chartRef, fakes.platform };
    fakes.prompter.answer({ true, true });
    ChartOffsetFields fields { 60, 0 };
    controller.Cht2WGS84Click(fields);
    EXPECT_EQ(state.chartRef.ChartLatOffset, 0.0);
    EXPECT_TRUE(
        fakes.prompter.lastMessageIs("Done - Click OK to redraw chart. Save the chart to update files on disk"));
}
