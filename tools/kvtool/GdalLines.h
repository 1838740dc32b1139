#pragma once
// Lines and polygon rings of any vector source GDAL/OGR opens, as chart-import and
// chart-portfolio read them (implemented in cmd_chart_gdal.cpp, built only with GDAL).

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kvtool::gdal {

struct Vertex {
    double lat = 0.0;
    double lon = 0.0; // east positive, as the source gives it
};

struct Polyline {
    std::vector<Vertex> vertices;
    int lineType = 0;
    bool closed = false; // a polygon ring
};

// South, west, north, east in degrees, east positive: features wholly outside are skipped early.
struct Bounds {
    double south = 0.0, west = 0.0, north = 0.0, east = 0.0;
};

struct ReadOptions {
    int defaultType = 0;
    std::map<std::string, int> layerTypes;
    std::set<std::string> layers; // empty: all
    std::optional<Bounds> bounds;
};

// Reads every line and ring into lines, printing one summary line per layer; points are counted
// in skippedPoints. False (with the reason on standard error, after command) when the source
// cannot be opened.
bool ReadLines(const std::string& source, const ReadOptions& options, const char* command, std::vector<Polyline>& lines,
    long long& skippedPoints);

} // namespace kvtool::gdal
