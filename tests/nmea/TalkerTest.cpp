// Position sentences from multi-constellation receivers are taken like the GPS ones.

#include "app/ProgramState.h"
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
    for (const char* talker : { "GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI" }) {
        SCOPED_TRACE(talker);
        const std::string gga = WithChecksum(talker + kGgaFields);
        const std::string rmc = WithChecksum(talker + kRmcFields);
        for (const int chosen : { 0, 1 }) {
            ProgramState state;
            FakePlatform fakes;
            NmeaInterface nmea(state, fakes.platform);
            state.settings.nmea.ComPortNumber = 1;
            state.prefs.nmea.PositionSentence = chosen;
            nmea.OpenNmeaInterface();
            fakes.serial.receive(gga + "\r\n" + rmc + "\r\n$GPGSV,3,1,11\r\n");
            // Kept as received, talker and checksum included.
            EXPECT_EQ(state.nmeaLink.LastPositionSentence, chosen == 0 ? gga : rmc);
            EXPECT_EQ(state.nmeaLink.RejectedSentences, 0u);
        }
    }
}

TEST(Talkers, OtherTalkersAndKindsAreNot)
{
    for (const char* id : { "$IIRMC", "$ECGGA", "$KVGGA", "$GNGSA", "$GNVTG", "$gnGGA", "!GNGGA", "$GN" }) {
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
    for (const std::string& fields : { kGgaFields, kRmcFields }) {
        ProgramState gpNav;
        Display gpDisplay;
        ASSERT_TRUE(ParseSentence(WithChecksum("GP" + fields), gpNav.sentenceFix, gpDisplay, false));
        for (const char* talker : { "GN", "GL", "GA", "GB", "BD", "GQ", "GI" }) {
            SCOPED_TRACE(std::string(talker) + fields);
            ProgramState nav;
            Display display;
            ASSERT_TRUE(
                ParseSentence(WithChecksum(talker + fields), nav.sentenceFix, display, nav.aisPlayback.AISPlayback));
            EXPECT_EQ(nav.sentenceFix.SentenceLat, gpNav.sentenceFix.SentenceLat);
            EXPECT_EQ(nav.sentenceFix.SentenceLong, gpNav.sentenceFix.SentenceLong);
            EXPECT_EQ(nav.sentenceFix.PositionValid, gpNav.sentenceFix.PositionValid);
            EXPECT_EQ(nav.sentenceFix.FixQuality, gpNav.sentenceFix.FixQuality);
            EXPECT_EQ(nav.sentenceFix.FixTimeText, gpNav.sentenceFix.FixTimeText);
            EXPECT_EQ(nav.sentenceFix.SatellitesText, gpNav.sentenceFix.SatellitesText);
            EXPECT_EQ(nav.sentenceFix.Hdop, gpNav.sentenceFix.Hdop);
            EXPECT_EQ(nav.sentenceFix.PositionError, gpNav.sentenceFix.PositionError);
            EXPECT_EQ(nav.sentenceFix.MagVariation, gpNav.sentenceFix.MagVariation);
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
    state.settings.nmea.ComPortNumber = 1;
    state.prefs.ProcAis = true;
    nmea.OpenNmeaInterface();
    const std::string vdo = "!AIVDO,1,1,,,B5NJ;PP005l4ot5Isbl03wsUkP06,0*35";
    const std::string vdm = "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C";
    fakes.serial.receive(vdo + "\r\n" + vdm + "\r\n" + vdo + "\r\n");
    EXPECT_EQ(ais.got, std::vector<std::string> { vdm });
    EXPECT_EQ(state.nmeaLink.LastAisSentence, vdm);
    EXPECT_EQ(state.nmeaLink.RejectedSentences, 0u);
}
