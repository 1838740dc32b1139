#include "app/Lifecycle.h"

#include "core/Config.h"
#include "core/Paths.h"

namespace kv {

std::string StartupConfigPath(const std::string& appDir, const std::string& configArgument)
{
    return JoinPath(appDir, configArgument.empty() ? std::string(kConfigFileName) : configArgument);
}

void InitialiseProgram(ProgramState& state, const std::string& workingFolder, const std::string& configArgument)
{
    state = ProgramState{};
    state.nav.AppDir = WithTrailingSeparator(workingFolder);
    state.nav.SoundIdle = true;
    state.nav.KnotsAlways = true;
    state.nav.AverageFixes = 6;
    ReadConfig(StartupConfigPath(state.nav.AppDir.str(), configArgument), state.nav, state.settings);
    state.nav.DRSpeed = state.nav.BoatSpeed;
}

bool FormCloseQuery(ProgramState& state, Prompter& prompter)
{
    if (!prompter.confirm(kQuitQuestion)) {
        return false;
    }
    WriteConfigAtExit(state, prompter);
    return true;
}

void WriteConfigAtExit(ProgramState& state, Prompter& prompter)
{
    if (!WriteConfig(JoinPath(state.nav.AppDir.str(), kConfigFileName), state.nav, state.settings)) {
        prompter.error(kConfigWriteError);
    }
}

} // namespace kv
