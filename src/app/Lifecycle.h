#pragma once
// The pieces of start-up and quit that MainController::FormCreate and FormCloseQuery share with
// nobody else: which configuration the start reads, and the configuration write of the quit.

#include "app/ProgramState.h"
#include "platform/Prompter.h"

#include <string>

namespace kv {

inline constexpr const char* kQuitQuestion = "Quit Kelvane - Are you sure?";

// AppDir + "kelvw.cfg" without an argument, otherwise AppDir + the argument.
std::string StartupConfigPath(const std::string& appDir, const std::string& configArgument);

// Writes the configuration to path with the view the views left behind: lines 2 to 4 hold the
// centre and zoom of the latest zoom or re-centre, not the cursor and the zoom read at start.
bool WriteProgramConfig(const std::string& path, const ProgramState& state);

// What every read of the configuration at start is followed by: the vessel drawing dimensions
// (lines 30 and 31) always start at 100 and 20.0 whatever the file holds.
void ApplyStartupVesselDimensions(Settings& settings);

// The configuration write of the shutdown: AppDir + "kelvw.cfg", whatever file was read at
// start, with the message when it fails. A kelvw.cfg that cannot be read is set aside first.
void WriteConfigAtExit(ProgramState& state, Prompter& prompter);

} // namespace kv
