#include "ais/AisDecoder.h"

#include "nmea/NmeaParse.h"

#include <algorithm>

namespace kv {

std::uint8_t DeArmour(unsigned char c)
{
    // Unsigned arithmetic modulo 64 gives the same symbol as the classic (c - 48) mod 64 for
    // every byte, characters outside the armour range included.
    return static_cast<std::uint8_t>((c <= 88 ? c - 48u : c - 56u) & 63u);
}

std::size_t PayloadToSixBit(std::string_view text, SixBitBuffer& buffer)
{
    const std::size_t n = std::min(text.size(), buffer.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        buffer[i] = static_cast<std::uint8_t>((c <= 88 ? c - 48u : c - 56u) & 63u); // as DeArmour
    }
    return text.size();
}

std::uint32_t GetBitsAnyRange(const SixBitBuffer& buffer, int first, int last)
{
    constexpr int kBits = static_cast<int>(kSixBitBufSize) * 6;
    // Whole runs of a symbol's bits at a time; bits outside the buffer read as 0.
    std::uint64_t acc = 0;
    int bit = first;
    while (bit <= last) {
        if (bit < 1 || bit > kBits) {
            acc <<= 1;
            ++bit;
            continue;
        }
        const int offset = (bit - 1) % 6; // bits of this symbol before `bit`
        const int take = std::min(6 - offset, last - bit + 1);
        const unsigned symbol = buffer[static_cast<std::size_t>((bit - 1) / 6)] & 63u;
        acc = (acc << take) | ((symbol >> (6 - offset - take)) & ((1u << take) - 1u));
        bit += take;
    }
    return static_cast<std::uint32_t>(acc);
}

std::int32_t GetSignedBits(const SixBitBuffer& buffer, int first, int last)
{
    const int width = last - first + 1;
    const std::uint32_t value = GetBits(buffer, first, last);
    if (width > 0 && width < 32 && (value & (1u << (width - 1))) != 0) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(value) - (std::int64_t { 1 } << width));
    }
    return static_cast<std::int32_t>(value);
}

void GetSixBitChars(const SixBitBuffer& buffer, int first, int count, char* out)
{
    // Symbols 0-31 are '@' to '_', 32-63 are ' ' to '?'.
    for (int i = 0; i < count; ++i) {
        const std::uint32_t v = GetBits(buffer, first + 6 * i, first + 6 * i + 5);
        out[i] = static_cast<char>(v < 32 ? v + 64 : v);
    }
}

std::string GetSixBitText(const SixBitBuffer& buffer, int first, int last)
{
    const int count = std::max((last - first + 1) / 6, 0);
    std::string text(static_cast<std::size_t>(count), '\0');
    GetSixBitChars(buffer, first, count, text.data());
    return text;
}

namespace {

template <std::size_t N> void SetText(AisString<N>& field, const SixBitBuffer& buffer, int first, int last)
{
    char chars[64];
    const int count = std::min((last - first + 1) / 6, 64);
    GetSixBitChars(buffer, first, count, chars);
    field.set(std::string_view(chars, static_cast<std::size_t>(count)));
}

} // namespace

void DecodeAISMessage(const SixBitBuffer& b, TAISTarget& r)
{
    const std::uint32_t type = b[0];
    switch (type) {
    case 1:
    case 2:
    case 3:
        r.MsgType = static_cast<std::uint8_t>(type);
        r.Repeat = static_cast<std::uint8_t>(GetBits(b, 7, 8));
        r.MMSI = GetBits(b, 9, 38);
        r.NavStatus = static_cast<std::uint8_t>(GetBits(b, 39, 42));
        r.ROT = static_cast<std::uint8_t>(GetBits(b, 43, 50));
        r.SOG = static_cast<std::uint16_t>(GetBits(b, 51, 60));
        r.PosAccuracy = static_cast<std::uint8_t>(GetBits(b, 61, 61));
        r.Longitude = GetSignedBits(b, 62, 89);
        r.Latitude = GetSignedBits(b, 90, 116);
        r.COG = static_cast<std::uint16_t>(GetBits(b, 117, 128));
        r.TrueHeading = static_cast<std::uint16_t>(GetBits(b, 129, 137));
        r.TimeStamp = static_cast<std::uint8_t>(GetBits(b, 138, 143));
        r.Regional = static_cast<std::uint8_t>(GetBits(b, 144, 147));
        r.Spare = static_cast<std::uint8_t>(GetBits(b, 148, 148));
        r.RAIM = static_cast<std::uint8_t>(GetBits(b, 149, 149));
        r.CommState = GetBits(b, 150, 168);
        break;
    case 4:
    case 11:
        r.MsgType = static_cast<std::uint8_t>(type);
        r.Repeat = static_cast<std::uint8_t>(GetBits(b, 7, 8));
        r.MMSI = GetBits(b, 9, 38);
        r.Year = static_cast<std::uint16_t>(GetBits(b, 39, 52));
        r.Month = static_cast<std::uint16_t>(GetBits(b, 53, 56));
        r.Day = static_cast<std::uint16_t>(GetBits(b, 57, 61));
        r.Hour = static_cast<std::uint16_t>(GetBits(b, 62, 66));
        r.Minute = static_cast<std::uint16_t>(GetBits(b, 67, 72));
        r.Second = static_cast<std::uint16_t>(GetBits(b, 73, 78));
        r.PosAccuracy = static_cast<std::uint8_t>(GetBits(b, 79, 79));
        r.Longitude = GetSignedBits(b, 80, 107);
        r.Latitude = GetSignedBits(b, 108, 134);
        r.EPFD = static_cast<std::uint8_t>(GetBits(b, 135, 138));
        r.Reserved52 = 0;
        r.RAIM = static_cast<std::uint8_t>(GetBits(b, 149, 149));
        r.CommState = GetBits(b, 150, 168);
        break;
    case 5:
        r.MsgType = 5;
        r.Repeat = static_cast<std::uint8_t>(GetBits(b, 7, 8));
        r.MMSI = GetBits(b, 9, 38);
        r.AISVersion = static_cast<std::uint8_t>(GetBits(b, 39, 40));
        r.IMO = GetBits(b, 41, 70);
        SetText(r.CallSign, b, 71, 112);
        SetText(r.VesselName, b, 113, 232);
        r.ShipType = static_cast<std::uint16_t>(GetBits(b, 233, 240));
        r.DimA = static_cast<std::uint16_t>(GetBits(b, 241, 249));
        r.DimB = static_cast<std::uint16_t>(GetBits(b, 250, 258));
        r.DimC = static_cast<std::uint16_t>(GetBits(b, 259, 264));
        r.DimD = static_cast<std::uint16_t>(GetBits(b, 265, 270));
        r.EPFD = static_cast<std::uint8_t>(GetBits(b, 271, 274));
        r.ETA = GetBits(b, 275, 294);
        r.Draught = static_cast<std::uint8_t>(GetBits(b, 295, 302));
        SetText(r.Destination, b, 303, 422);
        r.DTE = static_cast<std::uint8_t>(GetBits(b, 423, 423));
        break;
    default:
        break; // other types decode to nothing: the record stays all zero
    }
}

void AisAssembler::startPayload(std::string_view text)
{
    AISPayload.clear();
    PayloadTooLong = false;
    appendPayload(text);
}

void AisAssembler::appendPayload(std::string_view text)
{
    // The joined text never grows past one character more than the buffer holds: that is
    // enough to know the message cannot be decoded, and repeated middle fragments cannot make
    // the string grow without bound.
    const std::size_t room = kSixBitBufSize + 1 - std::min(AISPayload.size(), kSixBitBufSize + 1);
    if (text.size() > room) {
        PayloadTooLong = true;
    }
    AISPayload.append(text.substr(0, room));
    if (AISPayload.size() > kSixBitBufSize) {
        PayloadTooLong = true;
    }
}

void AisAssembler::decodePayload(std::string_view text, bool tooLong)
{
    LastDropped = tooLong;
    PayloadSymbols = tooLong ? 0 : text.size();
    if (tooLong) {
        return; // the record stays all zero: nothing is made of a message that cannot fit
    }
    PayloadToSixBit(text, SixBitBuf);
    DecodeAISMessage(SixBitBuf, Current);
}

bool AisAssembler::ProcessAISSentence(std::string_view s)
{
    const std::string_view count = NmeaFieldView(s, 1).substr(0, 5);
    const std::string_view num = NmeaFieldView(s, 2).substr(0, 5);
    const std::string_view seqId = NmeaFieldView(s, 3).substr(0, 5);
    const std::string_view payload = NmeaFieldView(s, 5);

    if (count == "1" && num == "1") {
        // A one-fragment message decodes from its own payload. On a busy channel position
        // reports arrive between the fragments of static data messages, so the joined text and
        // SavedSeqId of a pending message must survive it.
        ZeroTarget(Current);
        SixBitBuf.fill(0);
        decodePayload(payload, payload.size() > kSixBitBufSize);
        return true;
    }
    bool completed = false;
    if (count > "1" && num == "1") {
        SavedSeqId.assign(seqId);
        startPayload(payload);
    }
    // Middle fragments are joined in arrival order: fragment 2 of three, and fragments 2.. of
    // the rare four- to nine-fragment messages.
    if (count.size() == 1 && num.size() == 1 && count > num && num > "1" && seqId == SavedSeqId) {
        appendPayload(payload);
    }
    if (count > "1" && count == num && seqId == SavedSeqId) {
        SixBitBuf.fill(0);
        ZeroTarget(Current);
        Current.FragCount.set(count);
        Current.FragNum.set(num);
        Current.SeqId.set(seqId);
        appendPayload(payload);
        decodePayload(AISPayload, PayloadTooLong);
        completed = true;
    }
    return completed;
}

} // namespace kv
