#pragma once
// The fixed-width position texts of the dialogs and the remarks, their reading, and the typing
// aids of the position fields. The texts are fixed-column: readers take characters at fixed
// positions, so the widths, the zero filling and the rounding here are part of the contract with
// every dialog and file that carries a position.
//
//   latitude text   50°07.25000N    12 characters: DD ° MM.MMMMM N|S
//   longitude text  001°15.50000W   13 characters: DDD ° MM.MMMMM W|E
//   compact text    50°07.2500N 001°15.5000W   24 characters (remarks)
//
// Longitudes are west positive throughout, as the program holds them. The degree sign is the
// Latin-1 byte 0xB0.

#include "core/ChartReference.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

inline constexpr char kDegreeSign = '\xb0';
inline constexpr std::size_t kLatitudeTextLength = 12;
inline constexpr std::size_t kLongitudeTextLength = 13;

// The band of latitudes the standard texts carry; both writing and reading clamp into it.
inline constexpr double kTextLatitudeMin = -80.0;
inline constexpr double kTextLatitudeMax = 84.0;

struct PositionTexts {
    std::string latitude; // 12 characters
    std::string longitude; // 13 characters
    friend bool operator==(const PositionTexts&, const PositionTexts&) = default;
};

PositionTexts PositionToText(double latitude, double longitude);

// Reads the fixed columns; a column that holds no number counts 0.
LatLong TextToPosition(std::string_view latitudeText, std::string_view longitudeText);

// A position field being typed into: its text and the caret (an index 0 … text size).
struct PositionField {
    std::string text;
    std::size_t caret = 0;
    friend bool operator==(const PositionField&, const PositionField&) = default;
};

// Run on every change of a latitude or longitude field: the degree sign and the point are
// supplied so the user types only digits and the hemisphere letter.
PositionField PositionFieldChange(PositionField field, bool longitude);

// Brings a partly typed field to full length; the last character typed is the hemisphere letter.
std::string CompletePositionText(std::string text, bool longitude);

// One 24-character line, not clamped, minutes with 4 decimals.
std::string CompactPositionText(double latitude, double longitude);

// Status-line text of a click on the position panel: "50.12083° -1.25833° (S/W -ve)".
std::string DecimalDegreeText(double latitude, double longitude);

namespace detail {
// Whole degrees (absolute, toward zero) and minutes text of one coordinate, minutes rounded to
// `decimals` in `width` columns. Minutes that round up to 60 are carried into the degrees.
struct DegreesMinutes {
    long long degrees = 0;
    std::string minutes;
};
DegreesMinutes SplitDegrees(double value, int width, int decimals);
double Finite(double value);
} // namespace detail

} // namespace kv
