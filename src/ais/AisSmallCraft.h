#pragma once
// Decoding of the messages small craft and aids to navigation send: Class B position reports
// (18), Class B extended reports (19), aid-to-navigation reports (21) and Class B static data
// (24, parts A and B). Each decodes into its own record in on-the-wire units: positions in
// 1/10000 minute (east and north positive, sign-extended), SOG in 0.1 knot, COG in 0.1 degree,
// texts as six-bit characters with their "@" fill. Pure: no I/O, no platform.

#include "ais/AisDecoder.h"

#include <cstdint>
#include <string_view>
#include <variant>

namespace kv {

// A text of at most N six-bit characters, kept inline so that decoding allocates nothing.
template <std::size_t N> struct AisFixedText {
    std::uint8_t length = 0;
    char chars[N] = {};
    std::string_view view() const { return { chars, length }; }
};

struct AisClassBPosition { // type 18
    std::uint8_t MsgType = 18, Repeat = 0;
    std::uint32_t MMSI = 0;
    std::uint8_t Reserved8 = 0;
    std::uint16_t SOG = 0;
    std::uint8_t PosAccuracy = 0;
    std::int32_t Longitude = 0, Latitude = 0;
    std::uint16_t COG = 0, TrueHeading = 0;
    std::uint8_t TimeStamp = 0, Regional2 = 0;
    std::uint8_t CSUnit = 0, Display = 0, DSC = 0, Band = 0, Msg22 = 0, Assigned = 0, RAIM = 0;
    std::uint32_t CommState = 0;
};

struct AisClassBExtended { // type 19
    std::uint8_t MsgType = 19, Repeat = 0;
    std::uint32_t MMSI = 0;
    std::uint8_t Reserved8 = 0;
    std::uint16_t SOG = 0;
    std::uint8_t PosAccuracy = 0;
    std::int32_t Longitude = 0, Latitude = 0;
    std::uint16_t COG = 0, TrueHeading = 0;
    std::uint8_t TimeStamp = 0, Regional4 = 0;
    AisFixedText<20> VesselName;
    std::uint16_t ShipType = 0;
    std::uint16_t DimA = 0, DimB = 0, DimC = 0, DimD = 0;
    std::uint8_t EPFD = 0, RAIM = 0, DTE = 0, Assigned = 0;
};

struct AisAidToNavigation { // type 21
    std::uint8_t MsgType = 21, Repeat = 0;
    std::uint32_t MMSI = 0;
    std::uint8_t AidType = 0;
    AisFixedText<34> Name; // 20 characters and the extension of up to 14
    std::uint8_t PosAccuracy = 0;
    std::int32_t Longitude = 0, Latitude = 0;
    std::uint16_t DimA = 0, DimB = 0, DimC = 0, DimD = 0;
    std::uint8_t EPFD = 0, TimeStamp = 0, OffPosition = 0, Regional8 = 0, RAIM = 0, Virtual = 0, Assigned = 0;
};

struct AisClassBStatic { // type 24, part A (0) or part B (1)
    std::uint8_t MsgType = 24, Repeat = 0;
    std::uint32_t MMSI = 0;
    std::uint8_t PartNumber = 0;
    AisFixedText<20> VesselName; // part A
    std::uint16_t ShipType = 0; // part B from here on
    AisFixedText<7> VendorID; // the 42-bit vendor field as seven characters
    AisFixedText<7> CallSign;
    std::uint16_t DimA = 0, DimB = 0, DimC = 0, DimD = 0;
    std::uint32_t MothershipMMSI = 0; // the same bits as the dimensions, for auxiliary craft
};

// An auxiliary craft (98xxxxxxx) gives its mother ship's MMSI where others give dimensions.
inline bool IsAuxiliaryCraft(std::uint32_t mmsi)
{
    return mmsi / 10000000u == 98u;
}

using AisSmallCraftMessage
    = std::variant<std::monostate, AisClassBPosition, AisClassBExtended, AisAidToNavigation, AisClassBStatic>;

enum class AisSmallCraftResult {
    Decoded,
    NotSmallCraft, // a type this decoder does not handle
    Short, // fewer bits than the type carries: dropped
    BadPart, // a static data report with part number 2 or 3: dropped
};

// Minimum payload length in bits of each type (0 for the types not handled here).
int SmallCraftMinBits(unsigned type);

// Decodes the message in `buffer` whose payload held `bits` bits. `out` is set only on Decoded.
AisSmallCraftResult DecodeSmallCraft(const SixBitBuffer& buffer, std::size_t bits, AisSmallCraftMessage& out);

// Counts kept by a reader of many messages.
struct AisSmallCraftCounts {
    long decoded = 0;
    long shortDropped = 0;
    long badPart = 0;
    void add(AisSmallCraftResult r)
    {
        decoded += r == AisSmallCraftResult::Decoded;
        shortDropped += r == AisSmallCraftResult::Short;
        badPart += r == AisSmallCraftResult::BadPart;
    }
};

} // namespace kv
