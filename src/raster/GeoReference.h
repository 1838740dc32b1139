#pragma once
// Corner positions of a georeferenced raster (a GeoTIFF harbour plan, a BSB/KAP chart when GDAL
// has the driver), read with GDAL, so that the raster image viewer can place the image without a
// .ref file. Only the simple case the viewer's linear mapping can show is taken: a north-up grid
// (no rotation or shear terms) in WGS 84 latitude and longitude. Anything else comes back with a
// message saying why, and the image opens unreferenced. GDAL is optional at build time; without
// it every call says so.

#include "raster/ImageDecode.h"

#include <optional>
#include <string>

namespace kv::raster {

// Ready to fill the image reference record: latitudes north positive, longitudes WEST POSITIVE
// as everywhere in this program (east of Greenwich is negative), corners at the outer edges of
// the corner pixels, so that the south-east corner is where pixel (width, height) would start.
struct GeoCorners {
    int width = 0; // raster size in pixels
    int height = 0;
    double nwLat = 0; // north-west corner
    double nwLon = 0;
    double seLat = 0; // south-east corner
    double seLon = 0;
    double pixelWidthDeg = 0; // one pixel's extent in degrees of longitude and of latitude
    double pixelHeightDeg = 0;
};

enum class GeoProblem {
    None, // corners found
    NoGdal, // this build has no GDAL
    NotReadable, // GDAL cannot open the file as a raster
    NotGeoreferenced, // a plain picture: no geotransform (the .ref file applies)
    Rotated, // rotation or shear terms, or not north-up
    NotWgs84, // projected, or another datum, or no coordinate system
    OutOfRange, // corners beyond the range of latitude and longitude
};

struct GeoReadResult {
    std::optional<GeoCorners> corners;
    GeoProblem problem = GeoProblem::None;
    std::string message; // empty when corners were found; names the file and the reason otherwise
};

// True when this build reads georeferencing (it has GDAL).
bool GeoReferenceAvailable();

// The georeferencing of the raster at path.
GeoReadResult ReadGeoReference(const std::string& path);

// The pixels of a raster Qt has no reader for (a GeoTIFF, a BSB/KAP chart) through GDAL, as RGB32,
// reduced for the shown size by the same rule as DecodeImage (1/2, 1/4, 1/8, nearest pixel; GDAL
// uses the file's overviews when it has them). Three or more bands are taken as red, green, blue;
// one band with a colour table as a paletted picture; one band without as grey.
std::optional<DecodedImage> DecodeGeoRaster(const std::string& path, int wantWidth, int wantHeight, std::string* error);
// The pixel size of such a raster.
std::optional<ImageSize> ReadGeoRasterSize(const std::string& path, std::string* error);

// The part that needs no GDAL: corners from a GDAL-style geotransform (x = longitude east
// positive, y = latitude: x = t[0] + col t[1] + row t[2], y = t[3] + col t[4] + row t[5]) of a
// raster already known to be in WGS 84 latitude and longitude. name goes into the message.
GeoReadResult CornersFromGeoTransform(const double transform[6], int width, int height, const std::string& name);

} // namespace kv::raster
