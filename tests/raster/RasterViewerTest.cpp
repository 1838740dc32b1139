#include "raster/RasterViewer.h"

#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#ifdef KV_HAVE_GDAL
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#endif

#include <cmath>
#include <filesystem>

namespace {

using namespace kv;
using namespace kv::raster;

constexpr QRgb kPaper = 0xFFF0F0E0;

class RecordingHooks final : public RasterHooks {
public:
    bool chartPointAllowed() const override { return allowed; }
    bool penUp() const override { return pen; }
    void addChartPoint(double lat, double lon) override { points.push_back({ lat, lon }); }
    void addChartWaypoint(double lat, double lon) override { waypoints.push_back({ lat, lon }); }
    bool allowed = true;
    bool pen = false;
    std::vector<LatLong> points;
    std::vector<LatLong> waypoints;
};

// A 300 × 200 plan covering 50.80 N to 50.70 N, 1.40 W to 1.10 W.
ImageReference Plan()
{
    ImageReference ref;
    ref.height = 200;
    ref.width = 300;
    ref.nw_lat = 50.8;
    ref.nw_lon = 1.4;
    ref.se_lat = 50.7;
    ref.se_lon = 1.1;
    ref.track_colour = kTrackRed;
    ref.track_width = 1;
    return ref;
}

class Viewer : public ::testing::Test {
protected:
    std::string image(const std::string& name, const char* format, bool withRef, int w = 300, int h = 200)
    {
        QImage picture(w, h, QImage::Format_RGB32);
        picture.fill(kPaper);
        std::string path = dir.file(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(path), format));
        if (withRef) {
            EXPECT_TRUE(WriteRefFile(RefPathFor(path), Plan()));
        }
        return path;
    }
    void fix(double lat, double lon) { ASSERT_TRUE(log.push(QuickLogRecord { lat, lon, 0.0 })); }

    kvtest::TempDir dir;
    QuickLog log;
    Settings settings;
    UnitPreferences units;
    Folders folders;
    FakePlatform fakes;
    RecordingHooks hooks;
    RasterViewer viewer { RasterRecords(log, settings, units, folders), fakes.platform, hooks };
};

TEST_F(Viewer, TrackingDrawsTheTrackSegmentOnAReferencedBitmap)
{
    ASSERT_TRUE(viewer.Open(image("plan.bmp", "BMP", true)));
    EXPECT_TRUE(viewer.referenced());
    EXPECT_EQ(viewer.caption(), "Raster Image Viewer (plan)");
    EXPECT_TRUE(viewer.enabled(RasterCommand::TrackVessel));

    fix(50.75, 1.3); // pixel (100, 100)
    viewer.TrackVesselClick();
    EXPECT_TRUE(viewer.trackTimerRunning());
    EXPECT_EQ(viewer.trackIntervalMs(), 10000);
    // Checking "Track Vessel" drew the history and starts a new segment: the first tick moves.
    viewer.TrackTimerTick();
    EXPECT_EQ(viewer.canvas().pixel(150, 100), kPaper);
    fix(50.75, 1.2); // pixel (200, 100)
    viewer.TrackTimerTick();

    const QImage& canvas = viewer.canvas();
    for (int x = 100; x <= 200; x += 10) {
        EXPECT_EQ(canvas.pixel(x, 100), 0xFFFF0000u) << "x " << x;
    }
    EXPECT_EQ(canvas.pixel(150, 105), kPaper);
    EXPECT_EQ(canvas.pixel(90, 100), kPaper);
    // Tracking keeps the newest fix in the middle of the window.
    EXPECT_EQ(viewer.takeScrollRequest(), QPoint(200, 100));

    // Fix crosses, then "Clear Track" gives back the clean picture and starts a new segment.
    viewer.ShowFixCrossesClick();
    fix(50.72, 1.2); // pixel (200, 160)
    viewer.TrackTimerTick();
    EXPECT_EQ(canvas.pixel(194, 160), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(200, 130), 0xFFFF0000u); // the line from (200, 100)
    viewer.ClearTrackClick();
    EXPECT_EQ(viewer.canvas().pixel(150, 100), kPaper);
    EXPECT_EQ(viewer.canvas().pixel(200, 130), kPaper);
    viewer.TrackTimerTick(); // starts with a move: one dot and its cross, no line back
    EXPECT_EQ(viewer.canvas().pixel(200, 130), kPaper);
    EXPECT_EQ(viewer.canvas().pixel(200, 160), 0xFFFF0000u);

    viewer.PlotTrackHistoryClick();
    EXPECT_EQ(viewer.canvas().pixel(150, 100), 0xFFFF0000u);
}

TEST_F(Viewer, AJpegWithAReferenceShowsPositionsButOffersNoDrawing)
{
    ASSERT_TRUE(viewer.Open(image("plan.jpg", "JPEG", true)));
    EXPECT_EQ(viewer.kind(), ImageKind::Jpeg);
    EXPECT_TRUE(viewer.referenced());
    for (RasterCommand c : { RasterCommand::TrackVessel, RasterCommand::ShowFixCrosses, RasterCommand::PlotTrackHistory,
             RasterCommand::ClearTrack, RasterCommand::CreateWaypoint, RasterCommand::AddChartPoint,
             RasterCommand::AutoAddChartPoints }) {
        EXPECT_FALSE(viewer.enabled(c)) << static_cast<int>(c);
    }
    for (RasterCommand c : { RasterCommand::ZoomIn, RasterCommand::ZoomOut, RasterCommand::Normal,
             RasterCommand::ReferenceImage, RasterCommand::Print, RasterCommand::Copy }) {
        EXPECT_TRUE(viewer.enabled(c)) << static_cast<int>(c);
    }
    const QImage before = viewer.canvas();
    viewer.MousePress(150, 100);
    viewer.MouseRelease(150, 100);
    EXPECT_EQ(viewer.canvas(), before); // no cursor mark on a JPEG
    EXPECT_NEAR(viewer.cursorPosition().lat, 50.75, 1e-9);
    EXPECT_NEAR(viewer.cursorPosition().lon, 1.25, 1e-9);
    EXPECT_EQ(viewer.caption(),
        "50\xb0"
        "45.000N 001\xb0"
        "15.000W");
}

TEST_F(Viewer, CursorMarkInvertsAndIsErasedWhenTheCursorMoves)
{
    ASSERT_TRUE(viewer.Open(image("plan.bmp", "BMP", true)));
    const QImage clean = viewer.canvas();
    viewer.MousePress(100, 100);
    EXPECT_EQ(viewer.canvas().pixel(110, 100), ~kPaper | 0xFF000000u);
    EXPECT_EQ(viewer.canvas().pixel(101, 100), kPaper); // the arms start 3 pixels off
    viewer.MouseMove(100, 50);
    viewer.MouseRelease(100, 50);
    EXPECT_EQ(viewer.canvas().pixel(110, 100), kPaper);
    EXPECT_EQ(viewer.canvas().pixel(110, 50), ~kPaper | 0xFF000000u);
    viewer.MousePress(100, 50); // drawn twice: the old mark off, the same one on again
    EXPECT_EQ(viewer.cursor(), (ImagePoint { 100, 50 }));
    EXPECT_NE(viewer.canvas(), clean);
}

TEST_F(Viewer, ZoomBeepsAtBothLimitsAndTheShownSizeNeverReachesZero)
{
    ASSERT_TRUE(viewer.Open(image("plan.bmp", "BMP", true)));
    int steps = 0;
    while (fakes.prompter.beeps.empty() && steps++ < 100) {
        viewer.ZoomOutClick();
    }
    ASSERT_EQ(fakes.prompter.beeps.size(), 1u);
    EXPECT_EQ(std::min(viewer.zoom().shown_height, viewer.zoom().shown_width), 1);
    // A click on the tiny image still maps to a position on it.
    viewer.MousePress(0, 1);
    EXPECT_TRUE(std::isfinite(viewer.cursorPosition().lat));
    viewer.MouseRelease(0, 1);

    viewer.NormalClick();
    EXPECT_EQ(viewer.zoom(), (RasterZoom { 1.0, 200, 300 }));
    steps = 0;
    while (fakes.prompter.beeps.size() == 1 && steps++ < 100) {
        viewer.ZoomInClick();
    }
    ASSERT_EQ(fakes.prompter.beeps.size(), 2u);
    EXPECT_GE(viewer.zoom().shown_height, kZoomInLimit);
}

TEST_F(Viewer, AutoAddAddsNoDuplicateForAnUnmovedCursor)
{
    ASSERT_TRUE(viewer.Open(image("plan.bmp", "BMP", true)));
    viewer.AutoAddChartPointsClick();
    EXPECT_TRUE(viewer.autoAddRunning());
    viewer.MousePress(150, 100);
    viewer.MouseRelease(150, 100);
    viewer.AutoAddTimerTick();
    viewer.AutoAddTimerTick();
    viewer.AutoAddTimerTick();
    ASSERT_EQ(hooks.points.size(), 1u);
    EXPECT_NEAR(hooks.points[0].lat, 50.75, 1e-9);
    EXPECT_NEAR(hooks.points[0].lon, 1.25, 1e-9);

    viewer.MousePress(240, 100);
    viewer.MouseRelease(240, 100);
    viewer.AutoAddTimerTick();
    viewer.AutoAddTimerTick();
    ASSERT_EQ(hooks.points.size(), 2u);
    // With the pen down the line between the two points is drawn in the track colour.
    EXPECT_EQ(viewer.canvas().pixel(200, 100), 0xFFFF0000u);

    // Not when the chart editor would refuse the point.
    hooks.allowed = false;
    EXPECT_FALSE(viewer.enabled(RasterCommand::AddChartPoint));
    viewer.MousePress(20, 20);
    viewer.AddChartPointClick();
    EXPECT_EQ(hooks.points.size(), 2u);

    viewer.CreateWaypointClick();
    ASSERT_EQ(hooks.waypoints.size(), 1u);
}

TEST_F(Viewer, AnImageThatCannotBeReadIsNamedAndThePreviousOneStays)
{
    const std::string good = image("plan.bmp", "BMP", true);
    ASSERT_TRUE(viewer.Open(good));
    viewer.ZoomInClick();
    const RasterZoom zoomed = viewer.zoom();

    const std::string jpeg = image("cut.jpg", "JPEG", false, 400, 300);
    const auto size = std::filesystem::file_size(jpeg);
    std::filesystem::resize_file(jpeg, size / 2);
    dir.write("text.bmp", "this is no bitmap");
    for (const std::string& bad : { jpeg, dir.file("text.bmp"), dir.file("missing.jpg") }) {
        fakes.prompter.messages.clear();
        EXPECT_FALSE(viewer.Open(bad)) << bad;
        ASSERT_EQ(fakes.prompter.messages.size(), 1u) << bad;
        EXPECT_NE(fakes.prompter.messages[0].text.find(bad), std::string::npos) << fakes.prompter.messages[0].text;
        EXPECT_EQ(viewer.imagePath(), good);
        EXPECT_EQ(viewer.zoom(), zoomed);
        EXPECT_TRUE(viewer.referenced());
        EXPECT_EQ(viewer.caption(), "Raster Image Viewer (plan)");
    }
}

TEST_F(Viewer, AnImageWithoutReferenceOpensAtMagnificationOne)
{
    ASSERT_TRUE(viewer.Open(image("plan.bmp", "BMP", true)));
    viewer.ZoomInClick();
    viewer.ZoomInClick();
    ASSERT_GT(viewer.zoom().zoom, 2.0);
    ASSERT_TRUE(viewer.Open(image("photo.bmp", "BMP", false, 120, 80)));
    EXPECT_EQ(viewer.zoom(), (RasterZoom { 1.0, 80, 120 }));
    EXPECT_FALSE(viewer.referenced());
    EXPECT_FALSE(viewer.enabled(RasterCommand::PlotTrackHistory));
    EXPECT_TRUE(fakes.prompter.messages.empty());
    EXPECT_EQ(viewer.displayed().size(), QSize(120, 80));
}

TEST_F(Viewer, AZeroSizeReferenceFileIsRefusedCleanly)
{
    const std::string path = image("plan.bmp", "BMP", false);
    dir.write("plan.ref", "0\r\n300\r\n50.8\r\n1.4\r\n50.7\r\n1.1\r\n255\r\n2\r\n0\r\n0\r\n0\r\n");
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_FALSE(viewer.referenced());
    EXPECT_EQ(viewer.zoom(), (RasterZoom { 1.0, 200, 300 }));
    ASSERT_EQ(fakes.prompter.messages.size(), 1u);
    EXPECT_NE(fakes.prompter.messages[0].text.find("plan.ref"), std::string::npos);
}

TEST_F(Viewer, EditedReferenceIsSavedOnYesAndMakesTheImageReferenced)
{
    const std::string path = image("plan.bmp", "BMP", false);
    ASSERT_TRUE(viewer.Open(path));
    ASSERT_FALSE(viewer.referenced());
    fakes.prompter.answer({ false });
    viewer.ApplyReference(Plan());
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kSaveReferenceQuestion));
    EXPECT_TRUE(viewer.referenced());
    EXPECT_FALSE(std::filesystem::exists(dir.file("plan.ref")));
    fakes.prompter.answer({ true });
    viewer.ApplyReference(Plan());
    EXPECT_EQ(ReadRefFile(dir.file("plan.ref")).ref, Plan());
}

TEST_F(Viewer, AHandedOverNameTakesTheJpegBeforeTheBitmapAndPlaysItsClip)
{
    folders.ChartDir = dir.path() + "/";
    image("quay.bmp", "BMP", false);
    EXPECT_EQ(viewer.HandedOverPath("quay"), dir.file("quay.bmp"));
    const std::string jpeg = image("quay.jpg", "JPEG", false);
    ImageReference ref = Plan();
    ref.has_audio = 1;
    ASSERT_TRUE(WriteRefFile(RefPathFor(jpeg), ref));
    ASSERT_TRUE(viewer.OpenHandedOver("quay"));
    EXPECT_EQ(viewer.imagePath(), jpeg);
    ASSERT_EQ(fakes.sound.played.size(), 1u);
    EXPECT_EQ(fakes.sound.played[0], dir.file("quay.wav"));
    EXPECT_TRUE(viewer.enabled(RasterCommand::StopAudio));
    viewer.StopAudioClick();
    EXPECT_GE(fakes.sound.stops, 1);

    viewer.CopyClick();
    EXPECT_EQ(fakes.clipboard.image.size(), QSize(300, 200));
    viewer.PrintClick();
    EXPECT_EQ(fakes.printer.printed.size(), 1u);
}

#ifdef KV_HAVE_GDAL
// A 60 x 40 GeoTIFF in WGS 84 (EPSG 4326) or another system, with the given geotransform
// (longitude east positive, as GDAL holds it).
std::string GeoTiff(const kvtest::TempDir& dir, const std::string& name, std::array<double, 6> t, int epsg)
{
    GDALAllRegister();
    std::string path = dir.file(name);
    GDALDataset* ds
        = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(path.c_str(), 60, 40, 3, GDT_Byte, nullptr);
    EXPECT_NE(ds, nullptr);
    if (ds != nullptr) {
        ds->SetGeoTransform(t.data());
        OGRSpatialReference srs;
        srs.importFromEPSG(epsg);
        ds->SetSpatialRef(&srs);
        GDALClose(ds);
    }
    return path;
}

TEST_F(Viewer, AGeoTiffOpensReferencedFromItsOwnGeoreferencing)
{
    // North-west corner 50.80 N 1.40 W, pixels of 0.005 degree: south-east corner 50.60 N 1.10 W.
    const std::string path = GeoTiff(dir, "harbour.tif", { -1.4, 0.005, 0, 50.8, 0, -0.005 }, 4326);
    fakes.prompter.answer({ true });
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_TRUE(viewer.referenced());
    EXPECT_EQ(viewer.kind(), ImageKind::Bitmap);
    EXPECT_NEAR(viewer.reference().nw_lon, 1.4, 1e-9);
    EXPECT_NEAR(viewer.reference().se_lat, 50.6, 1e-9);
    EXPECT_EQ(viewer.zoom(), (RasterZoom { 1.0, 40, 60 }));
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kWriteGeoRefQuestion));
    // The .ref written on Yes places the image the same way without GDAL.
    const RefReadResult written = ReadRefFile(dir.file("harbour.ref"));
    ASSERT_EQ(written.status, RefRead::Read);
    // (to the 15 digits the file keeps)
    EXPECT_EQ(written.ref.width, 60);
    EXPECT_NEAR(written.ref.nw_lat, viewer.reference().nw_lat, 1e-12);
    EXPECT_NEAR(written.ref.nw_lon, viewer.reference().nw_lon, 1e-12);
    EXPECT_NEAR(written.ref.se_lat, viewer.reference().se_lat, 1e-12);
    EXPECT_NEAR(written.ref.se_lon, viewer.reference().se_lon, 1e-12);
    // A fix plots where the georeferencing says.
    fix(50.7, 1.25);
    viewer.TrackVesselClick();
    EXPECT_NE(viewer.canvas().pixel(30, 20), viewer.canvas().pixel(5, 5));
}

TEST_F(Viewer, AGeoTiffInAnotherSystemSaysWhyAndOpensUnreferenced)
{
    // UTM zone 30 N metres.
    const std::string path = GeoTiff(dir, "utm.tif", { 600000, 10, 0, 5630000, 0, -10 }, 32630);
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_FALSE(viewer.referenced());
    ASSERT_EQ(fakes.prompter.messages.size(), 1u);
    EXPECT_EQ(fakes.prompter.messages[0].kind, "warning");
    EXPECT_NE(fakes.prompter.messages[0].text.find("utm.tif"), std::string::npos);
}
#endif

} // namespace
