#include "core/Format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kv {

std::string FormatFixed(double value, int width, int decimals)
{
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    decimals = std::clamp(decimals, 0, 30);
    width = std::clamp(width, 0, 200);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
    return std::string(buffer);
}

std::string FormatInt(long long value, int width)
{
    std::string text = std::to_string(value);
    return PadLeft(text, static_cast<std::size_t>(std::max(width, 0)));
}

std::string ZeroFill(std::string text)
{
    std::replace(text.begin(), text.end(), ' ', '0');
    return text;
}

std::string PadLeft(std::string_view text, std::size_t width, char fill)
{
    if (text.size() >= width) {
        return std::string(text);
    }
    return std::string(width - text.size(), fill) + std::string(text);
}

std::string PadRight(std::string_view text, std::size_t width, char fill)
{
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), fill);
    }
    return out;
}

std::string FormatScientific(double value)
{
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14E", std::fabs(value)); // d.ddddddddddddddE+xx
    std::string text(buffer);
    const auto e = text.find('E');
    std::string mantissa = text.substr(0, e);
    const char expSign = text[e + 1];
    const int exponent = std::atoi(text.c_str() + e + 2);
    std::string out;
    out += std::signbit(value) && value != 0.0 ? '-' : ' ';
    out += mantissa;
    out += 'E';
    out += expSign == '-' && exponent != 0 ? '-' : '+';
    out += PadLeft(std::to_string(exponent), 4, '0');
    return out;
}

long long RoundHalfEven(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    // Beyond the integer range the nearest representable whole number is the limit.
    constexpr double kLimit = 9.2e18;
    if (value >= kLimit) {
        return static_cast<long long>(kLimit);
    }
    if (value <= -kLimit) {
        return -static_cast<long long>(kLimit);
    }
    return static_cast<long long>(std::nearbyint(value));
}

int TruncDiv(int numerator, int denominator)
{
    if (denominator == 0) {
        return 0;
    }
    return numerator / denominator; // C++ division truncates toward zero
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Length of the longest decimal number at the start of text (sign, digits, point, exponent).
std::size_t NumberPrefixLength(std::string_view text, bool allowFraction)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        ++digits;
    }
    if (allowFraction && i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fractionDigits = 0;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            ++fractionDigits;
        }
        if (digits + fractionDigits > 0) {
            i = j;
            digits += fractionDigits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (allowFraction && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        std::size_t expDigits = 0;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
            ++j;
            ++expDigits;
        }
        if (expDigits > 0) {
            i = j;
        }
    }
    return i;
}

std::optional<double> ConvertReal(std::string_view number)
{
    std::string copy(number);
    if (!copy.empty() && copy[0] == '+') {
        copy.erase(0, 1);
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (ec != std::errc() || ptr != copy.data() + copy.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<long long> ConvertInt(std::string_view number)
{
    std::string copy(number);
    if (!copy.empty() && copy[0] == '+') {
        copy.erase(0, 1);
    }
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (ec != std::errc() || ptr != copy.data() + copy.size()) {
        return std::nullopt;
    }
    return value;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::optional<double> ParseReal(std::string_view text)
{
    text = TrimBlanks(text);
    const std::size_t n = NumberPrefixLength(text, true);
    if (n == 0 || n != text.size()) {
        return std::nullopt;
    }
    return ConvertReal(text);
}

std::optional<long long> ParseInt(std::string_view text)
{
    text = TrimBlanks(text);
    const std::size_t n = NumberPrefixLength(text, false);
    if (n == 0 || n != text.size()) {
        return std::nullopt;
    }
    return ConvertInt(text);
}

std::optional<double> ParseLeadingReal(std::string_view text)
{
    text = TrimBlanks(text);
    const std::size_t n = NumberPrefixLength(text, true);
    if (n == 0) {
        return std::nullopt;
    }
    return ConvertReal(text.substr(0, n));
}

std::optional<long long> ParseLeadingInt(std::string_view text)
{
    text = TrimBlanks(text);
    const std::size_t n = NumberPrefixLength(text, false);
    if (n == 0) {
        return std::nullopt;
    }
    return ConvertInt(text.substr(0, n));
}

std::string TrimRight(std::string_view text, std::string_view chars)
{
    const auto end = text.find_last_not_of(chars);
    return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string Trim(std::string_view text, std::string_view chars)
{
    const auto begin = text.find_first_not_of(chars);
    if (begin == std::string_view::npos) {
        return {};
    }
    const auto end = text.find_last_not_of(chars);
    return std::string(text.substr(begin, end - begin + 1));
}

std::string ToUpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string ToLowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string FieldReader::text(std::size_t column, std::size_t width) const
{
    if (column == 0 || column > line_.size()) {
        return {};
    }
    return std::string(line_.substr(column - 1, width));
}

double FieldReader::real(std::size_t column, std::size_t width)
{
    const auto value = ParseReal(text(column, width));
    if (!value) {
        formatError_ = true;
        return 0.0;
    }
    return *value;
}

long long FieldReader::integer(std::size_t column, std::size_t width)
{
    const auto value = ParseInt(text(column, width));
    if (!value) {
        formatError_ = true;
        return 0;
    }
    return *value;
}

} // namespace kv
