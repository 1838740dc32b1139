#pragma once
// Where the fix cycle and the logs meet the NMEA subsystem: parsing the position sentence, the
// @-template expansion of text-log lines and the composition of the autopilot sentences. Kept
// behind these three functions so the navigation code does not depend on how reception and the
// template engine are organised.

#include "app/ProgramState.h"
#include "platform/Clock.h"

#include <string>

namespace kv {

// Parses `sentence` into the state's parse results (SentenceLat/Long, PositionValid, FixTimeText,
// FixQuality, EventSentence, ...) and the GPS indicator.
void ParsePositionSentence(ProgramState& state, const std::string& sentence);

// ExpandTemplate of the template engine.
std::string ExpandTextTemplate(const ProgramState& state, const Clock& clock, const std::string& tpl);

// BuildOutputSentences: fills nav.OutputText (empty when nothing is due).
void ComposeOutputSentences(ProgramState& state, const Clock& clock);

} // namespace kv
