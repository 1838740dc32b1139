#pragma once
// Texts the views compose: the cursor position readout and the unit names of the distance grid
// and the area command.

#include "core/Preferences.h"
#include "core/Settings.h"

#include <string>

namespace kv {

// The cursor readout of a position (west-positive longitude) with the given decimals of minutes,
// in the position display mode and style the user chose.
std::string ViewPositionText(
    const UnitPreferences& units, const Settings& settings, double lat, double lon, int decimals);

// "Nm ", "Km " or "Mls " from the unit factor, tested in that order with later tests winning.
std::string GridUnitName(double unitFactor);

struct AreaUnit {
    std::string name; // " Sq. Nm", " Hectares" or " Acres"
    double factor = 1.0;
};
AreaUnit AreaUnitFor(double unitFactor);

} // namespace kv
