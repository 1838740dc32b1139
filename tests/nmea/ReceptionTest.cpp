#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "platform/fake/Fakes.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";
const std::string kAis = "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C";

struct RecordingAis final : AisSentenceHandler {
    void ProcessAISSentence(std::string_view s) override { got.emplace_back(s); }
    std::vector<std::string> got;
};

struct Rx {
    ProgramState state;
    FakePlatform fakes;
    RecordingAis ais;
    NmeaInterface nmea { state, fakes.platform, &ais };
    Rx() { state.settings.nmea.ComPortNumber = 1; }
    void open()
    {
        nmea.OpenNmeaInterface();
        fakes.prompter.messages.clear();
    }
    void send(const std::string& s) { fakes.serial.receive(s); }
};

} // namespace

TEST(Reception, KeepsOnlyTheChosenPositionSentence)
{
    Rx rx;
    rx.open();
    rx.send(kRmc + "\r\n" + kGga + "\r\n");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, kGga);
    EXPECT_EQ(rx.state.nmeaLink.RxBuffer, "");
    rx.send(kRmc + "\r\n");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, kGga); // RMC while GGA is chosen: ignored
    rx.state.prefs.nmea.PositionSentence = 1;
    rx.send("\n" + kRmc.substr(0, 20));
    rx.send(kRmc.substr(20) + "\r");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, kRmc); // across chunks, LF dropped
    rx.send("$KVGGA,1,2\r$GPRMCX\r");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, "$GPRMCX"); // only the identifier is compared
}

TEST(Reception, LongLinesAreDiscarded)
{
    Rx rx;
    rx.open();
    rx.send(std::string(120, 'x') + "\r");
    EXPECT_EQ(rx.state.nmeaLink.RxBuffer, "");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, "");
    // 99 characters pass, 100 do not.
    const std::string s99 = "$GPGGA" + std::string(93, ',');
    rx.send(s99 + "\r");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, s99);
    rx.send(s99 + "," + "\r");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, s99);
    // Noise without CR never grows the buffer past the limit.
    for (int i = 0; i < 50; ++i) {
        rx.send(std::string(7, '#'));
        EXPECT_LT(rx.state.nmeaLink.RxBuffer.size(), kRxBufferLimit);
    }
}

TEST(Reception, AisSentencesAreHandedOnWhileProcessingIsOn)
{
    Rx rx;
    rx.open();
    rx.state.prefs.ProcAis = false;
    rx.send(kAis + "\r\n");
    EXPECT_TRUE(rx.ais.got.empty()); // processing off
    EXPECT_EQ(rx.state.nmeaLink.LastAisSentence, kAis);
    rx.state.prefs.ProcAis = true;
    rx.state.prefs.ShowNMEA = true;
    rx.send(kAis + "\r\n$GPGSV,1\r\n");
    // Handed on once: a satellite sentence after it does not repeat it (a repeated middle
    // fragment would corrupt a three-fragment message), though it is still the last AIS line.
    ASSERT_EQ(rx.ais.got.size(), 1u);
    EXPECT_EQ(rx.ais.got[0], kAis);
    EXPECT_EQ(rx.state.nmeaLink.LastAisSentence, kAis);
    EXPECT_EQ(rx.state.display.StatusLine, kAis);
    rx.send(kGga + "\r\n$GPGSV,1\r\n");
    EXPECT_EQ(rx.ais.got.size(), 1u);
    EXPECT_TRUE(rx.state.nmeaLink.LastAisSentence.empty());
    rx.nmea.ShowNMEAClick(); // unchecking "Show raw NMEA" clears the status line
    EXPECT_FALSE(rx.state.prefs.ShowNMEA);
    EXPECT_EQ(rx.state.display.StatusLine, "");
    rx.nmea.ShowNMEAClick();
    EXPECT_TRUE(rx.state.prefs.ShowNMEA); // the accepted position sentence ended the repeats
    EXPECT_EQ(rx.state.nmeaLink.LastAisSentence, "");
}

TEST(Reception, SentencesFailingTheirChecksumAreCountedShownAndNotUsed)
{
    Rx rx;
    rx.open();
    rx.state.prefs.ProcAis = true;
    rx.state.prefs.ShowNMEA = true; // as "Show raw NMEA" leaves it
    rx.send(kGga + "\r\n");
    ASSERT_EQ(rx.state.nmeaLink.LastPositionSentence, kGga);
    std::string badGga = kGga;
    badGga[20] = '9'; // noise in the latitude
    std::string badAis = kAis;
    badAis.back() = 'D';
    const std::string noSum = "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
    struct Step {
        std::string sentence;
        bool rejected;
        std::string position; // LastPositionSentence afterwards
        std::size_t aisHandedOn;
    };
    const Step steps[] = {
        { badGga, true, kGga, 0 },
        { badAis, true, kGga, 0 },
        { kAis, false, kGga, 1 },
        { noSum, false, noSum, 1 }, // no checksum: taken as before
        { "$GPGGA,1,2*00", true, noSum, 1 },
    };
    std::uint32_t rejected = 0;
    for (const Step& step : steps) {
        rx.fakes.serial.tick();
        const int ticksBefore = rx.nmea.watchdogTicksLeft();
        rx.send(step.sentence + "\r\n");
        rejected += step.rejected ? 1 : 0;
        EXPECT_EQ(rx.state.nmeaLink.RejectedSentences, rejected) << step.sentence;
        EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, step.position) << step.sentence;
        EXPECT_EQ(rx.ais.got.size(), step.aisHandedOn) << step.sentence;
        EXPECT_EQ(rx.state.nmeaLink.RxBuffer, "");
        EXPECT_EQ(rx.nmea.watchdogTicksLeft(), step.rejected ? ticksBefore : kWatchdogTicks)
            << "only a sentence that is used counts as data";
        if (step.rejected) {
            EXPECT_EQ(rx.state.display.StatusLine, "REJECTED checksum: " + step.sentence);
        }
    }
    // A rejected AIS sentence leaves the last good one in place.
    rx.send(kAis + "\r\n" + badAis + "\r\n");
    EXPECT_EQ(rx.state.nmeaLink.LastAisSentence, kAis);
    // Without "Show raw NMEA" the status line is left alone.
    rx.state.prefs.ShowNMEA = false;
    rx.state.display.StatusLine = "kept";
    rx.send(badGga + "\r\n");
    EXPECT_EQ(rx.state.display.StatusLine, "kept");
    EXPECT_EQ(rx.state.nmeaLink.RejectedSentences, rejected + 2);
}

TEST(Reception, WatchdogBeepsOnceThenRepeatsEveryTenSeconds)
{
    Rx rx;
    rx.open();
    rx.send(kGga + "\r\n");
    rx.fakes.serial.tick(kWatchdogTicks - 1);
    EXPECT_EQ(rx.state.display.StatusLine, "");
    rx.fakes.serial.tick();
    EXPECT_EQ(rx.state.display.StatusLine, "No NMEA data on COM1");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, "");
    EXPECT_EQ(rx.fakes.prompter.beeps, std::vector<Beep> { Beep::Exclamation });
    EXPECT_FALSE(rx.state.nmeaLink.DataArriving);
    rx.state.display.StatusLine.clear();
    rx.fakes.serial.tick(kNoDataTicks - 1);
    EXPECT_EQ(rx.state.display.StatusLine, "");
    rx.fakes.serial.tick();
    EXPECT_EQ(rx.state.display.StatusLine, "No NMEA data on COM1");
    EXPECT_EQ(rx.fakes.prompter.beeps.size(), 1u);
    // Data return: a sentence end re-arms at 15 s and the next loss beeps again.
    rx.send(kGga + "\r");
    EXPECT_TRUE(rx.state.nmeaLink.DataArriving);
    EXPECT_EQ(rx.nmea.watchdogTicksLeft(), kWatchdogTicks);
    rx.fakes.serial.tick(kWatchdogTicks);
    EXPECT_EQ(rx.fakes.prompter.beeps.size(), 2u);
    // Noise alone (no CR) keeps re-arming through the buffer limit.
    rx.send(std::string(150, 'z'));
    EXPECT_EQ(rx.nmea.watchdogTicksLeft(), kWatchdogTicks);
}

TEST(Interface, OpenAndCloseWithTheirMessagesAndDisplays)
{
    Rx rx;
    auto& d = rx.state.display;
    rx.state.settings.nmea.ComPortNumber = 3;
    rx.state.settings.nmea.BaudRate = 4800;
    rx.state.settings.fix.DRMode = true;
    d.checked[Control::DRMode1] = true;
    d.StatusLine = "old";
    rx.nmea.NMEAServerOnOffClick();
    EXPECT_TRUE(rx.fakes.prompter.lastMessageIs("NMEA Interface Open!"));
    EXPECT_EQ(rx.fakes.serial.openedNumber, 3u);
    EXPECT_EQ(rx.fakes.serial.openedBaud, 4800u);
    EXPECT_TRUE(rx.state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(rx.state.settings.fix.DRMode);
    EXPECT_FALSE(d.isChecked(Control::DRMode1));
    EXPECT_TRUE(d.isChecked(Control::NMEAInterface1));
    EXPECT_EQ(d.hint(Control::NMEAServerOnOff), "Close NMEA interface|");
    EXPECT_TRUE(d.FixTimer.running());
    EXPECT_EQ(d.FixTimer.intervalMs, 10000u);
    EXPECT_TRUE(d.isEnabled(Control::GetAvgPos));
    EXPECT_FALSE(d.isEnabled(Control::PlayAISlog));
    EXPECT_EQ(d.StatusLine, "");

    // "No" leaves it open.
    rx.fakes.prompter.answer({ false, true });
    rx.nmea.NMEAServerOnOffClick();
    EXPECT_TRUE(rx.state.nmeaLink.NmeaOpen);
    EXPECT_TRUE(rx.fakes.prompter.lastMessageIs(kCloseQuestion));
    rx.state.nmeaLink.LastPositionSentence = kGga;
    d.SpeedOG = "5 Kn";
    rx.nmea.NMEAServerOnOffClick();
    EXPECT_FALSE(rx.state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(rx.fakes.serial.opened);
    EXPECT_TRUE(rx.fakes.prompter.lastMessageIs("NMEA Interface Closed!"));
    EXPECT_EQ(rx.fakes.prompter.beeps, std::vector<Beep> { Beep::Default });
    EXPECT_EQ(d.hint(Control::NMEAServerOnOff), "Open NMEA interface|");
    EXPECT_FALSE(d.isChecked(Control::NMEAInterface1));
    EXPECT_FALSE(d.FixTimer.running());
    EXPECT_EQ(d.FixTimer.intervalMs, 0u);
    EXPECT_FALSE(d.isEnabled(Control::GetAvgPos));
    EXPECT_TRUE(d.isEnabled(Control::PlayAISlog));
    EXPECT_EQ(d.SpeedOG, "");
    EXPECT_EQ(d.GPSIndicatorText, "GPS ?");
    EXPECT_EQ(d.GPSIndicatorColour, "silver");
    EXPECT_EQ(rx.state.nmeaLink.LastPositionSentence, kGga); // closing keeps the last sentence
    // Closed: watchdog ticks do nothing.
    rx.fakes.serial.tick(1000);
    EXPECT_EQ(d.StatusLine, "");
}

TEST(Interface, PortThatCannotOpenLeavesTheInterfaceClosed)
{
    Rx rx;
    rx.fakes.serial.available = false;
    rx.nmea.OpenNmeaInterface();
    EXPECT_EQ(rx.fakes.prompter.texts(), std::vector<std::string> { kPortUnavailable });
    EXPECT_FALSE(rx.state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(rx.state.display.isChecked(Control::NMEAInterface1));
    EXPECT_FALSE(rx.state.display.FixTimer.running());
    rx.fakes.serial.tick(kWatchdogTicks);
    EXPECT_EQ(rx.state.display.StatusLine, "");

    // Port number 0: nothing is tried, nothing is shown.
    Rx zero;
    zero.state.settings.nmea.ComPortNumber = 0;
    zero.nmea.OpenNmeaInterface();
    EXPECT_TRUE(zero.fakes.prompter.messages.empty());
    EXPECT_FALSE(zero.state.nmeaLink.NmeaOpen);

    // Start-up opening: no message, fix timer started, playback disabled.
    Rx start;
    start.nmea.OpenAtStartup();
    EXPECT_TRUE(start.fakes.prompter.messages.empty());
    EXPECT_TRUE(start.fakes.serial.opened);
    EXPECT_TRUE(start.state.display.FixTimer.running());
    EXPECT_FALSE(start.state.display.isEnabled(Control::PlayAISlog));
}
