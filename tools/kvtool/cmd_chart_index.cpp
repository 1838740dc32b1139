// kvtool chart-index / nearest-chart: the chart index of a chart folder and the chart the
// program would load for a position.

#include "Command.h"

#include "charts/ChartIndex.h"
#include "core/Format.h"
#include "core/Paths.h"

#include <cstdio>

namespace {

std::string FolderArgument(const std::string& folder)
{
    return kv::WithTrailingSeparator(folder);
}

int RunChartIndex(const kvtool::Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kvtool chart-index CHARTDIR\n");
        return 2;
    }
    kv::ChartIndex index;
    index.Rebuild(FolderArgument(args[0]));
    for (int n = 1; n <= index.count(); ++n) {
        const kv::ChartIndexEntry& e = index.entry(n);
        std::printf("%d\t%s\t%.6f\t%.6f\t%.6f\n", n, e.fileName.c_str(), e.centreLat, e.centreLong, e.zoom);
    }
    return 0;
}

int RunNearestChart(const kvtool::Args& args)
{
    const bool withCurrent = args.size() == 5 && args[3] == "--current";
    if (args.size() != 3 && !withCurrent) {
        std::fprintf(stderr, "usage: kvtool nearest-chart CHARTDIR LAT LONW [--current NAME]\n");
        return 2;
    }
    const auto lat = kv::ParseLeadingReal(args[1]);
    const auto lon = kv::ParseLeadingReal(args[2]);
    if (!lat || !lon) {
        std::fprintf(stderr, "kvtool nearest-chart: LAT and LONW must be numbers in degrees\n");
        return 2;
    }
    const std::string folder = FolderArgument(args[0]);
    kv::ChartIndex index;
    index.Rebuild(folder);
    kv::CurrentChart current { kv::kPortfolioName, 0.0, 0.0 };
    if (withCurrent) {
        const kv::ChartIndexEntry e = kv::ReadChartIndexEntry(folder, args[4] + ".cfg");
        current = { args[4], e.centreLat, e.centreLong };
    }
    std::printf("%s\n", kv::NearestChartName(index, *lat, *lon, current).c_str());
    return 0;
}

const kvtool::CommandRegistration indexReg { { "chart-index",
    "CHARTDIR: the chart index (number, file, centre lat, centre long west+, zoom)", &RunChartIndex, true } };
const kvtool::CommandRegistration nearestReg { { "nearest-chart",
    "CHARTDIR LAT LONW [--current NAME]: the chart the program loads for the position", &RunNearestChart, true } };

} // namespace
