#pragma once
// The serial link on Qt SerialPort. Received bytes are delivered as each read returns them; a timer of about 55 ms delivers the
// watchdog ticks while the port is open (also after the device went away, so that the loss of
// data is reported).
//
// Port numbers: COM n is the device that the link "dev/com<n>" in the working folder points to
// when that link exists (for example /dev/ttyUSB0, /dev/ttyACM0 or a pseudo-terminal); otherwise
// the n-th serial port the system lists, in the order of their device paths.

#include "platform/SerialPort.h"

#include <QSerialPort>
#include <QTimer>

#include <string>

namespace kv {

// The device of COM `portNumber`, or "" when there is none.
std::string ResolveComPort(unsigned portNumber, const std::string& workingFolder);

// The advice for a serial device that the user is not allowed to open: on Debian the serial
// devices belong to the group "dialout".
std::string SerialPermissionHint(const std::string& device);

class QtSerialPort final : public SerialPort {
public:
    // Room of the output buffer: a line is written only when it fits whole.
    static constexpr std::size_t kOutputBufferSize = 4096;
    static constexpr int kTickMs = 55;

    explicit QtSerialPort(std::string workingFolder, int tickMs = kTickMs);
    ~QtSerialPort() override;

    bool open(unsigned portNumber, unsigned baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t outputFree() const override;
    bool write(std::string_view bytes) override;
    std::string openFailure() const override { return openFailure_; }

    const std::string& device() const { return device_; }

private:
    void readAvailable();

    std::string workingFolder_;
    std::string device_;
    std::string openFailure_;
    QSerialPort port_;
    QTimer ticker_;
};

} // namespace kv
