#include "nmea/NmeaParse.h"

#include "core/Format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kv {

namespace {

// NMEA numbers are plain decimals: an optional sign, digits and at most one point. Anything else
// ("12.3.4", "1e999", "1e9" cut from a longitude, junk) is malformed and reads as 0, as does an
// empty field.
double NumberOrZero(std::string_view text)
{
    bool digit = false;
    bool point = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else if (!((c == '-' || c == '+') && i == 0)) {
            return 0.0;
        }
    }
    if (!digit) {
        return 0.0;
    }
    return ParseReal(text).value_or(0.0);
}

std::string_view Columns(std::string_view text, std::size_t first, std::size_t last)
{
    if (first > text.size()) {
        return {};
    }
    return text.substr(first - 1, last - first + 1);
}

// The fields of one sentence, split once; fields beyond the last are empty.
class Fields {
public:
    explicit Fields(std::string_view s)
    {
        std::size_t start = 0;
        while (count_ < fields_.size()) {
            const auto comma = s.find(',', start);
            if (comma == std::string_view::npos) {
                fields_[count_++] = s.substr(start);
                break;
            }
            fields_[count_++] = s.substr(start, comma - start);
            start = comma + 1;
        }
    }
    std::string_view operator[](std::size_t n) const { return n < count_ ? fields_[n] : std::string_view(); }

private:
    // Field 17 is the last one any parser reads; the rest of a longer sentence stays on it, but
    // fields past 17 are never looked at.
    std::array<std::string_view, 19> fields_ {};
    std::size_t count_ = 0;
};

void Indicator(Display& display, const char* text, const char* colour, const char* hint)
{
    SetGPSIndicator(display, text, colour);
    if (hint != nullptr) {
        display.GPSIndicatorHint = hint;
    }
}

// Quality field 6 of GGA and COM sentences.
void ApplyQuality(std::string_view q, bool combined, bool aisPlayback, SentenceFix& fix, Display& display)
{
    if (q == "0") {
        fix.PositionValid = false;
        Indicator(display, "GPS", "red", combined ? "No GPS Position|" : nullptr);
        fix.FixQuality = "0";
    } else if (q == "1") {
        fix.PositionValid = true;
        Indicator(display, "GPS", "lime", "GPS Position|");
        fix.FixQuality = "1";
    } else if (q == "2") {
        fix.PositionValid = true;
        Indicator(display, "DGPS", "lime", "Differential GPS Position|");
        fix.FixQuality = "2";
    } else if (q == "3" && combined) {
        fix.PositionValid = true;
        Indicator(display, "DGPSX", "lime", "Trimble Differential GPS Position|");
        fix.FixQuality = "3";
    } else if (q == "4" && combined) {
        fix.PositionValid = true;
        Indicator(display, "DGPSF", "lime", "Trimble Differential GPS Position|");
        fix.FixQuality = "2";
    } else if (q == "5" && !combined) {
        fix.PositionValid = true;
        if (aisPlayback) {
            Indicator(display, "MON", "red", "Playback of an AIS monitor mode log file|");
        } else {
            Indicator(display, "MON", "lime", "Live AIS Monitor mode|");
        }
        fix.FixQuality = "5";
    }
}

// A "ddmm.mmmm" (degreeDigits 2) or "dddmm.mmmm" (3) field whose degrees and minutes cannot
// be a position.
bool AngleOutOfRange(std::string_view field, std::size_t degreeDigits, double maxDegrees)
{
    const double degrees = NumberOrZero(Columns(field, 1, degreeDigits));
    const double minutes = NumberOrZero(Columns(field, degreeDigits + 1, degreeDigits + 12));
    return minutes >= 60.0 || std::fabs(degrees + minutes / 60.0) > maxDegrees;
}

// Field index of the latitude in a position sentence of this kind, 0 for other kinds.
std::size_t LatitudeField(std::string_view kind)
{
    if (kind == "RMC") {
        return 3;
    }
    return kind == "GGA" || kind == "COM" ? 2 : 0;
}

std::string_view KindOf(std::string_view s)
{
    return s.size() >= 6 ? s.substr(3, 3) : std::string_view();
}

bool OutOfRange(const Fields& f, std::size_t latField)
{
    return latField != 0 && (AngleOutOfRange(f[latField], 2, 90.0) || AngleOutOfRange(f[latField + 2], 3, 180.0));
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// A "ddmm.mmmm" (degreeDigits 2) or "dddmm.mmmm" (3) field as receivers write it: the whole
// degrees and minutes in digits, then at most a point and the decimals. An empty field (a
// receiver that has no position yet) and anything else ("0013-.0000", "12.3.4") is no position,
// however the numbers in it would read.
bool WellFormedAngle(std::string_view field, std::size_t degreeDigits)
{
    const auto point = field.find('.');
    const std::string_view whole = field.substr(0, point);
    const std::string_view decimals = point == std::string_view::npos ? std::string_view() : field.substr(point + 1);
    auto digits = [](std::string_view t) {
        return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return whole.size() == degreeDigits + 2 && digits(whole) && digits(decimals);
}

bool PositionReadable(const Fields& f, std::size_t latField)
{
    return WellFormedAngle(f[latField], 2) && WellFormedAngle(f[latField + 2], 3);
}

void ReadPosition(const Fields& f, std::size_t first, SentenceFix& fix)
{
    fix.SentenceLat = ParseNmeaLatitude(f[first], f[first + 1]);
    fix.SentenceLong = ParseNmeaLongitude(f[first + 2], f[first + 3]);
}

} // namespace

std::string_view NmeaFieldView(std::string_view sentence, std::size_t n)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const auto comma = sentence.find(',', start);
        if (comma == std::string_view::npos) {
            return {};
        }
        start = comma + 1;
    }
    const auto end = sentence.find(',', start);
    return sentence.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string NmeaField(std::string_view sentence, std::size_t n)
{
    return std::string(NmeaFieldView(sentence, n));
}

double ParseNmeaLatitude(std::string_view field, std::string_view hemisphere)
{
    const double value = NumberOrZero(Columns(field, 1, 2)) + NumberOrZero(Columns(field, 3, 14)) / 60.0;
    return hemisphere == "S" ? -value : value;
}

double ParseNmeaLongitude(std::string_view field, std::string_view hemisphere)
{
    const double value = NumberOrZero(Columns(field, 1, 3)) + NumberOrZero(Columns(field, 4, 15)) / 60.0;
    return hemisphere == "E" ? -value : value;
}

const char* RejectionName(SentenceRejection r)
{
    switch (r) {
    case SentenceRejection::Checksum:
        return "checksum";
    case SentenceRejection::Range:
        return "range";
    case SentenceRejection::None:
        break;
    }
    return "";
}

bool ChecksumMismatch(std::string_view s)
{
    if (s.size() < 4 || s[s.size() - 3] != '*') {
        return false;
    }
    const int high = HexDigit(s[s.size() - 2]);
    const int low = HexDigit(s[s.size() - 1]);
    if (high < 0 || low < 0) {
        return false;
    }
    unsigned sum = 0;
    for (std::size_t i = 1; i + 3 < s.size(); ++i) {
        sum ^= static_cast<unsigned char>(s[i]);
    }
    return sum != static_cast<unsigned>(high * 16 + low);
}

bool PositionOutOfRange(std::string_view s)
{
    return OutOfRange(Fields(s), LatitudeField(KindOf(s)));
}

SentenceRejection CheckSentence(std::string_view s)
{
    if (ChecksumMismatch(s)) {
        return SentenceRejection::Checksum;
    }
    return PositionOutOfRange(s) ? SentenceRejection::Range : SentenceRejection::None;
}

void SetGPSIndicator(Display& display, const std::string& text, const std::string& colour)
{
    display.GPSIndicatorText = text;
    display.GPSIndicatorColour = text.empty() ? std::string() : colour;
}

bool ParseSentence(std::string_view s, SentenceFix& fix, Display& display, bool aisPlayback)
{
    fix.FixTimeText.clear();
    fix.FixQuality.clear();
    fix.PositionValid = false;
    SetGPSIndicator(display, "", "");
    if (s == "No Dat") {
        return true;
    }
    const std::string_view kind = KindOf(s);
    const Fields f(s);
    if (OutOfRange(f, LatitudeField(kind))) {
        return false; // a damaged position is no fix: it must not reach the track or the autopilot
    }
    if (kind == "RMC") {
        ReadPosition(f, 3, fix);
        fix.FixTimeText = std::string(f[1]);
        if (f[2] == "V") {
            Indicator(display, "GPS", "red", "No GPS Position|");
            fix.FixQuality = "0";
        } else if (f[2] == "A") {
            fix.PositionValid = true;
            Indicator(display, "GPS", "lime", "GPS Position|");
            fix.FixQuality = "1";
        }
        // A variation that does not fit in whole degrees of an i16 is as malformed as junk.
        const double variation = NumberOrZero(f[10]);
        long long degrees = std::fabs(variation) < 32767.0 ? RoundHalfEven(variation) : 0;
        if (!f[11].empty() && f[11][0] == 'W') {
            degrees = -degrees;
        }
        fix.MagVariation = static_cast<std::int16_t>(degrees);
        fix.SatellitesText.clear();
        fix.Hdop = 0.0;
    } else if (kind == "GGA") {
        ReadPosition(f, 2, fix);
        fix.FixTimeText = std::string(f[1]);
        fix.SatellitesText = f[7];
        fix.Hdop = NumberOrZero(f[8]);
        ApplyQuality(f[6], false, aisPlayback, fix, display);
    } else if (kind == "COM") {
        ReadPosition(f, 2, fix);
        fix.FixTimeText = std::string(f[1]);
        ApplyQuality(f[6], true, aisPlayback, fix, display);
        if (f[1] == "000000") {
            fix.EventSentence = true;
            fix.PositionValid = true;
        } else {
            fix.EventSentence = false;
        }
        fix.SatellitesText = f[7];
        ShortString<33>* extra[]
            = { &fix.ExtraField1, &fix.ExtraField2, &fix.ExtraField3, &fix.ExtraField4, &fix.ExtraField5,
                  &fix.ExtraField6, &fix.ExtraField7, &fix.ExtraField8, &fix.ExtraField9, &fix.ExtraField0 };
        for (std::size_t i = 0; i < 10; ++i) {
            *extra[i] = f[8 + i];
        }
        if (!aisPlayback) {
            const std::string_view last = fix.ExtraField0;
            const auto cr = last.find('\r');
            if (cr != std::string_view::npos) {
                fix.ExtraField0 = std::string(last.substr(0, cr));
            }
        }
        fix.Hdop = NumberOrZero(f[16]);
    }
    if (fix.PositionValid && fix.FixQuality != "5" && !PositionReadable(f, LatitudeField(kind))) {
        // A receiver that says "valid" but gives no readable position has no fix: taking the
        // fields as 0 would put the vessel at 0 N 0 E and add thousands of miles to the trip.
        // (Monitor mode is left alone: there the vessel stays where the user placed it.)
        fix.PositionValid = false;
        Indicator(display, "GPS", "red", "No GPS Position|");
        fix.FixQuality = "0";
    }
    if (fix.FixQuality == "1") {
        fix.PositionError = 10.0 * fix.Hdop;
    } else if (fix.FixQuality == "2") {
        fix.PositionError = 1.6 * fix.Hdop;
    } else {
        fix.PositionError = 0.0;
    }
    return true;
}

} // namespace kv
