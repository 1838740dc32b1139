#include "app/Lifecycle.h"

#include "charts/ChartFiles.h"
#include "core/Config.h"
#include "core/Paths.h"
#include "core/TextFile.h"

namespace kv {

std::string StartupConfigPath(const std::string& appDir, const std::string& configArgument)
{
    return JoinPath(appDir, configArgument.empty() ? std::string(kConfigFileName) : configArgument);
}

bool WriteProgramConfig(const std::string& path, const ProgramState& state)
{
    Fix fix = state.fixInfo;
    Settings settings = state.settings;
    fix.OwnLat = state.chartGeometry.LastViewLat;
    fix.OwnLong = state.chartGeometry.LastViewLong;
    settings.ViewZoom = state.chartGeometry.LastViewZoom;
    // Chart editing holds automatic chart loading off only until it ends, which turns it on.
    if (state.app.ChartEditMode) {
        settings.fix.AutoChart = true;
    }
    return WriteConfig(path, fix, state.chartRef, state.folders, settings);
}

void ApplyStartupVesselDimensions(Settings& settings)
{
    settings.VesselDrawDimA = 100;
    settings.VesselDrawDimB = 20.0;
}

void WriteConfigAtExit(ProgramState& state, Prompter& prompter)
{
    const std::string path = JoinPath(state.folders.AppDir.str(), kConfigFileName);
    // A configuration file that cannot be read (its permissions, a damaged disc) holds settings
    // this run never saw: it is kept under a backup name before the settings in use replace it,
    // and when it cannot be kept it is not replaced.
    if (FileExists(path) && !RegularFileProblem(path).empty()) {
        const auto backup = MoveAside(path, [&](int n) { return ConfigBackupName(path, n); });
        if (!backup) {
            prompter.error(kConfigWriteError);
            return;
        }
        prompter.information(kConfigKeptAs + *backup);
    }
    if (!WriteProgramConfig(path, state)) {
        prompter.error(kConfigWriteError);
    }
}

} // namespace kv
