#include "geodesy/PositionReadout.h"

#include "core/Format.h"
#include "geodesy/Grid.h"
#include "geodesy/PositionText.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Minutes and seconds to the tenth, truncated so that 15.99999' shows 15'59.9 and never
// 16'00.0. The count of tenths is taken from the whole minutes value at once, with a margin far
// below a tenth of a second, so that 7.25' held as 7.2499999999' still shows 07'15.0.
std::string MinutesSecondsText(double value, long long& degrees)
{
    value = std::fabs(detail::Finite(value));
    const double whole = std::trunc(value);
    degrees = static_cast<long long>(whole);
    long long tenths = static_cast<long long>(std::trunc((value - whole) * 36000.0 + 1e-6));
    if (tenths >= 36000) {
        degrees += 1;
        tenths -= 36000;
    }
    return FormatInt(tenths / 600, 2) + "'" + FormatFixed(static_cast<double>(tenths % 600) / 10.0, 4, 1);
}

std::string CoordinatePart(double value, int degreeWidth, int decimals, bool decimalStyle)
{
    long long degrees = 0;
    std::string minutes;
    if (decimalStyle) {
        const auto dm = detail::SplitDegrees(value, decimals + 3, decimals);
        degrees = dm.degrees;
        minutes = dm.minutes;
    } else {
        minutes = MinutesSecondsText(value, degrees);
    }
    return ZeroFill(FormatInt(degrees, degreeWidth) + kDegreeSign + minutes);
}

} // namespace

std::string PositionReadout(double latitude, double longitude, int decimals, int positionDisplayMode, bool decimalStyle)
{
    decimals = std::clamp(decimals, 0, 10);
    latitude = detail::Finite(latitude);
    longitude = detail::Finite(longitude);
    std::string text;
    if (!GridDisplay(positionDisplayMode)) {
        text = CoordinatePart(latitude, 2, decimals, decimalStyle) + (latitude >= 0.0 ? "N" : "S") + " "
            + CoordinatePart(longitude, 3, decimals, decimalStyle) + (longitude >= 0.0 ? "W" : "E");
    } else if (positionDisplayMode == 0) {
        const auto grid = NationalGridFromLatLong(latitude, -longitude, decimalStyle);
        text = decimalStyle ? grid.reference : "E" + grid.easting + " N" + grid.northing;
    } else {
        const auto utm = UtmFromLatLong(latitude, -longitude, positionDisplayMode);
        text = utm.easting + utm.northing;
    }
    if (text.size() > kReadoutMaxLength) {
        text.resize(kReadoutMaxLength);
    }
    return text;
}

std::optional<std::string> PosnPanelClickText(double latitude, double longitude, int positionDisplayMode)
{
    if (GridDisplay(positionDisplayMode)) {
        return std::nullopt;
    }
    return DecimalDegreeText(latitude, longitude);
}

} // namespace kv
