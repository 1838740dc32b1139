#include "core/Real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using kv::Real48;

namespace {

Real48::Bytes B(std::initializer_list<int> v)
{
    Real48::Bytes b {};
    std::size_t i = 0;
    for (int x : v) {
        b[i++] = static_cast<std::uint8_t>(x);
    }
    return b;
}

} // namespace

TEST(Real48, KnownByteImagesBothWays)
{
    struct Case {
        double value;
        Real48::Bytes bytes;
    };
    const Case cases[] = {
        { -1.0, B({ 0x81, 0, 0, 0, 0, 0x80 }) },
        { 1.0, B({ 0x81, 0, 0, 0, 0, 0x00 }) },
        { 2.0, B({ 0x82, 0, 0, 0, 0, 0x00 }) },
        { 0.5, B({ 0x80, 0, 0, 0, 0, 0x00 }) },
        { 1.5, B({ 0x81, 0, 0, 0, 0, 0x40 }) },
        { -3.0, B({ 0x82, 0, 0, 0, 0, 0xC0 }) },
        { 10.0, B({ 0x84, 0, 0, 0, 0, 0x20 }) },
        { 0.0, B({ 0, 0, 0, 0, 0, 0 }) },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Real48::fromDouble(c.value).bytes(), c.bytes) << c.value;
        EXPECT_EQ(Real48::fromBytes(c.bytes.data()).toDouble(), c.value) << c.value;
    }
}

TEST(Real48, ExponentByteZeroIsZeroWhateverTheMantissa)
{
    const auto b = B({ 0, 0xFF, 0x12, 0x34, 0x56, 0xFF });
    EXPECT_EQ(Real48::fromBytes(b.data()).toDouble(), 0.0);
}

TEST(Real48, MantissaRoundsToNearestWithTiesToEven)
{
    // 1 + 2^-39 is the smallest step above 1.
    const double step = std::ldexp(1.0, -39);
    EXPECT_EQ(Real48::fromDouble(1.0 + step).toDouble(), 1.0 + step);
    // Half a step: a tie, rounds to even (mantissa 0).
    EXPECT_EQ(Real48::fromDouble(1.0 + step / 2).toDouble(), 1.0);
    // One and a half steps: a tie between 1 and 2 steps, rounds to the even 2.
    EXPECT_EQ(Real48::fromDouble(1.0 + 3 * step / 2).toDouble(), 1.0 + 2 * step);
    // Just above half a step rounds up.
    EXPECT_EQ(Real48::fromDouble(1.0 + step / 2 + step / 8).toDouble(), 1.0 + step);
    // Rounding up across a power of two carries into the exponent.
    EXPECT_EQ(Real48::fromDouble(std::nextafter(2.0, 0.0)).bytes(), B({ 0x82, 0, 0, 0, 0, 0 }));
}

TEST(Real48, RoundTripKeepsAboutTwelveSignificantDigits)
{
    std::mt19937_64 rng(48);
    std::uniform_real_distribution<double> d(-400.0, 400.0);
    for (int i = 0; i < 20000; ++i) {
        const double v = d(rng);
        const double back = Real48::fromDouble(v).toDouble();
        EXPECT_LE(std::fabs(back - v), std::fabs(v) * std::ldexp(1.0, -40)) << v;
        // Converting the result again is exact.
        EXPECT_EQ(Real48::fromDouble(back).toDouble(), back);
    }
}

TEST(Real48, ValuesOutsideTheFormat)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Real48::fromDouble(std::nan("")).bytes(), B({ 0, 0, 0, 0, 0, 0 }));
    const double largest = Real48::fromDouble(inf).toDouble();
    EXPECT_TRUE(std::isfinite(largest));
    EXPECT_GT(largest, 1e38);
    EXPECT_EQ(Real48::fromDouble(-inf).toDouble(), -largest);
    EXPECT_EQ(Real48::fromDouble(1e300).toDouble(), largest);
    EXPECT_EQ(Real48::fromDouble(1e-300).toDouble(), 0.0);
    // The smallest normal value of the format survives.
    const double smallest = std::ldexp(1.0, 1 - 129);
    EXPECT_EQ(Real48::fromDouble(smallest).toDouble(), smallest);
    EXPECT_EQ(Real48::fromDouble(smallest / 2).toDouble(), 0.0);
}
