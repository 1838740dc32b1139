// kvtool ais-decode and ais-db on files, as a user runs them.

#include "AisTestSupport.h"
#include "ais/AisDatabase.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// kvtool's output for an argument line; its exit code in *status.
std::string RunKvtool(const std::string& args, int* status = nullptr)
{
    const kvtest::ToolResult r = kvtest::RunKvtoolLine(args);
    if (status != nullptr) {
        *status = r.exitCode;
    }
    return r.out;
}

TEST(AisTool, DecodePrintsOneObjectPerCompletedMessage)
{
    kvtest::TempDir dir;
    aistest::StaticData s;
    s.callSign = "A\"B\\";
    const auto type5 = aistest::StaticSentences(s, "1");
    aistest::PositionReport other;
    other.type = 18;
    kv::AisBitWriter w; // a base station report with every field set
    for (const auto& [value, width] : std::vector<std::pair<long long, int>> { { 11, 6 }, { 3, 2 }, { 2288559, 30 },
             { 2012, 14 }, { 3, 4 }, { 27, 5 }, { 15, 5 }, { 56, 6 }, { 7, 6 }, { 1, 1 }, { -3154330, 28 },
             { -31797132, 27 }, { 15, 4 }, { 1023, 10 }, { 1, 1 }, { 0x7FFFF, 19 } }) {
        w.put(value, width);
    }
    const std::string type11 = kv::AisSentences(w.armoured(), 0, "")[0];
    dir.write("in.nmea",
        "!AIVDM,1,1,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A\r\n"
        "$GPRMC,120000,A*00\r\n"
            + type5[0] + "\r\n" + type5[1] + "\n" + aistest::PositionSentence(other) + "\r\n"
            + "!AIVDO,1,1,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A\r\n" + type11);
    int status = -1;
    const std::string out = RunKvtool("ais-decode " + dir.file("in.nmea"), &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out,
        "{\"MsgType\":1,\"Repeat\":0,\"MMSI\":371798000,\"NavStatus\":0,\"ROT\":129,\"SOG\":123,"
        "\"PosAccuracy\":true,\"Longitude\":-74037230,\"Latitude\":29028980,\"COG\":2240,\"TrueHeading\":215,"
        "\"TimeStamp\":33,\"Regional\":0,\"Spare\":false,\"RAIM\":false,\"CommState\":34017}\n"
        "{\"MsgType\":5,\"Repeat\":0,\"MMSI\":235000001,\"AISVersion\":0,\"IMO\":9134270,"
        "\"CallSign\":\"A\\\"B\\\\@@@\",\"VesselName\":\"EVER DIADEM@@@@@@@@@\",\"ShipType\":70,\"DimA\":225,"
        "\"DimB\":70,\"DimC\":1,\"DimD\":31,\"EPFD\":1,\"ETA\":359296,\"Draught\":122,"
        "\"Destination\":\"NEW YORK@@@@@@@@@@@@\",\"DTE\":false}\n"
        "{\"MsgType\":11,\"Repeat\":3,\"MMSI\":2288559,\"Year\":2012,\"Month\":3,\"Day\":27,\"Hour\":15,"
        "\"Minute\":56,\"Second\":7,\"PosAccuracy\":true,\"Longitude\":-3154330,\"Latitude\":-31797132,"
        "\"EPFD\":15,\"Reserved52\":0,\"RAIM\":true,\"CommState\":524287}\n")
        << out;
    EXPECT_EQ(RunKvtool("ais-decode " + dir.file("missing.nmea") + " 2>/dev/null", &status), "");
    EXPECT_NE(status, 0);
}

TEST(AisTool, DatabaseListing)
{
    kvtest::TempDir dir;
    kv::TAISTarget r = kv::ZeroTarget();
    r.MMSI = 235000001;
    r.IMO = 9134270;
    r.CallSign.set("3FOF8@@");
    r.VesselName.set("EVER DIADEM         ");
    r.ShipType = 70;
    r.DimA = 225;
    r.DimB = 70;
    r.DimC = 1;
    r.DimD = 31;
    r.Draught = 122;
    kv::AppendAisDatabaseRecord(dir.file("KVAIS.ADB"), r);
    r.MMSI = 235000002;
    kv::AppendAisDatabaseRecord(dir.file("KVAIS.ADB"), r);
    const std::string line2 = "2\tMMSI 235000002\tIMO 9134270\tCall 3FOF8\tName EVER DIADEM\tType 70\tDims "
                              "225/70/1/31\tLength 295 Beam 32\tDraught 12.2\n";
    EXPECT_EQ(RunKvtool("ais-db find 235000002 " + dir.file("KVAIS.ADB")), line2);
    EXPECT_EQ(RunKvtool("ais-db list " + dir.file("KVAIS.ADB")).size(), 2 * line2.size());
    EXPECT_EQ(RunKvtool("ais-db find 1 " + dir.file("KVAIS.ADB")), "# MMSI 1 not found\n");
    // A truncated file: the whole records are listed and the tail is reported.
    dir.write("cut.ADB", dir.read("KVAIS.ADB").substr(0, 824 + 100));
    EXPECT_EQ(RunKvtool("ais-db " + dir.file("cut.ADB")).substr(0, 2), "1\t");
    EXPECT_NE(RunKvtool("ais-db " + dir.file("cut.ADB")).find("# 100 trailing bytes"), std::string::npos);
    int status = 0;
    RunKvtool("ais-db list " + dir.path() + " 2>/dev/null", &status);
    EXPECT_NE(status, 0);
}

} // namespace
