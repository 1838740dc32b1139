// The program's window on a live serial link: a pseudo-terminal stands in for the receiver, the
// working folder's "dev/com1" points at its slave side, the configuration starts the interface
// automatically with a route. GPS and AIS sentences go in; fixes, the track log, the navigation
// panel, the autopilot sentences and the target table come out.

#include "UiSupport.h"
#include "app/ProgramState.h"

#include "core/Config.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "nmea/Templates.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtSerialPort.h"
#include "routes/Routes.h"
#include "support/ConfigFile.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>

#include "support/Pty.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

using namespace kv;

using kvtest::Pty;

// "ddmm.mmmm" / "dddmm.mmmm" of an absolute value in degrees.
std::string DegreesMinutes(double degrees, int degreeDigits)
{
    const double a = std::fabs(degrees);
    const int d = static_cast<int>(a);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f", degreeDigits, d, (a - d) * 60.0);
    return text;
}

// A "$GPGGA" sentence at a position (longitude east positive), with its checksum and CR LF.
std::string Gga(int secondOfDay, double lat, double lonEast)
{
    char time[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    const std::string body = std::string("$GPGGA,") + time + "," + DegreesMinutes(lat, 2) + (lat < 0 ? ",S," : ",N,")
        + DegreesMinutes(lonEast, 3) + (lonEast < 0 ? ",W," : ",E,") + "1,08,0.9,10.0,M,0.0,M,,";
    return body + NMEAChecksum(body) + "\r\n";
}

TEST(LiveLink, FixesTrackLogPanelAutopilotOutputAndTargets)
{
    kvtest::App();
    kvtest::TempDir dir;
    kvtest::PrepareWorkingFolder(dir);
    Pty pty;
    std::filesystem::create_directories(dir.file("dev"));
    std::filesystem::create_symlink(pty.slaveName, dir.file("dev/com1"));

    // A route to the north-east of the start position (16.78 S, 41.78 E).
    const double startLat = -16.78, startLonEast = 41.78;
    std::vector<std::string> lines;
    for (int i = 1; i <= 3; ++i) {
        RouteWaypoint w;
        w.name = DefaultRouteName(i);
        w.lat = startLat + 0.1 * i;
        w.lon = -(startLonEast + 0.1 * i); // west positive
        lines.push_back(RouteLine(w));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/passage.rte"), lines));
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState& nav, Settings& settings) {
        nav.settings.fix.NmeaStartMode = "Auto";
        nav.settings.nmea.ComPortNumber = 1;
        nav.settings.nmea.BaudRate = 4800;
        nav.settings.fix.FixIntervalMs = 500;
        settings.RouteName = "passage";
    });

    ProgramState state;
    FakePrompter prompter;
    FakeClock clock;
    QtSerialPort serial(dir.path());
    FakeSoundPlayer sound;
    sound.autoFinish = true;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakePrinter printer;
    Platform platform { prompter, clock, serial, sound, launcher, clipboard, printer };
    kvui::MainWindow window(state, platform);
    int aboutBoxes = 0;
    window.aboutBox = [&aboutBoxes] { ++aboutBoxes; };
    window.start(dir.path(), "");
    window.show();

    ASSERT_TRUE(kvtest::SpinUntil(3000, [&] { return serial.isOpen(); })) << "the interface did not open";
    EXPECT_EQ(aboutBoxes, 1);
    EXPECT_EQ(state.routeProgress.RouteLength, 3);
    EXPECT_TRUE(window.fixTimer()->isActive());
    EXPECT_EQ(window.fixTimer()->interval(), 500);

    // The receiver: a GPS sentence every 200 ms along the leg, and two AIS vessels.
    int step = 0;
    QTimer receiver;
    QObject::connect(&receiver, &QTimer::timeout, [&] {
        ++step;
        const double lat = startLat + 0.002 * step;
        const double lon = startLonEast + 0.0015 * step;
        pty.send(Gga(12 * 3600 + step, lat, lon));
        pty.send(kvtest::AisPositionReport(235001234, lat + 0.03, lon - 0.02, 7.0, 30.0) + "\r\n");
        pty.send(kvtest::AisPositionReport(235005678, lat - 0.02, lon + 0.04, 12.0, 300.0) + "\r\n");
    });
    receiver.start(200);

    std::string output;
    const bool done = kvtest::SpinUntil(12000, [&] {
        output += pty.readAll();
        return state.quickLog.count() >= 4 && state.ais.targets.count() >= 2
            && output.find("$ECAPB") != std::string::npos && output.find("$ECXTE") != std::string::npos;
    });
    receiver.stop();
    EXPECT_TRUE(done) << "fixes " << state.quickLog.count() << ", targets " << state.ais.targets.count()
                      << ", output: " << output;

    // Fixes were taken from the sentences and logged.
    EXPECT_GE(state.quickLog.count(), 4u);
    EXPECT_NEAR(state.fixInfo.OwnLat, startLat + 0.002 * step, 0.02);
    const std::string trackLog = dir.file("logs/" + state.fixInfo.FixDateText.str() + ".log");
    ASSERT_TRUE(std::filesystem::exists(trackLog)) << trackLog;
    EXPECT_EQ(std::filesystem::file_size(trackLog), kTrackLogSize);

    // The navigation panel shows the leg.
    auto text = [&](const char* name) { return window.findChild<QLabel*>(QLatin1String(name))->text(); };
    EXPECT_FALSE(text("RngToWp").isEmpty());
    EXPECT_FALSE(text("BearingToWP").isEmpty());
    EXPECT_FALSE(text("SpeedOG").isEmpty());
    EXPECT_FALSE(text("CourseOG").isEmpty());
    EXPECT_EQ(text("RngToWp").toLatin1().toStdString(), state.display.RngToWp);
    EXPECT_EQ(window.findChild<QComboBox*>(QStringLiteral("WPName"))->count(), 3);

    // Autopilot sentences went out with valid checksums.
    for (const char* id : { "$ECAPB", "$ECXTE" }) {
        const auto at = output.find(id);
        ASSERT_NE(at, std::string::npos) << id;
        const auto end = output.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string sentence = output.substr(at, end - at);
        const auto star = sentence.rfind('*');
        ASSERT_NE(star, std::string::npos);
        EXPECT_EQ(NMEAChecksum(sentence.substr(0, star)), sentence.substr(star)) << sentence;
    }

    // The targets are in the table and their sentences in the day's AIS log.
    EXPECT_EQ(state.ais.targets.count(), 2);
    ASSERT_FALSE(state.ais.AisLogPath.empty());
    const auto aisLog = ReadTextLines(state.ais.AisLogPath);
    ASSERT_TRUE(aisLog.has_value());
    EXPECT_GE(aisLog->size(), 3u);

    prompter.defaultAnswer = true;
    window.close();
    EXPECT_FALSE(serial.isOpen());
}

} // namespace
