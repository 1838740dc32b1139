#include "geodesy/PositionText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kv;

namespace {
// Test texts are written with "o" for the degree sign to stay readable.
std::string D(std::string text)
{
    for (char& c : text) {
        if (c == 'o') {
            c = kDegreeSign;
        }
    }
    return text;
}
} // namespace

TEST(PositionText, StandardTextsHaveFixedColumnsAndZeroFilling)
{
    const auto t = PositionToText(50.0 + 7.25 / 60.0, 1.0 + 15.5 / 60.0);
    EXPECT_EQ(t.latitude, D("50o07.25000N"));
    EXPECT_EQ(t.longitude, D("001o15.50000W"));
    EXPECT_EQ(t.latitude.size(), kLatitudeTextLength);
    EXPECT_EQ(t.longitude.size(), kLongitudeTextLength);

    // South and east, with degrees of one digit and zero degrees.
    EXPECT_EQ(PositionToText(-0.5, 0.0).latitude, D("00o30.00000S"));
    EXPECT_EQ(PositionToText(-0.5, 0.0).longitude, D("000o00.00000W"));
    EXPECT_EQ(PositionToText(0.0, -123.75).longitude, D("123o45.00000E"));
    EXPECT_EQ(PositionToText(0.0, 0.0).latitude, D("00o00.00000N"));
    EXPECT_EQ(PositionToText(-5.5, -179.999).latitude, D("05o30.00000S"));
    EXPECT_EQ(PositionToText(-5.5, -179.999).longitude, D("179o59.94000E"));
}

TEST(PositionText, LatitudeIsClampedBothWaysButLongitudeIsNot)
{
    EXPECT_EQ(PositionToText(86.0, 0.0).latitude, D("84o00.00000N"));
    EXPECT_EQ(PositionToText(-85.0, 0.0).latitude, D("80o00.00000S"));
    EXPECT_DOUBLE_EQ(TextToPosition(D("86o00.00000N"), D("000o00.00000W")).lat, 84.0);
    EXPECT_DOUBLE_EQ(TextToPosition(D("89o30.00000S"), D("000o00.00000W")).lat, -80.0);
    EXPECT_EQ(PositionToText(0.0, 200.5).longitude, D("200o30.00000W"));
}

TEST(PositionText, MinutesRoundToFiveDecimalsAndCarryInsteadOfShowingSixty)
{
    EXPECT_EQ(PositionToText(50.0 + 7.123456 / 60.0, 0).latitude, D("50o07.12346N"));
    // 59.9999994' would read 60.00000: shown as the next degree, same value when read back.
    const auto t = PositionToText(50.99999999, -1.99999999);
    EXPECT_EQ(t.latitude, D("51o00.00000N"));
    EXPECT_EQ(t.longitude, D("002o00.00000E"));
}

TEST(PositionText, ReadingTakesFixedColumnsAndHemisphereLetters)
{
    const LatLong p = TextToPosition(D("50o07.25000N"), D("001o15.50000W"));
    EXPECT_NEAR(p.lat, 50.120833333, 1e-9);
    EXPECT_NEAR(p.lon, 1.258333333, 1e-9);
    const LatLong q = TextToPosition(D("33o54.00000s"), D("151o12.00000e"));
    EXPECT_NEAR(q.lat, -33.9, 1e-12);
    EXPECT_NEAR(q.lon, -151.2, 1e-12);
    // The degree sign and the point are never looked at.
    const LatLong r = TextToPosition("50X07.25000N", "001Y15.50000W");
    EXPECT_NEAR(r.lat, 50.120833333, 1e-9);
    EXPECT_NEAR(r.lon, 1.258333333, 1e-9);
}

TEST(PositionText, TextsReadBackToTheValueWritten)
{
    for (double lat = -79.9; lat < 84.0; lat += 3.7) {
        for (double lon = -180.0; lon <= 180.0; lon += 7.3) {
            const auto t = PositionToText(lat, lon);
            const LatLong p = TextToPosition(t.latitude, t.longitude);
            EXPECT_NEAR(p.lat, lat, 1e-7 / 60 * 6) << t.latitude;
            EXPECT_NEAR(p.lon, lon, 1e-7 / 60 * 6) << t.longitude;
        }
    }
}

TEST(PositionText, BadFieldsReadAsZeroWithoutFailing)
{
    const LatLong p = TextToPosition("ab" + D("o07.25000N"), D("001oxx.xxxxxW"));
    EXPECT_NEAR(p.lat, 7.25 / 60.0, 1e-12);
    EXPECT_DOUBLE_EQ(p.lon, 1.0);
    const LatLong empty = TextToPosition("", "");
    EXPECT_DOUBLE_EQ(empty.lat, 0.0);
    EXPECT_DOUBLE_EQ(empty.lon, 0.0);
    const LatLong shortText = TextToPosition("5", "1");
    EXPECT_DOUBLE_EQ(shortText.lat, 5.0);
    EXPECT_DOUBLE_EQ(shortText.lon, 1.0);
    // Values that are not numbers still give the fixed layout.
    const auto t = PositionToText(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(t.latitude, D("00o00.00000N"));
    EXPECT_EQ(t.longitude, D("000o00.00000W"));
}

TEST(PositionText, TypingAidsAddDegreeSignAndPoint)
{
    // Latitude: 5, 0 then 0, 7.
    PositionField f { "5", 1 };
    f = PositionFieldChange(f, false);
    EXPECT_EQ(f, (PositionField { "5", 1 }));
    f = PositionFieldChange({ "50", 2 }, false);
    EXPECT_EQ(f, (PositionField { D("50o"), 3 }));
    f = PositionFieldChange({ f.text + "0", 4 }, false);
    EXPECT_EQ(f.text, D("50o0"));
    f = PositionFieldChange({ f.text + "7", 5 }, false);
    EXPECT_EQ(f, (PositionField { D("50o07."), 6 }));
    // Longitude at 3 and 6 characters.
    EXPECT_EQ(PositionFieldChange({ "00", 2 }, true), (PositionField { "00", 2 }));
    EXPECT_EQ(PositionFieldChange({ "001", 3 }, true), (PositionField { D("001o"), 4 }));
    EXPECT_EQ(PositionFieldChange({ D("001o1"), 5 }, true), (PositionField { D("001o1"), 5 }));
    EXPECT_EQ(PositionFieldChange({ D("001o15"), 6 }, true), (PositionField { D("001o15."), 7 }));
    // A caret beyond the text is brought back inside it.
    EXPECT_EQ(PositionFieldChange({ "1", 9 }, false).caret, 1u);
}

TEST(PositionText, CompletionTakesTheLastCharacterAsHemisphere)
{
    EXPECT_EQ(CompletePositionText(D("50o07.2N"), false), D("50o07.20000N"));
    EXPECT_EQ(CompletePositionText(D("50o07.2"), false), D("50o07.000002"));
    EXPECT_NEAR(TextToPosition(D("50o07.000002"), D("000o00.00000W")).lat, 50.0 + 7.0 / 60.0, 1e-12);
    EXPECT_EQ(CompletePositionText("", false), D("00o00.00000N"));
    EXPECT_DOUBLE_EQ(TextToPosition(CompletePositionText("", false), CompletePositionText("", true)).lat, 0.0);
    EXPECT_EQ(CompletePositionText("", true), D("000o00.00000W"));
    EXPECT_EQ(CompletePositionText(D("001o15.5E"), true), D("001o15.50000E"));
    EXPECT_EQ(CompletePositionText("E", true), "000000000000E");
    // Full-length texts are kept as they are.
    EXPECT_EQ(CompletePositionText(D("50o07.25000N"), false), D("50o07.25000N"));
    EXPECT_EQ(CompletePositionText(D("001o15.50000W"), true), D("001o15.50000W"));
    EXPECT_EQ(CompletePositionText(D("50o07.250001N"), false), D("50o07.250001N"));
}

TEST(PositionText, CompactLineIsNotClamped)
{
    EXPECT_EQ(CompactPositionText(50.0 + 7.25 / 60.0, 1.0 + 15.5 / 60.0), D("50o07.2500N 001o15.5000W"));
    EXPECT_EQ(CompactPositionText(50.0 + 7.25 / 60.0, 1.0).size(), 24u);
    EXPECT_EQ(CompactPositionText(86.5, -2.0), D("86o30.0000N 002o00.0000E"));
    EXPECT_EQ(CompactPositionText(-0.25, 0.0), D("00o15.0000S 000o00.0000W"));
}

TEST(PositionText, DecimalDegreesForTheStatusLine)
{
    EXPECT_EQ(DecimalDegreeText(50.0 + 7.25 / 60.0, 1.0 + 15.5 / 60.0), D("50.12083o -1.25833o (S/W -ve)"));
    EXPECT_EQ(DecimalDegreeText(-33.9, -151.2), D("-33.90000o 151.20000o (S/W -ve)"));
}
