#include "AisTestSupport.h"

#include "ais/AisController.h"
#include "ais/AisTargets.h"
#include "ais/AisText.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kv;
using namespace aistest;

namespace {

class AisTextTest : public ::testing::Test {
protected:
    AisTextTest()
    {
        state.folders.AppDir = dir.path() + "/";
        state.fixInfo.OwnLat = 50.0;
        state.fixInfo.OwnLong = 1.0;
        state.chartRef.CosLatFactor = 0.5;
        fake.clock.time = { 2026, 12, 8, 12, 0, 0, 0 };
    }
    std::vector<std::string> Text(int n = 1)
    {
        return WriteTargetText(state.ais, kv::OwnShipOf(state), n, fake.clock.time);
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    AisController ais { state, fake.platform };
};

TEST_F(AisTextTest, TheTwentyOneLines)
{
    StaticData s;
    s.mmsi = 235000001;
    s.callSign = "G@ABC";
    for (const auto& line : StaticSentences(s)) {
        ais.DecodeAndUpdate(line);
    }
    PositionReport p;
    p.mmsi = 235000001;
    p.navStatus = 8;
    p.sog = 123;
    p.cog = 2245;
    p.heading = 511;
    p.lat = Raw(50.5) + 3; // 50°30.0003' N
    p.lon = -(Raw(1.0) + 123456); // 1°12.3456' W
    ais.DecodeAndUpdate(PositionSentence(p));
    state.fixInfo.FixHour = 9;
    state.fixInfo.FixMinute = 5;
    state.fixInfo.FixSecond = 7;
    fake.clock.time.minute = 1;
    fake.clock.time.second = 5;

    const std::vector<std::string> expected = {
        "Target 1 of 1",
        "Age 01:05",
        "MMSI - 235000001",
        "Call Sign - G@ABC",
        "Name EVER DIADEM",
        "Type of Ship - 70",
        "Length - 295 Mtrs.",
        "Beam - 32 Mtrs.",
        "Max Draft - 12.2 Mtrs.",
        "Under way sailing",
        "SOG 12.3",
        "COG 224.5",
        "TrueHeading 511- Not available",
        // Split after \xb0 so that the digits are not read as part of the escape.
        // NOLINTBEGIN(bugprone-suspicious-missing-comma)
        "Lat 50\xb0"
        "30.000 N",
        "Long  1\xb0"
        "12.346 W",
        // NOLINTEND(bugprone-suspicious-missing-comma)
        "Destination NEW YORK",
        "ETA - 05/15 14:00",
        "Range 30.6 Nm", // 60 × √(0.5² + (0.20576 × 0.5)²)
        "Bearing 348.4\xb0T", // 360 − atan(0.10288 / 0.5)
        "Timed at: 09:05:07 UTC",
        "Date: 08/12/2026",
    };
    EXPECT_EQ(Text(), expected);
    EXPECT_TRUE(Text(0).empty());
    EXPECT_TRUE(Text(2).empty());
}

TEST_F(AisTextTest, AgeDropsWholeHours)
{
    EXPECT_EQ(AisAgeText(100.0, 100.0 + 65.0 / 1440.0), "Age 05:00");
    EXPECT_EQ(AisAgeText(100.0, 100.0 + 59.0 / 1440.0 + 59.0 / 86400.0), "Age 59:59");
    EXPECT_EQ(AisAgeText(100.0, 99.0), "Age 00:00");
}

TEST_F(AisTextTest, RateOfTurnTexts)
{
    EXPECT_EQ(AisRotText(127), "ROT 720.0 \xb0/Min Right");
    EXPECT_EQ(AisRotText(0x80), "ROT 731.4 \xb0/Min Left- Not available");
    EXPECT_EQ(AisRotText(0xFF), "ROT 0.0 \xb0/Min Left");
    EXPECT_EQ(AisRotText(0), "ROT 0.0 \xb0/Min Right");
}

TEST_F(AisTextTest, EtaDateMustExistInTheCurrentYear)
{
    auto eta = [](unsigned month, unsigned day, unsigned hour, unsigned minute) {
        return (month << 16) | (day << 11) | (hour << 6) | minute;
    };
    EXPECT_EQ(AisEtaText(eta(2, 31, 10, 30), 2026), "ETA - 10:30");
    EXPECT_EQ(AisEtaText(eta(12, 31, 23, 59), 2026), "ETA - 12/31 23:59");
    EXPECT_EQ(AisEtaText(eta(2, 29, 24, 0), 2024), "ETA - 02/29 ");
    EXPECT_EQ(AisEtaText(eta(2, 29, 1, 2), 2026), "ETA - 01:02");
    EXPECT_EQ(AisEtaText(eta(0, 0, 24, 60), 2026), "ETA - ");
    EXPECT_EQ(AisEtaText(eta(13, 1, 0, 0), 2026), "ETA - 00:00");
}

TEST_F(AisTextTest, BaseStationAndTechnicalLines)
{
    kv::AisBitWriter w;
    w.put(4, 6);
    w.put(0, 2);
    w.put(2320001, 30);
    w.put(2026, 14);
    w.put(12, 4);
    w.put(8, 5);
    w.put(11, 5);
    w.put(59, 6);
    w.put(0, 6);
    w.put(1, 1);
    w.put(-Raw(0.5), 28);
    w.put(-Raw(33.25), 27);
    w.put(7, 4);
    w.put(0, 10);
    w.put(0, 1);
    // Sync state 0, slot time-out 1, UTC hour 11 and minute 59.
    w.put((1 << 14) | (11 << 9) | (59 << 2), 19);
    ais.DecodeAndUpdate(kv::AisSentences(w.armoured(), 0, "")[0]);
    state.ais.AdditionalTargetData = true;
    const auto lines = Text();
    ASSERT_EQ(lines.size(), 29u);
    EXPECT_EQ(lines[9], "Fixed AIS Base Station");
    EXPECT_EQ(lines[13],
        "Lat 33\xb0"
        "15.000 S");
    EXPECT_EQ(lines[14],
        "Long  0\xb0"
        "30.000 W");
    EXPECT_EQ(lines[21], "------------------------------");
    EXPECT_EQ(lines[22], "Message Type - 4");
    EXPECT_EQ(lines[23], "IMO Number - 0");
    EXPECT_EQ(lines[24], "ROT 0.0 \xb0/Min Right");
    EXPECT_EQ(lines[25], "Fix - Surveyed");
    EXPECT_EQ(lines[26], "High Accuracy < 10 m");
    EXPECT_EQ(lines[27], "UTC Tx Date: 8-12-2026");
    EXPECT_EQ(lines[28], "UTC Tx Time: 11:59");

    // The same status 0 from a position report is a vessel under way.
    TAISTarget t = ZeroTarget();
    t.MsgType = 1;
    EXPECT_EQ(AisNavStatusText(t), "Under way using engine");
    t.NavStatus = 15;
    EXPECT_EQ(AisNavStatusText(t), "NavStat Reserved");
    EXPECT_EQ(AisEpfdText(0), "Fix - Undefined");
    EXPECT_EQ(AisEpfdText(15), "Fix - Not Used");
}

TEST_F(AisTextTest, MonitorModeAndPlaybackChangeTimeAndDateLines)
{
    PositionReport p;
    ais.DecodeAndUpdate(PositionSentence(p));
    state.ais.AISMonitor = true;
    state.settings.units.UnitFactor = 1.852;
    auto lines = Text();
    EXPECT_EQ(lines[19], "Timed at: 00:00:00 Local");
    EXPECT_EQ(lines[17].substr(lines[17].size() - 3), " Km");
    state.aisPlayback.AISPlayback = true;
    state.ais.PlayFileName = "/logs/07-12-26.AIS";
    lines = Text();
    EXPECT_EQ(lines[20], "Date: 07-12-26");
    EXPECT_EQ(AisLatText(-1),
        "Lat  0\xb0"
        "0.000 S");
    EXPECT_EQ(AisLatText(599999),
        "Lat  1\xb0"
        "0.000 N")
        << "rounded minutes never show 60";
}

} // namespace

namespace {

class SmallCraftTextTest : public AisTextTest {
protected:
    TAISTarget& Target(std::uint32_t mmsi, int type)
    {
        state.ais.targets.clear();
        TAISTarget& t = state.ais.targets.add(TAISTarget {});
        t.MMSI = mmsi;
        t.MsgType = static_cast<std::uint8_t>(type);
        t.Latitude = static_cast<std::int32_t>(Raw(50.5));
        t.Longitude = static_cast<std::int32_t>(-Raw(1.0));
        t.TrueHeading = 511;
        t.LastHeard = DaysFromDateTime(fake.clock.time);
        return t;
    }
    // The text without its last two lines (time and date, tested with the Class A text).
    std::vector<std::string> Body()
    {
        auto lines = Text();
        EXPECT_GE(lines.size(), 2u);
        lines.resize(lines.size() - 2);
        return lines;
    }
};

TEST_F(SmallCraftTextTest, ClassBShowsItsClassAndStaticData)
{
    TAISTarget& t = Target(235099999, 24);
    t.VesselName.set("SEA BREEZE@@@@");
    t.CallSign.set("MABC1@@");
    t.ShipType = 37;
    t.DimA = 8;
    t.DimB = 4;
    t.DimC = 2;
    t.DimD = 2;
    t.SOG = 62;
    t.COG = 1805;
    const std::vector<std::string> expected = { "Target 1 of 1", "Age 00:00", "Class B", "MMSI - 235099999",
        "Call Sign - MABC1", "Name SEA BREEZE", "Type of Ship - 37", "Length - 12 Mtrs.", "Beam - 4 Mtrs.", "SOG 6.2",
        "COG 180.5", "TrueHeading 511- Not available", AisLatText(t.Latitude), AisLongText(t.Longitude),
        "Range 30.0 Nm", "Bearing 0.0\xb0T" };
    EXPECT_EQ(Body(), expected);

    // Speed and course not available, as a Class B unit sends them before its first fix.
    t.SOG = 1023;
    t.COG = 3600;
    EXPECT_EQ(Body()[9], "SOG - Not available");
    EXPECT_EQ(Body()[10], "COG - Not available");
}

TEST_F(SmallCraftTextTest, AuxiliaryCraftHasNoDimensions)
{
    TAISTarget& t = Target(982350001, 24);
    t.DimA = 0x3f; // would be mother ship bits
    const auto lines = Body();
    ASSERT_GE(lines.size(), 9u);
    EXPECT_EQ(lines[2], "Class B - Auxiliary craft");
    EXPECT_EQ(lines[7], "Length - n/a (auxiliary craft)");
    EXPECT_EQ(lines[8], "SOG 0.0");
}

TEST_F(SmallCraftTextTest, AidToNavigationShowsItsKindAndNoMotion)
{
    TAISTarget& t = Target(992351234, 21);
    t.VesselName.set("NAB TOWER");
    t.ShipType = 25;
    t.DimA = t.DimB = t.DimC = t.DimD = 5;
    t.Spare = 1;
    state.ais.AdditionalTargetData = true;
    const std::vector<std::string> expected = { "Target 1 of 1", "Age 00:00", "Virtual Aid to Navigation",
        "MMSI - 992351234", "Name NAB TOWER", "Aid Type - 25 Starboard hand Mark", "Length - 10 Mtrs.",
        "Beam - 10 Mtrs.", AisLatText(t.Latitude), AisLongText(t.Longitude), "Range 30.0 Nm", "Bearing 0.0\xb0T" };
    auto lines = Text();
    ASSERT_EQ(lines.size(), expected.size() + 2 + 4);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 12), expected);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
        (std::vector<std::string> {
            "------------------------------", "Message Type - 21", "Fix - Undefined", "Low Accuracy > 10 m" }));

    t.Spare = 0;
    EXPECT_EQ(Text()[2], "Aid to Navigation");
}

TEST(AisAidTypeText, EveryKindHasAName)
{
    EXPECT_EQ(AisAidTypeText(0), "Not specified");
    EXPECT_EQ(AisAidTypeText(9), "Beacon, Cardinal N");
    EXPECT_EQ(AisAidTypeText(31), "Light Vessel / LANBY / Rigs");
    EXPECT_EQ(AisAidTypeText(32), "Unknown");
}

} // namespace
