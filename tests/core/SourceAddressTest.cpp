#include "core/SourceAddress.h"
#include "core/GpsdStream.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

using Kind = SourceAddress::Kind;

struct Good {
    const char* text;
    Kind kind;
    const char* host;
    int port;
    const char* outputHost;
    int outputPort;
    const char* written; // SourceText of the result
};

struct Bad {
    const char* text;
    const char* errorPart;
};

} // namespace

TEST(SourceAddress, ValidAddresses)
{
    const Good cases[] = {
        { "tcp://192.168.1.10:10110", Kind::Tcp, "192.168.1.10", 10110, "", 0, "tcp://192.168.1.10:10110" },
        { "  tcp://mux.local:2000\r\n", Kind::Tcp, "mux.local", 2000, "", 0, "tcp://mux.local:2000" },
        { "tcp://[::1]:10110", Kind::Tcp, "::1", 10110, "", 0, "tcp://[::1]:10110" },
        { "udp://:10110", Kind::Udp, "", 10110, "", 0, "udp://:10110" },
        { "udp://0.0.0.0:10110", Kind::Udp, "0.0.0.0", 10110, "", 0, "udp://0.0.0.0:10110" },
        { "udp://:10110 udp://192.168.1.255:10111", Kind::Udp, "", 10110, "192.168.1.255", 10111,
            "udp://:10110 udp://192.168.1.255:10111" },
        { "udp://:1\t udp://[fe80::1]:65535\n", Kind::Udp, "", 1, "fe80::1", 65535, "udp://:1 udp://[fe80::1]:65535" },
        { "gpsd://localhost", Kind::Gpsd, "localhost", 2947, "", 0, "gpsd://localhost:2947" },
        { "gpsd://127.0.0.1:3000", Kind::Gpsd, "127.0.0.1", 3000, "", 0, "gpsd://127.0.0.1:3000" },
        { "signalk://boat.local", Kind::SignalK, "boat.local", 3000, "", 0, "signalk://boat.local:3000" },
        { "signalks://[::1]:3443", Kind::SignalK, "::1", 3443, "", 0, "signalks://[::1]:3443" },
    };
    for (const Good& c : cases) {
        SCOPED_TRACE(c.text);
        const SourceParse r = ParseSourceAddress(c.text);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(r.address.kind, c.kind);
        EXPECT_EQ(r.address.host, c.host);
        EXPECT_EQ(r.address.port, c.port);
        EXPECT_EQ(r.address.outputHost, c.outputHost);
        EXPECT_EQ(r.address.outputPort, c.outputPort);
        EXPECT_EQ(SourceText(r.address), c.written);
        // What is written back reads back the same.
        EXPECT_EQ(ParseSourceAddress(SourceText(r.address)).address, r.address);
    }
}

TEST(SourceAddress, DevicePathsAreSerial)
{
    const SourceParse r = ParseSourceAddress("/dev/ttyUSB0\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.address.kind, Kind::Serial);
    EXPECT_EQ(r.address.device, "/dev/ttyUSB0");
    EXPECT_TRUE(r.address.sendsOutput());
    EXPECT_FALSE(ParseSourceAddress("/dev/tty USB0").ok());
}

TEST(SourceAddress, WhoSendsOutput)
{
    EXPECT_TRUE(ParseSourceAddress("tcp://a:1").address.sendsOutput());
    EXPECT_FALSE(ParseSourceAddress("udp://:1").address.sendsOutput());
    EXPECT_TRUE(ParseSourceAddress("udp://:1 udp://b:2").address.sendsOutput());
    EXPECT_FALSE(ParseSourceAddress("gpsd://a").address.sendsOutput());
    EXPECT_FALSE(ParseSourceAddress("signalk://a").address.sendsOutput());
    EXPECT_TRUE(ParseSourceAddress("signalks://a").address.tls);
}

TEST(SourceAddress, BadAddressesSayWhatIsWrong)
{
    const Bad cases[] = {
        { "", "empty source address" },
        { " \r\n", "empty source address" },
        { "192.168.1.1:10110", "not a source address: \"192.168.1.1:10110\"" },
        { "COM1", "not a source address" },
        { "ftp://host:21", "unknown source type \"ftp\"" },
        { "TCP://host:21", "unknown source type \"TCP\"" },
        { "tcp://host", "needs a host and a port" },
        { "tcp://:10110", "needs a host and a port" },
        { "tcp://host:", "bad port \"\"" },
        { "tcp://host:0", "bad port \"0\"" },
        { "tcp://host:65536", "bad port \"65536\"" },
        { "tcp://host:10110x", "bad port \"10110x\"" },
        { "tcp://host:-1", "bad port \"-1\"" },
        { "tcp://::1:10110", "IPv6 host goes in brackets" },
        { "tcp://[::1:10110", "unclosed \"[\"" },
        { "tcp://[]:10110", "empty host in brackets" },
        { "tcp://[::1]10110", "\":\" expected after \"]\"" },
        { "tcp://host/path:10", "bad host \"host/path\"" },
        { "tcp://user@host:10", "bad host" },
        { "tcp://a:1 tcp://b:2", "only udp:// takes an output address" },
        { "gpsd://", "a gpsd source needs a host" },
        { "gpsd://:2947", "a gpsd source needs a host" },
        { "gpsd://h udp://x:1", "only udp:// takes an output address" },
        { "signalk://", "a Signal K source needs a host" },
        { "signalk://:3000", "a Signal K source needs a host" },
        { "ws://host:3000", "unknown source type \"ws\"" },
        { "udp://host", "needs the port to listen on" },
        { "udp://:10110 tcp://b:2", "the output of a UDP source is one address udp://HOST:PORT" },
        { "udp://:10110 udp://b:2 udp://c:3", "the output of a UDP source is one address" },
        { "udp://:10110 udp://:2", "the output of a UDP source needs a host and a port" },
        { "udp://:10110 udp://b", "the output of a UDP source needs a host and a port" },
        { "udp://:10110 udp://b:99999", "bad port \"99999\"" },
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.text);
        const SourceParse r = ParseSourceAddress(c.text);
        EXPECT_FALSE(r.ok());
        EXPECT_NE(r.error.find(c.errorPart), std::string::npos) << r.error;
    }
}

TEST(GpsdStream, JsonReportsAreDroppedAndNmeaPassesInAnyPieces)
{
    const std::string version = "{\"class\":\"VERSION\",\"release\":\"3.22\",\"proto_major\":3,\"proto_minor\":14}\r\n";
    const std::string devices = "{\"class\":\"DEVICES\",\"devices\":[{\"class\":\"DEVICE\",\"path\":\"/dev/ttyUSB0\","
                                "\"driver\":\"NMEA0183\",\"activated\":\"2026-12-08T21:00:00.000Z\"}]}\r\n";
    const std::string gga = "$GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*59\r\n";
    const std::string ais = "!AIVDM,1,1,,B,177KQJ5000G?tO`K>RA1wUbN0TKH,0*5C\r\n";
    const std::string stream = version + gga + devices + ais + "{\"class\":\"WATCH\"}\n" + gga;
    const std::string wanted = gga + ais + gga;
    // Whole, byte by byte and in uneven pieces: the same result.
    for (const std::size_t piece : { stream.size(), std::size_t { 1 }, std::size_t { 7 }, std::size_t { 64 } }) {
        SCOPED_TRACE(piece);
        GpsdNmeaFilter filter;
        std::string got;
        for (std::size_t at = 0; at < stream.size(); at += piece) {
            got += filter.filter(std::string_view(stream).substr(at, piece));
        }
        EXPECT_EQ(got, wanted);
    }
    // A brace inside a sentence is not a report.
    GpsdNmeaFilter filter;
    EXPECT_EQ(filter.filter("$XX,{a}\r\n"), "$XX,{a}\r\n");
    // A report ended by CR alone ends there: the NMEA after it passes.
    EXPECT_EQ(filter.filter("{\"class\":\"WATCH\"}\r" + gga + "{\"class\":\"SKY\"}\r"), gga);
    EXPECT_EQ(filter.filter(ais), ais);
    // A connection that broke inside a report starts clean after reset.
    EXPECT_EQ(filter.filter("{\"class\":\"TP"), "");
    filter.reset();
    EXPECT_EQ(filter.filter(gga), gga);
}
