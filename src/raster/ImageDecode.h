#pragma once
// Reading the pictures of the raster image viewer. A JPEG goes through libjpeg-turbo directly so
// that a large scanned chart shown at fit-to-window is decoded at 1/2, 1/4 or 1/8 of its size:
// the decoder then skips most of the inverse transform and the image in memory is as small as
// what is shown. Any other picture (a bitmap) goes through Qt's image reader at full size.
// Nothing here throws, longjmps through C++ code or exits; every failure comes back as an error
// text that names the file.

#include <QImage>

#include <optional>
#include <string>
#include <string_view>

namespace kv::raster {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// The full pixel size of a JPEG (header only, no decoding) or of a BMP / other Qt-readable image.
// A raster Qt cannot read (a GeoTIFF, a BSB/KAP chart) is asked of GDAL where the build has it.
std::optional<ImageSize> ReadImageSize(const std::string& path, std::string* error);

struct DecodedImage {
    QImage image; // what was decoded (RGB32 or RGB888), possibly reduced
    ImageSize full; // the file's full size
    int scaleDenom = 1; // 1, 2, 4 or 8: image is full / scaleDenom (rounded up as libjpeg does)
};

// Decodes for showing at wantWidth x wantHeight pixels (0 x 0 = full size): a JPEG through
// libjpeg-turbo called directly, at the largest reduction 1/8, 1/4, 1/2 whose result is still at
// least the wanted size on both axes; any other image (BMP) through QImageReader at full size.
// A missing, truncated or non-image file gives std::nullopt and a clear error naming the file.
// A raster Qt cannot read goes through GDAL where the build has it (DecodeGeoRaster, reduced
// like a JPEG).
std::optional<DecodedImage> DecodeImage(const std::string& path, int wantWidth, int wantHeight, std::string* error);

// The same for JPEG bytes already in memory (name is only used in the error text). Bytes that
// are not a JPEG are refused.
std::optional<DecodedImage> DecodeJpegBytes(
    std::string_view bytes, const std::string& name, int wantWidth, int wantHeight, std::string* error);

// The reduction DecodeImage picks: the largest of 8, 4, 2 for which the reduced size (rounded up)
// still covers the wanted size on both axes, else 1. A wanted size of 0 or less on either axis
// asks for the full size.
int ChooseScaleDenom(ImageSize full, int wantWidth, int wantHeight);

// The size libjpeg produces at 1/denom: each axis divided and rounded up.
ImageSize ScaledSize(ImageSize full, int denom);

// True when the bytes start like a JPEG file (start-of-image marker followed by another marker).
bool LooksLikeJpeg(std::string_view firstBytes);

} // namespace kv::raster
