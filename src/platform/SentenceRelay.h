#pragma once
// Where the program passes on NMEA sentences for the boat's other devices: every sentence it
// receives and the output sentences it composes, each ending in CR LF. The relay must return at
// once whatever its receivers do (a receiver that cannot keep up is the relay's problem, never the
// fix cycle's). The TCP server of platform/qt/QtNmeaServer.h is one; none is needed.

#include <string_view>

namespace kv {

class SentenceRelay {
public:
    virtual ~SentenceRelay() = default;
    virtual void relay(std::string_view lines) = 0;
};

} // namespace kv
