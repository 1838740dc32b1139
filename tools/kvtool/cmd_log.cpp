// kvtool log-dump / log-gpx: the day's track log as text, or as a GPX 1.1 track.

#include "Command.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

struct LoadedLog {
    kv::TrackLogImage image;
    std::size_t size = 0;
};

std::optional<LoadedLog> Load(const std::string& path)
{
    // A track log is never larger than its fixed layout; anything bigger is not one and is not
    // read into memory.
    const auto read = kv::ReadRegularFile(path, kv::kTrackLogSize);
    const auto& bytes = read.bytes;
    if (!bytes) {
        std::fprintf(stderr, "%s (%s %s)\n", kv::kLogReadError, path.c_str(), read.problem.c_str());
        return std::nullopt;
    }
    LoadedLog log{kv::DecodeTrackLog(*bytes), bytes->size()};
    if (!log.image.count) {
        std::fprintf(stderr, "%s (the record count is not 0 to 98)\n", kv::kLogReadError);
        return std::nullopt;
    }
    if (log.size != kv::kTrackLogSize) {
        std::fprintf(stderr, "note: %zu bytes instead of %zu\n", log.size, kv::kTrackLogSize);
    }
    return log;
}

// "hh:mm:ss.sss" of minutes since midnight.
std::string TimeOfDay(double minutes)
{
    if (!std::isfinite(minutes)) {
        minutes = 0.0;
    }
    long long ms = kv::RoundHalfEven(std::fmod(std::fmod(minutes, 1440.0) + 1440.0, 1440.0) * 60000.0);
    ms %= 86400000LL;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buffer;
}

// The date of a day's log from its name "dd-mm-yy" as "20yy-mm-dd"; nothing for other names.
std::optional<std::string> DateOfLog(const std::string& path)
{
    const std::string name = kv::NameWithoutExtension(path);
    if (name.size() != 8 || name[2] != '-' || name[5] != '-') {
        return std::nullopt;
    }
    const auto d = kv::ParseInt(name.substr(0, 2)), m = kv::ParseInt(name.substr(3, 2)), y = kv::ParseInt(name.substr(6, 2));
    if (!d || !m || !y || *y < 0 || !std::chrono::year_month_day(std::chrono::year(2000 + static_cast<int>(*y)),
                                            std::chrono::month(static_cast<unsigned>(std::clamp(*m, 0LL, 13LL))),
                                            std::chrono::day(static_cast<unsigned>(std::clamp(*d, 0LL, 32LL))))
                                            .ok()) {
        return std::nullopt;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "20%02lld-%02lld-%02lld", *y, *m, *d);
    return std::string(buffer);
}

int RunDump(const kvtool::Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kvtool log-dump FILE.log\n");
        return 2;
    }
    const auto log = Load(args[0]);
    if (!log) {
        return 1;
    }
    const std::size_t count = *log->image.count;
    std::printf("# %zu records (latitude, longitude west positive, time)\n", count);
    for (std::size_t k = 0; k < count; ++k) {
        const kv::QuickLogRecord& r = log->image.records[k];
        std::printf("%2zu %s %s %12.6f %s\n", k + 1, kv::FormatFixed(r.lat, 13, 8).c_str(), kv::FormatFixed(r.lon, 14, 8).c_str(),
                    r.minutes, TimeOfDay(r.minutes).c_str());
    }
    return 0;
}

int RunGpx(const kvtool::Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kvtool log-gpx FILE.log\n");
        return 2;
    }
    const auto log = Load(args[0]);
    if (!log) {
        return 1;
    }
    const auto date = DateOfLog(args[0]);
    if (!date) {
        std::fprintf(stderr, "note: the file name is not a valid date dd-mm-yy; the track points carry no time\n");
    }
    const std::string name = kv::NameWithoutExtension(args[0]);
    std::printf("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<gpx version=\"1.1\" creator=\"kvtool\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                "  <trk>\n    <name>");
    for (const unsigned char c : name) {
        // File names are plain; anything XML would read as markup is left out.
        if (c >= 0x20 && c < 0x7f && c != '<' && c != '>' && c != '&') {
            std::putchar(c);
        }
    }
    std::printf("</name>\n    <trkseg>\n");
    for (std::size_t k = 0; k < *log->image.count; ++k) {
        const kv::QuickLogRecord& r = log->image.records[k];
        if (!(std::fabs(r.lat) <= 90.0 && std::fabs(r.lon) <= 180.0)) {
            std::fprintf(stderr, "record %zu left out: not a position\n", k + 1);
            continue;
        }
        std::printf("      <trkpt lat=\"%.8f\" lon=\"%.8f\">", r.lat, -r.lon); // GPX longitudes are east positive
        if (date) {
            std::printf("<time>%sT%s</time>", date->c_str(), TimeOfDay(r.minutes).c_str()); // the log's own clock
        }
        std::printf("</trkpt>\n");
    }
    std::printf("    </trkseg>\n  </trk>\n</gpx>\n");
    return 0;
}

const kvtool::CommandRegistration dump{{"log-dump", "FILE.log: the records of a track log", &RunDump}};
const kvtool::CommandRegistration gpx{{"log-gpx", "FILE.log: the track log as a GPX 1.1 track", &RunGpx}};

} // namespace
