#include "app/ProgramState.h"
#include "nmea/NmeaParse.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

struct Parsed {
    ProgramState nav;
    Display display;
    void parse(const std::string& s, bool playback = false)
    {
        nav.aisPlayback.AISPlayback = playback;
        ParseSentence(s, nav.sentenceFix, display, nav.aisPlayback.AISPlayback);
    }
};

} // namespace

TEST(NmeaField, FieldsCountFromTheIdentifierAndKeepTheChecksum)
{
    EXPECT_EQ(NmeaField("$GPRMC,1,2", 0), "$GPRMC");
    EXPECT_EQ(NmeaField("$GPRMC,1,2", 2), "2");
    EXPECT_EQ(NmeaField("$GPRMC,1,2", 3), "");
    EXPECT_EQ(NmeaField("$GPRMC,1,2", 5), "");
    EXPECT_EQ(NmeaField("$GPGGA,,,x*47", 3), "x*47");
    EXPECT_EQ(NmeaField("$GPGGA,,,x*47", 1), "");
    EXPECT_EQ(NmeaField("", 0), "");
    EXPECT_EQ(NmeaField("abc", 0), "abc");
    EXPECT_EQ(NmeaField("a,", 1), "");
}

TEST(ParseSentence, GgaExample)
{
    Parsed p;
    p.parse("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
    EXPECT_NEAR(p.nav.sentenceFix.SentenceLat, 48.1173, 1e-12);
    EXPECT_NEAR(p.nav.sentenceFix.SentenceLong, -(11.0 + 31.0 / 60.0), 1e-12);
    EXPECT_TRUE(p.nav.sentenceFix.PositionValid);
    EXPECT_EQ(p.nav.sentenceFix.FixQuality, "1");
    EXPECT_EQ(p.nav.sentenceFix.FixTimeText, "123519");
    EXPECT_EQ(p.nav.sentenceFix.SatellitesText, "08");
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.Hdop, 0.9);
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.PositionError, 9.0);
    EXPECT_EQ(p.display.GPSIndicatorText, "GPS");
    EXPECT_EQ(p.display.GPSIndicatorColour, "lime");
    EXPECT_EQ(p.display.GPSIndicatorHint, "GPS Position|");
}

TEST(ParseSentence, RmcStatusVariationAndHemispheres)
{
    Parsed p;
    p.nav.sentenceFix.Hdop = 3.0;
    p.nav.sentenceFix.SatellitesText = "07";
    p.parse("$GPRMC,081836,V,3751.65,S,14507.36,W,000.0,360.0,130998,011.5,W*62");
    EXPECT_FALSE(p.nav.sentenceFix.PositionValid);
    EXPECT_NEAR(p.nav.sentenceFix.SentenceLat, -(37.0 + 51.65 / 60.0), 1e-12);
    EXPECT_NEAR(p.nav.sentenceFix.SentenceLong, 145.0 + 7.36 / 60.0, 1e-12);
    EXPECT_EQ(p.nav.sentenceFix.FixQuality, "0");
    EXPECT_EQ(p.display.GPSIndicatorColour, "red");
    EXPECT_EQ(p.display.GPSIndicatorHint, "No GPS Position|");
    EXPECT_EQ(p.nav.sentenceFix.MagVariation, -12); // 11.5 rounds half to even
    EXPECT_EQ(p.nav.sentenceFix.SatellitesText, "");
    EXPECT_EQ(p.nav.sentenceFix.Hdop, 0.0);
    EXPECT_EQ(p.nav.sentenceFix.PositionError, 0.0);

    p.parse("$KVRMC,081836,A,0100.00,N,00030.00,E,,,,2.5,E");
    EXPECT_TRUE(p.nav.sentenceFix.PositionValid);
    EXPECT_EQ(p.nav.sentenceFix.FixQuality, "1");
    EXPECT_EQ(p.nav.sentenceFix.MagVariation, 2);
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.SentenceLong, -0.5);

    // An unknown status leaves the indicator empty and the fix invalid.
    p.parse("$GPRMC,1,X,0100.00,N,00030.00,W");
    EXPECT_FALSE(p.nav.sentenceFix.PositionValid);
    EXPECT_EQ(p.display.GPSIndicatorText, "");
    EXPECT_EQ(p.display.GPSIndicatorColour, "");
    EXPECT_EQ(p.nav.sentenceFix.FixQuality, "");
}

TEST(ParseSentence, QualityTableDiffersBetweenGgaAndCombined)
{
    struct Case {
        const char* id;
        const char* q;
        bool valid;
        const char* text;
        const char* colour;
        const char* quality;
    };
    const Case cases[] = {
        { "$GPGGA", "2", true, "DGPS", "lime", "2" },
        { "$XXCOM", "2", true, "DGPS", "lime", "2" },
        { "$GPGGA", "3", false, "", "", "" },
        { "$XXCOM", "3", true, "DGPSX", "lime", "3" },
        { "$GPGGA", "4", false, "", "", "" },
        { "$XXCOM", "4", true, "DGPSF", "lime", "2" },
        { "$GPGGA", "5", true, "MON", "lime", "5" },
        { "$XXCOM", "5", false, "", "", "" },
        { "$GPGGA", "0", false, "GPS", "red", "0" },
        { "$GPGGA", "", false, "", "", "" },
        { "$GPGGA", "11", false, "", "", "" },
    };
    for (const auto& c : cases) {
        Parsed p;
        p.parse(std::string(c.id) + ",120000,5000.0,N,00100.0,W," + c.q + ",05,2.0,,,,,,,,,");
        SCOPED_TRACE(std::string(c.id) + " " + c.q);
        EXPECT_EQ(p.nav.sentenceFix.PositionValid, c.valid);
        EXPECT_EQ(p.display.GPSIndicatorText, c.text);
        EXPECT_EQ(p.display.GPSIndicatorColour, c.colour);
        EXPECT_EQ(p.nav.sentenceFix.FixQuality, c.quality);
    }
    // Quality 0 sets the "no position" hint only for the combined sentence.
    Parsed g;
    g.display.GPSIndicatorHint = "GPS Position|";
    g.parse("$GPGGA,1,,,,,0");
    EXPECT_EQ(g.display.GPSIndicatorHint, "GPS Position|");
    g.parse("$GPCOM,1,,,,,0");
    EXPECT_EQ(g.display.GPSIndicatorHint, "No GPS Position|");

    Parsed mon;
    mon.parse("$GPGGA,1,,,,,5", true);
    EXPECT_EQ(mon.display.GPSIndicatorColour, "red");
    EXPECT_EQ(mon.display.GPSIndicatorHint, "Playback of an AIS monitor mode log file|");
    // Switching the monitor mode on (and its menu mark with it) is the fix cycle's part.
    EXPECT_FALSE(mon.display.isChecked(Control::AISMonitor));
}

TEST(ParseSentence, CombinedSentenceEventAndExtraFields)
{
    Parsed p;
    p.parse("$KVCOM,000000,5030.0,N,00107.5,W,0,06,f8,f9,f10,f11,f12,f13,f14,f15,1.5,last\rtail,more");
    EXPECT_TRUE(p.nav.sentenceFix.EventSentence);
    EXPECT_TRUE(p.nav.sentenceFix.PositionValid); // an event mark counts whatever the quality
    EXPECT_EQ(p.nav.sentenceFix.FixQuality, "0");
    EXPECT_EQ(p.nav.sentenceFix.SatellitesText, "06");
    EXPECT_EQ(p.nav.sentenceFix.ExtraField1, "f8");
    EXPECT_EQ(p.nav.sentenceFix.ExtraField8, "f15");
    EXPECT_EQ(p.nav.sentenceFix.ExtraField9, "1.5");
    EXPECT_EQ(p.nav.sentenceFix.ExtraField0, "last");
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.Hdop, 1.5);
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.PositionError, 0.0);

    p.parse("$KVCOM,101010,5030.0,N,00107.5,W,2,06,a,b,c,d,e,f,g,h,2.5,last\rtail", true);
    EXPECT_FALSE(p.nav.sentenceFix.EventSentence);
    EXPECT_EQ(p.nav.sentenceFix.ExtraField0, "last\rtail"); // played back logs keep it
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.PositionError, 4.0);

    p.parse(std::string("$KVCOM,1,,,,,1,,,,,,,,,,,") + std::string(40, 'x'));
    EXPECT_EQ(p.nav.sentenceFix.ExtraField0.size(), 33u);
}

TEST(ParseSentence, MalformedInputReadsAsZeroAndKeepsOtherFields)
{
    Parsed p;
    p.nav.sentenceFix.MagVariation = 7;
    p.nav.sentenceFix.ExtraField1 = "kept";
    p.parse("$GPGGA,1,12.3.4,,1e959,E,1,,1e999");
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.SentenceLat, 12.0); // degrees "12" read, minutes ".3.4" junk
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.SentenceLong, -59.0 / 60.0); // degrees "1e9" are junk, minutes "59" read
    EXPECT_FALSE(p.nav.sentenceFix.PositionValid) << "what is read of malformed fields is no fix";
    // Minutes "99" are out of range: nothing of the sentence is read.
    p.parse("$GPGGA,1,12.3.4,,1e999,E,1,,1e999");
    EXPECT_DOUBLE_EQ(p.nav.sentenceFix.SentenceLong, -59.0 / 60.0);
    EXPECT_FALSE(p.nav.sentenceFix.PositionValid);
    EXPECT_EQ(p.nav.sentenceFix.Hdop, 0.0);
    EXPECT_EQ(p.nav.sentenceFix.MagVariation, 7);
    EXPECT_EQ(p.nav.sentenceFix.ExtraField1, "kept");

    p.parse("$GPRMC,1,A,,,,,,,,1e300,W");
    EXPECT_EQ(p.nav.sentenceFix.MagVariation, 0);

    p.nav.sentenceFix.FixTimeText = "x";
    p.parse("No Dat");
    EXPECT_EQ(p.nav.sentenceFix.FixTimeText, "");
    p.parse("$");
    p.parse("");
    p.parse("$GPXYZ,1,2");
    EXPECT_FALSE(p.nav.sentenceFix.PositionValid);
    EXPECT_EQ(p.nav.sentenceFix.PositionError, 0.0);
}

// A receiver that says "valid" with empty or malformed position fields has no fix: read as 0 they
// would put the vessel at 0 N 0 E.
TEST(ParseSentence, EmptyOrMalformedPositionFieldsAreNoFix)
{
    struct Case {
        const char* sentence;
        bool valid;
    };
    const Case cases[] = {
        { "$GPRMC,112000,A,,,,,,,091226,,*2A", false },
        { "$GPGGA,112000,4807.038,N,0013-.0000,E,1,08,0.9,545.4,M,46.9,M,,", false },
        { "$GPGGA,112000,,N,01131.000,E,1,08,0.9", false },
        { "$GPGGA,112000,4807.038,N,,E,2,08,0.9", false },
        { "$GPRMC,112000,A,48.07038,N,01131.000,E", false }, // the point among the degrees
        { "$GPRMC,112000,A,4807.038,N,+1131.000,E", false },
        { "$GPRMC,112000,A,4807.0 8,N,01131.000,E", false },
        { "$KVCOM,123456,,,,,1,06", false },
        { "$KVCOM,000000,,,,,0,06", false }, // not even as an event mark
        { "$GPRMC,112000,A,4807.038,N,01131.000,E", true },
        { "$GPGGA,112000,4807,N,01131,E,1,08,0.9", true }, // no decimals
        { "$GPGGA,112000,4807.,S,01131.5,W,1,08,0.9", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        Parsed p;
        p.parse(c.sentence);
        EXPECT_EQ(p.nav.sentenceFix.PositionValid, c.valid);
        EXPECT_EQ(p.display.GPSIndicatorColour, c.valid ? "lime" : "red");
        if (!c.valid) {
            EXPECT_EQ(p.display.GPSIndicatorHint, "No GPS Position|");
            EXPECT_EQ(p.nav.sentenceFix.FixQuality, "0");
            EXPECT_EQ(p.nav.sentenceFix.PositionError, 0.0);
        }
    }
}

TEST(SentenceCheck, ChecksumsAreComparedOnlyWhenPresent)
{
    struct Case {
        const char* sentence;
        bool mismatch;
    };
    const Case cases[] = {
        { "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", false },
        { "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48", true },
        { "$GPGGA,123519,4807.039,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", true }, // one digit changed
        { "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", false },
        { "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", false }, // either case
        { "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C", false },
        { "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5D", true },
        { "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false }, // no checksum
        { "$GPGGA,1*4", false }, // one digit is no checksum
        { "$GPGGA,1*4G", false }, // nor is a non-hexadecimal pair
        { "$GPGGA,1*47x", false },
        { "*00", false },
        { "$*00", false }, // nothing between: the sum is 0
        { "$*01", true },
        { "", false },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChecksumMismatch(c.sentence), c.mismatch) << c.sentence;
        EXPECT_EQ(CheckSentence(c.sentence) == SentenceRejection::Checksum, c.mismatch) << c.sentence;
    }
    EXPECT_STREQ(RejectionName(SentenceRejection::Checksum), "checksum");
    EXPECT_STREQ(RejectionName(SentenceRejection::Range), "range");
}

TEST(SentenceCheck, PositionsOutOfRangeAreNoFix)
{
    struct Case {
        const char* sentence;
        bool outOfRange;
    };
    const Case cases[] = {
        { "$GPGGA,1,9041.0000,N,00100.000,W,1,08,0.9", true }, // 90.68 degrees: line noise
        { "$GPGGA,1,9000.0000,S,00100.000,W,1,08,0.9", false }, { "$GPGGA,1,9000.0001,N,00100.000,W,1,08,0.9", true },
        { "$GPGGA,1,4860.0000,N,00100.000,W,1,08,0.9", true }, // minutes of 60
        { "$GPGGA,1,4859.9999,N,00100.000,W,1,08,0.9", false }, { "$GPGGA,1,4800.000,N,18000.000,E,1,08,0.9", false },
        { "$GPGGA,1,4800.000,N,18000.001,E,1,08,0.9", true }, { "$GPGGA,1,4800.000,N,19000.000,W,1,08,0.9", true },
        { "$GPGGA,1,4800.000,N,00175.000,W,1,08,0.9", true }, // longitude minutes of 75
        { "$GPGGA,1,,,,,0,,", false }, // empty fields are not out of range (nor a fix)
        { "$GPRMC,1,A,9100.000,N,00100.000,W", true }, { "$GPRMC,1,A,4800.000,N,00100.000,W,,,,,,", false },
        { "$GPRMC,1,A,4800.000,N,36000.000,W", true }, { "$KVCOM,1,9500.000,N,00100.000,W,1", true },
        { "$GPGSV,1,9500.000,N,99999.000,W,1", false }, // not a position sentence
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PositionOutOfRange(c.sentence), c.outOfRange) << c.sentence;
        Parsed p;
        p.nav.sentenceFix.SentenceLat = 1.5;
        p.nav.sentenceFix.PositionValid = true;
        EXPECT_EQ(ParseSentence(c.sentence, p.nav.sentenceFix, p.display, p.nav.aisPlayback.AISPlayback), !c.outOfRange)
            << c.sentence;
        if (c.outOfRange) {
            EXPECT_FALSE(p.nav.sentenceFix.PositionValid) << c.sentence;
            EXPECT_EQ(p.nav.sentenceFix.SentenceLat, 1.5) << c.sentence;
            EXPECT_EQ(p.display.GPSIndicatorText, "") << c.sentence;
        }
    }
}
