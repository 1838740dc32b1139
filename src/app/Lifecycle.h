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

// The configuration write of the shutdown: AppDir + "kelvw.cfg", whatever file was read at
// start, with the message when it fails. A kelvw.cfg that cannot be read is set aside first.
void WriteConfigAtExit(ProgramState& state, Prompter& prompter);

} // namespace kv
