#pragma once
// The boat's instruments as last received: depth, apparent and true wind, heading. Owner: nmea
// (nmea/InstrumentSentences.h fills it from any talker's DBT, DPT, MWV, HDT and HDG); the main
// window's instrument strip reads it. Each reading keeps the time it came, so that a reading that
// has not been repeated for kInstrumentStaleSeconds is shown as stale rather than as the truth.

#include "platform/Clock.h"

#include <chrono>

namespace kv {

inline constexpr double kInstrumentStaleSeconds = 10.0;

struct InstrumentReading {
    double value = 0.0;
    double at = -1.0; // seconds (InstrumentSeconds) when received; below 0: never

    bool known() const { return at >= 0.0; }
    bool stale(double now) const { return !known() || now - at > kInstrumentStaleSeconds || now < at; }
};

struct Instruments {
    InstrumentReading DepthMetres; // below the transducer (DBT) or as DPT's offset makes it
    InstrumentReading ApparentWindAngle; // degrees clockwise from the bow, 0 to below 360
    InstrumentReading ApparentWindKnots;
    InstrumentReading TrueWindAngle; // degrees clockwise from the bow
    InstrumentReading TrueWindKnots;
    InstrumentReading HeadingTrue; // degrees
    bool ShallowAlarmOn = false; // the depth is below the limit and was called out
};

// A clock reading as seconds on one continuous scale (across midnight and month ends).
inline double InstrumentSeconds(const LocalDateTime& t)
{
    using namespace std::chrono;
    const sys_days day = year_month_day { year { t.year }, month { static_cast<unsigned>(t.month) },
        std::chrono::day { static_cast<unsigned>(t.day) } };
    return static_cast<double>(day.time_since_epoch().count()) * 86400.0 + t.hour * 3600.0 + t.minute * 60.0 + t.second
        + t.millisecond / 1000.0;
}

} // namespace kv
