#include "app/ProgramState.h"
#include "app/Lifecycle.h"

#include "core/Config.h"
#include "core/Paths.h"

namespace kv {

std::string StartupConfigPath(const std::string& appDir, const std::string& configArgument)
{
    return JoinPath(appDir, configArgument.empty() ? std::string(kConfigFileName) : configArgument);
}

void WriteConfigAtExit(ProgramState& state, Prompter& prompter)
{
    if (!WriteConfig(JoinPath(state.folders.AppDir.str(), kConfigFileName), state.fixInfo, state.chartRef, state.folders, state.settings)) {
        prompter.error(kConfigWriteError);
    }
}

} // namespace kv
