// Corner positions from a raster's georeferencing: the geotransform rules on their own, and
// GeoTIFFs made here with GDAL (north-up WGS 84, rotated, projected, another datum).

#include "raster/GeoReference.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#ifdef KV_HAVE_GDAL
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#endif

using kv::raster::CornersFromGeoTransform;
using kv::raster::GeoProblem;
using kv::raster::ReadGeoReference;

namespace {

TEST(GeoReferenceTransform, NorthUpGridGivesWestPositiveCorners)
{
    struct Case {
        const char* what;
        double transform[6];
        int width, height;
        double nwLat, nwLon, seLat, seLon;
    };
    const Case cases[] = {
        // 0.001 degree pixels from 50.5 N 1.25 W: the west corner has the larger (west positive) value.
        { "west of Greenwich", { -1.25, 0.001, 0, 50.5, 0, -0.002 }, 500, 250, 50.5, 1.25, 50.0, 0.75 },
        // East longitudes are negative in the program.
        { "east of Greenwich", { 10.0, 0.01, 0, -33.0, 0, -0.01 }, 100, 200, -33.0, -10.0, -35.0, -11.0 },
        // A grid numbered 0..360 east comes back to -180..180.
        { "0..360 grid", { 350.0, 0.5, 0, 60.0, 0, -0.5 }, 10, 10, 60.0, 10.0, 55.0, 5.0 },
        // Across the date line the east corner passes -180 so the west corner stays the larger.
        { "across 180", { 179.0, 0.5, 0, 0.0, 0, -0.5 }, 4, 2, 0.0, -179.0, -1.0, -181.0 },
    };
    for (const Case& c : cases) {
        const auto result = CornersFromGeoTransform(c.transform, c.width, c.height, "plan.tif");
        ASSERT_TRUE(result.corners) << c.what << ": " << result.message;
        EXPECT_EQ(result.problem, GeoProblem::None) << c.what;
        EXPECT_TRUE(result.message.empty()) << c.what;
        EXPECT_EQ(result.corners->width, c.width) << c.what;
        EXPECT_EQ(result.corners->height, c.height) << c.what;
        EXPECT_NEAR(result.corners->nwLat, c.nwLat, 1e-9) << c.what;
        EXPECT_NEAR(result.corners->nwLon, c.nwLon, 1e-9) << c.what;
        EXPECT_NEAR(result.corners->seLat, c.seLat, 1e-9) << c.what;
        EXPECT_NEAR(result.corners->seLon, c.seLon, 1e-9) << c.what;
        EXPECT_NEAR(result.corners->pixelWidthDeg, c.transform[1], 1e-12) << c.what;
        EXPECT_NEAR(result.corners->pixelHeightDeg, -c.transform[5], 1e-12) << c.what;
        // What the viewer's `referenced` rule asks of the corners.
        EXPECT_GT(result.corners->nwLat - result.corners->seLat, 1e-7) << c.what;
        EXPECT_GT(result.corners->nwLon - result.corners->seLon, 1e-7) << c.what;
    }
}

TEST(GeoReferenceTransform, GridsTheViewerCannotMapAreRefusedWithTheReason)
{
    struct Case {
        const char* what;
        double transform[6];
        int width, height;
        GeoProblem problem;
        const char* words;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        { "rotated", { 0, 0.001, 0.0002, 50, 0.0002, -0.001 }, 10, 10, GeoProblem::Rotated, "rotated" },
        { "sheared in x only", { 0, 0.001, 0.0001, 50, 0, -0.001 }, 10, 10, GeoProblem::Rotated, "rotated" },
        { "upside down", { 0, 0.001, 0, 50, 0, 0.001 }, 10, 10, GeoProblem::Rotated, "north-up" },
        { "mirrored", { 0, -0.001, 0, 50, 0, -0.001 }, 10, 10, GeoProblem::Rotated, "north-up" },
        { "beyond the pole", { 0, 0.1, 0, 95, 0, -0.1 }, 10, 10, GeoProblem::OutOfRange, "range" },
        { "metres, not degrees", { 500000, 10, 0, 5600000, 0, -10 }, 10, 10, GeoProblem::OutOfRange, "range" },
        { "not a number", { nan, 0.1, 0, 50, 0, -0.1 }, 10, 10, GeoProblem::OutOfRange, "not a number" },
        { "no pixels", { 0, 0.1, 0, 50, 0, -0.1 }, 0, 10, GeoProblem::NotReadable, "no pixels" },
    };
    for (const Case& c : cases) {
        const auto result = CornersFromGeoTransform(c.transform, c.width, c.height, "plan.tif");
        EXPECT_FALSE(result.corners) << c.what;
        EXPECT_EQ(result.problem, c.problem) << c.what;
        EXPECT_NE(result.message.find("plan.tif"), std::string::npos) << c.what << ": " << result.message;
        EXPECT_NE(result.message.find(c.words), std::string::npos) << c.what << ": " << result.message;
    }
}

#ifdef KV_HAVE_GDAL

// A small 3-band GeoTIFF with the given geotransform and EPSG coordinate system (0: none).
std::string MakeGeoTiff(
    const kvtest::TempDir& dir, const std::string& name, const double transform[6], int epsg, bool withTransform = true)
{
    GDALAllRegister();
    std::string path = dir.file(name);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    EXPECT_NE(driver, nullptr);
    if (driver == nullptr) {
        return path;
    }
    GDALDataset* ds = driver->Create(path.c_str(), 60, 40, 3, GDT_Byte, nullptr);
    EXPECT_NE(ds, nullptr);
    if (ds == nullptr) {
        return path;
    }
    if (withTransform) {
        double t[6];
        std::copy(transform, transform + 6, t);
        ds->SetGeoTransform(t);
    }
    if (epsg != 0) {
        OGRSpatialReference srs;
        srs.importFromEPSG(epsg);
        ds->SetSpatialRef(&srs);
    }
    GDALClose(ds);
    return path;
}

// A 64 x 48 north-up WGS 84 GeoTIFF in four quadrants (red, green / blue, white), either as three
// colour bands or as one band with a colour table.
std::string MakeQuadrantGeoTiff(const kvtest::TempDir& dir, const std::string& name, bool paletted)
{
    GDALAllRegister();
    std::string path = dir.file(name);
    const int width = 64, height = 48;
    GDALDataset* ds = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
        path.c_str(), width, height, paletted ? 1 : 3, GDT_Byte, nullptr);
    EXPECT_NE(ds, nullptr);
    if (ds == nullptr) {
        return path;
    }
    const unsigned char colours[4][3] = { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 255, 255, 255 } };
    std::vector<unsigned char> quadrant(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            quadrant[y * width + x] = static_cast<unsigned char>((y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0));
        }
    }
    if (paletted) {
        GDALColorTable table;
        for (int i = 0; i < 4; ++i) {
            GDALColorEntry entry { colours[i][0], colours[i][1], colours[i][2], 255 };
            table.SetColorEntry(i, &entry);
        }
        ds->GetRasterBand(1)->SetColorTable(&table);
        EXPECT_EQ(ds->GetRasterBand(1)->RasterIO(
                      GF_Write, 0, 0, width, height, quadrant.data(), width, height, GDT_Byte, 0, 0, nullptr),
            CE_None);
    } else {
        for (int band = 0; band < 3; ++band) {
            std::vector<unsigned char> values(quadrant.size());
            for (std::size_t i = 0; i < values.size(); ++i) {
                values[i] = colours[quadrant[i]][band];
            }
            EXPECT_EQ(ds->GetRasterBand(band + 1)->RasterIO(
                          GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Byte, 0, 0, nullptr),
                CE_None);
        }
    }
    double transform[6] = { 2.0, 0.001, 0, 40.0, 0, -0.001 };
    ds->SetGeoTransform(transform);
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    ds->SetSpatialRef(&srs);
    GDALClose(ds);
    return path;
}

#endif

TEST(GeoReferenceFile, PixelsOfGeoTiffsThroughGdalAtEachReduction)
{
#ifndef KV_HAVE_GDAL
    std::string error;
    EXPECT_FALSE(kv::raster::DecodeGeoRaster("/nonexistent/plan.tif", 0, 0, &error));
    EXPECT_EQ(error, "georeferenced images need GDAL, which this build lacks");
    GTEST_SKIP() << "built without GDAL: no GeoTIFF can be made or read";
#else
    kvtest::TempDir dir;
    for (const bool paletted : { false, true }) {
        const std::string path = MakeQuadrantGeoTiff(dir, paletted ? "paletted.tif" : "rgb.tif", paletted);
        struct Case {
            int wantWidth, wantHeight, denom, width, height;
        };
        for (const Case& c : { Case { 0, 0, 1, 64, 48 }, Case { 32, 24, 2, 32, 24 }, Case { 15, 10, 4, 16, 12 },
                 Case { 8, 6, 8, 8, 6 } }) {
            const std::string where = path + " shown at " + std::to_string(c.wantWidth);
            std::string error;
            const auto decoded = kv::raster::DecodeGeoRaster(path, c.wantWidth, c.wantHeight, &error);
            ASSERT_TRUE(decoded) << where << ": " << error;
            EXPECT_EQ(decoded->scaleDenom, c.denom) << where;
            EXPECT_EQ(decoded->full.width, 64) << where;
            EXPECT_EQ(decoded->full.height, 48) << where;
            ASSERT_EQ(decoded->image.width(), c.width) << where;
            ASSERT_EQ(decoded->image.height(), c.height) << where;
            const QImage& image = decoded->image;
            EXPECT_EQ(image.pixel(c.width / 4, c.height / 4), qRgb(255, 0, 0)) << where;
            EXPECT_EQ(image.pixel(3 * c.width / 4, c.height / 4), qRgb(0, 255, 0)) << where;
            EXPECT_EQ(image.pixel(c.width / 4, 3 * c.height / 4), qRgb(0, 0, 255)) << where;
            EXPECT_EQ(image.pixel(3 * c.width / 4, 3 * c.height / 4), qRgb(255, 255, 255)) << where;
            // Qt has no reader for these files here: the viewer's one decoding call takes them to
            // GDAL itself.
            const auto viaDecodeImage = kv::raster::DecodeImage(path, c.wantWidth, c.wantHeight, &error);
            ASSERT_TRUE(viaDecodeImage) << where << ": " << error;
            EXPECT_EQ(viaDecodeImage->image, image) << where;
        }
        std::string error;
        const auto size = kv::raster::ReadImageSize(path, &error);
        ASSERT_TRUE(size) << path << ": " << error;
        EXPECT_EQ(size->width, 64);
        EXPECT_EQ(size->height, 48);
    }
    std::string error;
    dir.write("text.tif", "not a raster");
    EXPECT_FALSE(kv::raster::DecodeGeoRaster(dir.file("text.tif"), 0, 0, &error));
    EXPECT_NE(error.find("text.tif"), std::string::npos) << error;
    EXPECT_FALSE(kv::raster::DecodeImage(dir.file("text.tif"), 0, 0, &error));
    EXPECT_NE(error.find("text.tif"), std::string::npos) << error;
    EXPECT_FALSE(kv::raster::ReadGeoRasterSize(dir.file("text.tif"), &error));
#endif
}

TEST(GeoReferenceFile, GeoTiffsMadeWithGdal)
{
#ifndef KV_HAVE_GDAL
    EXPECT_FALSE(kv::raster::GeoReferenceAvailable());
    const auto result = ReadGeoReference("/nonexistent/plan.tif");
    EXPECT_EQ(result.problem, GeoProblem::NoGdal);
    EXPECT_EQ(result.message, "georeferenced images need GDAL, which this build lacks");
    GTEST_SKIP() << "built without GDAL: no GeoTIFF can be made or read";
#else
    ASSERT_TRUE(kv::raster::GeoReferenceAvailable());
    kvtest::TempDir dir;
    const double northUp[6] = { -4.2, 0.0005, 0, 50.4, 0, -0.0005 }; // 60 x 40 pixels near Plymouth
    const double rotated[6] = { -4.2, 0.0005, 0.0001, 50.4, 0.0001, -0.0005 };
    const double utm[6] = { 420000, 10, 0, 5580000, 0, -10 };

    const auto good = ReadGeoReference(MakeGeoTiff(dir, "plan.tif", northUp, 4326));
    ASSERT_TRUE(good.corners) << good.message;
    EXPECT_EQ(good.corners->width, 60);
    EXPECT_EQ(good.corners->height, 40);
    EXPECT_NEAR(good.corners->nwLat, 50.4, 1e-9);
    EXPECT_NEAR(good.corners->nwLon, 4.2, 1e-9); // west positive
    EXPECT_NEAR(good.corners->seLat, 50.38, 1e-9);
    EXPECT_NEAR(good.corners->seLon, 4.17, 1e-9);

    struct Case {
        const char* name;
        const double* transform;
        int epsg;
        bool withTransform;
        GeoProblem problem;
        const char* words;
    };
    const Case cases[] = {
        { "rotated.tif", rotated, 4326, true, GeoProblem::Rotated, "rotated" },
        { "utm.tif", utm, 32630, true, GeoProblem::NotWgs84, "projected" },
        { "ed50.tif", northUp, 4230, true, GeoProblem::NotWgs84, "WGS 84" }, // European 1950 datum
        { "no-crs.tif", northUp, 0, true, GeoProblem::NotWgs84, "coordinate system" },
        { "plain.tif", northUp, 0, false, GeoProblem::NotGeoreferenced, "no georeferencing" },
    };
    for (const Case& c : cases) {
        const std::string path = MakeGeoTiff(dir, c.name, c.transform, c.epsg, c.withTransform);
        const auto result = ReadGeoReference(path);
        EXPECT_FALSE(result.corners) << c.name;
        EXPECT_EQ(result.problem, c.problem) << c.name << ": " << result.message;
        EXPECT_NE(result.message.find(path), std::string::npos) << c.name << ": " << result.message;
        EXPECT_NE(result.message.find(c.words), std::string::npos) << c.name << ": " << result.message;
    }

    dir.write("text.tif", "not a raster at all");
    const auto text = ReadGeoReference(dir.file("text.tif"));
    EXPECT_EQ(text.problem, GeoProblem::NotReadable) << text.message;
    EXPECT_EQ(ReadGeoReference(dir.file("missing.tif")).problem, GeoProblem::NotReadable);
#endif
}

} // namespace
