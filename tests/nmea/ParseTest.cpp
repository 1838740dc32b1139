#include "nmea/NmeaParse.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

struct Parsed {
    NavState nav;
    Display display;
    void parse(const std::string& s, bool playback = false)
    {
        nav.AISPlayback = playback;
        ParseSentence(s, nav, display);
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
    EXPECT_NEAR(p.nav.SentenceLat, 48.1173, 1e-12);
    EXPECT_NEAR(p.nav.SentenceLong, -(11.0 + 31.0 / 60.0), 1e-12);
    EXPECT_TRUE(p.nav.PositionValid);
    EXPECT_EQ(p.nav.FixQuality, "1");
    EXPECT_EQ(p.nav.FixTimeText, "123519");
    EXPECT_EQ(p.nav.SatellitesText, "08");
    EXPECT_DOUBLE_EQ(p.nav.Hdop, 0.9);
    EXPECT_DOUBLE_EQ(p.nav.PositionError, 9.0);
    EXPECT_EQ(p.display.GPSIndicatorText, "GPS");
    EXPECT_EQ(p.display.GPSIndicatorColour, "lime");
    EXPECT_EQ(p.display.GPSIndicatorHint, "GPS Position|");
}

TEST(ParseSentence, RmcStatusVariationAndHemispheres)
{
    Parsed p;
    p.nav.Hdop = 3.0;
    p.nav.SatellitesText = "07";
    p.parse("$GPRMC,081836,V,3751.65,S,14507.36,W,000.0,360.0,130998,011.5,W*62");
    EXPECT_FALSE(p.nav.PositionValid);
    EXPECT_NEAR(p.nav.SentenceLat, -(37.0 + 51.65 / 60.0), 1e-12);
    EXPECT_NEAR(p.nav.SentenceLong, 145.0 + 7.36 / 60.0, 1e-12);
    EXPECT_EQ(p.nav.FixQuality, "0");
    EXPECT_EQ(p.display.GPSIndicatorColour, "red");
    EXPECT_EQ(p.display.GPSIndicatorHint, "No GPS Position|");
    EXPECT_EQ(p.nav.MagVariation, -12); // 11.5 rounds half to even
    EXPECT_EQ(p.nav.SatellitesText, "");
    EXPECT_EQ(p.nav.Hdop, 0.0);
    EXPECT_EQ(p.nav.PositionError, 0.0);

    p.parse("$KVRMC,081836,A,0100.00,N,00030.00,E,,,,2.5,E");
    EXPECT_TRUE(p.nav.PositionValid);
    EXPECT_EQ(p.nav.FixQuality, "1");
    EXPECT_EQ(p.nav.MagVariation, 2);
    EXPECT_DOUBLE_EQ(p.nav.SentenceLong, -0.5);

    // An unknown status leaves the indicator empty and the fix invalid.
    p.parse("$GPRMC,1,X,0100.00,N,00030.00,W");
    EXPECT_FALSE(p.nav.PositionValid);
    EXPECT_EQ(p.display.GPSIndicatorText, "");
    EXPECT_EQ(p.display.GPSIndicatorColour, "");
    EXPECT_EQ(p.nav.FixQuality, "");
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
        {"$GPGGA", "2", true, "DGPS", "lime", "2"},  {"$XXCOM", "2", true, "DGPS", "lime", "2"},
        {"$GPGGA", "3", false, "", "", ""},          {"$XXCOM", "3", true, "DGPSX", "lime", "3"},
        {"$GPGGA", "4", false, "", "", ""},          {"$XXCOM", "4", true, "DGPSF", "lime", "2"},
        {"$GPGGA", "5", true, "MON", "lime", "5"},   {"$XXCOM", "5", false, "", "", ""},
        {"$GPGGA", "0", false, "GPS", "red", "0"},   {"$GPGGA", "", false, "", "", ""},
        {"$GPGGA", "11", false, "", "", ""},
    };
    for (const auto& c : cases) {
        Parsed p;
        p.parse(std::string(c.id) + ",120000,5000.0,N,00100.0,W," + c.q + ",05,2.0,,,,,,,,,");
        SCOPED_TRACE(std::string(c.id) + " " + c.q);
        EXPECT_EQ(p.nav.PositionValid, c.valid);
        EXPECT_EQ(p.display.GPSIndicatorText, c.text);
        EXPECT_EQ(p.display.GPSIndicatorColour, c.colour);
        EXPECT_EQ(p.nav.FixQuality, c.quality);
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
    EXPECT_TRUE(mon.display.isChecked(kAISMonitorControl));
}

TEST(ParseSentence, CombinedSentenceEventAndExtraFields)
{
    Parsed p;
    p.parse("$KVCOM,000000,5030.0,N,00107.5,W,0,06,f8,f9,f10,f11,f12,f13,f14,f15,1.5,last\rtail,more");
    EXPECT_TRUE(p.nav.EventSentence);
    EXPECT_TRUE(p.nav.PositionValid); // an event mark counts whatever the quality
    EXPECT_EQ(p.nav.FixQuality, "0");
    EXPECT_EQ(p.nav.SatellitesText, "06");
    EXPECT_EQ(p.nav.ExtraField1, "f8");
    EXPECT_EQ(p.nav.ExtraField8, "f15");
    EXPECT_EQ(p.nav.ExtraField9, "1.5");
    EXPECT_EQ(p.nav.ExtraField0, "last");
    EXPECT_DOUBLE_EQ(p.nav.Hdop, 1.5);
    EXPECT_DOUBLE_EQ(p.nav.PositionError, 0.0);

    p.parse("$KVCOM,101010,5030.0,N,00107.5,W,2,06,a,b,c,d,e,f,g,h,2.5,last\rtail", true);
    EXPECT_FALSE(p.nav.EventSentence);
    EXPECT_EQ(p.nav.ExtraField0, "last\rtail"); // played back logs keep it
    EXPECT_DOUBLE_EQ(p.nav.PositionError, 4.0);

    p.parse(std::string("$KVCOM,1,,,,,1,,,,,,,,,,,") + std::string(40, 'x'));
    EXPECT_EQ(p.nav.ExtraField0.size(), 33u);
}

TEST(ParseSentence, MalformedInputReadsAsZeroAndKeepsOtherFields)
{
    Parsed p;
    p.nav.MagVariation = 7;
    p.nav.ExtraField1 = "kept";
    p.parse("$GPGGA,1,12.3.4,,1e999,E,1,,1e999");
    EXPECT_DOUBLE_EQ(p.nav.SentenceLat, 12.0); // degrees "12" read, minutes ".3.4" junk
    EXPECT_DOUBLE_EQ(p.nav.SentenceLong, -99.0 / 60.0); // degrees "1e9" are junk, minutes "99" read
    EXPECT_EQ(p.nav.Hdop, 0.0);
    EXPECT_EQ(p.nav.MagVariation, 7);
    EXPECT_EQ(p.nav.ExtraField1, "kept");

    p.parse("$GPRMC,1,A,,,,,,,,1e300,W");
    EXPECT_EQ(p.nav.MagVariation, 0);

    p.nav.FixTimeText = "x";
    p.parse("No Dat");
    EXPECT_EQ(p.nav.FixTimeText, "");
    p.parse("$");
    p.parse("");
    p.parse("$GPXYZ,1,2");
    EXPECT_FALSE(p.nav.PositionValid);
    EXPECT_EQ(p.nav.PositionError, 0.0);
}
