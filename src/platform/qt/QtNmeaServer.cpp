#include "platform/qt/QtNmeaServer.h"

#include <QTcpSocket>

#include <algorithm>

namespace kv {

QtNmeaServer::QtNmeaServer(qint64 clientBacklogBytes)
    : backlogLimit_(clientBacklogBytes)
{
    server_.setMaxPendingConnections(kMaxClients);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { accept(); });
}

QtNmeaServer::~QtNmeaServer()
{
    close();
}

bool QtNmeaServer::listen(const std::string& address, std::uint16_t port)
{
    close();
    error_.clear();
    const QHostAddress host(QString::fromStdString(address));
    if (host.isNull()) {
        error_ = "NMEA server: \"" + address + "\" is not an IP address";
        return false;
    }
    if (!server_.listen(host, port)) {
        error_ = "NMEA server: cannot listen on " + address + ":" + std::to_string(port) + " ("
            + server_.errorString().toStdString() + ")";
        return false;
    }
    return true;
}

void QtNmeaServer::close()
{
    server_.close();
    for (QTcpSocket* c : clients_) {
        QObject::disconnect(c, nullptr, nullptr, nullptr);
        c->abort();
        c->deleteLater();
    }
    clients_.clear();
}

void QtNmeaServer::accept()
{
    while (QTcpSocket* c = server_.nextPendingConnection()) {
        const std::string who = c->peerAddress().toString().toStdString() + ":" + std::to_string(c->peerPort());
        if (static_cast<int>(clients_.size()) >= kMaxClients) {
            ++refused_;
            c->abort();
            c->deleteLater();
            report("NMEA server: " + who + " refused, " + std::to_string(kMaxClients) + " clients already");
            continue;
        }
        // Nothing a client sends is read: a tiny read buffer makes the system hold it back
        // (and so the client) instead of the program gathering it.
        c->setReadBufferSize(1);
        // A small system buffer as well, so that what waits for a stalled client is bounded by
        // the limit here rather than by however much the system would take.
        c->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, kSystemSendBuffer);
        QObject::connect(c, &QTcpSocket::disconnected, [this, c] { drop(c, {}); });
        QObject::connect(c, &QTcpSocket::errorOccurred, [this, c](QAbstractSocket::SocketError) { drop(c, {}); });
        clients_.push_back(c);
        report("NMEA server: " + who + " connected (" + std::to_string(clients_.size()) + " clients)");
    }
}

void QtNmeaServer::drop(QTcpSocket* client, const std::string& why)
{
    const auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end()) {
        return;
    }
    clients_.erase(it);
    QObject::disconnect(client, nullptr, nullptr, nullptr);
    client->abort();
    client->deleteLater();
    if (!why.empty()) {
        ++dropped_;
        report("NMEA server: " + why);
    }
}

void QtNmeaServer::relay(std::string_view lines)
{
    if (lines.empty() || clients_.empty()) {
        return;
    }
    const auto size = static_cast<qint64>(lines.size());
    // A copy of the list: dropping changes it.
    const std::vector<QTcpSocket*> clients = clients_;
    for (QTcpSocket* c : clients) {
        if (c->bytesToWrite() + size > backlogLimit_) {
            drop(c,
                c->peerAddress().toString().toStdString() + ":" + std::to_string(c->peerPort())
                    + " dropped: it does not take its sentences");
            continue;
        }
        c->write(lines.data(), size);
        relayed_ += static_cast<std::uint64_t>(size);
    }
}

void QtNmeaServer::report(const std::string& text)
{
    if (onStatus) {
        onStatus(text);
    }
}

} // namespace kv
