// kvtool nmea-parse on a file: one JSON line per "$" line, one state for the whole file.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(KvtoolNmeaParse, OneJsonLinePerSentence)
{
    kvtest::TempDir dir;
    dir.write("in.nmea",
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
        "!AIVDM,ignored\r\n"
        "$GPRMC,1,V,,,,,,,,3.5,E\r\n");
    const std::string out = kvtest::RunKvtoolLine("nmea-parse " + dir.file("in.nmea")).out;
    const auto nl = out.find('\n');
    ASSERT_NE(nl, std::string::npos) << out;
    const std::string first = out.substr(0, nl);
    const std::string second = out.substr(nl + 1);
    EXPECT_NE(first.find("\"SentenceLat\":48.1173,\"SentenceLong\":-11.516666666666667,\"PositionValid\":1,"),
        std::string::npos)
        << first;
    EXPECT_NE(first.find("\"SatellitesText\":\"08\",\"Hdop\":0.9,\"PositionError\":9,"), std::string::npos) << first;
    EXPECT_NE(first.find("\"GPSIndicatorColour\":\"lime\""), std::string::npos);
    EXPECT_NE(second.find("\"MagVariation\":4,"), std::string::npos) << second;
    EXPECT_NE(second.find("\"SatellitesText\":\"\""), std::string::npos);
    EXPECT_NE(second.find("\"GPSIndicatorHint\":\"No GPS Position|\"}\n"), std::string::npos);
    EXPECT_EQ(second.find('\n'), second.size() - 1); // the AIS line gave nothing
}

TEST(KvtoolNmeaParse, DamagedLinesAreRejectedAndLeaveTheStateAlone)
{
    kvtest::TempDir dir;
    dir.write("in.nmea",
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
        "$GPGGA,123520,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
        "$GPGGA,123521,9041.0000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r\n"
        "$GPRMC,123522,A,4807.038,N,01161.000,E,,,,,\r\n"
        "$GPGGA,123523,4807.038,N,01131.000,E,1,09,0.9,545.4,M,46.9,M,,\r\n");
    const std::string out = kvtest::RunKvtoolLine("nmea-parse " + dir.file("in.nmea")).out;
    std::vector<std::string> lines;
    for (std::size_t start = 0, nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1) {
        lines.push_back(out.substr(start, nl - start));
    }
    ASSERT_EQ(lines.size(), 5u) << out;
    EXPECT_EQ(lines[1], "{\"Rejected\":\"checksum\"}");
    EXPECT_EQ(lines[2], "{\"Rejected\":\"range\"}");
    EXPECT_EQ(lines[3], "{\"Rejected\":\"range\"}");
    // The state is the first line's, but for what the last line itself sets.
    std::string expected = lines[0];
    const auto replace = [&](const std::string& from, const std::string& to) {
        const auto at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("\"FixTimeText\":\"123519\"", "\"FixTimeText\":\"123523\"");
    replace("\"SatellitesText\":\"08\"", "\"SatellitesText\":\"09\"");
    EXPECT_EQ(lines[4], expected);
}
