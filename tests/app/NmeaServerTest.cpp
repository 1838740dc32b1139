// The NMEA server for the boat's other devices, with the program relaying a simulated voyage
// through it: clients that read receive every sentence the program received, in order; a client
// that stops reading is dropped and holds nobody up; a ninth client is turned away; what a client
// sends is never read.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtNmeaServer.h"
#include "sim/VoyageSimulator.h"
#include "support/EventLoop.h"

#include <QTcpSocket>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>

using namespace kv;

TEST(NmeaServer, FastClientsGetEverySentenceAStalledOneIsDropped)
{
    kvtest::EnsureCoreApp();
    QtNmeaServer server;
    ASSERT_TRUE(server.listen("127.0.0.1", 0)) << server.error();
    std::vector<std::string> status;
    server.onStatus = [&status](const std::string& text) { status.push_back(text); };

    // Six clients that read, one that never does (with a small receive window, so that it fills
    // soon), one that only talks.
    std::vector<std::unique_ptr<QTcpSocket>> fast;
    std::vector<std::string> got(6);
    for (int i = 0; i < 6; ++i) {
        fast.push_back(std::make_unique<QTcpSocket>());
        QTcpSocket* s = fast.back().get();
        QObject::connect(s, &QTcpSocket::readyRead,
            [s, &got, i] { got[static_cast<std::size_t>(i)] += s->readAll().toStdString(); });
        s->connectToHost(QHostAddress::LocalHost, server.port());
        ASSERT_TRUE(s->waitForConnected(2000));
    }
    QTcpSocket stalled;
    stalled.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 2048);
    stalled.setReadBufferSize(1);
    stalled.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(stalled.waitForConnected(2000));
    QTcpSocket talker;
    talker.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(talker.waitForConnected(2000));
    ASSERT_TRUE(kvtest::WaitFor([&] { return server.clients() == 8; }));
    QTcpSocket ninth;
    ninth.connectToHost(QHostAddress::LocalHost, server.port());
    ASSERT_TRUE(kvtest::WaitFor([&] { return server.refusedClients() == 1; }));
    EXPECT_TRUE(kvtest::WaitFor([&] { return ninth.state() == QAbstractSocket::UnconnectedState; }));

    // The program, its interface open on the recording port, relaying what it receives.
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    MainController program(state, fakes.platform, window);
    program.setSentenceRelay(&server);
    program.nmea().OpenAtStartup();

    VoyageOptions options;
    options.start = { 50.7, -1.3 };
    options.courseDeg = 80;
    options.speedKnots = 7;
    options.targets = 6;
    VoyageSimulator sim(options);
    std::string sent;
    for (int second = 0; second < 1500; ++second) {
        std::string chars;
        for (const std::string& line : sim.step()) {
            chars += line + "\r\n";
        }
        sent += chars;
        fakes.serial.receive(chars);
        program.fix().FixTimerTimer();
        if (second % 20 == 0) {
            talker.write("$GPGGA,this,is,never,read\r\n");
            kvtest::WaitFor([] { return false; }, 2); // a turn of the event loop now and then
        }
    }
    ASSERT_TRUE(kvtest::WaitFor(
        [&] {
            for (const std::string& g : got) {
                if (g.size() < sent.size()) {
                    return false;
                }
            }
            return true;
        },
        20000));
    for (const std::string& g : got) {
        EXPECT_TRUE(g == sent) << "a reading client missed or garbled sentences: " << g.size() << " of " << sent.size()
                               << " bytes";
    }
    EXPECT_EQ(server.droppedClients(), 1U) << "the stalled client";
    EXPECT_EQ(server.clients(), 7);
    bool toldDropped = false;
    for (const std::string& s : status) {
        toldDropped = toldDropped || s.find("dropped: it does not take its sentences") != std::string::npos;
    }
    EXPECT_TRUE(toldDropped);
}

TEST(NmeaServer, ListensOnlyWhereItIsTold)
{
    kvtest::EnsureCoreApp();
    QtNmeaServer server;
    EXPECT_FALSE(server.listen("boat.local", 10110));
    EXPECT_EQ(server.error(), "NMEA server: \"boat.local\" is not an IP address");
    ASSERT_TRUE(server.listen("127.0.0.1", 0));
    QtNmeaServer second;
    EXPECT_FALSE(second.listen("127.0.0.1", server.port())) << "the port is taken";
    EXPECT_NE(second.error().find("cannot listen on 127.0.0.1:"), std::string::npos) << second.error();
    server.relay("$GPGGA,nobody,listens\r\n"); // no clients: nothing happens
    EXPECT_EQ(server.bytesRelayed(), 0U);
}
