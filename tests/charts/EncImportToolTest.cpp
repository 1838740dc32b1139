// kvtool enc-import on cells made with GDAL's S-57 writer (scripts/make_s57_cell.py): the tiles,
// the safety contour, the aids to navigation, the soundings, the areas files, and bad input.

#include "charts/ChartAreas.h"
#include "charts/ChartFiles.h"
#include "charts/ChartIndex.h"
#include "charts/EncChart.h"
#include "charts/WaypointFiles.h"
#include "core/TextFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using namespace kv;

namespace {

namespace fs = std::filesystem;

bool HaveGdal()
{
    return kvtest::RunKvtool({ "--help" }).out.find("enc-import") != std::string::npos
        && kvtest::RunShell("command -v ogr2ogr >/dev/null 2>&1").exitCode == 0;
}

// Makes a cell from a description (see scripts/make_s57_cell.py); false when the writer failed.
bool MakeCell(const kvtest::TempDir& dir, const std::string& name, const std::string& features,
    const std::string& cellOptions = "\"S57_CSCL\": 22000, \"S57_EDTN\": 4, \"S57_UPDN\": 0, "
                                     "\"S57_UADT\": \"20260301\", \"S57_ISDT\": \"20260301\"")
{
    dir.write(name + ".json", "{\"cell\": {" + cellOptions + "}, \"features\": [" + features + "]}");
    const auto r = kvtest::RunShell("python3 "
        + kvtest::ShellQuote(std::string(KV_SOURCE_DIR) + "/scripts/make_s57_cell.py") + " "
        + kvtest::ShellQuote(dir.file(name + ".json")) + " " + kvtest::ShellQuote(dir.file(name + ".000")) + " 2>&1");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    return r.exitCode == 0;
}

std::string Line(const std::vector<std::pair<double, double>>& lonLat)
{
    std::ostringstream s;
    s.precision(10);
    s << "[";
    for (std::size_t i = 0; i < lonLat.size(); ++i) {
        s << (i ? "," : "") << "[" << lonLat[i].first << "," << lonLat[i].second << "]";
    }
    s << "]";
    return s.str();
}

std::string Box(double south, double north, double west, double east) // east-positive longitudes
{
    return Line({ { west, south }, { east, south }, { east, north }, { west, north }, { west, south } });
}

// The harbour: land to the north (50.68-50.70 N) with a coastline along it, depth areas in bands
// south of it, contours of 2, 5 and 10 m between them, six aids and a dense field of soundings.
struct Aid {
    const char* feature;
    double lat, lonEast;
    int symbol;
    const char* label;
};
const Aid kAids[] = {
    { "{\"class\": \"BOYLAT\", \"attrs\": {\"OBJNAM\": \"No 2\", \"CATLAM\": 1, \"COLOUR\": [\"3\"]}, \"point\": "
      "[-1.66, 50.655]}",
        50.655, -1.66, 8, "No 2 Fl(2)R.10s" },
    { "{\"class\": \"LIGHTS\", \"attrs\": {\"LITCHR\": 2, \"SIGGRP\": \"(2)\", \"SIGPER\": 10, \"COLOUR\": [\"3\"]}, "
      "\"point\": [-1.66, 50.655]}",
        50.655, -1.66, 8, "No 2 Fl(2)R.10s" },
    { "{\"class\": \"BOYLAT\", \"attrs\": {\"OBJNAM\": \"No 1\", \"CATLAM\": 2, \"COLOUR\": [\"4\"]}, \"point\": "
      "[-1.64, 50.651]}",
        50.651, -1.64, 7, "No 1" },
    { "{\"class\": \"BOYCAR\", \"attrs\": {\"OBJNAM\": \"Shoal\", \"CATCAM\": 1}, \"point\": [-1.585, 50.642]}", 50.642,
        -1.585, 12, "Shoal" },
    { "{\"class\": \"LIGHTS\", \"attrs\": {\"OBJNAM\": \"Pier Head\", \"LITCHR\": 7, \"SIGPER\": 4, \"COLOUR\": "
      "[\"1\"]}, \"point\": [-1.6, 50.679]}",
        50.679, -1.6, 5, "Pier Head Iso.4s" },
    { "{\"class\": \"WRECKS\", \"attrs\": {\"CATWRK\": 2, \"VALSOU\": 3.4}, \"point\": [-1.62, 50.61]}", 50.61, -1.62,
        14, "3.4" },
    { "{\"class\": \"UWTROC\", \"attrs\": {\"WATLEV\": 5, \"OBJNAM\": \"Black Rock\"}, \"point\": [-1.575, 50.668]}",
        50.668, -1.575, 16, "Black Rock" },
};

std::string HarbourFeatures(int soundingsPerSide)
{
    std::string f;
    f += "{\"class\": \"LNDARE\", \"area\": [" + Box(50.68, 50.70, -1.70, -1.55) + "]},";
    f += "{\"class\": \"COALNE\", \"line\": " + Line({ { -1.70, 50.68 }, { -1.625, 50.68 }, { -1.55, 50.68 } }) + "},";
    const double bands[][4]
        = { { 50.67, 50.68, 0, 2 }, { 50.65, 50.67, 2, 5 }, { 50.63, 50.65, 5, 10 }, { 50.60, 50.63, 10, 20 } };
    for (const auto& b : bands) {
        std::ostringstream a;
        a << "{\"class\": \"DEPARE\", \"attrs\": {\"DRVAL1\": " << b[2] << ", \"DRVAL2\": " << b[3] << "}, \"area\": ["
          << Box(b[0], b[1], -1.70, -1.55);
        // An islet of land in the shallow band: a hole in the depth area.
        if (b[2] == 0) {
            a << "," << Box(50.672, 50.676, -1.63, -1.62);
        }
        a << "]},";
        f += a.str();
    }
    f += "{\"class\": \"LNDARE\", \"area\": [" + Box(50.672, 50.676, -1.63, -1.62) + "]},";
    for (const auto& [lat, value] : { std::pair { 50.67, 2 }, { 50.65, 5 }, { 50.63, 10 } }) {
        f += "{\"class\": \"DEPCNT\", \"attrs\": {\"VALDCO\": " + std::to_string(value)
            + "}, \"line\": " + Line({ { -1.70, lat }, { -1.66, lat }, { -1.60, lat }, { -1.55, lat } }) + "},";
    }
    for (const Aid& a : kAids) {
        f += std::string(a.feature) + ",";
    }
    std::ostringstream s;
    s << "{\"class\": \"SOUNDG\", \"soundings\": [";
    for (int i = 0; i < soundingsPerSide; ++i) {
        for (int j = 0; j < soundingsPerSide; ++j) {
            const double lat = 50.601 + 0.066 * i / soundingsPerSide;
            const double lon = -1.699 + 0.148 * j / soundingsPerSide;
            s << ((i || j) ? "," : "") << "[" << lon << "," << lat << ","
              << (20.0 - 18.0 * (lat - 50.60) / 0.07 + 0.1 * ((i * 7 + j * 3) % 10)) << "]";
        }
    }
    s << "]}";
    return f + s.str();
}

struct Tile {
    std::string name;
    ChartConfig config;
    std::vector<ChartPoint> records;
    ChartWaypoints waypoints;
    ChartAreas areas;
    PixelScales scales;
};

std::vector<Tile> ReadTiles(const std::string& folder, const std::string& prefix)
{
    std::vector<Tile> tiles;
    for (const std::string& cfg : ListChartConfigFiles(folder)) {
        const std::string name = cfg.substr(0, cfg.size() - 4);
        if (name.rfind(prefix + "-", 0) != 0) {
            continue;
        }
        Tile t;
        t.name = name;
        t.config = ReadChartConfigFile(folder + "/" + cfg).value_or(ChartConfig {});
        t.records = ReadChartRecords(folder + "/" + name + ".cht").records;
        bool formatError = false;
        EXPECT_TRUE(ReadWaypointFile(folder + "/" + name + ".wpt", PositionLayout::Wpt, t.waypoints, formatError))
            << name;
        EXPECT_FALSE(formatError) << name;
        const auto areas = ReadChartAreasFile(folder + "/" + name + ".areas");
        EXPECT_TRUE(areas.areas) << areas.error;
        t.areas = areas.areas.value_or(ChartAreas {});
        t.scales = ViewScales(t.config.centreLat, t.config.zoom, 1024, 768);
        tiles.push_back(std::move(t));
    }
    return tiles;
}

class EncImportTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveGdal()) {
            GTEST_SKIP() << "kvtool was built without GDAL (or GDAL's ogr2ogr is missing)";
        }
    }
    kvtest::TempDir dir;
};

TEST_F(EncImportTool, HarbourCellIntoTilesWithAidsSoundingsAndAreas)
{
    ASSERT_TRUE(MakeCell(dir, "XX4HARB", HarbourFeatures(40)));
    const std::string out = dir.file("charts");
    const auto r = kvtest::RunKvtool(
        { "enc-import", dir.file("XX4HARB.000"), out, "--name", "Harb", "--safety-depth", "4", "--max-points", "9" });
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("scale 1:22000, edition 4"), std::string::npos) << r.out;
    const std::vector<Tile> tiles = ReadTiles(out, "Harb");
    ASSERT_GE(tiles.size(), 4u) << r.out; // --max-points 9 makes a grid
    // The chart information of every tile names the cell, its scale, edition and date.
    EXPECT_NE(ReadWholeFile(out + "/" + tiles.front().name + ".inf")
                  .value_or("")
                  .find("XX4HARB.000 scale 1:22000 edition 4 update 0 of 2026-03-01"),
        std::string::npos);

    std::set<std::pair<double, double>> soundingsKept; // one on a cut line is in two tiles
    for (const Tile& t : tiles) {
        // Within capacity: the records (pen-ups included, the terminator not) and the table.
        EXPECT_LE(static_cast<long long>(t.records.size()), 9) << t.name;
        EXPECT_LE(t.waypoints.count(), kWaypointCapacity);
        EXPECT_NE(r.out.find(t.name + " "), std::string::npos) << "a line per tile: " << t.name;
        // The safety contour (5 m, the shallowest at or deeper than 4 m) alone has its own type.
        for (const ChartPoint& p : t.records) {
            if (p.isPenUp()) {
                continue;
            }
            const int type = LineTypeOf(p.encodedLat());
            const double lat = p.encodedLat() - 200.0 * type;
            if (type == kEncSafetyContourType) {
                EXPECT_NEAR(lat, 50.65, 1e-6) << t.name;
            }
            if (std::fabs(lat - 50.63) < 1e-6) {
                EXPECT_EQ(type, kEncDeepContourType);
            }
            if (std::fabs(lat - 50.67) < 1e-6) {
                EXPECT_EQ(type, kEncShallowContourType);
            }
        }
        // Soundings: labels of symbol 23 that do not overlap from the least view zoom that shows
        // them (the least zoom rounding to their R#).
        std::vector<PixelBox> boxes;
        for (const ChartWaypoint& w : t.waypoints) {
            if (w.symbol() != 23) {
                continue;
            }
            const PixelScales shown = ViewScales(t.config.centreLat, w.parameter() - 0.5, 1024, 768);
            const PixelBox b = SoundingLabelBox({ w.lat, w.lon }, w.label(), shown, 7, 12);
            for (const PixelBox& o : boxes) {
                EXPECT_FALSE(b.overlaps(o)) << t.name << " " << w.label();
            }
            boxes.push_back(b);
            soundingsKept.insert({ w.lat, w.lon });
        }
    }
    EXPECT_GT(soundingsKept.size(), 20u);
    EXPECT_LT(soundingsKept.size(), 1600u); // thinned

    // Each aid once at least, within a pixel at its tile's zoom, with its symbol and name; the
    // light on buoy No 2 is no waypoint of its own.
    for (const Aid& a : kAids) {
        int found = 0;
        for (const Tile& t : tiles) {
            for (const ChartWaypoint& w : t.waypoints) {
                if (w.symbol() == 23 || std::fabs(w.lat - a.lat) * t.scales.lat > 1.0
                    || std::fabs(w.lon + a.lonEast) * t.scales.lon > 1.0) {
                    continue;
                }
                ++found;
                EXPECT_EQ(w.symbol(), a.symbol) << a.label;
                EXPECT_EQ(w.label(), a.label);
            }
        }
        EXPECT_EQ(found, 1) << a.label;
    }

    // The land of the areas files covers what the cell's land covers: the land strip and the
    // islet, 0.02 × 0.15 + 0.004 × 0.01 square degrees; the depth areas the 0.08 × 0.15 band less
    // the islet's hole.
    double land = 0.0, water = 0.0;
    for (const Tile& t : tiles) {
        for (const ChartArea& a : t.areas.areas) {
            (a.kind == ChartAreaKind::Land ? land : water) += CoveredArea(a, 1.0);
        }
        EXPECT_EQ(t.areas.safetyDepth, 4.0);
    }
    EXPECT_NEAR(land, 0.02 * 0.15 + 0.004 * 0.01, 1e-9);
    EXPECT_NEAR(water, 0.08 * 0.15 - 0.004 * 0.01, 1e-9);
}

TEST_F(EncImportTool, ADrawingWithoutTheFillOptionIgnoresTheAreasFile)
{
    ASSERT_TRUE(MakeCell(dir, "XX4HARB", HarbourFeatures(5)));
    ASSERT_EQ(
        kvtest::RunKvtool({ "enc-import", dir.file("XX4HARB.000"), dir.file("charts"), "--name", "Harb" }).exitCode, 0);
    auto render = [&](const std::string& png, bool fill) {
        std::vector<std::string> args { "render", dir.path(), dir.file(png), "--chart", "Harb-A1", "--size",
            "640x480" };
        if (fill) {
            args.push_back("--fill-areas");
        }
        EXPECT_EQ(kvtest::RunKvtool(args).exitCode, 0);
        return dir.read(png);
    };
    const std::string with = render("with.png", false);
    const std::string filled = render("filled.png", true);
    fs::remove(dir.file("charts/Harb-A1.areas"));
    const std::string without = render("without.png", false);
    EXPECT_EQ(with, without);
    EXPECT_NE(filled, without);
    EXPECT_EQ(render("fill-no-file.png", true), without);
}

TEST_F(EncImportTool, BadInputIsRefusedWithNothingWritten)
{
    ASSERT_TRUE(MakeCell(dir, "XX4BUOY", "{\"class\": \"BOYSPP\", \"point\": [-1.6, 50.6]}"));
    ASSERT_TRUE(MakeCell(dir, "XX4HARB", HarbourFeatures(3)));
    dir.write("notes.000", "this is not a chart\n");
    // An update 2 without update 1.
    dir.write("gap/XX4HARB.002", "");
    fs::copy_file(dir.file("XX4HARB.000"), dir.file("gap/XX4HARB.000"));
    struct Case {
        std::string cell;
        std::string message;
    };
    const Case cases[] = {
        { dir.file("notes.000"), "is not an S-57 file" },
        { dir.file("missing.000"), "cannot be read" },
        { dir.file("XX4BUOY.000"), "none of the object classes" },
        { dir.file("gap/XX4HARB.000"), "update XX4HARB.001 is missing (XX4HARB.002 is there)" },
    };
    for (const Case& c : cases) {
        const std::string out = dir.file("out");
        const auto r = kvtest::RunKvtoolLine(
            "enc-import " + kvtest::ShellQuote(c.cell) + " " + kvtest::ShellQuote(out) + " 2>&1");
        EXPECT_EQ(r.exitCode, 1) << c.cell;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("nothing written"), std::string::npos) << r.out;
        EXPECT_FALSE(fs::exists(out)) << c.cell;
    }
}

} // namespace
