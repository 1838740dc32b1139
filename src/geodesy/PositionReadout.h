#pragma once
// The cursor position readout of the chart views and the raster image viewer, in the position
// display mode the user chose: latitude/longitude, the National Grid, or UTM on one of eight
// ellipsoids. Longitude is west positive, as the program holds it.

#include <optional>
#include <string>

namespace kv {

inline constexpr std::size_t kReadoutMaxLength = 60;

// PositionDisplayMode: -1 latitude/longitude, 0 National Grid, 1 … 8 UTM on an ellipsoid.
inline bool GridDisplay(int positionDisplayMode)
{
    return positionDisplayMode >= 0;
}

// `decimals` of minutes (views use 4, the image viewer 3). decimalStyle selects decimal minutes
// and the lettered grid reference; otherwise minutes and seconds and the numeric grid form.
std::string PositionReadout(
    double latitude, double longitude, int decimals, int positionDisplayMode, bool decimalStyle);

// What a click on the position panel shows: the decimal-degree text in lat/long mode, nothing
// in the grid modes.
std::optional<std::string> PosnPanelClickText(double latitude, double longitude, int positionDisplayMode);

} // namespace kv
