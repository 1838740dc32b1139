#pragma once
// Position sentences from satellite receivers. Besides the GPS talker "GP", receivers that use
// several constellations speak as "GN" (combined), "GL" (GLONASS), "GA" (Galileo), "GB" and "BD"
// (BeiDou), "GQ" (QZSS) and "GI" (NavIC); their RMC and GGA sentences carry the same fields.

#include <string_view>

namespace kv {

// True when the first two characters after "$" are one of the receiver talkers above.
bool IsReceiverTalker(std::string_view sentence);

// True when the sentence is the position sentence chosen by `positionSentence` (1 = RMC,
// 0 = GGA) from a receiver talker.
bool IsChosenPositionSentence(std::string_view sentence, int positionSentence);

} // namespace kv
