// kvtool survey-grid: lays a survey grid into a chart file as the grid dialog's OK does, for
// planning a survey away from the boat.
//
//   kvtool survey-grid CHART.cht --centre LAT LONW --length METRES --spacing METRES --angle DEG
//                      --lines N [--alternate] [--type T]
//
// Prints the half extents of a line ("lat / long" degrees) and the number of records added;
// refuses with "Chart Store full..." (exit 1, file untouched) when the grid does not fit.

#include "Command.h"

#include "charts/ChartEditor.h"
#include "charts/ChartFiles.h"
#include "core/Format.h"
#include "core/TextFile.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace {

int SurveyUsage()
{
    std::fprintf(stderr,
        "usage: kvtool survey-grid CHART.cht --centre LAT LONW --length METRES --spacing METRES "
        "--angle DEG --lines N [--alternate] [--type T]\n");
    return 2;
}

int RunSurveyGrid(const kvtool::Args& args)
{
    if (args.empty()) {
        return SurveyUsage();
    }
    const std::string path = args[0];
    kv::SurveyGrid grid;
    std::optional<double> lat, lon;
    bool haveLength = false, haveSpacing = false, haveAngle = false, haveLines = false;
    int type = 0;
    auto number = [&args](std::size_t i) -> std::optional<double> {
        if (i >= args.size()) {
            return std::nullopt;
        }
        return kv::ParseReal(args[i]);
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--alternate") {
            grid.alternate = true;
            continue;
        }
        const auto v = number(i + 1);
        if (!v) {
            return SurveyUsage();
        }
        if (a == "--centre") {
            const auto w = number(i + 2);
            if (!w) {
                return SurveyUsage();
            }
            lat = *v;
            lon = *w;
            i += 2;
            continue;
        }
        ++i;
        if (a == "--length" && *v >= 1 && *v <= 100000) {
            grid.length = *v;
            haveLength = true;
        } else if (a == "--spacing" && *v >= 1 && *v <= 1000) {
            grid.spacing = *v;
            haveSpacing = true;
        } else if (a == "--angle" && *v >= 0 && *v <= 180) {
            grid.angle = *v;
            haveAngle = true;
        } else if (a == "--lines" && *v >= 1 && *v <= 500 && *v == std::floor(*v)) {
            grid.lines = static_cast<int>(*v);
            haveLines = true;
        } else if (a == "--type" && *v >= 0 && *v < kv::kLineTypes && *v == std::floor(*v)) {
            type = static_cast<int>(*v);
        } else {
            std::fprintf(stderr, "kvtool: bad option or value out of range: %s\n", a.c_str());
            return SurveyUsage();
        }
    }
    if (!lat || !lon || !haveLength || !haveSpacing || !haveAngle || !haveLines) {
        return SurveyUsage();
    }
    const kv::ChartRecords records = kv::ReadChartRecords(path);
    if (!records.opened) {
        std::fprintf(stderr, "Non existant File\n");
        return 1;
    }
    kv::ChartStore store;
    if (!kv::AppendChartRecords(store, records.records)) {
        std::fprintf(stderr, "Chart Store full...\n");
        return 1;
    }
    // Longitudes are scaled by the cosine of the chart's centre latitude, as in the program.
    double cosLat = 1.0;
    if (const auto config = kv::ReadChartConfigFile(kv::ChartConfigPath(path))) {
        cosLat = std::cos(config->centreLat * std::numbers::pi / 180.0);
    }
    const kv::SurveyGridResult r = kv::AppendSurveyGrid(store, grid, *lat, *lon, cosLat, type);
    if (!r.added) {
        std::fprintf(stderr, "Chart Store full...\n");
        return 1;
    }
    const kv::CompactedChart out = kv::CompactChart(store, 1);
    if (!kv::WriteFileAtomic(path, kv::ChartRecordBytes(out.records))) {
        std::fprintf(stderr, "Error writing chart file!\n");
        return 1;
    }
    std::printf("%s\n%d\n", r.status.c_str(), r.records);
    return 0;
}

const kvtool::CommandRegistration surveyReg { { "survey-grid",
    "CHART.cht --centre LAT LONW --length M --spacing M --angle DEG --lines N [--alternate] [--type T]: "
    "append a survey grid",
    &RunSurveyGrid, true } };

} // namespace
