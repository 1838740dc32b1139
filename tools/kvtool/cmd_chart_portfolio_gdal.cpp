// kvtool chart-portfolio: a folder of tile charts and their overview cut from one large vector
// source, each tile small enough for the chart store; the program loads the tile nearest the
// vessel as it moves.

#include "Command.h"
#include "GdalLines.h"

#include "charts/ChartIndex.h"
#include "charts/ChartTiler.h"
#include "core/Format.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string source;
    std::string outDir;
    double south = 0, west = 0, north = 0, east = 0; // east positive, as on the command line
    bool haveBounds = false;
    kv::PortfolioOptions portfolio;
    kvtool::gdal::ReadOptions read;
};

void Usage()
{
    std::fprintf(stderr,
        "usage: kvtool chart-portfolio SOURCE OUTDIR --bounds SOUTH WEST NORTH EAST [options]\n"
        "  --bounds S W N E      the area, degrees, longitudes east positive\n"
        "  --name PREFIX         tiles PREFIX-A1 ..., overview PREFIXPortfolio (default Chart)\n"
        "  --max-points N        records one chart may hold, pen-ups included (default 10800)\n"
        "  --tolerance-px P      simplification in pixels at each chart's full-chart zoom (default 0.5)\n"
        "  --layer-type NAME=N   line type 0-6 of one layer (others 0)\n");
}

bool ParseOptions(const kvtool::Args& args, Options& o)
{
    o.portfolio.prefix = "Chart";
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--bounds" && i + 4 < args.size()) {
            double* targets[4] = { &o.south, &o.west, &o.north, &o.east };
            for (double* t : targets) {
                const auto v = kv::ParseReal(args[++i]);
                if (!v) {
                    return false;
                }
                *t = *v;
            }
            o.haveBounds = true;
        } else if (a == "--name" && hasValue) {
            o.portfolio.prefix = args[++i];
        } else if (a == "--max-points" && hasValue) {
            const auto v = kv::ParseInt(args[++i]);
            if (!v || *v < 2 || *v > static_cast<long long>(kv::kChartCapacity)) {
                return false;
            }
            o.portfolio.maxRecords = *v;
        } else if (a == "--tolerance-px" && hasValue) {
            const auto v = kv::ParseReal(args[++i]);
            if (!v || !(*v >= 0.0)) {
                return false;
            }
            o.portfolio.tolerancePx = *v;
        } else if (a == "--layer-type" && hasValue) {
            const std::string& v = args[++i];
            const auto eq = v.rfind('=');
            const auto type = eq == std::string::npos ? std::nullopt : kv::ParseInt(v.substr(eq + 1));
            if (!type || *type < 0 || *type >= kv::kLineTypes) {
                return false;
            }
            o.read.layerTypes[v.substr(0, eq)] = static_cast<int>(*type);
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2 || !o.haveBounds) {
        return false;
    }
    o.source = positional[0];
    o.outDir = positional[1];
    return true;
}

// A chart name is the file name up to its first "." and at most 33 characters long.
bool UsablePrefix(const std::string& prefix)
{
    if (prefix.empty() || prefix.size() + 9 > 33) { // 9: "Portfolio"
        return false;
    }
    for (char c : prefix) {
        if (c == '.' || c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32) {
            return false;
        }
    }
    return true;
}

int RunChartPortfolio(const kvtool::Args& args)
{
    Options o;
    if (!ParseOptions(args, o)) {
        Usage();
        return 2;
    }
    if (!UsablePrefix(o.portfolio.prefix)) {
        std::fprintf(stderr, "kvtool chart-portfolio: the name must be 1 to 24 characters without '.', '/' or '\\'\n");
        return 2;
    }
    if (!(o.north > o.south) || !(o.east > o.west) || o.south < -80.0 || o.north > 84.0 || o.west < -180.0
        || o.east > 180.0) {
        std::fprintf(stderr,
            "kvtool chart-portfolio: --bounds wants SOUTH < NORTH and WEST < EAST (east positive), "
            "latitudes within -80..84\n");
        return 2;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(o.outDir, ec)) {
        std::fprintf(stderr, "kvtool chart-portfolio: %s is not a folder\n", o.outDir.c_str());
        return 1;
    }

    o.read.bounds = kvtool::gdal::Bounds { o.south, o.west, o.north, o.east };
    std::vector<kvtool::gdal::Polyline> read;
    long long skippedPoints = 0;
    if (!kvtool::gdal::ReadLines(o.source, o.read, "chart-portfolio", read, skippedPoints)) {
        return 1;
    }
    if (skippedPoints > 0) {
        std::printf("skipped %lld point features (a chart holds lines only)\n", skippedPoints);
    }
    std::vector<kv::TilerLine> lines;
    lines.reserve(read.size());
    for (const auto& r : read) {
        kv::TilerLine l;
        l.lineType = r.lineType;
        l.polygon = r.closed;
        l.points.reserve(r.vertices.size());
        for (const auto& v : r.vertices) {
            l.points.push_back({ v.lat, -v.lon }); // charts keep longitude west positive
        }
        lines.push_back(std::move(l));
    }
    const kv::TilerBox area { o.south, o.north, -o.east, -o.west };
    const kv::Portfolio portfolio = kv::BuildPortfolio(lines, area, o.portfolio);
    if (!portfolio.error.empty()) {
        std::fprintf(stderr, "kvtool chart-portfolio: %s\n", portfolio.error.c_str());
        return 1;
    }
    std::string error;
    if (!kv::WritePortfolio(portfolio, o.outDir, error)) {
        std::fprintf(stderr, "kvtool chart-portfolio: %s\n", error.c_str());
        return 1;
    }
    long long points = 0, away = 0;
    std::printf(
        "grid %d x %d, %zu tiles with coastline\n", portfolio.gridSize, portfolio.gridSize, portfolio.tiles.size());
    auto line = [&](const kv::PortfolioChart& c) {
        const long long kept = c.sourcePoints - c.simplifiedAway;
        std::printf("%-20s %6lld points %6lld simplified away\n", c.name.c_str(), kept, c.simplifiedAway);
        points += kept;
        away += c.simplifiedAway;
    };
    for (const auto& t : portfolio.tiles) {
        line(t);
    }
    line(portfolio.overview);
    if (portfolio.overview.tolerancePx > o.portfolio.tolerancePx || portfolio.overview.droppedLines > 0) {
        std::printf("overview simplified at %.3f px, %lld smallest lines left out\n", portfolio.overview.tolerancePx,
            portfolio.overview.droppedLines);
    }
    std::printf("total %zu charts, %lld points, %lld simplified away\n", portfolio.tiles.size() + 1, points, away);
    // Tiles of an earlier run with a finer grid would still be indexed as charts of this folder.
    for (const std::string& name : kv::ListChartConfigFiles(o.outDir)) {
        const std::string chart = name.substr(0, name.size() - 4);
        if (chart.rfind(o.portfolio.prefix + "-", 0) != 0) {
            continue;
        }
        bool written = false;
        for (const auto& t : portfolio.tiles) {
            written = written || t.name == chart;
        }
        if (!written) {
            std::printf(
                "note: %s is not part of this portfolio; remove it or it stays in the chart index\n", name.c_str());
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "chart-portfolio",
    "SOURCE OUTDIR --bounds S W N E [--name PREFIX] [--max-points N] [--tolerance-px P] [--layer-type NAME=N]: "
    "tile charts and an overview from a GDAL vector source",
    &RunChartPortfolio } };

} // namespace
