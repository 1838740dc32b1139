#include "charts/ChartTiler.h"
#include "charts/ChartIndex.h"
#include "core/TextFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <map>

using namespace kv;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The test area: 50-51 N, 1-3 W (west positive).
const TilerBox kArea { 50.0, 51.0, 1.0, 3.0 };

// A wiggly island: a ring of n points round (lat, lon), closed (last point = first).
TilerLine Island(double lat, double lon, double radius, int n, int wiggles)
{
    TilerLine l;
    l.polygon = true;
    for (int i = 0; i <= n; ++i) {
        const double a = 2 * kPi * (i % n) / n;
        // Rough as a real coast: a fixed pseudo-random step at every point survives simplification.
        const double rough = static_cast<double>((i % n) * 7919 % 101) / 101.0 - 0.5;
        const double r
            = radius * (1.0 + 0.15 * std::sin(wiggles * a) + 0.05 * std::sin(7.3 * wiggles * a) + 0.04 * rough);
        l.points.push_back({ lat + r * std::sin(a), lon + r * 1.6 * std::cos(a) });
    }
    return l;
}

// A synthetic coast: islands across the area (some crossing its edge and the grid's cut lines),
// a land polygon whose south edge lies exactly on the 50.5 N cut line and whose west part runs
// beyond the area, and an open depth contour of line type 3.
std::vector<TilerLine> Source(int scale)
{
    std::vector<TilerLine> lines;
    lines.push_back(Island(50.5, 2.0, 0.2, 800 * scale, 9)); // on the centre cut lines
    lines.push_back(Island(50.2, 1.3, 0.12, 400 * scale, 5));
    lines.push_back(Island(50.8, 2.7, 0.1, 300 * scale, 4));
    lines.push_back(Island(50.05, 2.95, 0.15, 300 * scale, 6)); // over the area's south-west corner
    TilerLine land;
    land.polygon = true;
    land.points = { { 50.5, 2.6 }, { 50.5, 3.4 }, { 50.7, 3.4 }, { 50.7, 2.8 }, { 50.62, 2.6 }, { 50.5, 2.6 } };
    lines.push_back(land);
    TilerLine contour;
    contour.lineType = 3;
    for (int i = 0; i <= 200 * scale; ++i) {
        const double t = static_cast<double>(i) / (200 * scale);
        contour.points.push_back({ 50.3 + 0.05 * std::sin(t * 20), 1.1 + 1.8 * t });
    }
    lines.push_back(contour);
    return lines;
}

PortfolioOptions Options(long long maxRecords)
{
    PortfolioOptions o;
    o.prefix = "Test";
    o.maxRecords = maxRecords;
    return o;
}

// The drawn segments of a chart as the program will read them back.
struct Segment {
    TilerPoint a, b;
};
std::vector<Segment> DrawnSegments(const PortfolioChart& chart)
{
    std::vector<Segment> out;
    const std::vector<ChartPoint> records = ChartRecordsOf(chart.lines);
    for (std::size_t i = 1; i < records.size(); ++i) {
        if (!records[i - 1].isPenUp() && !records[i].isPenUp()) {
            out.push_back({ { records[i - 1].lat(), records[i - 1].lon() }, { records[i].lat(), records[i].lon() } });
        }
    }
    return out;
}

double PixelDistance(const TilerPoint& p, const Segment& s, const PixelScales& k)
{
    const double px = p.lon * k.lon, py = p.lat * k.lat;
    const double ax = s.a.lon * k.lon, ay = s.a.lat * k.lat;
    const double dx = s.b.lon * k.lon - ax, dy = s.b.lat * k.lat - ay;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / len2, 0.0, 1.0) : 0.0;
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

bool OnSide(const TilerPoint& u, const TilerPoint& v, const TilerBox& b)
{
    // The cut-line test of the tiler (1e-9 degrees) less the rounding of the chart's 48-bit reals.
    auto near = [](double x, double y) { return std::fabs(x - y) < 5e-10; };
    return (near(u.lat, b.south) && near(v.lat, b.south)) || (near(u.lat, b.north) && near(v.lat, b.north))
        || (near(u.lon, b.east) && near(v.lon, b.east)) || (near(u.lon, b.west) && near(v.lon, b.west));
}

std::map<std::string, std::string> FolderBytes(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        files[e.path().filename().string()] = ReadWholeFile(e.path().string()).value_or("<unreadable>");
    }
    return files;
}

} // namespace

TEST(ChartTiler, ClipsLinesToTheBoxAndLeavesCutEdgesOfAreasUndrawn)
{
    const TilerBox box { 0.0, 1.0, 0.0, 1.0 };
    struct Case {
        const char* what;
        TilerLine line;
        std::vector<std::vector<TilerPoint>> expected;
    };
    const Case cases[] = {
        { "a line crossing the box is cut at both sides", { { { 0.5, -1.0 }, { 0.5, 2.0 } }, 0, false },
            { { { 0.5, 0.0 }, { 0.5, 1.0 } } } },
        { "a line that leaves and comes back is two lines",
            { { { 0.2, 0.5 }, { 0.2, 1.5 }, { 0.8, 1.5 }, { 0.8, 0.5 } }, 0, false },
            { { { 0.2, 0.5 }, { 0.2, 1.0 } }, { { 0.8, 1.0 }, { 0.8, 0.5 } } } },
        { "an open line along a side is kept", { { { 0.0, 0.2 }, { 0.0, 0.8 } }, 2, false },
            { { { 0.0, 0.2 }, { 0.0, 0.8 } } } },
        { "an area's edge along a side is not drawn",
            { { { 0.0, 0.2 }, { 0.0, 0.8 }, { 0.5, 0.5 }, { 0.0, 0.2 } }, 0, true },
            { { { 0.0, 0.8 }, { 0.5, 0.5 }, { 0.0, 0.2 } } } },
        { "a ring cut open runs on through its first point, its cut edge left out",
            { { { 0.5, 0.5 }, { 0.5, 1.5 }, { 1.5, 1.5 }, { 1.5, 0.5 }, { 0.5, 0.5 } }, 0, true },
            { { { 1.0, 0.5 }, { 0.5, 0.5 }, { 0.5, 1.0 } } } },
        { "a line wholly outside gives nothing", { { { 2.0, 2.0 }, { 3.0, 3.0 } }, 0, false }, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto out = ClipLines({ c.line }, box);
        ASSERT_EQ(out.size(), c.expected.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(out[i].points, c.expected[i]);
            EXPECT_EQ(out[i].lineType, c.line.lineType);
        }
    }
}

TEST(ChartTiler, SplitsTheGridUntilEveryTileFitsTheStore)
{
    const auto source = Source(4);
    for (long long max : { 10800LL, 1500LL, 400LL }) {
        SCOPED_TRACE(max);
        const Portfolio p = BuildPortfolio(source, kArea, Options(max));
        ASSERT_EQ(p.error, "");
        ASSERT_FALSE(p.tiles.empty());
        for (const auto& t : p.tiles) {
            EXPECT_LE(RecordsOf(t.lines), max) << t.name;
            EXPECT_LE(ChartRecordsOf(t.lines).size(), static_cast<std::size_t>(max)) << t.name;
        }
        if (max == 10800) {
            EXPECT_EQ(p.gridSize, 1);
            EXPECT_EQ(p.tiles.front().name, "Test-A1");
        } else {
            EXPECT_GT(p.gridSize, 1);
        }
    }
    // A smaller store needs a finer grid.
    EXPECT_GT(
        BuildPortfolio(source, kArea, Options(400)).gridSize, BuildPortfolio(source, kArea, Options(1500)).gridSize);
}

TEST(ChartTiler, NoSourcePointLiesFartherFromItsTileThanTheTolerance)
{
    const auto source = Source(1);
    for (const auto& [tolerance, max] : { std::pair { 0.5, 600LL }, std::pair { 3.0, 150LL } }) {
        SCOPED_TRACE(tolerance);
        PortfolioOptions o = Options(max);
        o.tolerancePx = tolerance;
        const Portfolio p = BuildPortfolio(source, kArea, o);
        ASSERT_EQ(p.error, "");
        ASSERT_GT(p.gridSize, 1);
        long long checked = 0, simplifiedAway = 0;
        for (const auto& t : p.tiles) {
            const auto segments = DrawnSegments(t);
            const PixelScales scales = ViewScales(t.config.centreLat, t.config.zoom, 1024, 768);
            simplifiedAway += t.simplifiedAway;
            for (const auto& line : source) {
                for (const auto& pt : line.points) {
                    // Points on a cut line belong to the edge left undrawn.
                    if (!(pt.lat > t.box.south + 1e-7 && pt.lat < t.box.north - 1e-7 && pt.lon > t.box.east + 1e-7
                            && pt.lon < t.box.west - 1e-7)) {
                        continue;
                    }
                    double best = 1e9;
                    for (const auto& s : segments) {
                        best = std::min(best, PixelDistance(pt, s, scales));
                    }
                    ++checked;
                    ASSERT_LE(best, tolerance + 1e-6) << t.name << " " << pt.lat << " " << pt.lon;
                }
            }
        }
        EXPECT_GT(checked, 1500);
        EXPECT_GT(simplifiedAway, 0); // the tolerance did remove points
    }
}

TEST(ChartTiler, DrawsNoEdgeAlongACutLine)
{
    const Portfolio p = BuildPortfolio(Source(2), kArea, Options(800));
    ASSERT_EQ(p.error, "");
    ASSERT_GE(p.gridSize, 2); // the land's south edge lies on the 50.5 N cut line
    int segments = 0;
    for (const auto& t : p.tiles) {
        for (const auto& s : DrawnSegments(t)) {
            ++segments;
            EXPECT_FALSE(OnSide(s.a, s.b, t.box)) << std::setprecision(17) << t.name << " " << s.a.lat << "," << s.a.lon
                                                  << " - " << s.b.lat << "," << s.b.lon;
        }
    }
    for (const auto& s : DrawnSegments(p.overview)) {
        EXPECT_FALSE(OnSide(s.a, s.b, kArea));
    }
    EXPECT_GT(segments, 1000);
}

TEST(ChartTiler, TheSameSourceWritesTheSameBytes)
{
    kvtest::TempDir one, two;
    for (const auto* dir : { &one, &two }) {
        const Portfolio p = BuildPortfolio(Source(2), kArea, Options(700));
        ASSERT_EQ(p.error, "");
        std::string error;
        ASSERT_TRUE(WritePortfolio(p, dir->path(), error)) << error;
    }
    const auto a = FolderBytes(one.path());
    EXPECT_EQ(a, FolderBytes(two.path()));
    EXPECT_TRUE(a.count("TestPortfolio.cht") && a.count("TestPortfolio.cfg"));
    EXPECT_GT(a.size(), 4u);
}

TEST(ChartTiler, TheOverviewFitsOneStore)
{
    // Thousands of islets: more than one store holds even where each is a speck on the overview,
    // yet few enough per tile of a fine grid.
    std::vector<TilerLine> islets;
    for (int i = 0; i < 3000; ++i) {
        const double lat = 50.02 + 0.96 * std::fmod(i * 0.618034, 1.0);
        const double lon = 1.02 + 1.96 * std::fmod(i * 0.414214, 1.0);
        islets.push_back(Island(lat, lon, 0.004, 8, 2));
    }
    ASSERT_GT(RecordsOf(islets), 10800);
    for (long long max : { 10800LL, 5000LL }) {
        SCOPED_TRACE(max);
        PortfolioOptions o = Options(10800);
        o.overviewMaxRecords = max;
        const Portfolio p = BuildPortfolio(islets, kArea, o);
        ASSERT_EQ(p.error, "");
        EXPECT_GT(p.gridSize, 1);
        EXPECT_LE(RecordsOf(p.overview.lines), max);
        EXPECT_LE(ChartRecordsOf(p.overview.lines).size(), static_cast<std::size_t>(max));
        EXPECT_TRUE(p.overview.tolerancePx > 0.5 || p.overview.droppedLines > 0);
        EXPECT_GT(p.overview.lines.size(), 100u); // fitting did not throw everything away
        EXPECT_EQ(p.overview.name, "TestPortfolio");
    }
}

TEST(ChartTiler, TheNearestChartInsideATileIsThatTileNeverTheOverview)
{
    for (long long max : { 10800LL, 1500LL, 500LL }) {
        SCOPED_TRACE(max);
        kvtest::TempDir dir;
        const Portfolio p = BuildPortfolio(Source(2), kArea, Options(max));
        ASSERT_EQ(p.error, "");
        std::string error;
        ASSERT_TRUE(WritePortfolio(p, dir.path(), error)) << error;
        ChartIndex index;
        index.Rebuild(dir.path() + "/");
        ASSERT_EQ(index.count(), static_cast<int>(p.tiles.size()) + 1); // the overview is indexed too
        // The overview's centre is off the area (it would otherwise be the nearest chart round
        // the middle of it), and its zoom still shows the whole area.
        EXPECT_FALSE(kArea.contains({ p.overview.config.centreLat, p.overview.config.centreLong }));
        const PixelScales s = ViewScales(p.overview.config.centreLat, p.overview.config.zoom, 1024, 768);
        EXPECT_LE(std::fabs(kArea.north - p.overview.config.centreLat) * s.lat, 384.0 + 1e-6);
        EXPECT_LE(std::fabs(kArea.south - p.overview.config.centreLat) * s.lat, 384.0 + 1e-6);

        std::vector<CurrentChart> currents { { p.overview.name, p.overview.config.centreLat,
                                                 p.overview.config.centreLong },
            { "world", 0.0, 0.0 }, { "arctic", 80.0, 0.0 } };
        for (const auto& t : p.tiles) {
            currents.push_back({ t.name, t.config.centreLat, t.config.centreLong });
        }
        int checked = 0;
        for (const auto& t : p.tiles) {
            for (double fy : { 0.01, 0.3, 0.5, 0.99 }) {
                for (double fx : { 0.01, 0.5, 0.7, 0.99 }) {
                    const double lat = t.box.south + fy * (t.box.north - t.box.south);
                    const double lon = t.box.east + fx * (t.box.west - t.box.east);
                    for (const auto& current : currents) {
                        ++checked;
                        ASSERT_EQ(NearestChartName(index, lat, lon, current), t.name)
                            << "at " << lat << " " << lon << " from " << current.name;
                    }
                }
            }
        }
        EXPECT_GT(checked, 0);
    }
}

TEST(ChartTiler, AnOverviewNamedPortfolioStaysInTheMiddle)
{
    PortfolioOptions o = Options(800);
    o.prefix = "";
    const Portfolio p = BuildPortfolio(Source(1), kArea, o);
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.overview.name, "Portfolio");
    // The index leaves PORTFOLIO.CFG out, so nothing forces it away from the middle.
    EXPECT_DOUBLE_EQ(p.overview.config.centreLat, kArea.centreLat());
    EXPECT_DOUBLE_EQ(p.overview.config.centreLong, kArea.centreLong());
    EXPECT_DOUBLE_EQ(p.overview.config.zoom, FullChartZoom(kArea, 1024, 768));
}

TEST(ChartTiler, RefusesAnEmptyAreaAndTooManyTiles)
{
    EXPECT_NE(BuildPortfolio(Source(1), TilerBox { 51.0, 50.0, 1.0, 3.0 }, Options(800)).error, "");
    EXPECT_NE(BuildPortfolio(Source(1), TilerBox { 50.0, 51.0, 3.0, 1.0 }, Options(800)).error, "");
    PortfolioOptions few = Options(300);
    few.maxCharts = 3;
    const Portfolio p = BuildPortfolio(Source(1), kArea, few);
    EXPECT_NE(p.error.find("index"), std::string::npos) << p.error;
}

TEST(ChartPortfolioTool, CutsAGeoJsonCoastIntoNamedTilesAndAnOverview)
{
    if (kvtest::RunKvtool({ "--help" }).out.find("chart-portfolio") == std::string::npos) {
        GTEST_SKIP() << "kvtool was built without GDAL";
    }
    kvtest::TempDir dir;
    // An island of 400 points round 50.7 N 1.25 W (east-positive -1.25 in the source), part of it
    // beyond the area's north edge.
    std::string ring;
    for (int i = 0; i <= 400; ++i) {
        const double a = 2 * kPi * (i % 400) / 400;
        const double r = 0.1 * (1.0 + 0.1 * std::sin(9 * a) + 0.03 * (((i % 400) * 37 % 11) / 11.0 - 0.5));
        char point[64];
        std::snprintf(
            point, sizeof point, "%s[%.7f,%.7f]", i ? "," : "", -1.25 + 1.6 * r * std::cos(a), 50.7 + r * std::sin(a));
        ring += point;
    }
    dir.write("isle.geojson",
        R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},)"
        R"("geometry":{"type":"Polygon","coordinates":[[)"
            + ring + "]]}}]}");
    std::filesystem::create_directories(dir.file("out"));
    const std::vector<std::string> args { "chart-portfolio", dir.file("isle.geojson"), dir.file("out"), "--bounds",
        "50.5", "-1.5", "50.75", "-1.0", "--name", "Isle", "--max-points", "150" };
    auto r = kvtest::RunKvtool(args);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("grid 2 x 2"), std::string::npos) << r.out;
    for (const char* name : { "Isle-A1", "Isle-B1", "IslePortfolio" }) {
        EXPECT_NE(r.out.find(name), std::string::npos) << name;
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string("out/") + name + ".cht"))) << name;
        EXPECT_TRUE(std::filesystem::exists(dir.file(std::string("out/") + name + ".cfg"))) << name;
    }
    EXPECT_NE(r.out.find("total "), std::string::npos);
    // Longitudes come out west positive: the island's tiles lie round 1.25 W.
    const auto config = ReadChartConfigFile(dir.file("out/Isle-A1.cfg"));
    ASSERT_TRUE(config.has_value());
    EXPECT_DOUBLE_EQ(config->centreLong, 1.375);
    EXPECT_DOUBLE_EQ(config->centreLat, 50.6875);
    // The same run again writes the same bytes.
    const auto before = FolderBytes(dir.file("out"));
    ASSERT_EQ(kvtest::RunKvtool(args).exitCode, 0);
    EXPECT_EQ(FolderBytes(dir.file("out")), before);

    // Usage errors and a source that cannot be read.
    EXPECT_EQ(kvtest::RunKvtool({ "chart-portfolio", dir.file("isle.geojson"), dir.file("out") }).exitCode, 2);
    EXPECT_EQ(kvtest::RunKvtool({ "chart-portfolio", dir.file("isle.geojson"), dir.file("out"), "--bounds", "50.75",
                                    "-1.5", "50.5", "-1.0" })
                  .exitCode,
        2);
    EXPECT_EQ(kvtest::RunKvtool({ "chart-portfolio", dir.file("isle.geojson"), dir.file("out"), "--bounds", "50.5",
                                    "-1.5", "50.75", "-1.0", "--name", "a.b" })
                  .exitCode,
        2);
    EXPECT_EQ(kvtest::RunKvtool({ "chart-portfolio", dir.file("none.geojson"), dir.file("out"), "--bounds", "50.5",
                                    "-1.5", "50.75", "-1.0" })
                  .exitCode,
        1);
}

TEST(ChartTiler, TheDemoSolentPortfolioLoadsTheTileTheVesselIsIn)
{
    const std::string folder = std::string(KV_SOURCE_DIR) + "/demo/charts/solent/";
    ChartIndex index;
    index.Rebuild(folder);
    ASSERT_EQ(index.count(), 15); // 14 tiles with coastline and the overview
    const CurrentChart overview { "SolentPortfolio", index.entry(index.count()).centreLat,
        index.entry(index.count()).centreLong };
    ASSERT_EQ(index.entry(index.count()).fileName, "SolentPortfolio.cfg");
    for (const auto& e : index.entries()) {
        const auto records = ReadChartRecords(folder + e.fileName.substr(0, e.fileName.size() - 4) + ".cht");
        ASSERT_TRUE(records.opened) << e.fileName;
        EXPECT_LE(records.taken, static_cast<long long>(kChartCapacity)) << e.fileName;
    }
    // Under way from the Needles to Portsmouth: tile after tile, never the overview.
    struct Fix {
        double lat, lon;
        const char* tile;
    };
    const Fix voyage[] = { { 50.662, 1.590, "Solent-B3" }, { 50.700, 1.520, "Solent-B3" },
        { 50.735, 1.460, "Solent-B2" }, { 50.760, 1.400, "Solent-C2" }, { 50.770, 1.300, "Solent-C2" },
        { 50.775, 1.190, "Solent-D2" }, { 50.790, 1.110, "Solent-D2" }, { 50.820, 1.100, "Solent-D1" } };
    CurrentChart current = overview;
    for (const Fix& f : voyage) {
        const std::string name = NearestChartName(index, f.lat, f.lon, current);
        EXPECT_EQ(name, f.tile) << f.lat << " " << f.lon;
        const auto config = ReadChartConfigFile(folder + name + ".cfg");
        ASSERT_TRUE(config.has_value());
        current = { name, config->centreLat, config->centreLong };
    }
}
