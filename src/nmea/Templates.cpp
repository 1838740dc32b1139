#include "nmea/Templates.h"

#include "core/Format.h"
#include "core/Magnetic.h"
#include "core/Units.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>

namespace kv {

namespace {

enum class Expander { Sentence, Template };

// Values far beyond any bearing or position (a corrupt state) are held to a range that converts
// to an integer without overflow; the text is then plainly wrong but well formed.
double Bounded(double value)
{
    return std::isfinite(value) ? std::clamp(value, -1e15, 1e15) : 0.0;
}

std::string ThreeDigits(long long value)
{
    return ZeroFill(FormatInt(value, 3));
}

std::string UpToFirstSpace(const std::string& text)
{
    return text.substr(0, text.find(' '));
}

// Degrees and minutes of a position field; minutes that round up to 60 carry into the degrees
// so that 49°59.9999' prints as 5000.00 and not as 4960.00.
std::string DegreesMinutes(double value, int degreeWidth, int decimals)
{
    value = std::fabs(Bounded(value));
    double degrees = std::floor(value);
    double minutes = (value - degrees) * 60.0;
    std::string m = FormatFixed(minutes, decimals + 3, decimals);
    if (ParseReal(m).value_or(0.0) >= 60.0) {
        degrees += 1.0;
        m = FormatFixed(0.0, decimals + 3, decimals);
    }
    return ZeroFill(FormatInt(static_cast<long long>(degrees), degreeWidth) + m);
}

std::string PositionField(double lat, double lon, int decimals, bool north, bool west)
{
    return DegreesMinutes(lat, 2, decimals) + (north ? ",N," : ",S,") + DegreesMinutes(lon, 3, decimals)
        + (west ? ",W" : ",E");
}

const RouteWaypoint* ActiveEntry(const TemplateContext& ctx)
{
    if (ctx.activeOverride != nullptr) {
        return ctx.activeOverride;
    }
    const auto i = ctx.routeProgress.ActiveWaypoint;
    if (i < 1 || static_cast<std::size_t>(i) > ctx.route.count()) {
        return nullptr;
    }
    return &ctx.route.at(static_cast<std::size_t>(i));
}

std::string TwoDigits(int v)
{
    return ZeroFill(FormatInt(v, 2));
}

std::string PairText(const std::function<std::pair<std::string, std::string>()>& source, const char* prefix)
{
    if (!source) {
        return {};
    }
    const auto [a, b] = source();
    return prefix + a + ":" + b;
}

// A true bearing as whole degrees magnetic, three digits: rounded first and wrapped after, so
// that 359.6 gives 000 and never 360.
std::string MagneticDegrees(double trueDegrees, int variation)
{
    return ThreeDigits(RoundHalfEven(MagneticFromTrue(Bounded(trueDegrees), variation)) % 360);
}

// Degrees with one decimal, wrapped into 0 … below 360 after rounding, without a leading blank.
std::string OneDecimalDegrees(double degrees)
{
    double tenth = std::round(WrapDegrees(Bounded(degrees)) * 10.0) / 10.0;
    if (tenth >= 360.0) {
        tenth = 0.0;
    }
    std::string t = FormatFixed(tenth, 5, 1);
    if (!t.empty() && t[0] == ' ') {
        t.erase(0, 1);
    }
    return t;
}

// The route waypoint the present leg starts at, when it starts at one.
std::string OriginIdentifier(const TemplateContext& ctx)
{
    const RouteProgress& p = ctx.routeProgress;
    if (p.LegOrigin < 1 || p.LegWaypoint != p.ActiveWaypoint) {
        return {};
    }
    return RouteWaypointIdentifier(ctx.route, p.LegOrigin);
}

} // namespace

// The one place where values owned by other parts of the program enter a template. A source not
// wired yet gives an empty text.
std::string SourceText(char code, const TemplateContext& ctx)
{
    const TemplateSources* s = ctx.sources;
    if (s == nullptr) {
        return {};
    }
    switch (code) {
    case '+':
        return PairText(s->towPointTexts, "T:");
    case '[':
        return PairText(s->portPointTexts, "L:");
    case ']':
        return PairText(s->starboardPointTexts, "R:");
    case 'M':
        return s->measureText ? s->measureText() : std::string();
    case 'O':
    case 'U':
        return s->rasterCursorText ? s->rasterCursorText() : std::string();
    default:
        return {};
    }
}

namespace {

struct ChecksumSlot {
    std::size_t at; // where "*hh" goes in the expanded text
    std::size_t start; // first character it covers
};

class Expansion {
public:
    Expansion(std::string_view tmpl, const TemplateContext& ctx, Expander kind)
        : t_(tmpl)
        , ctx_(ctx)
        , kind_(kind)
    {
    }

    std::string run()
    {
        std::size_t sentenceStart = 0;
        while (i_ < t_.size()) {
            const char ch = t_[i_++];
            if (ch != '@') {
                if (ch == '$') {
                    sentenceStart = out_.size() + 1;
                }
                out_ += ch;
                continue;
            }
            if (i_ >= t_.size()) {
                break; // a trailing "@" vanishes
            }
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t_[i_++])));
            if (c < '#' || c > '~') {
                continue;
            }
            if (c == 'E' && kind_ == Expander::Sentence) {
                slots_.push_back({ out_.size(), sentenceStart });
                continue;
            }
            code(c);
        }
        if (kind_ == Expander::Template) {
            return out_;
        }
        return finish();
    }

private:
    bool isSentence() const { return kind_ == Expander::Sentence; }

    bool suffix(char s)
    {
        if (i_ < t_.size() && t_[i_] == s) {
            ++i_;
            return true;
        }
        return false;
    }

    // ":n" after a position code; n not a digit counts as 0 decimals.
    int decimals()
    {
        if (!suffix(':')) {
            return 2;
        }
        if (i_ >= t_.size()) {
            return 0;
        }
        const char n = t_[i_++];
        return (n >= '0' && n <= '9') ? n - '0' : 0;
    }

    void code(char c)
    {
        const RouteTexts& texts = ctx_.texts;
        const bool s = isSentence();
        switch (c) {
        case '#':
            out_ += std::to_string(ctx_.routeProgress.ActiveWaypoint);
            break;
        case '$':
            out_ += ctx_.fixInfo.FixSource.str();
            break;
        case '&':
            if (!s) {
                out_ += FormatFixed(ctx_.motion.TripDistance, 0, 2);
            }
            break;
        case '0':
            out_ += ctx_.sentenceFix.ExtraField0.str();
            break;
        case '1':
            out_ += ctx_.sentenceFix.ExtraField1.str();
            break;
        case '2':
            out_ += ctx_.sentenceFix.ExtraField2.str();
            break;
        case '3':
            out_ += ctx_.sentenceFix.ExtraField3.str();
            break;
        case '4':
            out_ += ctx_.sentenceFix.ExtraField4.str();
            break;
        case '5':
            out_ += ctx_.sentenceFix.ExtraField5.str();
            break;
        case '6':
            out_ += ctx_.sentenceFix.ExtraField6.str();
            break;
        case '7':
            out_ += ctx_.sentenceFix.ExtraField7.str();
            break;
        case '8':
            out_ += ctx_.sentenceFix.ExtraField8.str();
            break;
        case '9':
            out_ += ctx_.sentenceFix.ExtraField9.str();
            break;
        case '<':
            if (s) {
                out_ += OriginIdentifier(ctx_);
            }
            break;
        case '>':
            tow(decimals());
            break;
        case 'A':
            if (s) {
                out_ += FormatInt(std::abs(static_cast<int>(ctx_.sentenceFix.MagVariation)), 3)
                    + (ctx_.sentenceFix.MagVariation < 0 ? ",W" : ",E");
            }
            break;
        case 'B':
            out_ += ThreeDigits(RoundHalfEven(Bounded(ctx_.routeProgress.BearingToWaypoint)));
            break;
        case 'C':
            out_ += suffix('^') ? MagneticDegrees(ctx_.motion.COG, ctx_.sentenceFix.MagVariation)
                                : ThreeDigits(ctx_.motion.COG);
            break;
        case 'D':
            date();
            break;
        case 'F':
            out_ += ZeroFill(FormatInt(ctx_.textLog.TextLogFixCount, 5));
            break;
        case 'G':
            out_ += texts.TimeToWaypointText;
            break;
        case 'H':
            if (ctx_.routeProgress.CourseToSteer >= 0) {
                out_ += ThreeDigits(ctx_.routeProgress.CourseToSteer);
            }
            break;
        case 'L':
            out_ += s ? std::string("\r\n") : FormatFixed(ctx_.motion.LastLegDistance, 0, 4);
            break;
        case 'P':
            own(decimals());
            break;
        case 'Q':
            out_ += ctx_.sentenceFix.FixQuality.str() + "-" + ctx_.sentenceFix.SatellitesText.str();
            break;
        case 'R':
            out_ += s ? UpToFirstSpace(texts.RangeText) : texts.RangeText;
            break;
        case 'S':
            out_ += texts.SOGText;
            break;
        case 'T':
            if (s && suffix(':')) {
                out_ += TwoDigits(ctx_.now.hour) + ":" + TwoDigits(ctx_.now.minute) + ":" + TwoDigits(ctx_.now.second);
            } else {
                out_ += ctx_.sentenceFix.FixTimeText;
            }
            break;
        case 'V':
            if (!s) {
                out_ += texts.VMGText;
            } else if (const std::string vmg = UpToFirstSpace(texts.VMGText); ParseReal(vmg)) {
                out_ += vmg;
            }
            // "********" (no useful speed towards the waypoint) or "Speed<Tide!" leave the field
            // empty in a sentence: "*" would end the sentence early for every reader.
            break;
        case 'W':
            waypointName();
            break;
        case 'X':
            out_ += s ? texts.XTEText + "N" : FormatFixed(ctx_.routeProgress.XTE, 0, 2);
            break;
        case 'Y': {
            const LatLong own { ctx_.fixInfo.OwnLat, ctx_.fixInfo.OwnLong };
            out_ += FormatFixed(own.lat, 0, 8) + "," + FormatFixed(-own.lon, 0, 8);
            break;
        }
        case '^':
            if (s) {
                out_ += MagneticDegrees(ctx_.routeProgress.BearingToWaypoint, ctx_.sentenceFix.MagVariation);
            }
            break;
        case '~':
            waypointPosition(decimals());
            break;
        case '+':
        case '[':
        case ']':
        case 'M':
        case 'O':
        case 'U':
            out_ += SourceText(c, ctx_);
            break;
        default:
            break; // not a code: "@" and the character vanish
        }
    }

    void date()
    {
        if (!isSentence()) {
            out_ += ctx_.fixInfo.FixDateText.str();
            return;
        }
        const auto& d = ctx_.now;
        if (suffix(':')) {
            out_ += TwoDigits(d.day) + "," + TwoDigits(d.month) + "," + ZeroFill(FormatInt(d.year, 4));
        } else if (suffix('/')) {
            out_ += TwoDigits(d.day) + "/" + TwoDigits(d.month) + "/" + TwoDigits(d.year % 100);
        } else {
            out_ += TwoDigits(d.day) + TwoDigits(d.month) + TwoDigits(d.year % 100);
        }
    }

    void own(int n)
    {
        // Before the first fix there is no record: the state's own position stands in.
        LatLong p { ctx_.fixInfo.OwnLat, ctx_.fixInfo.OwnLong };
        if (!ctx_.quickLog.empty()) {
            const auto& r = ctx_.quickLog.at(ctx_.quickLog.count());
            p = { r.lat, r.lon };
            if (isSentence()) {
                p = ChartDatumFromState(ctx_.chartRef, p);
            }
        }
        const bool north = ctx_.fixInfo.OwnLat >= ctx_.chartRef.ChartLatOffset;
        const double w = ctx_.fixInfo.OwnLong + ctx_.chartRef.ChartLongOffset;
        const bool west = isSentence() ? w >= 0 : w > 0;
        out_ += PositionField(p.lat, p.lon, n, north, west);
    }

    void tow(int n)
    {
        std::optional<LatLong> chart;
        if (isSentence()) {
            if (ctx_.sources != nullptr && ctx_.sources->towPosition) {
                chart = ctx_.sources->towPosition();
            }
            if (ctx_.towCopy != nullptr) {
                *ctx_.towCopy = chart;
            }
        } else if (ctx_.towCopy != nullptr) {
            chart = *ctx_.towCopy;
        }
        if (!chart) {
            return;
        }
        const LatLong p = StateFromChartDatum(ctx_.chartRef, *chart);
        out_ += PositionField(p.lat, p.lon, n, p.lat >= 0, p.lon >= 0);
    }

    void waypointPosition(int n)
    {
        const RouteWaypoint* w = ActiveEntry(ctx_);
        if (w == nullptr) {
            return;
        }
        out_ += PositionField(w->lat, w->lon, n, w->lat >= 0, w->lon >= 0);
    }

    void waypointName()
    {
        const RouteWaypoint* w = ActiveEntry(ctx_);
        if (w == nullptr) {
            return;
        }
        if (!isSentence()) {
            out_ += TrimRight(std::string_view(w->name).substr(0, std::min(w->name.size(), kRouteLabelLength)), " @");
        } else if (ctx_.activeOverride != nullptr) {
            out_ += WaypointIdentifier(w->name);
        } else {
            out_ += RouteWaypointIdentifier(ctx_.route, ctx_.routeProgress.ActiveWaypoint);
        }
    }

    // Blanks become "0", then "|" becomes a blank; each checksum is taken over the finished
    // characters, which are the ones sent.
    std::string finish()
    {
        for (char& ch : out_) {
            if (ch == ' ') {
                ch = '0';
            } else if (ch == '|') {
                ch = ' ';
            }
        }
        std::string result;
        result.reserve(out_.size() + 3 * slots_.size());
        std::size_t copied = 0;
        for (std::size_t k = 0; k < slots_.size(); ++k) {
            const ChecksumSlot& slot = slots_[k];
            result.append(out_, copied, slot.at - copied);
            copied = slot.at;
            // Checksums already inserted before the first covered character shift it.
            std::size_t shift = 0;
            for (std::size_t j = 0; j < k; ++j) {
                if (slots_[j].at < slot.start) {
                    shift += 3;
                }
            }
            result += NMEAChecksum(result, slot.start + shift + 1);
        }
        result.append(out_, copied, std::string::npos);
        return result;
    }

    std::string_view t_;
    const TemplateContext& ctx_;
    Expander kind_;
    std::size_t i_ = 0;
    std::string out_;
    std::vector<ChecksumSlot> slots_;
};

} // namespace

std::string ExpandSentence(std::string_view tmpl, const TemplateContext& ctx)
{
    return Expansion(tmpl, ctx, Expander::Sentence).run();
}

std::string ExpandTemplate(std::string_view tmpl, const TemplateContext& ctx)
{
    return Expansion(tmpl, ctx, Expander::Template).run();
}

std::string NMEAChecksum(std::string_view text, std::size_t start)
{
    unsigned char sum = 0;
    for (std::size_t i = start == 0 ? 0 : start - 1; i < text.size(); ++i) {
        sum ^= static_cast<unsigned char>(text[i]);
    }
    static const char hex[] = "0123456789ABCDEF";
    return std::string { '*', hex[sum >> 4], hex[sum & 15] };
}

std::string WaypointIdentifier(std::string_view name)
{
    std::string id = TrimRight(ToUpperAscii(std::string(name.substr(0, 6))), " @");
    for (char& ch : id) {
        const auto code = static_cast<unsigned char>(ch);
        if (code <= ' ' || code > '~' || std::string_view(".'$*,!\\^~|").find(ch) != std::string_view::npos) {
            ch = '-';
        }
    }
    return id;
}

std::vector<std::string> WaypointIdentifiers(const std::vector<std::string>& names)
{
    std::vector<std::string> ids;
    std::set<std::string> used;
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::string base = WaypointIdentifier(names[i]);
        if (base.empty()) {
            base = "WP" + std::to_string(i + 1);
        }
        std::string id = base;
        for (int n = 2; used.count(id) != 0; ++n) {
            const std::string number = std::to_string(n);
            id = base.substr(0, 6 - std::min<std::size_t>(number.size(), 6)) + number;
        }
        used.insert(id);
        ids.push_back(id);
    }
    return ids;
}

std::string RouteWaypointIdentifier(const RouteTable& route, int index)
{
    if (index < 1 || static_cast<std::size_t>(index) > route.count()) {
        return {};
    }
    std::vector<std::string> names;
    for (std::size_t i = 1; i <= route.count(); ++i) {
        names.push_back(route.at(i).name);
    }
    return WaypointIdentifiers(names)[static_cast<std::size_t>(index) - 1];
}

RouteTexts RouteTextsFromState(
    const RouteProgress& progress, const Motion& motion, const UnitSettings& units, const UnitPreferences& unitPrefs)
{
    RouteTexts t;
    const double speedFactor = unitPrefs.KnotsAlways ? 1.0 : units.UnitFactor;
    t.SOGText = FormatFixed(motion.SOG * speedFactor, 3, 2);
    if (progress.TimeToWaypoint == -1.0 || progress.TimeToWaypoint == -2.0) {
        t.TimeToWaypointText = "********";
        t.VMGText = progress.TimeToWaypoint == -1.0 ? "********" : "Speed<Tide! ";
    } else {
        const double hours = std::trunc(Bounded(progress.TimeToWaypoint));
        t.TimeToWaypointText = FormatInt(static_cast<long long>(hours), 2) + " Hr "
            + FormatFixed((progress.TimeToWaypoint - hours) * 60.0, 0, 1) + " Min";
        t.VMGText = FormatFixed(progress.VMG * speedFactor, 3, 2) + SpeedUnitLabel(units, unitPrefs);
    }
    const double range = DistanceInDisplayUnits(units, progress.RangeToWaypoint);
    t.RangeText = (range <= 1.0 ? FormatFixed(range, 5, 4) : FormatFixed(range, 4, 2)) + " " + DistanceUnitLabel(units);
    const double e = std::clamp(progress.XTE, -9.99, 9.99);
    std::string x = FormatFixed(std::fabs(e), 4, 2);
    if (!x.empty() && x[0] == ' ') {
        x.erase(0, 1);
    }
    t.XTEText = x + (e > 0 ? ",L," : ",R,");
    t.CourseToSteerValue = progress.CourseToSteer;
    return t;
}

void BuildOutputSentences(
    NmeaLink& link, const NmeaSettings& settings, const NmeaPreferences& prefs, const TemplateContext& ctx)
{
    const auto active = ctx.routeProgress.ActiveWaypoint;
    if (!link.NmeaOpen || ctx.routeProgress.RouteLength == 0 || active < 1 || active > ctx.routeProgress.RouteLength
        || !settings.NMEAOutputOn) {
        link.OutputText.clear();
        return;
    }
    const RouteProgress& p = ctx.routeProgress;
    // An autopilot steers by the cross-track error only while it is a real distance from a leg;
    // otherwise (no leg, the waypoint abeam or behind, the value held at its limit) every sentence
    // carrying it says "V", data not valid.
    const std::string s = (ctx.texts.ArrivalFlagText == ",V" || !p.XTEValid) ? ",V" : ",A";
    const std::string& x = ctx.texts.XTEText;
    const std::string arrived = p.ArrivalCircleEntered ? "A" : "V";
    const std::string passed = p.PerpendicularPassed ? "A" : "V";
    // The leg, origin to destination, when one has been set for the active waypoint.
    const bool leg = p.LegWaypoint == active;
    const std::string legTrue
        = leg ? ThreeDigits(RoundHalfEven(WrapDegrees(Bounded(p.LegBearing))) % 360) : std::string();
    const std::string legMagnetic = leg ? MagneticDegrees(p.LegBearing, ctx.sentenceFix.MagVariation) : std::string();
    const std::string h = OneDecimalDegrees(ctx.texts.CourseToSteerValue);
    const std::string m
        = OneDecimalDegrees(MagneticFromTrue(ctx.texts.CourseToSteerValue, ctx.sentenceFix.MagVariation));
    std::string out;
    if (prefs.SendVTG)
        out += ExpandSentence("$ECVTG,@c,T,@c^,M,@s,N,,K,A@e@l", ctx);
    if (prefs.sendXTE)
        out += ExpandSentence("$ECXTE" + s + s + "," + x + "N,A@e@l", ctx);
    if (prefs.sendAPB)
        out += ExpandSentence(
            "$ECAPB" + s + s + "," + x + "N," + arrived + "," + passed + "," + legTrue + ",T,@w,@b,T,@h,T,A@e@l", ctx);
    if (prefs.sendBWR)
        out += ExpandSentence("$ECBWR,@t,@~:4,@b,T,@^,M,@r,N,@w,A@e@l", ctx);
    if (prefs.SendRMB)
        out += ExpandSentence("$ECRMB" + s + "," + x + "@<,@w,@~:4,@r,@b,@v," + arrived + ",A@e@l", ctx);
    if (prefs.sendHSC)
        out += ExpandSentence("$ECHSC," + h + ",T," + m + ",M@e@l", ctx);
    if (prefs.SendBOD)
        out += ExpandSentence("$ECBOD," + legTrue + ",T," + legMagnetic + ",M,@w,@<,@e@l", ctx);
    if (prefs.SendCustom)
        out += ExpandSentence(prefs.CustomNMEA + "@l", ctx);
    link.OutputText = std::move(out);
}

TemplateContext MakeTemplateContext(const TemplateRecords& records, const Clock& clock, RouteTexts texts,
    const TemplateSources* sources, std::optional<LatLong>* towCopy)
{
    return TemplateContext { records, clock.now(), std::move(texts), sources, towCopy, nullptr };
}

} // namespace kv
