#include "charts/WaypointFiles.h"

#include "charts/ChartFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <cmath>

namespace kv {

namespace {

struct Columns {
    std::size_t minutesWidth;
    int decimals;
    std::size_t latMinutes; // column of the latitude minutes
    std::size_t lonHemi; // column of the longitude hemisphere
    std::size_t zeroLatEnd; // last column zero-filled after the latitude hundreds
};

Columns ColumnsOf(PositionLayout layout)
{
    if (layout == PositionLayout::Dos) {
        return { 5, 2, 35, 42, 39 };
    }
    return { 8, 5, 35, 45, 42 };
}

// Whole degrees and minutes of |value|; values that are not numbers are written as 0.
void DegreesAndMinutes(double value, long long& degrees, double& minutes)
{
    double magnitude = std::isfinite(value) ? std::fabs(value) : 0.0;
    if (magnitude > 999.0) {
        magnitude = 999.0; // three columns of degrees
    }
    degrees = static_cast<long long>(std::trunc(magnitude));
    minutes = 60.0 * (magnitude - static_cast<double>(degrees));
}

} // namespace

std::string PositionLine(std::string_view nameField, double lat, double lon, PositionLayout layout)
{
    const Columns c = ColumnsOf(layout);
    std::string line = PadRight(nameField.substr(0, kWaypointNameLength), kWaypointNameLength);
    long long degrees = 0;
    double minutes = 0.0;
    DegreesAndMinutes(lat, degrees, minutes);
    line += lat < 0 ? 'S' : 'N';
    line += FormatInt(degrees, 3) + "." + FormatFixed(minutes, static_cast<int>(c.minutesWidth), c.decimals);
    line += "  ";
    DegreesAndMinutes(lon, degrees, minutes);
    line += lon < 0 ? 'E' : 'W';
    line += FormatInt(degrees, 3) + "." + FormatFixed(minutes, static_cast<int>(c.minutesWidth), c.decimals);
    // Number columns are zero-filled, all but the hundreds of the latitude degrees (column 31).
    for (std::size_t col = 32; col <= c.zeroLatEnd && col <= line.size(); ++col) {
        if (line[col - 1] == ' ') {
            line[col - 1] = '0';
        }
    }
    for (std::size_t col = c.lonHemi + 1; col <= line.size(); ++col) {
        if (line[col - 1] == ' ') {
            line[col - 1] = '0';
        }
    }
    return line;
}

ParsedPositionLine ParsePositionLine(std::string_view line, PositionLayout layout)
{
    const Columns c = ColumnsOf(layout);
    FieldReader f(line);
    ParsedPositionLine out;
    // A short or blank line keeps its place in the table; its name field is padded to the full
    // width, so the symbol and parameter columns can always be read.
    out.name = PadRight(f.text(1, kWaypointNameLength), kWaypointNameLength);
    double lat = f.real(31, 3) + f.real(c.latMinutes, c.minutesWidth) / 60.0;
    if (f.text(30, 1) == "S") {
        lat = -lat;
    }
    double lon = f.real(c.lonHemi + 1, 3) + f.real(c.lonHemi + 5, c.minutesWidth) / 60.0;
    if (f.text(c.lonHemi, 1) == "E") {
        lon = -lon;
    }
    out.lat = lat;
    out.lon = lon;
    out.formatError = f.formatError();
    return out;
}

bool ReadWaypointFile(const std::string& path, PositionLayout layout, ChartWaypoints& table, bool& formatError)
{
    const auto lines = ReadTextLines(path);
    if (!lines) {
        return false;
    }
    for (const auto& line : *lines) {
        if (table.full()) {
            break;
        }
        const ParsedPositionLine parsed = ParsePositionLine(line, layout);
        formatError = formatError || parsed.formatError;
        ChartWaypoint w;
        w.name = parsed.name;
        w.lat = parsed.lat;
        w.lon = parsed.lon;
        table.push(w);
    }
    return true;
}

bool WriteWaypointFile(const std::string& path, PositionLayout layout, const ChartWaypoints& table)
{
    std::vector<std::string> lines;
    lines.reserve(table.count());
    for (const auto& w : table) {
        lines.push_back(PositionLine(w.name, w.lat, w.lon, layout));
    }
    return WriteTextLinesAtomic(path, lines);
}

std::string DosWaypointFolder(const std::string& chartFolder)
{
    std::string folder = WithTrailingSeparator(chartFolder);
    if (!folder.empty()) {
        folder.pop_back();
    }
    return FolderOf(folder) + "routes/";
}

void ReadWaypointDatabase(ChartWaypoints& waypoints, const ChartStore& chart, Prompter& prompter)
{
    const std::string folder = chart.ChartFolder.str();
    const std::string name = chart.ChartName.str();
    bool formatError = false;
    bool read = ReadWaypointFile(folder + name + ".wpt", PositionLayout::Wpt, waypoints, formatError);
    if (!read) {
        const auto dos = FindFileCaseInsensitive(DosWaypointFolder(folder), name + ".WPS");
        read = dos && ReadWaypointFile(*dos, PositionLayout::Dos, waypoints, formatError);
    }
    if (read && formatError) {
        prompter.warning(kWaypointFormatErrors);
    }
}

bool WriteWaypointDatabase(
    const ChartWaypoints& waypoints, const ChartStore& chart, const Preferences& prefs, Prompter& prompter)
{
    const std::string saveName = chart.SaveFileName.empty() ? chart.ChartName.str() : chart.SaveFileName;
    std::string folder = FolderOf(saveName);
    if (folder.empty()) {
        folder = chart.ChartFolder.str();
    }
    const std::string base = ChartNameOf(saveName);
    bool ok = true;
    if (base.empty() || !WriteWaypointFile(folder + base + ".wpt", PositionLayout::Wpt, waypoints)) {
        prompter.error(kErrorWritingWaypoints);
        ok = false;
    }
    if (prefs.DOSWPTformat
        && (base.empty() || !WriteWaypointFile(folder + base + ".wps", PositionLayout::Dos, waypoints))) {
        prompter.error(kErrorWritingWaypoints);
        ok = false;
    }
    return ok;
}

void DOSWPTformatClick(Preferences& prefs)
{
    prefs.DOSWPTformat = !prefs.DOSWPTformat;
}

} // namespace kv
