// Sentence sources over the network, through real loopback sockets: a TCP multiplexer, UDP
// datagrams and a gpsd daemon, each a small server of the test's own, with the interface, the
// fix cycle and the AIS table of the program behind the port.

#include "ais/AisController.h"
#include "app/ProgramState.h"
#include "navigation/FixCycle.h"
#include "navigation/TrackLog.h"
#include "nmea/NmeaInterface.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtSerialPort.h"
#include "support/EventLoop.h"
#include "support/LoopbackFlood.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

using namespace kv;
using kvtest::WaitFor;

namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kGga2 = "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4D";
const std::string kGnGga = "$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59";
const std::string kAis = "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C";
const std::string kAis2 = "!AIVDM,1,1,,A,15MgK45P3@G?fl0E`JbR0OwT0@MS,0*4E";
const std::string kXte = "$ECXTE,A,A,0.25,L,N,A*1E\r\n";

class NoViews final : public FixCycleHooks {
public:
    int OpenViewCount() const override { return 0; }
    void RefreshViews() override { }
    void AutoLoadChart() override { }
    bool ChartPointEditingEnabled() const override { return false; }
    void AddChartPoint() override { }
};

// The program's reception behind a real port, in a working folder whose dev/com<n> says `source`.
struct Station {
    kvtest::TempDir work;
    std::unique_ptr<QtSerialPort> serial;
    FakePlatform fakes;
    std::unique_ptr<Platform> platform;
    ProgramState state;
    NoViews views;
    std::unique_ptr<TrackLogs> logs;
    std::unique_ptr<FixCycle> cycle;
    std::unique_ptr<AisController> ais;
    std::unique_ptr<NmeaInterface> nmea;

    Station(unsigned number, const std::string& source)
    {
        kvtest::EnsureCoreApp();
        work.write("dev/com" + std::to_string(number), source + "\n");
        std::filesystem::create_directories(work.file("logs"));
        // Short ticks (the 273-tick watchdog runs out in about half a second) and short waits
        // between reconnections: 50 ms doubling to 400 ms, back to 50 ms after 300 ms of data.
        serial = std::make_unique<QtSerialPort>(work.path(), 2, SourceRetry { 50, 50, 400, 300 });
        platform = std::make_unique<Platform>(Platform {
            fakes.prompter, fakes.clock, *serial, fakes.sound, fakes.launcher, fakes.clipboard, fakes.printer });
        state.settings.nmea.ComPortNumber = number;
        state.folders.AppDir = work.path() + "/";
        state.folders.LogDir = work.path() + "/logs/";
        state.textLog.LogNameBase = "08-12-26";
        state.settings.fix.KeepTextLog = false;
        state.chartRef.CosLatFactor = 1.0;
        state.prefs.ProcAis = true;
        fakes.clock.time = { 2026, 12, 8, 12, 0, 0, 0 };
        logs = std::make_unique<TrackLogs>(state, *platform);
        cycle = std::make_unique<FixCycle>(FixCycleRecords(state), *platform, *logs, views);
        ais = std::make_unique<AisController>(state, *platform);
        nmea = std::make_unique<NmeaInterface>(state, *platform, ais.get());
    }
    ~Station() { nmea->CloseAtExit(); }
    bool hasTarget(std::uint32_t mmsi) const
    {
        for (int i = 1; i <= state.ais.targets.count(); ++i) {
            if (state.ais.targets[i].MMSI == mmsi) {
                return true;
            }
        }
        return false;
    }
};

// Reads what arrives on a socket until `wanted` is among it.
bool Receive(QTcpSocket& socket, std::string& got, const std::string& wanted)
{
    return WaitFor([&] {
        got += socket.readAll().toStdString();
        return got.find(wanted) != std::string::npos;
    });
}

std::unique_ptr<QTcpSocket> Accept(QTcpServer& server)
{
    if (!WaitFor([&] { return server.hasPendingConnections(); })) {
        return nullptr;
    }
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    peer->setParent(nullptr);
    return peer;
}

// What a busy multiplexer sends in one go: 20 AIS reports of two vessels, then a position.
std::string AisBurst()
{
    std::string burst;
    for (int i = 0; i < 10; ++i) {
        burst += kAis + "\r\n" + kAis2 + "\r\n";
    }
    return burst + kGga + "\r\n";
}

quint16 FreeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

} // namespace

TEST(NetworkSource, TcpMultiplexerGivesFixesAndTargetsTakesOutputAndIsReconnected)
{
    kvtest::EnsureCoreApp();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    const std::string address = "tcp://127.0.0.1:" + std::to_string(port);
    Station s(3, address);
    EXPECT_EQ(ResolveComSource(3, s.work.path()).address.kind, SourceAddress::Kind::Tcp);

    s.nmea->OpenNmeaInterface();
    ASSERT_TRUE(s.fakes.prompter.lastMessageIs("NMEA Interface Open!"));
    auto peer = Accept(server);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(WaitFor([&] { return s.state.display.StatusLine == "Connected to " + address; }))
        << s.state.display.StatusLine;

    // Reception: a position and an AIS target, split anywhere.
    const std::string feed = kGga + "\r\n" + kAis + "\r\n" + kGga + "\r\n";
    peer->write(QByteArray::fromStdString(feed.substr(0, 30)));
    peer->flush();
    WaitFor([] { return false; }, 20);
    peer->write(QByteArray::fromStdString(feed.substr(30)));
    ASSERT_TRUE(
        WaitFor([&] { return s.state.nmeaLink.LastPositionSentence == kGga && s.state.ais.targets.count() == 1; }));
    EXPECT_TRUE(s.hasTarget(477553000u));
    s.cycle->FixTimerTimer();
    EXPECT_NEAR(s.state.fixInfo.OwnLat, 48.1173, 1e-9);
    EXPECT_NEAR(s.state.fixInfo.OwnLong, -11.516666666666667, 1e-9);
    EXPECT_EQ(s.state.display.GPSIndicatorColour, "lime");

    // Output reaches the multiplexer.
    ASSERT_GE(s.serial->outputFree(), kXte.size());
    ASSERT_TRUE(s.platform->serial.write(kXte));
    std::string got;
    ASSERT_TRUE(Receive(*peer, got, kXte));

    // The multiplexer goes away: the interface stays open, the status line says so, the waits
    // between attempts double up to their limit, and the watchdog reports the silence as usual.
    peer.reset();
    server.close();
    ASSERT_TRUE(WaitFor([&] { return s.state.display.StatusLine.find("lost") != std::string::npos; }))
        << s.state.display.StatusLine;
    EXPECT_NE(s.state.display.StatusLine.find("reconnecting in 1 s"), std::string::npos) << s.state.display.StatusLine;
    EXPECT_FALSE(s.serial->linkUp());
    EXPECT_EQ(s.serial->outputFree(), 0u);
    EXPECT_FALSE(s.platform->serial.write(kXte));
    ASSERT_TRUE(WaitFor([&] { return s.state.display.StatusLine == "No NMEA data on COM3"; }));
    ASSERT_TRUE(WaitFor([&] { return s.serial->nextRetryMs() == 400; }));
    WaitFor([] { return false; }, 600);
    EXPECT_EQ(s.serial->nextRetryMs(), 400);
    EXPECT_TRUE(s.state.nmeaLink.NmeaOpen);
    EXPECT_TRUE(s.serial->isOpen());

    // Back on the same port: reconnected without the user and data flow again; the waits start
    // over only once the connection has delivered data for a while.
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
    peer = Accept(server);
    ASSERT_TRUE(peer);
    ASSERT_TRUE(WaitFor([&] { return s.serial->linkUp(); }));
    EXPECT_EQ(s.serial->nextRetryMs(), 400);
    peer->write(QByteArray::fromStdString(kGga2 + "\r\n" + kAis2 + "\r\n"));
    ASSERT_TRUE(
        WaitFor([&] { return s.state.nmeaLink.LastPositionSentence == kGga2 && s.state.ais.targets.count() == 2; }));
    EXPECT_EQ(s.serial->nextRetryMs(), 400);
    QTimer talk;
    QObject::connect(&talk, &QTimer::timeout, [&] { peer->write(QByteArray::fromStdString(kGga2 + "\r\n")); });
    talk.start(50);
    EXPECT_TRUE(WaitFor([&] { return s.serial->nextRetryMs() == 50; }, 3000));
    talk.stop();
    got.clear();
    ASSERT_TRUE(s.platform->serial.write(kXte));
    ASSERT_TRUE(Receive(*peer, got, kXte));

    // Closing lets go of the connection and stops the attempts.
    s.nmea->CloseNmeaInterface();
    EXPECT_FALSE(s.serial->isOpen());
    ASSERT_TRUE(WaitFor(
        [&] { return peer->state() == QAbstractSocket::UnconnectedState || !peer->isValid() || peer->atEnd(); }));
    server.close();
    WaitFor([] { return false; }, 200);
    EXPECT_FALSE(server.hasPendingConnections());
}

TEST(NetworkSource, UdpDatagramsWithTwoSentencesEachAndOutput)
{
    kvtest::EnsureCoreApp();
    QUdpSocket multiplexer;
    ASSERT_TRUE(multiplexer.bind(QHostAddress::LocalHost, 0));
    const quint16 listenPort = FreeUdpPort();
    Station s(
        4, "udp://:" + std::to_string(listenPort) + " udp://127.0.0.1:" + std::to_string(multiplexer.localPort()));
    s.nmea->OpenNmeaInterface();
    ASSERT_TRUE(s.state.nmeaLink.NmeaOpen);
    ASSERT_TRUE(s.serial->linkUp());

    auto send = [&](const std::string& datagram) {
        multiplexer.writeDatagram(QByteArray::fromStdString(datagram), QHostAddress::LocalHost, listenPort);
    };
    send(kGga + "\r\n" + kAis + "\r\n");
    ASSERT_TRUE(
        WaitFor([&] { return s.state.nmeaLink.LastPositionSentence == kGga && s.state.ais.targets.count() == 1; }));
    // The last sentence of a datagram needs no line end of its own.
    send(kAis2 + "\r\n" + kGga2);
    ASSERT_TRUE(
        WaitFor([&] { return s.state.nmeaLink.LastPositionSentence == kGga2 && s.state.ais.targets.count() == 2; }));
    EXPECT_EQ(s.state.nmeaLink.RxBuffer, "");

    ASSERT_TRUE(s.platform->serial.write(kXte));
    ASSERT_TRUE(WaitFor([&] { return multiplexer.hasPendingDatagrams(); }));
    EXPECT_EQ(multiplexer.receiveDatagram().data().toStdString(), kXte);

    // The port is in use only while the interface is open.
    s.nmea->CloseNmeaInterface();
    QUdpSocket after;
    EXPECT_TRUE(after.bind(QHostAddress::Any, listenPort));
}

TEST(NetworkSource, UdpWithoutOutputAddressSendsNothing)
{
    kvtest::EnsureCoreApp();
    Station s(5, "udp://127.0.0.1:" + std::to_string(FreeUdpPort()));
    s.nmea->OpenNmeaInterface();
    ASSERT_TRUE(s.state.nmeaLink.NmeaOpen);
    EXPECT_EQ(s.serial->outputFree(), 0u);
    EXPECT_FALSE(s.platform->serial.write(kXte));
}

TEST(NetworkSource, UdpPortInUseCannotBeOpened)
{
    kvtest::EnsureCoreApp();
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::LocalHost, 0)); // without sharing
    Station s(6, "udp://127.0.0.1:" + std::to_string(holder.localPort()));
    s.nmea->OpenNmeaInterface();
    EXPECT_EQ(s.fakes.prompter.texts(), std::vector<std::string> { kPortUnavailable });
    EXPECT_FALSE(s.state.nmeaLink.NmeaOpen);
}

TEST(NetworkSource, GpsdRelaysNmeaAfterTheWatchCommand)
{
    kvtest::EnsureCoreApp();
    QTcpServer daemon;
    ASSERT_TRUE(daemon.listen(QHostAddress::LocalHost, 0));
    Station s(1, "gpsd://127.0.0.1:" + std::to_string(daemon.serverPort()));
    s.nmea->OpenNmeaInterface();
    auto client = Accept(daemon);
    ASSERT_TRUE(client);
    // The daemon greets, waits for the watch command, then reports its devices and relays NMEA.
    client->write(
        "{\"class\":\"VERSION\",\"release\":\"3.22\",\"rev\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}\r\n");
    std::string command;
    ASSERT_TRUE(Receive(*client, command, "\n"));
    EXPECT_EQ(command, "?WATCH={\"enable\":true,\"nmea\":true}\n");
    client->write(
        "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":\"/dev/ttyACM0\",\"driver\":\"u-blox\","
        "\"activated\":\"2026-12-08T12:00:00.000Z\",\"native\":0,\"bps\":9600}]}\r\n"
        "{\"class\":\"WATCH\",\"enable\":true,\"json\":false,\"nmea\":true,\"raw\":0,\"scaled\":false}\r\n");
    client->write(QByteArray::fromStdString(kGnGga + "\r\n" + kAis + "\r\n"));
    ASSERT_TRUE(
        WaitFor([&] { return s.state.nmeaLink.LastPositionSentence == kGnGga && s.state.ais.targets.count() == 1; }));
    EXPECT_EQ(s.state.nmeaLink.RejectedSentences, 0u);
    s.cycle->FixTimerTimer();
    EXPECT_NEAR(s.state.fixInfo.OwnLat, 48.1173, 1e-9);
    // Nothing goes to the daemon.
    EXPECT_EQ(s.serial->outputFree(), 0u);
    EXPECT_FALSE(s.platform->serial.write(kXte));

    // The daemon's own reports are not data: they do not keep the watchdog quiet.
    QTimer reports;
    QObject::connect(
        &reports, &QTimer::timeout, [&] { client->write("{\"class\":\"DEVICE\",\"path\":\"/dev/ttyACM0\"}\r\n"); });
    reports.start(20);
    EXPECT_TRUE(WaitFor([&] { return s.state.display.StatusLine == "No NMEA data on COM1"; }, 3000))
        << s.state.display.StatusLine;
    reports.stop();

    // A restarted daemon gets the watch command again.
    client.reset();
    client = Accept(daemon);
    ASSERT_TRUE(client);
    command.clear();
    ASSERT_TRUE(Receive(*client, command, "\n"));
    EXPECT_EQ(command, "?WATCH={\"enable\":true,\"nmea\":true}\n");
}

// An unpaced sender on the boat's network: while it sends, timers still run, what cannot be used
// is dropped and counted, and the backlog stays within its bound.
TEST(NetworkSource, UdpFloodLeavesOtherEventsTheirTurnAndDropsTheExcess)
{
    kvtest::EnsureCoreApp();
    const quint16 port = FreeUdpPort();
    Station s(4, "udp://127.0.0.1:" + std::to_string(port));
    s.state.ais.AisLogPath = s.work.file("logs/08-12-26.AIS"); // every report logged, as at sea
    s.nmea->OpenNmeaInterface();
    ASSERT_TRUE(s.serial->linkUp());
    kvtest::LoopbackFlood flood(kvtest::LoopbackFlood::Kind::Udp, { AisBurst() }, 3, port);
    int ticksWhileFlooding = 0;
    std::size_t largestBacklog = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] {
        ticksWhileFlooding += flood.running() ? 1 : 0;
        largestBacklog = std::max(largestBacklog, s.serial->backlog());
    });
    other.start(50);
    WaitFor([&] { return ticksWhileFlooding >= 5 && s.state.nmeaLink.DroppedSentences > 0; }, 3000);
    flood.stop();
    EXPECT_GE(ticksWhileFlooding, 5);
    EXPECT_GT(flood.unitsSent(), 0u);
    EXPECT_GT(s.state.nmeaLink.DroppedSentences, 0u);
    EXPECT_LE(largestBacklog, InputLimits {}.backlogBytes);
    EXPECT_EQ(s.state.nmeaLink.LastPositionSentence, kGga);
    EXPECT_NE(s.state.display.StatusLine.find("Too much data on COM4: "), std::string::npos)
        << s.state.display.StatusLine;
    EXPECT_EQ(s.state.nmeaLink.RejectedSentences, 0u) << "drops fall between sentences";
}

// A flood of AIS reports fills neither the day's AIS log beyond its limit nor the disk beyond
// the free-space floor; the status line says that logging paused.
TEST(NetworkSource, AisFloodStopsTheLogAtItsLimitWithANote)
{
    struct Case {
        int maxLogMB;
        int minFreeMB;
        const char* note;
        std::uintmax_t lowest; // of the log's size at the end
        std::uintmax_t highest;
    };
    const Case cases[] = {
        { 1, 0, "AIS log of the day reached 1 MB: AIS logging paused", 1048576 - 200, 1048576 },
        { 500, 1000000, "Less than 1000000 MB free for the logs: AIS logging paused", 0, 0 },
    };
    kvtest::EnsureCoreApp();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        kvtest::LoopbackFlood flood(kvtest::LoopbackFlood::Kind::Tcp, { AisBurst() }, 4);
        Station s(3, "tcp://127.0.0.1:" + std::to_string(flood.port()));
        s.state.extra.AisMaxLogMB = c.maxLogMB;
        s.state.extra.AisMinFreeMB = c.minFreeMB;
        s.state.ais.AisLogPath = s.work.file("logs/08-12-26.AIS");
        s.nmea->OpenNmeaInterface();
        // The status line is looked at while the reports still flow: once they stop, the
        // watchdog rightly replaces the note with "No NMEA data" within half a second.
        const bool paused
            = WaitFor([&] { return s.state.ais.AisLogNote == c.note && s.state.display.StatusLine == c.note; }, 4000);
        EXPECT_TRUE(paused) << s.state.ais.AisLogNote << " / " << s.state.display.StatusLine;
        if (paused) {
            // A while longer: nothing more is written.
            WaitFor([] { return false; }, 300);
        }
        flood.stop();
        WaitFor([&] { return s.serial->backlog() == 0; }, 2000);
        EXPECT_EQ(s.state.ais.AisLogNote, c.note);
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(s.state.ais.AisLogPath, ec);
        EXPECT_GE(ec ? 0 : size, c.lowest);
        EXPECT_LE(ec ? 0 : size, c.highest);
        EXPECT_TRUE(s.hasTarget(477553000u)) << "the reports are still used";
    }
}

// A server that accepts and closes at once does not reset the waits: they double to the longest.
TEST(NetworkSource, AcceptAndCloseServerCannotResetTheBackOff)
{
    kvtest::EnsureCoreApp();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    int accepted = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* peer = server.nextPendingConnection()) {
            ++accepted;
            peer->write("$GPTXT,flap*00\r\n");
            peer->close();
            peer->deleteLater();
        }
    });
    Station s(7, "tcp://127.0.0.1:" + std::to_string(server.serverPort()));
    s.nmea->OpenNmeaInterface();
    EXPECT_TRUE(WaitFor([&] { return s.serial->nextRetryMs() == 400; }, 3000)) << s.serial->nextRetryMs();
    EXPECT_GE(accepted, 3);
    const int before = accepted;
    WaitFor([] { return false; }, 1000);
    EXPECT_LE(accepted - before, 3) << "one attempt every 400 ms at most";
    EXPECT_EQ(s.serial->nextRetryMs(), 400);
}

TEST(NetworkSource, BadSourceFileGivesTheMessageAndStaysClosed)
{
    kvtest::EnsureCoreApp();
    Station s(2, "tcp://nowhere");
    EXPECT_FALSE(ResolveComSource(2, s.work.path()).ok());
    EXPECT_EQ(ResolveComPort(2, s.work.path()), "");
    // The message says what is wrong with the entry, as kvtool ports does; a NUL or an escape
    // in the file neither cuts it short nor reaches the screen raw.
    s.nmea->OpenNmeaInterface();
    EXPECT_EQ(s.fakes.prompter.texts(),
        std::vector<std::string> { std::string(kPortUnavailable)
            + "\ndev/com2: a TCP source needs a host and a port, as in "
              "\"tcp://192.168.1.1:10110\": \"tcp://nowhere\"" });
    EXPECT_FALSE(s.state.nmeaLink.NmeaOpen);
    s.work.write("dev/com2", std::string("ser\0ial\x1b[2J\n", 12));
    s.nmea->OpenNmeaInterface();
    EXPECT_EQ(s.fakes.prompter.texts().back(),
        std::string(kPortUnavailable)
            + "\ndev/com2: not a source address: \"ser\\x00ial\\x1b[2J\" (use tcp://HOST:PORT, "
              "udp://:PORT, gpsd://HOST[:PORT], signalk://HOST[:PORT] or a device path)");
}

TEST(NetworkSource, SourceFileReachedThroughALink)
{
    kvtest::TempDir work;
    work.write("boat/mux.txt", "tcp://10.0.0.1:10110\nthe second line is not read\n");
    std::filesystem::create_directories(work.file("dev"));
    std::filesystem::create_symlink(work.file("boat/mux.txt"), work.file("dev/com8"));
    const SourceParse r = ResolveComSource(8, work.path());
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(SourceText(r.address), "tcp://10.0.0.1:10110");
}

TEST(NetworkSourceTool, PortsPrintsEachSource)
{
    kvtest::TempDir work;
    work.write("dev/com1", "tcp://192.168.4.1:10110\n");
    work.write("dev/com2", "udp://:10110 udp://192.168.4.255:10111");
    work.write("dev/com3", "gpsd://localhost\n");
    work.write("dev/com4", "serial\n");
    std::filesystem::create_symlink("/dev/ttyUSB3", work.file("dev/com5"));
    // A file that would set the terminal's title and clear it, with a NUL in the middle.
    work.write("dev/com6", std::string("\x1b]0;owned\x07\0x\x1b[2J\n", 17));
    const kvtest::ToolResult r = kvtest::RunShell(
        "cd " + kvtest::ShellQuote(work.path()) + " && " + kvtest::ShellQuote(kvtest::KvtoolPath()) + " ports");
    ASSERT_EQ(r.exitCode, 0);
    const std::string want
        = "1\ttcp://192.168.4.1:10110\n"
          "2\tudp://:10110 udp://192.168.4.255:10111\n"
          "3\tgpsd://localhost:2947\n"
          "4\terror: dev/com4: not a source address: \"serial\" (use tcp://HOST:PORT, udp://:PORT, "
          "gpsd://HOST[:PORT], signalk://HOST[:PORT] or a device path)\n"
          "5\t/dev/ttyUSB3\n"
          "6\terror: dev/com6: not a source address: \"\\x1b]0;owned\\x07\\x00x\\x1b[2J\" (use "
          "tcp://HOST:PORT, udp://:PORT, gpsd://HOST[:PORT], signalk://HOST[:PORT] or a device path)\n";
    EXPECT_EQ(r.out.substr(0, want.size()), want);
}

TEST(NetworkSourceTool, ListenPrintsEachSentenceWithItsArrivalTime)
{
    kvtest::EnsureCoreApp();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QProcess listen;
    listen.start(QString::fromStdString(kvtest::KvtoolPath()),
        { "listen", QString("tcp://127.0.0.1:%1").arg(server.serverPort()), "--seconds", "2" });
    auto peer = Accept(server);
    ASSERT_TRUE(peer);
    peer->write(QByteArray::fromStdString("noise\n" + kGga + "\r\n" + kAis.substr(0, 20)));
    peer->flush();
    WaitFor([] { return false; }, 50);
    peer->write(QByteArray::fromStdString(kAis.substr(20) + "\r\n\x1b]0;owned\x07\x1b[2J$GPTXT,\x9b\r\n"));
    ASSERT_TRUE(WaitFor([&] { return listen.state() == QProcess::NotRunning; }, 8000));
    EXPECT_EQ(listen.exitCode(), 0);
    const std::string out = listen.readAllStandardOutput().toStdString();
    const std::regex lines("\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\tnoise\\$GPGGA[^\n]*\\*47\n"
                           "\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t!AIVDM,1,1,,B,177KQJ5000G\\?tO`K>RA1wUbN0TKH,0\\*5C\n"
                           // A peer's escape sequences are shown, not obeyed.
                           "\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\t\\\\x1b\\]0;owned\\\\x07\\\\x1b\\[2J\\$GPTXT,\\\\x9b\n");
    EXPECT_TRUE(std::regex_match(out, lines)) << out;
    const std::string err = listen.readAllStandardError().toStdString();
    EXPECT_NE(err.find("Connected to tcp://127.0.0.1:"), std::string::npos) << err;
}

TEST(NetworkSourceTool, ListenRefusesBadSources)
{
    const struct {
        const char* args;
        int code;
        const char* message;
    } cases[] = {
        { "listen ftp://host:1", 1, "unknown source type \"ftp\"" },
        { "listen", 2, "usage: kvtool listen SOURCE" },
        { "listen tcp://a:1 --seconds x", 2, "--seconds takes a whole number" },
        { "listen /nonexistent/ttyUSB9 --seconds 1", 1, "cannot open /nonexistent/ttyUSB9" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const kvtest::ToolResult r
            = kvtest::RunShell(kvtest::ShellQuote(kvtest::KvtoolPath()) + " " + c.args + " 2>&1");
        EXPECT_EQ(r.exitCode, c.code);
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
    }
}
