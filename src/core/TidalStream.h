#pragma once
// The tidal stream at the vessel. Owner: routes (the tidal atlas) and navigation (the stream and
// tidal hour of each fix).

#include <cstdint>

namespace kv {

struct TidalStream {
    std::int16_t TideSet = 0; // degrees true
    double TideRate = 0.0; // knots
    std::int16_t TidalHour = 0; // hours from high water, -6 … +6
    std::int16_t NearestDiamond = 0;
    std::int16_t TideStep = 0; // hour shown by the tide step button, -6 … +6
};

} // namespace kv
