// Decoding the viewer's pictures: the reduction chosen for a shown size, the pixels of reduced
// and full JPEG decoding, bitmaps through Qt, and every way a file can fail to be a picture.

#include "raster/ImageDecode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using kv::raster::ChooseScaleDenom;
using kv::raster::DecodeImage;
using kv::raster::DecodeJpegBytes;
using kv::raster::ImageSize;
using kv::raster::ReadImageSize;

namespace {

// Four solid quadrants: red top left, green top right, blue bottom left, white bottom right. The
// quadrant edges fall on 16-pixel boundaries so that JPEG's colour subsampling keeps them clean.
QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(255, 0, 0));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(0, 255, 0));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(0, 0, 255));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor(255, 255, 255));
    return image;
}

// Busy detail, so that picture data and not the header makes up most of the file.
QImage Textured(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 7) ^ (y * 13), (x * y) & 0xff, (x + 3 * y) & 0xff));
        }
    }
    return image;
}

std::string SaveAs(const kvtest::TempDir& dir, const std::string& name, const QImage& image, const char* format)
{
    std::string path = dir.file(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format, 100)) << path;
    return path;
}

void ExpectColourNear(const QImage& image, int x, int y, QColor want, const std::string& where)
{
    const QColor got = image.pixelColor(x, y);
    const int tolerance = 12;
    EXPECT_NEAR(got.red(), want.red(), tolerance) << where << " at " << x << "," << y;
    EXPECT_NEAR(got.green(), want.green(), tolerance) << where << " at " << x << "," << y;
    EXPECT_NEAR(got.blue(), want.blue(), tolerance) << where << " at " << x << "," << y;
}

void ExpectQuadrants(const QImage& image, const std::string& where)
{
    const int w = image.width();
    const int h = image.height();
    ExpectColourNear(image, w / 4, h / 4, QColor(255, 0, 0), where);
    ExpectColourNear(image, 3 * w / 4, h / 4, QColor(0, 255, 0), where);
    ExpectColourNear(image, w / 4, 3 * h / 4, QColor(0, 0, 255), where);
    ExpectColourNear(image, 3 * w / 4, 3 * h / 4, QColor(255, 255, 255), where);
}

TEST(ImageDecodeScale, LargestReductionThatStillCoversTheWantedSize)
{
    struct Case {
        ImageSize full;
        int wantWidth, wantHeight;
        int denom;
    };
    const Case cases[] = {
        { { 10000, 8000 }, 1024, 768, 8 }, // the scanned chart at fit-to-window
        { { 10000, 8000 }, 1250, 1000, 8 }, // exactly 1/8
        { { 10000, 8000 }, 1251, 1000, 4 }, // one pixel wider than 1/8
        { { 10000, 8000 }, 1250, 1001, 4 }, // one pixel taller than 1/8
        { { 10000, 8000 }, 2500, 2000, 4 },
        { { 10000, 8000 }, 2501, 100, 2 },
        { { 10000, 8000 }, 5000, 4000, 2 },
        { { 10000, 8000 }, 5001, 4000, 1 },
        { { 10000, 8000 }, 20000, 16000, 1 }, // zoomed in beyond full size
        { { 10000, 8000 }, 0, 0, 1 }, // full size asked for
        { { 10000, 8000 }, 100, 0, 1 },
        { { 17, 9 }, 3, 2, 8 }, // libjpeg rounds up: 17/8 -> 3, 9/8 -> 2
        { { 17, 9 }, 4, 2, 4 },
        { { 17, 9 }, 9, 5, 2 },
        { { 17, 9 }, 10, 5, 1 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseScaleDenom(c.full, c.wantWidth, c.wantHeight), c.denom)
            << c.full.width << "x" << c.full.height << " shown at " << c.wantWidth << "x" << c.wantHeight;
    }
}

TEST(ImageDecodeJpeg, DecodesAtEachReductionWithTheRightPixels)
{
    kvtest::TempDir dir;
    // Baseline as most cameras and scanners write, and progressive (decoded from a buffer of the
    // whole image's coefficients) as some web tools do.
    const std::string baseline = SaveAs(dir, "plan.jpg", Quadrants(128, 96), "JPEG");
    const std::string progressive = dir.file("progressive.jpg");
    QImageWriter writer(QString::fromStdString(progressive), "JPEG");
    writer.setQuality(100);
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(Quadrants(128, 96))) << writer.errorString().toStdString();
    ASSERT_NE(dir.read("progressive.jpg").find("\xFF\xC2"), std::string::npos) << "no progressive frame written";
    struct Case {
        int wantWidth, wantHeight;
        int denom, width, height;
    };
    const Case cases[] = {
        { 0, 0, 1, 128, 96 },
        { 128, 96, 1, 128, 96 },
        { 64, 48, 2, 64, 48 },
        { 33, 10, 2, 64, 48 },
        { 32, 24, 4, 32, 24 },
        { 16, 12, 8, 16, 12 },
        { 1, 1, 8, 16, 12 },
    };
    for (const std::string& path : { baseline, progressive }) {
        for (const Case& c : cases) {
            const std::string where
                = path + " shown at " + std::to_string(c.wantWidth) + "x" + std::to_string(c.wantHeight);
            std::string error;
            const auto decoded = DecodeImage(path, c.wantWidth, c.wantHeight, &error);
            ASSERT_TRUE(decoded) << where << ": " << error;
            EXPECT_EQ(decoded->scaleDenom, c.denom) << where;
            EXPECT_EQ(decoded->full.width, 128) << where;
            EXPECT_EQ(decoded->full.height, 96) << where;
            EXPECT_EQ(decoded->image.width(), c.width) << where;
            EXPECT_EQ(decoded->image.height(), c.height) << where;
            EXPECT_EQ(decoded->image.format(), QImage::Format_RGB32) << where;
            ExpectQuadrants(decoded->image, where);
        }
    }
}

TEST(ImageDecodeJpeg, GreyscaleJpegComesOutGrey)
{
    kvtest::TempDir dir;
    QImage grey(40, 24, QImage::Format_Grayscale8);
    grey.fill(0);
    QPainter(&grey).fillRect(16, 0, 24, 24, QColor(200, 200, 200));
    const std::string path = SaveAs(dir, "grey.jpg", grey, "JPEG");
    std::string error;
    const auto decoded = DecodeImage(path, 0, 0, &error);
    ASSERT_TRUE(decoded) << error;
    ExpectColourNear(decoded->image, 4, 12, QColor(0, 0, 0), "dark part");
    ExpectColourNear(decoded->image, 30, 12, QColor(200, 200, 200), "light part");
}

// A CMYK JPEG as print software writes it: an Adobe marker and the ink values stored inverted
// (255 = no ink). Quadrants of no ink but magenta and yellow (red), cyan and yellow (green),
// cyan and magenta (blue), and no ink at all (white).
std::string WriteCmykQuadrants(const kvtest::TempDir& dir, const std::string& name, int width, int height)
{
    std::string path = dir.file(name);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        ADD_FAILURE() << "cannot write " << path;
        return path;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 100, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const unsigned char inks[4][4] = { { 0, 255, 255, 0 }, { 255, 0, 255, 0 }, { 255, 255, 0, 0 }, { 0, 0, 0, 0 } };
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int quadrant = (y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0);
            for (int i = 0; i < 4; ++i) {
                row[static_cast<std::size_t>(x) * 4 + i] = static_cast<unsigned char>(255 - inks[quadrant][i]);
            }
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
    return path;
}

TEST(ImageDecodeJpeg, CmykJpegComesOutInItsColours)
{
    kvtest::TempDir dir;
    const std::string path = WriteCmykQuadrants(dir, "print.jpg", 64, 48);
    for (const int want : { 0, 8 }) {
        std::string error;
        const auto decoded = DecodeImage(path, want, want * 3 / 4, &error);
        ASSERT_TRUE(decoded) << error;
        EXPECT_EQ(decoded->image.width(), want == 0 ? 64 : 8);
        ExpectQuadrants(decoded->image, "CMYK shown at " + std::to_string(want));
    }
}

TEST(ImageDecodeSize, FromTheHeaderOfJpegAndBitmap)
{
    kvtest::TempDir dir;
    const std::string jpeg = SaveAs(dir, "odd.jpg", Quadrants(37, 23), "JPEG");
    const std::string bmp = SaveAs(dir, "odd.bmp", Quadrants(41, 19), "BMP");
    std::string error;
    const auto jpegSize = ReadImageSize(jpeg, &error);
    ASSERT_TRUE(jpegSize) << error;
    EXPECT_EQ(jpegSize->width, 37);
    EXPECT_EQ(jpegSize->height, 23);
    const auto bmpSize = ReadImageSize(bmp, &error);
    ASSERT_TRUE(bmpSize) << error;
    EXPECT_EQ(bmpSize->width, 41);
    EXPECT_EQ(bmpSize->height, 19);

    // Only the header is needed: a JPEG cut off in its picture data still tells its size.
    const std::string bytes = dir.read("odd.jpg");
    dir.write("cut.jpg", bytes.substr(0, bytes.size() - 40));
    const auto cutSize = ReadImageSize(dir.file("cut.jpg"), &error);
    ASSERT_TRUE(cutSize) << error;
    EXPECT_EQ(cutSize->width, 37);
}

TEST(ImageDecodeBitmap, BitmapsGoThroughQtAtFullSizeWithExactPixels)
{
    kvtest::TempDir dir;
    const QImage source = Quadrants(50, 30);
    // A bitmap misnamed .jpg is still read as the bitmap it is.
    for (const std::string name : { "plan.bmp", "misnamed.jpg" }) {
        const std::string path = SaveAs(dir, name, source, "BMP");
        std::string error;
        const auto decoded = DecodeImage(path, 10, 6, &error);
        ASSERT_TRUE(decoded) << name << ": " << error;
        EXPECT_EQ(decoded->scaleDenom, 1) << name;
        EXPECT_EQ(decoded->full.width, 50) << name;
        EXPECT_EQ(decoded->full.height, 30) << name;
        ASSERT_EQ(decoded->image.size(), source.size()) << name;
        EXPECT_EQ(decoded->image.pixel(12, 7), source.pixel(12, 7)) << name;
        EXPECT_EQ(decoded->image.pixel(40, 25), source.pixel(40, 25)) << name;
    }
}

TEST(ImageDecodeErrors, EveryBrokenFileIsRefusedWithItsName)
{
    kvtest::TempDir dir;
    SaveAs(dir, "good.jpg", Textured(256, 192), "JPEG");
    const std::string good = dir.read("good.jpg");
    ASSERT_GT(good.size(), 20000u);
    struct Case {
        std::string name;
        std::string bytes; // written unless the file is to be missing
        bool write;
        bool sizeReadable; // the header alone is intact
    };
    const Case cases[] = {
        { "quarter.jpg", good.substr(0, good.size() / 4), true, true },
        { "half.jpg", good.substr(0, good.size() / 2), true, true },
        { "most.jpg", good.substr(0, good.size() * 9 / 10), true, true },
        { "no-end-marker.jpg", good.substr(0, good.size() - 2), true, true },
        { "header-cut.jpg", good.substr(0, 40), true, false },
        { "empty.jpg", "", true, false },
        { "text.jpg", "this is not a picture\r\n", true, false },
        { "text.bmp", "BM but not really a bitmap", true, false },
        { "missing.jpg", "", false, false },
    };
    for (const Case& c : cases) {
        if (c.write) {
            dir.write(c.name, c.bytes);
        }
        const std::string path = dir.file(c.name);
        for (int want : { 0, 32 }) {
            std::string error;
            const auto decoded = DecodeImage(path, want, want, &error);
            EXPECT_FALSE(decoded) << c.name << " shown at " << want;
            EXPECT_NE(error.find(path), std::string::npos) << c.name << ": " << error;
        }
        std::string error;
        EXPECT_EQ(ReadImageSize(path, &error).has_value(), c.sizeReadable) << c.name << ": " << error;
        if (!c.sizeReadable) {
            EXPECT_NE(error.find(path), std::string::npos) << c.name << ": " << error;
        }
    }
    std::string error;
    EXPECT_FALSE(DecodeImage(dir.path(), 0, 0, &error));
    EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

TEST(ImageDecodeErrors, TruncatedBytesInMemoryAreRefusedToo)
{
    kvtest::TempDir dir;
    SaveAs(dir, "good.jpg", Quadrants(128, 96), "JPEG");
    const std::string good = dir.read("good.jpg");
    std::string error;
    const auto whole = DecodeJpegBytes(good, "good.jpg", 16, 12, &error);
    ASSERT_TRUE(whole) << error;
    ExpectQuadrants(whole->image, "from memory");
    EXPECT_FALSE(DecodeJpegBytes(good.substr(0, good.size() / 2), "cut.jpg", 16, 12, &error));
    EXPECT_NE(error.find("cut.jpg"), std::string::npos) << error;
    EXPECT_FALSE(DecodeJpegBytes("BM", "b.bmp", 0, 0, &error));
}

} // namespace
