#pragma once
// A TCP server that hands NMEA 0183 sentences to the boat's other devices (phone and tablet apps,
// another plotter): every client gets every sentence relayed from the time it connects. It reads
// nothing from its clients. Up to kMaxClients at once; a further one is closed at once. A client
// that does not take its sentences (a stalled app, a phone gone out of range) holds at most
// kClientBacklogBytes waiting for it; beyond that it is dropped rather than let the program wait or
// grow: relay() only appends to the sockets' buffers and never blocks.

#include "platform/SentenceRelay.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTcpSocket;

namespace kv {

class QtNmeaServer final : public SentenceRelay {
public:
    static constexpr int kMaxClients = 8;
    static constexpr qint64 kClientBacklogBytes = qint64 { 64 } * 1024;
    static constexpr int kSystemSendBuffer = 32 * 1024;

    explicit QtNmeaServer(qint64 clientBacklogBytes = kClientBacklogBytes);
    ~QtNmeaServer() override;

    // Listens on `address` ("127.0.0.1", "0.0.0.0", "::", a host's address) and `port` (0: any
    // free port, see port()). False with a reason in error() when it cannot.
    bool listen(const std::string& address, std::uint16_t port);
    void close();
    bool listening() const { return server_.isListening(); }
    std::uint16_t port() const { return server_.serverPort(); }
    const std::string& error() const { return error_; }

    void relay(std::string_view lines) override;

    int clients() const { return static_cast<int>(clients_.size()); }
    std::uint64_t droppedClients() const { return dropped_; }
    std::uint64_t refusedClients() const { return refused_; }
    std::uint64_t bytesRelayed() const { return relayed_; }
    // Connections, drops and refusals, for the status line.
    std::function<void(const std::string&)> onStatus;

private:
    void accept();
    void drop(QTcpSocket* client, const std::string& why);
    void report(const std::string& text);

    qint64 backlogLimit_;
    QTcpServer server_;
    std::vector<QTcpSocket*> clients_;
    std::string error_;
    std::uint64_t dropped_ = 0, refused_ = 0, relayed_ = 0;
};

} // namespace kv
