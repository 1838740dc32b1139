#pragma once
// Depth, wind and heading sentences of any talker ("$SDDBT", "$IIMWV", "$HCHDG", ...), read into
// one record each and kept in the instrument readings; the texts of the instrument strip; and the
// shallow-water alarm.
//
//   DBT  depth below transducer: feet,f,metres,M,fathoms,F (the first unit given is used)
//   DPT  depth below transducer, offset: the depth shown is depth + offset (a positive offset is
//        the transducer's depth below the surface, a negative one its height above the keel)
//   MWV  wind angle, R (apparent) or T (true), speed, unit K/M/N/S, status A (V: not used)
//   HDT  true heading
//   HDG  magnetic heading, deviation, E/W, variation, E/W: true = magnetic + deviation +
//        variation (east positive); without a variation in the sentence the program's own
//        magnetic variation is used

#include "core/Display.h"
#include "core/Instruments.h"

#include <string>
#include <string_view>

namespace kv {

struct InstrumentRecord {
    enum class Kind { None, Depth, ApparentWind, TrueWind, Heading };
    Kind kind = Kind::None;
    double depthMetres = 0;
    double windAngle = 0; // degrees from the bow, 0 to below 360
    double windKnots = 0;
    double headingTrue = 0;
    bool operator==(const InstrumentRecord&) const = default;
};

// The record of one sentence; Kind::None for any other sentence or one whose numbers do not
// read. `variationEast` is the variation used for an HDG sentence that carries none.
InstrumentRecord ParseInstrumentSentence(std::string_view sentence, double variationEast = 0.0);

// "depth 3.2 m", "apparent wind 045 S 15.0 kn" ... as one line, for kvtool nmea-parse.
std::string InstrumentRecordText(const InstrumentRecord& record);

// Stores the record's values with the time `now` (InstrumentSeconds). Below a depth of
// `shallowLimitMetres` (0: no alarm) the alarm is raised once; it is cleared when the depth is
// back above the limit by a tenth.
void ApplyInstrumentRecord(
    const InstrumentRecord& record, Instruments& instruments, double now, double shallowLimitMetres, Display& display);

// The one place the shallow-water alarm is raised: the status line for now, and a beep by the
// caller's prompter when it wants one.
inline constexpr const char* kShallowWaterText = "Shallow water: ";
void RaiseShallowWaterAlarm(Display& display, double depthMetres);

// The texts of the strip: each reading, or "---" when never received; `stale` marks those older
// than kInstrumentStaleSeconds.
struct InstrumentTexts {
    std::string depth, apparentWind, trueWind, heading;
    bool depthStale = true, apparentStale = true, trueStale = true, headingStale = true;
};
InstrumentTexts InstrumentStripTexts(const Instruments& instruments, double now);

} // namespace kv
