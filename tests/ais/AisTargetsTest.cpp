#include "AisTestSupport.h"

#include "ais/AisController.h"
#include "ais/AisDatabase.h"
#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace kv;
using namespace aistest;

namespace {

class AisTargetsTest : public ::testing::Test {
protected:
    AisTargetsTest()
    {
        state.folders.AppDir = dir.path() + "/";
        state.chartRef.CosLatFactor = 1.0;
        OpenAisDatabase(state.ais, state.folders);
    }

    void Receive(const std::string& sentence) { ais.DecodeAndUpdate(sentence); }
    void Position(long long mmsi, double lat, double lon)
    {
        PositionReport p;
        p.mmsi = mmsi;
        p.lat = Raw(lat);
        p.lon = Raw(lon);
        Receive(PositionSentence(p));
    }
    void Static(const StaticData& s, const std::string& seq = "1")
    {
        for (const auto& line : StaticSentences(s, seq)) {
            Receive(line);
        }
    }
    std::string DbPath() const { return AisDatabasePath(state.folders); }
    long DbRecords() const { return CountAisDatabase(DbPath()).value_or(-1); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    AisController ais { state, fake.platform };
};

TEST_F(AisTargetsTest, NewTargetsBeepAndFillTheTableUpToSlotSixty)
{
    for (int i = 1; i <= 60; ++i) {
        Position(100000000 + i, 50.0, -1.0);
    }
    EXPECT_EQ(state.ais.targets.count(), 60);
    EXPECT_EQ(fake.prompter.beeps.size(), 60u);
    Position(100000061, 51.0, -2.0);
    EXPECT_EQ(state.ais.targets.count(), 60);
    EXPECT_EQ(state.ais.targets[60].MMSI, 100000061u) << "the 61st vessel replaces the 60th";
    EXPECT_EQ(state.ais.targets[59].MMSI, 100000059u);
    EXPECT_EQ(state.ais.targets[60].TrackCount, 1);
    EXPECT_DOUBLE_EQ(state.ais.targets[60].point(1).lat, 51.0);
    EXPECT_DOUBLE_EQ(state.ais.targets[60].point(1).lon, -2.0);
    // A known vessel updates its slot: no beep, no new slot.
    Position(100000001, 50.1, -1.0);
    EXPECT_EQ(fake.prompter.beeps.size(), 61u);
    EXPECT_EQ(state.ais.targets[1].TrackCount, 2);
}

TEST_F(AisTargetsTest, TrackKeepsFortyDistinctPositions)
{
    Position(200000001, 50.0, 1.0);
    Position(200000001, 50.0, 1.0);
    EXPECT_EQ(state.ais.targets[1].TrackCount, 1) << "a repeated position adds no point";
    for (int k = 2; k <= 40; ++k) {
        Position(200000001, 50.0 + k / 100.0, 1.0);
    }
    EXPECT_EQ(state.ais.targets[1].TrackCount, 40);
    Position(200000001, 51.0, 1.0);
    const TAISTarget& t = state.ais.targets[1];
    EXPECT_EQ(t.TrackCount, 40);
    EXPECT_NEAR(t.point(1).lat, 50.02, 1e-6) << "the oldest point was dropped";
    EXPECT_NEAR(t.point(39).lat, 50.40, 1e-6);
    EXPECT_NEAR(t.point(40).lat, 51.0, 1e-6);
}

TEST_F(AisTargetsTest, TargetFirstHeardByStaticDataStartsAtTheOrigin)
{
    StaticData s;
    s.mmsi = 300000001;
    Static(s);
    ASSERT_EQ(state.ais.targets.count(), 1);
    const TAISTarget& t = state.ais.targets[1];
    EXPECT_EQ(t.MsgType, 5);
    EXPECT_EQ(t.TrackCount, 1);
    EXPECT_EQ(t.point(1).lat, 0.0);
    EXPECT_EQ(t.point(1).lon, 0.0);
    EXPECT_EQ(t.VesselName.str(), "EVER DIADEM@@@@@@@@@");
    // A position report then adds its point and keeps the static data.
    Position(300000001, 50.0, -1.0);
    EXPECT_EQ(t.TrackCount, 2);
    EXPECT_EQ(t.MsgType, 1);
    EXPECT_EQ(t.VesselName.str(), "EVER DIADEM@@@@@@@@@");
    EXPECT_EQ(t.IMO, 9134270u);
}

TEST_F(AisTargetsTest, FirstFragmentRefreshesThePreviousTarget)
{
    fake.clock.time = { 2026, 12, 8, 12, 0, 0, 0 };
    Position(400000001, 50.0, -1.0);
    const double heard = state.ais.targets[1].LastHeard;
    fake.clock.time.minute = 5;
    Receive(StaticSentences(StaticData {}, "2")[0]);
    EXPECT_GT(state.ais.targets[1].LastHeard, heard);
    EXPECT_EQ(state.ais.targets[1].TrackCount, 1);
    EXPECT_EQ(state.ais.targets.count(), 1);
}

TEST_F(AisTargetsTest, AgeingRemovesSilentTargetsKeepingOrder)
{
    fake.clock.time = { 2026, 12, 8, 12, 0, 0, 0 };
    for (int i = 1; i <= 5; ++i) {
        Position(500000000 + i, 50.0 + i, -1.0);
    }
    // Targets 2 and 4 are silent for 20 minutes, the others are heard at 12:19.
    fake.clock.time.minute = 19;
    Position(500000001, 50.0, -1.0);
    Position(500000003, 50.0, -1.0);
    Position(500000005, 50.0, -1.0);
    state.ais.SelectedTarget = 5;
    state.ais.HighlightNearest = false;
    fake.clock.time.minute = 20;
    AgeAISTargets(state, DaysFromDateTime(fake.clock.time));
    ASSERT_EQ(state.ais.targets.count(), 3);
    EXPECT_EQ(state.ais.targets[1].MMSI, 500000001u);
    EXPECT_EQ(state.ais.targets[2].MMSI, 500000003u);
    EXPECT_EQ(state.ais.targets[3].MMSI, 500000005u);
    EXPECT_EQ(state.ais.targets[4].MsgType, 0);
    EXPECT_EQ(state.ais.SelectedTarget, 3) << "two removals moved the selection down twice";

    // Never keeps everything; an emptied table resets the selection and highlighting.
    SetAISAgeChoice(state.ais, state.display, AisAgeChoice::Never);
    AgeAISTargets(state, DaysFromDateTime(fake.clock.time) + 10);
    EXPECT_EQ(state.ais.targets.count(), 3);
    EXPECT_TRUE(state.display.isChecked(Control::Never1));
    SetAISAgeChoice(state.ais, state.display, AisAgeChoice::After5Mins);
    EXPECT_DOUBLE_EQ(state.ais.AISAgeLimit, 0.003472);
    AgeAISTargets(state, DaysFromDateTime(fake.clock.time) + 1);
    EXPECT_EQ(state.ais.targets.count(), 0);
    EXPECT_EQ(state.ais.SelectedTarget, 0);
    EXPECT_TRUE(state.ais.HighlightNearest);
    EXPECT_FALSE(state.ais.HighlightNearestEnabled);
}

TEST_F(AisTargetsTest, NearestTargetPrefersTheLaterOfEqualRanges)
{
    EXPECT_EQ(NearestAISTarget(state), 0);
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0; // west positive: the AIS longitude is -1.0
    Position(600000001, 50.2, -1.0);
    EXPECT_EQ(NearestAISTarget(state), 1);
    Position(600000002, 50.1, -1.0);
    Position(600000003, 49.9, -1.0);
    Position(600000004, 50.0, 1.0);
    state.ais.AISZoom = true;
    EXPECT_EQ(NearestAISTarget(state), 3);
    EXPECT_NEAR(state.ais.NearestTargetRange, 6.0, 1e-6);
}

// Targets are measured with the same plane sailing as the route: across the date line a
// target a few miles away is nearer than one eighteen miles off on the same side.
TEST_F(AisTargetsTest, NearestTargetIsMeasuredTheShortWayAcrossTheDateLine)
{
    state.chartRef.CosLatFactor = 1.0;
    state.fixInfo.OwnLat = 10.0;
    state.fixInfo.OwnLong = 179.95; // 179.95° W
    Position(700000001, 10.3, -179.95); // 18 nm north
    Position(700000002, 10.0, 179.95); // 179.95° E: 6 nm west over the date line
    const NearestTarget n = FindNearestAISTarget(state.ais, state.fixInfo, state.chartRef);
    EXPECT_EQ(n.number, 2);
    EXPECT_NEAR(n.range, 6.0, 1e-3);
}

TEST_F(AisTargetsTest, ClearAllTargetsAsksFirst)
{
    Position(700000001, 50.0, -1.0);
    fake.prompter.answer({ false, true });
    EXPECT_FALSE(ClearAllTargets(state, fake.platform));
    EXPECT_EQ(state.ais.targets.count(), 1);
    EXPECT_TRUE(ClearAllTargets(state, fake.platform));
    EXPECT_EQ(state.ais.targets.count(), 0);
    EXPECT_EQ(state.ais.targets[1].MMSI, 0u);
    EXPECT_TRUE(fake.prompter.lastMessageIs("This will remove all displayed AIS targets ! - Are you sure?"));
}

TEST(AisSectors, BoundariesOfTheRelativeBearing)
{
    EXPECT_EQ(AisSectorName(0), "Ahead");
    EXPECT_EQ(AisSectorName(29.999), "Ahead");
    EXPECT_EQ(AisSectorName(30), "AheadStarboard");
    EXPECT_EQ(AisSectorName(60), "Starboard");
    EXPECT_EQ(AisSectorName(120), "AsternStarboard");
    EXPECT_EQ(AisSectorName(150), "Astern");
    EXPECT_EQ(AisSectorName(210), "AsternPort");
    EXPECT_EQ(AisSectorName(240), "Port");
    EXPECT_EQ(AisSectorName(300), "AheadPort");
    EXPECT_EQ(AisSectorName(329.99), "AheadPort");
    EXPECT_EQ(AisSectorName(330), "Ahead");
    EXPECT_EQ(AisSectorName(359.9), "Ahead");
    EXPECT_EQ(AisSectorName(360), "Ahead");
    EXPECT_EQ(AisSectorName(-90), "Port");
}

TEST_F(AisTargetsTest, VoiceAnnouncesTheSectorOfANewTarget)
{
    state.prefs.AISvoice = true;
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0;
    state.motion.COGValue = 90.0; // heading east
    Position(800000001, 50.5, -1.0); // due north: 270 relative
    EXPECT_TRUE(fake.sound.played.empty()) << "no voice with fewer than two quick-log records";
    state.quickLog.push({});
    state.quickLog.push({});
    Position(800000002, 50.5, -1.0);
    ASSERT_EQ(fake.sound.played.size(), 1u);
    EXPECT_EQ(fake.sound.played[0], dir.path() + "/Port.wav");
    EXPECT_EQ(state.ais.LastSpokenText, "Port");
    // Head-up on the heading sensor: the reference is the heading field of the combined sentence.
    state.ais.HeadUpReference = 3;
    state.sentenceFix.ExtraField0 = "0";
    Position(800000003, 50.0, 0.0); // due east
    EXPECT_EQ(state.ais.LastSpokenText, "Starboard");
    state.ais.AISMonitor = true;
    Position(800000004, 50.0, -2.0);
    EXPECT_EQ(fake.sound.played.size(), 2u) << "monitor mode announces nothing";
}

TEST_F(AisTargetsTest, DatabaseGainsOneRecordPerVessel)
{
    EXPECT_EQ(DbRecords(), 0);
    StaticData s;
    s.mmsi = 900000001;
    Static(s, "1");
    EXPECT_EQ(DbRecords(), 1);
    EXPECT_EQ(state.ais.AISDatabaseCount, 1);
    Static(s, "2");
    Position(900000001, 50.0, -1.0); // the target now holds a type 1: no database work
    EXPECT_EQ(DbRecords(), 1) << "an MMSI already in the database appends nothing";
    s.mmsi = 900000002;
    s.name = "SECOND";
    Static(s, "3");
    EXPECT_EQ(DbRecords(), 2);
    EXPECT_EQ(*FileSize(DbPath()), 2 * kTAISTargetSize);

    // The stored record holds the static fields only.
    std::vector<TAISTarget> records;
    ForEachAisDatabaseRecord(DbPath(), [&](const TAISTarget& r) { records.push_back(r); });
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].MMSI, 900000002u);
    EXPECT_EQ(records[1].VesselName.str(), "SECOND@@@@@@@@@@@@@@");
    EXPECT_EQ(records[1].Draught, 122);
    EXPECT_EQ(records[1].MsgType, 0);
    EXPECT_EQ(records[1].ETA, 0u);

    // A vessel heard again later is named from the database at its first position report.
    state.ais.targets.clear();
    Position(900000002, 50.0, -1.0);
    EXPECT_EQ(state.ais.targets[1].VesselName.str(), "SECOND@@@@@@@@@@@@@@");
    EXPECT_EQ(state.ais.targets[1].DimA, 225);
    EXPECT_EQ(state.ais.targets[1].Draught, 0) << "the draught is not taken from the database";
}

TEST_F(AisTargetsTest, DamagedOrMissingDatabaseLosesNothing)
{
    // A truncated file: the partial record is not read, and the next append cuts it off. It was
    // never a record (an append killed part way), and kept as one padded with zeros it would
    // hold garbage or a vessel's MMSI without its details; the whole record before it stays.
    StaticData s;
    s.mmsi = 910000001;
    TAISTarget r = ZeroTarget();
    r.MMSI = 910000009;
    AppendAisDatabaseRecord(DbPath(), r);
    const std::string first = ReadWholeFile(DbPath()).value_or("");
    AppendToFile(DbPath(), std::string(100, '\x01'));
    EXPECT_EQ(DbRecords(), 1);
    Static(s);
    EXPECT_EQ(*FileSize(DbPath()), 2 * kTAISTargetSize);
    EXPECT_EQ(DbRecords(), 2);
    EXPECT_EQ(ReadWholeFile(DbPath()).value_or("").substr(0, kTAISTargetSize), first);
    long found = 0;
    ForEachAisDatabaseMatch(DbPath(), 910000001, [&](const TAISTarget& x) { found += x.MMSI == 910000001; });
    EXPECT_EQ(found, 1);
    EXPECT_EQ(ForEachAisDatabaseMatch(DbPath(), 910000009, nullptr).value_or(0), 1);

    // An unreadable database: the search finds nothing and nothing is appended.
    std::filesystem::remove(DbPath());
    std::filesystem::create_directory(DbPath());
    s.mmsi = 910000002;
    Static(s, "5");
    Position(910000003, 50.0, -1.0);
    EXPECT_TRUE(std::filesystem::is_directory(DbPath()));
    EXPECT_EQ(state.ais.targets.count(), 3);
    EXPECT_FALSE(CountAisDatabase(DbPath()).has_value());
}

TEST(AisDatabaseTear, AVesselTornByAKillIsAppendedAgainWhole)
{
    // A kill in the middle of an append leaves the first bytes of vessel B's record at the end.
    // Another vessel C is appended next, then B reports again: B must end up with exactly one
    // record, complete, and the records before the tear must be untouched, wherever it fell
    // (inside the MMSI, just after it, inside the name, near the end).
    const std::uint32_t a = 910000100, b = 910000200, c = 910000300;
    for (const std::size_t tear : { std::size_t { 1 }, std::size_t { 6 }, std::size_t { 8 }, std::size_t { 40 },
             std::size_t { 140 }, std::size_t { 500 }, kTAISTargetSize - 1 }) {
        SCOPED_TRACE(tear);
        kvtest::TempDir dir;
        ProgramState state;
        state.folders.AppDir = dir.path() + "/";
        FakePlatform fake;
        AisController ais { state, fake.platform };
        const std::string path = AisDatabasePath(state.folders);
        TAISTarget vesselA = ZeroTarget();
        vesselA.MMSI = a;
        vesselA.VesselName.set("ALPHA");
        ASSERT_TRUE(AppendAisDatabaseRecord(path, vesselA));
        const std::string before = ReadWholeFile(path).value_or("");
        TAISTarget torn = ZeroTarget();
        torn.MMSI = b;
        torn.VesselName.set("BRAVO");
        const AisRecordImage image = ToImage(torn);
        ASSERT_TRUE(AppendToFile(path, std::string(reinterpret_cast<const char*>(image.data()), tear)));
        OpenAisDatabase(state.ais, state.folders);
        EXPECT_EQ(state.ais.AISDatabaseCount, 1);

        for (const std::uint32_t mmsi : { c, b }) {
            StaticData s;
            s.mmsi = mmsi;
            for (const auto& line : StaticSentences(s, "1")) {
                ais.DecodeAndUpdate(line);
            }
        }
        EXPECT_EQ(*FileSize(path), 3 * kTAISTargetSize);
        EXPECT_EQ(state.ais.AISDatabaseCount, 3);
        EXPECT_EQ(ReadWholeFile(path).value_or("").substr(0, kTAISTargetSize), before);
        std::vector<std::string> names;
        ForEachAisDatabaseMatch(path, b, [&](const TAISTarget& x) { names.push_back(x.VesselName.str()); });
        EXPECT_EQ(names, std::vector<std::string> { "EVER DIADEM@@@@@@@@@" });
        EXPECT_EQ(ForEachAisDatabaseMatch(path, c, nullptr).value_or(0), 1);
    }
}

TEST(AisTime, DaysSince1899RoundTrip)
{
    EXPECT_DOUBLE_EQ(DaysFromDateTime({ 1899, 12, 30, 0, 0, 0, 0 }), 0.0);
    EXPECT_DOUBLE_EQ(DaysFromDateTime({ 1900, 1, 1, 12, 0, 0, 0 }), 2.5);
    EXPECT_DOUBLE_EQ(DaysFromDateTime({ 2026, 12, 8, 0, 0, 0, 0 }), 46364.0);
    const LocalDateTime t { 2024, 2, 29, 23, 59, 58, 0 };
    EXPECT_EQ(DateTimeFromDays(DaysFromDateTime(t)), t);
}

} // namespace
