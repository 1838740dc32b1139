#pragma once
// Position sentences into the navigation state: field extraction and the parser of the
// "RMC", "GGA" and combined "COM" sentences, with the GPS indicator on the tool bar.

#include "core/Display.h"
#include "core/NavState.h"

#include <string>
#include <string_view>

namespace kv {

// Field n of a comma-separated sentence; field 0 is the identifier ("$GPRMC"). A field beyond the
// last one is empty. The checksum is not removed: it stays on the last field.
std::string NmeaField(std::string_view sentence, std::size_t n);
std::string_view NmeaFieldView(std::string_view sentence, std::size_t n);

// Fills SentenceLat/SentenceLong, PositionValid, FixTimeText, FixQuality, Hdop, SatellitesText,
// PositionError, MagVariation, EventSentence and the extra fields, and sets the GPS indicator.
// While an AIS log is played back (nav.AISPlayback) the monitor-mode quality shows red and checks
// "AIS Monitor Mode", and the last extra field keeps its carriage return.
// Numbers that do not convert read as 0; the sentence is never rejected.
void ParseSentence(std::string_view sentence, NavState& nav, Display& display);
// The same with the playback flag given explicitly.
void ParseSentence(std::string_view sentence, NavState& nav, Display& display, bool aisPlayback);

// "ddmm.mmmm" / "dddmm.mmmm" with the hemisphere letter; west and north positive.
double ParseNmeaLatitude(std::string_view field, std::string_view hemisphere);
double ParseNmeaLongitude(std::string_view field, std::string_view hemisphere);

// The GPS indicator label: text, colour ("red", "lime", "silver"; "" while the text is empty), hint.
void SetGPSIndicator(Display& display, const std::string& text, const std::string& colour);

// Menu entry checked while a monitor-mode log plays back.
inline constexpr const char* kAISMonitorControl = "AISMonitor";

} // namespace kv
