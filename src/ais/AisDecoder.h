#pragma once
// Assembly of "!AIVDM" fragments into one message and decoding of the six-bit payload into the
// current message record. Pure: no I/O, no platform.

#include "ais/AisTarget.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::size_t kSixBitBufSize = 500; // symbols; 3,000 bits

using SixBitBuffer = std::array<std::uint8_t, kSixBitBufSize>;

// De-armours each character into one symbol. Characters beyond the buffer are not stored;
// the return value is the number of characters given.
std::size_t PayloadToSixBit(std::string_view text, SixBitBuffer& buffer);
std::uint8_t DeArmour(unsigned char c);

// Bits first..last (1-based, inclusive, most significant first); at most the last 32 bits of the
// range are kept. Bits outside the buffer read as 0.
std::uint32_t GetBitsAnyRange(const SixBitBuffer& buffer, int first, int last);
inline std::uint32_t GetBits(const SixBitBuffer& buffer, int first, int last)
{
    // The common case, a field of up to 32 bits inside the buffer, inline so that the fixed
    // field positions of the decoders fold into the shifts: the symbols the field touches (at
    // most seven) side by side in one word, then shifted and masked.
    constexpr int kBits = static_cast<int>(kSixBitBufSize) * 6;
    if (first >= 1 && last <= kBits && first <= last && last - first < 32) {
        const int s = (first - 1) / 6;
        const int e = (last - 1) / 6;
        std::uint64_t word = 0;
        for (int i = s; i <= e; ++i) {
            word = (word << 6) | (buffer[static_cast<std::size_t>(i)] & 63u);
        }
        const int width = last - first + 1;
        return static_cast<std::uint32_t>((word >> (6 * (e + 1) - last)) & ((std::uint64_t { 1 } << width) - 1u));
    }
    return GetBitsAnyRange(buffer, first, last);
}
// Bits first..last as a two's complement number (longitude, latitude).
std::int32_t GetSignedBits(const SixBitBuffer& buffer, int first, int last);
// `count` characters of the six-bit text alphabet from bit `first` on, into out.
void GetSixBitChars(const SixBitBuffer& buffer, int first, int count, char* out);
// The characters of bits first..last, as many whole ones as the range holds.
std::string GetSixBitText(const SixBitBuffer& buffer, int first, int last);

// Fills the record (which the caller has zeroed) from the symbols.
void DecodeAISMessage(const SixBitBuffer& buffer, TAISTarget& record);

// Joins the fragments of one message and decodes it into Current. Payload text beyond 500
// symbols is never stored: such a message is dropped and the record left all zero.
class AisAssembler {
public:
    // Returns true when the sentence completed a message (decoded or dropped as over-long).
    bool ProcessAISSentence(std::string_view sentence);

    const TAISTarget& current() const { return Current; }

    TAISTarget Current = ZeroTarget();
    std::string SavedSeqId;
    std::string AISPayload; // joined fragments of a multi-fragment message
    SixBitBuffer SixBitBuf {};
    bool PayloadTooLong = false; // the joined payload passed the buffer
    bool LastDropped = false; // the last completed message was dropped as too long
    std::size_t PayloadSymbols = 0; // symbols of the last completed message (its length is 6 times this)

private:
    void startPayload(std::string_view text);
    void appendPayload(std::string_view text);
    void decodePayload(std::string_view text, bool tooLong);
};

} // namespace kv
