#include "core/Real48.h"

#include <cmath>
#include <cstring>

namespace kv {

namespace {
constexpr int kBias = 129;
constexpr std::uint64_t kMantissaBits = 39;
constexpr std::uint64_t kMantissaMask = (std::uint64_t { 1 } << kMantissaBits) - 1;
} // namespace

Real48 Real48::fromBytes(std::span<const std::uint8_t, 6> bytes)
{
    Real48 r;
    std::memcpy(r.bytes_.data(), bytes.data(), 6);
    return r;
}

Real48 Real48::fromBytes(const std::uint8_t* bytes)
{
    Real48 r;
    std::memcpy(r.bytes_.data(), bytes, 6);
    return r;
}

void Real48::writeTo(std::uint8_t* out) const
{
    std::memcpy(out, bytes_.data(), 6);
}

double Real48::toDouble() const
{
    const int exponent = bytes_[0];
    if (exponent == 0) {
        return 0.0;
    }
    std::uint64_t m = 0;
    for (int i = 5; i >= 1; --i) {
        m = (m << 8) | bytes_[static_cast<std::size_t>(i)];
    }
    const bool negative = (m >> kMantissaBits) & 1U;
    m &= kMantissaMask;
    // 1 + m/2^39 is exact in a double (40 significant bits).
    const double significand = 1.0 + std::ldexp(static_cast<double>(m), -static_cast<int>(kMantissaBits));
    const double value = std::ldexp(significand, exponent - kBias);
    return negative ? -value : value;
}

Real48 Real48::fromDouble(double value)
{
    Real48 r;
    if (std::isnan(value) || value == 0.0) {
        return r;
    }
    const bool negative = std::signbit(value);
    double magnitude = std::fabs(value);

    std::uint64_t m = 0;
    int exponent = 0;
    if (std::isinf(magnitude)) {
        exponent = 255;
        m = kMantissaMask;
    } else {
        int e2 = 0;
        const double fraction = std::frexp(magnitude, &e2); // magnitude = fraction * 2^e2, fraction in [0.5, 1)
        // magnitude = (2*fraction) * 2^(e2-1); 2*fraction in [1, 2).
        exponent = e2 - 1 + kBias;
        const double scaled = std::ldexp(2.0 * fraction - 1.0, static_cast<int>(kMantissaBits)); // in [0, 2^39)
        double whole = std::nearbyint(scaled); // default rounding mode: ties to even
        if (whole >= std::ldexp(1.0, static_cast<int>(kMantissaBits))) {
            whole = 0.0; // rounded up to the next power of two
            ++exponent;
        }
        m = static_cast<std::uint64_t>(whole);
        if (exponent > 255) {
            exponent = 255;
            m = kMantissaMask;
        } else if (exponent < 1) {
            return r; // underflow: the format has no subnormals
        }
    }
    if (negative) {
        m |= std::uint64_t { 1 } << kMantissaBits;
    }
    r.bytes_[0] = static_cast<std::uint8_t>(exponent);
    for (std::size_t i = 1; i <= 5; ++i) {
        r.bytes_[i] = static_cast<std::uint8_t>(m & 0xFF);
        m >>= 8;
    }
    return r;
}

} // namespace kv
