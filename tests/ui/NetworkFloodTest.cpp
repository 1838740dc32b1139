// Process tests: the real program, its interface opened at start on a network source, under a
// flood from a hostile peer on 127.0.0.1 (an unpaced UDP sender, a TCP server pouring out AIS
// reports). Watched from outside while it runs: the fix timer keeps its beat (a text-log line
// at every fix, each seen as it appears), the program quits promptly when its quit time comes,
// its memory stays flat and the day's AIS log stops at its limit. The bounds are generous; what
// they catch are stalls of seconds.

#include "UiSupport.h"

#include "nmea/Templates.h"
#include "support/ConfigFile.h"
#include "support/LoopbackFlood.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string KvfreePath()
{
    if (const char* env = std::getenv("KVFREE"); env != nullptr && *env != '\0') {
        return env;
    }
    return std::string(KV_BINARY_DIR) + "/kvfree";
}

// The bounds: what the program promises, and wider ones for the unoptimised sanitizer build,
// whose every step is slower and which keeps freed memory aside (quarantine). Either way a
// stall of seconds, an unbounded backlog or a late exit fails.
#ifdef __SANITIZE_ADDRESS__
constexpr double kLongestFixGap = 2.5;
constexpr double kQuitLatency = 3.0;
constexpr long kResidentGrowthKb = 400L * 1024;
#else
constexpr double kLongestFixGap = 1.5;
constexpr double kQuitLatency = 1.0;
constexpr long kResidentGrowthKb = 40L * 1024;
#endif

// Unit n of a flood: 20 AIS reports of two vessels and a position, one datagram or one stretch
// of a TCP stream. The position's time moves on a hundredth of a second with every unit, as a
// receiver's moves on: the fix cycle takes a position sentence only once, so a flood that went
// round a few positions would now and then hand it, a second later, the very sentence it took
// the second before, and that fix would rightly be skipped.
kvtest::LoopbackFlood::Units Bursts()
{
    std::string reports;
    for (int i = 0; i < 10; ++i) {
        reports += kvtest::AisPositionReport(235001234, 50.1, -1.2, 7.0, 30.0) + "\r\n"
            + kvtest::AisPositionReport(235005678, 50.2, -1.3, 12.0, 300.0) + "\r\n";
    }
    return [reports](std::uint64_t n) {
        const auto centi = static_cast<unsigned>(n % 8640000); // a day
        const unsigned seconds = centi / 100;
        char gga[96];
        std::snprintf(gga, sizeof gga, "$GPGGA,%02u%02u%02u.%02u,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,",
            seconds / 3600, seconds / 60 % 60, seconds % 60, centi % 100);
        return reports + gga + kv::NMEAChecksum(gga) + "\r\n";
    };
}

std::uint16_t FreeUdpPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(fd);
    return port;
}

long ResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

std::string FileEndingIn(const std::string& folder, const std::string& extension)
{
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (entry.path().extension() == extension) {
            return entry.path().string();
        }
    }
    return {};
}

// The fix lines of a text log (each begins with the fix number; the heading does not).
std::size_t FixLineCount(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);) {
        n += !line.empty() && line[0] >= '0' && line[0] <= '9' && in ? 1 : 0;
    }
    return n;
}

struct Watched {
    double logsOpenedAt = -1; // seconds from the start, when the text log got its heading
    std::vector<double> fixes; // seconds from the start, as each fix line appeared
    double exitedAt = -1; // seconds from the start
    int status = -1;
    long residentAtFirstFixKb = 0;
    long largestResidentKb = 0;
};

// Runs the program in `dir` until it quits by itself after `quitAfter` seconds, watching it.
Watched RunAndWatch(const kvtest::TempDir& dir, int quitAfter)
{
    Watched w;
    const std::string program = KvfreePath();
    const std::string& folder = dir.path();
    const std::string seconds = std::to_string(quitAfter);
    std::vector<char*> argv { const_cast<char*>(program.c_str()), const_cast<char*>("--workdir"),
        const_cast<char*>(folder.c_str()), const_cast<char*>("--quit-after"), const_cast<char*>(seconds.c_str()),
        nullptr };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string err = dir.file("err.txt");
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const Clock::time_point start = Clock::now();
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        return w;
    }
    auto since = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    std::size_t lines = 0;
    while (since() < quitAfter + 60.0) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            w.exitedAt = since();
            w.status = status;
            break;
        }
        const std::string textLog = FileEndingIn(dir.file("logs"), ".txt");
        if (!textLog.empty() && w.logsOpenedAt < 0) {
            w.logsOpenedAt = since();
        }
        const std::size_t now = textLog.empty() ? 0 : FixLineCount(textLog);
        for (; lines < now; ++lines) {
            w.fixes.push_back(since());
        }
        const long resident = ResidentKb(pid);
        if (w.fixes.size() == 1 && w.residentAtFirstFixKb == 0) {
            w.residentAtFirstFixKb = resident;
        }
        w.largestResidentKb = std::max(w.largestResidentKb, resident);
        ::usleep(10000);
    }
    if (w.exitedAt < 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    return w;
}

TEST(NetworkFloodProcess, FixesKeepTheirBeatQuittingIsPromptMemoryAndAisLogStayBounded)
{
    struct Case {
        const char* name;
        kvtest::LoopbackFlood::Kind kind;
        int maxLogMB;
    };
    const Case cases[] = {
        { "unpaced UDP sender", kvtest::LoopbackFlood::Kind::Udp, 500 },
        { "TCP AIS flood", kvtest::LoopbackFlood::Kind::Tcp, 1 },
    };
    ASSERT_TRUE(fs::exists(KvfreePath())) << KvfreePath();
    // Qt's own allocations that live for the process are not ours to judge (as in ProgramRun).
    const std::string suppressions = "suppressions=" + std::string(KV_SOURCE_DIR) + "/scripts/lsan.supp";
    ::setenv("LSAN_OPTIONS", suppressions.c_str(), 0);
    constexpr int kQuitAfter = 8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kvtest::TempDir dir;
        kvtest::PrepareWorkingFolder(dir);
        kvtest::WriteConfigIn(dir, "kelvw.cfg", [](kv::ProgramState& nav, kv::Settings&) {
            nav.settings.fix.NmeaStartMode = "Auto";
            nav.settings.nmea.ComPortNumber = 1;
            nav.settings.fix.FixIntervalMs = 1000;
            nav.settings.fix.KeepTextLog = true;
        });
        dir.write("kvfree.ini", "[AIS]\nMaxLogMB=" + std::to_string(c.maxLogMB) + "\n");
        const std::uint16_t udpPort = c.kind == kvtest::LoopbackFlood::Kind::Udp ? FreeUdpPort() : 0;
        kvtest::LoopbackFlood flood(c.kind, Bursts(), kQuitAfter + 12, udpPort);
        const std::uint16_t port = c.kind == kvtest::LoopbackFlood::Kind::Udp ? udpPort : flood.port();
        dir.write("dev/com1",
            (c.kind == kvtest::LoopbackFlood::Kind::Udp ? "udp://127.0.0.1:" : "tcp://127.0.0.1:")
                + std::to_string(port) + "\n");

        const Watched w = RunAndWatch(dir, kQuitAfter);
        flood.stop();
        const std::string err = dir.read("err.txt");
        ASSERT_GE(w.exitedAt, 0.0) << "still running a minute after its quit time\n" << err;
        EXPECT_TRUE(WIFEXITED(w.status) && WEXITSTATUS(w.status) == 0) << err;
        EXPECT_TRUE(c.kind == kvtest::LoopbackFlood::Kind::Udp || flood.accepted());
        EXPECT_GT(flood.unitsSent(), 1000u);

        // The fix timer's beat: a fix every second, none more than 1.5 s after the one before.
        ASSERT_GE(w.fixes.size(), 4u) << err;
        double longestGap = 0;
        for (std::size_t i = 1; i < w.fixes.size(); ++i) {
            longestGap = std::max(longestGap, w.fixes[i] - w.fixes[i - 1]);
        }
        EXPECT_LT(longestGap, kLongestFixGap);
        // Quitting: asked kQuitAfter seconds after the start of the event loop, which comes a
        // little after the day's logs are opened (so the figure errs on the long side).
        ASSERT_GE(w.logsOpenedAt, 0.0);
        const double quitAsked = w.logsOpenedAt + kQuitAfter;
        EXPECT_LT(w.exitedAt - quitAsked, kQuitLatency) << "exited " << w.exitedAt << " s after the start";
        std::printf("%s: %zu fixes, longest gap %.2f s, quit %.2f s after asked, memory %ld -> %ld kB at most\n",
            c.name, w.fixes.size(), longestGap, w.exitedAt - quitAsked, w.residentAtFirstFixKb, w.largestResidentKb);
        // Memory: flat from the first fix on.
        EXPECT_LT(w.largestResidentKb - w.residentAtFirstFixKb, kResidentGrowthKb)
            << w.residentAtFirstFixKb << " kB at the first fix, " << w.largestResidentKb << " kB at most";
        if (c.maxLogMB == 1) {
            const std::string aisLog = FileEndingIn(dir.file("logs"), ".AIS");
            ASSERT_FALSE(aisLog.empty());
            const auto size = fs::file_size(aisLog);
            EXPECT_LE(size, 1048576u);
            EXPECT_GE(size, 1048576u - 200u) << "the flood fills the log up to its limit";
        }
    }
}

} // namespace
