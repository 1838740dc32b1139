// kvtool chart-info: what the chart store would take from a chart or layer file.

#include "Command.h"

#include "charts/ChartFiles.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

int RunChartInfo(const kvtool::Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kvtool chart-info FILE.cht\n");
        return 2;
    }
    const kv::ChartRecords chart = kv::ReadChartRecords(args[0]);
    if (!chart.opened) {
        std::fprintf(stderr, "kvtool chart-info: cannot open %s\n", args[0].c_str());
        return 1;
    }
    // The store takes at most its capacity of the records the reading rule gives.
    const auto points = static_cast<std::size_t>(std::min<long long>(chart.taken, kv::kChartCapacity));
    long long penUps = 0;
    std::array<long long, kv::kLineTypes> types {};
    double latMin = 0, latMax = 0, lonMin = 0, lonMax = 0;
    bool any = false;
    for (std::size_t i = 0; i < points && i < chart.records.size(); ++i) {
        const kv::ChartPoint& p = chart.records[i];
        if (p.isPenUp()) {
            ++penUps;
            continue;
        }
        ++types[static_cast<std::size_t>(p.lineType())];
        const double lat = p.lat();
        const double lon = p.lon();
        if (!any) {
            latMin = latMax = lat;
            lonMin = lonMax = lon;
            any = true;
        }
        latMin = std::min(latMin, lat);
        latMax = std::max(latMax, lat);
        lonMin = std::min(lonMin, lon);
        lonMax = std::max(lonMax, lon);
    }
    std::printf("points: %zu\n", points);
    std::printf("partial: %s\n", chart.partial ? "yes" : "no");
    std::printf("penups: %lld\n", penUps);
    for (std::size_t t = 0; t < types.size(); ++t) {
        std::printf("type%zu: %lld\n", t, types[t]);
    }
    if (any) {
        std::printf("bounds: %.6f %.6f %.6f %.6f\n", latMin, lonMin, latMax, lonMax);
    } else {
        std::printf("bounds: none\n");
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "chart-info",
    "FILE.cht: points, partial record, pen-ups, points per line type and bounds as the chart store takes them",
    &RunChartInfo } };

} // namespace
