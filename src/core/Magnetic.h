#pragma once
// Magnetic from true. The variation is held west negative (4° W is -4), as the receiver's RMC
// sentence and the preferences give it; a magnetic value is the true value less an easterly
// variation, so 4° W turns a true 032° into 036° magnetic ("variation west, magnetic best").

#include <cmath>

namespace kv {

// Degrees brought into 0 … below 360.
inline double WrapDegrees(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) {
        d += 360.0;
    }
    return d >= 360.0 ? 0.0 : d;
}

inline double MagneticFromTrue(double trueDegrees, double variationWestNegative)
{
    return WrapDegrees(trueDegrees - variationWestNegative);
}

} // namespace kv
