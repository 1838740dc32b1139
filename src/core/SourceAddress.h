#pragma once
// Where the sentences of one COM number come from. The entry "dev/com<n>" of the working folder
// is either a link to a serial device or a one-line text file holding one of:
//
//   tcp://HOST:PORT                     a TCP client; sentences both ways
//   udp://[BIND]:PORT [udp://HOST:PORT] datagrams received on PORT; output, when given, sent to
//                                        HOST:PORT
//   gpsd://HOST[:PORT]                  the raw NMEA that a gpsd daemon relays (port 2947 by
//                                        default); nothing is sent
//   signalk://HOST[:PORT]               the delta stream of a Signal K server (port 3000 by
//   signalks://HOST[:PORT]              default) over a WebSocket, "signalks" with TLS; nothing
//                                        is sent
//
// A host may be a name, an IPv4 address or an IPv6 address in brackets ("[::1]"). A text that
// begins with "/" is a serial device path.

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::uint16_t kGpsdDefaultPort = 2947;
inline constexpr std::uint16_t kSignalKDefaultPort = 3000;

struct SourceAddress {
    enum class Kind { Serial, Tcp, Udp, Gpsd, SignalK };
    Kind kind = Kind::Serial;
    std::string device; // Serial: the device path
    std::string host; // Tcp/Gpsd: the server; Udp: the address to listen on ("" = any)
    std::uint16_t port = 0; // Tcp/Gpsd: the server port; Udp: the port listened on
    std::string outputHost; // Udp: where output goes ("" = no output)
    std::uint16_t outputPort = 0;
    bool tls = false; // SignalK: "signalks://"

    bool sendsOutput() const { return kind == Kind::Serial || kind == Kind::Tcp || !outputHost.empty(); }
    bool operator==(const SourceAddress&) const = default;
};

// The address, or a reason it is not one (error non-empty, address unspecified).
struct SourceParse {
    SourceAddress address;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Parses one address as written in a "dev/com<n>" file (surrounding blanks and a line end are
// ignored) or given on the command line.
SourceParse ParseSourceAddress(std::string_view text);

// The address written back in the form it is parsed from ("tcp://host:10110", "/dev/ttyUSB0").
std::string SourceText(const SourceAddress& address);

// The text with every control character, DEL and byte above 127 written as "\xNN", so that bytes
// from a file or a peer can be shown on a terminal or in a message without acting on it (an
// escape sequence) or cutting it short (a NUL).
std::string VisibleText(std::string_view text);

// "host:port", with brackets around an IPv6 host.
std::string HostPort(const std::string& host, std::uint16_t port);

} // namespace kv
