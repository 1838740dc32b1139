// The interface over a real serial device: a pseudo-terminal whose slave side the program opens
// through Qt SerialPort, found through the "dev/com<n>" link of the working folder.

#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtSerialPort.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "support/Pty.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace kv;

namespace {

void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test_nmea";
    static char* argv[] = { name, nullptr };
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
}

// Runs the event loop until the condition holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

using kvtest::Pty;

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

} // namespace

TEST(SerialEndToEnd, SentencesThroughAPseudoTerminal)
{
    EnsureApp();
    Pty pty;
    kvtest::TempDir work;
    std::filesystem::create_directories(work.file("dev"));
    std::filesystem::create_symlink(pty.slaveName, work.file("dev/com7"));
    EXPECT_EQ(ResolveComPort(7, work.path()), pty.slaveName);

    // Short ticks so that the 273-tick watchdog runs out in well under a second.
    QtSerialPort serial(work.path() + "/", 2);
    FakePlatform fakes;
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    ProgramState state;
    state.settings.nmea.ComPortNumber = 7;
    state.settings.nmea.BaudRate = 4800;
    NmeaInterface nmea(state, platform);

    nmea.OpenNmeaInterface();
    ASSERT_TRUE(fakes.prompter.lastMessageIs("NMEA Interface Open!"));
    ASSERT_TRUE(state.nmeaLink.NmeaOpen);

    // Reception: noise, a sentence split over two writes, another sentence.
    pty.send("garbage\r\n" + std::string(150, '~') + "\n" + kGga.substr(0, 10));
    pty.send(kGga.substr(10) + "\r\n$GPGSV,3,1,11\r\n");
    ASSERT_TRUE(WaitFor([&] { return state.nmeaLink.LastPositionSentence == kGga; }))
        << state.nmeaLink.LastPositionSentence;

    // Transmission: what the program writes comes out of the master side.
    const std::string out = "$ECXTE,A,A,0.25,L,N,A*1E\r\n";
    ASSERT_GE(serial.outputFree(), out.size());
    ASSERT_TRUE(serial.write(out));
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        got += pty.readAll();
        return got.size() >= out.size();
    }));
    EXPECT_EQ(got, out);

    // Loss of data: after 273 ticks one beep, the report, and the position sentence is gone.
    ASSERT_TRUE(WaitFor([&] { return !state.display.StatusLine.empty(); }));
    EXPECT_EQ(state.display.StatusLine, "No NMEA data on COM7");
    EXPECT_EQ(state.nmeaLink.LastPositionSentence, "");
    EXPECT_EQ(fakes.prompter.beeps, std::vector<Beep> { Beep::Exclamation });
    state.display.StatusLine.clear();
    ASSERT_TRUE(WaitFor([&] { return !state.display.StatusLine.empty(); }));
    EXPECT_EQ(fakes.prompter.beeps.size(), 1u); // repeated without a beep

    // Closing: the port is released and nothing more arrives.
    nmea.CloseNmeaInterface();
    EXPECT_FALSE(serial.isOpen());
    EXPECT_FALSE(state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(serial.write("x"));
    state.display.StatusLine.clear();
    pty.send(kGga + "\r\n");
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(state.nmeaLink.LastPositionSentence, "");
    EXPECT_EQ(state.display.StatusLine, "");

    // Opening again works (the device was released).
    fakes.prompter.messages.clear();
    nmea.OpenNmeaInterface();
    EXPECT_TRUE(fakes.prompter.lastMessageIs("NMEA Interface Open!"));
    pty.readAll();
    // The line sent while closed waited in the terminal (without its CR, which the terminal's
    // own line mode turned into LF): the first CR ends it as a sentence of no interest.
    const std::string later = "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4D";
    pty.send("\r" + later + "\r\n");
    EXPECT_TRUE(WaitFor([&] { return state.nmeaLink.LastPositionSentence == later; }));
}

TEST(SerialEndToEnd, DeviceThatGoesAwayIsReportedAsNoData)
{
    EnsureApp();
    auto pty = std::make_unique<Pty>();
    kvtest::TempDir work;
    std::filesystem::create_directories(work.file("dev"));
    std::filesystem::create_symlink(pty->slaveName, work.file("dev/com2"));
    QtSerialPort serial(work.path(), 2);
    FakePlatform fakes;
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    ProgramState state;
    state.settings.nmea.ComPortNumber = 2;
    NmeaInterface nmea(state, platform);
    nmea.OpenNmeaInterface();
    ASSERT_TRUE(state.nmeaLink.NmeaOpen);
    pty->send(kGga + "\r\n");
    ASSERT_TRUE(WaitFor([&] { return state.nmeaLink.LastPositionSentence == kGga; }));
    pty.reset(); // both sides gone
    ASSERT_TRUE(WaitFor([&] { return state.display.StatusLine == "No NMEA data on COM2"; }));
    EXPECT_EQ(fakes.prompter.beeps, std::vector<Beep> { Beep::Exclamation });
    nmea.CloseNmeaInterface();
    EXPECT_FALSE(serial.isOpen());
}

TEST(SerialEndToEnd, MissingDeviceGivesTheMessageAndStaysClosed)
{
    EnsureApp();
    kvtest::TempDir work;
    std::filesystem::create_directories(work.file("dev"));
    std::filesystem::create_symlink("/nonexistent/ttyUSB9", work.file("dev/com9"));
    QtSerialPort serial(work.path(), 2);
    FakePlatform fakes;
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    ProgramState state;
    state.settings.nmea.ComPortNumber = 9;
    NmeaInterface nmea(state, platform);
    nmea.OpenNmeaInterface();
    EXPECT_EQ(fakes.prompter.texts(), std::vector<std::string> { kPortUnavailable });
    EXPECT_FALSE(state.nmeaLink.NmeaOpen);
    EXPECT_FALSE(serial.isOpen());
    EXPECT_EQ(serial.outputFree(), 0u);
}

TEST(SerialEndToEnd, DeviceThatComesBackIsReopenedWhileTheInterfaceStaysOpen)
{
    EnsureApp();
    auto pty = std::make_unique<Pty>();
    kvtest::TempDir work;
    std::filesystem::create_directories(work.file("dev"));
    std::filesystem::create_symlink(pty->slaveName, work.file("dev/com3"));
    QtSerialPort serial(work.path(), 2, SourceRetry { 20, 1000, 30000 });
    FakePlatform fakes;
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    ProgramState state;
    state.settings.nmea.ComPortNumber = 3;
    NmeaInterface nmea(state, platform);
    nmea.OpenNmeaInterface();
    ASSERT_TRUE(state.nmeaLink.NmeaOpen);
    pty->send(kGga + "\r\n");
    ASSERT_TRUE(WaitFor([&] { return state.nmeaLink.LastPositionSentence == kGga; }));

    // Unplugged: the status line says so and the port is looked for again, still open.
    const std::string oldDevice = pty->slaveName;
    pty.reset();
    ASSERT_TRUE(WaitFor([&] {
        return state.display.StatusLine == oldDevice + " is gone; waiting for it to come back";
    })) << state.display.StatusLine;
    EXPECT_TRUE(serial.isOpen());
    EXPECT_FALSE(serial.linkUp());
    EXPECT_EQ(serial.outputFree(), 0u);
    ASSERT_TRUE(WaitFor([&] { return state.display.StatusLine == "No NMEA data on COM3"; }));
    WaitFor([] { return false; }, 100); // several attempts fail meanwhile

    // Plugged in again: the device appears at the same link (the kernel may give it another name).
    pty = std::make_unique<Pty>();
    std::filesystem::remove(work.file("dev/com3"));
    std::filesystem::create_symlink(pty->slaveName, work.file("dev/com3"));
    ASSERT_TRUE(WaitFor([&] { return serial.linkUp(); }));
    EXPECT_EQ(serial.device(), pty->slaveName);
    EXPECT_EQ(state.display.StatusLine, pty->slaveName + " is back");
    EXPECT_TRUE(state.nmeaLink.NmeaOpen);
    const std::string later = "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4D";
    pty->send(later + "\r\n");
    ASSERT_TRUE(WaitFor([&] { return state.nmeaLink.LastPositionSentence == later; }));
    const std::string out = "$ECXTE,A,A,0.25,L,N,A*1E\r\n";
    ASSERT_TRUE(serial.write(out));
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        got += pty->readAll();
        return got.size() >= out.size();
    }));
    EXPECT_EQ(got, out);
    // Only the one question-free beep of the data loss; no message box at any point.
    EXPECT_EQ(fakes.prompter.beeps, std::vector<Beep> { Beep::Exclamation });
    EXPECT_TRUE(fakes.prompter.lastMessageIs("NMEA Interface Open!"));
    nmea.CloseNmeaInterface();
    EXPECT_FALSE(serial.isOpen());
}
