#include "ais/AisEncoder.h"

#include <cstdio>

namespace kv {

void AisBitWriter::put(std::int64_t value, int width)
{
    const auto u = static_cast<std::uint64_t>(value);
    for (int i = width - 1; i >= 0; --i) {
        bits_.push_back(static_cast<std::uint8_t>((u >> i) & 1u));
    }
}

void AisBitWriter::putText(std::string_view text, int chars)
{
    for (int i = 0; i < chars; ++i) {
        unsigned c
            = i < static_cast<int>(text.size()) ? static_cast<unsigned char>(text[static_cast<std::size_t>(i)]) : '@';
        if (c >= 96) {
            c -= 32; // lower case has no six-bit form: use upper case
        }
        const unsigned v = c >= 64 ? c - 64 : c;
        put(v & 63u, 6);
    }
}

char ArmourSymbol(unsigned symbol)
{
    symbol &= 63u;
    return static_cast<char>(symbol < 40 ? symbol + 48 : symbol + 56);
}

std::string AisBitWriter::armoured(int* fillBits) const
{
    const std::size_t symbols = (bits_.size() + 5) / 6;
    std::string text;
    text.reserve(symbols);
    for (std::size_t s = 0; s < symbols; ++s) {
        unsigned v = 0;
        for (std::size_t b = 0; b < 6; ++b) {
            const std::size_t i = s * 6 + b;
            v = (v << 1) | (i < bits_.size() ? bits_[i] : 0u);
        }
        text.push_back(ArmourSymbol(v));
    }
    if (fillBits != nullptr) {
        *fillBits = static_cast<int>(symbols * 6 - bits_.size());
    }
    return text;
}

std::string AisChecksum(std::string_view body)
{
    unsigned x = 0;
    for (std::size_t i = 1; i < body.size(); ++i) {
        x ^= static_cast<unsigned char>(body[i]);
    }
    char buf[4];
    std::snprintf(buf, sizeof buf, "*%02X", x & 0xFFu);
    return buf;
}

std::vector<std::string> AisSentences(
    std::string_view payload, int fillBits, std::string_view seqId, char channel, std::size_t maxChars)
{
    std::vector<std::string> out;
    if (maxChars == 0) {
        maxChars = 60;
    }
    const std::size_t count = payload.empty() ? 1 : (payload.size() + maxChars - 1) / maxChars;
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view part = payload.substr(std::min(payload.size(), k * maxChars), maxChars);
        std::string s = "!AIVDM," + std::to_string(count) + "," + std::to_string(k + 1) + ",";
        if (count > 1) {
            s.append(seqId);
        }
        s += ",";
        s += channel;
        s += ",";
        s.append(part);
        s += ",";
        s += std::to_string(k + 1 == count ? fillBits : 0);
        s += AisChecksum(s);
        out.push_back(std::move(s));
    }
    return out;
}

} // namespace kv
