// Reading a raster's georeferencing with GDAL (built only when GDAL is found).

#include "raster/GeoReference.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

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

} // namespace

bool GeoReferenceAvailable() { return true; }

GeoReadResult ReadGeoReference(const std::string& path)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });

    // Quiet: a plain picture GDAL does not know is an answer here, not an error to print.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
    CPLPopErrorHandler();
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
