#pragma once
// Position sentences into the navigation state: field extraction and the parser of the
// "RMC", "GGA" and combined "COM" sentences, with the GPS indicator on the tool bar.

#include "core/Display.h"
#include "core/SentenceFix.h"

#include <string>
#include <string_view>

namespace kv {

// Field n of a comma-separated sentence; field 0 is the identifier ("$GPRMC"). A field beyond the
// last one is empty. The checksum is not removed: it stays on the last field.
std::string NmeaField(std::string_view sentence, std::size_t n);
std::string_view NmeaFieldView(std::string_view sentence, std::size_t n);

// Why a sentence is not used. Line noise damages sentences on the way in: a checksum that does
// not match, or a position no receiver can report (latitude above 90 degrees, longitude above
// 180, minutes of 60 or more).
enum class SentenceRejection { None, Checksum, Range };

// "checksum" or "range" ("" for None).
const char* RejectionName(SentenceRejection r);

// True when the sentence ends in "*" and two hexadecimal digits (either case) that differ from
// the exclusive-or of the characters between its first character and the "*". A sentence
// without such an ending has no checksum to fail.
bool ChecksumMismatch(std::string_view sentence);

// True when an "RMC", "GGA" or "COM" sentence carries a position out of range. Empty and
// malformed fields read as 0 and pass.
bool PositionOutOfRange(std::string_view sentence);

// The checksum first, then the position.
SentenceRejection CheckSentence(std::string_view sentence);

// Fills SentenceLat/SentenceLong, PositionValid, FixTimeText, FixQuality, Hdop, SatellitesText,
// PositionError, MagVariation, EventSentence and the extra fields, and sets the GPS indicator.
// While an AIS log is played back (aisPlayback) the monitor-mode quality shows red (the caller
// switches the monitor mode on), and the last extra field keeps its carriage return.
// Numbers that do not convert read as 0. A position out of range (PositionOutOfRange) is not a
// fix: after the reset nothing more is read, PositionValid stays 0 and the function returns false.
// Nor is a position whose latitude or longitude field is empty or not of the form ddmm.mmmm /
// dddmm.mmmm: the other fields are read, but PositionValid stays 0 and the indicator shows
// "GPS" in red with "No GPS Position|", whatever the status or quality field says (but for the
// monitor-mode quality 5).
bool ParseSentence(std::string_view sentence, SentenceFix& fix, Display& display, bool aisPlayback);

// "ddmm.mmmm" / "dddmm.mmmm" with the hemisphere letter; west and north positive.
double ParseNmeaLatitude(std::string_view field, std::string_view hemisphere);
double ParseNmeaLongitude(std::string_view field, std::string_view hemisphere);

// The GPS indicator label: text, colour ("red", "lime", "silver"; "" while the text is empty), hint.
void SetGPSIndicator(Display& display, const std::string& text, const std::string& colour);

} // namespace kv
