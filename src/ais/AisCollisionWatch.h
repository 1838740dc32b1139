#pragma once
// After every AIS update: which moving targets are dangerous, the status line note for the
// nearest such encounter, and the alarm sound once per encounter when the alarm is switched on.

#include <string>

namespace kv {

struct ProgramState;
struct Platform;

// Returns the status line note ("" when no target is dangerous); sets it in the display too.
std::string WatchCollisions(ProgramState& state, Platform& platform);

} // namespace kv
