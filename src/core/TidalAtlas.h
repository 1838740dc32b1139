#pragma once
// The tidal atlas: up to 100 diamonds, each with the stream for every whole hour from -6 to +6
// relative to high water at the standard port.

#include "core/BoundedTable.h"

#include <array>
#include <cstdint>

namespace kv {

inline constexpr int kTideHours = 13; // -6 … +6

struct TidalDiamond {
    double lat = 0.0;
    double lon = 0.0; // west positive
    std::array<std::int16_t, kTideHours> set {}; // degrees true, towards
    std::array<std::int16_t, kTideHours> rate {}; // tenths of a knot

    std::int16_t setAt(int hour) const { return set[static_cast<std::size_t>(hour) + 6]; }
    std::int16_t rateAt(int hour) const { return rate[static_cast<std::size_t>(hour) + 6]; }
    friend bool operator==(const TidalDiamond&, const TidalDiamond&) = default;
};

inline constexpr std::size_t kDiamondCapacity = 100;
using TidalDiamonds = BoundedTable<TidalDiamond, kDiamondCapacity>;

} // namespace kv
