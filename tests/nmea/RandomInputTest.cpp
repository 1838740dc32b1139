// Line noise and mangled sentences through reception and parsing: nothing crashes, nothing over
// 99 characters is passed on, and what the parser produces stays finite and within its fields.

#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "nmea/NmeaParse.h"
#include "nmea/Templates.h"
#include "nmea/WaypointTransfer.h"
#include "platform/fake/Fakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace kv;

namespace {

struct CountingAis final : AisSentenceHandler {
    void ProcessAISSentence(std::string_view s) override
    {
        ++count;
        longest = std::max(longest, s.size());
    }
    std::size_t count = 0;
    std::size_t longest = 0;
};

const char* const kReal[] = {
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
    "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A",
    "$GPRMC,081836,V,3751.65,S,14507.36,W,000.0,360.0,130998,011.5,E*62",
    "$KVCOM,000000,5030.0,N,00107.5,W,4,06,a,b,c,d,e,f,g,h,1.5,last",
    "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C",
    "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74",
};

std::string Mutate(std::string s, std::mt19937& rng)
{
    std::uniform_int_distribution<int> byte(0, 255);
    const int edits = std::uniform_int_distribution<int>(1, 4)(rng);
    for (int e = 0; e < edits; ++e) {
        if (s.empty()) {
            s += static_cast<char>(byte(rng));
            continue;
        }
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, s.size() - 1)(rng);
        switch (std::uniform_int_distribution<int>(0, 5)(rng)) {
        case 0:
            s[at] = static_cast<char>(byte(rng));
            break; // flip a byte
        case 1:
            s.erase(at, std::uniform_int_distribution<std::size_t>(1, 8)(rng));
            break; // drop
        case 2:
            s.insert(at, 1, ',');
            break; // extra field
        case 3:
            s.insert(at, std::string(std::uniform_int_distribution<std::size_t>(1, 60)(rng), '9'));
            break;
        case 4:
            s.insert(at, "1e999");
            break;
        default:
            s.resize(at);
            break; // truncate
        }
    }
    return s;
}

void ExpectSane(const ProgramState& nav)
{
    EXPECT_TRUE(std::isfinite(nav.sentenceFix.SentenceLat));
    EXPECT_TRUE(std::isfinite(nav.sentenceFix.SentenceLong));
    EXPECT_TRUE(std::isfinite(nav.sentenceFix.Hdop));
    EXPECT_TRUE(std::isfinite(nav.sentenceFix.PositionError));
    EXPECT_LE(nav.sentenceFix.SatellitesText.size(), 8u);
    EXPECT_LE(nav.sentenceFix.ExtraField0.size(), 33u);
    EXPECT_LE(nav.sentenceFix.FixQuality.size(), 1u);
}

} // namespace

TEST(BadInput, NamedCases)
{
    ProgramState nav;
    Display d;
    ParseSentence("$", nav.sentenceFix, d, nav.aisPlayback.AISPlayback);
    ParseSentence(std::string("$GP\0GA,1,2\0", 11), nav.sentenceFix, d, nav.aisPlayback.AISPlayback);
    ParseSentence("$GPGGA,1,4807.038,,01131.000,,1", nav.sentenceFix, d, false); // empty hemispheres: north, west
    EXPECT_NEAR(nav.sentenceFix.SentenceLat, 48.1173, 1e-12);
    EXPECT_NEAR(nav.sentenceFix.SentenceLong, 11.0 + 31.0 / 60.0, 1e-12);
    ParseSentence("$GPGGA", nav.sentenceFix, d, nav.aisPlayback.AISPlayback); // no fields at all
    EXPECT_EQ(nav.sentenceFix.SentenceLat, 0.0);
    EXPECT_FALSE(nav.sentenceFix.PositionValid);
    ParseSentence("$GPRMC,1,A,\xff\xfe,N,-0130.0,W,,,,12.3.4,W,,,,,,,,,,,,,,,,,,,,,", nav.sentenceFix, d, false);
    EXPECT_EQ(nav.sentenceFix.SentenceLat, 0.0);
    EXPECT_DOUBLE_EQ(nav.sentenceFix.SentenceLong, -1.0 + 30.0 / 60.0); // "-01" degrees and "30.0" minutes
    EXPECT_EQ(nav.sentenceFix.MagVariation, 0);
    ExpectSane(nav);
}

TEST(BadInput, RandomBytesAndMutatedSentences)
{
    std::mt19937 rng(20261208);
    ProgramState state;
    FakePlatform fakes;
    CountingAis ais;
    NmeaInterface nmea(state, fakes.platform, &ais);
    state.settings.nmea.ComPortNumber = 1;
    nmea.OpenNmeaInterface();
    state.prefs.ProcAis = true;
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 140);
    ProgramState nav;
    Display display;
    std::size_t kept = 0;
    for (int i = 0; i < 100000; ++i) {
        std::string s;
        if (i % 2 == 0) {
            const int n = length(rng);
            for (int k = 0; k < n; ++k) {
                // Mostly sentence characters, with CR, LF, NUL and 8-bit bytes mixed in.
                const int r = byte(rng);
                s += r < 200 ? "$GPRMCAV,.0123456789NSEW*!"[r % 26] : static_cast<char>(byte(rng));
            }
        } else {
            s = Mutate(kReal[(i / 2) % std::size(kReal)], rng);
        }
        state.prefs.nmea.PositionSentence = (i / 7) % 2;
        fakes.serial.receive(s + (i % 3 == 0 ? "" : "\r\n"));
        ASSERT_LT(state.nmeaLink.RxBuffer.size(), kRxBufferLimit);
        ASSERT_LT(state.nmeaLink.LastPositionSentence.size(), kRxBufferLimit);
        ASSERT_LT(state.nmeaLink.LastAisSentence.size(), kRxBufferLimit);
        if (!state.nmeaLink.LastPositionSentence.empty()) {
            ++kept;
            ParseSentence(
                state.nmeaLink.LastPositionSentence, state.sentenceFix, state.display, state.aisPlayback.AISPlayback);
        }
        ParseSentence(s, nav.sentenceFix, display, nav.aisPlayback.AISPlayback);
        if (i % 1000 == 0) {
            ExpectSane(nav);
            ExpectSane(state);
        }
        if (i % 5000 == 0) {
            fakes.serial.tick(kWatchdogTicks);
        }
    }
    EXPECT_LT(ais.longest, kRxBufferLimit);
    EXPECT_GT(ais.count, 1000u); // the mutations leave many AIS sentences whole
    EXPECT_GT(kept, 1000u);
}

TEST(BadInput, RandomTemplatesExpandWithoutFault)
{
    std::mt19937 rng(7);
    ProgramState state;
    FakeClock clock;
    state.route.push({ "wp", 50.0, 1.0 });
    state.routeProgress.RouteLength = 1;
    state.routeProgress.ActiveWaypoint = 1;
    state.quickLog.push({ 1e300, -1e300, 0.0 });
    state.routeProgress.BearingToWaypoint = 1e300;
    state.routeProgress.XTE = std::nan("");
    std::optional<LatLong> tow;
    TemplateSources sources;
    sources.towPosition = [] { return std::optional<LatLong>(LatLong { -0.0, 1e20 }); };
    const auto ctx = MakeTemplateContext(kv::TemplateRecordsOf(state), clock,
        RouteTextsFromState(state.routeProgress, state.motion, state.settings.units, state.prefs.units), &sources,
        &tow);
    const std::string alphabet = "@@@@$|: ,^/~<>#&+[]0123456789abcdefghijklmnopqrstuvwxyzE\x01\xff";
    for (int i = 0; i < 20000; ++i) {
        std::string t;
        const int n = std::uniform_int_distribution<int>(0, 24)(rng);
        for (int k = 0; k < n; ++k) {
            t += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
        }
        const std::string sent = ExpandSentence(t, ctx);
        // The finishing pass leaves a blank only where the template wrote "|".
        if (t.find('|') == std::string::npos) {
            EXPECT_EQ(sent.find(' '), std::string::npos) << t;
        }
        if (t.find('@') == std::string::npos) {
            EXPECT_EQ(ExpandTemplate(t, ctx), t);
        }
        ExpandTemplate(t, ctx);
    }
}
