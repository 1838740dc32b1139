#pragma once
// The six-byte real of chart points, quick-log records and tidal atlas positions.
//
// Byte 0 is the exponent biased by 129 (0 means the value 0). Bytes 1..5 hold the 39-bit
// mantissa fraction least significant byte first; the top bit of byte 5 is the sign.
// value = (-1)^sign * (1 + m / 2^39) * 2^(exponent - 129).
//
// Conversion from double rounds the mantissa to 39 bits with ties to even. Values the format
// cannot hold are mapped as follows, so that every image we write reads back as a number:
//   NaN            -> 0 (exponent byte 0)
//   |x| too large  -> the largest finite magnitude, sign kept
//   |x| too small  -> 0 (there are no subnormals in this format)

#include <array>
#include <cstdint>
#include <span>

namespace kv {

class Real48 {
public:
    using Bytes = std::array<std::uint8_t, 6>;

    constexpr Real48() = default;
    static Real48 fromDouble(double value);
    static Real48 fromBytes(std::span<const std::uint8_t, 6> bytes);
    static Real48 fromBytes(const std::uint8_t* bytes);

    double toDouble() const;
    const Bytes& bytes() const { return bytes_; }
    void writeTo(std::uint8_t* out) const;

    friend bool operator==(const Real48&, const Real48&) = default;

private:
    Bytes bytes_ {};
};

// Shorthands used by the file readers and writers.
inline double real48ToDouble(const std::uint8_t* bytes)
{
    return Real48::fromBytes(bytes).toDouble();
}
inline void doubleToReal48(double value, std::uint8_t* out)
{
    Real48::fromDouble(value).writeTo(out);
}

} // namespace kv
