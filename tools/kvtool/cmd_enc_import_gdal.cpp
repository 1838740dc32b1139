// kvtool enc-import: official vector charts (S-57 ENC cells, read by GDAL's S57 driver with their
// updates applied) into a chart portfolio: tiles of lines, their waypoint databases with the aids
// to navigation and the soundings, and the areas files the views fill land and depths from.

#include "Command.h"

#include "charts/ChartIndex.h"
#include "charts/EncChart.h"
#include "core/Format.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Options {
    std::vector<std::string> cells;
    std::string outDir;
    kv::EncImportOptions import;
};

void Usage()
{
    std::fprintf(stderr,
        "usage: kvtool enc-import CELL.000 [CELL.000 ...] OUTDIR [options]\n"
        "  --name PREFIX         tiles PREFIX-A1 ..., overview PREFIXPortfolio (default: the first cell's name)\n"
        "  --safety-depth M      depth of the safety contour and of the water shading (default 5)\n"
        "  --max-points N        records one chart may hold, pen-ups included (default 10800)\n"
        "  --tolerance-px P      simplification in pixels at each chart's full-chart zoom (default 0.5)\n");
}

bool ParseOptions(const kvtool::Args& args, Options& o)
{
    std::vector<std::string> positional;
    bool named = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--name" && hasValue) {
            o.import.prefix = args[++i];
            named = true;
        } else if (a == "--safety-depth" && hasValue) {
            const auto v = kv::ParseReal(args[++i]);
            if (!v || !(*v >= 0.0) || *v > 12000.0) {
                return false;
            }
            o.import.safetyDepth = *v;
        } else if (a == "--max-points" && hasValue) {
            const auto v = kv::ParseInt(args[++i]);
            if (!v || *v < 2 || *v > static_cast<long long>(kv::kChartCapacity)) {
                return false;
            }
            o.import.portfolio.maxRecords = *v;
        } else if (a == "--tolerance-px" && hasValue) {
            const auto v = kv::ParseReal(args[++i]);
            if (!v || !(*v >= 0.0)) {
                return false;
            }
            o.import.portfolio.tolerancePx = *v;
        } else if (a.rfind("--", 0) == 0) {
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 2) {
        return false;
    }
    o.outDir = positional.back();
    positional.pop_back();
    o.cells = positional;
    if (!named) {
        o.import.prefix = fs::path(o.cells.front()).stem().string();
    }
    return true;
}

bool UsablePrefix(const std::string& prefix)
{
    if (prefix.empty() || prefix.size() + 9 > 33) { // 9: "Portfolio"
        return false;
    }
    return std::none_of(prefix.begin(), prefix.end(),
        [](char c) { return c == '.' || c == '/' || c == '\\' || static_cast<unsigned char>(c) < 32; });
}

// The update files beside a base cell must run 1, 2, 3 ... without a gap: GDAL applies them in
// sequence and silently stops at the first one missing, which would give an out-of-date chart.
// The problem in words, or "" when the sequence is whole.
std::string UpdateSequenceProblem(const std::string& cell)
{
    const fs::path base(cell);
    const std::string stem = base.stem().string();
    std::set<int> numbers;
    std::error_code ec;
    const fs::path folder = base.has_parent_path() ? base.parent_path() : fs::path(".");
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const fs::path& p = entry.path();
        const std::string ext = p.extension().string();
        if (p.stem().string() != stem || ext.size() != 4 || ext[0] != '.'
            || !std::all_of(
                ext.begin() + 1, ext.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
            continue;
        }
        const int n = std::stoi(ext.substr(1));
        if (n > 0) {
            numbers.insert(n);
        }
    }
    int expected = 1;
    for (int n : numbers) {
        if (n != expected) {
            char missing[16];
            std::snprintf(missing, sizeof missing, "%03d", expected);
            char present[16];
            std::snprintf(present, sizeof present, "%03d", n);
            return "update " + stem + "." + missing + " is missing (" + stem + "." + present + " is there)";
        }
        ++expected;
    }
    return "";
}

// Attribute values as text; lists comma-separated.
std::string FieldText(OGRFeature& f, int i)
{
    const OGRFieldDefn* d = f.GetFieldDefnRef(i);
    std::string s;
    int n = 0;
    switch (d->GetType()) {
    case OFTIntegerList: {
        const int* v = f.GetFieldAsIntegerList(i, &n);
        for (int k = 0; k < n; ++k) {
            s += (k ? "," : "") + std::to_string(v[k]);
        }
        return s;
    }
    case OFTStringList: {
        char** v = f.GetFieldAsStringList(i);
        for (int k = 0; v != nullptr && v[k] != nullptr; ++k) {
            s += (k ? "," : "") + std::string(v[k]);
        }
        return s;
    }
    default:
        return f.GetFieldAsString(i);
    }
}

const std::set<std::string>& RecordFields()
{
    static const std::set<std::string> fields { "RCID", "PRIM", "GRUP", "OBJL", "RVER", "AGEN", "FIDN", "FIDS", "LNAM",
        "LNAM_REFS", "FFPT_RIND" };
    return fields;
}

void AddGeometry(const OGRGeometry* g, kv::EncFeature& out)
{
    if (g == nullptr) {
        return;
    }
    auto ring = [](const OGRSimpleCurve* c) {
        std::vector<kv::TilerPoint> pts;
        pts.reserve(static_cast<std::size_t>(c->getNumPoints()));
        for (int i = 0; i < c->getNumPoints(); ++i) {
            pts.push_back({ c->getY(i), -c->getX(i) }); // charts keep longitude west positive
        }
        return pts;
    };
    switch (wkbFlatten(g->getGeometryType())) {
    case wkbPoint: {
        const auto* p = g->toPoint();
        out.points.push_back({ p->getY(), -p->getX() });
        if (out.objectClass == "SOUNDG") {
            out.depths.push_back(p->getZ());
        }
        break;
    }
    case wkbLineString:
        out.lines.push_back(ring(g->toLineString()));
        break;
    case wkbPolygon:
        for (const OGRLinearRing* r : *g->toPolygon()) {
            out.rings.push_back(ring(r));
        }
        break;
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
        for (const OGRGeometry* part : *g->toGeometryCollection()) {
            AddGeometry(part, out);
        }
        break;
    default:
        break;
    }
}

struct CellRead {
    std::vector<kv::EncFeature> features;
    kv::EncCellInfo info;
};

// The error in words, or "" when the cell was read.
std::string ReadCell(const std::string& path, CellRead& out)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        return "cannot be read (not a file)";
    }
    const char* drivers[] = { "S57", nullptr };
    const char* openOptions[]
        = { "UPDATES=APPLY", "SPLIT_MULTIPOINT=OFF", "RETURN_PRIMITIVES=OFF", "LNAM_REFS=OFF", nullptr };
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, openOptions));
    CPLPopErrorHandler();
    if (!ds) {
        return "is not an S-57 file";
    }
    for (OGRLayer* layer : ds->GetLayers()) {
        const std::string name = layer->GetName();
        if (name == "DSID") {
            layer->ResetReading();
            if (OGRFeatureUniquePtr f { layer->GetNextFeature() }) {
                auto text = [&](const char* field) {
                    const int i = f->GetFieldIndex(field);
                    return i >= 0 && f->IsFieldSetAndNotNull(i) ? std::string(f->GetFieldAsString(i)) : std::string();
                };
                out.info.name = text("DSID_DSNM");
                out.info.edition = text("DSID_EDTN");
                out.info.update = text("DSID_UPDN");
                out.info.updateDate = text("DSID_UADT");
                out.info.issueDate = text("DSID_ISDT");
                out.info.comment = text("DSID_COMT");
                out.info.scale = kv::ParseInt(text("DSPM_CSCL")).value_or(0);
            }
            continue;
        }
        for (auto& feature : *layer) {
            kv::EncFeature f;
            f.objectClass = name;
            for (int i = 0; i < feature->GetFieldCount(); ++i) {
                const std::string field = feature->GetFieldDefnRef(i)->GetNameRef();
                if (RecordFields().count(field) == 0 && feature->IsFieldSetAndNotNull(i)) {
                    f.attributes[field] = FieldText(*feature, i);
                }
            }
            AddGeometry(feature->GetGeometryRef(), f);
            out.features.push_back(std::move(f));
        }
    }
    if (out.info.name.empty()) {
        out.info.name = fs::path(path).filename().string();
    }
    return "";
}

int RunEncImport(const kvtool::Args& args)
{
    Options o;
    if (!ParseOptions(args, o)) {
        Usage();
        return 2;
    }
    if (!UsablePrefix(o.import.prefix)) {
        std::fprintf(stderr,
            "kvtool enc-import: the name must be 1 to 24 characters without '.', '/' or '\\' "
            "(give one with --name)\n");
        return 2;
    }
    GDALAllRegister();
    std::vector<kv::EncFeature> features;
    std::vector<kv::EncCellInfo> cells;
    for (const std::string& cell : o.cells) {
        CellRead read;
        std::string problem = ReadCell(cell, read);
        if (problem.empty()) {
            problem = UpdateSequenceProblem(cell);
        }
        if (problem.empty() && read.features.empty()) {
            problem = "holds no features";
        }
        if (!problem.empty()) {
            std::fprintf(stderr, "kvtool enc-import: %s %s; nothing written\n", cell.c_str(), problem.c_str());
            return 1;
        }
        std::printf("cell %s: %zu features, scale 1:%lld, edition %s, update %s\n", read.info.name.c_str(),
            read.features.size(), read.info.scale, read.info.edition.c_str(), read.info.update.c_str());
        features.insert(features.end(), std::make_move_iterator(read.features.begin()),
            std::make_move_iterator(read.features.end()));
        cells.push_back(read.info);
    }
    const kv::EncPortfolio portfolio = kv::BuildEncPortfolio(features, cells, o.import);
    if (!portfolio.error.empty()) {
        std::fprintf(stderr, "kvtool enc-import: %s; nothing written\n", portfolio.error.c_str());
        return 1;
    }
    std::error_code ec;
    fs::create_directories(o.outDir, ec);
    if (!fs::is_directory(o.outDir, ec)) {
        std::fprintf(stderr, "kvtool enc-import: %s is not a folder\n", o.outDir.c_str());
        return 1;
    }
    std::string error;
    if (!kv::WriteEncPortfolio(portfolio, o.outDir, error)) {
        std::fprintf(stderr, "kvtool enc-import: %s\n", error.c_str());
        return 1;
    }
    std::printf("grid %d x %d, %zu tiles; safety depth %s m, safety contour %s\n", portfolio.gridSize,
        portfolio.gridSize, portfolio.tiles.size(), kv::FormatFixed(o.import.safetyDepth, 0, 1).c_str(),
        portfolio.safetyContour ? (kv::FormatFixed(*portfolio.safetyContour, 0, 1) + " m").c_str() : "none");
    for (const kv::EncTile& t : portfolio.tiles) {
        std::printf("%-26s %6lld points %4zu waypoints %4d soundings kept %5d dropped %5lld area points\n",
            t.chart.name.c_str(), kv::PointsOf(t.chart.lines), t.waypoints.size(), t.soundingsKept, t.soundingsDropped,
            kv::PointsOf(t.areas));
    }
    std::printf(
        "%-26s %6lld points\n", portfolio.overview.chart.name.c_str(), kv::PointsOf(portfolio.overview.chart.lines));
    if (portfolio.aidsOutside > 0) {
        std::printf("%d aids to navigation lie in no tile\n", portfolio.aidsOutside);
    }
    for (const std::string& name : kv::ListChartConfigFiles(o.outDir)) {
        const std::string chart = name.substr(0, name.size() - 4);
        if (chart.rfind(o.import.prefix + "-", 0) != 0) {
            continue;
        }
        const bool written = std::any_of(portfolio.tiles.begin(), portfolio.tiles.end(),
            [&](const kv::EncTile& t) { return t.chart.name == chart; });
        if (!written) {
            std::printf(
                "note: %s is not part of this portfolio; remove it or it stays in the chart index\n", name.c_str());
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "enc-import",
    "CELL.000 [CELL.000 ...] OUTDIR [--name PREFIX] [--safety-depth M] [--max-points N] [--tolerance-px P]: "
    "chart portfolio with waypoints and areas from S-57 ENC cells",
    &RunEncImport } };

} // namespace
