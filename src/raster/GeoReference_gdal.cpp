// Reading a raster's georeferencing with GDAL (built only when GDAL is found).

#include "raster/GeoReference.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <QColor>
#include <QImage>
#include <QVector>

#include <mutex>

namespace kv::raster {

namespace {

GeoReadResult Problem(GeoProblem problem, const std::string& name, const std::string& reason)
{
    GeoReadResult result;
    result.problem = problem;
    result.message = "Image file \"" + name + "\" " + reason;
    return result;
}

std::string SrsName(const OGRSpatialReference& srs)
{
    const char* name = srs.GetName();
    return name != nullptr && *name != '\0' ? std::string(name) : std::string("unnamed");
}

void RegisterOnce()
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
}

GDALDatasetUniquePtr OpenQuietly(const std::string& path)
{
    RegisterOnce();
    // Quiet: a plain picture GDAL does not know is an answer here, not an error to print.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    CPLPopErrorHandler();
    return dataset;
}

// The largest picture made here, as for JPEG: 1 GiB at 4 bytes a pixel.
constexpr long long kMaxOutputPixels = 1LL << 28;

// Reads one band, reduced to the output size, as bytes into out with the given pixel and row
// spacing.
bool ReadBand(GDALRasterBand* band, GDALDataset& dataset, unsigned char* out, int width, int height, int pixelSpace,
    qsizetype lineSpace)
{
    GDALRasterIOExtraArg extra;
    INIT_RASTERIO_EXTRA_ARG(extra);
    extra.eResampleAlg = GRIORA_NearestNeighbour;
    CPLPushErrorHandler(CPLQuietErrorHandler);
    const CPLErr result = band->RasterIO(GF_Read, 0, 0, dataset.GetRasterXSize(), dataset.GetRasterYSize(), out, width,
        height, GDT_Byte, pixelSpace, static_cast<GSpacing>(lineSpace), &extra);
    CPLPopErrorHandler();
    return result == CE_None;
}

} // namespace

std::optional<DecodedImage> DecodeGeoRaster(const std::string& path, int wantWidth, int wantHeight, std::string* error)
{
    auto fail = [&](const std::string& reason) -> std::optional<DecodedImage> {
        if (error != nullptr) {
            *error = "Image file \"" + path + "\" " + reason;
        }
        return std::nullopt;
    };
    GDALDatasetUniquePtr dataset = OpenQuietly(path);
    if (!dataset) {
        return fail("is not a raster GDAL can read.");
    }
    const ImageSize full { dataset->GetRasterXSize(), dataset->GetRasterYSize() };
    const int bands = dataset->GetRasterCount();
    if (full.width <= 0 || full.height <= 0 || bands <= 0) {
        return fail("has no pixels.");
    }
    DecodedImage decoded;
    decoded.full = full;
    decoded.scaleDenom = ChooseScaleDenom(full, wantWidth, wantHeight);
    const ImageSize out = ScaledSize(full, decoded.scaleDenom);
    if (static_cast<long long>(out.width) * out.height > kMaxOutputPixels) {
        return fail(
            "is too large to show (" + std::to_string(out.width) + " x " + std::to_string(out.height) + " pixels).");
    }
    if (bands >= 3) {
        QImage image(out.width, out.height, QImage::Format_RGB32);
        if (image.isNull()) {
            return fail("is too large to show.");
        }
        image.fill(QColor(0, 0, 0));
        // RGB32 keeps each pixel as one 32-bit 0xffRRGGBB word: find the bytes of each channel.
        const int shift[3] = { 16, 8, 0 };
        for (int channel = 0; channel < 3; ++channel) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
            const int offset = shift[channel] / 8;
#else
            const int offset = 3 - shift[channel] / 8;
#endif
            if (!ReadBand(dataset->GetRasterBand(channel + 1), *dataset, image.bits() + offset, out.width, out.height,
                    4, image.bytesPerLine())) {
                return fail("could not be read (" + std::string(CPLGetLastErrorMsg()) + ").");
            }
        }
        decoded.image = std::move(image);
        return decoded;
    }
    GDALRasterBand* band = dataset->GetRasterBand(1);
    QImage indexed(out.width, out.height, QImage::Format_Indexed8);
    if (indexed.isNull()) {
        return fail("is too large to show.");
    }
    if (!ReadBand(band, *dataset, indexed.bits(), out.width, out.height, 1, indexed.bytesPerLine())) {
        return fail("could not be read (" + std::string(CPLGetLastErrorMsg()) + ").");
    }
    QVector<QRgb> colours(256);
    const GDALColorTable* table = band->GetColorTable();
    for (int i = 0; i < 256; ++i) {
        colours[i] = qRgb(i, i, i);
        if (table != nullptr && i < table->GetColorEntryCount()) {
            GDALColorEntry entry {};
            table->GetColorEntryAsRGB(i, &entry);
            colours[i] = qRgb(entry.c1, entry.c2, entry.c3);
        }
    }
    indexed.setColorTable(colours);
    decoded.image = indexed.convertToFormat(QImage::Format_RGB32);
    if (decoded.image.isNull()) {
        return fail("is too large to show.");
    }
    return decoded;
}

std::optional<ImageSize> ReadGeoRasterSize(const std::string& path, std::string* error)
{
    GDALDatasetUniquePtr dataset = OpenQuietly(path);
    if (!dataset || dataset->GetRasterXSize() <= 0 || dataset->GetRasterYSize() <= 0
        || dataset->GetRasterCount() <= 0) {
        if (error != nullptr) {
            *error = "Image file \"" + path + "\" is not a raster GDAL can read.";
        }
        return std::nullopt;
    }
    return ImageSize { dataset->GetRasterXSize(), dataset->GetRasterYSize() };
}

bool GeoReferenceAvailable()
{
    return true;
}

GeoReadResult ReadGeoReference(const std::string& path)
{
    GDALDatasetUniquePtr dataset = OpenQuietly(path);
    if (!dataset) {
        return Problem(GeoProblem::NotReadable, path, "is not a raster GDAL can read.");
    }
    double transform[6] = {};
    if (dataset->GetGeoTransform(transform) != CE_None) {
        if (dataset->GetGCPCount() > 0) {
            return Problem(GeoProblem::Rotated, path,
                "is placed by control points rather than a north-up grid; it cannot be referenced.");
        }
        return Problem(GeoProblem::NotGeoreferenced, path, "carries no georeferencing.");
    }
    const OGRSpatialReference* srs = dataset->GetSpatialRef();
    if (srs == nullptr || srs->IsEmpty()) {
        return Problem(GeoProblem::NotWgs84, path,
            "has a georeferencing without a coordinate system; only WGS 84 latitude and longitude "
            "can be referenced.");
    }
    if (srs->IsProjected()) {
        return Problem(GeoProblem::NotWgs84, path,
            "is in a projected coordinate system (" + SrsName(*srs)
                + "); only WGS 84 latitude and longitude can be referenced.");
    }
    if (!srs->IsGeographic()) {
        return Problem(GeoProblem::NotWgs84, path,
            "is not in latitude and longitude (" + SrsName(*srs)
                + "); only WGS 84 latitude and longitude can be referenced.");
    }
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    if (!srs->IsSameGeogCS(&wgs84)) {
        const char* datum = srs->GetAttrValue("DATUM");
        return Problem(GeoProblem::NotWgs84, path,
            "uses the datum " + std::string(datum != nullptr ? datum : SrsName(*srs))
                + ", not WGS 84; it cannot be referenced.");
    }
    return CornersFromGeoTransform(transform, dataset->GetRasterXSize(), dataset->GetRasterYSize(), path);
}

} // namespace kv::raster
