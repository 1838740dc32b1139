// The Signal K source on a WebSocket server of the test's own: what the port asks for (the
// stream's path, the token of kvfree.ini, the subscriptions), what it hands on (the sentences of
// the deltas), and how it behaves when the server goes away.

#include "platform/qt/QtSerialPort.h"
#include "support/EventLoop.h"
#include "support/TempDir.h"

#include <QWebSocket>
#include <QWebSocketServer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace kv;

struct Recorder final : SerialListener {
    std::string chars;
    std::vector<std::string> status;
    void onCharsAvailable(std::string_view c) override { chars += c; }
    void onWatchdog() override { }
    void onSourceStatus(std::string_view text) override { status.emplace_back(text); }
};

struct FakeServer {
    QWebSocketServer server { QStringLiteral("test"), QWebSocketServer::NonSecureMode };
    std::vector<QWebSocket*> clients;
    std::vector<QString> received;
    QByteArray authorization;
    QString path;
    FakeServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QWebSocketServer::newConnection, [this] {
            QWebSocket* c = server.nextPendingConnection();
            authorization = c->request().rawHeader("Authorization");
            path = c->requestUrl().path() + QLatin1Char('?') + c->requestUrl().query();
            QObject::connect(c, &QWebSocket::textMessageReceived, [this](const QString& m) { received.push_back(m); });
            clients.push_back(c);
        });
    }
};

SourceAddress Address(std::uint16_t port)
{
    return ParseSourceAddress("signalk://127.0.0.1:" + std::to_string(port)).address;
}

} // namespace

TEST(SignalKSource, SubscribesWithTheTokenAndHandsOnTheSentencesOfTheDeltas)
{
    kvtest::EnsureCoreApp();
    kvtest::TempDir dir;
    dir.write("kvfree.ini", "[Network]\nSignalKToken=abc.def-123\n");
    FakeServer fake;
    QtSerialPort port(dir.path());
    Recorder rec;
    port.setListener(&rec);
    ASSERT_TRUE(port.openSource(Address(fake.server.serverPort()), 38400));
    ASSERT_TRUE(kvtest::WaitFor([&] { return fake.received.size() >= 2; }));
    EXPECT_EQ(fake.path, QStringLiteral("/signalk/v1/stream?subscribe=none"));
    EXPECT_EQ(fake.authorization, QByteArray("Bearer abc.def-123"));
    EXPECT_TRUE(fake.received[0].contains(QLatin1String(R"("context":"vessels.self")")));
    EXPECT_TRUE(fake.received[1].contains(QLatin1String(R"("context":"vessels.*")")));
    EXPECT_TRUE(port.linkUp());
    EXPECT_EQ(port.outputFree(), 0U) << "the server takes no sentences";
    EXPECT_FALSE(port.write("$ECAPB\r\n"));

    fake.clients[0]->sendTextMessage(QStringLiteral(R"({"self":"vessels.urn:mrn:imo:mmsi:235000001"})"));
    fake.clients[0]->sendTextMessage(QStringLiteral(
        R"({"context":"vessels.urn:mrn:imo:mmsi:235000001","updates":[{"timestamp":"2026-06-01T10:20:30Z","values":[)"
        R"({"path":"navigation.position","value":{"latitude":50.5,"longitude":-1.25}},)"
        R"({"path":"environment.depth.belowTransducer","value":12.5}]}]})"));
    fake.clients[0]->sendTextMessage(QStringLiteral("not json at all"));
    ASSERT_TRUE(kvtest::WaitFor([&] { return rec.chars.find("$IIDBT") != std::string::npos; }));
    EXPECT_EQ(rec.chars.substr(0, 46), "$GPRMC,102030.00,A,5030.0000,N,00115.0000,W,,,");
    port.close();
}

TEST(SignalKSource, NoTokenNoHeaderAndAServerThatGoesAwayIsCalledAgain)
{
    kvtest::EnsureCoreApp();
    kvtest::TempDir dir;
    FakeServer fake;
    SourceRetry retry;
    retry.firstMs = 100;
    QtSerialPort port(dir.path(), QtSerialPort::kTickMs, retry);
    Recorder rec;
    port.setListener(&rec);
    ASSERT_TRUE(port.openSource(Address(fake.server.serverPort()), 38400));
    ASSERT_TRUE(kvtest::WaitFor([&] { return fake.clients.size() == 1; }));
    EXPECT_TRUE(fake.authorization.isEmpty());
    fake.clients[0]->close();
    ASSERT_TRUE(kvtest::WaitFor([&] { return fake.clients.size() == 2; }, 5000)) << "not called again";
    const std::string source = "signalk://127.0.0.1:" + std::to_string(fake.server.serverPort());
    bool toldLost = false;
    for (const std::string& s : rec.status) {
        toldLost = toldLost || s.rfind("Connection to " + source + " lost", 0) == 0;
    }
    EXPECT_TRUE(toldLost);
    EXPECT_EQ(rec.status.front(), "Connecting to " + source);
    port.close();
}
