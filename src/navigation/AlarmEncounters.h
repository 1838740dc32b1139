#pragma once
// The targets the collision watch holds in an encounter, as the alarm rules take them: one note
// per target, read after the watch has judged the table, so the alarm rule and the status line
// never disagree about which targets are dangerous.

#include "ais/AisState.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "navigation/Alarms.h"
#include <vector>

namespace kv {

std::vector<EncounterNote> CurrentEncounters(const AisState& ais, const Fix& fixInfo, const Motion& motion);

} // namespace kv
