// The choices an ENC import makes without GDAL: symbols, light characters, the safety contour,
// sounding thinning, labels, the areas file and the portfolio's waypoint capacity.

#include "charts/EncChart.h"
#include "charts/ChartAreas.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using namespace kv;

namespace {

TEST(EncChart, LightCharactersAsChartsWriteThem)
{
    struct Case {
        EncAttributes light;
        const char* expected;
    };
    const Case cases[] = {
        { { { "LITCHR", "2" }, { "SIGGRP", "(2)" }, { "COLOUR", "3" }, { "SIGPER", "10" } }, "Fl(2)R.10s" },
        { { { "LITCHR", "2" }, { "SIGGRP", "(1)" }, { "COLOUR", "4" }, { "SIGPER", "5" } }, "Fl.G.5s" },
        { { { "LITCHR", "7" }, { "COLOUR", "1" }, { "SIGPER", "4" } }, "Iso.4s" }, // white unwritten
        { { { "LITCHR", "8" }, { "SIGGRP", "(2)" }, { "COLOUR", "1,3,4" }, { "SIGPER", "10" } }, "Oc(2)WRG.10s" },
        { { { "LITCHR", "25" }, { "SIGGRP", "(6)" }, { "SIGPER", "15" } }, "Q+LFl(6)15s" },
        { { { "LITCHR", "1" }, { "COLOUR", "3" } }, "F.R" },
        { { { "LITCHR", "4" } }, "Q" },
        { { { "LITCHR", "2" }, { "SIGPER", "2.5" } }, "Fl.2.5s" },
        { { { "LITCHR", "99" }, { "SIGPER", "3" } }, "" }, // unknown character
        { {}, "" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LightCharacter(c.light), c.expected);
    }
}

TEST(EncChart, SymbolsByKindAndColour)
{
    struct Case {
        const char* objectClass;
        EncAttributes attributes;
        std::optional<int> symbol;
    };
    const Case cases[] = {
        { "BOYLAT", { { "CATLAM", "1" }, { "COLOUR", "3" } }, 8 }, // port hand, red
        { "BOYLAT", { { "CATLAM", "2" }, { "COLOUR", "4" } }, 7 }, // starboard hand, green
        { "BOYLAT", { { "CATLAM", "1" }, { "COLOUR", "4" } }, 7 }, // colour wins (IALA B port is green)
        { "BCNLAT", { { "CATLAM", "2" } }, 7 },
        { "BCNLAT", {}, 11 }, // "Post or Pile"
        { "BOYCAR", { { "CATCAM", "1" } }, 12 },
        { "BOYCAR", { { "CATCAM", "2" } }, 3 },
        { "BCNCAR", { { "CATCAM", "3" } }, 6 },
        { "BOYCAR", { { "CATCAM", "4" } }, 9 },
        { "BOYISD", {}, 4 },
        { "BOYSAW", {}, 13 },
        { "BOYSPP", {}, 25 },
        { "LIGHTS", {}, 5 },
        { "RTPBCN", {}, 18 },
        { "WRECKS", { { "CATWRK", "2" } }, 14 },
        { "WRECKS", { { "CATWRK", "4" } }, 15 }, // showing its hull
        { "UWTROC", { { "WATLEV", "3" } }, 1 }, // always under water
        { "UWTROC", { { "WATLEV", "5" } }, 16 }, // awash
        { "OBSTRN", {}, 29 },
        { "DEPCNT", {}, std::nullopt },
        { "SOUNDG", {}, std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncSymbol(c.objectClass, c.attributes), c.symbol) << c.objectClass;
    }
}

TEST(EncChart, SafetyContourIsTheShallowestAtOrBelowTheSafetyDepth)
{
    const std::vector<double> values { 2, 20, 10, 5, 0, 30 };
    EXPECT_EQ(SafetyContour(values, 5.0), 5.0);
    EXPECT_EQ(SafetyContour(values, 6.0), 10.0);
    EXPECT_EQ(SafetyContour(values, 31.0), std::nullopt);
    const auto safety = SafetyContour(values, 6.0);
    EXPECT_EQ(DepthContourType(10.0, safety), kEncSafetyContourType);
    EXPECT_EQ(DepthContourType(5.0, safety), kEncShallowContourType);
    EXPECT_EQ(DepthContourType(20.0, safety), kEncDeepContourType);
    EXPECT_EQ(DepthContourType(0.0, safety), kEncDryingType);
    EXPECT_EQ(DepthContourType(3.0, std::nullopt), kEncShallowContourType);
}

TEST(EncChart, LabelsKeepTheLightCharacterWholeWithin24Characters)
{
    EXPECT_EQ(EncLabel("Pier Head", "Fl(2)R.10s"), "Pier Head Fl(2)R.10s");
    const std::string cut = EncLabel("Outer Harbour Breakwater Head", "Oc(2)WRG.10s");
    EXPECT_LE(cut.size(), 24u);
    EXPECT_EQ(cut, "Outer Harbo Oc(2)WRG.10s");
    EXPECT_EQ(EncLabel("", "Q"), "Q");
    EXPECT_EQ(EncLabel("A very long name of a buoy in the harbour", ""), "A very long name of a bu");
    EXPECT_EQ(DepthText(3.24), "3.2");
    EXPECT_EQ(DepthText(45.6), "46");
    EXPECT_EQ(DepthText(-1.2), "-1.2");
}

TEST(EncChart, SoundingsThinnedShallowestFirstWithoutOverlap)
{
    // A dense row of soundings 2 pixels apart at 1000 pixels a degree: labels of 3 characters
    // (21 pixels) can keep only about one in eleven; the shallowest must be among them.
    const PixelScales scales { 1000.0, 1000.0 };
    std::vector<TilerPoint> points;
    std::vector<double> depths;
    for (int i = 0; i < 200; ++i) {
        points.push_back({ 50.0, 1.0 - i * 0.002 });
        depths.push_back(5.0 + (i * 37 % 50) / 10.0);
    }
    depths[123] = 1.1;
    const auto kept = ThinSoundings(points, depths, scales, {}, 600, 7, 12);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.front(), 123u);
    EXPECT_LT(kept.size(), 30u);
    EXPECT_GT(kept.size(), 10u);
    for (std::size_t a = 0; a < kept.size(); ++a) {
        for (std::size_t b = a + 1; b < kept.size(); ++b) {
            const PixelBox ba = SoundingLabelBox(points[kept[a]], DepthText(depths[kept[a]]), scales, 7, 12);
            const PixelBox bb = SoundingLabelBox(points[kept[b]], DepthText(depths[kept[b]]), scales, 7, 12);
            EXPECT_FALSE(ba.overlaps(bb)) << kept[a] << " " << kept[b];
        }
    }
    // Room for three: the three placed are the three shallowest placeable ones, in depth order.
    const auto three = ThinSoundings(points, depths, scales, {}, 3, 7, 12);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_LE(depths[three[0]], depths[three[1]]);
    EXPECT_LE(depths[three[1]], depths[three[2]]);
    // A box already taken (an aid's symbol) keeps soundings off it.
    const PixelBox aid = SoundingLabelBox(points[123], "1.1", scales, 7, 12);
    const auto besideAid = ThinSoundings(points, depths, scales, { aid }, 600, 7, 12);
    EXPECT_EQ(std::count(besideAid.begin(), besideAid.end(), 123u), 0);
}

TEST(EncChart, ATileWithMoreAidsThanTheWaypointTableIsSplit)
{
    // 900 buoys along a coast line that fits one chart easily: the table of 600 forces a 2 × 2 grid.
    std::vector<EncFeature> features;
    EncFeature coast;
    coast.objectClass = "COALNE";
    coast.lines.push_back({ { 50.0, 1.0 }, { 50.2, 1.2 } });
    features.push_back(coast);
    for (int i = 0; i < 900; ++i) {
        EncFeature b;
        b.objectClass = "BOYSPP";
        b.points.push_back({ 50.0 + 0.2 * ((i * 7919) % 900) / 900.0, 1.0 + 0.2 * i / 900.0 });
        features.push_back(b);
    }
    const EncPortfolio p = BuildEncPortfolio(features, {}, EncImportOptions {});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.gridSize, 2);
    // Every buoy is in a tile (one on a cut line is in the tiles on both sides of it).
    std::set<std::pair<double, double>> placed;
    for (const EncTile& t : p.tiles) {
        EXPECT_LE(t.waypoints.size(), kWaypointCapacity);
        for (const ChartWaypoint& w : t.waypoints) {
            placed.insert({ w.lat, w.lon });
        }
    }
    EXPECT_EQ(p.aidsOutside, 0);
    EXPECT_EQ(placed.size(), 900u);
}

TEST(EncChart, ACellWithoutChartClassesIsRefused)
{
    EncFeature b;
    b.objectClass = "BOYSPP";
    b.points.push_back({ 50.0, 1.0 });
    const EncPortfolio p = BuildEncPortfolio({ b }, {}, EncImportOptions {});
    EXPECT_NE(p.error.find("none of the object classes"), std::string::npos) << p.error;
}

// --- the areas file -------------------------------------------------------------------------

ChartAreas SampleAreas()
{
    ChartAreas a;
    a.safetyDepth = 7.5;
    a.areas.push_back({ ChartAreaKind::Land, 0, 0, { { { 50, 1 }, { 50, 1.1 }, { 50.1, 1.1 }, { 50, 1 } } } });
    a.areas.push_back({ ChartAreaKind::Depth, -1.5, 5,
        { { { 49, 1 }, { 49, 2 }, { 49.5, 2 }, { 49, 1 } },
            { { 49.1, 1.5 }, { 49.1, 1.6 }, { 49.2, 1.6 }, { 49.1, 1.5 } } } });
    return a;
}

TEST(ChartAreasFile, WritesAndReadsBack)
{
    const ChartAreas a = SampleAreas();
    const ChartAreasRead r = ParseChartAreas(ChartAreasText(a));
    ASSERT_TRUE(r.areas) << r.error;
    EXPECT_EQ(*r.areas, a);
    kvtest::TempDir dir;
    ASSERT_TRUE(WriteChartAreasFile(dir.file("x.areas"), a));
    const auto back = ReadChartAreasFile(dir.file("x.areas"));
    ASSERT_TRUE(back.areas) << back.error;
    EXPECT_EQ(*back.areas, a);
    EXPECT_EQ(ChartAreasPath("/c/Harbour-A1.cht"), "/c/Harbour-A1.areas");
    // A cell's "unknown" depth is written as the deepest the file holds, and read back.
    ChartAreas deep = a;
    deep.areas.back().maxDepth = 99999.0;
    const ChartAreasRead d = ParseChartAreas(ChartAreasText(deep));
    ASSERT_TRUE(d.areas) << d.error;
    EXPECT_EQ(d.areas->areas.back().maxDepth, kChartAreasMaxDepth);
}

TEST(ChartAreasFile, DamagedFilesGiveAnErrorNamingTheLine)
{
    const std::string good = ChartAreasText(SampleAreas());
    struct Case {
        std::string text;
        std::string error; // the start of the message
    };
    const Case cases[] = {
        { "", "line 1: not an areas file" },
        { "KVFree chart areas 2\r\n", "line 1: not an areas file" },
        { good.substr(0, good.size() / 2), "line " }, // cut short
        { "KVFree chart areas 1\nLAND 1\nRING 3\n50 1\n50 x\n", "line 5: expected a position" },
        { "KVFree chart areas 1\nLAND 1\nRING 999999999999\n", "line 3: expected RING" }, // beyond the limit
        { "KVFree chart areas 1\nLAND -1\n", "line 2: the ring count" },
        { "KVFree chart areas 1\nDEPTH 1 nan 1\n", "line 2: DEPTH wants" },
        { "KVFree chart areas 1\nDEPTH 3e117 2 1\n", "line 2: DEPTH wants" },
        { "KVFree chart areas 1\nSEA 1\n", "line 2: expected SAFETY" },
        { "KVFree chart areas 1\nLAND 2\nRING 1\n50 1\n", "line 4: the file ends before ring 2" },
        { "KVFree chart areas 1\nLAND 1\nRING 2\n95 1\n50 1\n", "line 4: expected a position" },
        { "KVFree chart areas 1\nSAFETY -3\n", "line 2: SAFETY" },
    };
    for (const Case& c : cases) {
        const ChartAreasRead r = ParseChartAreas(c.text);
        EXPECT_FALSE(r.areas) << c.text;
        EXPECT_EQ(r.error.rfind(c.error, 0), 0u) << r.error << " for " << c.text;
    }
    // Comments and blank lines are no damage; a missing file is an error, not a crash.
    EXPECT_TRUE(ParseChartAreas("# made by hand\n\nKVFree chart areas 1\n# none\n").areas);
    EXPECT_FALSE(ReadChartAreasFile("/nonexistent/x.areas").areas);
}

TEST(ChartAreasFile, ClippingKeepsTheCoveredAreaOfEachPart)
{
    // A square 50-51 N, 1-2 W with a hole, cut into four quarters: the quarters' areas add up to
    // the whole, and the hole stays a hole in the quarter it lies in.
    ChartAreas a;
    a.areas.push_back({ ChartAreaKind::Depth, 0, 5,
        { { { 50, 1 }, { 50, 2 }, { 51, 2 }, { 51, 1 }, { 50, 1 } },
            { { 50.1, 1.1 }, { 50.1, 1.2 }, { 50.2, 1.2 }, { 50.2, 1.1 }, { 50.1, 1.1 } } } });
    const double whole = CoveredArea(a.areas.front(), 1.0);
    EXPECT_NEAR(whole, 1.0 - 0.01, 1e-12);
    double sum = 0.0;
    for (const TilerBox& box : { TilerBox { 50, 50.5, 1, 1.5 }, TilerBox { 50, 50.5, 1.5, 2 },
             TilerBox { 50.5, 51, 1, 1.5 }, TilerBox { 50.5, 51, 1.5, 2 } }) {
        const ChartAreas part = ClipChartAreas(a, box);
        for (const ChartArea& p : part.areas) {
            sum += CoveredArea(p, 1.0);
        }
    }
    EXPECT_NEAR(sum, whole, 1e-9);
    EXPECT_TRUE(ClipChartAreas(a, TilerBox { 52, 53, 1, 2 }).areas.empty());
}

} // namespace
