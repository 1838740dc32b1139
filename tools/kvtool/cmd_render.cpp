// kvtool render: one chart view drawn exactly as the program draws it, written as a PNG.

#include "Command.h"

#include "app/MainController.h"
#include "core/Config.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "raster/ImageReference.h"
#include "views/Render.h"
#include "views/ViewGeometry.h"

#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numbers>

namespace {

constexpr const char* kUsage
    = "usage: kvtool render WORKDIR OUT.png [--chart NAME] [--centre LAT LON] [--zoom Z] [--size WxH]\n"
      "                     [--angle DEG] [--route NAME] [--log FILE.log] [--ais FILE.AIS] [--tides FILE.pos]\n"
      "                     [--ref FILE.ref] [--fill-areas]\n"
      "  positions in decimal degrees, longitude WEST positive; --angle is the viewing angle of the preferences (the\n"
      "  direction shown up, 0 north up); OUT.jpg writes a JPEG, OUT.bmp a bitmap; --ref also writes\n"
      "  the raster image viewer's reference file for the picture (north up only); --fill-areas fills\n"
      "  land and depth areas from the chart's .areas file (the FillAreas view option)\n";

struct Options {
    std::string workDir;
    std::string out;
    std::string chart;
    std::optional<double> lat, lon, zoom;
    int width = 1024;
    int height = 768;
    double angle = 0.0;
    std::string route, log, ais, tides;
    std::string ref;
    bool fillAreas = false;
};

bool Number(const std::string& text, double& value)
{
    const auto v = kv::ParseReal(text);
    if (!v) {
        std::fprintf(stderr, "kvtool render: not a number: %s\n", text.c_str());
        return false;
    }
    value = *v;
    return true;
}

std::optional<Options> ParseOptions(const kvtool::Args& args)
{
    if (args.size() < 2) {
        return std::nullopt;
    }
    Options o;
    o.workDir = kv::WithTrailingSeparator(args[0]);
    o.out = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto next = [&](std::string& value) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "kvtool render: %s needs a value\n", a.c_str());
                return false;
            }
            value = args[++i];
            return true;
        };
        std::string v1;
        std::string v2;
        double d1 = 0;
        double d2 = 0;
        if (a == "--fill-areas") {
            o.fillAreas = true;
            continue;
        }
        if (a == "--chart") {
            if (!next(o.chart)) {
                return std::nullopt;
            }
        } else if (a == "--ref") {
            if (!next(o.ref)) {
                return std::nullopt;
            }
        } else if (a == "--centre" || a == "--center") {
            if (!next(v1) || !next(v2) || !Number(v1, d1) || !Number(v2, d2)) {
                return std::nullopt;
            }
            o.lat = d1;
            o.lon = d2;
        } else if (a == "--zoom") {
            if (!next(v1) || !Number(v1, d1)) {
                return std::nullopt;
            }
            if (!(d1 >= kv::kMinZoom && d1 <= kv::kMaxZoom)) {
                std::fprintf(stderr, "kvtool render: the zoom must lie between 0.03125 and 12000\n");
                return std::nullopt;
            }
            o.zoom = d1;
        } else if (a == "--size") {
            if (!next(v1)) {
                return std::nullopt;
            }
            int w = 0;
            int h = 0;
            if (std::sscanf(v1.c_str(), "%dx%d", &w, &h) != 2 || w < 16 || h < 16 || w > 8192 || h > 8192) {
                std::fprintf(stderr, "kvtool render: --size wants WxH between 16 and 8192\n");
                return std::nullopt;
            }
            o.width = w;
            o.height = h;
        } else if (a == "--angle") {
            if (!next(v1) || !Number(v1, o.angle)) {
                return std::nullopt;
            }
        } else if (a == "--route") {
            if (!next(o.route)) {
                return std::nullopt;
            }
        } else if (a == "--log") {
            if (!next(o.log)) {
                return std::nullopt;
            }
        } else if (a == "--ais") {
            if (!next(o.ais)) {
                return std::nullopt;
            }
        } else if (a == "--tides") {
            if (!next(o.tides)) {
                return std::nullopt;
            }
        } else {
            std::fprintf(stderr, "kvtool render: unknown option %s\n", a.c_str());
            return std::nullopt;
        }
    }
    return o;
}

// The track log image as the program reads it; a corrupt count leaves the quick log empty.
bool ReadTrackLog(const std::string& path, kv::QuickLog& log)
{
    const auto bytes = kv::ReadWholeFile(path);
    if (!bytes) {
        return false;
    }
    const kv::TrackLogImage image = kv::DecodeTrackLog(*bytes);
    if (!image.count) {
        return false;
    }
    log.clear();
    for (std::size_t k = 0; k < *image.count; ++k) {
        log.push(image.records[k]);
    }
    return true;
}

// A named file of the working folder: a path as given when it exists, else folder + name + ext.
std::string Resolve(
    const std::string& workDir, const std::string& folder, const std::string& name, const std::string& extension)
{
    if (kv::FileExists(name)) {
        return name;
    }
    std::string file = name;
    if (kv::ExtensionOf(file).empty()) {
        file += extension;
    }
    return workDir + folder + file;
}

int RunRender(const kvtool::Args& args)
{
    const auto parsed = ParseOptions(args);
    if (!parsed) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const Options& o = *parsed;
    // The program's own controllers open the files, as their menu commands do in kvfree: a new
    // view, then the chart into it. The start-up itself is not run:
    // it would open the day's logs in the working folder (a drawing writes nothing there) and
    // load the configured chart, which --chart replaces.
    auto state = std::make_unique<kv::ProgramState>();
    kv::FakePlatform fakes;
    kv::MainWindowHooks noWindow;
    kv::ReadConfig(o.workDir + kv::kConfigFileName, state->fixInfo, state->chartRef, state->folders, state->settings);
    state->folders.AppDir = o.workDir;
    state->extra.FillAreas = o.fillAreas; // the view option of kvfree.ini: areas from <chart>.areas
    auto program = std::make_unique<kv::MainController>(*state, fakes.platform, noWindow);

    const kv::DrawingSurface surface = kv::SurfaceForScreen(o.width, o.height);
    state->chartGeometry.SurfaceWidth = surface.width;
    state->chartGeometry.SurfaceHeight = surface.height;
    kv::ViewSet& views = program->views();
    // The angle the views turn by is the one the preferences set ("Viewing Angle", the direction
    // shown up), kept negated in radians; every drawing reads it from there.
    state->headUp.ViewAngle = -o.angle * std::numbers::pi / 180.0;
    state->headUp.ViewAngleCos = std::cos(state->headUp.ViewAngle);
    state->headUp.ViewAngleSin = std::sin(state->headUp.ViewAngle);

    const std::string chartName = o.chart.empty() ? state->folders.ChartName : o.chart;
    const std::string chartPath = Resolve(o.workDir, "charts/", chartName, ".cht");
    program->FileNewItemClick();
    program->charts().OpenChart(chartPath);
    for (const auto& m : fakes.prompter.messages) {
        if (m.kind != "information") {
            std::fprintf(stderr, "kvtool render: %s\n", m.text.c_str());
        }
    }
    if (state->chart.ChartName.empty() || views.count() == 0) {
        std::fprintf(stderr, "kvtool render: cannot open chart %s\n", chartPath.c_str());
        return 1;
    }

    if (!o.route.empty()) {
        const std::string path = Resolve(o.workDir, "routes/", o.route, ".rte");
        if (!program->routes().ReadRouteFile(path)) {
            std::fprintf(stderr, "kvtool render: cannot read route %s\n", path.c_str());
            return 1;
        }
        if (state->routeProgress.ActiveWaypoint == 0 && !state->route.empty()) {
            state->routeProgress.ActiveWaypoint = 1;
        }
    }
    if (!o.tides.empty()) {
        const std::string path = Resolve(o.workDir, "tides/", o.tides, ".pos");
        if (!program->tides().LoadAtlas(path)) {
            std::fprintf(stderr, "kvtool render: cannot read tidal atlas %s\n", path.c_str());
            return 1;
        }
    }
    if (!o.log.empty()) {
        const std::string path = Resolve(o.workDir, "logs/", o.log, ".log");
        if (!ReadTrackLog(path, state->quickLog)) {
            std::fprintf(stderr, "kvtool render: cannot read track log %s\n", path.c_str());
            return 1;
        }
        state->cycleState.LogEmpty = state->quickLog.empty();
    }
    if (!o.ais.empty()) {
        const std::string path = Resolve(o.workDir, "logs/", o.ais, ".AIS");
        const auto lines = kv::ReadTextLines(path);
        if (!lines) {
            std::fprintf(stderr, "kvtool render: cannot read AIS log %s\n", path.c_str());
            return 1;
        }
        // Draw what the log holds, without touching the vessel database of the working folder.
        state->ais.UpdateAISDatabase = false;
        state->ais.SearchAISDatabase = false;
        for (const auto& line : *lines) {
            if (line.rfind("!AIVDM", 0) == 0) {
                program->ais().DecodeAndUpdate(line);
            }
        }
    }

    kv::ChartView& view = views.view(0);
    view.ais.ShowAIS = !o.ais.empty();
    if (o.lat) {
        view.centreLat = *o.lat;
        view.centreLong = *o.lon;
    } else if (const auto vessel = kv::LastTrackPosition(kv::RenderRecords(*state))) {
        // A view follows the vessel from the drawing after a fix; a render is one drawing, so it
        // starts where the program's next drawing would be: on the newest track fix.
        view.centreLat = vessel->lat;
        view.centreLong = vessel->lon;
    }
    if (o.zoom) {
        view.zoom = *o.zoom;
    }
    views.CommonTail(view);
    const std::string ext = kv::ToLowerAscii(kv::ExtensionOf(o.out));
    const bool jpeg = ext == ".jpg" || ext == ".jpeg";
    const bool bmp = ext == ".bmp";
    // A bitmap gets a palette of 256 colours: a chart has few, and the file is a third the size.
    const QImage picture
        = bmp ? view.bitmap.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither) : view.bitmap;
    if (!picture.save(QString::fromStdString(o.out), jpeg ? "JPEG" : bmp ? "BMP" : "PNG", jpeg ? 85 : -1)) {
        std::fprintf(stderr, "kvtool render: cannot write %s\n", o.out.c_str());
        return 1;
    }
    if (!o.ref.empty()) {
        if (o.angle != 0.0) {
            std::fprintf(stderr, "kvtool render: --ref needs a north-up picture (no --angle)\n");
            return 1;
        }
        // The positions of the picture's outer corners, as the viewer maps them.
        const int w = view.bitmap.width();
        const int h = view.bitmap.height();
        const kv::LatLong nw = kv::PixelToLatLong(view.projection, 0, 0);
        const kv::LatLong se = kv::PixelToLatLong(view.projection, w, h);
        kv::raster::ImageReference ref;
        ref.height = h;
        ref.width = w;
        ref.nw_lat = nw.lat;
        ref.nw_lon = nw.lon;
        ref.se_lat = se.lat;
        ref.se_lon = se.lon;
        if (!kv::raster::WriteRefFile(o.ref, ref)) {
            std::fprintf(stderr, "kvtool render: cannot write %s\n", o.ref.c_str());
            return 1;
        }
    }
    std::printf("%s: %dx%d, chart %s (%d points, %zu waypoints), zoom %g, route %zu, track %zu, targets %d\n",
        o.out.c_str(), view.bitmap.width(), view.bitmap.height(), state->chart.ChartName.c_str(), state->chart.count(),
        state->waypoints.count(), view.zoom, state->route.count(), state->quickLog.count(), state->ais.targets.count());
    return 0;
}

const kvtool::CommandRegistration reg { { "render",
    "WORKDIR OUT.png [--chart NAME] [--centre LAT LON] [--zoom Z] [--size WxH] [--angle DEG] "
    "[--route NAME] [--log FILE.log] [--ais FILE.AIS] [--tides FILE.pos]: draw one chart view",
    &RunRender } };

} // namespace
