// kvtool simulate as a process: its outputs (standard output, a pseudo-terminal, a TCP client,
// UDP datagrams), its arguments, and how it stops (peer gone, SIGPIPE, SIGTERM).

#include "nmea/NmeaParse.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using kvtest::ShellQuote;

const char* kRoute = "A                       19   N 50.42.00000  W001.30.00000\r\n"
                     "B                       19   N 50.43.00000  W001.28.00000\r\n";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, nl; (nl = text.find("\r\n", start)) != std::string::npos; start = nl + 2) {
        lines.push_back(text.substr(start, nl - start));
    }
    return lines;
}

// Every complete line a valid sentence; returns the number of GGA sentences.
int CheckAll(const std::vector<std::string>& lines)
{
    int gga = 0;
    for (const std::string& line : lines) {
        // The receiver, the AIS receiver, the echo sounder, the wind instrument and the compass.
        const std::string talker = line.substr(0, 3);
        EXPECT_TRUE(
            talker == "$GP" || line.rfind("!AIVDM", 0) == 0 || talker == "$SD" || talker == "$WI" || talker == "$HE")
            << line;
        EXPECT_EQ(kv::CheckSentence(line), kv::SentenceRejection::None) << line;
        gga += line.rfind("$GPGGA", 0) == 0;
    }
    return gga;
}

// Reads from fd until `wanted` bytes came or the time is up.
std::string ReadSome(int fd, std::size_t wanted, int seconds)
{
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (got.size() < wanted && std::chrono::steady_clock::now() < until) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 100) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return got;
}

// A GGA sentence's position within a few metres (the receiver's noise) of lat, west-positive lon.
bool Near(const std::string& gga, double lat, double lonWest)
{
    const double gotLat = kv::ParseNmeaLatitude(kv::NmeaField(gga, 2), kv::NmeaField(gga, 3));
    const double gotLon = kv::ParseNmeaLongitude(kv::NmeaField(gga, 4), kv::NmeaField(gga, 5));
    return std::fabs(gotLat - lat) * 1852 * 60 < 10.0 && std::fabs(gotLon - lonWest) * 1852 * 60 * 0.64 < 10.0;
}

std::string Tool()
{
    return ShellQuote(kvtest::KvtoolPath());
}

TEST(KvtoolSimulate, StandardOutputIsTheSameForTheSameSeed)
{
    kvtest::TempDir dir;
    dir.write("leg.rte", kRoute);
    const std::string args = " simulate --route " + ShellQuote(dir.file("leg.rte"))
        + " --speed 7 --targets 3 --rate 0 --duration 40 --time 2026-06-15T10:00:00 --seed ";
    const kvtest::ToolResult a = kvtest::RunKvtoolLine(args + "4");
    const kvtest::ToolResult b = kvtest::RunKvtoolLine(args + "4");
    const kvtest::ToolResult c = kvtest::RunKvtoolLine(args + "5");
    ASSERT_EQ(a.exitCode, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_NE(a.out, c.out);
    const std::vector<std::string> lines = Lines(a.out);
    EXPECT_EQ(CheckAll(lines), 40);
    EXPECT_EQ(lines.front().substr(0, 17), "$GPGGA,100000.00,");
    EXPECT_TRUE(Near(lines.front(), 50.7, 1.5)) << lines.front(); // the first waypoint
}

TEST(KvtoolSimulate, BadArgumentsAreRefused)
{
    kvtest::TempDir dir;
    dir.write("leg.rte", kRoute);
    dir.write("one.rte", "A                       19   N 50.42.00000  W001.30.00000\r\n");
    dir.write("leg.txt", kRoute);
    const std::string route = ShellQuote(dir.file("leg.rte"));
    struct Case {
        std::string args;
        int exitCode;
    };
    const Case cases[] = {
        { "", 2 },
        { "--start 50 -1", 2 }, // no course
        { "--route " + route + " --start 50 -1 --course 90", 2 }, // both
        { "--start 91 -1 --course 90", 2 },
        { "--start 50 1.5Q --course 90", 2 },
        { "--route " + route + " --speed -3", 2 },
        { "--route " + route + " --targets 101", 2 },
        { "--route " + route + " --seed x", 2 },
        { "--route " + route + " --time 2026-13-01T00:00:00", 2 },
        { "--route " + route + " --pty --tcp 0", 2 },
        { "--route " + route + " --link dev/com9", 2 },
        { "--route " + route + " --tcp notaport", 1 },
        { "--route " + ShellQuote(dir.file("missing.rte")), 1 },
        { "--route " + ShellQuote(dir.file("one.rte")), 1 },
        { "--route " + ShellQuote(dir.file("leg.txt")), 1 },
    };
    for (const Case& c : cases) {
        const kvtest::ToolResult r = kvtest::RunKvtoolLine("simulate " + c.args + " --duration 1 --rate 0 2>/dev/null");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
    // West as a letter or a sign.
    const auto west = kvtest::RunKvtoolLine("simulate --start 50.5N 1.25W --course 90 --duration 1 --rate 0 --noise 0");
    const auto minus = kvtest::RunKvtoolLine("simulate --start 50.5 -1.25 --course 90 --duration 1 --rate 0 --noise 0");
    EXPECT_NE(west.out.find(",5030.0000,N,00115.0000,W,"), std::string::npos) << west.out;
    EXPECT_EQ(west.out.substr(17, 30), minus.out.substr(17, 30));
}

// An output that cannot be opened says why on the error output, once per cause, and nothing
// of the voyage is written.
TEST(KvtoolSimulate, AnOutputThatCannotOpenSaysWhy)
{
    kvtest::TempDir dir;
    const std::string link = dir.file("missing") + "/com9";
    struct Case {
        std::string output;
        std::string says;
    };
    const Case cases[] = {
        { "--udp nohost",
            "kvtool simulate: --udp takes HOST:PORT, not \"nohost\"\n"
            "kvtool simulate: cannot send to nohost\n" },
        { "--tcp 127.0.0.1:99999", "kvtool simulate: --tcp takes [HOST:]PORT, not \"127.0.0.1:99999\"\n" },
        { "--pty --link " + ShellQuote(link),
            "kvtool simulate: cannot make the link " + link + ": No such file or directory\n" },
    };
    for (const Case& c : cases) {
        const kvtest::ToolResult r = kvtest::RunShell(
            Tool() + " simulate --start 50 -1 --course 90 --rate 0 --duration 5 " + c.output + " 2>&1");
        EXPECT_EQ(r.exitCode, 1) << c.output;
        EXPECT_EQ(r.out.substr(0, c.says.size()), c.says) << c.output;
        EXPECT_EQ(r.out.find('$'), std::string::npos) << c.output;
    }
}

TEST(KvtoolSimulate, AReaderThatGoesAwayEndsIt)
{
    kvtest::TempDir dir;
    // Without a duration it would run for ever: the closed pipe must end it, quietly.
    const kvtest::ToolResult r = kvtest::RunShell("( " + Tool()
        + " simulate --start 50 -1 --course 0 --rate 0; echo $? > " + ShellQuote(dir.file("rc")) + " ) | head -n 2");
    EXPECT_EQ(Lines(r.out).size(), 2u);
    EXPECT_EQ(kvtest::RunShell("cat " + ShellQuote(dir.file("rc"))).out, "0\n");
}

TEST(KvtoolSimulate, ServesOneTcpClientAndStopsWhenItLeaves)
{
    FILE* tool = ::popen(
        ("timeout 20 " + Tool() + " simulate --start 50 -1 --course 45 --targets 2 --rate 50 --tcp 127.0.0.1:0")
            .c_str(),
        "r");
    ASSERT_NE(tool, nullptr);
    char first[128] = {};
    ASSERT_NE(std::fgets(first, sizeof first, tool), nullptr);
    const std::string address(first);
    ASSERT_EQ(address.rfind("127.0.0.1:", 0), 0u) << address;
    const int port = std::stoi(address.substr(10));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    const std::string got = ReadSome(fd, 3000, 10);
    std::vector<std::string> lines = Lines(got);
    ASSERT_GT(lines.size(), 10u);
    EXPECT_GT(CheckAll(lines), 3);
    // The first second of the voyage comes first: nothing was sent before the client came.
    EXPECT_EQ(lines.front().rfind("$GPGGA", 0), 0u);
    EXPECT_TRUE(Near(lines.front(), 50.0, 1.0)) << lines.front();
    ::close(fd);
    const int status = ::pclose(tool);
    EXPECT_EQ(WEXITSTATUS(status), 0); // timeout's 124 would mean it went on writing
}

TEST(KvtoolSimulate, MakesAPseudoTerminalAndStopsWhenTheProgramClosesIt)
{
    kvtest::TempDir dir;
    const std::string link = dir.file("com9");
    FILE* tool = ::popen(
        ("timeout 30 " + Tool() + " simulate --start 50 -1 --course 45 --rate 20 --pty --link " + ShellQuote(link))
            .c_str(),
        "r");
    ASSERT_NE(tool, nullptr);
    char first[256] = {};
    ASSERT_NE(std::fgets(first, sizeof first, tool), nullptr);
    std::string slave(first);
    slave.pop_back();
    ASSERT_EQ(slave.rfind("/dev/pts/", 0), 0u) << slave;
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(slave, target);
    const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    // What the program sends back (autopilot sentences) is taken and dropped.
    const std::string apb = "$GPAPB,A,A,0.10,R,N,V,V,011,M,DEST,011,M,011,M*3C\r\n";
    EXPECT_EQ(::write(fd, apb.data(), apb.size()), static_cast<ssize_t>(apb.size()));
    const std::vector<std::string> lines = Lines(ReadSome(fd, 1000, 10));
    ASSERT_GT(lines.size(), 6u);
    EXPECT_GT(CheckAll(lines), 2);
    ::close(fd);
    const int status = ::pclose(tool);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(::access(link.c_str(), F_OK), 0); // the link went with it
}

TEST(KvtoolSimulate, AWaitingSimulatorWhoseLinkIsTakenGivesUp)
{
    kvtest::TempDir dir;
    const std::string link = ShellQuote(dir.file("com9"));
    // The first waits for a reader that never comes through its link, which the second takes.
    const kvtest::ToolResult r = kvtest::RunShell("cd " + ShellQuote(dir.path()) + " || exit 1; timeout 10 " + Tool()
        + " simulate --start 50 -1 --course 0 --pty --link " + link + " >first.txt 2>/dev/null & p=$!; sleep 0.5; "
        + Tool() + " simulate --start 50 -1 --course 0 --pty --link " + link
        + " >second.txt 2>/dev/null & q=$!; sleep 1; kill -0 $p 2>/dev/null && echo first-alive;"
          " kill -0 $q 2>/dev/null && echo second-alive; wait $p; echo rc=$?; kill $q; wait $q");
    EXPECT_EQ(r.out, "second-alive\nrc=0\n");
    EXPECT_NE(::access(dir.file("com9").c_str(), F_OK), 0); // the second took its link away with it
}

TEST(KvtoolSimulate, SendsDatagramsAndStopsOnSigterm)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in here {};
    here.sin_family = AF_INET;
    here.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&here), sizeof here), 0);
    socklen_t length = sizeof here;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&here), &length);
    const std::string port = std::to_string(ntohs(here.sin_port));
    FILE* tool = ::popen(
        ("sh -c '" + kvtest::KvtoolPath() + " simulate --start 50 -1 --course 90 --targets 4 --rate 20 --udp 127.0.0.1:"
            + port + " & p=$!; sleep 1.5; kill -TERM $p; wait $p; echo rc=$?'")
            .c_str(),
        "r");
    ASSERT_NE(tool, nullptr);
    std::string datagrams;
    int count = 0;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (count < 10 && std::chrono::steady_clock::now() < until) {
        pollfd p { fd, POLLIN, 0 };
        if (::poll(&p, 1, 100) > 0) {
            char buffer[2048];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            ASSERT_GT(n, 0);
            // Whole sentences to a datagram.
            ASSERT_EQ(std::string(buffer + n - 2, 2), "\r\n");
            datagrams.append(buffer, static_cast<std::size_t>(n));
            ++count;
        }
    }
    EXPECT_GE(CheckAll(Lines(datagrams)), 5);
    char result[64] = {};
    ASSERT_NE(std::fgets(result, sizeof result, tool), nullptr);
    EXPECT_STREQ(result, "rc=0\n");
    ::pclose(tool);
    ::close(fd);
}

} // namespace
