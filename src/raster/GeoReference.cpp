#include "raster/GeoReference.h"

#include <cmath>

namespace kv::raster {

namespace {

GeoReadResult Problem(GeoProblem problem, const std::string& name, const std::string& reason)
{
    GeoReadResult result;
    result.problem = problem;
    result.message = "Image file \"" + name + "\" " + reason;
    return result;
}

} // namespace

GeoReadResult CornersFromGeoTransform(const double transform[6], int width, int height, const std::string& name)
{
    for (int i = 0; i < 6; ++i) {
        if (!std::isfinite(transform[i])) {
            return Problem(GeoProblem::OutOfRange, name, "has a georeferencing that is not a number.");
        }
    }
    if (width <= 0 || height <= 0) {
        return Problem(GeoProblem::NotReadable, name, "has no pixels.");
    }
    if (transform[2] != 0.0 || transform[4] != 0.0) {
        return Problem(
            GeoProblem::Rotated, name, "is rotated or sheared against north; only north-up images can be referenced.");
    }
    if (!(transform[1] > 0.0) || !(transform[5] < 0.0)) {
        return Problem(GeoProblem::Rotated, name,
            "is not north-up (it is mirrored or upside down); only north-up images can be referenced.");
    }
    const double westEast = transform[0];
    const double northLat = transform[3];
    const double eastEast = transform[0] + width * transform[1];
    const double southLat = transform[3] + height * transform[5];
    if (northLat > 90.0 || southLat < -90.0 || westEast < -180.0 || eastEast > 360.0 || eastEast - westEast > 360.0) {
        return Problem(GeoProblem::OutOfRange, name,
            "has corners beyond the range of latitude and longitude; it cannot be referenced.");
    }
    // Grids numbered 0..360 east come back to -180..180. The program's longitudes are west
    // positive; an image straddling 180 keeps its west corner the larger value by letting the
    // east corner go below -180.
    double westLon = westEast > 180.0 ? westEast - 360.0 : westEast;
    double eastLon = westLon + (eastEast - westEast);
    GeoCorners corners;
    corners.width = width;
    corners.height = height;
    corners.nwLat = northLat;
    corners.nwLon = -westLon;
    corners.seLat = southLat;
    corners.seLon = -eastLon;
    corners.pixelWidthDeg = transform[1];
    corners.pixelHeightDeg = -transform[5];
    GeoReadResult result;
    result.corners = corners;
    return result;
}

} // namespace kv::raster
