#include "AisTestSupport.h"

#include "ais/AisController.h"
#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kv;
using namespace aistest;

namespace {

class AisLogTest : public ::testing::Test {
protected:
    AisLogTest()
    {
        state.folders.AppDir = dir.path() + "/";
        state.ais.AisLogPath = dir.file("08-12-26.AIS");
        state.nmeaLink.NmeaOpen = true;
    }
    std::string Log() const { return ReadWholeFile(state.ais.AisLogPath).value_or("<missing>"); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    AisController ais { state, fake.platform };
};

TEST_F(AisLogTest, SentencesAndPositionLinesAreLoggedOnce)
{
    const std::string a = PositionSentence(PositionReport {});
    PositionReport other;
    other.mmsi = 235000002;
    const std::string b = PositionSentence(other);
    state.nmeaLink.LastPositionSentence = "$GPRMC,120000,A,5000.000,N,00100.000,W,5.0,90.0,081226,,*00";
    ais.ProcessAISSentence(a);
    ais.ProcessAISSentence(a);
    ais.ProcessAISSentence(b);
    state.nmeaLink.LastPositionSentence = "$GPRMC,120010,A,5000.100,N,00100.000,W,5.0,90.0,081226,,*00";
    ais.ProcessAISSentence(b);
    EXPECT_EQ(Log(),
        a + "\r\n" + "$GPRMC,120000,A,5000.000,N,00100.000,W,5.0,90.0,081226,,*00\r\n" + b + "\r\n"
            + "$GPRMC,120010,A,5000.100,N,00100.000,W,5.0,90.0,081226,,*00\r\n");
    EXPECT_EQ(state.ais.targets.count(), 2) << "every sentence is still decoded";
    EXPECT_EQ(state.nmeaLink.LastAisSentence, b);

    // The raw-NMEA switch shows each sentence in the status line.
    state.prefs.ShowNMEA = true;
    ais.ProcessAISSentence(a);
    EXPECT_EQ(state.display.StatusLine, a);
}

TEST_F(AisLogTest, UnwritableLogLosesOnlyItsLines)
{
    state.ais.AisLogPath = dir.file("no-such-folder/08-12-26.AIS");
    state.nmeaLink.LastPositionSentence = "$GPGGA,120000,5000.000,N,00100.000,W,1,08,0.9,10,M,,,,*2A";
    ais.ProcessAISSentence(PositionSentence(PositionReport {}));
    EXPECT_EQ(state.ais.targets.count(), 1);
    EXPECT_TRUE(state.ais.LastLoggedAIS.empty()) << "nothing was written, so nothing counts as logged";
    state.ais.AisLogPath = dir.file("08-12-26.AIS");
    ais.ProcessAISSentence(PositionSentence(PositionReport {}));
    EXPECT_EQ(Log(),
        PositionSentence(PositionReport {}) + "\r\n" + "$GPGGA,120000,5000.000,N,00100.000,W,1,08,0.9,10,M,,,,*2A\r\n");
}

TEST_F(AisLogTest, ProcessAisSwitchNeedsTheInterface)
{
    ais.ProcAisClick();
    EXPECT_FALSE(state.prefs.ProcAis);
    ais.ProcessAISSentence(PositionSentence(PositionReport {}));
    EXPECT_EQ(state.ais.targets.count(), 0) << "nothing is taken while AIS processing is off";
    state.nmeaLink.NmeaOpen = false;
    ais.ProcAisClick();
    EXPECT_FALSE(state.prefs.ProcAis);
    EXPECT_TRUE(fake.prompter.lastMessageIs("Open NMEA interface first!"));
}

TEST_F(AisLogTest, PlaybackIntervals)
{
    EXPECT_EQ(AisController::PlaybackIntervalMs(50), 100u);
    EXPECT_EQ(AisController::PlaybackIntervalMs(1), 5000u);
    EXPECT_EQ(AisController::PlaybackIntervalMs(10), 500u);
    EXPECT_EQ(AisController::PlaybackIntervalMs(3), 1667u);
    EXPECT_EQ(AisController::PlaybackIntervalMs(0), 5000u);
    EXPECT_EQ(AisController::PlaybackIntervalMs(99), 100u);
}

TEST_F(AisLogTest, PlaybackPlaysOneLinePerTickAndEnds)
{
    PositionReport p;
    p.mmsi = 244000001;
    const std::string first = PositionSentence(p);
    p.mmsi = 244000002;
    const std::string second = PositionSentence(p);
    std::string junk("\x01\xff\x00garbage\x00", 11);
    dir.write("07-12-26.AIS",
        "AIS Log Date : 07-12-26\r\n" + first + "\r\n$GPRMC,120000,A*00\r\n" + junk + "\r\n" + second
            + "\n!AIVDM,1,1\r\n");
    state.nmeaLink.NmeaOpen = false;
    state.settings.fix.KeepTextLog = true;
    state.quickLog.push({});
    state.motion.TripDistance = 3.0;
    state.cycleState.DropIndex = 5;
    std::vector<std::string> fixSentences;
    ais.processPositionSentence = [&](const std::string& s) { fixSentences.push_back(s); };
    ais.SetPlaybackSpeed(50);
    PositionReport before;
    ais.DecodeAndUpdate(PositionSentence(before));
    ASSERT_EQ(state.ais.targets.count(), 1);

    ais.PlayAISlogClick([&] { return std::optional<std::string>(dir.file("07-12-26.AIS")); });
    EXPECT_TRUE(state.aisPlayback.AISPlayback);
    EXPECT_EQ(state.ais.targets.count(), 0) << "the table is emptied";
    EXPECT_TRUE(state.quickLog.empty());
    EXPECT_EQ(state.motion.TripDistance, 0.0) << "the track restarts with the quick log";
    EXPECT_EQ(state.cycleState.DropIndex, 2);
    EXPECT_TRUE(state.display.AISPlayTimer.running());
    EXPECT_EQ(state.display.AISPlayTimer.intervalMs, 100u);
    EXPECT_FALSE(state.display.isEnabled(Control::NMEAServerOnOff));
    EXPECT_EQ(state.display.hint(Control::PlayAISlog), "Stop Playing the AIS Log|");
    EXPECT_FALSE(state.settings.fix.KeepTextLog);
    EXPECT_EQ(state.display.hint(Control::TxtLogOnOff), "Release for Text Logs On|");
    EXPECT_TRUE(state.prefs.fix.UseGpsTime);

    ais.AISplayTimeTimer(); // header: skipped
    EXPECT_EQ(state.ais.targets.count(), 0);
    ais.AISplayTimeTimer();
    EXPECT_EQ(state.ais.targets.count(), 1);
    EXPECT_EQ(state.nmeaLink.LastAisSentence, first);

    // Pausing and answering Cancel resumes with the next line.
    fake.prompter.answer({ false });
    ais.PlayAISlogClick(nullptr);
    EXPECT_EQ(fake.prompter.messages.back(),
        (FakePrompter::Message { "okCancel", "Playback Paused - Stop playing current AIS log file ?", "Confirm" }));
    EXPECT_TRUE(state.display.AISPlayTimer.running());
    ais.AISplayTimeTimer();
    ASSERT_EQ(fixSentences.size(), 1u);
    EXPECT_EQ(fixSentences[0], "$GPRMC,120000,A*00");
    ais.AISplayTimeTimer(); // binary junk: ignored
    ais.AISplayTimeTimer();
    EXPECT_EQ(state.ais.targets.count(), 2);
    ais.AISplayTimeTimer(); // a sentence with missing fields
    EXPECT_TRUE(state.aisPlayback.AISPlayback);
    ais.AISplayTimeTimer(); // end of file
    EXPECT_FALSE(state.aisPlayback.AISPlayback);
    EXPECT_FALSE(state.display.AISPlayTimer.running());
    EXPECT_TRUE(state.display.isEnabled(Control::NMEAServerOnOff));
    EXPECT_EQ(state.display.hint(Control::PlayAISlog), "Playback an AIS Log|");
    EXPECT_EQ(state.display.GPSIndicatorText, "GPS ?");
    EXPECT_EQ(state.display.GPSIndicatorColour, "silver");
    EXPECT_EQ(state.ais.targets.count(), 2) << "the playback leaves the targets it built";
}

TEST_F(AisLogTest, PlaybackStoppedByTheUserOrNeverStarted)
{
    dir.write("a.AIS", "AIS Log Date : 07-12-26\r\n");
    ais.SetPlaybackSpeed(1);
    ais.PlayAISlogClick([] { return std::nullopt; });
    EXPECT_FALSE(state.aisPlayback.AISPlayback);
    ais.PlayAISlogClick([&] { return std::optional<std::string>(dir.file("missing.AIS")); });
    EXPECT_FALSE(state.aisPlayback.AISPlayback);
    ais.PlayAISlogClick([&] { return std::optional<std::string>(dir.file("a.AIS")); });
    EXPECT_TRUE(state.aisPlayback.AISPlayback);
    EXPECT_EQ(state.display.AISPlayTimer.intervalMs, 5000u);
    fake.prompter.answer({ true });
    ais.PlayAISlogClick(nullptr);
    EXPECT_FALSE(state.aisPlayback.AISPlayback);
    EXPECT_FALSE(state.display.AISPlayTimer.running());
    EXPECT_EQ(state.display.hint(Control::PlayAISlog), "Playback an AIS Log|");
}

// However a playback ends, the text log and the GPS-time switch are the user's again.
TEST(AisLogPlayback, SwitchesForcedByAPlaybackAreGivenBackAtItsEnd)
{
    enum class End { LastLine, UserStops, StopCall, Unreadable };
    struct Case {
        End end;
        bool keepTextLog;
        bool useGpsTime;
    };
    for (const Case& c : { Case { End::LastLine, true, false }, Case { End::UserStops, true, false },
             Case { End::StopCall, true, false }, Case { End::Unreadable, true, false },
             Case { End::LastLine, false, false }, Case { End::UserStops, false, true } }) {
        kvtest::TempDir dir;
        ProgramState state;
        FakePlatform fake;
        AisController ais { state, fake.platform };
        dir.write("a.AIS", "AIS Log Date : 07-12-26\r\n");
        state.settings.fix.KeepTextLog = c.keepTextLog;
        state.prefs.fix.UseGpsTime = c.useGpsTime;
        ais.PlayAISlogClick(
            [&] { return std::optional<std::string>(dir.file(c.end == End::Unreadable ? "none.AIS" : "a.AIS")); });
        switch (c.end) {
        case End::LastLine:
            ais.AISplayTimeTimer();
            ais.AISplayTimeTimer();
            break;
        case End::UserStops:
            fake.prompter.answer({ true });
            ais.PlayAISlogClick(nullptr);
            break;
        case End::StopCall:
            ais.StopPlayback();
            break;
        case End::Unreadable:
            break;
        }
        SCOPED_TRACE(static_cast<int>(c.end));
        ASSERT_FALSE(state.aisPlayback.AISPlayback);
        EXPECT_EQ(state.settings.fix.KeepTextLog, c.keepTextLog);
        EXPECT_EQ(state.prefs.fix.UseGpsTime, c.useGpsTime);
        if (c.keepTextLog && c.end != End::Unreadable) {
            EXPECT_EQ(state.display.hint(Control::TxtLogOnOff), "Press for Text Logs Off|");
        }
    }
}

TEST_F(AisLogTest, MonitorMode)
{
    ais.AISMonitorClick();
    EXPECT_TRUE(fake.prompter.lastMessageIs("Turn NMEA server link OFF first !"));
    EXPECT_FALSE(state.ais.AISMonitor);

    state.nmeaLink.NmeaOpen = false;
    state.quickLog.push({});
    fake.prompter.answer({ false });
    ais.AISMonitorClick();
    EXPECT_FALSE(state.ais.AISMonitor);
    EXPECT_EQ(state.quickLog.count(), 1u);
    EXPECT_EQ(fake.prompter.messages.back().kind, "informationOkCancel"); // a notice, not a question

    // The purge asks its own question; answered No, the log stays and the mode stays off.
    ais.purgeQuickLogAsking = [] {};
    fake.prompter.answer({ true });
    ais.AISMonitorClick();
    EXPECT_FALSE(state.ais.AISMonitor);

    ais.purgeQuickLogAsking = [this] { state.quickLog.clear(); };
    fake.prompter.answer({ true });
    ais.AISMonitorClick();
    EXPECT_TRUE(state.ais.AISMonitor);
    EXPECT_TRUE(state.display.isChecked(Control::AISMonitor));
    EXPECT_FALSE(state.prefs.fix.UseGpsTime);
    ais.AISMonitorClick();
    EXPECT_FALSE(state.ais.AISMonitor);
}

TEST_F(AisLogTest, ViewerLaunches)
{
    ais.AISLogViewer1Click();
    ASSERT_EQ(fake.launcher.launches.size(), 1u);
    EXPECT_EQ(fake.launcher.launches[0].program, dir.path() + "/AISLogViewer");
    EXPECT_EQ(fake.launcher.launches[0].arguments, std::vector<std::string> { dir.file("08-12-26.AIS") });
    state.settings.TextLogViewerPath = "/usr/bin/less";
    ais.AISLogViewer1Click();
    EXPECT_EQ(fake.launcher.launches[1].program, "/usr/bin/less");
    ais.AISDatabaseViewer1Click();
    EXPECT_EQ(fake.launcher.launches[2].program, dir.path() + "/AISDatabaseViewer");
    EXPECT_EQ(fake.launcher.launches[2].arguments, std::vector<std::string> { dir.path() + "/" });
    EXPECT_TRUE(fake.prompter.messages.empty());
    fake.launcher.succeed = false;
    ais.AISDatabaseViewer1Click();
    EXPECT_TRUE(fake.prompter.lastMessageIs("Application Not Available"));
}

} // namespace

#include "nmea/NmeaInterface.h"

namespace {

TEST_F(AisLogTest, ReceptionHandsSentencesToTheController)
{
    NmeaInterface nmea(state, fake.platform, &ais);
    const auto type5 = StaticSentences(StaticData {}, "6");
    state.prefs.nmea.PositionSentence = 0;
    for (const std::string& line : { std::string("$GPGGA,120000,5000.000,N,00100.000,W,1,08,0.9,10,M,,,,*2A"), type5[0],
             type5[1], std::string("$GPGSV,3,1,12*78") }) {
        nmea.onCharsAvailable(line + "\r");
    }
    ASSERT_EQ(state.ais.targets.count(), 1);
    EXPECT_EQ(state.ais.targets[1].VesselName.str(), "EVER DIADEM@@@@@@@@@");
    // Each AIS line is handed on and logged once.
    EXPECT_EQ(
        Log(), type5[0] + "\r\n$GPGGA,120000,5000.000,N,00100.000,W,1,08,0.9,10,M,,,,*2A\r\n" + type5[1] + "\r\n");
}

TEST_F(AisLogTest, SatelliteSentencesBetweenFragmentsDoNotCorruptAMessage)
{
    NmeaInterface nmea(state, fake.platform, &ais);
    StaticData data;
    int fill = 0;
    const std::string payload = StaticPayload(data, &fill);
    const auto fragments = AisSentences(payload, fill, "4", 'A', 25); // three fragments
    ASSERT_EQ(fragments.size(), 3u);
    for (const std::string& line : { fragments[0], std::string("$GPGSV,3,1,12*78"), fragments[1],
             std::string("$GPGSV,3,2,12*7B"), std::string("$GPGSA,A,3*30"), fragments[2] }) {
        nmea.onCharsAvailable(line + "\r");
    }
    ASSERT_EQ(state.ais.targets.count(), 1);
    EXPECT_EQ(state.ais.targets[1].VesselName.str(), "EVER DIADEM@@@@@@@@@");
}

} // namespace
