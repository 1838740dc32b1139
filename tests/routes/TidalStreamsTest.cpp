#include "routes/TidalStreams.h"

#include "app/ProgramState.h"

#include "charts/ChartFiles.h"

#include "core/Real48.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

namespace {

std::string PositionRecords(const std::vector<std::pair<double, double>>& positions)
{
    std::string bytes;
    for (const auto& [lat, lon] : positions) {
        std::uint8_t record[12];
        doubleToReal48(lat, record);
        doubleToReal48(lon, record + 6);
        bytes.append(reinterpret_cast<const char*>(record), 12);
    }
    return bytes;
}

// One stream record: the same set for every hour, the rate at hour h = base + h.
std::string StreamRecord(int set, int baseRate)
{
    std::string record;
    for (int h = -6; h <= 6; ++h) {
        const int rate = baseRate + h;
        for (int value : { set, rate }) {
            record += static_cast<char>(value & 0xFF);
            record += static_cast<char>((value >> 8) & 0xFF);
        }
    }
    return record;
}

struct TideProgram {
    TideProgram() { state.chartRef.CosLatFactor = 1.0; }
    void load(int diamonds)
    {
        std::vector<std::pair<double, double>> positions;
        std::string streams;
        for (int i = 0; i < diamonds; ++i) {
            positions.emplace_back(50.0 + i * 0.5, 1.0); // exact in the 48-bit real
            streams += StreamRecord(10 * (i + 1), 20 + i);
        }
        dir.write("tides/solent.pos", PositionRecords(positions));
        dir.write("tides/solent.flo", streams);
        atlas.Tides1Click(dir.file("tides/solent.pos"));
    }
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    TidalAtlas atlas { state.tides, state.tideStream, state.prefs.tide, state.fixInfo, state.chartRef, state.motion,
        state.routeProgress, state.settings.vessel, state.display, fakes.platform };
};

} // namespace

TEST(TidalAtlasLoad, PairOfFilesWithTheStreamFileInAnyCase)
{
    TideProgram p;
    p.fakes.clock.time.hour = 14;
    p.fakes.clock.time.minute = 40; // 15 h, high water at 12: +3
    p.load(3);
    ASSERT_EQ(p.state.tides.count(), 3u);
    EXPECT_DOUBLE_EQ(p.state.tides.at(2).lat, 50.5);
    EXPECT_EQ(p.state.tides.at(2).setAt(-6), 20);
    EXPECT_EQ(p.state.tides.at(2).rateAt(6), 27);
    EXPECT_EQ(p.state.tideStream.TidalHour, 3);
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
    EXPECT_EQ(StreamFilePath(p.dir.file("tides/solent.pos")), p.dir.file("tides/solent.flo"));
}

TEST(TidalAtlasLoad, MissingAndMismatchedFiles)
{
    TideProgram p;
    p.load(3);
    // No stream file: the atlas in use stays as it was, positions included.
    p.dir.write("tides/other.pos", PositionRecords({ { 10, 10 } }));
    EXPECT_FALSE(p.atlas.LoadAtlas(p.dir.file("tides/other.pos")));
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kNoFlowRateFile }));
    ASSERT_EQ(p.state.tides.count(), 3u);
    EXPECT_DOUBLE_EQ(p.state.tides.at(1).lat, 50.0);
    // Fewer positions than streams: the count follows the streams; missing positions stay.
    p.fakes.prompter.messages.clear();
    p.dir.write("tides/few.pos", PositionRecords({ { 40, 2 } }) + "xyz");
    p.dir.write("tides/few.FLO",
        StreamRecord(90, 10) + StreamRecord(180, 10) + StreamRecord(270, 10) + StreamRecord(0, 10)
            + std::string(51, '\0'));
    EXPECT_TRUE(p.atlas.LoadAtlas(p.dir.file("tides/few.pos")));
    ASSERT_EQ(p.state.tides.count(), 4u);
    EXPECT_DOUBLE_EQ(p.state.tides.at(1).lat, 40.0);
    EXPECT_DOUBLE_EQ(p.state.tides.at(2).lat, 50.5);
    EXPECT_DOUBLE_EQ(p.state.tides.at(4).lat, 0.0);
    EXPECT_EQ(p.state.tides.at(3).setAt(0), 270);
    // No position file: its message, and the stream file is still read.
    p.dir.write("tides/lone.flo", StreamRecord(45, 5));
    EXPECT_TRUE(p.atlas.LoadAtlas(p.dir.file("tides/lone.pos")));
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kNonExistantFile }));
    EXPECT_EQ(p.state.tides.count(), 1u);
    // More than 100 records: the first 100.
    std::string many;
    for (int i = 0; i < 105; ++i) {
        many += StreamRecord(i, 1);
    }
    p.dir.write("tides/many.flo", many);
    p.dir.write("tides/many.pos", PositionRecords(std::vector<std::pair<double, double>>(105, { 1, 1 })));
    p.atlas.LoadAtlas(p.dir.file("tides/many.pos"));
    EXPECT_EQ(p.state.tides.count(), 100u);
}

TEST(TidalStream, NearestDiamondTiesGoToTheLaterOne)
{
    TideProgram p;
    p.load(3);
    p.state.tideStream.TidalHour = 2;
    p.state.fixInfo.OwnLat = 50.25; // exactly between diamonds 1 and 2
    p.state.fixInfo.OwnLong = 1.0;
    p.atlas.StreamAtVessel();
    EXPECT_EQ(p.state.tideStream.NearestDiamond, 2);
    EXPECT_EQ(p.state.tideStream.TideSet, 20);
    EXPECT_DOUBLE_EQ(p.state.tideStream.TideRate, 2.3);
    // While the manual tide is used nothing changes.
    p.atlas.ManTideClick(true);
    EXPECT_FALSE(p.state.prefs.tide.AtlasTide);
    p.state.fixInfo.OwnLat = 50.9;
    p.atlas.StreamAtVessel();
    EXPECT_EQ(p.state.tideStream.NearestDiamond, 2);
    p.atlas.ManTideClick(false);
    p.atlas.StreamAtVessel();
    EXPECT_EQ(p.state.tideStream.NearestDiamond, 3);
}

TEST(TidalStream, FiftyDegreesTwoAndAHalfKnots)
{
    TideProgram p;
    p.dir.write("t.pos", PositionRecords({ { 50, 1 } }));
    p.dir.write("t.FLO", StreamRecord(50, 25 - 0)); // rate 25 at hour 0
    p.atlas.LoadAtlas(p.dir.file("t.pos"));
    p.state.tideStream.TidalHour = 0;
    p.atlas.StreamAtVessel();
    EXPECT_EQ(p.state.tideStream.TideSet, 50);
    EXPECT_DOUBLE_EQ(p.state.tideStream.TideRate, 2.5);
    // A tide hour outside -6 … +6 is held at the end rather than read past the table.
    p.state.tideStream.TidalHour = 9;
    p.atlas.StreamAtVessel();
    EXPECT_DOUBLE_EQ(p.state.tideStream.TideRate, 3.1);
}

TEST(TideStep, FirstPressShowsOneThenWraps)
{
    TideProgram p;
    p.atlas.IncTideClick(); // no atlas: nothing
    EXPECT_EQ(p.state.tideStream.TideStep, 0);
    p.load(1);
    p.state.tideStream.TidalHour = -4;
    p.atlas.IncTideClick();
    EXPECT_EQ(p.state.tideStream.TideStep, 1);
    EXPECT_EQ(p.state.tideStream.TidalHour, 1);
    EXPECT_EQ(p.state.display.StatusLine, "Tide  1 Hrs rel to HW  (13:00)   ");
    p.atlas.IncTideClick();
    p.atlas.IncTideClick();
    EXPECT_EQ(p.state.display.StatusLine, "Tide  3 Hrs rel to HW  (15:00)   ");
    for (int i = 0; i < 4; ++i) {
        p.atlas.IncTideClick();
    }
    EXPECT_EQ(p.state.tideStream.TideStep, -6);
    EXPECT_EQ(p.state.display.StatusLine, "Tide -6 Hrs rel to HW  ( 6:00)   ");
    p.state.prefs.tide.HighWaterHour = 2;
    EXPECT_EQ(TideStepText(-6, 2), "Tide -6 Hrs rel to HW  (20:00)   ");
    EXPECT_EQ(TideStepText(6, 20), "Tide  6 Hrs rel to HW  ( 2:00)   ");
}

TEST(TideHour, ClockToTideHour)
{
    EXPECT_EQ(TideHourOf(17, 35, 12), 6);
    EXPECT_EQ(TideHourOf(19, 10, 12), -6);
    EXPECT_EQ(TideHourOf(23, 30, 12), 1); // 24 becomes 0, and -12 is brought up to +1
    EXPECT_EQ(TideHourOf(0, 0, 12), 1);
    EXPECT_EQ(TideHourOf(12, 0, 12), 0);
}

TEST(TideAverage, MeanOverTheHoursToTheWaypoint)
{
    TideProgram p;
    // One diamond whose stream is 090 for hours -6 … -3 and 000 from -2 on, 1.0 kn.
    std::string record;
    for (int h = -6; h <= 6; ++h) {
        const int set = h <= -3 ? 90 : 0;
        for (int value : { set, 10 }) {
            record += static_cast<char>(value & 0xFF);
            record += static_cast<char>((value >> 8) & 0xFF);
        }
    }
    p.dir.write("a.pos", PositionRecords({ { 50, 1 } }));
    p.dir.write("a.flo", record);
    p.atlas.LoadAtlas(p.dir.file("a.pos"));
    p.state.routeProgress.RouteLength = 2;
    p.state.tideStream.TidalHour = -6;
    p.state.routeProgress.TimeToWaypoint = 8.7; // eight samples: four of each
    p.state.fixInfo.OwnLat = 50;
    p.state.fixInfo.OwnLong = 1;
    p.atlas.AvTideClick();
    EXPECT_EQ(p.state.prefs.tide.Tset, 45);
    EXPECT_EQ(p.state.prefs.tide.TDrift, 7);
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLat, 50);
    // No route yet: the error only.
    p.state.routeProgress.RouteLength = 0;
    p.state.prefs.tide.Tset = 1;
    p.atlas.AvTideClick();
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kNoAtlasOrRoute }));
    EXPECT_EQ(p.state.prefs.tide.Tset, 1);
}

TEST(TideAverage, LessThanAnHourAndAtMostFortySamples)
{
    TideProgram p;
    // 090 only at hour -6, 000 at every other hour, 1.0 kn.
    std::string record;
    for (int h = -6; h <= 6; ++h) {
        for (int value : { h == -6 ? 90 : 0, 10 }) {
            record += static_cast<char>(value & 0xFF);
            record += static_cast<char>((value >> 8) & 0xFF);
        }
    }
    p.dir.write("b.pos", PositionRecords({ { 50, 1 } }));
    p.dir.write("b.flo", record);
    p.atlas.LoadAtlas(p.dir.file("b.pos"));
    p.state.routeProgress.RouteLength = 1;
    p.state.tideStream.TidalHour = -6;
    p.state.prefs.tide.Tset = 5;
    p.state.prefs.tide.TDrift = 5;
    p.state.routeProgress.TimeToWaypoint = 0.9;
    p.atlas.AvTideClick();
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kLessThanOneHour }));
    EXPECT_EQ(p.state.prefs.tide.Tset, 0);
    EXPECT_EQ(p.state.prefs.tide.TDrift, 0);
    // 100 hours: 40 samples, hour -6 four times (set 6, drift 9); all 100 would give set 5.
    p.fakes.prompter.messages.clear();
    p.state.routeProgress.TimeToWaypoint = 100;
    p.atlas.AvTideClick();
    EXPECT_EQ(p.state.prefs.tide.Tset, 6);
    EXPECT_EQ(p.state.prefs.tide.TDrift, 9);
    // Unreachable waypoint (-1) and a time that is not a number: no samples.
    for (double t : { -1.0, std::nan("") }) {
        p.state.routeProgress.TimeToWaypoint = t;
        p.atlas.AvTideClick();
        EXPECT_EQ(p.state.prefs.tide.Tset, 0);
    }
}

TEST(TidalAtlasRemove, AsksFirst)
{
    TideProgram p;
    p.load(2);
    p.fakes.prompter.answer({ false, true });
    p.atlas.Tides2Click();
    EXPECT_EQ(p.state.tides.count(), 2u);
    p.atlas.Tides2Click();
    EXPECT_EQ(p.state.tides.count(), 0u);
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string>(2, kRemoveTidesQuestion)));
}
