#include "raster/ImageReference.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using namespace kv::raster;

ImageReference Calais()
{
    // East of Greenwich: both longitudes negative, the west corner the larger.
    ImageReference ref;
    ref.height = 480;
    ref.width = 640;
    ref.nw_lat = 50.975;
    ref.nw_lon = -1.825;
    ref.se_lat = 50.9375;
    ref.se_lon = -1.8875;
    ref.track_colour = kTrackBlue;
    ref.track_width = 1;
    ref.lat_offset = -250;
    ref.lon_offset = 1200;
    ref.has_audio = 1;
    return ref;
}

TEST(RefFile, WritesElevenCrLfLinesAndReadsThemBack)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("calais.ref");
    ASSERT_TRUE(WriteRefFile(path, Calais()));
    EXPECT_EQ(dir.read("calais.ref"),
        "480\r\n640\r\n 5.09750000000000E+0001\r\n-1.82500000000000E+0000\r\n"
        " 5.09375000000000E+0001\r\n-1.88750000000000E+0000\r\n16711680\r\n1\r\n"
        "-250\r\n1200\r\n1\r\n");
    const RefReadResult back = ReadRefFile(path);
    ASSERT_EQ(back.status, RefRead::Read) << back.problem;
    EXPECT_EQ(back.ref, Calais());
    EXPECT_TRUE(Referenced(back.ref));
    EXPECT_EQ(RefPathFor("/charts/calais.jpg"), "/charts/calais.ref");
    EXPECT_EQ(AudioPathFor("/charts/calais.jpg"), "/charts/calais.wav");
    EXPECT_EQ(ImageBaseName("/charts/calais.jpg"), "calais");
}

TEST(RefFile, AcceptsAnyDecimalFormAndRefusesWhatIsNoReference)
{
    std::string problem;
    const auto read
        = ParseRefLines({ " 400.0", "6e2", "50.25", "1.5", "50", "1.25", "255", "2", "0", "0", "0" }, &problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->height, 400);
    EXPECT_EQ(read->width, 600);
    EXPECT_DOUBLE_EQ(read->nw_lat, 50.25);

    const struct {
        std::vector<std::string> lines;
        const char* reason;
    } bad[] = {
        { { "400", "600", "50.25", "1.5", "50", "1.25", "255", "2", "0", "0" }, "10 lines" },
        { { "400", "600", "fifty", "1.5", "50", "1.25", "255", "2", "0", "0", "0" }, "line 3" },
        { { "0", "600", "50.25", "1.5", "50", "1.25", "255", "2", "0", "0", "0" }, "0 pixels" },
        { { "400", "-3", "50.25", "1.5", "50", "1.25", "255", "2", "0", "0", "0" }, "0 pixels" },
        { { "400", "600", "50.25", "1.5", "50", "1.25", "1e300", "2", "0", "0", "0" }, "out of range" },
        // Corners far off the globe would overflow the pixel arithmetic of the viewer.
        { { "400", "600", "8e301", "1.5", "-1.5e306", "1.25", "255", "2", "0", "0", "0" },
            "line 3 (north-west latitude) is out of range" },
        { { "400", "600", "50.25", "1.5", "50", "-361", "255", "2", "0", "0", "0" },
            "line 6 (south-east longitude) is out of range" },
    };
    for (const auto& c : bad) {
        problem.clear();
        EXPECT_FALSE(ParseRefLines(c.lines, &problem)) << c.reason;
        EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
    }
}

TEST(RefFile, MissingFileIsNoErrorButAZeroSizeFileIsRefused)
{
    kvtest::TempDir dir;
    const RefReadResult missing = ReadRefFile(dir.file("none.ref"));
    EXPECT_EQ(missing.status, RefRead::Missing);
    EXPECT_EQ(missing.ref, ImageReference {});

    dir.write("zero.ref", "0\r\n0\r\n50\r\n1\r\n49\r\n0\r\n255\r\n2\r\n0\r\n0\r\n0\r\n");
    const RefReadResult zero = ReadRefFile(dir.file("zero.ref"));
    EXPECT_EQ(zero.status, RefRead::Refused);
    EXPECT_EQ(zero.ref, ImageReference {});
    EXPECT_FALSE(zero.problem.empty());
}

TEST(Referenced, NeedsTheNorthWestCornerAboveAndWestOfTheSouthEastOne)
{
    const struct {
        double nwLat, nwLon, seLat, seLon;
        bool referenced;
    } cases[] = {
        { 50.8, 1.4, 50.7, 1.2, true }, { 50.8, -1.8, 50.7, -1.9, true }, // east of Greenwich
        { 50.8, 1.4, 50.8, 1.4, false }, // corners coincide
        { 50.8, 1.2, 50.7, 1.4, false }, // west corner has the smaller longitude
        { 50.7, 1.4, 50.8, 1.2, false }, // south above north
        { 50.8, 1.4, 50.8 - 5e-8, 1.2, false }, // within the tolerance
        { 0, 0, 0, 0, false }, // the defaults
    };
    for (const auto& c : cases) {
        ImageReference ref;
        ref.nw_lat = c.nwLat;
        ref.nw_lon = c.nwLon;
        ref.se_lat = c.seLat;
        ref.se_lon = c.seLon;
        EXPECT_EQ(Referenced(ref), c.referenced) << c.nwLat << " " << c.nwLon << " " << c.seLat << " " << c.seLon;
    }
}

TEST(Mapping, PlotsPositionsWithTheOffsetsAndReadsShownPixelsWithout)
{
    ImageReference ref;
    ref.height = 400;
    ref.width = 600;
    ref.nw_lat = 50.8;
    ref.nw_lon = 1.4;
    ref.se_lat = 50.7;
    ref.se_lon = 1.1;
    EXPECT_EQ(PlotPixel(ref, 50.8, 1.4), (ImagePoint { 0, 0 }));
    EXPECT_EQ(PlotPixel(ref, 50.7, 1.1), (ImagePoint { 600, 400 }));
    EXPECT_EQ(PlotPixel(ref, 50.75, 1.25), (ImagePoint { 300, 200 }));

    // 600 thousandths of a minute = 0.01 degree: the latitude offset moves the plot north (up),
    // the longitude offset moves it east (right, longitudes being west positive).
    ref.lat_offset = 600;
    EXPECT_EQ(PlotPixel(ref, 50.75, 1.25), (ImagePoint { 300, 160 }));
    ref.lon_offset = 600;
    EXPECT_EQ(PlotPixel(ref, 50.75, 1.25), (ImagePoint { 320, 160 }));

    // The cursor reading ignores the offsets and scales with the shown size.
    const kv::LatLong centre = ShownPixelPosition(ref, 450, 300, 900, 600);
    EXPECT_NEAR(centre.lat, 50.75, 1e-12);
    EXPECT_NEAR(centre.lon, 1.25, 1e-12);
    const kv::LatLong corner = ShownPixelPosition(ref, 900, 600, 900, 600);
    EXPECT_NEAR(corner.lat, 50.7, 1e-12);
    EXPECT_NEAR(corner.lon, 1.1, 1e-12);
    // A shown size of 0 (which zooming can no longer produce) gives a finite answer.
    const kv::LatLong degenerate = ShownPixelPosition(ref, 5, 5, 0, 0);
    EXPECT_TRUE(std::isfinite(degenerate.lat) && std::isfinite(degenerate.lon));
}

TEST(Zoom, InStopsAt16383AndOutAtOnePixel)
{
    RasterZoom z { 1.0, 400, 600 };
    int steps = 0;
    while (ZoomIn(z)) {
        ++steps;
        ASSERT_LT(steps, 100);
    }
    EXPECT_GE(z.shown_height, kZoomInLimit);
    const RasterZoom top = z;
    EXPECT_FALSE(ZoomIn(z));
    EXPECT_EQ(z, top);
    // One step short of the limit still zooms.
    RasterZoom under { 1.0, kZoomInLimit - 1, 100 };
    EXPECT_TRUE(ZoomIn(under));

    z = RasterZoom { 1.0, 400, 600 };
    steps = 0;
    while (ZoomOut(z)) {
        ++steps;
        ASSERT_LT(steps, 100);
        ASSERT_GE(z.shown_height, 1);
        ASSERT_GE(z.shown_width, 1);
    }
    EXPECT_EQ(std::min(z.shown_height, z.shown_width), 1);
    EXPECT_GT(z.zoom, 0.0);
    const RasterZoom bottom = z;
    EXPECT_FALSE(ZoomOut(z));
    EXPECT_EQ(z, bottom);
    // Each step divides by 1.5 and rounds.
    RasterZoom one { 1.0, 400, 600 };
    ASSERT_TRUE(ZoomOut(one));
    EXPECT_EQ(one.shown_height, 267);
    EXPECT_EQ(one.shown_width, 400);
}

TEST(ReferenceForm, ShowsTheCornersAsPositionTextsAndReadsThemBack)
{
    ImageReference ref = Calais();
    ref.nw_lat = 85.0; // beyond the texts' band: shown as 84
    const ReferenceForm form = FormFromReference(ref);
    EXPECT_EQ(form.height, "480");
    EXPECT_EQ(form.nwLat,
        "84\xb0"
        "00.00000N");
    EXPECT_EQ(form.nwLon,
        "001\xb0"
        "49.50000E");
    EXPECT_EQ(form.colourChoice, 2);
    EXPECT_EQ(form.thicknessChoice, 0);
    std::string problem;
    const auto back = ReferenceFromForm(form, &problem);
    ASSERT_TRUE(back) << problem;
    ref.nw_lat = 84.0;
    EXPECT_EQ(back->nw_lat, ref.nw_lat);
    EXPECT_NEAR(back->nw_lon, ref.nw_lon, 1e-9);
    EXPECT_NEAR(back->se_lat, ref.se_lat, 1e-9);
    EXPECT_EQ(back->track_colour, kTrackBlue);
    EXPECT_EQ(back->track_width, 1);
    EXPECT_EQ(back->lat_offset, -250);
    EXPECT_EQ(back->has_audio, 1);
}

// Corners typed short are completed before they are read: the last character is the
// hemisphere, south and east included.
TEST(ReferenceForm, ShortCornerTextsAreCompletedBeforeTheyAreRead)
{
    struct Case {
        const char* lat;
        const char* lon;
        double wantLat, wantLon; // longitude west positive
    };
    for (const Case& c : { Case { "50\xb0"
                                  "07.2S",
                               "001\xb0"
                               "15.5E",
                               -(50.0 + 7.2 / 60.0), -(1.0 + 15.5 / 60.0) },
             Case { "50\xb0"
                    "07.2N",
                 "001\xb0"
                 "15.5W",
                 50.0 + 7.2 / 60.0, 1.0 + 15.5 / 60.0 },
             Case { "50\xb0"
                    "S",
                 "001\xb0"
                 "E",
                 -50.0, -1.0 },
             Case { "", "", 0.0, 0.0 } }) {
        ReferenceForm form = FormFromReference(ImageReference {});
        form.height = "400";
        form.width = "600";
        form.nwLat = c.lat;
        form.nwLon = c.lon;
        form.seLat = c.lat;
        form.seLon = c.lon;
        std::string problem;
        const auto ref = ReferenceFromForm(form, &problem);
        ASSERT_TRUE(ref) << problem;
        EXPECT_NEAR(ref->nw_lat, c.wantLat, 1e-9) << c.lat;
        EXPECT_NEAR(ref->nw_lon, c.wantLon, 1e-9) << c.lon;
        EXPECT_NEAR(ref->se_lat, c.wantLat, 1e-9) << c.lat;
        EXPECT_NEAR(ref->se_lon, c.wantLon, 1e-9) << c.lon;
    }
}

TEST(ReferenceForm, RefusesASizeOfZeroOrNoNumber)
{
    const struct {
        const char* height;
        const char* width;
        const char* word;
    } cases[] = { { "0", "600", "height" }, { "400", "0", "width" }, { "", "600", "height" }, { "400", "six", "width" },
        { "-5", "600", "height" } };
    for (const auto& c : cases) {
        ReferenceForm form = FormFromReference(ImageReference {});
        form.height = c.height;
        form.width = c.width;
        std::string problem;
        EXPECT_FALSE(ReferenceFromForm(form, &problem)) << c.height << " x " << c.width;
        EXPECT_NE(problem.find(c.word), std::string::npos) << problem;
    }
}

} // namespace
