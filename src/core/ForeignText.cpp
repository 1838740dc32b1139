#include "core/ForeignText.h"

namespace kv {

namespace {

// The code point of the UTF-8 sequence at text[i], with its length; length 1 and no code point
// for a byte that does not start a valid sequence.
struct Decoded {
    long code = -1;
    std::size_t length = 1;
};

Decoded DecodeAt(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
        return { lead, 1 };
    }
    std::size_t length = 0;
    long code = 0;
    long minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (i + length > text.size()) {
        return {};
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if ((c & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (c & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF) {
        return {}; // an over-long form or beyond Unicode: not a character
    }
    return { code, length };
}

} // namespace

std::string FixedLayoutText(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Decoded d = DecodeAt(utf8, i);
        i += d.length;
        if (d.code < 0 || d.code > 0xFF) {
            out += '?';
        } else if (d.code < 0x20 || (d.code >= 0x7F && d.code < 0xA0)) {
            out += ' '; // C0, DEL and C1 controls
        } else {
            out += static_cast<char>(d.code);
        }
    }
    return out;
}

} // namespace kv
