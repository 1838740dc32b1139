#include "nmea/InstrumentSentences.h"

#include "nmea/NmeaParse.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kv {

namespace {

// The number in a field (its checksum cut off), or false when there is none.
bool FieldNumber(std::string_view sentence, std::size_t n, double& value)
{
    std::string f = NmeaField(sentence, n);
    const auto star = f.find('*');
    if (star != std::string::npos) {
        f.erase(star);
    }
    if (f.empty()) {
        return false;
    }
    char* end = nullptr;
    const double v = std::strtod(f.c_str(), &end);
    if (end != f.c_str() + f.size() || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

std::string FieldText(std::string_view sentence, std::size_t n)
{
    std::string f = NmeaField(sentence, n);
    const auto star = f.find('*');
    if (star != std::string::npos) {
        f.erase(star);
    }
    return f;
}

double Wrap360(double d)
{
    d = std::fmod(d, 360.0);
    return d < 0 ? d + 360.0 : d;
}

std::string Format(const char* format, double a)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, a);
    return buf;
}

// "045\xB0S" for wind from 45 degrees to starboard, "045\xB0P" for 315.
std::string WindAngleText(double angle)
{
    const double a = Wrap360(angle);
    const bool port = a > 180.0;
    const long shown = std::lround(port ? 360.0 - a : a);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03ld\xB0%s", shown, shown == 0 || shown == 180 ? "" : (port ? "P" : "S"));
    return buf;
}

} // namespace

InstrumentRecord ParseInstrumentSentence(std::string_view sentence, double variationEast)
{
    InstrumentRecord r;
    if (sentence.size() < 6 || (sentence[0] != '$' && sentence[0] != '!')) {
        return r;
    }
    const std::string_view kind = sentence.substr(3, 3);
    double a = 0, b = 0;
    if (kind == "DBT") {
        if (FieldNumber(sentence, 3, a)) {
        } else if (FieldNumber(sentence, 1, a)) {
            a *= 0.3048;
        } else if (FieldNumber(sentence, 5, a)) {
            a *= 1.8288;
        } else {
            return r;
        }
        if (a < 0) {
            return r;
        }
        r.kind = InstrumentRecord::Kind::Depth;
        r.depthMetres = a;
    } else if (kind == "DPT") {
        if (!FieldNumber(sentence, 1, a) || a < 0) {
            return r;
        }
        if (FieldNumber(sentence, 2, b)) {
            a += b;
        }
        r.kind = InstrumentRecord::Kind::Depth;
        r.depthMetres = std::max(a, 0.0);
    } else if (kind == "MWV") {
        const std::string reference = FieldText(sentence, 2);
        const std::string unit = FieldText(sentence, 4);
        const std::string status = FieldText(sentence, 5);
        if (!FieldNumber(sentence, 1, a) || !FieldNumber(sentence, 3, b) || b < 0
            || (reference != "R" && reference != "T") || status == "V") {
            return r;
        }
        if (unit == "K") {
            b /= 1.852;
        } else if (unit == "M") {
            b *= 3600.0 / 1852.0;
        } else if (unit == "S") {
            b *= 5280.0 * 0.3048 / 1852.0;
        } else if (unit != "N") {
            return r;
        }
        r.kind = reference == "R" ? InstrumentRecord::Kind::ApparentWind : InstrumentRecord::Kind::TrueWind;
        r.windAngle = Wrap360(a);
        r.windKnots = b;
    } else if (kind == "HDT") {
        if (!FieldNumber(sentence, 1, a)) {
            return r;
        }
        r.kind = InstrumentRecord::Kind::Heading;
        r.headingTrue = Wrap360(a);
    } else if (kind == "HDG") {
        if (!FieldNumber(sentence, 1, a)) {
            return r;
        }
        double deviation = 0, variation = variationEast;
        if (FieldNumber(sentence, 2, b)) {
            deviation = FieldText(sentence, 3) == "W" ? -b : b;
        }
        if (FieldNumber(sentence, 4, b)) {
            variation = FieldText(sentence, 5) == "W" ? -b : b;
        }
        r.kind = InstrumentRecord::Kind::Heading;
        r.headingTrue = Wrap360(a + deviation + variation);
    }
    return r;
}

std::string InstrumentRecordText(const InstrumentRecord& r)
{
    switch (r.kind) {
    case InstrumentRecord::Kind::None:
        return {};
    case InstrumentRecord::Kind::Depth:
        return Format("depth %.1f m", r.depthMetres);
    case InstrumentRecord::Kind::ApparentWind:
        return Format("apparent wind %05.1f deg", r.windAngle) + Format(" %.1f kn", r.windKnots);
    case InstrumentRecord::Kind::TrueWind:
        return Format("true wind %05.1f deg", r.windAngle) + Format(" %.1f kn", r.windKnots);
    case InstrumentRecord::Kind::Heading:
        return Format("heading %05.1f deg true", r.headingTrue);
    }
    return {};
}

void RaiseShallowWaterAlarm(Display& display, double depthMetres)
{
    display.StatusLine = kShallowWaterText + Format("%.1f m", depthMetres);
}

void ApplyInstrumentRecord(
    const InstrumentRecord& r, Instruments& in, double now, double shallowLimitMetres, Display& display)
{
    switch (r.kind) {
    case InstrumentRecord::Kind::None:
        return;
    case InstrumentRecord::Kind::Depth:
        in.DepthMetres = { r.depthMetres, now };
        if (shallowLimitMetres > 0 && r.depthMetres < shallowLimitMetres) {
            if (!in.ShallowAlarmOn) {
                in.ShallowAlarmOn = true;
                RaiseShallowWaterAlarm(display, r.depthMetres);
            }
        } else if (in.ShallowAlarmOn && (shallowLimitMetres <= 0 || r.depthMetres >= shallowLimitMetres * 1.1)) {
            // A little above the limit before the alarm is over, so that a depth hovering at the
            // limit does not call out at every sounding.
            in.ShallowAlarmOn = false;
        }
        return;
    case InstrumentRecord::Kind::ApparentWind:
        in.ApparentWindAngle = { r.windAngle, now };
        in.ApparentWindKnots = { r.windKnots, now };
        return;
    case InstrumentRecord::Kind::TrueWind:
        in.TrueWindAngle = { r.windAngle, now };
        in.TrueWindKnots = { r.windKnots, now };
        return;
    case InstrumentRecord::Kind::Heading:
        in.HeadingTrue = { r.headingTrue, now };
        return;
    }
}

InstrumentTexts InstrumentStripTexts(const Instruments& in, double now)
{
    InstrumentTexts t;
    t.depth = in.DepthMetres.known() ? Format("%.1f m", in.DepthMetres.value) : "---";
    t.depthStale = in.DepthMetres.stale(now);
    t.apparentWind = in.ApparentWindAngle.known()
        ? WindAngleText(in.ApparentWindAngle.value) + Format(" %.1f kn", in.ApparentWindKnots.value)
        : "---";
    t.apparentStale = in.ApparentWindAngle.stale(now);
    t.trueWind = in.TrueWindAngle.known()
        ? WindAngleText(in.TrueWindAngle.value) + Format(" %.1f kn", in.TrueWindKnots.value)
        : "---";
    t.trueStale = in.TrueWindAngle.stale(now);
    t.heading
        = in.HeadingTrue.known() ? Format("%03.0f\xB0T", std::fmod(std::round(in.HeadingTrue.value), 360.0)) : "---";
    t.headingStale = in.HeadingTrue.stale(now);
    return t;
}

} // namespace kv
