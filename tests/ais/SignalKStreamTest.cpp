// The Signal K delta stream becomes the sentences a receiver, instruments and an AIS receiver
// would have sent: checked by reading those sentences back with the program's own parsers.

#include "core/SignalKStream.h"
#include "ais/AisDecoder.h"
#include "ais/AisSmallCraft.h"
#include "nmea/NmeaParse.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        out.push_back(line);
    }
    return out;
}

// The payload of the AIS sentences [first, first + count) joined and decoded.
kv::SixBitBuffer Payload(
    const std::vector<std::string>& lines, std::size_t first, std::size_t count, std::size_t* bits = nullptr)
{
    std::string payload;
    int fill = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        payload += kv::NmeaField(lines[i], 5);
        fill = std::stoi(kv::NmeaField(lines[i], 6).substr(0, 1));
    }
    kv::SixBitBuffer buffer {};
    kv::PayloadToSixBit(payload, buffer);
    if (bits != nullptr) {
        *bits = payload.size() * 6 - static_cast<std::size_t>(fill);
    }
    return buffer;
}

kv::TAISTarget Decode(const std::vector<std::string>& lines, std::size_t first, std::size_t count)
{
    kv::TAISTarget t;
    std::memset(&t, 0, sizeof t);
    kv::DecodeAISMessage(Payload(lines, first, count), t);
    return t;
}

constexpr const char* kHello
    = R"({"name":"signalk-server","version":"2.23.0","self":"vessels.urn:mrn:imo:mmsi:235000001","roles":["master","main"]})";

} // namespace

TEST(SignalKStream, OwnPositionBecomesReceiverSentences)
{
    kv::SignalKStream sk;
    EXPECT_EQ(sk.take(kHello), "");
    EXPECT_EQ(sk.self(), "vessels.urn:mrn:imo:mmsi:235000001");
    const auto lines = Lines(sk.take(
        R"({"context":"vessels.urn:mrn:imo:mmsi:235000001","updates":[{"timestamp":"2026-06-01T10:20:30.450Z","values":[)"
        R"({"path":"navigation.position","value":{"latitude":50.7075,"longitude":-1.2965}},)"
        R"({"path":"navigation.speedOverGround","value":5.144444},{"path":"navigation.courseOverGroundTrue","value":1.5707963}]}]})"));
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(
        lines[0].substr(0, lines[0].size() - 3), "$GPRMC,102030.45,A,5042.4500,N,00117.7900,W,10.00,90.0,010626,,,A");
    EXPECT_EQ(lines[1].substr(0, 6), "$GPGGA");
    for (const std::string& l : lines) {
        EXPECT_FALSE(kv::ChecksumMismatch(l)) << l;
    }
    // The program's own parser reads the fix as from a receiver (longitude west positive).
    kv::SentenceFix fix;
    kv::Display display;
    ASSERT_TRUE(kv::ParseSentence(lines[0], fix, display, false));
    EXPECT_NEAR(fix.SentenceLat, 50.7075, 1e-7);
    EXPECT_NEAR(fix.SentenceLong, 1.2965, 1e-7);
    EXPECT_TRUE(fix.PositionValid);
    // Own ship named by "vessels.self" or by no context at all is own ship too; others are not.
    EXPECT_EQ(
        sk.take(R"({"updates":[{"values":[{"path":"navigation.position","value":{"latitude":1,"longitude":2}}]}]})")
            .substr(0, 6),
        "$GPRMC");
    EXPECT_EQ(
        sk.take(
              R"({"context":"vessels.self","updates":[{"values":[{"path":"navigation.position","value":{"latitude":1,"longitude":2}}]}]})")
            .substr(0, 6),
        "$GPRMC");
}

TEST(SignalKStream, InstrumentPathsBecomeInstrumentSentences)
{
    struct Case {
        const char* values;
        const char* sentence; // without checksum
    };
    const Case cases[] = {
        { R"({"path":"environment.depth.belowTransducer","value":3.2})", "$IIDBT,10.5,f,3.2,M,1.7,F" },
        { R"({"path":"environment.wind.angleApparent","value":-0.7853982},{"path":"environment.wind.speedApparent","value":7.716667})",
            "$IIMWV,315.0,R,15.0,N,A" },
        { R"({"path":"environment.wind.angleTrueWater","value":0.5235988},{"path":"environment.wind.speedTrue","value":5.144444})",
            "$IIMWV,30.0,T,10.0,N,A" },
        { R"({"path":"navigation.headingTrue","value":3.1415927})", "$IIHDT,180.0,T" },
        { R"({"path":"navigation.magneticVariation","value":-0.0523599},{"path":"navigation.headingMagnetic","value":0.0872665})",
            "$IIHDG,5.0,,,3.0,W" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sentence);
        kv::SignalKStream sk;
        sk.take(kHello);
        const auto lines
            = Lines(sk.take(std::string(R"({"context":"vessels.self","updates":[{"values":[)") + c.values + "]}]}"));
        ASSERT_EQ(lines.size(), 1U);
        EXPECT_EQ(lines[0].substr(0, lines[0].size() - 3), c.sentence);
        EXPECT_FALSE(kv::ChecksumMismatch(lines[0]));
    }
    // The keel depth once the transducer depth is known: transducer depth and a negative offset.
    kv::SignalKStream sk;
    sk.take(R"({"updates":[{"values":[{"path":"environment.depth.belowTransducer","value":4.0}]}]})");
    EXPECT_EQ(sk.take(R"({"updates":[{"values":[{"path":"environment.depth.belowKeel","value":2.5}]}]})").substr(0, 16),
        "$IIDPT,4.0,-1.5*");
}

// Figures no boat gives are passed over: the sentences stay within the 82 characters a listener
// takes (a speed of 1e300 m/s once made an RMC of 103).
TEST(SignalKStream, AbsurdFiguresArePassedOver)
{
    kv::SignalKStream sk;
    sk.take(kHello);
    const auto lines = Lines(sk.take(
        R"({"updates":[{"values":[{"path":"navigation.speedOverGround","value":1e300},{"path":"environment.depth.belowTransducer","value":1e200},)"
        R"({"path":"navigation.position","value":{"latitude":-89.9,"longitude":179.99}}]}]})"));
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 82U) << line;
        EXPECT_EQ(line.find("$IIDBT"), std::string::npos) << line;
    }
}

TEST(SignalKStream, ClassAVesselBecomesPositionAndStaticReports)
{
    kv::SignalKStream sk;
    sk.take(kHello);
    const auto lines = Lines(sk.take(
        R"({"context":"vessels.urn:mrn:imo:mmsi:244123456","updates":[{"values":[)"
        R"({"path":"","value":{"name":"NORDIC SPIRIT"}},{"path":"sensors.ais.class","value":"A"},)"
        R"({"path":"navigation.position","value":{"latitude":50.75,"longitude":-1.1}},)"
        R"({"path":"navigation.speedOverGround","value":6.173333},{"path":"navigation.courseOverGroundTrue","value":0.7853982},)"
        R"({"path":"navigation.headingTrue","value":0.8028515},{"path":"navigation.state","value":"motoring"},)"
        R"({"path":"design.length","value":{"overall":120}},{"path":"design.beam","value":20},)"
        R"({"path":"sensors.ais.fromBow","value":100},{"path":"sensors.ais.fromCenter","value":4},)"
        R"({"path":"communication.callsignVhf","value":"PD1234"},{"path":"registrations.imo","value":"IMO 9540522"},)"
        R"({"path":"navigation.destination.commonName","value":"Le Havre"},{"path":"design.draft","value":{"current":7.4}},{"path":"design.aisShipType","value":{"id":70,"name":"Cargo"}}]}]})"));
    ASSERT_EQ(lines.size(), 3U); // one position report, a static report of two sentences
    const kv::TAISTarget pos = Decode(lines, 0, 1);
    EXPECT_EQ(pos.MsgType, 1);
    EXPECT_EQ(pos.MMSI, 244123456U);
    EXPECT_EQ(pos.Latitude, 30450000);
    EXPECT_EQ(pos.Longitude, -660000);
    EXPECT_EQ(pos.SOG, 120);
    EXPECT_EQ(pos.COG, 450);
    EXPECT_EQ(pos.TrueHeading, 46);
    EXPECT_EQ(pos.NavStatus, 0);
    const kv::TAISTarget st = Decode(lines, 1, 2);
    EXPECT_EQ(st.MsgType, 5);
    EXPECT_EQ(st.MMSI, 244123456U);
    EXPECT_EQ(st.VesselName.str().substr(0, 13), "NORDIC SPIRIT");
    EXPECT_EQ(st.CallSign.str().substr(0, 6), "PD1234");
    EXPECT_EQ(st.ShipType, 70);
    EXPECT_EQ(st.IMO, 9540522U);
    EXPECT_EQ(st.Destination.str().substr(0, 8), "LE HAVRE");
    EXPECT_EQ(st.Draught, 74);
    EXPECT_EQ(st.DimA, 100);
    EXPECT_EQ(st.DimB, 20);
    EXPECT_EQ(st.DimC, 14);
    EXPECT_EQ(st.DimD, 6);
    // A later position alone gives a position report only.
    const auto next
        = Lines(sk.take(R"({"context":"vessels.urn:mrn:imo:mmsi:244123456","updates":[{"values":[)"
                        R"({"path":"navigation.position","value":{"latitude":50.76,"longitude":-1.1}}]}]})"));
    ASSERT_EQ(next.size(), 1U);
    EXPECT_EQ(Decode(next, 0, 1).Latitude, 30456000);
    EXPECT_EQ(sk.vessels(), 1U);
}

TEST(SignalKStream, ClassBVesselBecomesClassBReports)
{
    kv::SignalKStream sk;
    const auto lines
        = Lines(sk.take(R"({"context":"vessels.urn:mrn:imo:mmsi:235099999","updates":[{"values":[)"
                        R"({"path":"sensors.ais.class","value":"B"},{"path":"name","value":"Blue Moon"},)"
                        R"({"path":"navigation.position","value":{"latitude":-33.5,"longitude":151.25}},)"
                        R"({"path":"design.length","value":{"overall":12}},{"path":"design.beam","value":4}]}]})"));
    ASSERT_EQ(lines.size(), 3U);
    kv::AisSmallCraftMessage m;
    // The payload is read before its length is handed over.
    const auto decode = [&](std::size_t line) {
        std::size_t bits = 0;
        const kv::SixBitBuffer buffer = Payload(lines, line, 1, &bits);
        return kv::DecodeSmallCraft(buffer, bits, m);
    };
    ASSERT_EQ(decode(0), kv::AisSmallCraftResult::Decoded);
    const auto& p = std::get<kv::AisClassBPosition>(m);
    EXPECT_EQ(p.MMSI, 235099999U);
    EXPECT_EQ(p.Latitude, -20100000);
    EXPECT_EQ(p.Longitude, 90750000);
    EXPECT_EQ(p.SOG, 1023);
    EXPECT_EQ(p.TrueHeading, 511);
    ASSERT_EQ(decode(1), kv::AisSmallCraftResult::Decoded);
    EXPECT_EQ(std::get<kv::AisClassBStatic>(m).VesselName.view().substr(0, 9), "BLUE MOON");
    ASSERT_EQ(decode(2), kv::AisSmallCraftResult::Decoded);
    const auto& b = std::get<kv::AisClassBStatic>(m);
    EXPECT_EQ(b.PartNumber, 1);
    EXPECT_EQ(b.DimA + b.DimB, 12);
    EXPECT_EQ(b.DimC + b.DimD, 4);
}

TEST(SignalKStream, WhatIsNotADeltaGivesNothing)
{
    const char* cases[] = {
        "",
        "not json",
        "[1,2,3]",
        R"({"updates":"none"})",
        R"({"updates":[{"values":[{"path":"navigation.position","value":{"latitude":91,"longitude":0}}]}]})",
        R"({"updates":[{"values":[{"path":"navigation.position","value":{"latitude":"50","longitude":0}}]}]})",
        R"({"updates":[{"values":[{"path":"navigation.position","value":null}]}]})",
        R"({"updates":[{"values":[{"path":"environment.depth.belowTransducer","value":-1}]}]})",
        R"({"updates":[{"values":[{"path":"environment.wind.angleApparent","value":1}]}]})", // no speed yet
        R"({"updates":[{"values":[{"path":"environment.wind.speedTrue","value":5}]}]})", // no angle yet
        R"({"context":"vessels.urn:mrn:signalk:uuid:c0d7","updates":[{"values":[{"path":"navigation.position","value":{"latitude":1,"longitude":1}}]}]})",
        R"({"context":"atons.urn:mrn:imo:mmsi:992351234","updates":[{"values":[{"path":"navigation.position","value":{"latitude":1,"longitude":1}}]}]})",
        R"({"context":"vessels.urn:mrn:imo:mmsi:244000001","updates":[{"values":[{"path":"navigation.speedOverGround","value":1}]}]})",
        R"({"updates":[{"values":[{"path":"navigation.position","value":{"latitude":1e999,"longitude":0}}]}]})",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        kv::SignalKStream sk;
        EXPECT_EQ(sk.take(c), "");
    }
}

TEST(SignalKStream, VesselsBeyondTheLimitArePassedOver)
{
    kv::SignalKStream sk;
    for (std::size_t i = 0; i <= kv::kSignalKVesselLimit; ++i) {
        const std::string out = sk.take(R"({"context":"vessels.urn:mrn:imo:mmsi:)" + std::to_string(200000000 + i)
            + R"(","updates":[{"values":[{"path":"navigation.position","value":{"latitude":1,"longitude":1}}]}]})");
        EXPECT_EQ(out.empty(), i == kv::kSignalKVesselLimit);
    }
    EXPECT_EQ(sk.vessels(), kv::kSignalKVesselLimit);
}
