#include "navigation/NavigatorStart.h"

#include "core/Config.h"
#include "core/Format.h"
#include "core/Lifecycle.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "charts/ChartFiles.h"
#include "routes/Routes.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

// The chart's own configuration beside the chart: the cursor goes to its centre and the datum
// offsets are taken over. Returns the centre latitude when the file was read.
std::optional<double> ReadChartConfiguration(NavState& nav, const std::string& path)
{
    const auto config = ReadChartConfigFile(path);
    if (!config) {
        return std::nullopt;
    }
    nav.OwnLat = config->centreLat;
    nav.OwnLong = config->centreLong;
    nav.ChartLatOffset = config->latOffset.value_or(0.0);
    nav.ChartLongOffset = config->longOffset.value_or(0.0);
    return config->centreLat;
}

} // namespace

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
            RouteHooks noViews;
            RouteEditor(state, platform.prompter, noViews).ReadRouteFile(JoinPath(nav.AppDir.str(), "routes/" + state.settings.RouteName + ".rte"));
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
    // waypoint. A replayed voyage records its prompts, so both voices are turned on, steering
    // prompts only when the side of the track changes.
    nav.NmeaOpen = true;
    Display& display = state.display;
    display.checked["DRMode1"] = nav.DRMode;
    display.checked["NMEAInterface1"] = true;
    state.app.NavPanelVisible = true;
    Preferences& prefs = state.prefs;
    prefs.OnRouteCompletion = RouteCompletion::NormalMode;
    prefs.Voice = true;
    prefs.WPVoice = true;
    prefs.Vfreq = true;
    display.FixTimer = {true, nav.FixIntervalMs};
    display.hints["TxtLogOnOff"] = nav.KeepTextLog ? kTextLogOnHint : kTextLogOffHint;
}

} // namespace kv
