#include "routes/Routes.h"

#include "charts/WaypointFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <cmath>

namespace kv {

namespace {
constexpr std::size_t kLabelLength = 24;

std::string Label(const std::string& name)
{
    return name.substr(0, std::min(name.size(), kLabelLength));
}
} // namespace

std::string DefaultRouteName(int index)
{
    const char letter = static_cast<char>(index <= 26 ? 64 + index : 70 + index);
    return std::string(1, letter) + std::string(23, ' ') + "19" + std::string(3, ' ');
}

std::string RouteLine(const RouteWaypoint& waypoint)
{
    return PositionLine(waypoint.name, waypoint.lat, waypoint.lon, PositionLayout::Wpt);
}

RouteFileRead ReadRouteWaypoints(const std::string& path)
{
    RouteFileRead result;
    const std::string extension = ToUpperAscii(ExtensionOf(path));
    if (extension != ".RTE" && extension != ".PRN") {
        result.problem = kRouteFormatError;
        return result;
    }
    const auto lines = ReadTextLines(path);
    if (!lines) {
        result.problem = kRouteFileMissing;
        return result;
    }
    const PositionLayout layout = extension == ".RTE" ? PositionLayout::Wpt : PositionLayout::Dos;
    for (const auto& line : *lines) {
        if (result.waypoints.size() >= kRouteCapacity) {
            break;
        }
        const ParsedPositionLine parsed = ParsePositionLine(line, layout);
        result.formatError = result.formatError || parsed.formatError;
        result.waypoints.push_back(RouteWaypoint { parsed.name, parsed.lat, parsed.lon });
    }
    return result;
}

void RouteEditor::Changed()
{
    progress_.RouteLength = static_cast<std::int16_t>(route_.count());
    editing_.RouteListChanged = true;
    // The waypoints the leg was laid between may have moved or gone: the cross-track error has no
    // leg to measure from until the navigator restarts it or the next waypoint is reached.
    progress_.LegWaypoint = 0;
    progress_.LegOrigin = 0;
}

void RouteEditor::SetSaveEnabled()
{
    const bool any = progress_.RouteLength > 0;
    display_.enabled[Control::SaveBtn] = any;
    display_.enabled[Control::SaveRouteAs1] = any;
}

bool RouteEditor::ReadRouteFile(const std::string& path)
{
    ++editing_.RouteLoads;
    editing_.RouteModified = false; // the route is replaced, whatever the file holds
    route_.clear();
    progress_.ActiveWaypoint = 0;
    Changed();
    display_.WPNameItems.clear();
    const auto lines = ReadTextLines(path);
    if (!lines) {
        prompter_.warning(kRouteFileMissing);
        return false;
    }
    const std::string extension = ToUpperAscii(ExtensionOf(path));
    if (extension != ".RTE" && extension != ".PRN") {
        // Neither layout: the columns would mean nothing.
        prompter_.warning(kRouteFormatError);
        return false;
    }
    const PositionLayout layout = extension == ".RTE" ? PositionLayout::Wpt : PositionLayout::Dos;
    bool formatError = false;
    for (const auto& line : *lines) {
        if (route_.full()) {
            break;
        }
        const ParsedPositionLine parsed = ParsePositionLine(line, layout);
        formatError = formatError || parsed.formatError;
        route_.push(RouteWaypoint { parsed.name, parsed.lat, parsed.lon });
        display_.WPNameItems.push_back(Label(parsed.name));
    }
    Changed();
    if (formatError) {
        prompter_.warning(kRouteFormatError);
    }
    if (progress_.RouteLength > 0) {
        progress_.ActiveWaypoint = 1;
        editing_.KeepActiveWaypoint = true;
    }
    return true;
}

void RouteEditor::Routes1Click(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    const bool read = ReadRouteFile(path);
    progress_.ActiveWaypoint = progress_.RouteLength > 0 ? 1 : 0;
    display_.WPNameIndex = display_.WPNameItems.empty() ? -1 : 0;
    SetSaveEnabled();
    if (read) {
        settings_.RouteName = NameWithoutExtension(path);
    }
    if (hooks_.viewOpen()) {
        hooks_.resetCrossTrack();
        hooks_.RedrawViews();
    }
}

void RouteEditor::LoadConfiguredRoute()
{
    if (folders_.ChartName.empty() || settings_.RouteName.empty()) {
        return;
    }
    ReadRouteFile(JoinPath(folders_.AppDir.str(), "routes/" + settings_.RouteName + ".rte"));
}

bool RouteEditor::SaveRouteAs1Click(const std::string& path)
{
    if (path.empty()) {
        return false;
    }
    std::vector<std::string> lines;
    for (const auto& w : route_) {
        lines.push_back(RouteLine(w));
    }
    if (!WriteTextLinesAtomic(path, lines)) {
        prompter_.error(kErrorWritingRoute);
        return false;
    }
    // Only a route that was written is remembered for the next start.
    settings_.RouteName = NameWithoutExtension(path);
    editing_.RouteModified = false;
    return true;
}

void RouteEditor::Route1Click()
{
    if (!prompter_.confirm(kRemoveRouteQuestion)) {
        return;
    }
    route_.clear();
    ++editing_.RouteLoads;
    editing_.RouteModified = false;
    progress_.ActiveWaypoint = 0;
    progress_.RouteLength = 0;
    progress_.LegWaypoint = 0;
    progress_.LegOrigin = 0;
    display_.WPNameItems.clear();
    display_.WPNameIndex = -1;
    hooks_.RedrawViews();
    SetSaveEnabled();
    settings_.RouteName.clear();
    fixSettings_.DRMode = false;
    display_.checked[Control::DRMode1] = false;
    display_.enabled[Control::DRMode1] = false;
    display_.StatusLine.clear();
}

int RouteEditor::NearestChartWaypoint() const
{
    double best = 99999.0;
    int nearest = 0;
    for (std::size_t k = 1; k <= waypoints_.count(); ++k) {
        const ChartWaypoint& w = waypoints_.at(k);
        const double dLat = w.lat - fix_.OwnLat;
        const double dLong = (w.lon - fix_.OwnLong) * reference_.CosLatFactor;
        const double d = 60.0 * std::sqrt(dLat * dLat + dLong * dLong);
        if (best >= d) { // equal distances: the later waypoint wins
            best = d;
            nearest = static_cast<int>(k);
        }
    }
    return nearest;
}

RouteWaypoint RouteEditor::NewWaypoint(int index, bool& snapped) const
{
    snapped = false;
    if (editing_.WaypointSnap) {
        if (const int k = NearestChartWaypoint(); k > 0) {
            const ChartWaypoint& w = waypoints_.at(static_cast<std::size_t>(k));
            snapped = true;
            return RouteWaypoint { w.name, w.lat, w.lon };
        }
    }
    return RouteWaypoint { DefaultRouteName(index), fix_.OwnLat, fix_.OwnLong };
}

void RouteEditor::AddRouteWaypoint1Click()
{
    // A full route has its last waypoint replaced: the capacity is never exceeded.
    const int index = static_cast<int>(std::min(route_.count() + 1, kRouteCapacity));
    bool snapped = false;
    const RouteWaypoint w = NewWaypoint(index, snapped);
    if (route_.full()) {
        route_.at(kRouteCapacity) = w;
    } else {
        route_.push(w);
    }
    editing_.RouteModified = true;
    Changed();
    hooks_.RedrawViews();
}

void RouteEditor::InsertWaypoint1Click()
{
    const int s = progress_.ActiveWaypoint;
    const int length = static_cast<int>(route_.count());
    if (s < 1 || s > length + 1) {
        prompter_.warning(kSelectWaypointFirst);
        return;
    }
    if (length >= static_cast<int>(kRouteCapacity)) {
        prompter_.error(kRouteFull);
        return;
    }
    bool snapped = false;
    const RouteWaypoint w = NewWaypoint(s, snapped);
    route_.insert(static_cast<std::size_t>(s), w);
    // The selection stays on the waypoint that was selected, now one further on; a snapped
    // waypoint keeps the selection on itself.
    progress_.ActiveWaypoint = static_cast<std::int16_t>(snapped ? s : s + 1);
    editing_.KeepActiveWaypoint = true;
    editing_.RouteModified = true;
    Changed();
    hooks_.RedrawViews();
}

EditRouteDialog RouteEditor::EditRoute1Click() const
{
    EditRouteDialog dialog;
    const int s = progress_.ActiveWaypoint;
    if (s >= 1 && s <= static_cast<int>(route_.count())) {
        dialog.name = Label(route_.at(static_cast<std::size_t>(s)).name);
    }
    return dialog;
}

void RouteEditor::EditRouteOk(const EditRouteDialog& dialog)
{
    const int s = progress_.ActiveWaypoint;
    if (s < 1 || s > static_cast<int>(route_.count())) {
        prompter_.warning(kSelectWaypointFirst);
        return;
    }
    RouteWaypoint& w = route_.at(static_cast<std::size_t>(s));
    if (dialog.MoveWP) {
        w.lat = fix_.OwnLat;
        w.lon = fix_.OwnLong;
    }
    if (!dialog.name.empty()) {
        w.name = PadRight(std::string_view(dialog.name).substr(0, kLabelLength), kLabelLength) + "19   ";
    } else {
        w.name = DefaultRouteName(s);
    }
    editing_.KeepActiveWaypoint = true;
    editing_.RouteModified = true;
    Changed();
    hooks_.RedrawViews();
}

void RouteEditor::DeleteSelectedWaypoint1Click()
{
    const int s = progress_.ActiveWaypoint;
    if (s >= 1 && s <= static_cast<int>(kRouteCapacity) && s <= static_cast<int>(route_.count())) {
        route_.erase(static_cast<std::size_t>(s));
        editing_.RouteModified = true;
    }
    Changed();
    hooks_.RedrawViews();
}

void RouteEditor::MoveRouteWaypoint(int index, double lat, double lon)
{
    if (index < 1 || index > static_cast<int>(route_.count())) {
        return;
    }
    RouteWaypoint& w = route_.at(static_cast<std::size_t>(index));
    w.lat = lat;
    w.lon = lon;
    editing_.KeepActiveWaypoint = true;
    editing_.RouteModified = true;
    Changed(); // the views are drawn by the caller, which keeps them where they stand
}

void RouteEditor::RestoreRoute(const std::vector<RouteWaypoint>& waypoints, int active, bool modified)
{
    route_.clear();
    for (const RouteWaypoint& w : waypoints) {
        if (!route_.full()) {
            route_.push(w);
        }
    }
    progress_.ActiveWaypoint = static_cast<std::int16_t>(active);
    editing_.KeepActiveWaypoint = true;
    editing_.RouteModified = modified;
    Changed();
    display_.WPNameItems.clear();
    for (const RouteWaypoint& w : route_) {
        display_.WPNameItems.push_back(Label(w.name));
    }
    SetSaveEnabled();
    hooks_.RedrawViews();
}

void RouteEditor::WaypointSnapModeClick()
{
    editing_.WaypointSnap = !editing_.WaypointSnap;
    display_.checked[Control::WaypointSnapMode] = editing_.WaypointSnap;
}

void RouteEditor::RefreshNameList()
{
    editing_.RouteListChanged = false;
    progress_.RouteLength = static_cast<std::int16_t>(route_.count());
    auto& items = display_.WPNameItems;
    items.clear();
    for (const auto& w : route_) {
        items.push_back(Label(w.name));
    }
    if (!editing_.KeepActiveWaypoint) {
        progress_.ActiveWaypoint = progress_.RouteLength;
    }
    const int entry = progress_.ActiveWaypoint - 1;
    display_.WPNameIndex = entry >= 0 && entry < static_cast<int>(items.size()) ? entry : -1;
    SetSaveEnabled();
    hooks_.UpdateMenuItems();
}

std::string MeasureUnitLabel(double unitFactor)
{
    // Later tests win: 1.0 nautical, 1.15081 statute, 1.852 kilometres.
    std::string label = "Nm  ";
    if (unitFactor < 1.1) {
        label = "Nm  ";
    }
    if (unitFactor > 1.2) {
        label = "Km  ";
    }
    if (unitFactor > 1.0 && unitFactor < 1.8) {
        label = "Mls ";
    }
    return label;
}

MeasureResult MeasureText(double startLat, double startLong, const Fix& fix, const ChartReference& ref,
    const UnitSettings& units, double total)
{
    return MeasureText(startLat, startLong, fix.OwnLat, fix.OwnLong, ref, units, total);
}

MeasureResult MeasureText(double startLat, double startLong, double lat, double lon, const ChartReference& ref,
    const UnitSettings& units, double total)
{
    MeasureResult out;
    const std::string unit = MeasureUnitLabel(units.UnitFactor);
    const double dLat = startLat - lat;
    const double dLong = startLong - lon;
    out.range = 60.0 * std::sqrt(dLat * dLat + std::pow(dLong * ref.CosLatFactor, 2)) * units.UnitFactor;
    const double cosLat = ref.CosLatFactor != 0.0 ? ref.CosLatFactor : 1.0;
    const long long a = RoundHalfEven(std::atan(dLat / (dLong + 1e-9) / cosLat) * 180.0 / M_PI);
    const long long from = startLong < lon ? a + 270 : a + 90;
    long long to = from + 180;
    if (to >= 360) {
        to -= 360;
    }
    out.text = Trim(FormatFixed(out.range, 0, 4)) + " " + unit + "Bearing " + FormatInt(to, 3) + "\xb0T To "
        + FormatInt(from, 3) + "\xb0T From";
    if (total > 0) {
        out.text += ". Total Distance " + Trim(FormatFixed(total, 0, 2)) + unit;
    }
    return out;
}

void SelectRouteCompletion(RouteCompletionSettings& settings, RouteCompletion choice)
{
    settings.completion = choice;
    if (choice == RouteCompletion::RepRoute) {
        settings.RevRoute = false;
    }
}

void RevRouteClick(RouteCompletionSettings& settings, bool ticked)
{
    settings.RevRoute = ticked && settings.completion != RouteCompletion::RepRoute;
}

} // namespace kv
