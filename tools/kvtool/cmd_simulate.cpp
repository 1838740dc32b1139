// kvtool simulate: a voyage for the program to follow without a boat. The sentences come from
// the voyage simulator; this file only paces them and writes them to standard output, a
// pseudo-terminal it makes, a TCP client or a UDP destination.

#include "Command.h"

#include "navigation/VoyageSimulator.h"
#include "routes/Routes.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr const char* kUsage =
    "usage: kvtool simulate (--route FILE.rte | --start LAT LON --course DEG) [--speed KNOTS]\n"
    "                       [--targets N] [--seed S] [--rate R] [--duration SECONDS]\n"
    "                       [--time YYYY-MM-DDTHH:MM:SS] [--noise METRES]\n"
    "                       [--pty [--link PATH] | --tcp [HOST:]PORT | --udp HOST:PORT]\n"
    "  LAT LON in degrees, north and east positive (or with N/S/E/W after the number: 1.55W).\n"
    "  --rate R: R simulated seconds to a real second (0: as fast as the output takes them).\n"
    "  Without --pty, --tcp or --udp the sentences go to standard output.\n"
    "  --pty prints the path of the terminal's slave side (--link PATH also makes PATH a link\n"
    "  to it, e.g. dev/com9 of a working folder); --tcp serves one client (port 0: any free\n"
    "  port, printed); both start when the peer arrives and stop when it goes.\n";

volatile std::sig_atomic_t gStop = 0;

void OnSignal(int) { gStop = 1; }

bool ParseDouble(const std::string& text, double& value)
{
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

// "50.66", "-1.55", "1.55W", "50.66N".
bool ParseAngle(std::string text, bool latitude, double& value)
{
    double sign = 1.0;
    if (!text.empty()) {
        const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        if ((latitude && (last == 'N' || last == 'S')) || (!latitude && (last == 'E' || last == 'W'))) {
            sign = last == 'S' || last == 'W' ? -1.0 : 1.0;
            text.pop_back();
        }
    }
    if (!ParseDouble(text, value)) {
        return false;
    }
    value *= sign;
    return std::fabs(value) <= (latitude ? 90.0 : 180.0);
}

// Where the sentences go. write() returns false when the peer has gone for good.
class Sink {
public:
    virtual ~Sink() = default;
    // Blocks until there is someone to write to; false when stopped first.
    virtual bool waitForPeer() { return true; }
    virtual bool write(const std::string& text) = 0;
};

class FileSink final : public Sink {
public:
    bool write(const std::string& text) override
    {
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    }
};

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR && !gStop) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A pseudo-terminal standing in for a receiver on a serial port. Only the master side stays
// open here, so the kernel tells (POLLHUP) whether the program has the slave side open.
class PtySink final : public Sink {
public:
    bool open(const std::string& link)
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            return false;
        }
        const char* name = ::ptsname(master_);
        if (name == nullptr) {
            return false;
        }
        slave_ = name;
        // Raw from the start, so that nothing is echoed or translated before the program sets
        // the line up itself.
        const int slave = ::open(name, O_RDWR | O_NOCTTY);
        if (slave >= 0) {
            termios t {};
            if (::tcgetattr(slave, &t) == 0) {
                ::cfmakeraw(&t);
                ::tcsetattr(slave, TCSANOW, &t);
            }
            ::close(slave);
        }
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (!link.empty()) {
            std::error_code ec;
            if (std::filesystem::is_symlink(link, ec)) {
                std::filesystem::remove(link, ec);
            }
            if (::symlink(name, link.c_str()) != 0) {
                std::fprintf(stderr, "kvtool simulate: cannot make the link %s: %s\n", link.c_str(), std::strerror(errno));
                return false;
            }
            link_ = link;
        }
        return true;
    }
    ~PtySink() override
    {
        if (!link_.empty()) {
            ::unlink(link_.c_str());
        }
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    const std::string& slave() const { return slave_; }

    bool waitForPeer() override
    {
        while (!gStop) {
            if (!hungUp()) {
                return true;
            }
            if (!link_.empty() && !linkIsOurs()) {
                // Another simulator (or the user) took the link: nobody will come here.
                std::fprintf(stderr, "kvtool simulate: %s no longer points to %s\n", link_.c_str(), slave_.c_str());
                link_.clear();
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    bool write(const std::string& text) override
    {
        drain();
        if (hungUp()) {
            // The program closed the port; it may open it again at once (the interface switched
            // off and on), so give it a few seconds before calling the voyage over.
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (hungUp()) {
                if (gStop || std::chrono::steady_clock::now() > until) {
                    return false;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR && !gStop) {
                continue;
            }
            if (n < 0 && errno == EAGAIN) {
                // Nobody reads: the line overruns, as a real one would.
                return true;
            }
            if (n <= 0) {
                return !hungUp();
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    bool linkIsOurs() const
    {
        char target[512] = {};
        const ssize_t n = ::readlink(link_.c_str(), target, sizeof target - 1);
        return n > 0 && slave_ == std::string(target, static_cast<std::size_t>(n));
    }
    bool hungUp() const
    {
        pollfd p {master_, POLLIN, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & POLLHUP) != 0;
    }
    // What the program sends back (autopilot sentences) is read and dropped.
    void drain()
    {
        char buffer[4096];
        while (::read(master_, buffer, sizeof buffer) > 0) {
        }
    }

    int master_ = -1;
    std::string slave_;
    std::string link_;
};

bool SplitHostPort(const std::string& text, std::string& host, std::string& port, const char* defaultHost)
{
    const auto colon = text.rfind(':');
    host = colon == std::string::npos ? defaultHost : text.substr(0, colon);
    port = colon == std::string::npos ? text : text.substr(colon + 1);
    if (host.empty()) {
        host = defaultHost;
    }
    return !port.empty() && port.find_first_not_of("0123456789") == std::string::npos && std::stoul(port) <= 65535;
}

class TcpSink final : public Sink {
public:
    // Prints "HOST:PORT" once listening.
    bool open(const std::string& where)
    {
        std::string host, port;
        if (!SplitHostPort(where, host, port, "127.0.0.1")) {
            std::fprintf(stderr, "kvtool simulate: --tcp takes [HOST:]PORT, not \"%s\"\n", where.c_str());
            return false;
        }
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_PASSIVE;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
            std::fprintf(stderr, "kvtool simulate: cannot resolve %s\n", host.c_str());
            return false;
        }
        listener_ = ::socket(found->ai_family, SOCK_STREAM, 0);
        const int one = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        const bool ok = listener_ >= 0 && ::bind(listener_, found->ai_addr, found->ai_addrlen) == 0 && ::listen(listener_, 1) == 0;
        ::freeaddrinfo(found);
        if (!ok) {
            std::fprintf(stderr, "kvtool simulate: cannot listen on %s:%s: %s\n", host.c_str(), port.c_str(), std::strerror(errno));
            return false;
        }
        sockaddr_storage bound {};
        socklen_t length = sizeof bound;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
        const int actual = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
        address_ = host + ":" + std::to_string(actual);
        return true;
    }
    ~TcpSink() override
    {
        if (client_ >= 0) {
            ::close(client_);
        }
        if (listener_ >= 0) {
            ::close(listener_);
        }
    }
    const std::string& address() const { return address_; }

    bool waitForPeer() override
    {
        while (!gStop) {
            pollfd p {listener_, POLLIN, 0};
            if (::poll(&p, 1, 200) > 0) {
                client_ = ::accept(listener_, nullptr, nullptr);
                if (client_ >= 0) {
                    return true;
                }
            }
        }
        return false;
    }

    bool write(const std::string& text) override
    {
        // A client that closed its side reads as end of file; what it sends is dropped.
        char buffer[4096];
        ssize_t n;
        while ((n = ::recv(client_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        }
        if (n == 0) {
            return false;
        }
        return WriteAll(client_, text);
    }

private:
    int listener_ = -1;
    int client_ = -1;
    std::string address_;
};

class UdpSink final : public Sink {
public:
    bool open(const std::string& where)
    {
        std::string host, port;
        if (!SplitHostPort(where, host, port, "127.0.0.1")) {
            std::fprintf(stderr, "kvtool simulate: --udp takes HOST:PORT, not \"%s\"\n", where.c_str());
            return false;
        }
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
            std::fprintf(stderr, "kvtool simulate: cannot resolve %s\n", host.c_str());
            return false;
        }
        socket_ = ::socket(found->ai_family, SOCK_DGRAM, 0);
        const bool ok = socket_ >= 0 && ::connect(socket_, found->ai_addr, found->ai_addrlen) == 0;
        ::freeaddrinfo(found);
        return ok;
    }
    ~UdpSink() override
    {
        if (socket_ >= 0) {
            ::close(socket_);
        }
    }
    bool write(const std::string& text) override
    {
        // Whole sentences to a datagram, well inside an Ethernet frame. Nobody listening is no
        // reason to stop: the program may come later.
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = start;
            while (end < text.size()) {
                const std::size_t next = text.find('\n', end);
                const std::size_t stop = next == std::string::npos ? text.size() : next + 1;
                if (stop - start > 1400 && end > start) {
                    break;
                }
                end = stop;
            }
            ::send(socket_, text.data() + start, end - start, MSG_NOSIGNAL);
            start = end;
        }
        return true;
    }

private:
    int socket_ = -1;
};

int RunSimulate(const kvtool::Args& args)
{
    kv::VoyageOptions options;
    std::string routeFile, tcp, udp, link;
    bool pty = false, haveStart = false, haveCourse = false;
    double rate = 1.0;
    double duration = -1.0;
    options.startUtc = static_cast<std::int64_t>(std::time(nullptr));
    auto bad = [](const std::string& what) {
        std::fprintf(stderr, "kvtool simulate: %s\n%s", what.c_str(), kUsage);
        return 2;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool more = i + 1 < args.size();
        double value = 0.0;
        if (a == "--route" && more) {
            routeFile = args[++i];
        } else if (a == "--start" && i + 2 < args.size()) {
            if (!ParseAngle(args[i + 1], true, options.start.lat) || !ParseAngle(args[i + 2], false, options.start.lon)) {
                return bad("--start takes a latitude and a longitude, not \"" + args[i + 1] + " " + args[i + 2] + "\"");
            }
            haveStart = true;
            i += 2;
        } else if ((a == "--course" || a == "--speed" || a == "--rate" || a == "--duration" || a == "--noise") && more) {
            if (!ParseDouble(args[i + 1], value) || value < 0.0) {
                return bad(a + " takes a number not below 0, not \"" + args[i + 1] + "\"");
            }
            ++i;
            if (a == "--course") {
                options.courseDeg = value;
                haveCourse = true;
            } else if (a == "--speed") {
                options.speedKnots = value;
            } else if (a == "--rate") {
                rate = value;
            } else if (a == "--duration") {
                duration = value;
            } else {
                options.positionNoiseM = value;
            }
        } else if ((a == "--targets" || a == "--seed") && more) {
            char* end = nullptr;
            const unsigned long long n = std::strtoull(args[i + 1].c_str(), &end, 10);
            if (args[i + 1].empty() || *end != '\0' || args[i + 1][0] == '-' || (a == "--targets" && n > 100)) {
                return bad(a + (a == "--targets" ? " takes 0 to 100" : " takes a whole number") + ", not \"" + args[i + 1] + "\"");
            }
            if (a == "--targets") {
                options.targets = static_cast<int>(n);
            } else {
                options.seed = n;
            }
            ++i;
        } else if (a == "--time" && more) {
            options.startUtc = kv::ParseUtcTime(args[++i]);
            if (options.startUtc < 0) {
                return bad("--time takes YYYY-MM-DDTHH:MM:SS (UTC), not \"" + args[i] + "\"");
            }
        } else if (a == "--pty") {
            pty = true;
        } else if (a == "--link" && more) {
            link = args[++i];
        } else if (a == "--tcp" && more) {
            tcp = args[++i];
        } else if (a == "--udp" && more) {
            udp = args[++i];
        } else {
            return bad("unexpected \"" + a + "\"");
        }
    }
    if (routeFile.empty() == !(haveStart && haveCourse)) {
        return bad("give either --route or both --start and --course");
    }
    if (static_cast<int>(pty) + static_cast<int>(!tcp.empty()) + static_cast<int>(!udp.empty()) > 1) {
        return bad("give at most one of --pty, --tcp and --udp");
    }
    if (!link.empty() && !pty) {
        return bad("--link goes with --pty");
    }
    if (!routeFile.empty()) {
        const kv::RouteFileRead read = kv::ReadRouteWaypoints(routeFile);
        if (!read.problem.empty()) {
            std::fprintf(stderr, "kvtool simulate: %s: %s\n", routeFile.c_str(), read.problem.c_str());
            return 1;
        }
        if (read.formatError) {
            std::fprintf(stderr, "kvtool simulate: %s: %s\n", routeFile.c_str(), kv::kRouteFormatError);
            return 1;
        }
        for (const auto& w : read.waypoints) {
            options.route.push_back({w.lat, -w.lon}); // route files keep west positive
        }
        if (options.route.size() < 2) {
            std::fprintf(stderr, "kvtool simulate: %s holds fewer than two waypoints\n", routeFile.c_str());
            return 1;
        }
    }

    struct sigaction action {};
    action.sa_handler = OnSignal; // no SA_RESTART: a sleep or a blocked write ends at once
    sigemptyset(&action.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(s, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN); // a reader that goes away is seen as a failed write

    std::unique_ptr<Sink> sink;
    if (pty) {
        auto p = std::make_unique<PtySink>();
        if (!p->open(link)) {
            std::fprintf(stderr, "kvtool simulate: cannot make a pseudo-terminal: %s\n", std::strerror(errno));
            return 1;
        }
        std::printf("%s\n", p->slave().c_str());
        sink = std::move(p);
    } else if (!tcp.empty()) {
        auto t = std::make_unique<TcpSink>();
        if (!t->open(tcp)) {
            return 1;
        }
        std::printf("%s\n", t->address().c_str());
        sink = std::move(t);
    } else if (!udp.empty()) {
        auto u = std::make_unique<UdpSink>();
        if (!u->open(udp)) {
            std::fprintf(stderr, "kvtool simulate: cannot send to %s\n", udp.c_str());
            return 1;
        }
        sink = std::move(u);
    } else {
        sink = std::make_unique<FileSink>();
    }
    std::fflush(stdout);

    if (!sink->waitForPeer()) {
        return 0;
    }
    kv::VoyageSimulator simulator(options);
    const auto begin = std::chrono::steady_clock::now();
    while (!gStop && (duration < 0.0 || static_cast<double>(simulator.elapsed()) < duration)) {
        if (rate > 0.0) {
            const auto due = begin + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                         std::chrono::duration<double>(static_cast<double>(simulator.elapsed()) / rate));
            while (!gStop && std::chrono::steady_clock::now() < due) {
                std::this_thread::sleep_until(std::min(due, std::chrono::steady_clock::now() + std::chrono::milliseconds(100)));
            }
            if (gStop) {
                break;
            }
        }
        std::string text;
        for (const std::string& sentence : simulator.step()) {
            text += sentence;
            text += "\r\n";
        }
        if (!sink->write(text)) {
            break; // the reader has gone
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg {{"simulate",
                                        "(--route F.rte | --start LAT LON --course C) [--speed K] [--targets N] [--seed S] "
                                        "[--rate R] [--pty|--tcp P|--udp H:P]: a voyage as GPS and AIS sentences",
                                        &RunSimulate, true}};

} // namespace
