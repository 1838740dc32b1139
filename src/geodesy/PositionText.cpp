#include "geodesy/PositionText.h"

#include "core/Format.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace detail {

double Finite(double value)
{
    // Texts are built from whatever a table or a click holds; a NaN or an absurd value must still
    // give a text of the fixed layout (and keep the integer conversions defined).
    if (!std::isfinite(value)) {
        return 0.0;
    }
    return std::clamp(value, -1e9, 1e9);
}

DegreesMinutes SplitDegrees(double value, int width, int decimals)
{
    value = std::fabs(Finite(value));
    DegreesMinutes out;
    const double whole = std::trunc(value);
    out.degrees = static_cast<long long>(whole);
    out.minutes = FormatFixed((value - whole) * 60.0, width, decimals);
    // 59.999996' written with 5 decimals reads "60.00000": show the next whole degree instead,
    // which reads back as the same value and never shows an impossible minute.
    if (ParseReal(out.minutes).value_or(0.0) >= 60.0) {
        out.degrees += 1;
        out.minutes = FormatFixed(0.0, width, decimals);
    }
    return out;
}

} // namespace detail

namespace {

double ClampTextLatitude(double latitude)
{
    latitude = detail::Finite(latitude);
    if (latitude > kTextLatitudeMax) {
        latitude = kTextLatitudeMax;
    }
    if (latitude < kTextLatitudeMin) {
        latitude = kTextLatitudeMin;
    }
    return latitude;
}

std::string LatitudePart(double latitude, int width, int decimals)
{
    const auto dm = detail::SplitDegrees(latitude, width, decimals);
    return ZeroFill(FormatInt(dm.degrees, 2) + kDegreeSign + dm.minutes) + (latitude >= 0.0 ? "N" : "S");
}

std::string LongitudePart(double longitude, int width, int decimals)
{
    const auto dm = detail::SplitDegrees(longitude, width, decimals);
    return ZeroFill(FormatInt(dm.degrees, 3) + kDegreeSign + dm.minutes) + (longitude >= 0.0 ? "W" : "E");
}

// Value of a fixed column: the number it starts with, 0 when it holds none.
double ColumnValue(std::string_view text, std::size_t column, std::size_t width)
{
    const FieldReader reader(text);
    return ParseLeadingReal(reader.text(column, width)).value_or(0.0);
}

char UpperColumn(std::string_view text, std::size_t column)
{
    if (column == 0 || column > text.size()) {
        return ' ';
    }
    const char c = text[column - 1];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

PositionTexts PositionToText(double latitude, double longitude)
{
    latitude = ClampTextLatitude(latitude);
    longitude = detail::Finite(longitude);
    return { LatitudePart(latitude, 8, 5), LongitudePart(longitude, 8, 5) };
}

LatLong TextToPosition(std::string_view latitudeText, std::string_view longitudeText)
{
    double latitude = ColumnValue(latitudeText, 1, 2) + ColumnValue(latitudeText, 4, 8) / 60.0;
    if (UpperColumn(latitudeText, 12) == 'S') {
        latitude = -latitude;
    }
    latitude = ClampTextLatitude(latitude);
    double longitude = ColumnValue(longitudeText, 1, 3) + ColumnValue(longitudeText, 5, 8) / 60.0;
    if (UpperColumn(longitudeText, 13) == 'E') {
        longitude = -longitude;
    }
    return { latitude, longitude };
}

PositionField PositionFieldChange(PositionField field, bool longitude)
{
    const std::size_t degreesEnd = longitude ? 3 : 2;
    if (field.text.size() == degreesEnd) {
        field.text += kDegreeSign;
        field.caret = field.text.size();
    } else if (field.text.size() == degreesEnd + 3) {
        field.text += '.';
        field.caret = field.text.size();
    }
    field.caret = std::min(field.caret, field.text.size());
    return field;
}

std::string CompletePositionText(std::string text, bool longitude)
{
    if (text.empty()) {
        text = longitude ? std::string("000") + kDegreeSign + "00.00000W"
                         : std::string("00") + kDegreeSign + "00.00000N";
    }
    const char hemisphere = text.back();
    if (text.size() < 13) {
        text.pop_back();
        text += "000000000000";
        text.resize(longitude ? kLongitudeTextLength - 1 : kLatitudeTextLength - 1);
        text += hemisphere;
    }
    return text;
}

std::string CompactPositionText(double latitude, double longitude)
{
    return LatitudePart(detail::Finite(latitude), 7, 4) + " " + LongitudePart(detail::Finite(longitude), 7, 4);
}

std::string DecimalDegreeText(double latitude, double longitude)
{
    return FormatFixed(detail::Finite(latitude), 0, 5) + kDegreeSign + " "
        + FormatFixed(-detail::Finite(longitude), 0, 5) + kDegreeSign + " (S/W -ve)";
}

} // namespace kv
