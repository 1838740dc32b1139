#include "navigation/UnitTexts.h"

#include "core/Format.h"
#include "core/Units.h"
#include "navigation/XteText.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

bool InNauticalMiles(const UnitSettings& units)
{
    return DistanceUnitLabel(units) == "Nm ";
}

std::string Label(const UnitSettings& units)
{
    return Trim(DistanceUnitLabel(units));
}

} // namespace

std::string TripText(double tripNm, const UnitSettings& units)
{
    if (InNauticalMiles(units)) {
        return FormatFixed(tripNm, 0, 2) + " Nm";
    }
    return FormatFixed(tripNm * units.UnitFactor, 0, 2) + " " + Label(units);
}

XteGaugeFigures XteGaugeIn(double xteNm, const std::string& nmScale, const UnitSettings& units)
{
    const bool nm = InNauticalMiles(units);
    const double e = nm ? xteNm : xteNm * units.UnitFactor;
    const long long position = std::fabs(e) < 1.0 ? -RoundHalfEven(e * 100.0) : -RoundHalfEven(e * 10.0);
    XteGaugeFigures g;
    g.position = static_cast<int>(std::clamp<long long>(position, -100, 100));
    if (nm) {
        g.scale = nmScale;
    } else {
        g.scale = std::string(std::fabs(e) >= 1.0 ? "x 1.0 " : "x 0.1 ") + ToUpperAscii(Label(units));
    }
    return g;
}

std::string XteGaugeTextIn(double xteNm, const UnitSettings& units)
{
    return XteGaugeText(InNauticalMiles(units) ? xteNm : xteNm * units.UnitFactor);
}

} // namespace kv
