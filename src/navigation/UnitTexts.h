#pragma once
// The distance figures of the navigation panel in the distance unit the user chose: the trip and
// the cross-track gauge's scale. In nautical miles they are the program's usual texts.

#include "core/Settings.h"

#include <string>

namespace kv {

// "12.34 Nm" in nautical miles; otherwise the trip in the chosen unit and its label
// ("22.85 Km", "14.20 Mls").
std::string TripText(double tripNm, const UnitSettings& units);

// The gauge's position (-100 … 100, a tenth of the unit per step below one unit, a whole unit per
// step from one upwards) and the scale beside it. In nautical miles the scale is `nmScale`, the
// route computation's text ("x 0.1 NM" or "x 1.0 NM"); otherwise "x 0.1 KM" and the like.
struct XteGaugeFigures {
    int position = 0;
    std::string scale;
};
XteGaugeFigures XteGaugeIn(double xteNm, const std::string& nmScale, const UnitSettings& units);

// The cross-track error's size beside the gauge in the chosen unit, with the side of the track:
// "0.12 R", "0.40 L", "0.00".
std::string XteGaugeTextIn(double xteNm, const UnitSettings& units);

} // namespace kv
