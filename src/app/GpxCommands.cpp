#include "app/GpxCommands.h"

#include "app/MainController.h"
#include "charts/WaypointFiles.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "routes/GpxExchange.h"
#include "routes/GpxExport.h"
#include "routes/Routes.h"

#include <algorithm>

namespace kv {

std::string FreeFileName(const std::string& folder, const std::string& name, const std::string& extension)
{
    std::string path = JoinPath(folder, name + extension);
    for (int n = 2; FileExists(path); ++n) {
        path = JoinPath(folder, name + "-" + std::to_string(n) + extension);
    }
    return path;
}

std::string FileNameOf(const std::string& gpxName, const std::string& fallback)
{
    std::string name;
    for (const char c : gpxName.substr(0, 64)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
            || c == '_' || c == '.';
        name += plain ? c : '_';
    }
    // No hidden files, no "..", no name of underscores only.
    name.erase(0, name.find_first_not_of("._"));
    return name.empty() ? fallback : name;
}

std::string ImportedTrackName(const std::string& gpxName, const std::string& gpxFile)
{
    return FileNameOf(gpxName, FileNameOf(NameWithoutExtension(gpxFile), "gpx")) + "-track";
}

std::vector<std::string> GpxChoices(const GpxData& data)
{
    std::vector<std::string> choices;
    const auto add = [&](const char* kind, const GpxLine& line) {
        choices.push_back(std::string(kind) + (line.name.empty() ? "" : " " + line.name) + " ("
            + std::to_string(line.points.size()) + " points)");
    };
    for (const GpxLine& r : data.routes) {
        add("Route", r);
    }
    for (const GpxLine& t : data.tracks) {
        add("Track", t);
    }
    return choices;
}

void GpxCommands::Skipped(std::size_t count)
{
    if (count > 0) {
        c_.platform().prompter.warning(std::to_string(count) + " GPX points without a valid position were left out");
    }
}

void GpxCommands::ImportGpx1Click(const std::string& path, const Chooser& choose)
{
    if (path.empty()) {
        return;
    }
    const GpxData data = ReadGpxFile(path);
    Prompter& prompter = c_.platform().prompter;
    if (!data.error.empty()) {
        prompter.error(data.error);
        return;
    }
    const std::vector<std::string> choices = GpxChoices(data);
    if (choices.empty()) {
        prompter.information(kGpxNothingToImport);
        return;
    }
    std::size_t chosen = 0;
    if (choices.size() > 1) {
        const auto pick = choose(choices);
        if (!pick || *pick >= choices.size()) {
            return;
        }
        chosen = *pick;
    }
    ProgramState& state = c_.state();
    if (chosen < data.routes.size()) {
        const GpxLine& line = data.routes[chosen];
        const GpxRouteWaypoints route = RouteFromGpx(line);
        if (route.waypoints.empty()) {
            prompter.information(kGpxNothingToImport);
            return;
        }
        std::vector<std::string> lines;
        for (const RouteWaypoint& w : route.waypoints) {
            lines.push_back(RouteLine(w));
        }
        const std::string file = FreeFileName(JoinPath(state.folders.AppDir.str(), "routes/"),
            FileNameOf(line.name, FileNameOf(NameWithoutExtension(path), "gpx")), ".rte");
        if (!WriteTextLinesAtomic(file, lines)) {
            prompter.error(kErrorWritingRoute);
            return;
        }
        c_.routes().Routes1Click(file);
        c_.UpdateMenuItems();
        if (route.dropped > 0) {
            prompter.warning("The GPX route has " + std::to_string(line.points.size()) + " points; a route holds "
                + std::to_string(kRouteCapacity) + ", the rest were left out");
        }
    } else {
        const GpxLine& track = data.tracks[chosen - data.routes.size()];
        const QuickLog log = QuickLogFromGpx(track);
        if (log.empty()) {
            prompter.information(kGpxNothingToImport);
            return;
        }
        const std::string file = FreeFileName(state.folders.LogDir.str(), ImportedTrackName(track.name, path), ".log");
        if (!WriteFileAtomic(file, EncodeTrackLog(log))) {
            prompter.error(kLogWriteError);
            return;
        }
        c_.logs().Logs1Click(file);
        state.display.StatusLine = "Track of " + std::to_string(track.points.size()) + " points shown from "
            + std::to_string(log.count()) + " records in " + file;
        c_.RefreshViews();
        c_.UpdateMenuItems();
    }
    Skipped(data.skipped);
}

void GpxCommands::ImportGpxWaypoints1Click(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    Prompter& prompter = c_.platform().prompter;
    ProgramState& state = c_.state();
    if (state.chart.count() == 0) {
        prompter.warning(kGpxOpenChartFirst);
        return;
    }
    const GpxData data = ReadGpxFile(path);
    if (!data.error.empty()) {
        prompter.error(data.error);
        return;
    }
    if (data.waypoints.empty()) {
        prompter.information(kGpxNoWaypoints);
        Skipped(data.skipped);
        return;
    }
    const std::size_t added = AddGpxWaypoints(data.waypoints, state.waypoints);
    WriteWaypointDatabase(state.waypoints, state.chart, state.prefs, prompter);
    c_.RedrawViews();
    state.display.StatusLine = std::to_string(added) + " GPX waypoints added to the chart";
    if (added < data.waypoints.size()) {
        prompter.warning(std::string(kWaypointDatabaseFull) + " " + std::to_string(data.waypoints.size() - added)
            + " GPX waypoints were not added");
    }
    Skipped(data.skipped);
}

bool GpxCommands::Write(const std::string& path, const GpxData& data)
{
    if (!WriteFileAtomic(path, WriteGpx(data))) {
        c_.platform().prompter.error(kGpxWriteError);
        return false;
    }
    return true;
}

bool GpxCommands::ExportGpx1Click(const std::string& path)
{
    const ProgramState& state = c_.state();
    if (path.empty()) {
        return false;
    }
    if (state.route.empty()) {
        c_.platform().prompter.warning(kGpxNoRoute);
        return false;
    }
    GpxData data;
    data.routes.push_back(
        GpxFromRoute(state.route, state.settings.RouteName.empty() ? "Route" : state.settings.RouteName));
    return Write(path, data);
}

bool GpxCommands::ExportGpxWaypoints1Click(const std::string& path)
{
    const ProgramState& state = c_.state();
    if (path.empty()) {
        return false;
    }
    if (state.waypoints.empty()) {
        c_.platform().prompter.warning(kGpxNoChartWaypoints);
        return false;
    }
    GpxData data;
    data.waypoints = GpxFromChartWaypoints(state.waypoints);
    return Write(path, data);
}

bool GpxCommands::ExportLogGpx1Click(const std::string& logPath, const std::string& path)
{
    if (logPath.empty() || path.empty()) {
        return false;
    }
    const FileReadResult read = ReadRegularFile(logPath, kTrackLogSize);
    const TrackLogImage image = DecodeTrackLog(read.bytes.value_or(std::string()));
    if (!read.bytes || !image.count) {
        c_.platform().prompter.error(kLogReadError);
        return false;
    }
    const std::vector<QuickLogRecord> records(
        image.records.begin(), image.records.begin() + static_cast<std::ptrdiff_t>(*image.count));
    GpxData data;
    data.tracks.push_back(GpxFromTrackLog(records, logPath).track);
    return Write(path, data);
}

} // namespace kv
