// The Signal K stream's conversion, the program's handling of one second of received traffic with
// the NMEA server off and on (eight clients reading), and the server's relay throughput.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "core/SignalKStream.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtNmeaServer.h"
#include "sim/VoyageSimulator.h"

#include <QCoreApplication>
#include <QTcpSocket>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

void BM_SignalKOwnDelta(benchmark::State& state)
{
    kv::SignalKStream sk;
    sk.take(R"({"self":"vessels.urn:mrn:imo:mmsi:235000001"})");
    const std::string delta
        = R"({"context":"vessels.urn:mrn:imo:mmsi:235000001","updates":[{"source":{"label":"gps"},"timestamp":"2026-06-01T10:20:30.450Z","values":[)"
          R"({"path":"navigation.position","value":{"latitude":50.7075,"longitude":-1.2965}},)"
          R"({"path":"navigation.speedOverGround","value":5.14},{"path":"navigation.courseOverGroundTrue","value":1.57}]}]})";
    for (auto _ : state) {
        benchmark::DoNotOptimize(sk.take(delta));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SignalKOwnDelta);

void BM_SignalKVesselDelta(benchmark::State& state)
{
    kv::SignalKStream sk;
    const std::string delta
        = R"({"context":"vessels.urn:mrn:imo:mmsi:244123456","updates":[{"timestamp":"2026-06-01T10:20:30.450Z","values":[)"
          R"({"path":"navigation.position","value":{"latitude":50.75,"longitude":-1.1}},)"
          R"({"path":"navigation.speedOverGround","value":6.17},{"path":"navigation.courseOverGroundTrue","value":0.78},)"
          R"({"path":"navigation.headingTrue","value":0.80}]}]})";
    for (auto _ : state) {
        benchmark::DoNotOptimize(sk.take(delta));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SignalKVesselDelta);

struct Readers {
    kv::QtNmeaServer server;
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    std::uint64_t received = 0;
    explicit Readers(int count)
    {
        server.listen("127.0.0.1", 0);
        for (int i = 0; i < count; ++i) {
            clients.push_back(std::make_unique<QTcpSocket>());
            QTcpSocket* c = clients.back().get();
            QObject::connect(
                c, &QTcpSocket::readyRead, [this, c] { received += static_cast<std::uint64_t>(c->readAll().size()); });
            c->connectToHost(QHostAddress::LocalHost, server.port());
            c->waitForConnected(2000);
        }
        while (server.clients() < count) {
            QCoreApplication::processEvents();
        }
    }
};

// One second of a voyage with six AIS targets as received (sentence framing, AIS decoding,
// instruments, relay when on) and the fix timer's tick; range(0) = 1 with the server relaying to
// eight reading clients. Each iteration also turns the event loop once, server or not.
void BM_ReceivedSecond(benchmark::State& state)
{
    kv::VoyageOptions options;
    options.start = { 50.7, -1.3 };
    options.courseDeg = 80;
    options.targets = 6;
    kv::VoyageSimulator sim(options);
    std::vector<std::string> seconds;
    for (int i = 0; i < 120; ++i) {
        std::string chars;
        for (const std::string& line : sim.step()) {
            chars += line + "\r\n";
        }
        seconds.push_back(chars);
    }
    kv::ProgramState s;
    kv::FakePlatform fakes;
    kv::MainWindowHooks window;
    kv::MainController program(s, fakes.platform, window);
    std::unique_ptr<Readers> readers;
    if (state.range(0) == 1) {
        readers = std::make_unique<Readers>(8);
        program.setSentenceRelay(&readers->server);
    }
    program.nmea().OpenAtStartup();
    std::size_t next = 0;
    for (auto _ : state) {
        fakes.serial.receive(seconds[next]);
        program.fix().FixTimerTimer();
        QCoreApplication::processEvents();
        next = (next + 1) % seconds.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReceivedSecond)->Arg(0)->Arg(1);

// Relay throughput: 4 KiB of sentences a call to eight reading clients, the event loop turned
// after each call so that the clients keep up.
void BM_RelayThroughput(benchmark::State& state)
{
    Readers readers(8);
    std::string chunk;
    while (chunk.size() < 4096) {
        chunk += "$GPRMC,102030.45,A,5042.4500,N,00117.7900,W,10.00,90.0,010626,,,A*5C\r\n";
    }
    for (auto _ : state) {
        readers.server.relay(chunk);
        QCoreApplication::processEvents();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * chunk.size() * 8));
    state.counters["dropped"] = static_cast<double>(readers.server.droppedClients());
}
BENCHMARK(BM_RelayThroughput);

} // namespace
