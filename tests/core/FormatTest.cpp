#include "core/Format.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

TEST(Format, FixedWidthAndDecimals)
{
    EXPECT_EQ(FormatFixed(3.14159, 8, 2), "    3.14");
    EXPECT_EQ(FormatFixed(-3.14159, 8, 3), "  -3.142");
    EXPECT_EQ(FormatFixed(123456.5, 3, 1), "123456.5"); // width is a minimum
    EXPECT_EQ(FormatFixed(2.5, 1, 0), "2");
    EXPECT_EQ(FormatFixed(7.0, 0, 0), "7");
    EXPECT_EQ(FormatInt(42, 5), "   42");
    EXPECT_EQ(FormatInt(-42, 2), "-42");
    EXPECT_EQ(ZeroFill(FormatInt(42, 5)), "00042");
    EXPECT_EQ(ZeroFill(FormatFixed(5.5, 6, 2)), "005.50");
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
}

TEST(Format, ScientificRealOfConfigurationFiles)
{
    EXPECT_EQ(FormatScientific(0.04), " 4.00000000000000E-0002");
    EXPECT_EQ(FormatScientific(0.04).size(), 23u);
    EXPECT_EQ(FormatScientific(-16.780192674), "-1.67801926740000E+0001");
    EXPECT_EQ(FormatScientific(0.0), " 0.00000000000000E+0000");
    EXPECT_EQ(FormatScientific(1.0), " 1.00000000000000E+0000");
    EXPECT_EQ(FormatScientific(1.5e-300), " 1.50000000000000E-0300");
    for (double v : { 0.04, -16.780192674, -41.779279083, 0.03125, 1.852, 1.15081, 12345.678 }) {
        EXPECT_EQ(ParseReal(FormatScientific(v)).value(), std::stod(FormatScientific(v))) << v;
        EXPECT_NEAR(*ParseReal(FormatScientific(v)), v, std::fabs(v) * 1e-14);
    }
}

TEST(Format, RoundingAndDivision)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_GT(RoundHalfEven(1e30), 0); // held at the limit, no overflow
    EXPECT_LT(RoundHalfEven(-1e30), 0);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(TruncDiv(7, 2), 3);
    EXPECT_EQ(TruncDiv(-7, 2), -3);
    EXPECT_EQ(TruncDiv(7, -2), -3);
    EXPECT_EQ(TruncDiv(1, 0), 0);
}

TEST(Format, StrictNumberReaders)
{
    EXPECT_EQ(ParseReal(" -3.5 "), -3.5);
    EXPECT_EQ(ParseReal("+.5"), 0.5);
    EXPECT_EQ(ParseReal("5."), 5.0);
    EXPECT_EQ(ParseReal("1e3"), 1000.0);
    EXPECT_EQ(ParseReal("4.00000000000000E-0002"), 0.04);
    for (const char* bad : { "", " ", "12.3.4", "1x", "nan", "inf", "1e999", "-", ".", "e5", "0x10" }) {
        EXPECT_FALSE(ParseReal(bad).has_value()) << bad;
    }
    EXPECT_EQ(ParseInt("  -17"), -17);
    EXPECT_EQ(ParseInt("+3"), 3);
    EXPECT_FALSE(ParseInt("3.0").has_value());
    EXPECT_FALSE(ParseInt("99999999999999999999999").has_value());
}

TEST(Format, LenientReaderTakesTheNumberAtTheStart)
{
    EXPECT_EQ(ParseLeadingReal(" 4.00000000000000E-0002-1.0E+0000"), 0.04);
    EXPECT_EQ(ParseLeadingReal("12.5 knots"), 12.5);
    EXPECT_EQ(ParseLeadingReal("3e"), 3.0);
    EXPECT_FALSE(ParseLeadingReal("abc").has_value());
    EXPECT_FALSE(ParseLeadingReal("").has_value());
    EXPECT_EQ(ParseLeadingInt("38400 baud"), 38400);
    EXPECT_EQ(ParseLeadingInt("-1"), -1);
}

TEST(Format, FixedColumnFieldsFlagFormatErrors)
{
    FieldReader r("AB  12.50 x7  ");
    EXPECT_EQ(r.text(1, 2), "AB");
    EXPECT_EQ(r.real(3, 7), 12.5);
    EXPECT_FALSE(r.formatError());
    EXPECT_EQ(r.integer(10, 3), 0); // " x7" does not convert
    EXPECT_TRUE(r.formatError());

    FieldReader shortLine("12");
    EXPECT_EQ(shortLine.text(5, 3), "");
    EXPECT_EQ(shortLine.real(5, 3), 0.0); // beyond the end: empty, not a number
    EXPECT_TRUE(shortLine.formatError());
}

TEST(Format, TrimAndCase)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(TrimRight("name@@@  ", " @"), "name");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(ToUpperAscii("flo.Pos\xb0"), "FLO.POS\xb0");
    EXPECT_EQ(ToLowerAscii("FLO"), "flo");
}
