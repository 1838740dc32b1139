#include "ChartTestSupport.h"

#include "charts/WaypointFiles.h"
#include "support/Golden.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(Golden, ChartAndItsConfiguration)
{
    kvtest::ChartProgram p;
    ChartStore& s = p.state.chart;
    const std::vector<ChartPoint> points { ChartPoint::make(50.7625, 1.5408333, 0), ChartPoint::make(50.70, 1.10, 0),
        ChartPoint::penUp(), ChartPoint::penUp(), ChartPoint::make(-33.8568, -151.2153, 1),
        ChartPoint::make(-33.86, -151.21, 2), ChartPoint::penUp(), ChartPoint::make(0.0, 0.0, 3),
        ChartPoint::make(60.0, -5.0, 4), ChartPoint::make(-0.5, 179.5, 5), ChartPoint::make(89.0, -179.5, 6),
        ChartPoint::penUp() };
    for (std::size_t i = 0; i < points.size(); ++i) {
        s.setPoint(static_cast<int>(i) + 1, points[i]);
    }
    s.setCount(static_cast<int>(points.size()));
    p.state.chartGeometry.LastViewLat = 50.75;
    p.state.chartGeometry.LastViewLong = 1.3;
    p.state.chartGeometry.LastViewZoom = 12.5;
    p.state.chart.ReservedInteger = 2;
    p.state.chartRef.ChartLatOffset = -0.00125;
    p.state.chartRef.ChartLongOffset = 0.0015;
    p.files.SaveChart(p.chartPath("golden.cht"));
    EXPECT_EQ(p.state.display.StatusLine, "Removed 2 empty points");
    const std::string chart = p.dir.read("charts/golden.cht");
    kvtest::ExpectGolden("charts/golden/golden.cht", chart);
    kvtest::ExpectGolden("charts/golden/golden.cfg", p.dir.read("charts/golden.cfg"));
    // Spot checks made by hand: the file ends in the pen-up 81 00 00 00 00 80 twice, and the
    // first longitude 1.5408333 has exponent byte 0x81 (2^0) and a positive sign.
    ASSERT_EQ(chart.size(), 11 * kChartRecordSize);
    EXPECT_EQ(chart.substr(chart.size() - 12), std::string("\x81\0\0\0\0\x80\x81\0\0\0\0\x80", 12));
    EXPECT_EQ(static_cast<unsigned char>(chart[6]), 0x81);
    EXPECT_EQ(static_cast<unsigned char>(chart[11]) & 0x80, 0);
}

TEST(Golden, WaypointDatabaseBothLayouts)
{
    ChartWaypoints table;
    table.push({ WaypointNameField("Bembridge Ledge Buoy ECM", 3), 50.6833333, 1.0333333 });
    table.push({ WaypointNameField("Nab Tower", 5, 12), 50.6675, 0.9519444 });
    table.push({ WaypointNameField("Le Havre LHD", 13), 49.5311, -0.1533 });
    table.push({ WaypointNameField("Sydney Heads", 20, 0), -33.8333333, -151.2833333 });
    table.push({ WaypointNameField("Far West", 21, 99), 0.0, 179.9999999 });
    kvtest::TempDir dir;
    ASSERT_TRUE(WriteWaypointFile(dir.file("golden.wpt"), PositionLayout::Wpt, table));
    ASSERT_TRUE(WriteWaypointFile(dir.file("golden.wps"), PositionLayout::Dos, table));
    kvtest::ExpectGolden("charts/golden/golden.wpt", dir.read("golden.wpt"));
    kvtest::ExpectGolden("charts/golden/golden.wps", dir.read("golden.wps"));
    // And they read back to the same table within the precision of their minutes.
    for (const auto layout : { PositionLayout::Wpt, PositionLayout::Dos }) {
        ChartWaypoints back;
        bool formatError = false;
        ASSERT_TRUE(ReadWaypointFile(
            dir.file(layout == PositionLayout::Wpt ? "golden.wpt" : "golden.wps"), layout, back, formatError));
        EXPECT_FALSE(formatError);
        ASSERT_EQ(back.count(), table.count());
        const double tolerance = layout == PositionLayout::Wpt ? 0.5e-5 / 60 : 0.5e-2 / 60;
        for (std::size_t i = 1; i <= table.count(); ++i) {
            EXPECT_EQ(back.at(i).name, table.at(i).name);
            EXPECT_NEAR(back.at(i).lat, table.at(i).lat, tolerance);
            EXPECT_NEAR(back.at(i).lon, table.at(i).lon, tolerance);
        }
    }
}
