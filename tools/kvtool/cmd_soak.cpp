// kvtool soak: a long headless run at full speed. The program starts in a working folder as
// kvfree does, takes every "!AIVDM" line of a file through the serial reception and, after every
// few of them, a GGA position sentence and one fix; every 10,000 AIS sentences it prints one CSV
// line: resident memory, open file descriptors and the time the fixes of the stretch took.

#include "Command.h"

#include "app/MainController.h"
#include "core/Format.h"
#include "nmea/Templates.h"
#include "platform/fake/Fakes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

long ResidentKb()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

long OpenDescriptors()
{
    std::error_code ec;
    long n = 0;
    for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        ++n;
    }
    return n;
}

// Fix k of a slow circle off the Needles, at the clock time t.
std::string PositionSentence(long k, const kv::LocalDateTime& t)
{
    const double minutesLat = 40.0 + 2.0 * static_cast<double>(k % 600) / 600.0;
    const double minutesLon = 35.0 + 2.0 * static_cast<double>((k + 150) % 600) / 600.0;
    char body[128];
    std::snprintf(body, sizeof body, "$GPGGA,%02d%02d%02d,50%07.4f,N,001%07.4f,W,1,08,0.9,12.0,M,47.0,M,,", t.hour,
        t.minute, t.second, minutesLat, minutesLon);
    return std::string(body) + kv::NMEAChecksum(body);
}

kv::LocalDateTime AddSeconds(kv::LocalDateTime t, int seconds)
{
    long total = ((t.hour * 60L + t.minute) * 60L + t.second + seconds) % 86400;
    t.second = static_cast<int>(total % 60);
    t.minute = static_cast<int>(total / 60 % 60);
    t.hour = static_cast<int>(total / 3600);
    return t;
}

int RunSoak(const kvtool::Args& args)
{
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: kvtool soak WORKDIR AISFILE [AIS-PER-FIX]\n");
        return 2;
    }
    const long perFix = args.size() == 3 ? std::max(1L, std::strtol(args[2].c_str(), nullptr, 10)) : 10;
    std::ifstream ais(args[1], std::ios::binary);
    if (!ais) {
        std::fprintf(stderr, "kvtool soak: cannot read %s\n", args[1].c_str());
        return 1;
    }
    kv::FakePlatform fakes;
    fakes.clock.time = { 2026, 12, 8, 6, 0, 0, 0 };
    fakes.serial.freeSpace = 1 << 20;
    kv::ProgramState state;
    kv::MainWindowHooks noWindow;
    kv::MainController program(state, fakes.platform, noWindow);
    program.FormCreate(args[0], "");
    program.SecsTimerTimer();
    if (program.ended()) {
        for (const auto& m : fakes.prompter.messages) {
            std::fprintf(stderr, "%s: %s\n", m.kind.c_str(), m.text.c_str());
        }
        return 1;
    }
    state.prefs.nmea.PositionSentence = 0;
    if (!state.nmeaLink.NmeaOpen) {
        program.nmea().OpenNmeaInterface();
    }
    // The vessel database would grow by one record for every new vessel of the random stream;
    // its growth is the file's, not the program's, and is left out.
    state.ais.UpdateAISDatabase = false;
    kv::FixCycle& cycle = program.fix();

    std::printf("sentences,fixes,rss_kb,open_fds,targets,fix_us_mean\n");
    long sentences = 0;
    long fixes = 0;
    std::chrono::nanoseconds fixTime {};
    long stretchFixes = 0;
    std::string line;
    while (std::getline(ais, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("!AIVDM", 0) != 0) {
            continue;
        }
        fakes.serial.receive(line + "\r\n");
        ++sentences;
        if (sentences % perFix == 0) {
            fakes.clock.time = AddSeconds(fakes.clock.time, 10);
            fakes.serial.receive(PositionSentence(fixes, fakes.clock.time) + "\r\n");
            const auto start = std::chrono::steady_clock::now();
            cycle.FixTimerTimer();
            program.SecsTimerTimer();
            fixTime += std::chrono::steady_clock::now() - start;
            ++fixes;
            ++stretchFixes;
            // The fakes keep what the program showed, wrote, played and beeped; that memory is theirs.
            fakes.sound.finish();
            fakes.serial.written.clear();
            fakes.sound.played.clear();
            fakes.prompter.messages.clear();
            fakes.prompter.beeps.clear();
        }
        if (sentences % 10000 == 0) {
            const double meanUs
                = stretchFixes > 0 ? std::chrono::duration<double, std::micro>(fixTime).count() / stretchFixes : 0.0;
            std::printf("%ld,%ld,%ld,%ld,%d,%.1f\n", sentences, fixes, ResidentKb(), OpenDescriptors(),
                static_cast<int>(state.ais.targets.count()), meanUs);
            std::fflush(stdout);
            fixTime = {};
            stretchFixes = 0;
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "soak",
    "WORKDIR AISFILE [AIS-PER-FIX]: the program at full speed on an AIS file with a fix after every "
    "AIS-PER-FIX (10) sentences; CSV of memory, descriptors and fix time every 10,000 sentences",
    &RunSoak } };

} // namespace
