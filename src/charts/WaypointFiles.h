#pragma once
// The chart waypoint database: `.wpt` files of fixed columns beside the chart, and the older DOS
// `.wps` layout with narrower minutes. The same line layout serves the route files.

#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "core/Preferences.h"
#include "platform/Prompter.h"

#include <string>

namespace kv {

inline constexpr const char* kWaypointFormatErrors = "Format errors detected in Waypoint database file!";
inline constexpr const char* kErrorWritingWaypoints = "Error writing WP database file!";

// The two column layouts (1-based columns of the minutes fields and their widths).
enum class PositionLayout { Wpt, Dos };

// One line: the name field (padded or cut to 29), hemisphere, degrees, ".", minutes, two spaces,
// hemisphere, degrees, ".", minutes, with the blanks of the number columns (except the
// hundreds of the latitude degrees) replaced by "0".
std::string PositionLine(std::string_view nameField, double lat, double lon, PositionLayout layout);

struct ParsedPositionLine {
    std::string name; // columns 1-29 as they are
    double lat = 0.0;
    double lon = 0.0;
    bool formatError = false;
};
ParsedPositionLine ParsePositionLine(std::string_view line, PositionLayout layout);

// Appends the file's waypoints to the table until it holds 600. False when the file cannot be
// read; formatError tells whether any number did not convert.
bool ReadWaypointFile(const std::string& path, PositionLayout layout, ChartWaypoints& table, bool& formatError);
bool WriteWaypointFile(const std::string& path, PositionLayout layout, const ChartWaypoints& table);

// Where the DOS database of a chart is looked for when there is no `.wpt`: the routes folder
// beside the chart folder (`<parent of the chart folder>routes/`).
std::string DosWaypointFolder(const std::string& chartFolder);

// Read waypoint database: `<chart folder><chart name>.wpt`, else `<chart name>.WPS` (any letter
// case) in the routes folder; nothing and no message when neither exists.
void ReadWaypointDatabase(ChartWaypoints& waypoints, const ChartStore& chart, Prompter& prompter);
// Write waypoint database beside the save dialog's file, and the `.wps` too while DOS format is
// checked. False when a file could not be written (the message has been shown).
bool WriteWaypointDatabase(
    const ChartWaypoints& waypoints, const ChartStore& chart, const Preferences& prefs, Prompter& prompter);
void DOSWPTformatClick(Preferences& prefs);

} // namespace kv
