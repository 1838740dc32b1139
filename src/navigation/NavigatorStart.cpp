#include "navigation/NavigatorStart.h"

#include "core/Config.h"
#include "core/Format.h"
#include "core/Lifecycle.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr std::size_t kRouteLines = 40;

double Angle(FieldReader& f, std::size_t degCol, std::size_t degWidth, std::size_t minCol, std::size_t minWidth)
{
    const double degrees = f.real(degCol, degWidth);
    const double minutes = f.real(minCol, minWidth);
    return degrees + minutes / 60.0;
}

} // namespace

void ReadRouteFile(ProgramState& state, Prompter& prompter, const std::string& path)
{
    NavState& nav = state.nav;
    state.route.clear();
    nav.RouteLength = 0;
    nav.ActiveWaypoint = 0;
    const auto found = FindFileCaseInsensitive(FolderOf(path), path.substr(FolderOf(path).size()));
    const auto lines = found ? ReadTextLines(*found) : std::nullopt;
    if (!lines) {
        prompter.warning("Route File does not exist !");
        return;
    }
    const bool dos = ToUpperAscii(ExtensionOf(path)) == ".PRN";
    bool formatError = false;
    for (const std::string& line : *lines) {
        if (state.route.count() >= kRouteLines) {
            break;
        }
        FieldReader f(line);
        RouteWaypoint wp;
        wp.name = f.text(1, 29);
        if (dos) {
            wp.lat = Angle(f, 31, 3, 35, 5);
            wp.lon = Angle(f, 43, 3, 47, 5);
            if (f.text(42, 1) == "E") {
                wp.lon = -wp.lon;
            }
        } else {
            wp.lat = Angle(f, 31, 3, 35, 8);
            wp.lon = Angle(f, 46, 3, 50, 8);
            if (f.text(45, 1) == "E") {
                wp.lon = -wp.lon;
            }
        }
        if (f.text(30, 1) == "S") {
            wp.lat = -wp.lat;
        }
        formatError = formatError || f.formatError();
        state.route.push(wp);
    }
    nav.RouteLength = static_cast<std::int16_t>(state.route.count());
    if (formatError) {
        prompter.warning("Route file format error !");
    }
    if (nav.RouteLength > 0) {
        nav.ActiveWaypoint = 1;
        nav.KeepActiveWaypoint = true;
    }
}

std::optional<double> ReadChartConfiguration(NavState& nav, const std::string& path)
{
    const auto lines = ReadTextLines(path);
    if (!lines) {
        return std::nullopt;
    }
    auto value = [&](std::size_t i) -> std::optional<double> {
        return i < lines->size() ? ParseLeadingReal((*lines)[i]) : std::nullopt;
    };
    const double lat = value(0).value_or(0.0);
    nav.OwnLat = lat;
    nav.OwnLong = value(1).value_or(0.0);
    nav.ChartLatOffset = value(4).value_or(0.0);
    nav.ChartLongOffset = value(5).value_or(0.0);
    return lat;
}

void StartNavigator(ProgramState& state, Platform& platform, TrackLogs& logs, const std::string& workDir)
{
    // The main window's creation.
    InitialiseProgram(state, workDir, "");
    NavState& nav = state.nav;
    if (nav.NmeaStartMode == "Auto") {
        nav.DRMode = false;
    }
    logs.OpenDayLogs();
    nav.DRSpeed = nav.BoatSpeed;
    nav.RouteReversed = false;

    // The first one-second tick.
    const std::string configPath = StartupConfigPath(nav.AppDir.str(), "");
    ReadConfig(configPath, nav, state.settings);
    std::optional<double> chartLatitude;
    if (!nav.ChartName.empty()) {
        if (!state.settings.RouteName.empty()) {
            ReadRouteFile(state, platform.prompter, JoinPath(nav.AppDir.str(), "routes/" + state.settings.RouteName + ".rte"));
        }
        chartLatitude = ReadChartConfiguration(nav, JoinPath(nav.ChartDir.str(), nav.ChartName + ".cfg"));
        ReadConfig(configPath, nav, state.settings);
    }
    // Plane sailing scales longitude by the cosine of the loaded chart's reference latitude.
    if (chartLatitude) {
        nav.CosLatFactor = std::cos(*chartLatitude * std::numbers::pi / 180.0);
    }
    if (nav.RouteLength == 0) {
        nav.DRMode = false;
    }

    // The interface is open and the navigation panel shown; the route end prompts for the next
    // waypoint and both voices speak.
    nav.NmeaOpen = true;
    Display& display = state.display;
    display.checked["DRMode1"] = nav.DRMode;
    display.checked["NMEAInterface1"] = true;
    display.checked["NormalMode"] = true;
    display.checked["NavigationData1"] = true;
    display.checked["Voice"] = true;
    display.checked["WPVoice"] = true;
    display.checked["Vfreq"] = true; // steering prompts only when the side of the track changes
    display.FixTimer = {true, nav.FixIntervalMs};
    display.hints["TxtLogOnOff"] = nav.KeepTextLog ? kTextLogOnHint : kTextLogOffHint;
}

} // namespace kv
