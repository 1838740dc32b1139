// kvtool chart-import: a chart file and its chart configuration from any vector source GDAL/OGR
// opens (GeoJSON, TopoJSON, Shapefile, GPX, ...). Lines and polygon rings become runs of chart
// points separated by pen-ups; simplification keeps the chart within the chart store.

#include "Command.h"
#include "GdalLines.h"

#include "charts/ChartFiles.h"
#include "core/Format.h"
#include "core/TextFile.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using kvtool::gdal::Polyline;
using kvtool::gdal::Vertex;

struct Options {
    std::string source;
    std::string out;
    int defaultType = 0;
    std::map<std::string, int> layerTypes;
    std::set<std::string> layers; // empty: all
    long long maxRecords = static_cast<long long>(kv::kChartCapacity);
    double tolerance = 0.0;
    bool simplify = true;
};

void Usage()
{
    std::fprintf(stderr,
        "usage: kvtool chart-import SOURCE OUT.cht [options]\n"
        "  --type N              line type 0-6 of every layer (default 0)\n"
        "  --layer-type NAME=N   line type of one layer\n"
        "  --layer NAME          import only this layer (repeatable)\n"
        "  --tolerance DEG       simplify every line with this tolerance in degrees first\n"
        "  --max-points N        records the chart may hold, pen-ups included (default 10800)\n"
        "  --no-simplify         fail instead of simplifying when the chart does not fit\n");
}

bool ParseType(const std::string& text, int& type)
{
    const auto value = kv::ParseInt(text);
    if (!value || *value < 0 || *value >= kv::kLineTypes) {
        return false;
    }
    type = static_cast<int>(*value);
    return true;
}

bool ParseOptions(const kvtool::Args& args, Options& o)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--type" && hasValue) {
            if (!ParseType(args[++i], o.defaultType)) {
                return false;
            }
        } else if (a == "--layer-type" && hasValue) {
            const std::string& v = args[++i];
            const auto eq = v.rfind('=');
            int type = 0;
            if (eq == std::string::npos || !ParseType(v.substr(eq + 1), type)) {
                return false;
            }
            o.layerTypes[v.substr(0, eq)] = type;
        } else if (a == "--layer" && hasValue) {
            o.layers.insert(args[++i]);
        } else if (a == "--tolerance" && hasValue) {
            const auto v = kv::ParseReal(args[++i]);
            if (!v || *v < 0) {
                return false;
            }
            o.tolerance = *v;
        } else if (a == "--max-points" && hasValue) {
            const auto v = kv::ParseInt(args[++i]);
            if (!v || *v < 2 || *v > static_cast<long long>(kv::kChartCapacity)) {
                return false;
            }
            o.maxRecords = *v;
        } else if (a == "--no-simplify") {
            o.simplify = false;
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) {
        return false;
    }
    o.source = positional[0];
    o.out = positional[1];
    return true;
}

void AddCurve(const OGRSimpleCurve& curve, int type, bool closed, std::vector<Polyline>& out)
{
    // A step of more than 180 degrees of longitude is a line crossing the antimeridian (world
    // data wraps from +180 to -180); drawn as it stands it would run across the whole chart, so
    // the line is cut there and the pieces are separate lines.
    std::vector<Polyline> pieces(1);
    for (int i = 0; i < curve.getNumPoints(); ++i) {
        const double x = curve.getX(i);
        const double y = curve.getY(i);
        if (!std::isfinite(x) || !std::isfinite(y)) {
            continue;
        }
        if (!pieces.back().vertices.empty() && std::fabs(x - pieces.back().vertices.back().lon) > 180.0) {
            pieces.emplace_back();
        }
        pieces.back().vertices.push_back({ y, x });
    }
    for (Polyline& line : pieces) {
        line.lineType = type;
        line.closed = closed && pieces.size() == 1;
        if (line.vertices.size() >= 2) {
            out.push_back(std::move(line));
        }
    }
}

// Lines and polygon rings of any geometry, curves made linear; points are counted and skipped.
void Collect(const OGRGeometry* g, int type, std::vector<Polyline>& out, long long& skippedPoints)
{
    if (g == nullptr || g->IsEmpty()) {
        return;
    }
    switch (wkbFlatten(g->getGeometryType())) {
    case wkbLineString:
    case wkbLinearRing:
        AddCurve(*g->toLineString(), type, false, out);
        break;
    case wkbPolygon: {
        const OGRPolygon* poly = g->toPolygon();
        for (const OGRLinearRing* ring : *poly) {
            AddCurve(*ring, type, true, out);
        }
        break;
    }
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
    case wkbMultiPoint: {
        for (const OGRGeometry* part : *g->toGeometryCollection()) {
            Collect(part, type, out, skippedPoints);
        }
        break;
    }
    case wkbPoint:
        ++skippedPoints;
        break;
    default: {
        // Curves and surfaces: their linear approximation.
        std::unique_ptr<OGRGeometry> linear(g->getLinearGeometry());
        if (linear && wkbFlatten(linear->getGeometryType()) != wkbFlatten(g->getGeometryType())) {
            Collect(linear.get(), type, out, skippedPoints);
        }
        break;
    }
    }
}

double SegmentDistance(const Vertex& p, const Vertex& a, const Vertex& b)
{
    const double dx = b.lon - a.lon;
    const double dy = b.lat - a.lat;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((p.lon - a.lon) * dx + (p.lat - a.lat) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.lon - (a.lon + t * dx), p.lat - (a.lat + t * dy));
}

// Douglas-Peucker, iterative so that long lines do not deepen the stack.
std::vector<Vertex> Simplify(const std::vector<Vertex>& v, double tolerance)
{
    if (tolerance <= 0 || v.size() < 3) {
        return v;
    }
    std::vector<bool> keep(v.size(), false);
    keep.front() = keep.back() = true;
    std::vector<std::pair<std::size_t, std::size_t>> stack { { 0, v.size() - 1 } };
    while (!stack.empty()) {
        const auto [first, last] = stack.back();
        stack.pop_back();
        double worst = -1;
        std::size_t index = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = SegmentDistance(v[i], v[first], v[last]);
            if (d > worst) {
                worst = d;
                index = i;
            }
        }
        if (worst > tolerance) {
            keep[index] = true;
            stack.push_back({ first, index });
            stack.push_back({ index, last });
        }
    }
    std::vector<Vertex> out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (keep[i]) {
            out.push_back(v[i]);
        }
    }
    return out;
}

struct Fitted {
    std::vector<Polyline> lines;
    long long droppedLines = 0;
};

// A ring needs three distinct corners to enclose anything; a line two points.
bool Worthwhile(const Polyline& line)
{
    return line.vertices.size() >= (line.closed ? 4u : 2u);
}

Fitted SimplifyAll(const std::vector<Polyline>& lines, double tolerance)
{
    Fitted out;
    for (const auto& line : lines) {
        Polyline s = line;
        s.vertices = Simplify(line.vertices, tolerance);
        if (Worthwhile(s)) {
            out.lines.push_back(std::move(s));
        } else {
            ++out.droppedLines;
        }
    }
    return out;
}

long long VerticesOf(const std::vector<Polyline>& lines)
{
    long long n = 0;
    for (const auto& l : lines) {
        n += static_cast<long long>(l.vertices.size());
    }
    return n;
}

long long RecordsOf(const std::vector<Polyline>& lines)
{
    return lines.empty() ? 0 : VerticesOf(lines) + static_cast<long long>(lines.size()) - 1; // pen-ups between
}

double Extent(const Polyline& l)
{
    double latMin = 1e9, latMax = -1e9, lonMin = 1e9, lonMax = -1e9;
    for (const auto& v : l.vertices) {
        latMin = std::min(latMin, v.lat);
        latMax = std::max(latMax, v.lat);
        lonMin = std::min(lonMin, v.lon);
        lonMax = std::max(lonMax, v.lon);
    }
    return (latMax - latMin) + (lonMax - lonMin);
}

kv::ChartPoint ToChartPoint(const Vertex& v, int type)
{
    double lon = -v.lon; // the chart keeps longitude west positive
    const double lat = v.lat;
    // A point exactly at 1 S 1 E of line type 0 would read back as a pen-up.
    if (type == 0 && lat == -1.0 && lon == -1.0) {
        lon = std::nextafter(-1.0, 0.0);
    }
    return kv::ChartPoint::make(lat, lon, type);
}

int RunChartImport(const kvtool::Args& args)
{
    Options o;
    if (!ParseOptions(args, o)) {
        Usage();
        return 2;
    }
    kvtool::gdal::ReadOptions read;
    read.defaultType = o.defaultType;
    read.layerTypes = o.layerTypes;
    read.layers = o.layers;
    std::vector<Polyline> lines;
    long long skippedPoints = 0;
    if (!kvtool::gdal::ReadLines(o.source, read, "chart-import", lines, skippedPoints)) {
        return 1;
    }
    if (skippedPoints > 0) {
        std::printf("skipped %lld point features (a chart holds lines only)\n", skippedPoints);
    }
    if (lines.empty()) {
        std::fprintf(stderr, "kvtool chart-import: no lines or polygons in %s\n", o.source.c_str());
        return 1;
    }

    // Fit the store: the records taken (points and pen-ups) may not exceed its capacity.
    const long long originalVertices = VerticesOf(lines);
    double tolerance = o.tolerance;
    Fitted fitted = SimplifyAll(lines, tolerance);
    if (RecordsOf(fitted.lines) > o.maxRecords) {
        if (!o.simplify) {
            std::fprintf(stderr, "kvtool chart-import: %lld records do not fit in %lld (try without --no-simplify)\n",
                RecordsOf(fitted.lines), o.maxRecords);
            return 1;
        }
        tolerance = std::max(tolerance, 0.0005);
        while (RecordsOf(fitted.lines) > o.maxRecords && tolerance < 10.0) {
            tolerance *= 1.25;
            fitted = SimplifyAll(lines, tolerance);
        }
    }
    // Still too many lines for the pen-ups alone: the smallest go.
    if (RecordsOf(fitted.lines) > o.maxRecords) {
        std::stable_sort(fitted.lines.begin(), fitted.lines.end(),
            [](const Polyline& a, const Polyline& b) { return Extent(a) > Extent(b); });
        while (!fitted.lines.empty() && RecordsOf(fitted.lines) > o.maxRecords) {
            fitted.lines.pop_back();
            ++fitted.droppedLines;
        }
    }
    const long long records = RecordsOf(fitted.lines);
    if (tolerance > 0) {
        std::printf("simplified with tolerance %.6f deg\n", tolerance);
    }
    std::printf("dropped %lld of %lld points; %lld lines dropped whole\n", originalVertices - VerticesOf(fitted.lines),
        originalVertices, fitted.droppedLines);

    std::vector<kv::ChartPoint> points;
    double latMin = 90, latMax = -90, lonMin = 1e9, lonMax = -1e9; // lon west positive
    for (std::size_t i = 0; i < fitted.lines.size(); ++i) {
        if (i > 0) {
            points.push_back(kv::ChartPoint::penUp());
        }
        for (const auto& v : fitted.lines[i].vertices) {
            points.push_back(ToChartPoint(v, fitted.lines[i].lineType));
            latMin = std::min(latMin, v.lat);
            latMax = std::max(latMax, v.lat);
            lonMin = std::min(lonMin, -v.lon);
            lonMax = std::max(lonMax, -v.lon);
        }
    }
    points.push_back(kv::ChartPoint::penUp()); // the terminator every chart file ends with
    if (!kv::WriteFileAtomic(o.out, kv::ChartRecordBytes(points))) {
        std::fprintf(stderr, "kvtool chart-import: cannot write %s\n", o.out.c_str());
        return 1;
    }

    // A zoom that shows the whole chart. The view scales are proportional to the screen, so the
    // zoom is the same on every screen: 640 / 55 pixels per degree of longitude per unit of
    // screen width, 200 cos(lat) / (38 x 0.63) per unit of height.
    kv::ChartConfig config;
    config.centreLat = (latMin + latMax) / 2;
    config.centreLong = (lonMin + lonMax) / 2;
    const double cosLat = std::cos(std::clamp(config.centreLat, -80.0, 84.0) * M_PI / 180.0);
    const double spanLat = std::max(latMax - latMin, 1e-6);
    const double spanLon = std::max(lonMax - lonMin, 1e-6);
    const double zoom = std::min(640.0 / 55.0 / spanLon, 200.0 * cosLat / (38.0 * 0.63) / spanLat);
    config.zoom = std::clamp(zoom * 0.9, 0.03125, 12000.0); // a margin round the edge
    config.latOffset = 0.0;
    config.longOffset = 0.0;
    const std::string configPath = kv::ChartConfigPath(o.out);
    if (!kv::WriteChartConfigFile(configPath, config)) {
        std::fprintf(stderr, "kvtool chart-import: cannot write %s\n", configPath.c_str());
        return 1;
    }
    std::printf("records: %lld (%zu lines)\n", records, fitted.lines.size());
    std::printf("bounds: %.6f %.6f %.6f %.6f\n", latMin, lonMin, latMax, lonMax);
    std::printf("centre: %.6f %.6f zoom %.6f\n", config.centreLat, config.centreLong, config.zoom);
    std::printf("wrote %s and %s\n", o.out.c_str(), configPath.c_str());
    return 0;
}

const kvtool::CommandRegistration reg { { "chart-import",
    "SOURCE OUT.cht [--type N] [--layer-type NAME=N] [--layer NAME] [--tolerance DEG] [--max-points N] "
    "[--no-simplify]: chart and chart configuration from a GDAL vector source",
    &RunChartImport } };

} // namespace

namespace kvtool::gdal {

bool ReadLines(const std::string& source, const ReadOptions& options, const char* command, std::vector<Polyline>& lines,
    long long& skippedPoints)
{
    ReadOptions o = options;
    GDALAllRegister();
    GDALDatasetUniquePtr ds(GDALDataset::Open(source.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!ds) {
        std::fprintf(stderr, "kvtool %s: cannot open %s as a vector source\n", command, source.c_str());
        return false;
    }
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);

    for (OGRLayer* layer : ds->GetLayers()) {
        const std::string name = layer->GetName();
        if (!o.layers.empty() && o.layers.count(name) == 0) {
            continue;
        }
        const int type = o.layerTypes.count(name) ? o.layerTypes[name] : o.defaultType;
        std::unique_ptr<OGRCoordinateTransformation> toWgs84;
        if (const OGRSpatialReference* srs = layer->GetSpatialRef(); srs != nullptr && !srs->IsSame(&wgs84)) {
            OGRSpatialReference sourceSrs(*srs);
            sourceSrs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            toWgs84.reset(OGRCreateCoordinateTransformation(&sourceSrs, &wgs84));
        }
        if (o.bounds && !toWgs84) {
            layer->SetSpatialFilterRect(o.bounds->west, o.bounds->south, o.bounds->east, o.bounds->north);
        }
        const std::size_t before = lines.size();
        long long vertices = 0;
        for (auto& feature : *layer) {
            OGRGeometry* g = feature->GetGeometryRef();
            if (g == nullptr) {
                continue;
            }
            if (toWgs84 && g->transform(toWgs84.get()) != OGRERR_NONE) {
                continue;
            }
            Collect(g, type, lines, skippedPoints);
        }
        for (std::size_t i = before; i < lines.size(); ++i) {
            vertices += static_cast<long long>(lines[i].vertices.size());
        }
        std::printf("layer %s: type %d, %zu lines, %lld points\n", name.c_str(), type, lines.size() - before, vertices);
    }
    return true;
}

} // namespace kvtool::gdal
