// kvtool gpx-import / gpx-export: GPX files to and from the program's route, waypoint and track
// log files, with the counts of what went across.

#include "Command.h"

#include "app/GpxCommands.h"
#include "charts/WaypointFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "routes/GpxExchange.h"
#include "routes/GpxExport.h"
#include "routes/Routes.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Written {
    std::string path;
    std::string bytes;
    std::string note;
};

// FILE.gpx OUTDIR: every route a route file, the waypoints a waypoint file, every track a track
// log. Nothing is written unless the whole GPX file reads and every output file has a name.
int RunGpxImport(const kvtool::Args& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kvtool gpx-import FILE.gpx OUTDIR\n");
        return 2;
    }
    const kv::GpxData data = kv::ReadGpxFile(args[0]);
    if (!data.error.empty()) {
        std::fprintf(stderr, "kvtool gpx-import: %s\n", data.error.c_str());
        return 1;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(args[1], ec)) {
        std::fprintf(stderr, "kvtool gpx-import: %s is not a folder\n", args[1].c_str());
        return 1;
    }
    const std::string base = kv::FileNameOf(kv::NameWithoutExtension(args[0]), "gpx");
    std::vector<Written> out;
    // Names are taken one by one, so two routes of one name get two files.
    const auto reserve = [&](const std::string& name, const std::string& extension) {
        std::string path = kv::FreeFileName(args[1], name, extension);
        for (int n = 2; std::any_of(out.begin(), out.end(), [&](const Written& w) { return w.path == path; }); ++n) {
            path = kv::FreeFileName(args[1], name + "-" + std::to_string(n), extension);
        }
        return path;
    };
    for (const kv::GpxLine& line : data.routes) {
        const kv::GpxRouteWaypoints route = kv::RouteFromGpx(line);
        std::string bytes;
        for (const kv::RouteWaypoint& w : route.waypoints) {
            bytes += kv::RouteLine(w) + "\r\n";
        }
        std::string note = "route" + (line.name.empty() ? std::string() : " " + line.name) + ": "
            + std::to_string(route.waypoints.size()) + " waypoints";
        if (route.dropped > 0) {
            note += " (" + std::to_string(route.dropped) + " more left out: a route holds 40)";
        }
        out.push_back({ reserve(kv::FileNameOf(line.name, base), ".rte"), bytes, note });
    }
    if (!data.waypoints.empty()) {
        kv::ChartWaypoints table;
        const std::size_t added = kv::AddGpxWaypoints(data.waypoints, table);
        std::string bytes;
        for (std::size_t i = 1; i <= table.count(); ++i) {
            bytes += kv::PositionLine(table.at(i).name, table.at(i).lat, table.at(i).lon, kv::PositionLayout::Wpt)
                + "\r\n";
        }
        std::string note = "waypoints: " + std::to_string(added);
        if (added < data.waypoints.size()) {
            note += " (" + std::to_string(data.waypoints.size() - added) + " more left out: the table holds 600)";
        }
        out.push_back({ reserve(base, ".wpt"), bytes, note });
    }
    for (const kv::GpxLine& track : data.tracks) {
        const kv::QuickLog log = kv::QuickLogFromGpx(track);
        out.push_back({ reserve(kv::ImportedTrackName(track.name, args[0]), ".log"), kv::EncodeTrackLog(log),
            "track" + (track.name.empty() ? std::string() : " " + track.name) + ": "
                + std::to_string(track.points.size()) + " points, " + std::to_string(log.count()) + " records" });
    }
    int status = 0;
    for (const Written& w : out) {
        if (!kv::WriteFileAtomic(w.path, w.bytes)) {
            std::fprintf(stderr, "kvtool gpx-import: cannot write %s\n", w.path.c_str());
            status = 1;
            continue;
        }
        std::printf("%s written to %s\n", w.note.c_str(), w.path.c_str());
    }
    if (data.skipped > 0) {
        std::printf("%zu points without a valid position left out\n", data.skipped);
    }
    if (out.empty()) {
        std::printf("no routes, waypoints or tracks in %s\n", args[0].c_str());
    }
    return status;
}

// OUT.gpx FILE...: route files (.rte, .prn), waypoint files (.wpt, .wps) and track logs (.log)
// gathered in one GPX file.
int RunGpxExport(const kvtool::Args& args)
{
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: kvtool gpx-export OUT.gpx FILE.rte|FILE.prn|FILE.wpt|FILE.wps|FILE.log...\n");
        return 2;
    }
    kv::GpxData data;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& file = args[i];
        const std::string extension = kv::ToUpperAscii(kv::ExtensionOf(file));
        if (extension == ".RTE" || extension == ".PRN") {
            const kv::RouteFileRead read = kv::ReadRouteWaypoints(file);
            if (!read.problem.empty()) {
                std::fprintf(stderr, "kvtool gpx-export: %s: %s\n", file.c_str(), read.problem.c_str());
                return 1;
            }
            kv::RouteTable table;
            for (const kv::RouteWaypoint& w : read.waypoints) {
                table.push(w);
            }
            data.routes.push_back(kv::GpxFromRoute(table, kv::NameWithoutExtension(file)));
            std::printf(
                "route %s: %zu waypoints%s\n", file.c_str(), table.count(), read.formatError ? " (format errors)" : "");
        } else if (extension == ".WPT" || extension == ".WPS") {
            kv::ChartWaypoints table;
            bool formatError = false;
            if (!kv::ReadWaypointFile(file, extension == ".WPT" ? kv::PositionLayout::Wpt : kv::PositionLayout::Dos,
                    table, formatError)) {
                std::fprintf(stderr, "kvtool gpx-export: cannot read %s\n", file.c_str());
                return 1;
            }
            const auto points = kv::GpxFromChartWaypoints(table);
            data.waypoints.insert(data.waypoints.end(), points.begin(), points.end());
            std::printf("waypoints %s: %zu%s\n", file.c_str(), table.count(), formatError ? " (format errors)" : "");
        } else if (extension == ".LOG") {
            const kv::FileReadResult read = kv::ReadRegularFile(file, kv::kTrackLogSize);
            const kv::TrackLogImage image = kv::DecodeTrackLog(read.bytes.value_or(std::string()));
            if (!read.bytes || !image.count) {
                std::fprintf(stderr, "%s (%s %s)\n", kv::kLogReadError, file.c_str(),
                    read.bytes ? "has a record count that is not 0 to 98" : read.problem.c_str());
                return 1;
            }
            const kv::GpxTrackFromLog track = kv::GpxFromTrackLog(
                { image.records.begin(), image.records.begin() + static_cast<std::ptrdiff_t>(*image.count) }, file);
            data.tracks.push_back(track.track);
            std::printf("track %s: %zu points\n", file.c_str(), track.track.points.size());
        } else {
            std::fprintf(stderr, "kvtool gpx-export: %s is not a route, waypoint or track log file\n", file.c_str());
            return 1;
        }
    }
    if (!kv::WriteFileAtomic(args[0], kv::WriteGpx(data))) {
        std::fprintf(stderr, "kvtool gpx-export: cannot write %s\n", args[0].c_str());
        return 1;
    }
    std::printf("%zu waypoints, %zu routes, %zu tracks written to %s\n", data.waypoints.size(), data.routes.size(),
        data.tracks.size(), args[0].c_str());
    return 0;
}

const kvtool::CommandRegistration importer { { "gpx-import",
    "FILE.gpx OUTDIR: the routes, waypoints and tracks of a GPX file as route, waypoint and track log files",
    &RunGpxImport, true } };
const kvtool::CommandRegistration exporter { { "gpx-export",
    "OUT.gpx FILE...: route (.rte .prn), waypoint (.wpt .wps) and track log (.log) files as one GPX file",
    &RunGpxExport, true } };

} // namespace
