#pragma once
// Transverse Mercator grids: the British National Grid (Airy 1830) both ways, and UTM on eight
// ellipsoids one way. The latitude and longitude given are put into the grid's formulas as they
// are; there is no datum shift. Unlike the rest of the program these functions take and give
// longitude EAST positive: callers negate the program's west-positive longitude going in and
// the result of LatLongFromNationalGrid coming out.

#include <string>

namespace kv {

// Texts of the National Grid forms.
inline constexpr const char* kGridNumberStars = "**********"; // easting or northing outside
inline constexpr const char* kGridReferenceStars = "**************"; // lettered reference outside

struct NationalGridResult {
    std::string northing; // "313177.27" form; empty in the lettered form
    std::string easting; // "651409.90" form; empty in the lettered form
    std::string reference; // "TG 51410 13177" form; empty in the numeric form
    double eastingMetres = 0.0;
    double northingMetres = 0.0;
    bool inGrid = false; // inside the grid rectangle (0 ≤ E < 700000, 0 ≤ N < 1300000)
};

NationalGridResult NationalGridFromLatLong(double latitude, double longitudeEast, bool lettered);

struct GridLatLong {
    double latitude = 0.0;
    double longitudeEast = 0.0;
    bool unsettled = false; // the iteration ran to its pass limit without settling
    int passes = 0;
};

GridLatLong LatLongFromNationalGrid(double northing, double easting);

struct UtmResult {
    std::string easting; // "30U 0512345", or "  Z *******" outside zones 1 … 60
    std::string northing; // " 5712345", or " *******"
    int zone = 0;
    char band = ' ';
    double eastingMetres = 0.0;
    double northingMetres = 0.0;
};

struct Ellipsoid {
    const char* name;
    double a;
    double b;
};

// The ellipsoid of a position display mode: 1 International 1924 … 8 WGS 84; any mode other
// than 2 … 8 gives International 1924.
const Ellipsoid& UtmEllipsoid(int mode);

UtmResult UtmFromLatLong(double latitude, double longitudeEast, int mode);

} // namespace kv
