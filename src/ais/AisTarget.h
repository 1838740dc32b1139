#pragma once
// TAISTarget: the one record of an AIS station. The same 824-byte image is the decoder's current
// message, each slot of the target table and each record of the vessel database KVAIS.ADB, so
// the struct is laid out exactly as the file stores it: every member sits at its natural
// alignment, the reserved gaps are explicit members, and the static_asserts below pin every
// offset. A record is read from or written to the file with a plain byte copy.
//
// Booleans are bytes (a database byte of 2 must not become an invalid bool) and texts are
// length-prefixed with the length clamped on reading, so a corrupt record is harmless.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace kv {

static_assert(std::endian::native == std::endian::little, "TAISTarget images are little-endian");

// One length byte followed by N character bytes.
template <std::size_t N> struct AisString {
    std::uint8_t length;
    char chars[N];

    std::string_view view() const { return { chars, length <= N ? length : N }; }
    std::string str() const { return std::string(view()); }
    void set(std::string_view text)
    {
        const std::size_t n = text.size() < N ? text.size() : N;
        length = static_cast<std::uint8_t>(n);
        if (n > 0) { // an empty view may carry no address at all
            std::memcpy(chars, text.data(), n);
        }
    }
};

struct AisTrackPoint {
    double lat; // degrees, north positive
    double lon; // degrees, EAST positive (as received)
};

inline constexpr int kAisTrackPoints = 40;

struct TAISTarget {
    std::uint8_t MsgType;
    std::uint8_t Repeat;
    std::uint8_t reserved2[2];
    std::uint32_t MMSI;
    std::uint8_t NavStatus;
    std::uint8_t ROT; // raw; read as a signed byte by the text
    std::uint16_t SOG;
    std::uint8_t PosAccuracy;
    std::uint8_t reserved13[3];
    std::int32_t Longitude; // 1/10000 minute, east positive
    std::int32_t Latitude; // 1/10000 minute, north positive
    std::uint16_t COG;
    std::uint16_t TrueHeading;
    std::uint8_t TimeStamp;
    std::uint8_t Regional;
    std::uint8_t Spare;
    std::uint8_t RAIM;
    std::uint32_t CommState;
    std::uint16_t Year, Month, Day, Hour, Minute, Second;
    std::uint8_t EPFD;
    std::uint8_t reserved49[3];
    std::uint32_t Reserved52;
    std::uint8_t AISVersion;
    std::uint8_t reserved57[3];
    std::uint32_t IMO;
    AisString<7> CallSign;
    AisString<20> VesselName;
    std::uint8_t reserved93;
    std::uint16_t ShipType;
    std::uint16_t DimA, DimB, DimC, DimD;
    std::uint32_t ETA;
    std::uint8_t reserved108[4];
    std::uint8_t reserved112[8];
    std::uint8_t Draught;
    AisString<20> Destination;
    std::uint8_t DTE;
    std::uint8_t reserved143;
    AisString<5> FragCount;
    AisString<5> FragNum;
    AisString<5> SeqId;
    std::uint8_t reserved162[6];
    double LastHeard; // days since 30 December 1899, fraction = time of day
    AisTrackPoint Track[kAisTrackPoints];
    std::uint16_t TrackCount;
    std::uint8_t reserved818[6];

    // Track point k, 1-based as the program numbers them.
    AisTrackPoint& point(int k) { return Track[k - 1]; }
    const AisTrackPoint& point(int k) const { return Track[k - 1]; }
};

inline constexpr std::size_t kTAISTargetSize = 824;
using AisRecordImage = std::array<unsigned char, kTAISTargetSize>;

static_assert(std::is_standard_layout_v<TAISTarget> && std::is_trivially_copyable_v<TAISTarget>);
static_assert(sizeof(TAISTarget) == kTAISTargetSize);
static_assert(offsetof(TAISTarget, MMSI) == 4 && offsetof(TAISTarget, NavStatus) == 8);
static_assert(offsetof(TAISTarget, SOG) == 10 && offsetof(TAISTarget, PosAccuracy) == 12);
static_assert(offsetof(TAISTarget, Longitude) == 16 && offsetof(TAISTarget, Latitude) == 20);
static_assert(offsetof(TAISTarget, COG) == 24 && offsetof(TAISTarget, TrueHeading) == 26);
static_assert(offsetof(TAISTarget, TimeStamp) == 28 && offsetof(TAISTarget, RAIM) == 31);
static_assert(offsetof(TAISTarget, CommState) == 32 && offsetof(TAISTarget, Year) == 36);
static_assert(offsetof(TAISTarget, Second) == 46 && offsetof(TAISTarget, EPFD) == 48);
static_assert(offsetof(TAISTarget, Reserved52) == 52 && offsetof(TAISTarget, AISVersion) == 56);
static_assert(offsetof(TAISTarget, IMO) == 60 && offsetof(TAISTarget, CallSign) == 64);
static_assert(offsetof(TAISTarget, VesselName) == 72 && offsetof(TAISTarget, ShipType) == 94);
static_assert(offsetof(TAISTarget, DimD) == 102 && offsetof(TAISTarget, ETA) == 104);
static_assert(offsetof(TAISTarget, reserved112) == 112 && offsetof(TAISTarget, Draught) == 120);
static_assert(offsetof(TAISTarget, Destination) == 121 && offsetof(TAISTarget, DTE) == 142);
static_assert(offsetof(TAISTarget, FragCount) == 144 && offsetof(TAISTarget, FragNum) == 150);
static_assert(offsetof(TAISTarget, SeqId) == 156 && offsetof(TAISTarget, LastHeard) == 168);
static_assert(offsetof(TAISTarget, Track) == 176 && offsetof(TAISTarget, TrackCount) == 816);

// An all-zero record: message type 0, MMSI 0, no track.
inline TAISTarget ZeroTarget()
{
    TAISTarget t;
    std::memset(&t, 0, sizeof t);
    return t;
}
inline void ZeroTarget(TAISTarget& t)
{
    std::memset(&t, 0, sizeof t);
}

inline AisRecordImage ToImage(const TAISTarget& t)
{
    AisRecordImage image;
    std::memcpy(image.data(), &t, kTAISTargetSize);
    return image;
}

// Any 824 bytes make a usable record: lengths are clamped on reading, booleans are bytes and the
// track count is clamped by every reader (TrackPointCount).
inline TAISTarget FromImage(const unsigned char* bytes)
{
    TAISTarget t;
    std::memcpy(&t, bytes, kTAISTargetSize);
    return t;
}

inline int TrackPointCount(const TAISTarget& t)
{
    return t.TrackCount <= kAisTrackPoints ? t.TrackCount : kAisTrackPoints;
}

} // namespace kv
