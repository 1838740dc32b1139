#pragma once
// The program's start as far as navigation needs it, for a run without windows: the main
// window's creation (defaults, configuration, the day's logs) and the first one-second tick
// (configuration again, the configured route and chart configuration, dead reckoning only with
// a route), with the interface treated as open.

#include "app/ProgramState.h"
#include "navigation/TrackLog.h"
#include "platform/Platform.h"

#include <string>

namespace kv {

void StartNavigator(ProgramState& state, Platform& platform, TrackLogs& logs, const std::string& workDir);

} // namespace kv
