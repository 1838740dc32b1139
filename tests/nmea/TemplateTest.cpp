#include "app/ProgramState.h"
#include "app/WaypointSend.h"
#include "nmea/Templates.h"
#include "nmea/WaypointTransfer.h"
#include "platform/fake/Fakes.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

struct Fixture {
    ProgramState state;
    FakePlatform fakes;
    RouteTexts texts;

    TemplateContext ctx() { return MakeTemplateContext(kv::TemplateRecordsOf(state), fakes.clock, texts); }
    std::string S(const std::string& t) { return ExpandSentence(t, ctx()); }
    std::string T(const std::string& t) { return ExpandTemplate(t, ctx()); }

    void route3()
    {
        state.route.push({ "Alpha one               01", 50.5, 1.25 });
        state.route.push({ "b.c'd e@  ", -33.75, -151.5 });
        state.route.push({ "Last", 10.0, 0.0 });
        state.routeProgress.RouteLength = 3;
        state.routeProgress.ActiveWaypoint = 2;
    }
};

// XOR of everything between "$" and "*", computed independently of the program's routine.
std::string Expected(const std::string& body)
{
    unsigned sum = 0;
    for (char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char buf[4];
    std::snprintf(buf, sizeof buf, "*%02X", sum);
    return buf;
}

// Every "$...*hh" in the text carries the checksum of the characters actually between them.
void ExpectValidChecksums(const std::string& text)
{
    std::size_t pos = 0;
    while ((pos = text.find('$', pos)) != std::string::npos) {
        const auto star = text.find('*', pos);
        ASSERT_NE(star, std::string::npos) << text;
        EXPECT_EQ(text.substr(star, 3), Expected(text.substr(pos + 1, star - pos - 1))) << text;
        pos = star;
    }
}

} // namespace

TEST(Checksum, XorOfCharactersFromStart)
{
    EXPECT_EQ(NMEAChecksum("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", 2), "*47");
    EXPECT_EQ(NMEAChecksum("", 1), "*00");
    EXPECT_EQ(NMEAChecksum("$", 5), "*00");
    EXPECT_EQ(NMEAChecksum("\xff", 1), "*FF");
}

TEST(Templates, ScanningDropsUnknownCodesAndTrailingAt)
{
    Fixture f;
    EXPECT_EQ(f.T("ab@Zcd"), "abcd");
    EXPECT_EQ(f.S("ab@Zcd"), "abcd");
    EXPECT_EQ(f.T("abc@"), "abc");
    EXPECT_EQ(f.T("a@\x01"
                  "b@\x7f"
                  "c"),
        "abc");
    EXPECT_EQ(f.T("@e@a@<@^x"), "x"); // sentence-only codes
    EXPECT_EQ(f.S("@&y"), "y"); // text-only code
    EXPECT_EQ(f.S("A|B C"), "A B0C");
    EXPECT_EQ(f.T("A|B C"), "A|B C");
}

TEST(Templates, PositionFields)
{
    Fixture f;
    f.state.quickLog.push({ 50.0 + 30.123 / 60.0, 1.0 + 7.456 / 60.0, 0.0 });
    f.state.fixInfo.OwnLat = 50.5;
    f.state.fixInfo.OwnLong = 1.1;
    EXPECT_EQ(f.T("@p:3"), "5030.123,N,00107.456,W");
    EXPECT_EQ(f.T("@P:4"), f.T("@p:4"));
    EXPECT_EQ(f.T("@p"), "5030.12,N,00107.46,W");
    EXPECT_EQ(f.T("@p:x"), "50030,N,001007,W"); // not a digit: no decimals, minutes still 3 wide
    // Sentences convert the record to chart datum.
    f.state.chartRef.ChartLatOffset = 1.0;
    EXPECT_EQ(f.S("@p:3"), "5130.123,N,00107.456,W");
    // Minutes that round to 60 carry into the degrees.
    f.state.quickLog.push({ 49.0 + 59.9999 / 60.0, 0.0, 0.0 });
    f.state.fixInfo.OwnLong = 0.0;
    EXPECT_EQ(f.T("@p"), "5000.00,N,00000.00,E"); // OwnLong + offset exactly 0 is E for texts
    EXPECT_EQ(f.S("@p"), "5100.00,N,00000.00,W"); // and W for sentences

    f.route3();
    EXPECT_EQ(f.T("@~:2"), "3345.00,S,15130.00,E");
    f.state.routeProgress.ActiveWaypoint = 9;
    EXPECT_EQ(f.T("[@~]"), "[]");
}

// In texts "@w" is the name as the waypoint list shows it: the 24-character label without the
// symbol columns, trailing blanks and "@" removed.
TEST(Templates, WaypointNameInTextsIsTheListedLabel)
{
    struct Case {
        const char* field;
        const char* text;
    };
    for (const Case& c : { Case { "NORTHPT                 19", "NORTHPT" },
             Case { "Harbour entrance buoy @ 0703 ", "Harbour entrance buoy" },
             Case { "Twenty-four characters.X19", "Twenty-four characters.X" }, Case { "b.c'd e@  ", "b.c'd e" },
             Case { "", "" } }) {
        Fixture f;
        f.state.route.push({ c.field, 50.0, 1.0 });
        f.state.routeProgress.RouteLength = 1;
        f.state.routeProgress.ActiveWaypoint = 1;
        EXPECT_EQ(f.T("[@w]"), std::string("[") + c.text + "]") << c.field;
    }
}

TEST(Templates, ValuesOfTheNavigationState)
{
    Fixture f;
    f.route3();
    f.state.fixInfo.FixSource = "$GPRMC";
    f.state.motion.TripDistance = 12.345;
    f.state.motion.LastLegDistance = 0.12345;
    f.state.sentenceFix.ExtraField0 = "zero";
    f.state.sentenceFix.ExtraField7 = "seven";
    f.state.sentenceFix.MagVariation = -4;
    f.state.routeProgress.BearingToWaypoint = 2.4;
    f.state.motion.COG = 2;
    f.state.textLog.TextLogFixCount = 42;
    f.state.routeProgress.CourseToSteer = 7;
    f.state.sentenceFix.FixQuality = "1";
    f.state.sentenceFix.SatellitesText = "08";
    f.state.sentenceFix.FixTimeText = "123519";
    f.state.fixInfo.FixDateText = "08-12-26";
    f.state.routeProgress.XTE = -0.256;
    f.state.fixInfo.OwnLat = 50.5;
    f.state.fixInfo.OwnLong = 1.25;
    f.texts.RangeText = "3.8570 Nm ";
    f.texts.VMGText = "5.25 Kn";
    f.texts.SOGText = "5.30";
    f.texts.XTEText = "0.25,L,";
    f.texts.TimeToWaypointText = " 1 Hr 30.0 Min";
    f.texts.PreviousWaypointName = "old wp.1 more";
    EXPECT_EQ(f.T("@#|@$|@&|@0@7"), "2|$GPRMC|12.35|zeroseven");
    // 4 degrees west: magnetic is true + 4.
    EXPECT_EQ(f.S("@a;@b;@c;@c^;@f;@h;@q"), "004,W;002;002;006;00042;007;1-08");
    EXPECT_EQ(f.S("@^"), "006");
    EXPECT_EQ(f.T("@l|@x|@r|@v|@g"), "0.1235|-0.26|3.8570 Nm |5.25 Kn| 1 Hr 30.0 Min");
    EXPECT_EQ(f.S("@x;@r;@v;@s"), "0.25,L,N;3.8570;5.25;5.30");
    EXPECT_EQ(f.S("[@w;@<]"), "[B-C-D;]") << "no leg: no origin";
    f.state.routeProgress.LegWaypoint = 2;
    f.state.routeProgress.LegOrigin = 1;
    EXPECT_EQ(f.S("@w;@<"), "B-C-D;ALPHA");
    EXPECT_EQ(f.T("@w"), "b.c'd e");
    EXPECT_EQ(f.T("@y"), "50.50000000,-1.25000000");
    // Dates and times: the clock for sentences, the fix for texts.
    EXPECT_EQ(f.S("@d|@d:|@d/|@t:|@t"), "081226 08,12,2026 08/12/26 12:00:00 123519");
    EXPECT_EQ(f.T("@d|@d:|@t:"), "08-12-26|08-12-26:|123519:");
    f.state.routeProgress.CourseToSteer = -1;
    EXPECT_EQ(f.S("[@h]"), "[]");
    // No speed towards the waypoint: an empty field, never "*" inside a sentence.
    for (const char* vmg : { "********", "Speed<Tide! " }) {
        f.texts.VMGText = vmg;
        EXPECT_EQ(f.S("[@v]"), "[]");
        EXPECT_EQ(f.T("@v"), vmg);
    }
    // "@^" wraps into 0..359; the finishing pass zero-pads.
    f.state.sentenceFix.MagVariation = -4;
    f.state.routeProgress.BearingToWaypoint = 359.0;
    EXPECT_EQ(f.S("@^"), "003");
    f.state.routeProgress.BearingToWaypoint = 355.6; // 359.6 magnetic: 000, not 360
    EXPECT_EQ(f.S("@^"), "000");
    f.state.sentenceFix.MagVariation = 40;
    f.state.routeProgress.BearingToWaypoint = -725.0; // a corrupt bearing still lands in 0..359
    EXPECT_EQ(f.S("@^"), "315");
    EXPECT_EQ(f.T("[@^]"), "[]");
}

TEST(Templates, SourcesOfOtherPartsAndTheTowCopy)
{
    Fixture f;
    // Unwired sources give nothing.
    EXPECT_EQ(f.S("[@+@[@]@m@o@u@>]"), "[]");
    TemplateSources sources;
    sources.towPointTexts = [] { return std::pair<std::string, std::string> { "a", "b" }; };
    sources.portPointTexts = [] { return std::pair<std::string, std::string> { "c", "d" }; };
    sources.measureText = [] { return std::string("M1"); };
    sources.rasterCursorText = [] { return std::string("R"); };
    sources.towPosition = [] { return std::optional<LatLong>(LatLong { 50.5, -1.5 }); };
    std::optional<LatLong> tow;
    f.state.chartRef.ChartLatOffset = 0.5;
    const auto ctx = MakeTemplateContext(kv::TemplateRecordsOf(f.state), f.fakes.clock, {}, &sources, &tow);
    EXPECT_EQ(ExpandTemplate("@+ @[ @] @m @o @U", ctx), "T:a:b L:c:d  M1 R R");
    EXPECT_EQ(ExpandTemplate("@>", ctx), ""); // nothing copied yet
    EXPECT_EQ(ExpandSentence("@>:1", ctx), "5000.0,N,00130.0,E");
    EXPECT_EQ(ExpandTemplate("@>:1", ctx), "5000.0,N,00130.0,E");
}

TEST(Templates, ChecksumCoversTheFinishedText)
{
    Fixture f;
    f.route3();
    f.state.routeProgress.BearingToWaypoint = 5.0;
    f.state.sentenceFix.MagVariation = -4;
    const std::string bod = f.S("$ECBOD,@b,T,@^,M,@w,@<,@e@l");
    EXPECT_EQ(bod, "$ECBOD,005,T,009,M,B-C-D,," + Expected("ECBOD,005,T,009,M,B-C-D,,") + "\r\n");
    // Padded numbers and "|" change characters after expansion; the checksum must cover what
    // is sent, not the text before the finishing pass.
    const std::string padded = f.S("$X,@^,a|b@e");
    EXPECT_EQ(padded, "$X,009,a b" + Expected("X,009,a b"));
    // The checksum restarts at each "$" of the template; a "$" inside a value does not count.
    f.state.fixInfo.FixSource = "$GPRMC";
    const std::string two = f.S("$A,@$@e@l$B, 1@e@e@l");
    ExpectValidChecksums(two);
    EXPECT_EQ(two.substr(0, 11), "$A,$GPRMC" + Expected("A,$GPRMC").substr(0, 2));
    EXPECT_EQ(two.substr(two.size() - 5), Expected("B,01" + Expected("B,01")) + "\r\n");
    // Without any "$" the checksum covers everything before it.
    EXPECT_EQ(f.S("ab@e"), "ab" + Expected("ab"));
}

// The range is held in nautical miles; its text is in the display unit.
TEST(RouteTextsFromState, RangeTextInTheDisplayUnit)
{
    struct Case {
        double factor;
        const char* text;
    };
    for (const Case c : { Case { 1.0, "0.6000 Nm " }, Case { 1.852, "1.11 Km " }, Case { 1.1508, "0.6905 Mls" } }) {
        Fixture f;
        f.state.settings.units.UnitFactor = c.factor;
        f.state.routeProgress.RangeToWaypoint = 0.6;
        EXPECT_EQ(
            RouteTextsFromState(f.state.routeProgress, f.state.motion, f.state.settings.units, f.state.prefs.units)
                .RangeText,
            c.text)
            << c.factor;
    }
}

TEST(OutputSentences, AllSwitchesInOrderWithValidChecksums)
{
    Fixture f;
    f.route3();
    f.state.nmeaLink.NmeaOpen = true;
    f.state.settings.nmea.NMEAOutputOn = true;
    f.state.prefs.nmea.sendAPB = f.state.prefs.nmea.sendXTE = f.state.prefs.nmea.sendHSC = f.state.prefs.nmea.SendBOD
        = true;
    f.state.prefs.nmea.sendBWR = f.state.prefs.nmea.SendRMB = f.state.prefs.nmea.SendVTG = f.state.prefs.nmea.SendCustom
        = true;
    f.state.prefs.nmea.CustomNMEA = "$PKV,@#@e";
    f.state.routeProgress.BearingToWaypoint = 90.0;
    f.state.routeProgress.CourseToSteer = 5;
    f.state.sentenceFix.MagVariation = -4;
    f.texts = RouteTextsFromState(f.state.routeProgress, f.state.motion, f.state.settings.units, f.state.prefs.units);
    f.texts.XTEText = "0.25,L,";
    f.texts.CourseToSteerValue = 5.0;
    f.state.routeProgress.LegWaypoint = 2;
    f.state.routeProgress.XTEValid = true;
    BuildOutputSentences(f.state.nmeaLink, f.state.settings.nmea, f.state.prefs.nmea, f.ctx());
    const std::string& out = f.state.nmeaLink.OutputText;
    std::vector<std::string> ids;
    for (std::size_t p = 0; (p = out.find('$', p)) != std::string::npos; p += 6) {
        ids.push_back(out.substr(p, 6));
    }
    EXPECT_EQ(ids,
        (std::vector<std::string> { "$ECVTG", "$ECXTE", "$ECAPB", "$ECBWR", "$ECRMB", "$ECHSC", "$ECBOD", "$PKV,2" }));
    ExpectValidChecksums(out);
    EXPECT_NE(out.find("$ECXTE,A,A,0.25,L,N,A*"), std::string::npos);
    EXPECT_NE(out.find("$ECHSC,05.0,T,09.0,M*"), std::string::npos);
    EXPECT_NE(out.find("$ECBWR,,3345.0000,S,15130.0000,E,090,T,094,M,"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");

    // Sent whole, or dropped when the port has no room for all of it.
    f.fakes.serial.opened = true;
    f.fakes.serial.freeSpace = out.size() - 1;
    EXPECT_FALSE(SendOutputText(f.state.nmeaLink, f.fakes.serial));
    EXPECT_EQ(f.fakes.serial.written, "");
    f.fakes.serial.freeSpace = out.size();
    EXPECT_TRUE(SendOutputText(f.state.nmeaLink, f.fakes.serial));
    EXPECT_EQ(f.fakes.serial.written, out);

    for (auto off : { 0, 1, 2, 3 }) {
        ProgramState n = f.state;
        if (off == 0)
            n.nmeaLink.NmeaOpen = false;
        if (off == 1)
            n.routeProgress.ActiveWaypoint = 4;
        if (off == 2)
            n.settings.nmea.NMEAOutputOn = false;
        if (off == 3)
            n.routeProgress.ActiveWaypoint = 0;
        BuildOutputSentences(n.nmeaLink, n.settings.nmea, n.prefs.nmea,
            kv::MakeTemplateContext(kv::TemplateRecordsOf(n), f.fakes.clock, f.texts));
        EXPECT_EQ(n.nmeaLink.OutputText, "") << off;
    }
}

TEST(WaypointTransfer, RouteAndChartWaypoints)
{
    Fixture f;
    f.route3();
    // Port closed: nothing is sent, the message still counts the route.
    SendWPSClick(f.state, f.fakes.platform);
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs("  3 Waypoints sent"));
    EXPECT_EQ(f.fakes.serial.written, "");

    f.state.nmeaLink.NmeaOpen = true;
    f.fakes.serial.opened = true;
    SendWPSClick(f.state, f.fakes.platform);
    EXPECT_EQ(f.fakes.serial.written,
        "$ECWPL,5030.000,N,00115.000,W,ALPHA" + Expected("ECWPL,5030.000,N,00115.000,W,ALPHA")
            + "\r\n"
              "$ECWPL,3345.000,S,15130.000,E,B-C-D"
            + Expected("ECWPL,3345.000,S,15130.000,E,B-C-D")
            + "\r\n"
              "$ECWPL,1000.000,N,00000.000,W,LAST"
            + Expected("ECWPL,1000.000,N,00000.000,W,LAST") + "\r\n");
    EXPECT_EQ(f.state.routeProgress.ActiveWaypoint, 2);

    // A line that does not fit in the output buffer is skipped whole.
    f.fakes.serial.written.clear();
    f.fakes.serial.freeSpace = 39;
    SendChartWaypoints1Click(f.state, f.fakes.platform, { { "ab", 1.0, 2.0 }, { "longer name", 1.0, 2.0 } });
    EXPECT_EQ(f.fakes.serial.written,
        "$ECWPL,0100.000,N,00200.000,W,AB" + Expected("ECWPL,0100.000,N,00200.000,W,AB") + "\r\n");
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs("  1 Chart Waypoints sent"));
    SendChartWaypoints1Click(f.state, f.fakes.platform, {});
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs("  0 Chart Waypoints sent"));
    // From the chart's own table: names are upper-cased and their blanks become "-".
    f.fakes.serial.written.clear();
    f.fakes.serial.freeSpace = 4096;
    ChartWaypoint buoy;
    buoy.name = "No.3 buoy               1200 ";
    buoy.lat = 50.25;
    buoy.lon = -1.5;
    f.state.waypoints.push(buoy);
    SendChartWaypoints1Click(f.state, f.fakes.platform);
    EXPECT_EQ(f.fakes.serial.written,
        "$ECWPL,5015.000,N,00130.000,E,NO-3-B" + Expected("ECWPL,5015.000,N,00130.000,E,NO-3-B") + "\r\n");
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs("  1 Chart Waypoints sent"));
}

// One identifier per waypoint, the same in every sentence, unique within the route.
TEST(WaypointIdentifiers, UniqueWithinTheListAndSafeInASentence)
{
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::string> ids;
    };
    for (const Case& c : std::vector<Case> {
             { "names cut to the same text", { "NEEDLES FAIRWAY", "NEEDLES CHANNEL", "Needles third" },
                 { "NEEDLE", "NEEDL2", "NEEDL3" } },
             { "a made-up name taken already", { "ab", "AB", "AB2" }, { "AB", "AB2", "AB22" } },
             { "blanks, points and apostrophes", { "Off Yarmouth", "St. Alban's" }, { "OFF-YA", "ST--AL" } },
             { "characters a sentence cannot carry", { "A,B*C$", "x!\\^~|", "caf\xe9" },
                 { "A-B-C-", "X-----", "CAF-" } },
             { "trailing blanks and @ go, empty names get their place", { "BUOY @ ", "", "   " },
                 { "BUOY", "WP2", "WP3" } },
             { "ten alike", { "Q", "Q", "Q", "Q", "Q", "Q", "Q", "Q", "Q", "Q" },
                 { "Q", "Q2", "Q3", "Q4", "Q5", "Q6", "Q7", "Q8", "Q9", "Q10" } },
         }) {
        EXPECT_EQ(WaypointIdentifiers(c.names), c.ids) << c.what;
    }
}

// BOD and APB carry the leg (origin to destination), not the bearing from here; APB's arrival
// and perpendicular flags follow the route following's; without a valid cross-track error the
// status is "V" throughout.
TEST(OutputSentences, LegBearingFlagsAndStatus)
{
    struct Case {
        const char* what;
        bool legSet, valid, arrived, passed;
        const char* xte;
        const char* apb;
        const char* bod;
        const char* rmbStart;
    };
    for (const Case& c : std::vector<Case> {
             { "on the leg", true, true, false, false, "$ECXTE,A,A,0.51,L,N,A*",
                 "$ECAPB,A,A,0.51,L,N,V,V,045,T,B,090,T,010,T,A*", "$ECBOD,045,T,049,M,B,A,*", "$ECRMB,A,0.51,L,A,B," },
             { "arrived and passed", true, false, true, true, "$ECXTE,V,V,9.99,L,N,A*",
                 "$ECAPB,V,V,9.99,L,N,A,A,045,T,B,090,T,010,T,A*", "$ECBOD,045,T,049,M,B,A,*", "$ECRMB,V,9.99,L,A,B," },
             { "no leg", false, false, false, false, "$ECXTE,V,V,0.51,L,N,A*",
                 "$ECAPB,V,V,0.51,L,N,V,V,,T,B,090,T,010,T,A*", "$ECBOD,,T,,M,B,,*", "$ECRMB,V,0.51,L,,B," },
         }) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.state.route.push({ "a", 50.0, 1.0 });
        f.state.route.push({ "b", 50.1, 1.0 });
        f.state.routeProgress.RouteLength = 2;
        f.state.routeProgress.ActiveWaypoint = 2;
        f.state.routeProgress.LegWaypoint = c.legSet ? 2 : 0;
        f.state.routeProgress.LegOrigin = 1;
        f.state.routeProgress.LegBearing = 45.2;
        f.state.routeProgress.BearingToWaypoint = 90.0;
        f.state.routeProgress.CourseToSteer = 10;
        f.state.routeProgress.XTEValid = c.valid;
        f.state.routeProgress.ArrivalCircleEntered = c.arrived;
        f.state.routeProgress.PerpendicularPassed = c.passed;
        f.state.sentenceFix.MagVariation = -4;
        f.state.nmeaLink.NmeaOpen = true;
        f.state.settings.nmea.NMEAOutputOn = true;
        f.state.prefs.nmea.SendRMB = true;
        f.texts.XTEText = c.valid || !c.passed ? "0.51,L," : "9.99,L,";
        BuildOutputSentences(f.state.nmeaLink, f.state.settings.nmea, f.state.prefs.nmea, f.ctx());
        const std::string& out = f.state.nmeaLink.OutputText;
        EXPECT_NE(out.find(c.xte), std::string::npos) << out;
        EXPECT_NE(out.find(c.apb), std::string::npos) << out;
        EXPECT_NE(out.find(c.bod), std::string::npos) << out;
        EXPECT_NE(out.find(c.rmbStart), std::string::npos) << out;
        const std::size_t at = out.find("$ECRMB");
        const std::string rmb = out.substr(at, out.find('*', at) - at);
        EXPECT_EQ(rmb.substr(rmb.size() - 4), c.arrived ? ",A,A" : ",V,A") << "RMB arrival flag";
        ExpectValidChecksums(out);
    }
}
