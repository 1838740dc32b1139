#include "core/SourceAddress.h"

#include <charconv>

namespace kv {

namespace {

std::string_view Trim(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

std::string Quoted(std::string_view s)
{
    return "\"" + VisibleText(s) + "\"";
}

struct HostPortParse {
    std::string host;
    std::uint16_t port = 0;
    bool hasPort = false;
    std::string error;
};

// "HOST:PORT", "HOST", ":PORT", "[v6]:PORT". `whole` is the address for the messages.
HostPortParse SplitHostPort(std::string_view rest, std::string_view whole)
{
    HostPortParse r;
    std::string_view portText;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos) {
            r.error = "unclosed \"[\" in " + Quoted(whole);
            return r;
        }
        r.host = std::string(rest.substr(1, close - 1));
        if (r.host.empty()) {
            r.error = "empty host in brackets in " + Quoted(whole);
            return r;
        }
        rest.remove_prefix(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            r.error = "\":\" expected after \"]\" in " + Quoted(whole);
            return r;
        }
        if (!rest.empty()) {
            r.hasPort = true;
            portText = rest.substr(1);
        }
    } else {
        const auto colon = rest.find(':');
        if (colon != std::string_view::npos && rest.find(':', colon + 1) != std::string_view::npos) {
            r.error = "an IPv6 host goes in brackets, as in \"tcp://[::1]:10110\": " + Quoted(whole);
            return r;
        }
        r.host = std::string(rest.substr(0, colon));
        if (colon != std::string_view::npos) {
            r.hasPort = true;
            portText = rest.substr(colon + 1);
        }
    }
    if (r.host.find_first_of("/?#@ \t") != std::string::npos) {
        r.error = "bad host " + Quoted(r.host) + " in " + Quoted(whole);
        return r;
    }
    if (r.hasPort) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
        if (portText.empty() || ec != std::errc() || end != portText.data() + portText.size() || value == 0
            || value > 65535) {
            r.error = "bad port " + Quoted(portText) + " in " + Quoted(whole) + " (1 to 65535)";
            return r;
        }
        r.port = static_cast<std::uint16_t>(value);
    }
    return r;
}

} // namespace

std::string VisibleText(std::string_view text)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x7f) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string HostPort(const std::string& host, std::uint16_t port)
{
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

SourceParse ParseSourceAddress(std::string_view text)
{
    SourceParse r;
    text = Trim(text);
    if (text.empty()) {
        r.error = "empty source address";
        return r;
    }
    if (text.front() == '/') {
        if (text.find_first_of(" \t") != std::string_view::npos) {
            r.error = "a device path holds no blanks: " + Quoted(text);
            return r;
        }
        r.address.kind = SourceAddress::Kind::Serial;
        r.address.device = std::string(text);
        return r;
    }
    const auto blank = text.find_first_of(" \t");
    const std::string_view first = text.substr(0, blank);
    const std::string_view second = blank == std::string_view::npos ? std::string_view() : Trim(text.substr(blank));
    const auto scheme = first.find("://");
    if (scheme == std::string_view::npos) {
        r.error = "not a source address: " + Quoted(first)
            + " (use tcp://HOST:PORT, udp://:PORT, gpsd://HOST[:PORT], signalk://HOST[:PORT] or a device path)";
        return r;
    }
    const std::string_view kind = first.substr(0, scheme);
    const HostPortParse hp = SplitHostPort(first.substr(scheme + 3), first);
    if (kind != "tcp" && kind != "udp" && kind != "gpsd" && kind != "signalk" && kind != "signalks") {
        r.error = "unknown source type " + Quoted(kind) + " (use tcp://, udp://, gpsd://, signalk:// or signalks://)";
        return r;
    }
    if (!hp.error.empty()) {
        r.error = hp.error;
        return r;
    }
    if (!second.empty() && kind != "udp") {
        r.error = "unexpected " + Quoted(second) + " after " + Quoted(first) + " (only udp:// takes an output address)";
        return r;
    }
    SourceAddress& a = r.address;
    a.host = hp.host;
    a.port = hp.port;
    if (kind == "tcp") {
        a.kind = SourceAddress::Kind::Tcp;
        if (a.host.empty() || !hp.hasPort) {
            r.error = "a TCP source needs a host and a port, as in \"tcp://192.168.1.1:10110\": " + Quoted(first);
        }
    } else if (kind == "gpsd") {
        a.kind = SourceAddress::Kind::Gpsd;
        if (a.host.empty()) {
            r.error = "a gpsd source needs a host, as in \"gpsd://127.0.0.1\": " + Quoted(first);
        }
        if (!hp.hasPort) {
            a.port = kGpsdDefaultPort;
        }
    } else if (kind == "signalk" || kind == "signalks") {
        a.kind = SourceAddress::Kind::SignalK;
        a.tls = kind == "signalks";
        if (a.host.empty()) {
            r.error = "a Signal K source needs a host, as in \"signalk://192.168.1.1:3000\": " + Quoted(first);
        }
        if (!hp.hasPort) {
            a.port = kSignalKDefaultPort;
        }
    } else {
        a.kind = SourceAddress::Kind::Udp;
        if (!hp.hasPort) {
            r.error = "a UDP source needs the port to listen on, as in \"udp://:10110\": " + Quoted(first);
            return r;
        }
        if (!second.empty()) {
            if (second.substr(0, 6) != "udp://" || second.find_first_of(" \t") != std::string_view::npos) {
                r.error = "the output of a UDP source is one address udp://HOST:PORT: " + Quoted(second);
                return r;
            }
            const HostPortParse out = SplitHostPort(second.substr(6), second);
            if (!out.error.empty()) {
                r.error = out.error;
                return r;
            }
            if (out.host.empty() || !out.hasPort) {
                r.error = "the output of a UDP source needs a host and a port, as in \"udp://192.168.1.1:10110\": "
                    + Quoted(second);
                return r;
            }
            a.outputHost = out.host;
            a.outputPort = out.port;
        }
    }
    return r;
}

std::string SourceText(const SourceAddress& a)
{
    switch (a.kind) {
    case SourceAddress::Kind::Serial:
        return a.device;
    case SourceAddress::Kind::Tcp:
        return "tcp://" + HostPort(a.host, a.port);
    case SourceAddress::Kind::Gpsd:
        return "gpsd://" + HostPort(a.host, a.port);
    case SourceAddress::Kind::SignalK:
        return (a.tls ? "signalks://" : "signalk://") + HostPort(a.host, a.port);
    case SourceAddress::Kind::Udp: {
        std::string s = "udp://" + HostPort(a.host, a.port);
        if (!a.outputHost.empty()) {
            s += " udp://" + HostPort(a.outputHost, a.outputPort);
        }
        return s;
    }
    }
    return {};
}

} // namespace kv
