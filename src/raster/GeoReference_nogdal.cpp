// The georeferencing reader of a build without GDAL: every call says what is missing.

#include "raster/GeoReference.h"

namespace kv::raster {

bool GeoReferenceAvailable()
{
    return false;
}

GeoReadResult ReadGeoReference(const std::string& path)
{
    (void)path;
    GeoReadResult result;
    result.problem = GeoProblem::NoGdal;
    result.message = "georeferenced images need GDAL, which this build lacks";
    return result;
}

std::optional<DecodedImage> DecodeGeoRaster(const std::string& path, int wantWidth, int wantHeight, std::string* error)
{
    (void)path;
    (void)wantWidth;
    (void)wantHeight;
    if (error != nullptr) {
        *error = "georeferenced images need GDAL, which this build lacks";
    }
    return std::nullopt;
}

std::optional<ImageSize> ReadGeoRasterSize(const std::string& path, std::string* error)
{
    (void)path;
    if (error != nullptr) {
        *error = "georeferenced images need GDAL, which this build lacks";
    }
    return std::nullopt;
}

} // namespace kv::raster
