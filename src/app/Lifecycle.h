#pragma once
// Start and orderly shutdown of the program (the parts that do not need a window).

#include "app/ProgramState.h"
#include "platform/Prompter.h"

#include <string>

namespace kv {

inline constexpr const char* kQuitQuestion = "Quit Kelvane - Are you sure?";

// Fills the state with its start values: AppDir is the working folder at start (with a trailing
// "/"), then the configuration is read: AppDir + "kelvw.cfg" without an argument, otherwise
// AppDir + the argument.
void InitialiseProgram(ProgramState& state, const std::string& workingFolder, const std::string& configArgument);
std::string StartupConfigPath(const std::string& appDir, const std::string& configArgument);

// The shutdown question and the configuration write. Returns whether the program may close.
// The configuration always goes to AppDir + "kelvw.cfg", whatever file was read at start.
bool FormCloseQuery(ProgramState& state, Prompter& prompter);
// The configuration write of the shutdown: AppDir + "kelvw.cfg", with the message when it fails.
void WriteConfigAtExit(ProgramState& state, Prompter& prompter);

} // namespace kv
