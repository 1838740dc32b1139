#pragma once
// The classic number formatting the program's texts and files are built with, and the readers
// that go with it. Every Part formats numbers through these; nobody formats a number ad hoc.
//
//   FormatFixed(3.14159, 8, 2)  -> "    3.14"   right-aligned in at least 8 columns, 2 decimals
//   FormatInt(42, 5)            -> "   42"
//   ZeroFill("   42")           -> "00042"       blanks replaced by "0" where a file layout says so
//   FormatScientific(0.04)      -> " 4.00000000000000E-0002"  the 23-character real of config files
//   RoundHalfEven(2.5)          -> 2              "round" everywhere in the program
//   TruncDiv(-7, 2)             -> -3             integer division of pixel sizes

#include <optional>
#include <string>
#include <string_view>

namespace kv {

std::string FormatFixed(double value, int width, int decimals);
std::string FormatInt(long long value, int width = 0);
std::string ZeroFill(std::string text);
std::string PadLeft(std::string_view text, std::size_t width, char fill = ' ');
std::string PadRight(std::string_view text, std::size_t width, char fill = ' ');

// Sign or blank, one digit, ".", 14 digits, "E", sign, four exponent digits: 23 characters.
std::string FormatScientific(double value);

long long RoundHalfEven(double value);
int TruncDiv(int numerator, int denominator);

// Strict readers: the whole text (blanks around it allowed) must be one decimal number.
// Accepts "12", "-3.5", "+.5", "1e3", "4.00000000000000E-0002". Rejects "", "12.3.4", "1x",
// "nan", "inf" and values out of the double range ("1e999").
std::optional<double> ParseReal(std::string_view text);
std::optional<long long> ParseInt(std::string_view text);

// Lenient reader of configuration reals: leading blanks, then the longest decimal number at the
// start; the rest of the line is ignored. Empty or no number at the start gives nothing.
std::optional<double> ParseLeadingReal(std::string_view text);
std::optional<long long> ParseLeadingInt(std::string_view text);

std::string TrimRight(std::string_view text, std::string_view chars = " ");
std::string Trim(std::string_view text, std::string_view chars = " ");
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// Fixed-column records: columns are 1-based as in the file layouts. A field that lies beyond the
// end of the line is empty; a numeric field that does not convert reads as 0 and sets the
// format-error flag, which the caller reports once per file.
class FieldReader {
public:
    explicit FieldReader(std::string_view line)
        : line_(line)
    {
    }

    std::string text(std::size_t column, std::size_t width) const;
    double real(std::size_t column, std::size_t width);
    long long integer(std::size_t column, std::size_t width);

    bool formatError() const { return formatError_; }

private:
    std::string_view line_;
    bool formatError_ = false;
};

} // namespace kv
