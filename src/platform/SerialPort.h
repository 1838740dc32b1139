#pragma once
// The NMEA link of a COM number: open by number at 4800 or 38400 baud, receive characters, a
// no-data watchdog, free transmit space, write. Behind it may be a serial device or a network
// source (platform/qt/QtSerialPort.h); the program sees no difference. Callbacks arrive on the
// user-interface thread, one after another.

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

class SerialListener {
public:
    virtual ~SerialListener() = default;
    // Bytes received, as they came (any number, possibly containing CR or LF). Cutting them into
    // sentences is the listener's business (nmea/SentenceFramer), the same for every source.
    virtual void onCharsAvailable(std::string_view chars) = 0;
    // One watchdog tick (about 55 ms, 18.2 a second) passed without data re-arming it.
    virtual void onWatchdog() = 0;
    // The link itself changed: a network connection made, lost or being retried, a device gone
    // or back. A short text for the status line.
    virtual void onSourceStatus(std::string_view /*text*/) { }
    // Received bytes were thrown away because they came faster than they could be used, ending
    // `sentences` sentences. The text received before them was cut off: a sentence begun in it
    // cannot be completed.
    virtual void onInputDropped(std::size_t /*sentences*/) { }
};

class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual bool open(unsigned portNumber, unsigned baud) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::size_t outputFree() const = 0;
    virtual bool write(std::string_view bytes) = 0;
    // What the user can do about the last failed open() when the port knows more than that it
    // failed (a device the user may not open), or "" when it does not.
    virtual std::string openFailure() const { return {}; }
    void setListener(SerialListener* listener) { listener_ = listener; }

protected:
    SerialListener* listener() const { return listener_; }

private:
    SerialListener* listener_ = nullptr;
};

} // namespace kv
