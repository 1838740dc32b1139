#include "charts/ViewText.h"

#include "core/Format.h"

#include <cmath>

namespace kv {

namespace {

std::string Part(double value, int degreeWidth, int decimals)
{
    const double a = std::fabs(value);
    const double degrees = std::trunc(a);
    const double minutes = (a - degrees) * 60.0;
    return ZeroFill(FormatInt(static_cast<long long>(degrees), degreeWidth) + "\xb0" +
                    FormatFixed(minutes, decimals + 3, decimals));
}

} // namespace

std::string ViewPositionText(const Settings& /*settings*/, double lat, double lon, int decimals)
{
    // Latitude/longitude with decimal minutes; east when the longitude is negative.
    std::string text = Part(lat, 2, decimals) + (lat >= 0.0 ? "N" : "S");
    text += " " + Part(lon, 3, decimals) + (lon >= 0.0 ? "W" : "E");
    return text.substr(0, 60);
}

std::string GridUnitName(double u)
{
    std::string name;
    if (u < 1.1) {
        name = "Nm ";
    }
    if (u > 1.2) {
        name = "Km ";
    }
    if (u > 1.0 && u < 1.8) {
        name = "Mls ";
    }
    return name;
}

AreaUnit AreaUnitFor(double u)
{
    AreaUnit unit;
    if (u < 1.1) {
        unit = {" Sq. Nm", 1.0};
    }
    if (u > 1.2) {
        unit = {" Hectares", 100.0};
    }
    if (u > 1.0 && u < 1.8) {
        unit = {" Acres", 640.0};
    }
    return unit;
}

} // namespace kv
