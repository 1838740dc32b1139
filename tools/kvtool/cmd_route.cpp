// kvtool route-import: a GPX route (or, without one, its waypoints) as a route file.

#include "Command.h"

#include "core/Format.h"
#include "core/RouteTable.h"
#include "core/TextFile.h"
#include "routes/GpxExchange.h"
#include "routes/GpxImport.h"
#include "routes/Routes.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

int RunRouteImport(const kvtool::Args& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kvtool route-import FILE.gpx OUT.rte\n");
        return 2;
    }
    const kv::GpxData data = kv::ReadGpxFile(args[0]);
    if (!data.error.empty()) {
        std::fprintf(stderr, "kvtool route-import: %s\n", data.error.c_str());
        return 1;
    }
    // The first route; without one (or with no points in it), the waypoints in file order.
    std::vector<kv::GpxPoint> points = data.routes.empty() ? std::vector<kv::GpxPoint>() : data.routes.front().points;
    const char* kind = "route points";
    if (points.empty()) {
        points = data.waypoints;
        kind = "waypoints";
    }
    if (data.skipped > 0) {
        std::fprintf(stderr, "kvtool route-import: skipped points without a valid position\n");
    }
    if (points.empty()) {
        std::fprintf(stderr, "kvtool route-import: no route points or waypoints in %s\n", args[0].c_str());
        return 1;
    }
    if (points.size() > kv::kRouteCapacity) {
        std::fprintf(stderr, "kvtool route-import: %zu %s; a route holds %zu, the rest are left out\n", points.size(),
            kind, kv::kRouteCapacity);
        points.resize(kv::kRouteCapacity);
    }
    std::vector<std::string> lines;
    for (const kv::RouteWaypoint& w : kv::RouteFromGpx({ {}, points }).waypoints) {
        lines.push_back(kv::RouteLine(w));
    }
    if (!kv::WriteTextLinesAtomic(args[1], lines)) {
        std::fprintf(stderr, "kvtool route-import: cannot write %s\n", args[1].c_str());
        return 1;
    }
    std::printf("%zu %s written to %s\n", points.size(), kind, args[1].c_str());
    return 0;
}

const kvtool::CommandRegistration reg { { "route-import",
    "FILE.gpx OUT.rte: a GPX route (or its waypoints) as a route file", &RunRouteImport } };

} // namespace
