#pragma once
// GPX exchange from the menus: importing a route or a track (Routes menu), chart waypoints
// (Charts menu), and exporting the route, the chart waypoints and a day's track log. The files
// made from an import are new files of their own: nothing the program already keeps is replaced.

#include "routes/GpxImport.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class MainController;

inline constexpr const char* kGpxNothingToImport = "No route or track in the GPX file";
inline constexpr const char* kGpxNoWaypoints = "No waypoints in the GPX file";
inline constexpr const char* kGpxOpenChartFirst
    = "Open a chart first: GPX waypoints become waypoints of the open chart";
inline constexpr const char* kGpxNoRoute = "There is no route to export";
inline constexpr const char* kGpxNoChartWaypoints = "The chart has no waypoints to export";
inline constexpr const char* kGpxWriteError = "Error writing GPX file!";

// "name.ext" in folder, or "name-2.ext", "name-3.ext", ... : the first that does not exist yet.
std::string FreeFileName(const std::string& folder, const std::string& name, const std::string& extension);
// A file name made of a GPX name: letters, digits, "-", "_" and "." kept, anything else a "_";
// `fallback` when nothing is left.
std::string FileNameOf(const std::string& gpxName, const std::string& fallback);
// A day's track log is named by its date: an imported track takes another name.
std::string ImportedTrackName(const std::string& gpxName, const std::string& gpxFile);

// "Route NAME (n points)" and "Track NAME (n points)", routes first: what the user chooses from.
std::vector<std::string> GpxChoices(const GpxData& data);

class GpxCommands {
public:
    // Picks one entry of the list (index), or nothing when the user cancels.
    using Chooser = std::function<std::optional<std::size_t>(const std::vector<std::string>& choices)>;

    explicit GpxCommands(MainController& controller)
        : c_(controller)
    {
    }

    // Routes, "Import GPX...": a route becomes a route file in the routes folder, opened as the
    // route; a track a track log of its own in the log folder, opened as a log set. When the file
    // holds more than one of them, the user chooses.
    void ImportGpx1Click(const std::string& path, const Chooser& choose);
    // Charts, "Import GPX Waypoints...": added to the open chart's waypoints (600 at most) and
    // its waypoint database written.
    void ImportGpxWaypoints1Click(const std::string& path);
    // Routes, "Export GPX...", Charts, "Export GPX Waypoints...", File, "Export Log as GPX...".
    bool ExportGpx1Click(const std::string& path);
    bool ExportGpxWaypoints1Click(const std::string& path);
    bool ExportLogGpx1Click(const std::string& logPath, const std::string& path);

private:
    void Skipped(std::size_t count);
    bool Write(const std::string& path, const GpxData& data);
    MainController& c_;
};

} // namespace kv
