#pragma once
// Building "!AIVDM" sentences from field values: the generator of test and benchmark traffic
// (kvtool ais-gen), and the tests' way of writing a payload bit by bit.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class AisBitWriter {
public:
    // Appends the low `width` bits of value, most significant first (negative values as two's
    // complement of that width).
    void put(std::int64_t value, int width);
    // Appends text as six-bit characters, padded with "@" (0) to `chars` characters.
    void putText(std::string_view text, int chars);
    int bits() const { return static_cast<int>(bits_.size()); }
    // The armoured payload and the number of fill bits added to reach a whole symbol.
    std::string armoured(int* fillBits = nullptr) const;

private:
    std::vector<std::uint8_t> bits_;
};

char ArmourSymbol(unsigned symbol);

// "*" and two upper-case hexadecimal digits of the exclusive-or of the characters after the
// leading "!" or "$".
std::string AisChecksum(std::string_view body);

// The sentences of one payload, split into fragments of at most `maxChars` payload characters.
std::vector<std::string> AisSentences(
    std::string_view payload, int fillBits, std::string_view seqId, char channel = 'A', std::size_t maxChars = 60);

} // namespace kv
