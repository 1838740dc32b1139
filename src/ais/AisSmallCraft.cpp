#include "ais/AisSmallCraft.h"

namespace kv {

namespace {

template <typename T> T Bits(const SixBitBuffer& b, int first, int last)
{
    return static_cast<T>(GetBits(b, first, last));
}

// `count` six-bit characters from bit `first` on (1-based), appended to what the field holds
// until it is full.
template <std::size_t N> void Text(AisFixedText<N>& field, const SixBitBuffer& b, int first, int count)
{
    const int room = static_cast<int>(N) - static_cast<int>(field.length);
    const int n = count < room ? count : room;
    GetSixBitChars(b, first, n, field.chars + field.length);
    field.length = static_cast<std::uint8_t>(field.length + n);
}

// Class B position and extended reports (18 and 19) share their first 139 bits.
template <typename M> void ReadClassBHead(M& m, const SixBitBuffer& b)
{
    m.Repeat = Bits<std::uint8_t>(b, 7, 8);
    m.MMSI = GetBits(b, 9, 38);
    m.Reserved8 = Bits<std::uint8_t>(b, 39, 46);
    m.SOG = Bits<std::uint16_t>(b, 47, 56);
    m.PosAccuracy = Bits<std::uint8_t>(b, 57, 57);
    m.Longitude = GetSignedBits(b, 58, 85);
    m.Latitude = GetSignedBits(b, 86, 112);
    m.COG = Bits<std::uint16_t>(b, 113, 124);
    m.TrueHeading = Bits<std::uint16_t>(b, 125, 133);
    m.TimeStamp = Bits<std::uint8_t>(b, 134, 139);
}

} // namespace

int SmallCraftMinBits(unsigned type)
{
    switch (type) {
    case 18:
        return 168;
    case 19:
        return 312;
    case 21:
        return 272;
    case 24:
        return 160; // part A; part B needs 168, checked once the part is known
    default:
        return 0;
    }
}

AisSmallCraftResult DecodeSmallCraft(const SixBitBuffer& b, std::size_t bits, AisSmallCraftMessage& out)
{
    const unsigned type = b[0];
    const int minBits = SmallCraftMinBits(type);
    if (minBits == 0) {
        return AisSmallCraftResult::NotSmallCraft;
    }
    if (bits < static_cast<std::size_t>(minBits)) {
        return AisSmallCraftResult::Short;
    }
    switch (type) {
    case 18: {
        AisClassBPosition m;
        ReadClassBHead(m, b);
        m.Regional2 = Bits<std::uint8_t>(b, 140, 141);
        m.CSUnit = Bits<std::uint8_t>(b, 142, 142);
        m.Display = Bits<std::uint8_t>(b, 143, 143);
        m.DSC = Bits<std::uint8_t>(b, 144, 144);
        m.Band = Bits<std::uint8_t>(b, 145, 145);
        m.Msg22 = Bits<std::uint8_t>(b, 146, 146);
        m.Assigned = Bits<std::uint8_t>(b, 147, 147);
        m.RAIM = Bits<std::uint8_t>(b, 148, 148);
        m.CommState = GetBits(b, 149, 168);
        out = m;
        break;
    }
    case 19: {
        AisClassBExtended m;
        ReadClassBHead(m, b);
        m.Regional4 = Bits<std::uint8_t>(b, 140, 143);
        Text(m.VesselName, b, 144, 20);
        m.ShipType = Bits<std::uint16_t>(b, 264, 271);
        m.DimA = Bits<std::uint16_t>(b, 272, 280);
        m.DimB = Bits<std::uint16_t>(b, 281, 289);
        m.DimC = Bits<std::uint16_t>(b, 290, 295);
        m.DimD = Bits<std::uint16_t>(b, 296, 301);
        m.EPFD = Bits<std::uint8_t>(b, 302, 305);
        m.RAIM = Bits<std::uint8_t>(b, 306, 306);
        m.DTE = Bits<std::uint8_t>(b, 307, 307);
        m.Assigned = Bits<std::uint8_t>(b, 308, 308);
        out = m;
        break;
    }
    case 21: {
        AisAidToNavigation m;
        m.Repeat = Bits<std::uint8_t>(b, 7, 8);
        m.MMSI = GetBits(b, 9, 38);
        m.AidType = Bits<std::uint8_t>(b, 39, 43);
        Text(m.Name, b, 44, 20);
        m.PosAccuracy = Bits<std::uint8_t>(b, 164, 164);
        m.Longitude = GetSignedBits(b, 165, 192);
        m.Latitude = GetSignedBits(b, 193, 219);
        m.DimA = Bits<std::uint16_t>(b, 220, 228);
        m.DimB = Bits<std::uint16_t>(b, 229, 237);
        m.DimC = Bits<std::uint16_t>(b, 238, 243);
        m.DimD = Bits<std::uint16_t>(b, 244, 249);
        m.EPFD = Bits<std::uint8_t>(b, 250, 253);
        m.TimeStamp = Bits<std::uint8_t>(b, 254, 259);
        m.OffPosition = Bits<std::uint8_t>(b, 260, 260);
        m.Regional8 = Bits<std::uint8_t>(b, 261, 268);
        m.RAIM = Bits<std::uint8_t>(b, 269, 269);
        m.Virtual = Bits<std::uint8_t>(b, 270, 270);
        m.Assigned = Bits<std::uint8_t>(b, 271, 271);
        // The name extension follows the spare bit in whole characters; the fill bits of the
        // last symbol never make one.
        const std::size_t usable = bits < kSixBitBufSize * 6 ? bits : kSixBitBufSize * 6;
        Text(m.Name, b, 273, static_cast<int>((usable - 272) / 6));
        out = m;
        break;
    }
    case 24: {
        AisClassBStatic m;
        m.Repeat = Bits<std::uint8_t>(b, 7, 8);
        m.MMSI = GetBits(b, 9, 38);
        m.PartNumber = Bits<std::uint8_t>(b, 39, 40);
        if (m.PartNumber > 1) {
            return AisSmallCraftResult::BadPart;
        }
        if (m.PartNumber == 0) {
            Text(m.VesselName, b, 41, 20);
        } else {
            if (bits < 168) {
                return AisSmallCraftResult::Short;
            }
            m.ShipType = Bits<std::uint16_t>(b, 41, 48);
            Text(m.VendorID, b, 49, 7);
            Text(m.CallSign, b, 91, 7);
            m.DimA = Bits<std::uint16_t>(b, 133, 141);
            m.DimB = Bits<std::uint16_t>(b, 142, 150);
            m.DimC = Bits<std::uint16_t>(b, 151, 156);
            m.DimD = Bits<std::uint16_t>(b, 157, 162);
            if (IsAuxiliaryCraft(m.MMSI)) {
                m.MothershipMMSI = GetBits(b, 133, 162);
            }
        }
        out = m;
        break;
    }
    default:
        return AisSmallCraftResult::NotSmallCraft;
    }
    return AisSmallCraftResult::Decoded;
}

} // namespace kv
