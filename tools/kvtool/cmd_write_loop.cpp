// kvtool write-loop: one of the program's file write paths, repeated, for the crash-safety
// harness that kills it at random moments. Rewrites alternate between two versions of their files
// (iteration i writes version i % 2); appends add record or line i (repeating after 1,000). "ready" is printed once the
// program state is built, just before the first write.

#include "Command.h"

#include "ais/AisDatabase.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "charts/WaypointFiles.h"
#include "core/Config.h"
#include "navigation/TrackLog.h"
#include "platform/fake/Fakes.h"
#include "raster/ImageReference.h"
#include "routes/Routes.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using Step = std::function<bool(long i)>;

struct Program {
    kv::ProgramState state;
    kv::FakePlatform fakes;
};

// A small chart: a closed line, a pen-up, a second line; version 1 moves one point and the view.
void ChartVersion(kv::ProgramState& s, int version)
{
    kv::ChartStore& chart = s.chart;
    chart.clear();
    const double shift = version * 0.01;
    const kv::ChartPoint points[] = { kv::ChartPoint::make(50.70, 1.30, 0),
        kv::ChartPoint::make(50.71 + shift, 1.31, 0), kv::ChartPoint::make(50.72, 1.29, 0), kv::ChartPoint::penUp(),
        kv::ChartPoint::make(50.60, 1.20, 2), kv::ChartPoint::make(50.61, 1.21, 2) };
    int n = 0;
    for (const auto& p : points) {
        chart.setPoint(++n, p);
    }
    chart.setCount(n);
    s.chartGeometry.LastViewLat = 50.7 + shift;
    s.chartGeometry.LastViewLong = 1.3;
    s.chartGeometry.LastViewZoom = 0.04;
    s.waypoints.clear();
    s.waypoints.push({ kv::WaypointNameField("Buoy one", 3, 1), 50.705 + shift, 1.305 });
    s.waypoints.push({ kv::WaypointNameField("Wreck", 7), 50.65, 1.25 });
}

void RouteVersion(kv::ProgramState& s, int version)
{
    s.route.clear();
    for (int k = 1; k <= 5 + version; ++k) {
        s.route.push({ kv::DefaultRouteName(k), 50.0 + k * 0.1, 1.0 + version * 0.05 });
    }
    s.routeProgress.RouteLength = static_cast<int>(s.route.count());
}

// Builds the step of one write path working in folder (which ends in "/").
Step MakeStep(const std::string& kind, const std::string& folder, Program& p)
{
    kv::ProgramState& s = p.state;
    kv::Platform& platform = p.fakes.platform;
    if (kind == "config") {
        kv::ApplyConfigDefaults(s.fixInfo, s.chartRef, s.folders, s.settings);
        return [&s, folder](long i) {
            s.fixInfo.OwnLat = 50.0 + static_cast<double>(i % 2);
            s.settings.RouteName = i % 2 == 0 ? "even" : "odd";
            return kv::WriteConfig(folder + kv::kConfigFileName, s.fixInfo, s.chartRef, s.folders, s.settings);
        };
    }
    if (kind == "chart") {
        auto hooks = std::make_shared<kv::ChartViewHooks>();
        auto files = std::make_shared<kv::ChartFiles>(s, platform, *hooks);
        return [&s, files, hooks, folder](long i) {
            ChartVersion(s, static_cast<int>(i % 2));
            files->SaveChart(folder + "harbour.cht");
            return true;
        };
    }
    if (kind == "waypoints") {
        return [&s, folder](long i) {
            ChartVersion(s, static_cast<int>(i % 2));
            return kv::WriteWaypointFile(folder + "harbour.wpt", kv::PositionLayout::Wpt, s.waypoints);
        };
    }
    if (kind == "route") {
        auto hooks = std::make_shared<kv::RouteHooks>();
        auto editor = std::make_shared<kv::RouteEditor>(s.route, s.routeProgress, s.routeEdit, s.fixInfo, s.chartRef,
            s.waypoints, s.settings, s.settings.fix, s.folders, s.display, p.fakes.prompter, *hooks);
        return [&s, editor, hooks, folder](long i) {
            RouteVersion(s, static_cast<int>(i % 2));
            return editor->SaveRouteAs1Click(folder + "passage.rte");
        };
    }
    if (kind == "tracklog") {
        auto logs = std::make_shared<kv::TrackLogs>(s, platform);
        return [&s, logs, folder](long i) {
            // The fix of version 1 is one record more than version 0.
            s.quickLog.clear();
            for (int k = 0; k < 5 + static_cast<int>(i % 2); ++k) {
                s.quickLog.push({ 50.7 + k * 0.001, 1.3 - k * 0.001, 600.0 + k });
            }
            return logs->WriteLogFile(folder + "08-12-26.log");
        };
    }
    if (kind == "aisdb") {
        return [folder](long i) {
            // Records repeat every 1,000 appends, so that a reference run of 1,000 holds them all.
            const long n = i % 1000;
            kv::TAISTarget vessel = kv::ZeroTarget();
            vessel.MMSI = 235000000u + static_cast<std::uint32_t>(n);
            vessel.IMO = static_cast<std::uint32_t>(9000000 + n);
            vessel.VesselName.set("VESSEL " + std::to_string(n));
            return kv::AppendAisDatabaseRecord(folder + kv::kAisDatabaseName, kv::AisDatabaseRecord(vessel));
        };
    }
    if (kind == "textlog") {
        s.settings.fix.KeepTextLog = true;
        s.folders.LogDir = folder;
        s.textLog.LogNameBase = "08-12-26";
        s.settings.TextLogFormat = kv::kTextLogFormat;
        auto logs = std::make_shared<kv::TrackLogs>(s, platform);
        return [&s, logs](long i) {
            // Lines repeat every 1,000 appends, as the records above.
            s.textLog.TextLogFixCount = static_cast<std::uint16_t>(i % 1000);
            s.textLog.EventNumber = 0;
            s.fixInfo.OwnLat = 50.0 + static_cast<double>(i % 1000) * 0.001;
            logs->WriteTextLogLine(i % 7 == 0);
            return true;
        };
    }
    if (kind == "ref") {
        return [folder](long i) {
            // The reference of a harbour plan; version 1 moves the south-east corner and the offsets.
            kv::raster::ImageReference ref;
            ref.height = 384;
            ref.width = 512;
            ref.nw_lat = 50.90;
            ref.nw_lon = 1.45;
            ref.se_lat = 50.80 - static_cast<double>(i % 2) * 0.01;
            ref.se_lon = 1.30;
            ref.lat_offset = static_cast<int>(i % 2) * 125;
            ref.lon_offset = -static_cast<int>(i % 2) * 250;
            return kv::raster::WriteRefFile(folder + "plan.ref", ref);
        };
    }
    return {};
}

int RunWriteLoop(const kvtool::Args& args)
{
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr,
            "usage: kvtool write-loop config|chart|waypoints|route|tracklog|aisdb|textlog|ref FOLDER [COUNT]\n");
        return 2;
    }
    std::string folder = args[1];
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    const long count = args.size() == 3 ? std::strtol(args[2].c_str(), nullptr, 10) : 0;
    auto program = std::make_unique<Program>();
    const Step step = MakeStep(args[0], folder, *program);
    if (!step) {
        std::fprintf(stderr, "kvtool write-loop: no write path named %s\n", args[0].c_str());
        return 2;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (long i = 0; count == 0 || i < count; ++i) {
        const bool written = step(i);
        const auto& messages = program->fakes.prompter.messages;
        if (!written || !messages.empty()) {
            // What the program would have shown, then which write it was.
            for (const auto& m : messages) {
                std::fprintf(stderr, "kvtool write-loop: %s: %s\n", m.kind.c_str(), m.text.c_str());
            }
            std::fprintf(stderr, "kvtool write-loop: write %ld of %s failed\n", i, args[0].c_str());
            return 1;
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "write-loop",
    "KIND FOLDER [COUNT]: repeat one file write path (config, chart, waypoints, route, tracklog, aisdb, textlog, ref) "
    "COUNT times or until killed",
    &RunWriteLoop, true } };

} // namespace
