#include "ChartTestSupport.h"
#include "charts/ChartEditor.h"

#include "core/Format.h"
#include "core/TextFile.h"
#include "support/RunTool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace kv;
using kvtest::RunKvtool;

namespace {

bool ImporterBuilt()
{
    return RunKvtool({ "--help" }).out.find("chart-import") != std::string::npos;
}

std::string InfoText(
    long long points, bool partial, long long penUps, std::array<long long, 7> types, const std::string& bounds)
{
    std::string text = "points: " + std::to_string(points) + "\npartial: " + (partial ? "yes" : "no")
        + "\npenups: " + std::to_string(penUps) + "\n";
    for (std::size_t t = 0; t < types.size(); ++t) {
        text += "type" + std::to_string(t) + ": " + std::to_string(types[t]) + "\n";
    }
    return text + "bounds: " + bounds + "\n";
}

} // namespace

TEST(ChartInfoTool, ReportsWhatTheStoreTakes)
{
    kvtest::TempDir dir;
    dir.write("c.cht",
        kvtest::ChartImage({ ChartPoint::make(50.5, 1.25, 0), ChartPoint::make(-10.25, -3.5, 3), ChartPoint::penUp(),
            ChartPoint::make(20, 170, 6) }));
    auto r = RunKvtool({ "chart-info", dir.file("c.cht") });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, InfoText(4, false, 1, { 1, 0, 0, 1, 0, 0, 1 }, "-10.250000 -3.500000 50.500000 170.000000"));
    // A partial record: every whole record counts, the pen-up at the end included.
    dir.write("p.cht", kvtest::ChartImage({ ChartPoint::make(1, 2) }) + "xyz");
    r = RunKvtool({ "chart-info", dir.file("p.cht") });
    EXPECT_EQ(r.out, InfoText(2, true, 1, { 1, 0, 0, 0, 0, 0, 0 }, "1.000000 2.000000 1.000000 2.000000"));
    for (const std::string& bytes : { std::string(), std::string(11, 'x'), kvtest::ChartImage({}) }) {
        dir.write("e.cht", bytes);
        r = RunKvtool({ "chart-info", dir.file("e.cht") });
        EXPECT_EQ(r.out, InfoText(0, bytes.size() == 11, 0, {}, "none")) << bytes.size();
    }
    // More than the store holds: what it takes.
    dir.write("big.cht", kvtest::ChartImage(kvtest::Line(10900)));
    EXPECT_THAT(RunKvtool({ "chart-info", dir.file("big.cht") }).out, ::testing::StartsWith("points: 10800\n"));
    EXPECT_EQ(RunKvtool({ "chart-info", dir.file("missing.cht") }).exitCode, 1);
    EXPECT_EQ(RunKvtool({ "chart-info" }).exitCode, 2);
}

TEST(ChartImportTool, SmallGeoJsonToAChartThatOpens)
{
    if (!ImporterBuilt()) {
        GTEST_SKIP() << "kvtool was built without GDAL";
    }
    kvtest::TempDir dir;
    dir.write("coast.geojson",
        R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[[-1.5,50.5],[-1.25,50.75],[-1.0,50.5]]}},
{"type":"Feature","properties":{},"geometry":{"type":"MultiPolygon","coordinates":[[[[1,-1],[2,-1],[2,-2],[1,-1]],[[1.2,-1.2],[1.5,-1.2],[1.5,-1.5],[1.2,-1.2]]]]}},
{"type":"Feature","properties":{},"geometry":{"type":"Point","coordinates":[3,3]}}]})");
    std::filesystem::create_directories(dir.file("charts"));
    auto r = RunKvtool(
        { "chart-import", dir.file("coast.geojson"), dir.file("charts/coast.cht"), "--layer-type", "coast=4" });
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_THAT(r.out, ::testing::HasSubstr("skipped 1 point features"));
    EXPECT_THAT(r.out, ::testing::HasSubstr("dropped 0 of 11 points"));
    // 3 + 4 + 4 points and two pen-ups between the three lines.
    EXPECT_EQ(RunKvtool({ "chart-info", dir.file("charts/coast.cht") }).out,
        InfoText(13, false, 2, { 0, 0, 0, 0, 11, 0, 0 }, "-2.000000 -2.000000 50.750000 1.500000"));

    kvtest::ChartProgram p;
    p.files.OpenChart(dir.file("charts/coast.cht"));
    EXPECT_EQ(p.state.chart.count(), 13);
    EXPECT_TRUE(p.state.chart.point(4).isPenUp());
    EXPECT_DOUBLE_EQ(p.state.chart.point(1).lon(), 1.5); // 1.5 W
    EXPECT_DOUBLE_EQ(p.state.chart.point(5).lon(), -1.0); // 1 E
    EXPECT_EQ(p.state.chart.point(5).lineType(), 4);
    EXPECT_EQ(p.messages(), (std::vector<std::string> { "Total chart points = 13" }));
    // The configuration centres the chart and its zoom shows all of it: both spans fit the screen.
    const ChartGeometry& g = p.state.chartGeometry;
    EXPECT_NEAR(g.ChartCentreLat, 24.375, 1e-9);
    EXPECT_NEAR(g.ChartCentreLong, -0.25, 1e-9);
    EXPECT_LE(52.75 * g.LatBaseScale * g.ChartZoom, g.SurfaceHeight);
    EXPECT_LE(3.5 * g.LongBaseScale * g.ChartZoom, g.SurfaceWidth);
    EXPECT_GT(52.75 * g.LatBaseScale * g.ChartZoom, 0.8 * g.SurfaceHeight);
    EXPECT_DOUBLE_EQ(p.state.chartRef.ChartLatOffset, 0.0);
}

TEST(ChartImportTool, SimplifiesToFitAndRefusesBadInput)
{
    if (!ImporterBuilt()) {
        GTEST_SKIP() << "kvtool was built without GDAL";
    }
    kvtest::TempDir dir;
    // A wiggly coast of 15000 points and 30 tiny islands.
    std::string coords;
    for (int i = 0; i < 15000; ++i) {
        coords += (i ? "," : "") + std::string("[") + FormatFixed(-5 + i * 0.0005, 0, 6) + ","
            + FormatFixed(50 + 0.01 * std::sin(i * 0.3), 0, 6) + "]";
    }
    std::string features
        = R"({"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[)" + coords + "]}}";
    for (int k = 0; k < 30; ++k) {
        const std::string x = FormatFixed(k * 0.1, 0, 3);
        features += R"(,{"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[[[)" + x
            + ",40],[" + x + ",40.0001],[" + x + "1,40],[" + x + ",40]]]}}";
    }
    dir.write("big.geojson", R"({"type":"FeatureCollection","features":[)" + features + "]}");
    auto r = RunKvtool({ "chart-import", dir.file("big.geojson"), dir.file("big.cht"), "--max-points", "2000" });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_THAT(r.out, ::testing::HasSubstr("simplified with tolerance"));
    EXPECT_THAT(r.out, ::testing::HasSubstr("lines dropped whole"));
    const ChartRecords chart = ReadChartRecords(dir.file("big.cht"));
    EXPECT_LE(chart.taken, 2000);
    EXPECT_GT(chart.taken, 100);
    // Without simplification it does not fit: an error and no file.
    r = RunKvtool({ "chart-import", dir.file("big.geojson"), dir.file("no.cht"), "--no-simplify" });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(FileExists(dir.file("no.cht")));
    EXPECT_EQ(RunKvtool({ "chart-import", dir.file("none.geojson"), dir.file("x.cht") }).exitCode, 1);
    EXPECT_EQ(RunKvtool({ "chart-import", dir.file("big.geojson"), dir.file("gone/x.cht") }).exitCode, 1);
    EXPECT_EQ(RunKvtool({ "chart-import", dir.file("big.geojson"), dir.file("x.cht"), "--type", "7" }).exitCode, 2);
    dir.write("junk.geojson", "{not json");
    EXPECT_EQ(RunKvtool({ "chart-import", dir.file("junk.geojson"), dir.file("x.cht") }).exitCode, 1);
    EXPECT_FALSE(FileExists(dir.file("x.cht")));
}

TEST(ChartImportTool, LinesAreCutWhereTheyCrossTheAntimeridian)
{
    if (!ImporterBuilt()) {
        GTEST_SKIP() << "kvtool was built without GDAL";
    }
    kvtest::TempDir dir;
    // An island ring that wraps from +179 to -179 east, as world data does at the date line.
    dir.write("fiji.geojson",
        R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
        R"("geometry":{"type":"Polygon","coordinates":[[[178,-16],[180,-16.5],[-180,-16.5],)"
        R"([-179,-17],[-180,-17.5],[180,-17.5],[178,-16]]]}}]})");
    const auto r = RunKvtool({ "chart-import", dir.file("fiji.geojson"), dir.file("fiji.cht") });
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const ChartRecords chart = ReadChartRecords(dir.file("fiji.cht"));
    // Three pieces (east, west, east again): two pen-ups between them, none of the 360-degree steps.
    int penUps = 0;
    for (int i = 0; i < chart.taken; ++i) {
        const ChartPoint& a = chart.records[static_cast<std::size_t>(i)];
        penUps += a.isPenUp() ? 1 : 0;
        if (i > 0 && !a.isPenUp() && !chart.records[static_cast<std::size_t>(i - 1)].isPenUp()) {
            EXPECT_LT(std::fabs(a.lon() - chart.records[static_cast<std::size_t>(i - 1)].lon()), 180.0) << i;
        }
    }
    EXPECT_EQ(penUps, 2);
    EXPECT_EQ(chart.taken, 9); // 7 vertices and 2 pen-ups; the terminating pen-up is not taken
}

TEST(WorldChart, TheDefaultChartLoadsWhole)
{
    const std::string world = std::string(KV_SOURCE_DIR) + "/demo/charts/world.cht";
    const auto r = RunKvtool({ "chart-info", world });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(
        r.out, InfoText(5245, false, 127, { 5118, 0, 0, 0, 0, 0, 0 }, "-85.609038 -180.000000 83.645130 180.000000"));
    kvtest::ChartProgram p;
    p.files.OpenChart(world);
    EXPECT_EQ(p.state.chart.count(), 5245);
    EXPECT_EQ(p.state.chart.ChartName.str(), "world");
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartZoom, 0.03125);
    EXPECT_EQ(p.messages(), (std::vector<std::string> { "Total chart points = 5245" }));
}

TEST(WorldChart, RemadeFromNaturalEarthWhenTheDataIsAtHand)
{
    // The npm package world-atlas is not part of the repository; point KV_WORLD_ATLAS at its
    // land-110m.json to check that the committed chart is what the importer makes of it.
    const char* source = std::getenv("KV_WORLD_ATLAS");
    if (source == nullptr || !FileExists(source) || !ImporterBuilt()) {
        GTEST_SKIP() << "KV_WORLD_ATLAS not set or kvtool built without GDAL";
    }
    kvtest::TempDir dir;
    ASSERT_EQ(RunKvtool({ "chart-import", source, dir.file("world.cht") }).exitCode, 0);
    const std::string demo = std::string(KV_SOURCE_DIR) + "/demo/charts/";
    EXPECT_EQ(ReadWholeFile(dir.file("world.cht")), ReadWholeFile(demo + "world.cht"));
    EXPECT_EQ(ReadWholeFile(dir.file("world.cfg")), ReadWholeFile(demo + "world.cfg"));
}

TEST(SurveyGridTool, AppendsTheGridOrRefusesLeavingTheFileAlone)
{
    kvtest::TempDir dir;
    const std::vector<ChartPoint> base { ChartPoint::make(50.0, 1.0), ChartPoint::make(50.1, 1.0) };
    dir.write("s.cht", kvtest::ChartImage(base));
    auto r = RunKvtool({ "survey-grid", dir.file("s.cht"), "--centre", "50.05", "1.0", "--length", "200", "--spacing",
        "20", "--angle", "90", "--lines", "3", "--type", "2" });
    ASSERT_EQ(r.exitCode, 0);
    SurveyGrid g;
    g.length = 200;
    g.spacing = 20;
    g.angle = 90;
    g.lines = 3;
    // No chart configuration: longitudes are not scaled.
    EXPECT_EQ(r.out, SurveyGridStatus(g, 1.0) + "\n11\n");
    std::vector<ChartPoint> expected = base;
    const std::vector<ChartPoint> grid = SurveyGridRecords(g, 50.05, 1.0, 1.0, 2);
    // A save keeps one pen-up of the grid's closing pair, which is the file's terminator.
    expected.insert(expected.end(), grid.begin(), grid.end() - 1);
    EXPECT_EQ(dir.read("s.cht"), kvtest::ChartImage(expected, false));

    // Six lines need 20 slots; a chart of 10781 points leaves 19: refused, file untouched.
    std::vector<ChartPoint> big(10800 - 19, ChartPoint::make(50.0, 1.0));
    dir.write("full.cht", kvtest::ChartImage(big));
    r = RunKvtool({ "survey-grid", dir.file("full.cht"), "--centre", "50", "1", "--length", "100", "--spacing", "10",
        "--angle", "0", "--lines", "6" });
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(dir.read("full.cht"), kvtest::ChartImage(big));
}
