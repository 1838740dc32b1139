// kvtool render on a working folder made here: the chart with its configuration and waypoints,
// a route and a size that raises the drawing surface.

#include "ViewTestSupport.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include "charts/ChartFiles.h"
#include "charts/WaypointFiles.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "raster/ImageReference.h"
#include "routes/Routes.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace kv;

// The exit code of kvtool with an argument line, its output discarded.
int Kvtool(const std::string& arguments)
{
    return kvtest::RunKvtoolLine(arguments + " > /dev/null 2>&1").exitCode;
}

class KvtoolRender : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<ChartPoint> points { ChartPoint::make(50.1, 1.1), ChartPoint::make(50.0, 0.9),
            ChartPoint::make(49.9, 1.1, 4), ChartPoint::penUp() };
        dir.write("charts/bay.cht", ChartRecordBytes(points));
        ChartConfig config;
        config.centreLat = 50.0;
        config.centreLong = 1.0;
        config.zoom = 8.0;
        ASSERT_TRUE(WriteChartConfigFile(dir.file("charts/bay.cfg"), config));
        ChartWaypoints wps;
        ChartWaypoint wp;
        wp.name = WaypointNameField("Pier", 2, 0);
        wp.lat = 50.02;
        wp.lon = 1.03;
        wps.push(wp);
        ASSERT_TRUE(WriteWaypointFile(dir.file("charts/bay.wpt"), PositionLayout::Wpt, wps));
        const std::string route = RouteLine(RouteWaypoint { DefaultRouteName(1), 49.95, 1.05 }) + "\r\n"
            + RouteLine(RouteWaypoint { DefaultRouteName(2), 50.05, 0.95 }) + "\r\n";
        dir.write("routes/leg.rte", route);
    }
    kvtest::TempDir dir;
};

TEST_F(KvtoolRender, DrawsTheChartAtTheFormulaPixel)
{
    const std::string out = dir.file("out.png");
    ASSERT_EQ(Kvtool("render " + dir.path() + " " + out + " --chart bay --size 1920x1080 --route leg --zoom 16"), 0);
    QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1920);
    EXPECT_EQ(image.height(), 1440); // wider than 4:3: the height is raised
    // The waypoint "Pier" (a single point) lands where the formulas put it:
    // latitude base round(1440/200 × 38 × 0.63 / cos 50°) = round(268.16) = 268, × 16 = 4288;
    // longitude base round(1920/640 × 55) = 165, × 16 = 2640.
    // y = round((50 - 50.02) × 4288 + 720) = round(634.24) = 634; x = round((1 - 1.03) × 2640 + 960) = round(880.8) =
    // 881.
    EXPECT_EQ(kvtest::PixelAt(image, 881, 634), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 880, 634), kNavy);
    EXPECT_GT(kvtest::CountColour(image, kRed), 100); // the route leg
    EXPECT_GT(kvtest::CountColour(image, kLime), 100); // the solid lime contour (line type 4)
}

TEST_F(KvtoolRender, TurnsThePictureByTheViewingAngle)
{
    // --angle 90 puts east up, as "Viewing Angle" 90 does: the view turns by -90 degrees, so
    // with dy = -85.76 and dx = -79.2 as above, y = round(dx × sin(-90°) + 720) = round(799.2) = 799
    // and x = round(960 - dy × sin(-90°)) = round(874.24) = 874.
    const std::string out = dir.file("east-up.png");
    ASSERT_EQ(
        Kvtool("render " + dir.path() + " " + out + " --chart bay --size 1920x1080 --route leg --zoom 16 --angle 90"),
        0);
    QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(kvtest::PixelAt(image, 874, 799), kWhite);
    EXPECT_EQ(kvtest::PixelAt(image, 881, 634), kNavy); // not where north up puts it
}

TEST_F(KvtoolRender, RefusesBadArguments)
{
    const std::string out = dir.file("x.png");
    EXPECT_NE(Kvtool("render " + dir.path()), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart missing"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --zoom 0"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --size 12"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --route nothere"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --tides nothere"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --log nothere"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --ais nothere"), 0);
    EXPECT_NE(Kvtool("render " + dir.path() + " " + out + " --chart bay --centre 50 x"), 0);
    EXPECT_FALSE(FileExists(out));
    // rotated and centred elsewhere still draws
    EXPECT_EQ(
        Kvtool("render " + dir.path() + " " + out + " --chart bay --angle 45 --centre 50.01 0.99 --size 320x240"), 0);
    EXPECT_TRUE(FileExists(out));
}

TEST(KvtoolRenderDemo, WorldChartWithTrackAndTargets)
{
    kvtest::TempDir dir;
    const std::string src = KV_SOURCE_DIR;
    const std::string out = dir.file("biscay.png");
    ASSERT_EQ(Kvtool("render " + src + "/demo " + out + " --centre 45.05 8.3 --zoom 8 --size 800x600" + " --log " + src
                  + "/docs/render-demo/logs/voyage.log --ais " + src + "/docs/render-demo/logs/voyage.AIS"),
        0);
    QImage image(QString::fromStdString(out));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 600));
    EXPECT_GT(kvtest::CountColour(image, kYellow), 100); // track, target tracks and their crosses
    EXPECT_GT(kvtest::CountColour(image, kRed), 20); // target marks
    EXPECT_GT(kvtest::CountColour(image, kSilver), 200); // labels and the distance grid
}

TEST(KvtoolRenderDemo, WithoutACentreTheViewIsOnTheNewestTrackFix)
{
    kvtest::TempDir dir;
    const std::string src = KV_SOURCE_DIR;
    const std::string log = src + "/docs/render-demo/logs/voyage.log";
    const auto bytes = ReadWholeFile(log);
    ASSERT_TRUE(bytes);
    const TrackLogImage track = DecodeTrackLog(*bytes);
    ASSERT_TRUE(track.count && *track.count > 0);
    const QuickLogRecord newest = track.records[*track.count - 1];
    const std::string out = dir.file("world.png");
    const std::string ref = dir.file("world.ref");
    // At a zoom where the corners are not clamped at the poles, the middle of the corners is the
    // centre (the projection is linear about it).
    ASSERT_EQ(Kvtool("render " + src + "/demo " + out + " --log " + log + " --ref " + ref + " --zoom 4"), 0);
    const raster::RefReadResult read = raster::ReadRefFile(ref);
    ASSERT_EQ(read.status, raster::RefRead::Read);
    EXPECT_NEAR((read.ref.nw_lat + read.ref.se_lat) / 2.0, newest.lat, 0.01);
    EXPECT_NEAR((read.ref.nw_lon + read.ref.se_lon) / 2.0, newest.lon, 0.01);
}

} // namespace
