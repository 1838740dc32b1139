#include "views/ViewText.h"

#include "geodesy/PositionReadout.h"

namespace kv {

std::string ViewPositionText(
    const UnitPreferences& units, const Settings& settings, double lat, double lon, int decimals)
{
    return PositionReadout(lat, lon, decimals, settings.PositionDisplayMode, units.DecimalStyle);
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
        unit = { " Sq. Nm", 1.0 };
    }
    if (u > 1.2) {
        unit = { " Hectares", 100.0 };
    }
    if (u > 1.0 && u < 1.8) {
        unit = { " Acres", 640.0 };
    }
    return unit;
}

} // namespace kv
