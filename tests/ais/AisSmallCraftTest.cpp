// Class B, aid-to-navigation and Class B static data messages: each field at its place in the
// message, sign-extended positions, "not available" values, and the malformed messages that must
// be dropped rather than decoded into garbage.

#include "ais/AisSmallCraft.h"
#include "ais/AisEncoder.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Fields = std::vector<std::pair<long long, int>>; // value, width in bits, in message order

struct Built {
    std::string payload;
    int fill = 0;
    int bits = 0;
};

Built Build(const Fields& fields, const std::string& text = {}, int textChars = 0, const std::string& tail = {},
    int tailChars = 0, std::size_t textAfter = 0)
{
    kv::AisBitWriter w;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i == textAfter && textChars > 0) {
            w.putText(text, textChars);
        }
        w.put(fields[i].first, fields[i].second);
    }
    if (tailChars > 0) {
        w.putText(tail, tailChars);
    }
    Built b;
    b.bits = w.bits();
    b.payload = w.armoured(&b.fill);
    return b;
}

kv::AisSmallCraftResult Decode(const std::string& payload, kv::AisSmallCraftMessage& m)
{
    kv::SixBitBuffer buf {};
    kv::PayloadToSixBit(payload, buf);
    return kv::DecodeSmallCraft(buf, payload.size() * 6, m);
}

constexpr long long kLonNA = 181LL * 600000; // 108600000
constexpr long long kLatNA = 91LL * 600000; // 54600000

// Type 18 fields in message order.
Fields Type18(long long mmsi, long long sog, long long lon, long long lat, long long cog, long long hdg, int flags)
{
    return { { 18, 6 }, { 2, 2 }, { mmsi, 30 }, { 0xA5, 8 }, { sog, 10 }, { flags & 1, 1 }, { lon, 28 }, { lat, 27 },
        { cog, 12 }, { hdg, 9 }, { 60, 6 }, { 3, 2 }, { (flags >> 1) & 1, 1 }, { (flags >> 2) & 1, 1 },
        { (flags >> 3) & 1, 1 }, { (flags >> 4) & 1, 1 }, { (flags >> 5) & 1, 1 }, { (flags >> 6) & 1, 1 },
        { (flags >> 7) & 1, 1 }, { 0xFFFFF, 20 } };
}

TEST(AisSmallCraft, ClassBPositionFields)
{
    struct Case {
        const char* what;
        long long mmsi, sog, lon, lat, cog, hdg;
        int flags;
    };
    const Case cases[] = {
        { "north-east", 235123456, 55, 600000, 30300000, 2345, 234, 0xFF },
        { "south-west, sign-extended", 316001234, 0, -42551100, -20220000, 0, 0, 0x00 },
        { "extremes", 999999999, 1022, -108000000, -54000000, 3599, 359, 0x55 },
        { "not available", 235000002, 1023, kLonNA, kLatNA, 3600, 511, 0xAA },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Built b = Build(Type18(c.mmsi, c.sog, c.lon, c.lat, c.cog, c.hdg, c.flags));
        ASSERT_EQ(b.bits, 168);
        kv::AisSmallCraftMessage m;
        ASSERT_EQ(Decode(b.payload, m), kv::AisSmallCraftResult::Decoded);
        const auto& p = std::get<kv::AisClassBPosition>(m);
        EXPECT_EQ(p.MsgType, 18);
        EXPECT_EQ(p.Repeat, 2);
        EXPECT_EQ(p.MMSI, c.mmsi);
        EXPECT_EQ(p.Reserved8, 0xA5);
        EXPECT_EQ(p.SOG, c.sog);
        EXPECT_EQ(p.Longitude, c.lon);
        EXPECT_EQ(p.Latitude, c.lat);
        EXPECT_EQ(p.COG, c.cog);
        EXPECT_EQ(p.TrueHeading, c.hdg);
        EXPECT_EQ(p.TimeStamp, 60);
        EXPECT_EQ(p.Regional2, 3);
        const int got = p.PosAccuracy | p.CSUnit << 1 | p.Display << 2 | p.DSC << 3 | p.Band << 4 | p.Msg22 << 5
            | p.Assigned << 6 | p.RAIM << 7;
        EXPECT_EQ(got, c.flags);
        EXPECT_EQ(p.CommState, 0xFFFFFu);
    }
}

Fields Type19Head(long long lon, long long lat)
{
    return { { 19, 6 }, { 1, 2 }, { 211000001, 30 }, { 0, 8 }, { 123, 10 }, { 1, 1 }, { lon, 28 }, { lat, 27 },
        { 1800, 12 }, { 511, 9 }, { 59, 6 }, { 9, 4 } };
}

Fields Type19Tail()
{
    return { { 37, 8 }, { 511, 9 }, { 300, 9 }, { 63, 6 }, { 21, 6 }, { 7, 4 }, { 1, 1 }, { 0, 1 }, { 1, 1 },
        { 0, 4 } };
}

void ExpectType19(const kv::AisClassBExtended& e, long long lon, long long lat)
{
    EXPECT_EQ(e.Repeat, 1);
    EXPECT_EQ(e.MMSI, 211000001u);
    EXPECT_EQ(e.SOG, 123);
    EXPECT_EQ(e.PosAccuracy, 1);
    EXPECT_EQ(e.Longitude, lon);
    EXPECT_EQ(e.Latitude, lat);
    EXPECT_EQ(e.COG, 1800);
    EXPECT_EQ(e.TrueHeading, 511);
    EXPECT_EQ(e.TimeStamp, 59);
    EXPECT_EQ(e.Regional4, 9);
    EXPECT_EQ(e.VesselName.view(), "HALCYON DAYS@@@@@@@@");
    EXPECT_EQ(e.ShipType, 37);
    EXPECT_EQ(e.DimA, 511);
    EXPECT_EQ(e.DimB, 300);
    EXPECT_EQ(e.DimC, 63);
    EXPECT_EQ(e.DimD, 21);
    EXPECT_EQ(e.EPFD, 7);
    EXPECT_EQ(e.RAIM, 1);
    EXPECT_EQ(e.DTE, 0);
    EXPECT_EQ(e.Assigned, 1);
}

Built Type19(long long lon, long long lat)
{
    Fields f = Type19Head(lon, lat);
    const std::size_t at = f.size();
    for (const auto& t : Type19Tail()) {
        f.push_back(t);
    }
    return Build(f, "HALCYON DAYS", 20, {}, 0, at);
}

TEST(AisSmallCraft, ClassBExtendedInOneAndInTwoFragments)
{
    const Built b = Type19(-600001, 1);
    ASSERT_EQ(b.bits, 312);
    kv::AisSmallCraftMessage m;
    ASSERT_EQ(Decode(b.payload, m), kv::AisSmallCraftResult::Decoded);
    ExpectType19(std::get<kv::AisClassBExtended>(m), -600001, 1);

    // Two fragments joined by the assembler give the same message; a position report between
    // them does not disturb the joining.
    kv::AisAssembler a;
    const auto parts = kv::AisSentences(b.payload, b.fill, "4", 'A', 30);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_FALSE(a.ProcessAISSentence(parts[0]));
    EXPECT_TRUE(a.ProcessAISSentence(kv::AisSentences(Build(Type18(1, 0, 0, 0, 0, 0, 0)).payload, 0, "")[0]));
    EXPECT_TRUE(a.ProcessAISSentence(parts[1]));
    EXPECT_EQ(a.PayloadSymbols, 52u);
    kv::AisSmallCraftMessage joined;
    ASSERT_EQ(kv::DecodeSmallCraft(a.SixBitBuf, a.PayloadSymbols * 6, joined), kv::AisSmallCraftResult::Decoded);
    ExpectType19(std::get<kv::AisClassBExtended>(joined), -600001, 1);
}

Built Type21(const std::string& name, const std::string& ext, int virt)
{
    const Fields f = { { 21, 6 }, { 0, 2 }, { 992351000, 30 }, { 14, 5 }, { 1, 1 }, { -3154330, 28 }, { 30300000, 27 },
        { 5, 9 }, { 6, 9 }, { 7, 6 }, { 8, 6 }, { 7, 4 }, { 61, 6 }, { 1, 1 }, { 0x81, 8 }, { 0, 1 }, { virt, 1 },
        { 1, 1 }, { 0, 1 } };
    return Build(f, name, 20, ext, static_cast<int>(ext.size()), 4);
}

TEST(AisSmallCraft, AidToNavigationNameAndExtension)
{
    struct Case {
        const char* ext;
        int bits;
        const char* name;
    };
    const Case cases[] = {
        { "", 272, "E SOLENT CARDINAL BU" },
        { "O", 278, "E SOLENT CARDINAL BUO" }, // the fill bits of the last symbol make no character
        { "OY", 284, "E SOLENT CARDINAL BUOY" },
        { "Y NUMBER 12345", 356, "E SOLENT CARDINAL BUY NUMBER 12345" },
        // A payload longer than the message can be carries no more name than fits: the rest of
        // the record (position, dimensions ...) stays as decoded.
        { "Y NUMBER 12345 AND TWENTY MORE ...", 476, "E SOLENT CARDINAL BUY NUMBER 12345" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        const Built b = Type21("E SOLENT CARDINAL BU", c.ext, 1);
        ASSERT_EQ(b.bits, c.bits);
        kv::AisSmallCraftMessage m;
        ASSERT_EQ(Decode(b.payload, m), kv::AisSmallCraftResult::Decoded);
        const auto& a = std::get<kv::AisAidToNavigation>(m);
        EXPECT_EQ(a.MMSI, 992351000u);
        EXPECT_EQ(a.AidType, 14);
        EXPECT_EQ(a.Name.view(), c.name);
        EXPECT_EQ(a.PosAccuracy, 1);
        EXPECT_EQ(a.Longitude, -3154330);
        EXPECT_EQ(a.Latitude, 30300000);
        EXPECT_EQ(a.DimA, 5);
        EXPECT_EQ(a.DimB, 6);
        EXPECT_EQ(a.DimC, 7);
        EXPECT_EQ(a.DimD, 8);
        EXPECT_EQ(a.EPFD, 7);
        EXPECT_EQ(a.TimeStamp, 61);
        EXPECT_EQ(a.OffPosition, 1);
        EXPECT_EQ(a.Regional8, 0x81);
        EXPECT_EQ(a.RAIM, 0);
        EXPECT_EQ(a.Virtual, 1);
        EXPECT_EQ(a.Assigned, 1);
    }
}

Built Type24B(long long mmsi)
{
    kv::AisBitWriter w;
    w.put(24, 6);
    w.put(3, 2);
    w.put(mmsi, 30);
    w.put(1, 2);
    w.put(36, 8);
    w.putText("SRTA", 4);
    w.put(0x2ABCD, 18); // model and serial: the last three characters of the vendor field
    w.putText("MXYZ12", 7);
    w.put(12, 9);
    w.put(3, 9);
    w.put(2, 6);
    w.put(1, 6);
    w.put(0, 6);
    Built b;
    b.bits = w.bits();
    b.payload = w.armoured(&b.fill);
    return b;
}

TEST(AisSmallCraft, StaticDataPartsAAndB)
{
    kv::AisBitWriter a;
    a.put(24, 6);
    a.put(0, 2);
    a.put(235099999, 30);
    a.put(0, 2);
    a.putText("KESTREL", 20);
    ASSERT_EQ(a.bits(), 160);
    kv::AisSmallCraftMessage m;
    ASSERT_EQ(Decode(a.armoured(), m), kv::AisSmallCraftResult::Decoded);
    const auto& pa = std::get<kv::AisClassBStatic>(m);
    EXPECT_EQ(pa.PartNumber, 0);
    EXPECT_EQ(pa.MMSI, 235099999u);
    EXPECT_EQ(pa.VesselName.view(), "KESTREL@@@@@@@@@@@@@");

    // 0x2ABCD in 18 bits: symbols 42, 47, 13 -> "*", "/", "M".
    struct Case {
        long long mmsi;
        int dimA;
        unsigned mother;
    };
    const Case cases[] = { { 235099999, 12, 0 }, { 982350001, 12, (12u << 21) | (3u << 12) | (2u << 6) | 1u } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mmsi);
        ASSERT_EQ(Decode(Type24B(c.mmsi).payload, m), kv::AisSmallCraftResult::Decoded);
        const auto& pb = std::get<kv::AisClassBStatic>(m);
        EXPECT_EQ(pb.Repeat, 3);
        EXPECT_EQ(pb.PartNumber, 1);
        EXPECT_EQ(pb.ShipType, 36);
        EXPECT_EQ(pb.VendorID.view(), "SRTA*/M");
        EXPECT_EQ(pb.CallSign.view(), "MXYZ12@");
        EXPECT_EQ(pb.DimA, c.dimA);
        EXPECT_EQ(pb.DimB, 3);
        EXPECT_EQ(pb.DimC, 2);
        EXPECT_EQ(pb.DimD, 1);
        EXPECT_EQ(pb.MothershipMMSI, c.mother);
        EXPECT_EQ(pb.VesselName.view(), "");
    }
}

TEST(AisSmallCraft, MalformedMessagesAreDroppedNotDecoded)
{
    const std::string t18 = Build(Type18(235000001, 1, 2, 3, 4, 5, 0)).payload;
    const std::string t19 = Type19(0, 0).payload;
    const std::string t21 = Type21("NAB TOWER", "", 0).payload;
    const std::string t24b = Type24B(235000001).payload;
    // The part number is bits 39-40: the middle two bits of the seventh symbol.
    auto withPart = [&](unsigned part) {
        std::string p = t24b;
        const unsigned sym = kv::DeArmour(static_cast<unsigned char>(p[6]));
        p[6] = kv::ArmourSymbol((sym & ~0x0Cu) | (part << 2));
        return p;
    };
    struct Case {
        const char* what;
        std::string payload;
        kv::AisSmallCraftResult want;
    };
    const Case cases[] = {
        { "18 one symbol short", t18.substr(0, 27), kv::AisSmallCraftResult::Short },
        { "19 one symbol short", t19.substr(0, 51), kv::AisSmallCraftResult::Short },
        { "19 first fragment only", t19.substr(0, 30), kv::AisSmallCraftResult::Short },
        { "21 one symbol short", t21.substr(0, 45), kv::AisSmallCraftResult::Short },
        { "24 part B cut to part A length", t24b.substr(0, 27), kv::AisSmallCraftResult::Short },
        { "24 cut to 26 symbols", t24b.substr(0, 26), kv::AisSmallCraftResult::Short },
        { "24 part number 2", withPart(2), kv::AisSmallCraftResult::BadPart },
        { "24 part number 3", withPart(3), kv::AisSmallCraftResult::BadPart },
        { "a type 1 is not small craft", "15RTgt0PAso;90TKcjM8h6g208CQ", kv::AisSmallCraftResult::NotSmallCraft },
        { "empty", "", kv::AisSmallCraftResult::NotSmallCraft },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        kv::AisSmallCraftMessage m;
        EXPECT_EQ(Decode(c.payload, m), c.want);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(m)) << "nothing is made of a dropped message";
    }
    kv::SixBitBuffer buf {};
    kv::PayloadToSixBit(withPart(3), buf);
    EXPECT_EQ(kv::GetBits(buf, 39, 40), 3u);
    EXPECT_EQ(kv::GetBits(buf, 9, 38), 235000001u);
}

TEST(AisSmallCraft, KvtoolPrintsTheSmallCraftTypesOnlyWithAll)
{
    kvtest::TempDir dir;
    kv::AisBitWriter a;
    a.put(24, 6);
    a.put(0, 2);
    a.put(235099999, 30);
    a.put(0, 2);
    a.putText("KESTREL", 20);
    std::string in;
    for (const std::string& p :
        std::vector<std::string> { Build(Type18(235000002, 1023, kLonNA, -1, 3600, 511, 0x81)).payload,
            Type19(-600001, 1).payload, Type21("NAB TOWER", "", 1).payload, a.armoured(), Type24B(982350001).payload,
            Type24B(235000001).payload.substr(0, 27) }) {
        in += kv::AisSentences(p, 0, "")[0] + "\r\n";
    }
    dir.write("in.nmea", in);
    const kvtest::ToolResult plain = kvtest::RunKvtoolLine("ais-decode " + dir.file("in.nmea"));
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_EQ(plain.out, "");
    const kvtest::ToolResult all = kvtest::RunKvtoolLine("ais-decode --all " + dir.file("in.nmea"));
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out,
        "{\"MsgType\":18,\"Repeat\":2,\"MMSI\":235000002,\"Reserved8\":165,\"SOG\":1023,\"PosAccuracy\":true,"
        "\"Longitude\":108600000,\"Latitude\":-1,\"COG\":3600,\"TrueHeading\":511,\"TimeStamp\":60,"
        "\"Regional2\":3,\"CSUnit\":false,\"Display\":false,\"DSC\":false,\"Band\":false,\"Msg22\":false,"
        "\"Assigned\":false,\"RAIM\":true,\"CommState\":1048575}\n"
        "{\"MsgType\":19,\"Repeat\":1,\"MMSI\":211000001,\"Reserved8\":0,\"SOG\":123,\"PosAccuracy\":true,"
        "\"Longitude\":-600001,\"Latitude\":1,\"COG\":1800,\"TrueHeading\":511,\"TimeStamp\":59,"
        "\"Regional4\":9,\"VesselName\":\"HALCYON DAYS@@@@@@@@\",\"ShipType\":37,\"DimA\":511,\"DimB\":300,"
        "\"DimC\":63,\"DimD\":21,\"EPFD\":7,\"RAIM\":true,\"DTE\":false,\"Assigned\":true}\n"
        "{\"MsgType\":21,\"Repeat\":0,\"MMSI\":992351000,\"AidType\":14,\"Name\":\"NAB TOWER@@@@@@@@@@@\","
        "\"PosAccuracy\":true,\"Longitude\":-3154330,\"Latitude\":30300000,\"DimA\":5,\"DimB\":6,\"DimC\":7,"
        "\"DimD\":8,\"EPFD\":7,\"TimeStamp\":61,\"OffPosition\":true,\"Regional8\":129,\"RAIM\":false,"
        "\"Virtual\":true,\"Assigned\":true}\n"
        "{\"MsgType\":24,\"Repeat\":0,\"MMSI\":235099999,\"PartNumber\":0,"
        "\"VesselName\":\"KESTREL@@@@@@@@@@@@@\"}\n"
        "{\"MsgType\":24,\"Repeat\":3,\"MMSI\":982350001,\"PartNumber\":1,\"ShipType\":36,"
        "\"VendorID\":\"SRTA*/M\",\"CallSign\":\"MXYZ12@\",\"DimA\":12,\"DimB\":3,\"DimC\":2,\"DimD\":1,"
        "\"MothershipMMSI\":25178241}\n");
    const kvtest::ToolResult err
        = kvtest::RunKvtoolLine("ais-decode --all " + dir.file("in.nmea") + " 2>&1 >/dev/null");
    EXPECT_NE(err.out.find("dropped 1 short message"), std::string::npos) << err.out;
}

} // namespace
