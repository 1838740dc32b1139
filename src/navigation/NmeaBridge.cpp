#include "navigation/NmeaBridge.h"

#include "core/Format.h"

namespace kv {

namespace {

// Interim reader of the position sentences, used until the NMEA subsystem's parser is linked in
// here: fields, positions, time and quality of RMC, GGA and the combined sentence.
std::string Field(const std::string& sentence, int n)
{
    std::size_t start = 0;
    for (int i = 0; i < n; ++i) {
        const std::size_t comma = sentence.find(',', start);
        if (comma == std::string::npos) {
            return {};
        }
        start = comma + 1;
    }
    const std::size_t end = sentence.find(',', start);
    return sentence.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

double Number(const std::string& text)
{
    return ParseReal(text).value_or(0.0);
}

double Coordinate(const std::string& field, std::size_t degreeDigits)
{
    const double degrees = Number(field.substr(0, std::min(degreeDigits, field.size())));
    const double minutes = field.size() > degreeDigits ? Number(field.substr(degreeDigits, 12)) : 0.0;
    return degrees + minutes / 60.0;
}

void Indicator(Display& d, const char* text, const char* colour, const char* hint)
{
    d.GPSIndicatorText = text;
    d.GPSIndicatorColour = colour;
    if (hint != nullptr) {
        d.GPSIndicatorHint = hint;
    }
}

void Quality(NavState& nav, Display& d, const std::string& q, bool combined)
{
    if (q == "0") {
        Indicator(d, "GPS", "red", combined ? "No GPS Position|" : nullptr);
        nav.FixQuality = "0";
    } else if (q == "1") {
        nav.PositionValid = true;
        Indicator(d, "GPS", "lime", "GPS Position|");
        nav.FixQuality = "1";
    } else if (q == "2") {
        nav.PositionValid = true;
        Indicator(d, "DGPS", "lime", "Differential GPS Position|");
        nav.FixQuality = "2";
    } else if (combined && (q == "3" || q == "4")) {
        nav.PositionValid = true;
        Indicator(d, q == "3" ? "DGPSX" : "DGPSF", "lime", "Trimble Differential GPS Position|");
        nav.FixQuality = q == "3" ? "3" : "2";
    } else if (!combined && q == "5") {
        nav.PositionValid = true;
        Indicator(d, "MON", "lime", "Live AIS Monitor mode|");
        nav.FixQuality = "5";
    }
}

} // namespace

void ParsePositionSentence(ProgramState& state, const std::string& s)
{
    NavState& nav = state.nav;
    Display& d = state.display;
    nav.FixTimeText.clear();
    nav.FixQuality.clear();
    nav.PositionValid = false;
    d.GPSIndicatorText.clear();
    if (s == "No Dat") {
        return;
    }
    const std::string kind = s.size() >= 6 ? s.substr(3, 3) : std::string();
    auto position = [&](int first) {
        nav.SentenceLat = Coordinate(Field(s, first), 2) * (Field(s, first + 1) == "S" ? -1.0 : 1.0);
        nav.SentenceLong = Coordinate(Field(s, first + 2), 3) * (Field(s, first + 3) == "E" ? -1.0 : 1.0);
        nav.FixTimeText = Field(s, 1);
    };
    if (kind == "RMC") {
        position(3);
        if (Field(s, 2) == "V") {
            Indicator(d, "GPS", "red", "No GPS Position|");
            nav.FixQuality = "0";
        } else if (Field(s, 2) == "A") {
            nav.PositionValid = true;
            Indicator(d, "GPS", "lime", "GPS Position|");
            nav.FixQuality = "1";
        }
        const long long variation = RoundHalfEven(Number(Field(s, 10)));
        nav.MagVariation = static_cast<std::int16_t>(Field(s, 11).rfind('W', 0) == 0 ? -variation : variation);
        nav.SatellitesText.clear();
        nav.Hdop = 0.0;
    } else if (kind == "GGA") {
        position(2);
        nav.SatellitesText = Field(s, 7);
        nav.Hdop = Number(Field(s, 8));
        Quality(nav, d, Field(s, 6), false);
    } else if (kind == "COM") {
        position(2);
        Quality(nav, d, Field(s, 6), true);
        nav.EventSentence = Field(s, 1) == "000000";
        if (nav.EventSentence) {
            nav.PositionValid = true;
        }
        nav.SatellitesText = Field(s, 7);
        nav.Hdop = Number(Field(s, 16));
    }
    nav.PositionError = nav.FixQuality == "1" ? 10.0 * nav.Hdop : nav.FixQuality == "2" ? 1.6 * nav.Hdop : 0.0;
}

std::string ExpandTextTemplate(const ProgramState&, const Clock&, const std::string&)
{
    return {};
}

void ComposeOutputSentences(ProgramState& state, const Clock&)
{
    state.nav.OutputText.clear();
}

} // namespace kv
