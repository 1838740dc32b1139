// GPX exchange checked against GDAL's GPX driver, which nobody here wrote: files ogr2ogr writes
// import with their positions and names, and every file the program exports reads back in
// ogrinfo with the same features, positions and names.

#include "charts/WaypointFiles.h"
#include "core/Format.h"
#include "core/QuickLog.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "routes/Routes.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace kv;

namespace {

bool HaveGdal()
{
    return kvtest::RunShell("command -v ogr2ogr >/dev/null 2>&1 && command -v ogrinfo >/dev/null 2>&1").exitCode == 0;
}

struct Feature {
    std::string name; // UTF-8, as ogrinfo prints it
    std::vector<std::pair<double, double>> lonLat;
};

// The features of one layer as ogrinfo lists them: each one's name and the points of its geometry.
std::vector<Feature> OgrLayer(const std::string& file, const std::string& layer)
{
    const auto r = kvtest::RunShell("ogrinfo -ro -al -q " + kvtest::ShellQuote(file) + " " + layer + " 2>&1");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    std::vector<Feature> features;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) {
        const auto text = line.find_first_not_of(' ');
        if (line.rfind("OGRFeature(", 0) == 0) {
            features.emplace_back();
        } else if (!features.empty() && line.find("name (String) = ") == text && text != std::string::npos) {
            features.back().name = line.substr(text + 16);
        } else if (!features.empty() && text != std::string::npos
            && (line.find("POINT (", text) == text || line.find("LINESTRING (", text) == text
                || line.find("MULTILINESTRING (", text) == text)) {
            std::string coords = line.substr(line.find('('));
            for (char& c : coords) {
                c = (c == ',' || c == '(' || c == ')') ? ' ' : c;
            }
            std::istringstream xy(coords);
            for (double x = 0, y = 0; xy >> x >> y;) {
                features.back().lonLat.emplace_back(x, y);
            }
        }
    }
    return features;
}

std::vector<std::string> Lines(const std::string& path)
{
    return ReadTextLines(path).value_or(std::vector<std::string> {});
}

} // namespace

TEST(GpxAgainstGdal, FilesOgr2ogrWritesImport)
{
    if (!HaveGdal()) {
        GTEST_SKIP() << "GDAL's command-line tools are not installed";
    }
    kvtest::TempDir dir;
    dir.write("points.geojson", R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"A&B <harbour>"},"geometry":{"type":"Point","coordinates":[-1.5,50.5]}},
{"type":"Feature","properties":{"name":"Café \"Ost\" ]]>"},"geometry":{"type":"Point","coordinates":[151.25,-33.875]}}]})");
    dir.write("line.geojson", R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"name":"Solent & Back"},"geometry":{"type":"LineString","coordinates":[[-1.5,50.5],[-1.25,50.75],[-1.0,50.7]]}}]})");
    dir.write("rp.geojson", R"({"type":"FeatureCollection","features":[
{"type":"Feature","properties":{"route_fid":0,"route_point_id":0,"name":"First & <one>"},"geometry":{"type":"Point","coordinates":[-1.5,50.5]}},
{"type":"Feature","properties":{"route_fid":0,"route_point_id":1,"name":"Second"},"geometry":{"type":"Point","coordinates":[-1.25,50.75]}}]})");
    ASSERT_EQ(kvtest::RunShell("cd '" + dir.path()
                  + "' && ogr2ogr -f GPX wpts.gpx points.geojson && "
                    "ogr2ogr -f GPX route.gpx line.geojson -lco FORCE_GPX_ROUTE=YES && "
                    "ogr2ogr -f GPX track.gpx line.geojson -lco FORCE_GPX_TRACK=YES && "
                    "ogr2ogr -f GPX named.gpx rp.geojson -nln route_points >/dev/null 2>&1")
                  .exitCode,
        0);
    for (const char* file : { "wpts", "route", "track", "named" }) {
        std::filesystem::create_directory(dir.file(file));
        const auto r = kvtest::RunKvtool({ "gpx-import", dir.file(std::string(file) + ".gpx"), dir.file(file) });
        EXPECT_EQ(r.exitCode, 0) << file << r.out;
    }
    EXPECT_EQ(Lines(dir.file("wpts/wpts.wpt")),
        (std::vector<std::string> { "A&B <harbour>           1900 N 50.30.00000  W001.30.00000",
            "Caf\xe9 \"Ost\" ]]>          1900 S 33.52.50000  E151.15.00000" }));
    EXPECT_EQ(Lines(dir.file("route/Solent___Back.rte")),
        (std::vector<std::string> { "A                       19   N 50.30.00000  W001.30.00000",
            "B                       19   N 50.45.00000  W001.15.00000",
            "C                       19   N 50.42.00000  W001.00.00000" }));
    EXPECT_EQ(Lines(dir.file("named/named.rte")),
        (std::vector<std::string> { "First & <one>           19   N 50.30.00000  W001.30.00000",
            "Second                  19   N 50.45.00000  W001.15.00000" }));
    const TrackLogImage log = DecodeTrackLog(dir.read("track/Solent___Back-track.log"));
    ASSERT_EQ(log.count, 3u);
    EXPECT_NEAR(log.records[1].lat, 50.75, 1e-9);
    EXPECT_NEAR(log.records[1].lon, 1.25, 1e-9); // west positive
}

TEST(GpxAgainstGdal, ExportedFilesReadBackInOgrinfo)
{
    if (!HaveGdal()) {
        GTEST_SKIP() << "GDAL's command-line tools are not installed";
    }
    kvtest::TempDir dir;
    RouteTable route;
    route.push({ PadRight("R&D <one>", 24) + "19   ", 50.7625, 1.2933333 });
    route.push({ DefaultRouteName(2), -5.0, -3.5 });
    std::string rte;
    for (std::size_t i = 1; i <= route.count(); ++i) {
        rte += RouteLine(route.at(i)) + "\r\n";
    }
    dir.write("passage.rte", rte);
    ChartWaypoints table;
    table.push({ WaypointNameField("Caf\xe9 \"Ost\"", 7), 50.5, 1.25 });
    table.push({ WaypointNameField("]]> & <", 22), 0.0, -0.5 });
    ASSERT_TRUE(WriteWaypointFile(dir.file("marks.wpt"), PositionLayout::Wpt, table));
    QuickLog log;
    log.push({ 50.5, 1.25, 600.0 });
    log.push({ 50.625, -0.5, 601.5 });
    dir.write("07-03-26.log", EncodeTrackLog(log));

    const auto r = kvtest::RunKvtool({ "gpx-export", dir.file("all.gpx"), dir.file("passage.rte"),
        dir.file("marks.wpt"), dir.file("07-03-26.log") });
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("2 waypoints, 1 routes, 1 tracks written to"), std::string::npos) << r.out;

    const auto wpts = OgrLayer(dir.file("all.gpx"), "waypoints");
    ASSERT_EQ(wpts.size(), 2u);
    EXPECT_EQ(wpts[0].name, "Caf\xc3\xa9 \"Ost\"");
    EXPECT_EQ(wpts[1].name, "]]> & <");
    EXPECT_NEAR(wpts[0].lonLat.at(0).first, -1.25, 1e-7);
    EXPECT_NEAR(wpts[1].lonLat.at(0).first, 0.5, 1e-7);
    const auto points = OgrLayer(dir.file("all.gpx"), "route_points");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name, "R&D <one>");
    EXPECT_EQ(points[1].name, "B");
    EXPECT_NEAR(points[0].lonLat.at(0).first, -1.2933333, 1e-7);
    EXPECT_NEAR(points[0].lonLat.at(0).second, 50.7625, 1e-7);
    EXPECT_NEAR(points[1].lonLat.at(0).first, 3.5, 1e-7);
    const auto routes = OgrLayer(dir.file("all.gpx"), "routes");
    ASSERT_EQ(routes.size(), 1u);
    EXPECT_EQ(routes[0].name, "passage");
    const auto tracks = OgrLayer(dir.file("all.gpx"), "tracks");
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].name, "07-03-26");
    ASSERT_EQ(tracks[0].lonLat.size(), 2u);
    EXPECT_NEAR(tracks[0].lonLat[1].first, 0.5, 1e-7);
    EXPECT_NEAR(tracks[0].lonLat[1].second, 50.625, 1e-7);
}
