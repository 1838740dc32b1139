#include "core/Json.h"

#include <charconv>
#include <cmath>

namespace kv {

namespace {

bool Plain(unsigned char c)
{
    return c >= 0x20 && c < 0x7f && c != '"' && c != '\\';
}

} // namespace

void AppendJsonString(std::string& out, std::string_view latin1)
{
    static const char hex[] = "0123456789abcdef";
    out += '"';
    std::size_t i = 0;
    while (i < latin1.size()) {
        // Runs of characters that need no escape go in whole.
        std::size_t run = i;
        while (run < latin1.size() && Plain(static_cast<unsigned char>(latin1[run]))) {
            ++run;
        }
        out.append(latin1.data() + i, run - i);
        if (run == latin1.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(latin1[run]);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c >= 0x80) {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        i = run + 1;
    }
    out += '"';
}

std::string JsonString(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size() + 2);
    AppendJsonString(out, latin1);
    return out;
}

std::string JsonNumber(double value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    if (value == 0.0) {
        return "0"; // also for -0
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

} // namespace kv
