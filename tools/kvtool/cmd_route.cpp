// kvtool route-import: a GPX route (or, without one, its waypoints) as a route file.

#include "Command.h"

#include "core/Format.h"
#include "core/RouteTable.h"
#include "core/TextFile.h"
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
    const auto read = kv::ReadRegularFile(args[0]);
    const auto& xml = read.bytes;
    if (!xml) {
        std::fprintf(stderr, "kvtool route-import: cannot read %s: %s\n", args[0].c_str(), read.problem.c_str());
        return 1;
    }
    bool bad = false;
    std::vector<kv::GpxPoint> points = kv::ReadGpxPoints(*xml, "rtept", bad);
    const char* kind = "route points";
    if (points.empty()) {
        points = kv::ReadGpxPoints(*xml, "wpt", bad);
        kind = "waypoints";
    }
    if (bad) {
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
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        // Names are cut to the 24 characters of a label; an unnamed point takes its letter.
        const std::string nameField = points[i].name.empty() ? kv::DefaultRouteName(index)
                                                             : kv::PadRight(points[i].name.substr(0, 24), 24) + "19   ";
        lines.push_back(kv::RouteLine({ nameField, points[i].lat, -points[i].lon }));
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
