#pragma once
// The cross-track error beside the gauge: its size in nautical miles and the side of the track
// the vessel is on.

#include <string>

namespace kv {

// "0.12 R" for 0.12 Nm right of the track, "0.40 L" left of it, "0.00" on it (below 0.005 Nm).
std::string XteGaugeText(double xteNm);

} // namespace kv
