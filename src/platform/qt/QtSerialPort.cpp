#include "platform/qt/QtSerialPort.h"

#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace kv {

std::string ResolveComPort(unsigned portNumber, const std::string& workingFolder)
{
    if (portNumber == 0) {
        return {};
    }
    std::string folder = workingFolder;
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    const QFileInfo link(QString::fromLocal8Bit(folder + "dev/com" + std::to_string(portNumber)));
    if (link.isSymLink()) {
        return link.symLinkTarget().toLocal8Bit().toStdString();
    }
    if (link.exists()) { // a device node placed there itself
        return link.absoluteFilePath().toLocal8Bit().toStdString();
    }
    std::vector<std::string> ports;
    for (const auto& info : QSerialPortInfo::availablePorts()) {
        ports.push_back(info.systemLocation().toLocal8Bit().toStdString());
    }
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return portNumber <= ports.size() ? ports[portNumber - 1] : std::string();
}

std::string SerialPermissionHint(const std::string& device)
{
    return "Permission denied on " + device +
           ": serial ports belong to the group 'dialout'. Add yourself to it "
           "(sudo adduser $USER dialout), then log out and in again.";
}

QtSerialPort::QtSerialPort(std::string workingFolder, int tickMs) : workingFolder_(std::move(workingFolder))
{
    ticker_.setInterval(tickMs);
    QObject::connect(&port_, &QSerialPort::readyRead, [this] { readAvailable(); });
    // The ticks go on while the interface is open even when the device has gone away, so that
    // the watchdog tells the user that data stopped.
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        if (listener() != nullptr) {
            listener()->onWatchdog();
        }
    });
    // A device that disappears (a USB adapter pulled out, the far end of a pseudo-terminal
    // closed) is let go of at once; reading it again would only repeat the error.
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError && port_.isOpen()) {
            port_.close();
        }
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
    device_ = ResolveComPort(portNumber, workingFolder_);
    if (device_.empty()) {
        return false;
    }
    port_.setPortName(QString::fromLocal8Bit(device_));
    if (!port_.open(QIODevice::ReadWrite)) {
        // Qt says "permission" also for a device locked by another program; only the file's own
        // access rights call for the group.
        if (port_.error() == QSerialPort::PermissionError && ::access(device_.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
            openFailure_ = SerialPermissionHint(device_);
        }
        return false;
    }
    const bool configured = port_.setBaudRate(static_cast<qint32>(baud)) && port_.setDataBits(QSerialPort::Data8) &&
                            port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port_.close();
        return false;
    }
    ticker_.start();
    return true;
}

void QtSerialPort::close()
{
    ticker_.stop();
    if (port_.isOpen()) {
        port_.close();
    }
}

bool QtSerialPort::isOpen() const
{
    return ticker_.isActive();
}

std::size_t QtSerialPort::outputFree() const
{
    if (!port_.isOpen()) {
        return 0;
    }
    const auto pending = static_cast<std::size_t>(std::max<qint64>(port_.bytesToWrite(), 0));
    return pending >= kOutputBufferSize ? 0 : kOutputBufferSize - pending;
}

bool QtSerialPort::write(std::string_view bytes)
{
    if (!port_.isOpen() || bytes.size() > outputFree()) {
        return false;
    }
    return port_.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

void QtSerialPort::readAvailable()
{
    const QByteArray data = port_.readAll();
    if (data.isEmpty() || listener() == nullptr || !port_.isOpen()) {
        return;
    }
    listener()->onCharsAvailable(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
}

} // namespace kv
