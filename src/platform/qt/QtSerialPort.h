#pragma once
// The port of a COM number, on Qt SerialPort and Qt Network: one implementation of the serial
// seam for every kind of source, so that reception, the watchdog and output behave the same
// whatever the sentences come through. Received bytes are handed over on the next turn of the
// event loop, in slices (below); a timer of about 55 ms delivers the watchdog ticks while the
// port is open (also while the link is down, so that the loss of data is reported).
//
// Port numbers: COM n is what the entry "dev/com<n>" in the working folder names when it exists:
// a link to a device (for example /dev/ttyUSB0, /dev/ttyACM0 or a pseudo-terminal), a device node,
// or a one-line text file holding a source address (core/SourceAddress.h). Otherwise COM n is
// the n-th serial port the system lists, in the order of their device paths.
//
// Links that fail while the port is open are restored without the user closing it: a serial
// device that disappears is looked for again every second (through "dev/com<n>" again, so a link
// re-pointed meanwhile is followed); a TCP or gpsd connection that drops or cannot be made is
// tried again after 1 s, the wait doubling up to 30 s (a Signal K server's WebSocket likewise). It starts again at 1 s
// only once a connection has delivered data for some seconds: a server that accepts and closes at once, or sends a
// burst and drops, is not called again every second for ever.
//
// A source may send more than the program can use (a flood on a network anyone on board can
// reach). Received bytes wait in a backlog of bounded size and reach the listener in slices of
// bounded bytes and time, one round per turn of the event loop, so that the fix timer, the
// watchdog, redrawing and quitting always get their turn; datagrams are taken in bounded numbers
// per turn. What does not fit in the backlog is dropped, oldest first and in whole lines, and
// reported to the listener with the number of sentences lost; so are the datagrams the system
// itself dropped because they came faster than they were read.

#include "core/GpsdStream.h"
#include "core/SignalKStream.h"
#include "core/SourceAddress.h"
#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <QWebSocket>

#include <cstdint>
#include <string>

namespace kv {

// The source of COM `portNumber`, or why there is none.
SourceParse ResolveComSource(unsigned portNumber, const std::string& workingFolder);
// The device of COM `portNumber`, or "" when there is none or it is not a serial device.
std::string ResolveComPort(unsigned portNumber, const std::string& workingFolder);

// The advice for a serial device that the user is not allowed to open: on Debian the serial
// devices belong to the group "dialout".
std::string SerialPermissionHint(const std::string& device);

// Waits between attempts to restore a link (ms).
struct SourceRetry {
    int serialMs = 1000; // looking for a vanished device again
    int firstMs = 1000; // first wait before reconnecting
    int lastMs = 30000; // the longest wait
    int steadyMs = 5000; // data over this long make a connection good: the wait starts over
};

// How much received input is taken per turn of the event loop, and how much may wait.
struct InputLimits {
    std::size_t sliceBytes = 2048; // handed to the listener at once, cut at a line end
    int turnMs = 20; // slices handed over in one turn, at most for this long
    std::size_t turnBytes = std::size_t { 256 } * 1024; // and at most so many bytes
    int datagramsPerTurn = 256; // datagrams read in one turn
    std::size_t backlogBytes = std::size_t { 256 } * 1024; // received and not yet handed over
};

class QtSerialPort final : public SerialPort {
public:
    // Room of the output buffer: a line is written only when it fits whole.
    static constexpr std::size_t kOutputBufferSize = 4096;
    static constexpr int kTickMs = 55;
    explicit QtSerialPort(
        std::string workingFolder, int tickMs = kTickMs, SourceRetry retry = {}, InputLimits limits = {});
    ~QtSerialPort() override;

    bool open(unsigned portNumber, unsigned baud) override;
    // Opens a source given directly (the number only names it in reports).
    bool openSource(const SourceAddress& source, unsigned baud);
    void close() override;
    bool isOpen() const override;
    std::size_t outputFree() const override;
    bool write(std::string_view bytes) override;
    std::string openFailure() const override { return openFailure_; }

    const std::string& device() const { return source_.device; }
    const SourceAddress& source() const { return source_; }
    // The link is up: the device open, the connection made, the datagram port bound.
    bool linkUp() const;
    // The wait before the next reconnection attempt (ms).
    int nextRetryMs() const { return retryMs_; }
    // Received bytes not yet handed to the listener.
    std::size_t backlog() const { return backlog_.size(); }

private:
    bool openSerial();
    void connectSocket();
    void connectWebSocket();
    void signalKMessage(const QString& message);
    void linkLost(const std::string& what);
    void retry();
    // Received bytes into the backlog (gpsd reports already taken out), the oldest dropped
    // beyond its limit.
    void receive(const QByteArray& data);
    // One turn's slices of the backlog to the listener.
    void pump();
    void report(const std::string& text);
    void readDatagrams();
    void connectionDelivered();
    void countSystemDrops();

    std::string workingFolder_;
    SourceRetry retrySettings_;
    InputLimits limits_;
    unsigned portNumber_ = 0;
    unsigned baud_ = 0;
    SourceAddress source_;
    bool open_ = false;
    bool everConnected_ = false;
    int retryMs_ = 0;
    QElapsedTimer connectedFor_; // since the connection was made
    bool connectionData_ = false; // the connection has delivered data
    std::string backlog_;
    long long systemDrops_ = -1; // the system's count of datagrams dropped at the last look
    QElapsedTimer dropsChecked_;
    std::uint64_t datagrams_ = 0; // received since opening
    std::uint64_t datagramSentences_ = 0; // the sentences they carried
    std::string openFailure_;
    QSerialPort port_;
    QTcpSocket tcp_;
    QUdpSocket udp_;
    QHostAddress udpOutput_;
    GpsdNmeaFilter gpsd_;
    QWebSocket ws_;
    SignalKStream signalK_;
    std::string token_; // the Signal K server's access token from kvfree.ini
    QTimer ticker_;
    QTimer retryTimer_;
    QTimer pump_; // runs once a turn while the backlog holds bytes or datagrams wait
};

} // namespace kv
