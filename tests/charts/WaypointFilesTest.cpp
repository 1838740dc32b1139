#include "ChartTestSupport.h"

#include "charts/WaypointFiles.h"
#include "core/TextFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace kv;
using kvtest::ChartProgram;

namespace {
const std::string kLabel24 = "Bembridge Ledge Buoy ECM"; // 24 characters
}

TEST(WaypointLine, TheExampleLineBothWays)
{
    ASSERT_EQ(kLabel24.size(), 24u);
    const std::string name = kLabel24 + "0700 ";
    const std::string line = PositionLine(name, 50.5, 1.25, PositionLayout::Wpt);
    EXPECT_EQ(line, name + "N 50.30.00000  W001.15.00000");
    EXPECT_EQ(line.size(), 57u);
    const ParsedPositionLine back = ParsePositionLine(line, PositionLayout::Wpt);
    EXPECT_FALSE(back.formatError);
    EXPECT_EQ(back.name, name);
    EXPECT_DOUBLE_EQ(back.lat, 50.5);
    EXPECT_DOUBLE_EQ(back.lon, 1.25);
    ChartWaypoint w { back.name, back.lat, back.lon };
    EXPECT_EQ(w.symbol(), 7);
    EXPECT_EQ(w.parameter(), 0);
}

TEST(WaypointLine, HemispheresAndZeroFilling)
{
    const std::string name = WaypointNameField("X", 2);
    // 0.5 degrees east is written with E and 000.
    EXPECT_EQ(PositionLine(name, 0.0, -0.5, PositionLayout::Wpt).substr(29), "N 00.00.00000  E000.30.00000");
    // 5 degrees 7.5 minutes south: the hundreds column keeps its blank.
    EXPECT_EQ(
        PositionLine(name, -(5 + 7.5 / 60), 123.0, PositionLayout::Wpt).substr(29), "S 05.07.50000  W123.00.00000");
    EXPECT_EQ(PositionLine(name, -(5 + 7.5 / 60), -1.25, PositionLayout::Dos).substr(29), "S 05.07.50  E001.15.00");
    const ParsedPositionLine dos = ParsePositionLine(name + "S 05.07.50  E001.15.00", PositionLayout::Dos);
    EXPECT_FALSE(dos.formatError);
    EXPECT_DOUBLE_EQ(dos.lat, -(5 + 7.5 / 60));
    EXPECT_DOUBLE_EQ(dos.lon, -1.25);
    // Short names are padded so the columns hold; values that are not numbers write as zero.
    EXPECT_EQ(PositionLine("ab", std::nan(""), 1.0 / 0.0, PositionLayout::Wpt).size(), 57u);
}

TEST(WaypointLine, MalformedLinesSetTheFormatError)
{
    const std::string good = std::string(29, ' ') + "N 50.30.00000  W001.15.00000";
    EXPECT_FALSE(ParsePositionLine(good, PositionLayout::Wpt).formatError);
    // A line cut inside the last field gives what the columns hold; cut before it, an error.
    EXPECT_FALSE(ParsePositionLine(good.substr(0, 56), PositionLayout::Wpt).formatError);
    EXPECT_DOUBLE_EQ(ParsePositionLine(good.substr(0, 56), PositionLayout::Wpt).lon, 1.25);
    EXPECT_TRUE(ParsePositionLine(good.substr(0, 49), PositionLayout::Wpt).formatError);
    EXPECT_TRUE(ParsePositionLine("", PositionLayout::Wpt).formatError);
    std::string letters = good;
    letters[36] = 'x';
    const ParsedPositionLine bad = ParsePositionLine(letters, PositionLayout::Wpt);
    EXPECT_TRUE(bad.formatError);
    EXPECT_DOUBLE_EQ(bad.lat, 50.0); // the minutes that did not convert count as 0
    EXPECT_DOUBLE_EQ(bad.lon, 1.25);
}

TEST(WaypointDatabase, ReadsAppendsAndStopsAtSixHundred)
{
    ChartProgram p;
    p.state.chart.ChartFolder = p.dir.path() + "/charts/";
    p.state.chart.ChartName = "sol";
    for (int i = 0; i < 20; ++i) {
        p.state.waypoints.push(ChartWaypoint { WaypointNameField("old", 1), 1, 1 });
    }
    std::vector<std::string> lines;
    lines.reserve(590);
    for (int i = 0; i < 590; ++i) {
        lines.push_back(PositionLine(WaypointNameField("W" + std::to_string(i), 2), 50, 1, PositionLayout::Wpt));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(p.dir.file("charts/sol.wpt"), lines));
    ReadWaypointDatabase(p.state.waypoints, p.state.chart, p.fakes.prompter);
    EXPECT_EQ(p.state.waypoints.count(), 600u);
    EXPECT_EQ(p.state.waypoints.at(21).label(), "W0");
    EXPECT_EQ(p.state.waypoints.at(600).label(), "W579");
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
}

TEST(WaypointDatabase, FormatErrorIsReportedOnceAfterTheWholeFile)
{
    ChartProgram p;
    p.state.chart.ChartFolder = p.dir.path() + "/charts/";
    p.state.chart.ChartName = "sol";
    p.dir.write("charts/sol.wpt",
        "short line\r\n" + std::string(29, 'n') + "N x0.30.00000  W001.15.00000\r\n" + std::string(29, 'g')
            + "N 50.30.00000  W001.15.00000\r\n");
    ReadWaypointDatabase(p.state.waypoints, p.state.chart, p.fakes.prompter);
    EXPECT_EQ(p.state.waypoints.count(), 3u);
    EXPECT_DOUBLE_EQ(p.state.waypoints.at(3).lat, 50.5);
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kWaypointFormatErrors }));
}

TEST(WaypointDatabase, DosFileInTheRoutesFolderWhenThereIsNoWpt)
{
    ChartProgram p;
    p.state.chart.ChartFolder = p.dir.path() + "/charts/";
    p.state.chart.ChartName = "sol";
    EXPECT_EQ(DosWaypointFolder(p.dir.path() + "/charts/"), p.dir.path() + "/routes/");
    p.dir.write("routes/SOL.WPS", WaypointNameField("Dos", 5) + "N 50.30.00  W001.15.00\r\n");
    ReadWaypointDatabase(p.state.waypoints, p.state.chart, p.fakes.prompter);
    ASSERT_EQ(p.state.waypoints.count(), 1u);
    EXPECT_EQ(p.state.waypoints.at(1).label(), "Dos");
    EXPECT_DOUBLE_EQ(p.state.waypoints.at(1).lon, 1.25);
    // Neither file: nothing, quietly.
    p.state.chart.ChartName = "none";
    ReadWaypointDatabase(p.state.waypoints, p.state.chart, p.fakes.prompter);
    EXPECT_EQ(p.state.waypoints.count(), 1u);
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
}

TEST(WaypointDatabase, WritesBesideTheSaveNameAndTheDosCopyWhenChecked)
{
    ChartProgram p;
    p.state.chart.ChartFolder = p.dir.path() + "/charts/";
    p.state.chart.ChartName = "sol";
    p.state.chart.SaveFileName = "sol"; // as a chart open leaves it: no folder
    p.state.waypoints.push(ChartWaypoint { WaypointNameField("A", 19), -(5 + 7.5 / 60), -0.5 });
    ASSERT_TRUE(WriteWaypointDatabase(p.state.waypoints, p.state.chart, p.state.prefs, p.fakes.prompter));
    EXPECT_EQ(p.dir.read("charts/sol.wpt"), WaypointNameField("A", 19) + "S 05.07.50000  E000.30.00000\r\n");
    EXPECT_FALSE(FileExists(p.dir.file("charts/sol.wps")));
    DOSWPTformatClick(p.state.prefs);
    ASSERT_TRUE(WriteWaypointDatabase(p.state.waypoints, p.state.chart, p.state.prefs, p.fakes.prompter));
    EXPECT_EQ(p.dir.read("charts/sol.wps"), WaypointNameField("A", 19) + "S 05.07.50  E000.30.00\r\n");
    DOSWPTformatClick(p.state.prefs);
    EXPECT_FALSE(p.state.prefs.DOSWPTformat);
    // An unwritable folder: the error, and the table is unchanged.
    p.state.chart.SaveFileName = p.dir.file("gone/sol.cht");
    EXPECT_FALSE(WriteWaypointDatabase(p.state.waypoints, p.state.chart, p.state.prefs, p.fakes.prompter));
    EXPECT_EQ(p.fakes.prompter.texts(), (std::vector<std::string> { kErrorWritingWaypoints }));
    EXPECT_EQ(p.state.waypoints.count(), 1u);
}

TEST(WaypointDatabase, ChartOpenWarnsWhenTheDatabaseIsFull)
{
    ChartProgram p;
    p.writeChart("sol.cht", kvtest::ChartImage(kvtest::Line(2)));
    std::vector<std::string> lines(600, PositionLine(WaypointNameField("W", 2), 50, 1, PositionLayout::Wpt));
    ASSERT_TRUE(WriteTextLinesAtomic(p.dir.file("charts/sol.wpt"), lines));
    p.files.OpenChart(p.chartPath("sol.cht"));
    EXPECT_EQ(p.state.waypoints.count(), 600u);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kWaypointDatabaseFull));
}
