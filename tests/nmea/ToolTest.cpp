// kvtool nmea-parse on a file: one JSON line per "$" line, one state for the whole file.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

} // namespace

TEST(KvtoolNmeaParse, OneJsonLinePerSentence)
{
    kvtest::TempDir dir;
    dir.write("in.nmea", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
                         "!AIVDM,ignored\r\n"
                         "$GPRMC,1,V,,,,,,,,3.5,E\r\n");
    const std::string out = kvtest::RunKvtoolLine("nmea-parse " + dir.file("in.nmea")).out;
    const auto nl = out.find('\n');
    ASSERT_NE(nl, std::string::npos) << out;
    const std::string first = out.substr(0, nl);
    const std::string second = out.substr(nl + 1);
    EXPECT_NE(first.find("\"SentenceLat\":48.1173,\"SentenceLong\":-11.516666666666667,\"PositionValid\":1,"), std::string::npos) << first;
    EXPECT_NE(first.find("\"SatellitesText\":\"08\",\"Hdop\":0.9,\"PositionError\":9,"), std::string::npos) << first;
    EXPECT_NE(first.find("\"GPSIndicatorColour\":\"lime\""), std::string::npos);
    EXPECT_NE(second.find("\"MagVariation\":4,"), std::string::npos) << second;
    EXPECT_NE(second.find("\"SatellitesText\":\"\""), std::string::npos);
    EXPECT_NE(second.find("\"GPSIndicatorHint\":\"No GPS Position|\"}\n"), std::string::npos);
    EXPECT_EQ(second.find('\n'), second.size() - 1); // the AIS line gave nothing
}
