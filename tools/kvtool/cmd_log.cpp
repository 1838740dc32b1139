// kvtool log-dump / log-gpx: the day's track log as text, or as a GPX 1.1 track.

#include "Command.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "routes/GpxExchange.h"
#include "routes/GpxExport.h"

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
    LoadedLog log { kv::DecodeTrackLog(*bytes), bytes->size() };
    if (!log.image.count) {
        std::fprintf(stderr, "%s (the record count is not 0 to 98)\n", kv::kLogReadError);
        return std::nullopt;
    }
    if (log.size != kv::kTrackLogSize) {
        std::fprintf(stderr, "note: %zu bytes instead of %zu\n", log.size, kv::kTrackLogSize);
    }
    return log;
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
        std::printf("%2zu %s %s %12.6f %s\n", k + 1, kv::FormatFixed(r.lat, 13, 8).c_str(),
            kv::FormatFixed(r.lon, 14, 8).c_str(), r.minutes, kv::TimeOfDayText(r.minutes).c_str());
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
    const kv::GpxTrackFromLog track = kv::GpxFromTrackLog(
        { log->image.records.begin(), log->image.records.begin() + static_cast<std::ptrdiff_t>(*log->image.count) },
        args[0]);
    if (!track.dated) {
        std::fprintf(stderr, "note: the file name is not a valid date dd-mm-yy; the track points carry no time\n");
    }
    for (const std::size_t k : track.leftOut) {
        std::fprintf(stderr, "record %zu left out: not a position\n", k);
    }
    kv::GpxData data;
    data.tracks.push_back(track.track);
    const std::string gpx = kv::WriteGpx(data);
    std::fwrite(gpx.data(), 1, gpx.size(), stdout);
    return 0;
}

const kvtool::CommandRegistration dump { { "log-dump", "FILE.log: the records of a track log", &RunDump } };
const kvtool::CommandRegistration gpx { { "log-gpx", "FILE.log: the track log as a GPX 1.1 track", &RunGpx } };

} // namespace
