#pragma once
// The program's start as far as navigation needs it, for a run without windows: the main
// window's creation (defaults, configuration, the day's logs) and the first one-second tick
// (configuration again, the configured route and chart configuration, dead reckoning only with
// a route), with the interface treated as open.

#include "core/ProgramState.h"
#include "navigation/TrackLog.h"
#include "platform/Platform.h"

#include <optional>
#include <string>

namespace kv {

void StartNavigator(ProgramState& state, Platform& platform, TrackLogs& logs, const std::string& workDir);

// The route file read at start (AppDir + "routes/" + name + ".rte"): ".rte" or ".prn" columns by
// extension; "Route File does not exist !" or "Route file format error !" as warnings.
void ReadRouteFile(ProgramState& state, Prompter& prompter, const std::string& path);

// The chart's configuration beside the chart: centre, zoom, reserved integer, offsets. Sets the
// cursor position and the datum offsets; returns the centre latitude when the file was read.
std::optional<double> ReadChartConfiguration(NavState& nav, const std::string& path);

} // namespace kv
