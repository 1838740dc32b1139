#include "platform/qt/QtSerialPort.h"

#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QNetworkRequest>
#include <QSerialPortInfo>
#include <QUrl>

#include "core/ExtraSettings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

SourceParse SerialSource(const std::string& device)
{
    SourceParse r;
    r.address.kind = SourceAddress::Kind::Serial;
    r.address.device = device;
    return r;
}

// The first line of a source file.
SourceParse ReadSourceFile(const QString& path, const std::string& name)
{
    QFile file(path);
    SourceParse r;
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = name + ": cannot read: " + file.errorString().toStdString();
        return r;
    }
    const QByteArray line = file.readLine(1024);
    r = ParseSourceAddress(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
    if (!r.ok()) {
        r.error = name + ": " + r.error;
    }
    return r;
}

// The datagrams the system dropped for the socket `fd` because its receive buffer was full (the
// "drops" column of /proc/net/udp), or -1 when that cannot be told.
long long SystemDatagramDrops(int fd)
{
    struct stat st { };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        return -1;
    }
    const std::string inode = std::to_string(st.st_ino);
    for (const char* table : { "/proc/net/udp", "/proc/net/udp6" }) {
        std::ifstream in(table);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::vector<std::string> f;
            for (std::string w; fields >> w;) {
                f.push_back(w);
            }
            if (f.size() >= 13 && f[9] == inode) {
                return std::atoll(f[12].c_str());
            }
        }
    }
    return -1;
}

} // namespace

SourceParse ResolveComSource(unsigned portNumber, const std::string& workingFolder)
{
    SourceParse none;
    if (portNumber == 0) {
        none.error = "no COM port 0";
        return none;
    }
    std::string folder = workingFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    const std::string name = "dev/com" + std::to_string(portNumber);
    const QFileInfo entry(QString::fromLocal8Bit(folder + name));
    if (entry.isSymLink()) {
        const QString target = entry.symLinkTarget();
        if (QFileInfo(target).isFile()) {
            return ReadSourceFile(target, name);
        }
        return SerialSource(target.toLocal8Bit().toStdString());
    }
    if (entry.isFile()) {
        return ReadSourceFile(entry.absoluteFilePath(), name);
    }
    if (entry.exists()) { // a device node placed there itself
        return SerialSource(entry.absoluteFilePath().toLocal8Bit().toStdString());
    }
    std::vector<std::string> ports;
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        ports.push_back(info.systemLocation().toLocal8Bit().toStdString());
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    if (portNumber <= ports.size()) {
        return SerialSource(ports[portNumber - 1]);
    }
    none.error = "no " + name + " and no serial port " + std::to_string(portNumber);
    return none;
}

std::string SerialPermissionHint(const std::string& device)
{
    return "Permission denied on " + device
        + ": serial ports belong to the group 'dialout'. Add yourself to it "
          "(sudo adduser $USER dialout), then log out and in again.";
}

std::string ResolveComPort(unsigned portNumber, const std::string& workingFolder)
{
    const SourceParse r = ResolveComSource(portNumber, workingFolder);
    return r.ok() && r.address.kind == SourceAddress::Kind::Serial ? r.address.device : std::string();
}

QtSerialPort::QtSerialPort(std::string workingFolder, int tickMs, SourceRetry retry, InputLimits limits)
    : workingFolder_(std::move(workingFolder))
    , retrySettings_(retry)
    , limits_(limits)
    , retryMs_(retry.firstMs)
{
    ticker_.setInterval(tickMs);
    retryTimer_.setSingleShot(true);
    pump_.setInterval(0);
    QObject::connect(&pump_, &QTimer::timeout, [this] { pump(); });
    QObject::connect(&retryTimer_, &QTimer::timeout, [this] { this->retry(); });
    QObject::connect(&port_, &QSerialPort::readyRead, [this] {
        if (port_.isOpen()) {
            receive(port_.readAll());
        }
    });
    // Qt would otherwise take in whatever the peer sends, however fast, before anything is used.
    tcp_.setReadBufferSize(static_cast<qint64>(limits_.backlogBytes));
    QObject::connect(&tcp_, &QTcpSocket::readyRead, [this] {
        connectionDelivered();
        receive(tcp_.readAll());
    });
    QObject::connect(&udp_, &QUdpSocket::readyRead, [this] { readDatagrams(); });
    // The ticks go on while the interface is open even when the link has gone away, so that
    // the watchdog tells the user that data stopped.
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        if (listener() != nullptr) {
            listener()->onWatchdog();
        }
        countSystemDrops();
    });
    // A device that disappears is let go of at once, reading it again would only repeat the
    // error as fast as the event loop turns, and looked for again until it is back. A USB adapter
    // pulled out reports a resource error; the far end of a pseudo-terminal closed, a read error.
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
        if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port_.isOpen()) {
            port_.close();
            linkLost(source_.device + " is gone");
        }
    });
    QObject::connect(&tcp_, &QTcpSocket::connected, [this] {
        everConnected_ = true;
        // The wait between attempts is not reset here: only a connection that goes on
        // delivering data earns that (connectionDelivered).
        connectedFor_.start();
        connectionData_ = false;
        if (source_.kind == SourceAddress::Kind::Gpsd) {
            gpsd_.reset();
            tcp_.write(kGpsdWatchCommand.data(), static_cast<qint64>(kGpsdWatchCommand.size()));
        }
        report("Connected to " + SourceText(source_));
    });
    QObject::connect(&ws_, &QWebSocket::connected, [this] {
        everConnected_ = true;
        connectedFor_.start();
        connectionData_ = false;
        signalK_.reset();
        // One subscription a message: the server takes each as a whole.
        for (const QString& line : QString::fromStdString(SignalKStream::subscribeMessage()).split(QLatin1Char('\n'))) {
            ws_.sendTextMessage(line);
        }
        report("Connected to " + SourceText(source_));
    });
    QObject::connect(
        &ws_, &QWebSocket::textMessageReceived, [this](const QString& message) { signalKMessage(message); });
    QObject::connect(&ws_, &QWebSocket::disconnected, [this] {
        const std::string why
            = ws_.closeReason().isEmpty() ? std::string() : " (" + ws_.closeReason().toStdString() + ")";
        linkLost(everConnected_
                ? "Connection to " + SourceText(source_) + " lost" + why
                : "Cannot connect to " + SourceText(source_) + " (" + ws_.errorString().toStdString() + ")");
    });
    // Qt 6.4 names the signal "error" (later versions also "errorOccurred").
    QObject::connect(
        &ws_, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), [this](QAbstractSocket::SocketError) {
            const std::string why = ws_.errorString().toStdString();
            linkLost(everConnected_ ? "Connection to " + SourceText(source_) + " lost (" + why + ")"
                                    : "Cannot connect to " + SourceText(source_) + " (" + why + ")");
        });
    QObject::connect(
        &tcp_, &QTcpSocket::disconnected, [this] { linkLost("Connection to " + SourceText(source_) + " lost"); });
    QObject::connect(&tcp_, &QTcpSocket::errorOccurred, [this](QAbstractSocket::SocketError) {
        const std::string why = tcp_.errorString().toStdString();
        linkLost(everConnected_ ? "Connection to " + SourceText(source_) + " lost (" + why + ")"
                                : "Cannot connect to " + SourceText(source_) + " (" + why + ")");
    });
}

QtSerialPort::~QtSerialPort()
{
    close();
}

bool QtSerialPort::open(unsigned portNumber, unsigned baud)
{
    close();
    openFailure_.clear();
    const SourceParse resolved = ResolveComSource(portNumber, workingFolder_);
    if (!resolved.ok()) {
        // An entry the user wrote that says nothing usable: the message tells what is wrong with
        // it. A number with no entry and no serial port needs no more than the usual message.
        const QFileInfo entry(QString::fromLocal8Bit(workingFolder_ + "/dev/com" + std::to_string(portNumber)));
        if (entry.exists() || entry.isSymLink()) {
            openFailure_ = resolved.error;
        }
        return false;
    }
    portNumber_ = portNumber;
    return openSource(resolved.address, baud);
}

bool QtSerialPort::openSource(const SourceAddress& source, unsigned baud)
{
    const unsigned number = portNumber_;
    close();
    portNumber_ = number;
    source_ = source;
    baud_ = baud;
    backlog_.clear();
    systemDrops_ = -1;
    datagrams_ = 0;
    datagramSentences_ = 0;
    dropsChecked_.invalidate();
    retryMs_ = retrySettings_.firstMs;
    everConnected_ = false;
    switch (source_.kind) {
    case SourceAddress::Kind::Serial:
        if (!openSerial()) {
            return false;
        }
        break;
    case SourceAddress::Kind::Udp: {
        const QHostAddress bind = source_.host.empty() ? QHostAddress(QHostAddress::Any)
                                                       : QHostAddress(QString::fromStdString(source_.host));
        if (bind.isNull() || !udp_.bind(bind, source_.port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
            return false;
        }
        udpOutput_.clear();
        if (!source_.outputHost.empty()) {
            udpOutput_ = QHostAddress(QString::fromStdString(source_.outputHost));
            if (udpOutput_.isNull()) {
                const QHostInfo info = QHostInfo::fromName(QString::fromStdString(source_.outputHost));
                if (!info.addresses().isEmpty()) {
                    udpOutput_ = info.addresses().front();
                }
            }
            if (udpOutput_.isNull()) {
                report("Output host " + source_.outputHost + " not found: nothing is sent");
            }
        }
        break;
    }
    case SourceAddress::Kind::Tcp:
    case SourceAddress::Kind::Gpsd:
        report("Connecting to " + SourceText(source_));
        connectSocket();
        break;
    case SourceAddress::Kind::SignalK:
        token_ = workingFolder_.empty()
            ? std::string()
            : ReadExtraSettings(workingFolder_ + "/" + kExtraSettingsFile).settings.SignalKToken;
        report("Connecting to " + SourceText(source_));
        connectWebSocket();
        break;
    }
    open_ = true;
    ticker_.start();
    return true;
}

bool QtSerialPort::openSerial()
{
    port_.setPortName(QString::fromLocal8Bit(source_.device));
    if (!port_.open(QIODevice::ReadWrite)) {
        // Qt says "permission" also for a device locked by another program; only the file's own
        // access rights call for the group.
        if (port_.error() == QSerialPort::PermissionError && ::access(source_.device.c_str(), R_OK | W_OK) != 0
            && errno == EACCES) {
            openFailure_ = SerialPermissionHint(source_.device);
        }
        return false;
    }
    const bool configured = port_.setBaudRate(static_cast<qint32>(baud_)) && port_.setDataBits(QSerialPort::Data8)
        && port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop)
        && port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port_.close();
        return false;
    }
    return true;
}

void QtSerialPort::connectSocket()
{
    tcp_.abort();
    tcp_.connectToHost(QString::fromStdString(source_.host), source_.port);
}

void QtSerialPort::connectWebSocket()
{
    ws_.abort();
    QUrl url;
    url.setScheme(source_.tls ? QStringLiteral("wss") : QStringLiteral("ws"));
    url.setHost(QString::fromStdString(source_.host));
    url.setPort(source_.port);
    const QString pathAndQuery
        = QString::fromUtf8(kSignalKStreamPath.data(), static_cast<qsizetype>(kSignalKStreamPath.size()));
    const auto q = pathAndQuery.indexOf(QLatin1Char('?'));
    url.setPath(pathAndQuery.left(q));
    url.setQuery(pathAndQuery.mid(q + 1));
    QNetworkRequest request(url);
    if (!token_.empty()) {
        request.setRawHeader("Authorization", QByteArray("Bearer ") + QByteArray::fromStdString(token_));
    }
    ws_.open(request);
}

void QtSerialPort::signalKMessage(const QString& message)
{
    if (!open_) {
        return;
    }
    connectionDelivered();
    const QByteArray utf8 = message.toUtf8();
    const std::string sentences
        = signalK_.take(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    if (!sentences.empty()) {
        receive(QByteArray(sentences.data(), static_cast<qsizetype>(sentences.size())));
    }
}

void QtSerialPort::linkLost(const std::string& what)
{
    // Several signals report the same loss (an error, then the disconnection): the first one
    // schedules the next attempt.
    if (!open_ || retryTimer_.isActive()) {
        return;
    }
    if (source_.kind == SourceAddress::Kind::Serial) {
        retryTimer_.start(retrySettings_.serialMs);
        report(what + "; waiting for it to come back");
        return;
    }
    if (source_.kind != SourceAddress::Kind::Tcp && source_.kind != SourceAddress::Kind::Gpsd
        && source_.kind != SourceAddress::Kind::SignalK) {
        return;
    }
    const int wait = retryMs_;
    retryMs_ = std::min(retryMs_ * 2, retrySettings_.lastMs);
    retryTimer_.start(wait);
    everConnected_ = false;
    if (source_.kind == SourceAddress::Kind::SignalK) {
        ws_.abort();
    } else {
        tcp_.abort();
    }
    report(what + "; reconnecting in " + std::to_string((wait + 999) / 1000) + " s");
}

void QtSerialPort::retry()
{
    if (!open_) {
        return;
    }
    if (source_.kind == SourceAddress::Kind::Serial) {
        // The link of the COM number is followed again: the device may come back under another name.
        if (portNumber_ > 0) {
            const SourceParse resolved = ResolveComSource(portNumber_, workingFolder_);
            if (resolved.ok() && resolved.address.kind == SourceAddress::Kind::Serial) {
                source_.device = resolved.address.device;
            }
        }
        if (openSerial()) {
            report(source_.device + " is back");
        } else {
            retryTimer_.start(retrySettings_.serialMs);
        }
        return;
    }
    if (source_.kind == SourceAddress::Kind::SignalK) {
        connectWebSocket();
        return;
    }
    connectSocket();
}

void QtSerialPort::close()
{
    open_ = false;
    ticker_.stop();
    retryTimer_.stop();
    pump_.stop();
    backlog_.clear();
    if (port_.isOpen()) {
        port_.close();
    }
    tcp_.abort();
    ws_.abort();
    udp_.close();
    portNumber_ = 0;
}

bool QtSerialPort::isOpen() const
{
    return open_;
}

bool QtSerialPort::linkUp() const
{
    if (!open_) {
        return false;
    }
    switch (source_.kind) {
    case SourceAddress::Kind::Serial:
        return port_.isOpen();
    case SourceAddress::Kind::Tcp:
    case SourceAddress::Kind::Gpsd:
        return tcp_.state() == QAbstractSocket::ConnectedState;
    case SourceAddress::Kind::Udp:
        return udp_.state() == QAbstractSocket::BoundState;
    case SourceAddress::Kind::SignalK:
        return ws_.state() == QAbstractSocket::ConnectedState;
    }
    return false;
}

std::size_t QtSerialPort::outputFree() const
{
    if (!linkUp()) {
        return 0;
    }
    qint64 pending = 0;
    switch (source_.kind) {
    case SourceAddress::Kind::Serial:
        pending = port_.bytesToWrite();
        break;
    case SourceAddress::Kind::Tcp:
        pending = tcp_.bytesToWrite();
        break;
    case SourceAddress::Kind::Udp:
        // Each write is one datagram, sent at once.
        return udpOutput_.isNull() ? 0 : kOutputBufferSize;
    case SourceAddress::Kind::Gpsd:
    case SourceAddress::Kind::SignalK:
        return 0; // the daemon and the server take no sentences
    }
    const auto waiting = static_cast<std::size_t>(std::max<qint64>(pending, 0));
    return waiting >= kOutputBufferSize ? 0 : kOutputBufferSize - waiting;
}

bool QtSerialPort::write(std::string_view bytes)
{
    if (bytes.size() > outputFree()) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    switch (source_.kind) {
    case SourceAddress::Kind::Serial:
        return port_.write(bytes.data(), size) == size;
    case SourceAddress::Kind::Tcp:
        return tcp_.write(bytes.data(), size) == size;
    case SourceAddress::Kind::Udp:
        return udp_.writeDatagram(bytes.data(), size, udpOutput_, source_.outputPort) == size;
    case SourceAddress::Kind::Gpsd:
    case SourceAddress::Kind::SignalK:
        return false;
    }
    return false;
}

void QtSerialPort::readDatagrams()
{
    // A sender that never pauses must not keep the program here: a bounded number of datagrams a
    // turn, the rest left to the next turn (and to the system, which drops what its buffer
    // cannot hold).
    QByteArray batch;
    for (int n = 0; n < limits_.datagramsPerTurn && udp_.hasPendingDatagrams(); ++n) {
        QByteArray data = udp_.receiveDatagram().data();
        // Senders that put one sentence in each datagram often leave its line end off; the
        // datagram's end is the sentence's end.
        if (!data.isEmpty() && !data.endsWith('\r') && !data.endsWith('\n')) {
            data.append("\r\n");
        }
        ++datagrams_;
        datagramSentences_ += static_cast<std::uint64_t>(data.count('\r'));
        batch.append(data);
    }
    receive(batch);
    if (open_ && udp_.hasPendingDatagrams() && !pump_.isActive()) {
        pump_.start();
    }
}

void QtSerialPort::countSystemDrops()
{
    // Datagrams that came faster than they were read never reach the program: the system drops
    // them and counts them. Its count is looked at once a second.
    if (!open_ || source_.kind != SourceAddress::Kind::Udp || listener() == nullptr
        || (dropsChecked_.isValid() && dropsChecked_.elapsed() < 1000)) {
        return;
    }
    dropsChecked_.start();
    const long long drops = SystemDatagramDrops(static_cast<int>(udp_.socketDescriptor()));
    if (drops < 0) {
        return;
    }
    if (systemDrops_ >= 0 && drops > systemDrops_) {
        // Counted at the sentences the datagrams received so far carried on average.
        const double perDatagram
            = datagrams_ > 0 ? static_cast<double>(datagramSentences_) / static_cast<double>(datagrams_) : 1.0;
        listener()->onInputDropped(static_cast<std::size_t>(
            std::llround(static_cast<double>(drops - systemDrops_) * std::max(perDatagram, 1.0))));
    }
    systemDrops_ = drops;
}

void QtSerialPort::connectionDelivered()
{
    if (connectionData_ && connectedFor_.isValid() && connectedFor_.elapsed() >= retrySettings_.steadyMs) {
        retryMs_ = retrySettings_.firstMs;
    }
    connectionData_ = true;
}

void QtSerialPort::receive(const QByteArray& data)
{
    if (data.isEmpty() || listener() == nullptr || !open_) {
        return;
    }
    if (source_.kind == SourceAddress::Kind::Gpsd) {
        backlog_ += gpsd_.filter(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    } else {
        backlog_.append(data.constData(), static_cast<std::size_t>(data.size()));
    }
    if (backlog_.size() > limits_.backlogBytes) {
        // The oldest go: what is used should be as fresh as the source. The cut is made after a
        // line end, so that no sentence is handed over with its head missing.
        const std::size_t excess = backlog_.size() - limits_.backlogBytes;
        const std::size_t end = backlog_.find_first_of("\r\n", excess - 1);
        std::size_t cut = end == std::string::npos ? backlog_.size() : end + 1;
        if (cut < backlog_.size() && backlog_[cut - 1] == '\r' && backlog_[cut] == '\n') {
            ++cut;
        }
        const auto sentences = static_cast<std::size_t>(
            std::count(backlog_.begin(), backlog_.begin() + static_cast<std::ptrdiff_t>(cut), '\r'));
        backlog_.erase(0, cut);
        listener()->onInputDropped(sentences);
    }
    if (!backlog_.empty() && !pump_.isActive()) {
        pump_.start();
    }
}

void QtSerialPort::pump()
{
    if (!open_ || listener() == nullptr) {
        pump_.stop();
        return;
    }
    if (source_.kind == SourceAddress::Kind::Udp && udp_.hasPendingDatagrams()) {
        readDatagrams();
    }
    QElapsedTimer turn;
    turn.start();
    std::size_t handed = 0;
    while (open_ && listener() != nullptr && !backlog_.empty() && handed < limits_.turnBytes
        && turn.elapsed() < limits_.turnMs) {
        std::size_t n = std::min(limits_.sliceBytes, backlog_.size());
        if (n < backlog_.size()) {
            const auto end = std::string_view(backlog_).substr(0, n).find_last_of("\r\n");
            if (end != std::string_view::npos) {
                n = end + 1;
            }
        }
        // The listener may close the port (and so empty the backlog): it gets its own copy.
        const std::string slice = backlog_.substr(0, n);
        backlog_.erase(0, n);
        handed += n;
        listener()->onCharsAvailable(slice);
    }
    if (!open_ || (backlog_.empty() && !(source_.kind == SourceAddress::Kind::Udp && udp_.hasPendingDatagrams()))) {
        pump_.stop();
    }
}

void QtSerialPort::report(const std::string& text)
{
    if (listener() != nullptr) {
        listener()->onSourceStatus(text);
    }
}

} // namespace kv
