// The program against a real Signal K server (signalk-server from the npm registry, installed by
// signalk_server.sh into the npm cache folder): the server plays the committed voyage
// data/signalk_voyage.nmea (made by "kvtool simulate --start 50.70 -1.40 --course 75 --speed 8
// --targets 5 --seconds 90 --rate 0": GGA, RMC, VTG, DBT, MWV, HDT and AIS of Class A ships and
// Class B yachts) from a file-stream provider, and the program reads the server's delta stream
// with "signalk://127.0.0.1:PORT" in dev/com9, as a user would set it up. Checked: every fix is a
// position the file played, the program holds the vessels the server reports at the positions it
// reports, depth and wind reach the instrument strip, and when the server is stopped and started
// again the program reconnects by itself and takes fixes again. The same with the NMEA 2000
// sample the server package ships.
//
// Skipped, saying why, only when the npm registry cannot be reached to install the server.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "nmea/InstrumentSentences.h"
#include "nmea/NmeaParse.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtSerialPort.h"
#include "support/ConfigFile.h"
#include "support/EventLoop.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace kv;

struct Played {
    std::vector<std::pair<double, double>> positions; // RMC: latitude, longitude west positive
    std::vector<double> depths;
    std::vector<std::pair<double, double>> apparentWind; // angle, knots
};

Played ReadPlayed(const std::string& path)
{
    Played p;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("$GPRMC", 0) == 0) {
            SentenceFix fix;
            Display d;
            ParseSentence(line, fix, d, false);
            p.positions.emplace_back(fix.SentenceLat, fix.SentenceLong);
        }
        const InstrumentRecord r = ParseInstrumentSentence(line);
        if (r.kind == InstrumentRecord::Kind::Depth) {
            p.depths.push_back(r.depthMetres);
        } else if (r.kind == InstrumentRecord::Kind::ApparentWind) {
            p.apparentWind.emplace_back(r.windAngle, r.windKnots);
        }
    }
    return p;
}

std::uint16_t FreeTcpPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool Accepts(std::uint16_t port)
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(200);
}

// The vessels the server holds other than own ship: MMSI -> (latitude, longitude east positive).
std::map<std::uint32_t, std::pair<double, double>> ServerVessels(std::uint16_t port)
{
    QNetworkAccessManager net;
    QNetworkReply* reply
        = net.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/signalk/v1/api/vessels").arg(port))));
    kvtest::WaitFor([reply] { return reply->isFinished(); }, 10000);
    std::map<std::uint32_t, std::pair<double, double>> out;
    const QJsonObject vessels = QJsonDocument::fromJson(reply->readAll()).object();
    reply->deleteLater();
    for (auto it = vessels.begin(); it != vessels.end(); ++it) {
        const QString urn = it.key();
        const QJsonObject position
            = it.value()[QLatin1String("navigation")][QLatin1String("position")][QLatin1String("value")].toObject();
        const int at = urn.indexOf(QLatin1String("mmsi:"));
        if (at < 0 || position.isEmpty() || urn.endsWith(QLatin1String("235000001"))) {
            continue;
        }
        out[urn.mid(at + 5).toUInt()]
            = { position[QLatin1String("latitude")].toDouble(), position[QLatin1String("longitude")].toDouble() };
    }
    return out;
}

class Server {
public:
    Server(std::string package, std::string configDir, std::uint16_t port)
        : package_(std::move(package))
        , configDir_(std::move(configDir))
        , port_(port)
    {
    }
    ~Server() { stop(); }
    bool start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PORT"), QString::number(port_));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardOutputFile(QString::fromStdString(configDir_ + "/server.out"), QIODevice::Append);
        process_.start(QStringLiteral("node"),
            { QString::fromStdString(package_ + "/bin/signalk-server"), QStringLiteral("-c"),
                QString::fromStdString(configDir_), QStringLiteral("-s"),
                QStringLiteral("settings.json") }); // in the configuration folder
        return process_.waitForStarted(10000) && kvtest::WaitFor([this] { return Accepts(port_); }, 60000);
    }
    void stop()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000)) {
                process_.kill();
                process_.waitForFinished(5000);
            }
        }
    }

private:
    std::string package_, configDir_;
    std::uint16_t port_;
    QProcess process_;
};

void AddChart(const kvtest::TempDir& dir, const std::string& name, double centreLat, double centreLongWest)
{
    std::vector<ChartPoint> points;
    for (int i = 0; i <= 10; ++i) {
        points.push_back(ChartPoint::make(centreLat - 0.05 + 0.002 * (i % 2), centreLongWest + 0.1 - 0.02 * i));
    }
    points.push_back(ChartPoint::penUp());
    dir.write("charts/" + name + ".cht", ChartRecordBytes(points));
    ChartConfig config;
    config.centreLat = centreLat;
    config.centreLong = centreLongWest;
    config.zoom = 2.0;
    WriteChartConfigFile(dir.file("charts/" + name + ".cfg"), config);
}

} // namespace

TEST(SignalKServer, FixesTargetsAndInstrumentsFromTheServerAndAReconnection)
{
    kvtest::EnsureCoreApp();
    const kvtest::ToolResult install
        = kvtest::RunShell("bash " + kvtest::ShellQuote(std::string(KV_SOURCE_DIR) + "/tests/app/signalk_server.sh"));
    if (install.exitCode == 5) {
        GTEST_SKIP() << "the npm registry cannot be reached: signalk-server could not be installed";
    }
    ASSERT_EQ(install.exitCode, 0) << "signalk_server.sh failed";
    std::string package = install.out;
    while (!package.empty() && (package.back() == '\n' || package.back() == '\r')) {
        package.pop_back();
    }
    const std::string voyage = std::string(KV_SOURCE_DIR) + "/tests/app/data/signalk_voyage.nmea";
    const Played played = ReadPlayed(voyage);
    ASSERT_GT(played.positions.size(), 60U);

    kvtest::TempDir serverDir;
    const std::uint16_t port = FreeTcpPort();
    // The file played about 30 sentences a second, over and over; no NMEA rebroadcast, no service
    // announcements, no security: only the WebSocket stream and the REST interface.
    serverDir.write("settings.json",
        R"({
  "vessel": {"name": "Kestrel", "mmsi": "235000001"},
  "interfaces": {"nmea-tcp": false, "tcp": false, "mdns": false, "plugins": false, "appstore": false},
  "mdns": false,
  "pipedProviders": [{
    "id": "voyage", "enabled": true,
    "pipeElements": [{"type": "providers/simple", "options": {"logging": false, "type": "FileStream",
      "subOptions": {"dataType": "NMEA0183", "filename": ")"
            + voyage + R"(", "throttleRate": 2500}}}]
  }]
})");
    Server server(package, serverDir.path(), port);
    ASSERT_TRUE(server.start()) << "signalk-server did not start; see " << serverDir.file("server.out");

    kvtest::TempDir dir;
    for (const char* folder : { "charts", "routes", "tides", "logs", "dev" }) {
        std::filesystem::create_directories(dir.file(folder));
    }
    AddChart(dir, "Needles", 50.72, 1.30);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState& state, Settings& settings) {
        state.folders.ChartName = "Needles";
        state.fixInfo.OwnLat = 50.7;
        state.fixInfo.OwnLong = 1.4;
        settings.fix.NmeaStartMode = "Auto";
        settings.fix.FixIntervalMs = 1000;
        settings.nmea.ComPortNumber = 9;
        settings.nmea.BaudRate = 38400;
    });
    dir.write("dev/com9", "signalk://127.0.0.1:" + std::to_string(port) + "\n");
    dir.write("kvfree.ini", "[AIS]\nClassBAndAtoNTargets=true\n[Display]\nInstruments=true\n");

    ProgramState state;
    FakePlatform fakes;
    QtSerialPort serial(dir.path());
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    MainWindowHooks window;
    MainController program(state, platform, window);
    program.FormCreate(dir.path(), "");
    program.SecsTimerTimer();
    ASSERT_TRUE(serial.isOpen()) << "the start mode Auto opens the Signal K source";

    // When each position sentence made of a delta reached the program, and how long after that
    // its fix was taken (printed: the figure depends on the fix period, here 200 ms).
    QElapsedTimer clock;
    clock.start();
    std::string lastSentence;
    qint64 arrivedAt = 0;
    std::vector<qint64> latencies;
    QTimer arrivals;
    QObject::connect(&arrivals, &QTimer::timeout, [&] {
        if (state.nmeaLink.LastPositionSentence != lastSentence) {
            lastSentence = state.nmeaLink.LastPositionSentence;
            arrivedAt = clock.elapsed();
        }
    });
    arrivals.start(1);

    // The fix timer of the window, faster than the configured period so that the run is short.
    std::vector<std::pair<double, double>> fixes;
    QTimer fixTimer;
    std::set<std::string> statusLines;
    QObject::connect(&fixTimer, &QTimer::timeout, [&] {
        statusLines.insert(state.display.StatusLine);
        program.fix().FixTimerTimer();
        if (state.nmeaLink.LastPositionSentence.empty()) {
            return;
        }
        const std::pair<double, double> p { state.fixInfo.OwnLat, state.fixInfo.OwnLong };
        if (fixes.empty() || fixes.back() != p) {
            fixes.push_back(p);
            latencies.push_back(clock.elapsed() - arrivedAt);
        }
    });
    fixTimer.start(200);

    const auto wasPlayed = [&](const std::pair<double, double>& p) {
        for (const auto& q : played.positions) {
            if (std::fabs(q.first - p.first) < 1e-7 && std::fabs(q.second - p.second) < 1e-7) {
                return true;
            }
        }
        return false;
    };
    // A whole pass of the file: every vessel reported at least once.
    ASSERT_TRUE(kvtest::WaitFor([&] { return fixes.size() >= 30 && state.ais.targets.count() >= 5; }, 40000))
        << fixes.size() << " fixes, " << state.ais.targets.count() << " targets, link " << serial.linkUp();
    for (const auto& f : fixes) {
        ASSERT_TRUE(wasPlayed(f)) << "a fix at " << f.first << ", " << f.second << " the file never played";
    }

    // The targets are the server's vessels, where the server has them (each of its positions is on
    // the target's track: the server may have moved on since the last position came through).
    const auto vessels = ServerVessels(port);
    kvtest::WaitFor([] { return false; }, 500); // what the server sent meanwhile comes in
    EXPECT_EQ(static_cast<std::size_t>(state.ais.targets.count()), vessels.size())
        << "as many targets as the server's vessels";
    std::set<std::uint32_t> ours;
    for (const TAISTarget& t : state.ais.targets) {
        ours.insert(t.MMSI);
        const auto it = vessels.find(t.MMSI);
        ASSERT_NE(it, vessels.end()) << "target " << t.MMSI << " is not one of the server's vessels";
        bool onTrack = false;
        for (int k = 0; k < t.TrackCount; ++k) {
            onTrack = onTrack
                || (std::fabs(t.Track[static_cast<std::size_t>(k)].lat - it->second.first) < 2e-6
                    && std::fabs(t.Track[static_cast<std::size_t>(k)].lon - it->second.second) < 2e-6);
        }
        EXPECT_TRUE(onTrack) << "target " << t.MMSI << ": the server's position " << it->second.first << ", "
                             << it->second.second;
    }
    for (const auto& [mmsi, position] : vessels) {
        EXPECT_TRUE(ours.count(mmsi)) << "the server's vessel " << mmsi << " is no target";
    }

    // Depth and apparent wind in the strip, as played (to the tenth the sentences carry).
    const InstrumentTexts shown = InstrumentStripTexts(state.instruments, InstrumentSeconds(fakes.clock.now()));
    EXPECT_FALSE(shown.depthStale);
    EXPECT_FALSE(shown.apparentStale);
    bool depthPlayed = false;
    for (double d : played.depths) {
        depthPlayed = depthPlayed || std::fabs(d - state.instruments.DepthMetres.value) < 0.051;
    }
    EXPECT_TRUE(depthPlayed) << state.instruments.DepthMetres.value;
    bool windPlayed = false;
    for (const auto& [angle, knots] : played.apparentWind) {
        windPlayed = windPlayed
            || (std::fabs(angle - state.instruments.ApparentWindAngle.value) < 0.051
                && std::fabs(knots - state.instruments.ApparentWindKnots.value) < 0.051);
    }
    EXPECT_TRUE(windPlayed) << state.instruments.ApparentWindAngle.value << " "
                            << state.instruments.ApparentWindKnots.value;

    // The server goes away and comes back: the program finds it again by itself.
    server.stop();
    ASSERT_TRUE(kvtest::WaitFor([&] { return !serial.linkUp(); }, 10000));
    const std::size_t before = fixes.size();
    ASSERT_TRUE(server.start());
    ASSERT_TRUE(kvtest::WaitFor([&] { return serial.linkUp() && fixes.size() >= before + 5; }, 40000))
        << "no fixes after the server came back";
    for (std::size_t i = before; i < fixes.size(); ++i) {
        ASSERT_TRUE(wasPlayed(fixes[i]));
    }
    // The user was told, in the status line, as for a TCP source.
    const std::string source = "signalk://127.0.0.1:" + std::to_string(port);
    EXPECT_TRUE(statusLines.count("Connection to " + source + " lost; reconnecting in 1 s")
        || statusLines.count(
            "Connection to " + source + " lost (The remote host closed the connection); reconnecting in 1 s"));
    EXPECT_TRUE(statusLines.count("Connected to " + source));
    fixTimer.stop();
    serial.close();
    std::sort(latencies.begin(), latencies.end());
    std::printf("position sentence to fix: median %lld ms, longest %lld ms over %zu fixes (fix period 200 ms)\n",
        static_cast<long long>(latencies[latencies.size() / 2]), static_cast<long long>(latencies.back()),
        latencies.size());
}

// The server's own NMEA 2000 sample (a boat with an AIS receiver on its NMEA 2000 network, whose
// NMEA 0183 rebroadcast would carry no AIS), played at its recorded pace: the program holds the
// server's vessels where the server has them, and takes its fixes at own ship's position.
TEST(SignalKServer, TargetsOfTheServersNmea2000Sample)
{
    kvtest::EnsureCoreApp();
    const kvtest::ToolResult install
        = kvtest::RunShell("bash " + kvtest::ShellQuote(std::string(KV_SOURCE_DIR) + "/tests/app/signalk_server.sh"));
    if (install.exitCode == 5) {
        GTEST_SKIP() << "the npm registry cannot be reached: signalk-server could not be installed";
    }
    ASSERT_EQ(install.exitCode, 0) << "signalk_server.sh failed";
    std::string package = install.out;
    while (!package.empty() && (package.back() == '\n' || package.back() == '\r')) {
        package.pop_back();
    }
    kvtest::TempDir serverDir;
    const std::uint16_t port = FreeTcpPort();
    serverDir.write("settings.json",
        R"({
  "interfaces": {"nmea-tcp": false, "tcp": false, "mdns": false, "plugins": false, "appstore": false},
  "mdns": false,
  "pipedProviders": [{
    "id": "n2k", "enabled": true,
    "pipeElements": [{"type": "providers/simple", "options": {"logging": false, "type": "FileStream",
      "subOptions": {"dataType": "NMEA2000JS", "filename": ")"
            + package + R"(/samples/aava-n2k.data"}}}]
  }]
})");
    Server server(package, serverDir.path(), port);
    ASSERT_TRUE(server.start()) << "signalk-server did not start; see " << serverDir.file("server.out");

    kvtest::TempDir dir;
    for (const char* folder : { "charts", "routes", "tides", "logs", "dev" }) {
        std::filesystem::create_directories(dir.file(folder));
    }
    AddChart(dir, "Sample", 60.1, -24.95);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState& state, Settings& settings) {
        state.folders.ChartName = "Sample";
        settings.fix.NmeaStartMode = "Auto";
        settings.fix.FixIntervalMs = 1000;
        settings.nmea.ComPortNumber = 9;
    });
    dir.write("dev/com9", "signalk://127.0.0.1:" + std::to_string(port) + "\n");
    dir.write("kvfree.ini", "[AIS]\nClassBAndAtoNTargets=true\n");
    ProgramState state;
    FakePlatform fakes;
    QtSerialPort serial(dir.path());
    Platform platform { fakes.prompter, fakes.clock, serial, fakes.sound, fakes.launcher, fakes.clipboard,
        fakes.printer };
    MainWindowHooks window;
    MainController program(state, platform, window);
    program.FormCreate(dir.path(), "");
    program.SecsTimerTimer();
    ASSERT_TRUE(serial.isOpen());
    int fixes = 0;
    QTimer fixTimer;
    QObject::connect(&fixTimer, &QTimer::timeout, [&] {
        program.fix().FixTimerTimer();
        fixes += state.nmeaLink.LastPositionSentence.empty() ? 0 : 1;
    });
    fixTimer.start(200);
    ASSERT_TRUE(kvtest::WaitFor([&] { return fixes >= 10 && state.ais.targets.count() >= 5; }, 40000))
        << fixes << " fixes, " << state.ais.targets.count() << " targets";

    const auto vessels = ServerVessels(port);
    kvtest::WaitFor([] { return false; }, 500);
    ASSERT_FALSE(vessels.empty());
    for (const auto& [mmsi, position] : vessels) {
        const TAISTarget* ours = nullptr;
        for (const TAISTarget& t : state.ais.targets) {
            ours = t.MMSI == mmsi ? &t : ours;
        }
        ASSERT_NE(ours, nullptr) << "the server's vessel " << mmsi << " is no target";
        bool onTrack = false;
        for (int k = 0; k < ours->TrackCount; ++k) {
            onTrack = onTrack
                || (std::fabs(ours->Track[static_cast<std::size_t>(k)].lat - position.first) < 2e-6
                    && std::fabs(ours->Track[static_cast<std::size_t>(k)].lon - position.second) < 2e-6);
        }
        EXPECT_TRUE(onTrack) << mmsi;
    }
    // Own ship where the server has it (a fix or two behind at most: it moves slowly).
    QNetworkAccessManager net;
    QNetworkReply* reply = net.get(QNetworkRequest(
        QUrl(QStringLiteral("http://127.0.0.1:%1/signalk/v1/api/vessels/self/navigation/position").arg(port))));
    ASSERT_TRUE(kvtest::WaitFor([reply] { return reply->isFinished(); }, 10000));
    const QJsonObject self = QJsonDocument::fromJson(reply->readAll()).object()[QLatin1String("value")].toObject();
    reply->deleteLater();
    ASSERT_FALSE(self.isEmpty());
    EXPECT_NEAR(state.fixInfo.OwnLat, self[QLatin1String("latitude")].toDouble(), 0.001);
    EXPECT_NEAR(state.fixInfo.OwnLong, -self[QLatin1String("longitude")].toDouble(), 0.001);
    fixTimer.stop();
    serial.close();
}
