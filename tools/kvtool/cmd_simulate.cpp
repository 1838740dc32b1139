// kvtool simulate: a voyage for the program to follow without a boat. The sentences come from
// the voyage simulator; this file reads the arguments and paces the seconds, and the sinks of
// SimulateSinks.h write them to standard output, a pseudo-terminal, a TCP client or a UDP
// destination.

#include "Command.h"
#include "SimulateSinks.h"

#include "routes/Routes.h"
#include "sim/VoyageSimulator.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr const char* kUsage
    = "usage: kvtool simulate (--route FILE.rte | --start LAT LON --course DEG) [--speed KNOTS]\n"
      "                       [--targets N] [--seed S] [--rate R] [--duration SECONDS]\n"
      "                       [--time YYYY-MM-DDTHH:MM:SS] [--noise METRES]\n"
      "                       [--pty [--link PATH] | --tcp [HOST:]PORT | --udp HOST:PORT]\n"
      "  LAT LON in degrees, north and east positive (or with N/S/E/W after the number: 1.55W).\n"
      "  --rate R: R simulated seconds to a real second (0: as fast as the output takes them).\n"
      "  Without --pty, --tcp or --udp the sentences go to standard output.\n"
      "  --pty prints the path of the terminal's slave side (--link PATH also makes PATH a link\n"
      "  to it, e.g. dev/com9 of a working folder); --tcp serves one client (port 0: any free\n"
      "  port, printed); both start when the peer arrives and stop when it goes.\n";

using kvtool::gStop;

void OnSignal(int)
{
    gStop = 1;
}

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
            if (!ParseAngle(args[i + 1], true, options.start.lat)
                || !ParseAngle(args[i + 2], false, options.start.lon)) {
                return bad("--start takes a latitude and a longitude, not \"" + args[i + 1] + " " + args[i + 2] + "\"");
            }
            haveStart = true;
            i += 2;
        } else if ((a == "--course" || a == "--speed" || a == "--rate" || a == "--duration" || a == "--noise")
            && more) {
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
                return bad(a + (a == "--targets" ? " takes 0 to 100" : " takes a whole number") + ", not \""
                    + args[i + 1] + "\"");
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
            options.route.push_back({ w.lat, -w.lon }); // route files keep west positive
        }
        if (options.route.size() < 2) {
            std::fprintf(stderr, "kvtool simulate: %s holds fewer than two waypoints\n", routeFile.c_str());
            return 1;
        }
    }

    struct sigaction action { };
    action.sa_handler = OnSignal; // no SA_RESTART: a sleep or a blocked write ends at once
    sigemptyset(&action.sa_mask);
    for (int s : { SIGTERM, SIGINT, SIGHUP }) {
        ::sigaction(s, &action, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN); // a reader that goes away is seen as a failed write

    std::unique_ptr<kvtool::Sink> sink;
    std::string peer; // printed: the terminal's slave side, or where the TCP client connects
    if (pty) {
        sink = kvtool::OpenPtySink(link, peer);
    } else if (!tcp.empty()) {
        sink = kvtool::OpenTcpSink(tcp, peer);
    } else if (!udp.empty()) {
        sink = kvtool::OpenUdpSink(udp);
    } else {
        sink = std::make_unique<kvtool::FileSink>();
    }
    if (!sink) {
        return 1;
    }
    if (!peer.empty()) {
        std::printf("%s\n", peer.c_str());
    }
    std::fflush(stdout);

    if (!sink->waitForPeer()) {
        return 0;
    }
    kv::VoyageSimulator simulator(options);
    const auto begin = std::chrono::steady_clock::now();
    while (!gStop && (duration < 0.0 || static_cast<double>(simulator.elapsed()) < duration)) {
        if (rate > 0.0) {
            const auto due = begin
                + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(simulator.elapsed()) / rate));
            while (!gStop && std::chrono::steady_clock::now() < due) {
                std::this_thread::sleep_until(
                    std::min(due, std::chrono::steady_clock::now() + std::chrono::milliseconds(100)));
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

const kvtool::CommandRegistration reg { { "simulate",
    "(--route F.rte | --start LAT LON --course C) [--speed K] [--targets N] [--seed S] "
    "[--rate R] [--pty|--tcp P|--udp H:P]: a voyage as GPS and AIS sentences",
    &RunSimulate, true } };

} // namespace
