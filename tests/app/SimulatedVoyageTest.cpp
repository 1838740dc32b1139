// The program fed by the voyage simulator as by a receiver: the interface opens by itself at
// start, every sentence comes in through the serial port, and as the vessel sails from one chart
// tile into the next the charts load in turn. No window: the controller with the recording
// platform, as kvfree runs it.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "platform/fake/Fakes.h"
#include "sim/VoyageSimulator.h"
#include "support/ConfigFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace kv;

// A tile: a stretch of coastline along its southern edge, with its configuration centred on it.
void AddTile(const kvtest::TempDir& dir, const std::string& name, double centreLat, double centreLongWest)
{
    std::vector<ChartPoint> points;
    for (int i = 0; i <= 10; ++i) {
        points.push_back(ChartPoint::make(centreLat - 0.02 + 0.002 * (i % 2), centreLongWest + 0.02 - 0.004 * i));
    }
    points.push_back(ChartPoint::penUp());
    dir.write("charts/" + name + ".cht", ChartRecordBytes(points));
    ChartConfig config;
    config.centreLat = centreLat;
    config.centreLong = centreLongWest;
    config.zoom = 4.0;
    WriteChartConfigFile(dir.file("charts/" + name + ".cfg"), config);
}

TEST(SimulatedVoyage, TheInterfaceOpensByItselfAndTheTilesLoadInTurn)
{
    kvtest::TempDir dir;
    for (const char* folder : { "charts", "routes", "tides", "logs" }) {
        std::filesystem::create_directories(dir.file(folder));
    }
    // Two tiles side by side along 50.7 N, 0.04 degrees of longitude each.
    AddTile(dir, "Tile-W", 50.7, 1.50);
    AddTile(dir, "Tile-E", 50.7, 1.46);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState& state, Settings& settings) {
        state.folders.ChartName = "Tile-W";
        state.fixInfo.OwnLat = 50.7;
        state.fixInfo.OwnLong = 1.5;
        settings.fix.NmeaStartMode = "Auto";
        settings.fix.FixIntervalMs = 1000;
        settings.nmea.ComPortNumber = 9;
        settings.nmea.BaudRate = 38400;
    });
    dir.write("kvfree.ini", "[AIS]\nClassBAndAtoNTargets=true\n");

    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    MainController program(state, fakes.platform, window);
    program.FormCreate(dir.path(), "");
    program.SecsTimerTimer();
    ASSERT_TRUE(fakes.serial.opened) << "the start mode Auto opens the interface";
    EXPECT_EQ(fakes.serial.openedNumber, 9u);
    ASSERT_EQ(state.chart.ChartName.str(), "Tile-W");
    ASSERT_TRUE(state.settings.fix.AutoChart);

    // West to east across both tiles at 30 knots, with traffic.
    VoyageOptions options;
    options.route = { { 50.699, -1.515 }, { 50.701, -1.48 }, { 50.699, -1.445 } };
    options.speedKnots = 30.0;
    options.targets = 5;
    options.seed = 3;
    options.startUtc = ParseUtcTime("2026-06-15T10:00:00");
    VoyageSimulator sim(options);
    std::vector<std::string> loaded { state.chart.ChartName.str() };
    double changedAt = 0.0;
    int fixes = 0;
    while (!sim.arrived() && fixes < 3600) {
        std::string chars;
        for (const std::string& line : sim.step()) {
            chars += line + "\r\n";
        }
        fakes.serial.receive(chars);
        program.fix().FixTimerTimer();
        ++fixes;
        if (state.chart.ChartName.str() != loaded.back()) {
            loaded.push_back(state.chart.ChartName.str());
            changedAt = state.fixInfo.OwnLong;
        }
        // The program's position is the receiver's.
        ASSERT_NEAR(state.fixInfo.OwnLat, sim.reportedPosition().lat, 1e-5);
        ASSERT_NEAR(state.fixInfo.OwnLong, -sim.reportedPosition().lon, 1e-5);
    }
    ASSERT_TRUE(sim.arrived());
    EXPECT_EQ(loaded, (std::vector<std::string> { "Tile-W", "Tile-E" }));
    // The change came where the vessel crossed the line half-way between the tiles' centres.
    EXPECT_NEAR(changedAt, 1.48, 0.002);
    EXPECT_TRUE(fakes.prompter.messages.empty());

    // The traffic was heard: every target, the yachts too.
    std::set<std::uint32_t> heard;
    for (const TAISTarget& t : state.ais.targets) {
        heard.insert(t.MMSI);
    }
    EXPECT_EQ(state.ais.targets.count(), 5);
    for (const SimTarget& t : sim.targets()) {
        EXPECT_TRUE(heard.count(t.mmsi)) << t.name;
    }
}

} // namespace
