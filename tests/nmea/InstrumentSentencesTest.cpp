// Depth, wind and heading sentences of any talker: what is read, what is refused, when a reading
// is stale and when the shallow-water alarm calls out.

#include "nmea/InstrumentSentences.h"
#include "nmea/Templates.h"

#include <gtest/gtest.h>

namespace {

using Kind = kv::InstrumentRecord::Kind;

std::string WithSum(const std::string& body)
{
    return body + kv::NMEAChecksum(body, 2);
}

} // namespace

TEST(InstrumentSentences, EachKindFromAnyTalker)
{
    struct Case {
        std::string sentence;
        double variationEast;
        Kind kind;
        double value; // depth, wind angle or heading
        double knots; // wind only
    };
    const Case cases[] = {
        { "$SDDBT,10.5,f,3.2,M,1.7,F", 0, Kind::Depth, 3.2, 0 },
        { "$IIDBT,10.0,f,,M,,F", 0, Kind::Depth, 3.048, 0 }, // feet only
        { "$IIDBT,,f,,M,2.0,F", 0, Kind::Depth, 3.6576, 0 }, // fathoms only
        { "$SDDPT,4.0,-1.5", 0, Kind::Depth, 2.5, 0 }, // below the keel
        { "$SDDPT,4.0,0.5,100", 0, Kind::Depth, 4.5, 0 }, // below the surface
        { "$SDDPT,4.0,", 0, Kind::Depth, 4.0, 0 },
        { "$WIMWV,045.0,R,15.0,N,A", 0, Kind::ApparentWind, 45.0, 15.0 },
        { "$IIMWV,270,T,10,M,A", 0, Kind::TrueWind, 270.0, 19.438445 }, // metres a second
        { "$IIMWV,360.0,R,18.52,K,A", 0, Kind::ApparentWind, 0.0, 10.0 }, // km/h; 360 is the bow
        { "$HEHDT,181.5,T", 0, Kind::Heading, 181.5, 0 },
        { "$HCHDG,100.0,2.0,W,5.0,E", 0, Kind::Heading, 103.0, 0 },
        { "$HCHDG,100.0,,,,", -4.0, Kind::Heading, 96.0, 0 }, // the program's variation
        { "$HCHDG,2.0,,,4.0,W", 0, Kind::Heading, 358.0, 0 },
    };
    for (const Case& c : cases) {
        for (const std::string& s : { c.sentence, WithSum(c.sentence) }) {
            SCOPED_TRACE(s);
            const kv::InstrumentRecord r = kv::ParseInstrumentSentence(s, c.variationEast);
            ASSERT_EQ(r.kind, c.kind);
            const double got = c.kind == Kind::Depth ? r.depthMetres
                : c.kind == Kind::Heading            ? r.headingTrue
                                                     : r.windAngle;
            EXPECT_NEAR(got, c.value, 1e-6);
            if (c.kind == Kind::ApparentWind || c.kind == Kind::TrueWind) {
                EXPECT_NEAR(r.windKnots, c.knots, 1e-5);
            }
            EXPECT_FALSE(kv::InstrumentRecordText(r).empty());
        }
    }
}

TEST(InstrumentSentences, WhatIsNotAReadingGivesNothing)
{
    const char* cases[] = {
        "",
        "$",
        "$IIDBT",
        "$IIDBT,,f,,M,,F",
        "$IIDBT,x,f,y,M,z,F",
        "$IIDBT,-3,f,-1,M,,F",
        "$SDDPT,,0.5",
        "$IIMWV,45,R,15,N,V", // instrument says not valid
        "$IIMWV,45,X,15,N,A", // neither relative nor true
        "$IIMWV,45,R,15,Q,A", // unknown unit
        "$IIMWV,45,R,,N,A",
        "$HEHDT,,T",
        "$HCHDG,abc,,,,",
        "$GPRMC,120000,A,5000.0,N,00100.0,W,5,90,010126,,,A",
        "!AIVDM,1,1,,A,15M67FC000G?ufbE`FepT@3n00Sa,0*5C",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        EXPECT_EQ(kv::ParseInstrumentSentence(c).kind, Kind::None);
    }
}

TEST(InstrumentSentences, StripShowsReadingsAndMarksOldOnes)
{
    kv::Instruments in;
    kv::Display display;
    kv::InstrumentTexts t = kv::InstrumentStripTexts(in, 100.0);
    EXPECT_EQ(t.depth, "---");
    EXPECT_TRUE(t.depthStale);
    kv::ApplyInstrumentRecord(kv::ParseInstrumentSentence("$SDDBT,,f,3.24,M,,F"), in, 100.0, 0.0, display);
    kv::ApplyInstrumentRecord(kv::ParseInstrumentSentence("$WIMWV,315.0,R,15.04,N,A"), in, 100.0, 0.0, display);
    kv::ApplyInstrumentRecord(kv::ParseInstrumentSentence("$WIMWV,30,T,9,N,A"), in, 95.0, 0.0, display);
    kv::ApplyInstrumentRecord(kv::ParseInstrumentSentence("$HEHDT,359.6,T"), in, 100.0, 0.0, display);
    t = kv::InstrumentStripTexts(in, 104.0);
    EXPECT_EQ(t.depth, "3.2 m");
    EXPECT_EQ(t.apparentWind, "045\xB0P 15.0 kn");
    EXPECT_EQ(t.trueWind, "030\xB0S 9.0 kn");
    EXPECT_EQ(t.heading, "000\xB0T");
    EXPECT_FALSE(t.depthStale);
    EXPECT_FALSE(t.apparentStale);
    EXPECT_FALSE(t.trueStale);
    // Ten seconds is still fresh, a moment more is not; the value stays shown.
    EXPECT_FALSE(kv::InstrumentStripTexts(in, 110.0).depthStale);
    t = kv::InstrumentStripTexts(in, 110.5);
    EXPECT_TRUE(t.depthStale);
    EXPECT_TRUE(t.trueStale);
    EXPECT_EQ(t.depth, "3.2 m");
    EXPECT_EQ(display.StatusLine, "") << "no alarm without a limit";
}

TEST(InstrumentSentences, ShallowWaterAlarmCallsOutOnceUntilDeeperAgain)
{
    kv::Instruments in;
    kv::Display display;
    const auto sound = [&](double metres) {
        kv::InstrumentRecord r;
        r.kind = Kind::Depth;
        r.depthMetres = metres;
        kv::ApplyInstrumentRecord(r, in, 0.0, 2.0, display);
    };
    sound(5.0);
    EXPECT_EQ(display.StatusLine, "");
    sound(1.8);
    EXPECT_EQ(display.StatusLine, "Shallow water: 1.8 m");
    display.StatusLine = "something else";
    sound(1.5);
    sound(2.1); // above the limit, not yet clear of it
    EXPECT_EQ(display.StatusLine, "something else");
    sound(1.9);
    EXPECT_EQ(display.StatusLine, "something else");
    sound(2.3);
    sound(1.7);
    EXPECT_EQ(display.StatusLine, "Shallow water: 1.7 m");
}
