#include "AisTestSupport.h"

#include "ais/AisDecoder.h"
#include "ais/AisTarget.h"
#include "nmea/NmeaParse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace kv;
using namespace aistest;

namespace {

// Reads a little-endian value out of a record image.
template <typename T> T At(const AisRecordImage& image, std::size_t offset)
{
    T v;
    std::memcpy(&v, image.data() + offset, sizeof v);
    return v;
}

TEST(AisRecordLayout, FieldsLandAtTheirFileOffsets)
{
    TAISTarget t = ZeroTarget();
    t.MsgType = 5;
    t.MMSI = 0x11223344;
    t.ROT = 0x80;
    t.SOG = 0x1234;
    t.Longitude = -2;
    t.Latitude = 0x01020304;
    t.TrueHeading = 511;
    t.CommState = 0x7FFFF;
    t.Year = 2026;
    t.Second = 59;
    t.EPFD = 7;
    t.IMO = 9134270;
    t.CallSign.set("3FOF8@@");
    t.VesselName.set("EVER DIADEM");
    t.ShipType = 70;
    t.DimD = 31;
    t.ETA = 0xABCDE;
    t.Draught = 122;
    t.Destination.set("NEW YORK");
    t.DTE = 1;
    t.FragCount.set("2");
    t.SeqId.set("12345");
    t.LastHeard = 46000.5;
    t.point(1) = { 50.5, -1.25 };
    t.point(40) = { -10.0, 181.0 };
    t.TrackCount = 40;
    const AisRecordImage image = ToImage(t);

    EXPECT_EQ(image[0], 5);
    EXPECT_EQ(At<std::uint32_t>(image, 4), 0x11223344u);
    EXPECT_EQ(image[4], 0x44); // little-endian
    EXPECT_EQ(image[9], 0x80);
    EXPECT_EQ(At<std::uint16_t>(image, 10), 0x1234);
    EXPECT_EQ(At<std::int32_t>(image, 16), -2);
    EXPECT_EQ(At<std::int32_t>(image, 20), 0x01020304);
    EXPECT_EQ(At<std::uint16_t>(image, 26), 511);
    EXPECT_EQ(At<std::uint32_t>(image, 32), 0x7FFFFu);
    EXPECT_EQ(At<std::uint16_t>(image, 36), 2026);
    EXPECT_EQ(At<std::uint16_t>(image, 46), 59);
    EXPECT_EQ(image[48], 7);
    EXPECT_EQ(At<std::uint32_t>(image, 60), 9134270u);
    EXPECT_EQ(image[64], 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[65]), 7), "3FOF8@@");
    EXPECT_EQ(image[72], 11);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[73]), 11), "EVER DIADEM");
    EXPECT_EQ(At<std::uint16_t>(image, 94), 70);
    EXPECT_EQ(At<std::uint16_t>(image, 102), 31);
    EXPECT_EQ(At<std::uint32_t>(image, 104), 0xABCDEu);
    EXPECT_EQ(image[120], 122);
    EXPECT_EQ(image[121], 8);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[122]), 8), "NEW YORK");
    EXPECT_EQ(image[142], 1);
    EXPECT_EQ(image[144], 1);
    EXPECT_EQ(image[145], '2');
    EXPECT_EQ(image[156], 5);
    EXPECT_EQ(At<double>(image, 168), 46000.5);
    EXPECT_EQ(At<double>(image, 160 + 16 * 1), 50.5);
    EXPECT_EQ(At<double>(image, 160 + 16 * 1 + 8), -1.25);
    EXPECT_EQ(At<double>(image, 160 + 16 * 40 + 8), 181.0);
    EXPECT_EQ(At<std::uint16_t>(image, 816), 40);

    const TAISTarget back = FromImage(image.data());
    // Byte for byte on purpose: the record has no padding (its layout is pinned), and its doubles
    // must come back with the very bits they were stored with.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(&back, &t, sizeof t), 0);
}

TEST(AisRecordLayout, CorruptImageIsReadSafely)
{
    AisRecordImage image;
    image.fill(0xFF);
    const TAISTarget t = FromImage(image.data());
    EXPECT_EQ(t.CallSign.view().size(), 7u); // length 255 clamped to the capacity
    EXPECT_EQ(t.VesselName.view().size(), 20u);
    EXPECT_EQ(TrackPointCount(t), 40); // count 65535 clamped
}

TEST(AisBits, DeArmouringAndBitFields)
{
    EXPECT_EQ(DeArmour('0'), 0);
    EXPECT_EQ(DeArmour('W'), 39);
    EXPECT_EQ(DeArmour('`'), 40);
    EXPECT_EQ(DeArmour('w'), 63);
    // Characters outside the armour range are not rejected: (c - 48) or (c - 56) modulo 64.
    EXPECT_EQ(DeArmour(' '), (32 - 48 + 64) % 64);
    EXPECT_EQ(DeArmour('X'), 40);
    EXPECT_EQ(DeArmour(0xFF), (255 - 56) % 64);

    SixBitBuffer b {};
    PayloadToSixBit("w0W", b); // 111111 000000 100111
    EXPECT_EQ(GetBits(b, 1, 6), 63u);
    EXPECT_EQ(GetBits(b, 6, 7), 2u);
    EXPECT_EQ(GetBits(b, 13, 18), 39u);
    EXPECT_EQ(GetBits(b, 1, 18), 0x3F027u);
    // Bits past the payload read as zero, and so do bits past the buffer.
    EXPECT_EQ(GetBits(b, 19, 40), 0u);
    EXPECT_EQ(GetBits(b, 2995, 3010), 0u);
    EXPECT_EQ(GetSixBitText(b, 1, 18), "?@'");
}

TEST(AisDecode, KnownPositionAndStaticReports)
{
    AisAssembler a;
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,1,1,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A"));
    const TAISTarget& m = a.Current;
    EXPECT_EQ(m.MsgType, 1);
    EXPECT_EQ(m.MMSI, 371798000u);
    EXPECT_EQ(m.SOG, 123);
    EXPECT_EQ(m.PosAccuracy, 1);
    EXPECT_EQ(m.Longitude, -74037230); // -123.395383 degrees
    EXPECT_EQ(m.Latitude, 29028980); // 48.38163 degrees
    EXPECT_EQ(m.COG, 2240);
    EXPECT_EQ(m.TrueHeading, 215);
    EXPECT_EQ(m.TimeStamp, 33);

    EXPECT_FALSE(
        a.ProcessAISSentence("!AIVDM,2,1,1,A,55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8,0*1C"));
    EXPECT_EQ(a.Current.MsgType, 1) << "a first fragment leaves the previous message in place";
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,2,2,1,A,88888888880,2*25"));
    EXPECT_EQ(m.MsgType, 5);
    EXPECT_EQ(m.MMSI, 351759000u);
    EXPECT_EQ(m.IMO, 9134270u);
    EXPECT_EQ(m.CallSign.str(), "3FOF8  ");
    EXPECT_EQ(m.VesselName.str(), "EVER DIADEM         ");
    EXPECT_EQ(m.ShipType, 70);
    EXPECT_EQ(m.DimA, 225);
    EXPECT_EQ(m.DimB, 70);
    EXPECT_EQ(m.DimC, 1);
    EXPECT_EQ(m.DimD, 31);
    EXPECT_EQ(m.Draught, 122);
    EXPECT_EQ(m.Destination.str(), "NEW YORK            ");
    EXPECT_EQ(m.ETA, (5u << 16) | (15u << 11) | (14u << 6));
    EXPECT_EQ(m.FragCount.str(), "2");
    EXPECT_EQ(m.FragNum.str(), "2");
    EXPECT_EQ(m.SeqId.str(), "1");
}

TEST(AisDecode, SignExtensionOfPositions)
{
    AisAssembler a;
    PositionReport p;
    p.lat = -1; // all 27 bits set
    p.lon = Raw(181.0);
    a.ProcessAISSentence(PositionSentence(p));
    EXPECT_EQ(a.Current.Latitude, -1);
    EXPECT_EQ(a.Current.Longitude, 181 * 600000) << "181 degrees stays positive";

    p.lat = Raw(-90.0);
    p.lon = Raw(-180.0);
    a.ProcessAISSentence(PositionSentence(p));
    EXPECT_EQ(a.Current.Latitude, -90 * 600000);
    EXPECT_EQ(a.Current.Longitude, -180 * 600000);

    // The base station report has its positions 18 bits further on.
    kv::AisBitWriter w;
    w.put(4, 6);
    w.put(0, 2);
    w.put(2320001, 30);
    w.put(2026, 14);
    w.put(12, 4);
    w.put(8, 5);
    w.put(15, 5);
    w.put(30, 6);
    w.put(45, 6);
    w.put(1, 1);
    w.put(-1, 28);
    w.put(Raw(50.5), 27);
    w.put(7, 4);
    w.put(0, 10);
    w.put(1, 1);
    w.put(0x5A5A5, 19);
    ASSERT_TRUE(a.ProcessAISSentence(kv::AisSentences(w.armoured(), 0, "")[0]));
    EXPECT_EQ(a.Current.MsgType, 4);
    EXPECT_EQ(a.Current.Year, 2026);
    EXPECT_EQ(a.Current.Month, 12);
    EXPECT_EQ(a.Current.Day, 8);
    EXPECT_EQ(a.Current.Hour, 15);
    EXPECT_EQ(a.Current.Minute, 30);
    EXPECT_EQ(a.Current.Second, 45);
    EXPECT_EQ(a.Current.PosAccuracy, 1);
    EXPECT_EQ(a.Current.Longitude, -1);
    EXPECT_EQ(a.Current.Latitude, Raw(50.5));
    EXPECT_EQ(a.Current.EPFD, 7);
    EXPECT_EQ(a.Current.RAIM, 1);
    EXPECT_EQ(a.Current.CommState, 0x5A5A5u);
    EXPECT_EQ(a.Current.NavStatus, 0);
}

TEST(AisDecode, OneBitFieldsAreTrueExactlyWhenSet)
{
    AisAssembler a;
    for (int bits = 0; bits < 8; ++bits) {
        PositionReport p;
        p.posAccuracy = bits & 1;
        p.spare = (bits >> 1) & 1;
        p.raim = (bits >> 2) & 1;
        p.regional = 0xF;
        p.commState = 0x7FFFF;
        a.ProcessAISSentence(PositionSentence(p));
        EXPECT_EQ(a.Current.PosAccuracy, bits & 1);
        EXPECT_EQ(a.Current.Spare, (bits >> 1) & 1);
        EXPECT_EQ(a.Current.RAIM, (bits >> 2) & 1);
        EXPECT_EQ(a.Current.Regional, 0xF);
        EXPECT_EQ(a.Current.CommState, 0x7FFFFu);
    }
}

TEST(AisAssembly, StaticDataKeepsFillCharacters)
{
    AisAssembler a;
    StaticData s;
    s.callSign = "AB";
    s.name = "X";
    s.destination = "";
    const auto sentences = StaticSentences(s);
    ASSERT_EQ(sentences.size(), 2u);
    EXPECT_FALSE(a.ProcessAISSentence(sentences[0]));
    EXPECT_EQ(a.Current.MsgType, 0);
    EXPECT_TRUE(a.ProcessAISSentence(sentences[1]));
    EXPECT_EQ(a.Current.MsgType, 5);
    EXPECT_EQ(a.Current.CallSign.str(), "AB@@@@@");
    EXPECT_EQ(a.Current.VesselName.str(), "X@@@@@@@@@@@@@@@@@@@");
    EXPECT_EQ(a.Current.Destination.str(), std::string(20, '@'));
}

TEST(AisAssembly, MismatchedSequenceIdentifierIsDropped)
{
    AisAssembler a;
    PositionReport p;
    p.mmsi = 111111111;
    a.ProcessAISSentence(PositionSentence(p));
    const auto first = StaticSentences(StaticData {}, "3");
    const auto other = StaticSentences(StaticData {}, "4");
    a.ProcessAISSentence(first[0]);
    EXPECT_FALSE(a.ProcessAISSentence(other[1]));
    EXPECT_EQ(a.Current.MsgType, 1) << "the previous decode stays in the record";
    EXPECT_EQ(a.Current.MMSI, 111111111u);
    // The next first fragment starts afresh.
    a.ProcessAISSentence(other[0]);
    EXPECT_TRUE(a.ProcessAISSentence(other[1]));
    EXPECT_EQ(a.Current.MsgType, 5);
    EXPECT_EQ(a.Current.SeqId.str(), "4");
}

TEST(AisAssembly, OneFragmentMessagesBetweenFragmentsLeaveThePendingMessageWhole)
{
    // Position reports interleave with the fragments of static data on any busy channel: each
    // decodes on its own, and the static message still completes from its own fragments.
    int fill = 0;
    StaticData st;
    st.mmsi = 235009999;
    const std::string payload = StaticPayload(st, &fill);
    PositionReport p;
    p.mmsi = 244123456;
    p.lat = Raw(51.5);
    const std::string report = PositionSentence(p);
    const std::string overLong = "!AIVDM,1,1,,A," + std::string(600, '1') + ",0*00";
    struct Case {
        std::size_t part; // payload characters per fragment
        std::vector<int> after; // insert the interleaved sentence after these fragments (1-based)
        bool dropped; // the interleaved one-fragment sentence is too long to decode
    };
    for (const Case& c : { Case { 60, { 1 }, false }, Case { 25, { 1, 2 }, false }, Case { 25, { 2 }, false },
             Case { 60, { 1 }, true }, Case { 18, { 1, 2, 3 }, false } }) {
        const auto sentences = kv::AisSentences(payload, fill, "6", 'A', c.part);
        AisAssembler a;
        for (std::size_t i = 0; i < sentences.size(); ++i) {
            const bool last = i + 1 == sentences.size();
            EXPECT_EQ(a.ProcessAISSentence(sentences[i]), last) << c.part << " " << i;
            if (std::find(c.after.begin(), c.after.end(), static_cast<int>(i) + 1) == c.after.end()) {
                continue;
            }
            EXPECT_TRUE(a.ProcessAISSentence(c.dropped ? overLong : report));
            EXPECT_EQ(a.LastDropped, c.dropped);
            EXPECT_EQ(a.Current.MsgType, c.dropped ? 0 : 1);
            EXPECT_EQ(a.Current.MMSI, c.dropped ? 0u : 244123456u);
            EXPECT_EQ(a.SavedSeqId, "6");
        }
        EXPECT_FALSE(a.LastDropped);
        EXPECT_EQ(a.Current.MsgType, 5) << c.part;
        EXPECT_EQ(a.Current.MMSI, 235009999u) << c.part;
        EXPECT_EQ(a.Current.VesselName.str(), "EVER DIADEM@@@@@@@@@") << c.part;
        EXPECT_EQ(a.Current.Destination.str(), "NEW YORK@@@@@@@@@@@@") << c.part;
    }
}

TEST(AisAssembly, ThreeAndFourFragmentMessagesAreJoinedInOrder)
{
    int fill = 0;
    const std::string payload = StaticPayload(StaticData {}, &fill); // 71 characters
    for (const std::size_t part : { 25u, 18u }) {
        const auto sentences = kv::AisSentences(payload, fill, "7", 'B', part);
        ASSERT_EQ(sentences.size(), part == 25u ? 3u : 4u);
        AisAssembler a;
        for (std::size_t i = 0; i + 1 < sentences.size(); ++i) {
            EXPECT_FALSE(a.ProcessAISSentence(sentences[i]));
        }
        EXPECT_TRUE(a.ProcessAISSentence(sentences.back()));
        EXPECT_EQ(a.Current.MsgType, 5);
        EXPECT_EQ(a.Current.VesselName.str(), "EVER DIADEM@@@@@@@@@");
        EXPECT_EQ(a.Current.Destination.str(), "NEW YORK@@@@@@@@@@@@");
    }
}

TEST(AisAssembly, OtherTypesDecodeToAZeroRecord)
{
    AisAssembler a;
    a.ProcessAISSentence(PositionSentence(PositionReport {}));
    for (const int type : { 18, 24, 0, 63 }) {
        PositionReport p;
        p.type = type;
        p.mmsi = 244000000;
        EXPECT_TRUE(a.ProcessAISSentence(PositionSentence(p)));
        EXPECT_EQ(a.Current.MsgType, 0) << type;
        EXPECT_EQ(a.Current.MMSI, 0u) << type;
    }
}

TEST(AisAssembly, BadSentencesNeverCrashOrDecodeGarbage)
{
    AisAssembler a;
    PositionReport p;
    p.mmsi = 123456789;
    a.ProcessAISSentence(PositionSentence(p));
    // Missing fields and empty payloads: a one-fragment sentence with nothing to decode.
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,1,1"));
    EXPECT_EQ(a.Current.MsgType, 0);
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,1,1,,A,,0*00"));
    EXPECT_EQ(a.Current.MMSI, 0u);
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM"));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,0,0,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A"));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,9,0,,A,15RTgt,0"));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,10,1,5,A,15RTgt,0"));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,3,9,5,A,15RTgt,0"));
    // A count that never completes leaves the record as it was.
    a.ProcessAISSentence(PositionSentence(p));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,5,1,2,A,55?MbV02,0"));
    EXPECT_FALSE(a.ProcessAISSentence("!AIVDM,5,2,2,A,55?MbV02,0"));
    EXPECT_EQ(a.Current.MMSI, 123456789u);
}

// A last fragment that stops before its sequence field completes the message with an empty
// sequence identifier (the texts are copied from fields that are not there).
TEST(AisAssembly, LastFragmentWithoutItsSequenceField)
{
    AisAssembler a;
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,2,2"));
    EXPECT_EQ(a.Current.FragCount.str(), "2");
    EXPECT_EQ(a.Current.FragNum.str(), "2");
    EXPECT_EQ(a.Current.SeqId.length, 0);
    EXPECT_EQ(a.Current.MsgType, 0);
}

TEST(AisAssembly, OverLongPayloadsAreDroppedWithoutOverflow)
{
    AisAssembler a;
    const std::string head = PositionPayload(PositionReport {});
    std::string longPayload = head + std::string(3000 - head.size(), 'w');
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,1,1,,A," + longPayload + ",0*00"));
    EXPECT_TRUE(a.LastDropped);
    EXPECT_EQ(a.Current.MsgType, 0) << "a message that cannot fit the buffer is dropped";
    EXPECT_LE(a.AISPayload.size(), kSixBitBufSize + 1);

    // Exactly 500 symbols still decode.
    const std::string full = head + std::string(500 - head.size(), '0');
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,1,1,,A," + full + ",0*00"));
    EXPECT_FALSE(a.LastDropped);
    EXPECT_EQ(a.Current.MsgType, 1);

    // Repeated middle fragments cannot grow the joined text without bound.
    a.ProcessAISSentence("!AIVDM,3,1,1,A," + head + ",0");
    for (int i = 0; i < 1000; ++i) {
        a.ProcessAISSentence("!AIVDM,3,2,1,A," + head + ",0");
    }
    EXPECT_LE(a.AISPayload.size(), kSixBitBufSize + 1);
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,3,3,1,A,0,0"));
    EXPECT_TRUE(a.LastDropped);
    EXPECT_EQ(a.Current.MsgType, 0);
    // A fresh first fragment starts a decodable message again.
    a.ProcessAISSentence("!AIVDM,2,1,1,A," + head + ",0");
    EXPECT_TRUE(a.ProcessAISSentence("!AIVDM,2,2,1,A,,0"));
    EXPECT_EQ(a.Current.MsgType, 1);
}

TEST(AisAssembly, FieldSplitter)
{
    EXPECT_EQ(NmeaFieldView("!AIVDM,1,2,,A,pay,0*00", 0), "!AIVDM");
    EXPECT_EQ(NmeaFieldView("!AIVDM,1,2,,A,pay,0*00", 3), "");
    EXPECT_EQ(NmeaFieldView("!AIVDM,1,2,,A,pay,0*00", 5), "pay");
    EXPECT_EQ(NmeaFieldView("!AIVDM,1,2,,A,pay,0*00", 6), "0*00");
    EXPECT_EQ(NmeaFieldView("!AIVDM,1,2,,A,pay,0*00", 7), "");
    EXPECT_EQ(NmeaFieldView("", 2), "");
}

// Signed fields are two's complement of their own width, whatever bits stand beside them.
TEST(AisDecode, SignedFieldsAndTextCharacters)
{
    SixBitBuffer b {};
    PayloadToSixBit("w0W1P", b); // 111111 000000 100111 000001 100000
    const struct {
        int first, last;
        std::int32_t value;
    } fields[] = {
        { 1, 6, -1 },
        { 2, 6, -1 },
        { 1, 12, -64 },
        { 7, 12, 0 },
        { 13, 18, -25 },
        { 14, 18, 7 },
        { 25, 30, -32 },
        { 26, 30, 0 },
        { 19, 30, 96 },
        { 1, 30, -16617376 },
    };
    for (const auto& f : fields) {
        EXPECT_EQ(GetSignedBits(b, f.first, f.last), f.value) << f.first << ".." << f.last;
    }
    char chars[6] = { 'x', 'x', 'x', 'x', 'x', 'x' };
    GetSixBitChars(b, 1, 5, chars);
    EXPECT_EQ(std::string(chars, 6), "?@'A x");
    EXPECT_EQ(GetSixBitText(b, 7, 29), "@'A"); // 23 bits: three whole characters
    EXPECT_EQ(GetSixBitText(b, 7, 6), "");
}

} // namespace
