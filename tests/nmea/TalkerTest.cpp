// Position sentences from multi-constellation receivers are taken like the GPS ones.

#include "nmea/NmeaInterface.h"
#include "nmea/NmeaParse.h"
#include "nmea/Talkers.h"
#include "platform/fake/Fakes.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace kv;

namespace {

// "$" + body + "*hh" with the checksum of the body.
std::string WithChecksum(const std::string& body)
{
    unsigned sum = 0;
    for (const char c : body) {
        sum ^= static_cast<unsigned char>(c);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

const std::string kGgaFields = "GGA,123519,4807.038,N,01131.000,E,2,11,0.9,545.4,M,46.9,M,,";
const std::string kRmcFields = "RMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W";

struct RecordingAis final : AisSentenceHandler {
    void ProcessAISSentence(std::string_view s) override { got.emplace_back(s); }
    std::vector<std::string> got;
};

} // namespace

TEST(Talkers, ReceiverTalkersAreTakenAsPositionSentences)
{
    for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
        SCOPED_TRACE(talker);
        const std::string gga = WithChecksum(talker + kGgaFields);
        const std::string rmc = WithChecksum(talker + kRmcFields);
        for (const int chosen : {0, 1}) {
            ProgramState state;
            FakePlatform fakes;
            NmeaInterface nmea(state, fakes.platform);
            state.nav.ComPortNumber = 1;
            state.nav.PositionSentence = chosen;
            nmea.OpenNmeaInterface();
            fakes.serial.receive(gga + "\r\n" + rmc + "\r\n$GPGSV,3,1,11\r\n");
            // Kept as received, talker and checksum included.
            EXPECT_EQ(state.nav.LastPositionSentence, chosen == 0 ? gga : rmc);
            EXPECT_EQ(state.nav.RejectedSentences, 0u);
        }
    }
}

TEST(Talkers, OtherTalkersAndKindsAreNot)
{
    for (const char* id : {"$IIRMC", "$ECGGA", "$KVGGA", "$GNGSA", "$GNVTG", "$gnGGA", "!GNGGA", "$GN"}) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(IsChosenPositionSentence(std::string(id) + ",1,2", 0));
        EXPECT_FALSE(IsChosenPositionSentence(std::string(id) + ",1,2", 1));
    }
    EXPECT_TRUE(IsChosenPositionSentence("$GNGGA,1", 0));
    EXPECT_FALSE(IsChosenPositionSentence("$GNGGA,1", 1));
    EXPECT_TRUE(IsChosenPositionSentence("$BDRMC,1", 1));
}

TEST(Talkers, SameFixAsTheGpsForm)
{
    for (const std::string& fields : {kGgaFields, kRmcFields}) {
        NavState gpNav;
        Display gpDisplay;
        ASSERT_TRUE(ParseSentence(WithChecksum("GP" + fields), gpNav, gpDisplay));
        for (const char* talker : {"GN", "GL", "GA", "GB", "BD", "GQ", "GI"}) {
            SCOPED_TRACE(std::string(talker) + fields);
            NavState nav;
            Display display;
            ASSERT_TRUE(ParseSentence(WithChecksum(talker + fields), nav, display));
            EXPECT_EQ(nav.SentenceLat, gpNav.SentenceLat);
            EXPECT_EQ(nav.SentenceLong, gpNav.SentenceLong);
            EXPECT_EQ(nav.PositionValid, gpNav.PositionValid);
            EXPECT_EQ(nav.FixQuality, gpNav.FixQuality);
            EXPECT_EQ(nav.FixTimeText, gpNav.FixTimeText);
            EXPECT_EQ(nav.SatellitesText, gpNav.SatellitesText);
            EXPECT_EQ(nav.Hdop, gpNav.Hdop);
            EXPECT_EQ(nav.PositionError, gpNav.PositionError);
            EXPECT_EQ(nav.MagVariation, gpNav.MagVariation);
            EXPECT_EQ(display.GPSIndicatorText, gpDisplay.GPSIndicatorText);
            EXPECT_EQ(display.GPSIndicatorColour, gpDisplay.GPSIndicatorColour);
            EXPECT_EQ(display.GPSIndicatorHint, gpDisplay.GPSIndicatorHint);
        }
    }
}

TEST(Talkers, OwnShipAisIsIgnored)
{
    ProgramState state;
    FakePlatform fakes;
    RecordingAis ais;
    NmeaInterface nmea(state, fakes.platform, &ais);
    state.nav.ComPortNumber = 1;
    state.prefs.ProcAis = true;
    nmea.OpenNmeaInterface();
    const std::string vdo = "!AIVDO,1,1,,,B5NJ;PP005l4ot5Isbl03wsUkP06,0*35";
    const std::string vdm = "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C";
    fakes.serial.receive(vdo + "\r\n" + vdm + "\r\n" + vdo + "\r\n");
    EXPECT_EQ(ais.got, std::vector<std::string>{vdm});
    EXPECT_EQ(state.nav.LastAisSentence, vdm);
    EXPECT_EQ(state.nav.RejectedSentences, 0u);
}
