#include "ChartTestSupport.h"

#include "core/Config.h"
#include "core/TextFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

using namespace kv;
using kvtest::ChartImage;
using kvtest::ChartProgram;
using kvtest::Line;
using ::testing::Contains;

TEST(ChartRecordFile, TakesAllButTheTerminatorOrEveryWholeRecordOfAPartialFile)
{
    kvtest::TempDir dir;
    struct Case {
        std::string bytes;
        long long taken;
        bool partial;
    };
    const std::string three = ChartImage(Line(2)); // two points and the terminator
    const std::vector<Case> cases {
        { "", 0, false }, { "x", 0, true }, { std::string(11, '\x81'), 0, true }, { ChartImage({}), 0, false },
        { three, 2, false }, { three + "abcde", 3, true }, // the terminator counts as a point then
    };
    for (const auto& c : cases) {
        dir.write("c.cht", c.bytes);
        const ChartRecords r = ReadChartRecords(dir.file("c.cht"));
        EXPECT_TRUE(r.opened);
        EXPECT_EQ(r.taken, c.taken) << c.bytes.size() << " bytes";
        EXPECT_EQ(r.partial, c.partial) << c.bytes.size() << " bytes";
        EXPECT_EQ(static_cast<long long>(r.records.size()), c.taken);
    }
    EXPECT_FALSE(ReadChartRecords(dir.file("missing.cht")).opened);
    std::filesystem::create_directory(dir.file("folder.cht"));
    EXPECT_FALSE(ReadChartRecords(dir.file("folder.cht")).opened);
}

TEST(ChartOpen, LoadsNMinusOnePointsAndReportsTheCount)
{
    ChartProgram p;
    p.writeChart("solent.cht", ChartImage(Line(5)));
    p.files.OpenChart(p.chartPath("solent.cht"));
    EXPECT_EQ(p.state.chart.count(), 5);
    EXPECT_EQ(p.state.chart.ChartBaseEnd, 5);
    EXPECT_EQ(p.state.chart.ChartName.str(), "solent");
    EXPECT_EQ(p.state.folders.ChartName, "solent");
    EXPECT_EQ(p.state.chart.ChartFolder.str(), p.dir.path() + "/charts/");
    EXPECT_EQ(p.state.chart.SaveFileName, "solent");
    p.state.chart.ConfigName = "kelvw";
    p.files.OpenChart(p.chartPath("solent.cht"));
    EXPECT_EQ(p.hooks.captions.back(), "solent (kelvw)");
    EXPECT_TRUE(p.state.chartGeometry.FullChartZoomPending);
    // No configuration file beside it: the warning, then the count.
    EXPECT_EQ(p.messages(),
        (std::vector<std::string> {
            kChartConfigMissing, "Total chart points = 5", kChartConfigMissing, "Total chart points = 5" }));
    EXPECT_NEAR(p.state.chart.point(5).lat(), 50.004, 1e-9);
    EXPECT_TRUE(p.state.chart.point(6).isPenUp());
    EXPECT_TRUE(p.state.display.PosnPanel.empty());
}

TEST(ChartOpen, PartialTrailingRecordIsAnOldDosChart)
{
    ChartProgram p;
    p.writeChart("old.cht", ChartImage(Line(3), false) + "12345");
    p.files.OpenChart(p.chartPath("old.cht"));
    EXPECT_EQ(p.state.chart.count(), 3);
    EXPECT_EQ(p.state.display.PosnPanel, kDosChartRead);
}

TEST(ChartOpen, MissingFileLeavesTheStoreAsItWas)
{
    ChartProgram p;
    p.writeChart("a.cht", ChartImage(Line(4)));
    p.files.OpenChart(p.chartPath("a.cht"));
    p.fakes.prompter.messages.clear();
    p.files.OpenChart(p.dir.file("elsewhere/nothere.cht"));
    EXPECT_EQ(p.messages(), (std::vector<std::string> { kNonExistantFile }));
    EXPECT_EQ(p.state.chart.count(), 4);
    EXPECT_EQ(p.state.chart.ChartName.str(), "a");
    EXPECT_EQ(p.state.chart.ChartFolder.str(), p.dir.path() + "/charts/");
    EXPECT_EQ(p.state.folders.ChartDir.str(), p.dir.path() + "/charts/");
    EXPECT_EQ(p.state.chart.OpenFileName, p.chartPath("a.cht"));
    EXPECT_EQ(p.hooks.indexRebuilds, 1);
    // A later reload (purge layers) opens the chart in use, not the file that was missing.
    p.fakes.prompter.messages.clear();
    p.files.PurgeLayers();
    EXPECT_FALSE(p.hooks.ended);
    EXPECT_EQ(p.state.chart.count(), 4);
    EXPECT_EQ(p.state.chart.ChartName.str(), "a");
    // A cancelled dialog clears its file name and touches nothing else.
    p.files.OpenChart("");
    EXPECT_TRUE(p.state.chart.OpenFileName.empty());
    EXPECT_EQ(p.state.chart.count(), 4);
}

TEST(ChartOpen, EmptyAndTinyFilesGiveAnEmptyChart)
{
    for (const std::string& bytes : { std::string(), std::string(1, '\x81'), std::string(11, '\0') }) {
        ChartProgram p;
        p.writeChart("tiny.cht", bytes);
        p.files.OpenChart(p.chartPath("tiny.cht"));
        EXPECT_EQ(p.state.chart.count(), 0);
        EXPECT_THAT(p.messages(), Contains("Total chart points = 0"));
    }
}

TEST(ChartOpen, LayersFollowInOrderAndMissingOnesAreMarked)
{
    ChartProgram p;
    p.writeChart("sol.cht", ChartImage(Line(2, 1.0)));
    p.writeChart("sol.000", ChartImage(Line(3, 2.0)));
    p.writeChart("sol.003", ChartImage(Line(1, 3.0)));
    p.files.OpenChart(p.chartPath("sol.cht"));
    ASSERT_EQ(p.state.chart.count(), 6);
    EXPECT_DOUBLE_EQ(p.state.chart.point(2).lon(), 1.0);
    EXPECT_DOUBLE_EQ(p.state.chart.point(3).lon(), 2.0);
    EXPECT_DOUBLE_EQ(p.state.chart.point(6).lon(), 3.0);
    EXPECT_EQ(p.state.chart.LayerMarker, "*--*------");
    EXPECT_EQ(p.state.chart.ChartBaseEnd, 6);
}

TEST(ChartOpen, LayerFileOpenedDirectlyIsAChartWithoutLayers)
{
    ChartProgram p;
    p.writeChart("sol.003", ChartImage(Line(2, 3.0)));
    p.writeChart("sol.000", ChartImage(Line(3, 2.0)));
    p.files.OpenChart(p.chartPath("sol.003"));
    EXPECT_EQ(p.state.chart.count(), 2);
    EXPECT_EQ(p.state.chart.ChartName.str(), "sol");
    EXPECT_EQ(p.state.chart.LayerMarker, kAllLayers);
}

TEST(ChartOpen, FullStoreDropsWhatDoesNotFit)
{
    {
        // A chart of 10800 points and a non-empty layer: the layer is not added.
        ChartProgram p;
        p.writeChart("big.cht", ChartImage(Line(10800)));
        p.writeChart("big.001", ChartImage(Line(2, 5.0)));
        p.files.OpenChart(p.chartPath("big.cht"));
        EXPECT_EQ(p.state.chart.count(), 10800);
        EXPECT_THAT(p.messages(), Contains(std::string(kChartStoreFullLayer)));
        EXPECT_DOUBLE_EQ(p.state.chart.point(10800).lon(), 1.0);
    }
    {
        // 10801 whole records plus one: one point too many for the store.
        ChartProgram p;
        p.writeChart("over.cht", ChartImage(Line(10801)));
        p.files.OpenChart(p.chartPath("over.cht"));
        EXPECT_EQ(p.state.chart.count(), 10800);
        EXPECT_THAT(p.messages(), Contains(std::string(kChartStoreFullChart)));
    }
    {
        // Exactly 10801 records: the last is the terminator, everything fits, no message.
        ChartProgram p;
        p.writeChart("full.cht", ChartImage(Line(10800)));
        p.files.OpenChart(p.chartPath("full.cht"));
        EXPECT_EQ(p.state.chart.count(), 10800);
        EXPECT_THAT(p.messages(), ::testing::Not(Contains(std::string(kChartStoreFullChart))));
    }
}

TEST(ChartOpen, AppendModeAddsToTheStore)
{
    ChartProgram p;
    p.writeChart("a.cht", ChartImage(Line(3, 1.0)));
    p.writeChart("b.cht", ChartImage(Line(2, 2.0)));
    p.files.OpenChart(p.chartPath("a.cht"));
    p.files.ChartAppendModeClick();
    p.files.OpenChart(p.chartPath("b.cht"));
    EXPECT_EQ(p.state.chart.count(), 5);
    EXPECT_DOUBLE_EQ(p.state.chart.point(4).lon(), 2.0);
    EXPECT_EQ(p.state.chart.ChartName.str(), "b");
    p.files.ChartAppendModeClick();
    p.files.OpenChart(p.chartPath("a.cht"));
    EXPECT_EQ(p.state.chart.count(), 3);
}

TEST(ChartConfig, WritesTheScientificFormAndReadsItBack)
{
    ChartProgram p;
    p.state.chartGeometry.LastViewLat = 50.75;
    p.state.chartGeometry.LastViewLong = -1.25;
    p.state.chartGeometry.LastViewZoom = 0.04;
    p.state.chart.ReservedInteger = 7;
    p.state.chartRef.ChartLatOffset = 0.001;
    p.state.chartRef.ChartLongOffset = 0.0;
    ASSERT_TRUE(p.files.WriteChartConfig(p.chartPath("sol.cht")));
    EXPECT_EQ(p.dir.read("charts/sol.cfg"),
        " 5.07500000000000E+0001\r\n-1.25000000000000E+0000\r\n 4.00000000000000E-0002\r\n7\r\n"
        " 1.00000000000000E-0003\r\n 0.00000000000000E+0000\r\n");
    p.state.chartRef.ChartLatOffset = 9.0;
    ASSERT_TRUE(p.files.ReadChartConfig(p.chartPath("sol.cht")));
    const ChartGeometry& g = p.state.chartGeometry;
    EXPECT_DOUBLE_EQ(g.ChartCentreLat, 50.75);
    EXPECT_DOUBLE_EQ(g.ChartCentreLong, -1.25);
    EXPECT_DOUBLE_EQ(g.ChartZoom, 0.04);
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLat, 50.75);
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLong, -1.25);
    EXPECT_DOUBLE_EQ(p.state.chartRef.ChartLatOffset, 0.001);
    // Base scales at 1024 x 768: round(768 / 200 x 38 x 0.63 / cos 50.75) and round(1024 / 640 x 55).
    EXPECT_EQ(g.LatBaseScale, 145);
    EXPECT_EQ(g.LongBaseScale, 88);
}

TEST(ChartConfig, ShortOrDamagedFilesKeepWhatTheyCannotGive)
{
    ChartProgram p;
    p.state.chartRef.ChartLatOffset = 0.5;
    p.state.chartRef.ChartLongOffset = -0.25;
    p.state.chartGeometry.LastViewZoom = 3.0;
    // Four lines: the offsets in force stay.
    p.dir.write("charts/four.cfg", "10\r\n20\r\n8\r\n3\r\n");
    ASSERT_TRUE(p.files.ReadChartConfig(p.chartPath("four.cht")));
    EXPECT_DOUBLE_EQ(p.state.chartRef.ChartLatOffset, 0.5);
    EXPECT_DOUBLE_EQ(p.state.chartRef.ChartLongOffset, -0.25);
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartZoom, 8.0);
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.LastViewZoom, 8.0);
    EXPECT_EQ(p.state.chart.ReservedInteger, 3);
    // Two lines only, and text where numbers belong: defaults for what is missing or unreadable.
    p.dir.write("charts/two.cfg", "abc\n-4.5e1\n");
    ASSERT_TRUE(p.files.ReadChartConfig(p.chartPath("two.cht")));
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartCentreLat, 0.0);
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartCentreLong, -45.0);
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartZoom, 0.04);
    EXPECT_EQ(p.state.chart.ReservedInteger, 0);
    // A zero zoom would make every view divide by zero.
    p.dir.write("charts/zero.cfg", "1\n2\n0\n0\n");
    p.files.ReadChartConfig(p.chartPath("zero.cht"));
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartZoom, 0.04);
    // A pole centre keeps the base scale finite.
    p.dir.write("charts/pole.cfg", "90\n0\n1\n0\n");
    p.files.ReadChartConfig(p.chartPath("pole.cht"));
    EXPECT_GT(p.state.chartGeometry.LatBaseScale, 0);
    EXPECT_LT(p.state.chartGeometry.LatBaseScale, 1000);
    // Missing: defaults, and the last view is left alone.
    p.state.chartGeometry.LastViewZoom = 5.0;
    EXPECT_FALSE(p.files.ReadChartConfig(p.chartPath("none.cht")));
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.ChartZoom, 0.04);
    EXPECT_DOUBLE_EQ(p.state.chartGeometry.LastViewZoom, 5.0);
}

TEST(ChartSave, CompactsPenUpRuns)
{
    ChartProgram p;
    ChartStore& s = p.state.chart;
    s.setPoint(1, ChartPoint::make(50, 1));
    s.setPoint(2, ChartPoint::penUp());
    s.setPoint(3, ChartPoint::penUp());
    s.setPoint(4, ChartPoint::make(51, 1));
    s.setPoint(5, ChartPoint::penUp());
    s.setCount(5);
    s.ChartName = "c";
    s.ChartFolder = p.dir.path() + "/charts/";
    p.files.SaveChart(p.chartPath("c.cht"));
    EXPECT_EQ(p.state.display.StatusLine, "Removed 2 empty points");
    EXPECT_EQ(p.dir.read("charts/c.cht"),
        ChartImage({ ChartPoint::make(50, 1), ChartPoint::penUp(), ChartPoint::make(51, 1) }));
    EXPECT_TRUE(FileExists(p.dir.file("charts/c.cfg")));
    EXPECT_TRUE(FileExists(p.dir.file("charts/c.wpt")));
    // The store itself is not compacted.
    EXPECT_EQ(s.count(), 5);
    // Saved elsewhere under another name: the chart is that file from now on, also for the
    // next start.
    std::filesystem::create_directories(p.dir.file("other"));
    p.files.SaveChart(p.dir.file("other/renamed.cht"));
    EXPECT_EQ(s.ChartName.str(), "renamed");
    EXPECT_EQ(p.state.folders.ChartName, "renamed");
    EXPECT_EQ(p.state.folders.ChartDir.str(), p.dir.path() + "/other/");
    EXPECT_TRUE(FileExists(p.dir.file("other/renamed.wpt")));
}

TEST(ChartSave, LayerAfterPurgeLayersWritesOnlyWhatFollowsTheBaseChart)
{
    ChartProgram p;
    p.writeChart("sol.cht", ChartImage(Line(3, 1.0)));
    p.writeChart("sol.000", ChartImage(Line(2, 2.0)));
    p.files.OpenChart(p.chartPath("sol.cht"));
    ASSERT_EQ(p.state.chart.count(), 5);
    p.files.PurgeLayers();
    EXPECT_EQ(p.state.chart.LayerMarker, kNoLayers);
    ASSERT_EQ(p.state.chart.count(), 3);
    EXPECT_EQ(p.state.chart.ChartBaseEnd, 3);
    EXPECT_EQ(p.hooks.createdViews.size(), 1u);
    EXPECT_EQ(p.hooks.closedViews, 1);
    // Points drawn after the purge, then saved as a layer.
    p.state.chart.setPoint(4, ChartPoint::make(52, 4.0));
    p.state.chart.setPoint(5, ChartPoint::make(53, 4.0));
    p.state.chart.setCount(5);
    p.files.SaveChart(p.chartPath("sol.005"));
    EXPECT_EQ(p.dir.read("charts/sol.005"),
        ChartImage({ p.state.chart.point(3), ChartPoint::make(52, 4.0), ChartPoint::make(53, 4.0) }));
    // A layer save writes no chart configuration.
    EXPECT_FALSE(FileExists(p.dir.file("charts/sol.cfg")));
    // With all layers loaded a layer save writes the whole store.
    p.state.chart.LayerMarker = kAllLayers;
    p.files.SaveChart(p.chartPath("sol.006"));
    EXPECT_EQ(p.dir.read("charts/sol.006").size(), 6 * kChartRecordSize);
}

TEST(ChartSave, WriteFailureChangesNothing)
{
    ChartProgram p;
    p.writeChart("a.cht", ChartImage(Line(3)));
    p.files.OpenChart(p.chartPath("a.cht"));
    p.fakes.prompter.messages.clear();
    p.files.SaveChart(p.dir.file("nofolder/b.cht"));
    EXPECT_EQ(p.messages(), (std::vector<std::string> { kErrorWritingChart }));
    EXPECT_EQ(p.state.chart.ChartName.str(), "a");
    EXPECT_EQ(p.state.folders.ChartName, "a");
    EXPECT_EQ(p.state.chart.count(), 3);
    EXPECT_FALSE(std::filesystem::exists(p.dir.file("nofolder")));
    EXPECT_FALSE(FileExists(p.dir.file("charts/a.wpt"))); // no waypoint file for a chart not written
}

TEST(ChartSave, AsksAboutOffsetsFirstAndCancelWritesNothing)
{
    ChartProgram p;
    std::string suggested;
    p.state.chart.ChartName = "x";
    p.files.SaveChartAsClick([&](const std::string& name) -> std::optional<std::string> {
        suggested = name;
        return std::nullopt;
    });
    EXPECT_EQ(suggested, "x");
    EXPECT_EQ(p.messages(), (std::vector<std::string> { kCheckChartOffsets }));
}

TEST(ChartPurge, NoKeepsEverythingYesClears)
{
    ChartProgram p;
    p.writeChart("a.cht", ChartImage(Line(3)));
    p.files.OpenChart(p.chartPath("a.cht"));
    p.state.waypoints.push(ChartWaypoint {});
    p.fakes.prompter.answer({ false, false, false });
    p.files.PurgeChart();
    p.files.PurgeLayers();
    p.files.PurgeAll();
    EXPECT_EQ(p.state.chart.count(), 3);
    EXPECT_EQ(p.state.waypoints.count(), 1u);

    p.fakes.prompter.answer({ true });
    p.files.PurgeChart();
    EXPECT_EQ(p.state.chart.count(), 0);
    EXPECT_EQ(p.state.waypoints.count(), 0u);
    EXPECT_TRUE(p.state.chart.ChartName.empty());
    EXPECT_TRUE(p.state.chart.point(1).isPenUp());
    EXPECT_EQ(p.hooks.captions.back(), "");
}

TEST(ChartPurge, AllEmptiesTheChartAndItsConfigurationName)
{
    ChartProgram p;
    p.writeChart("a.cht", ChartImage(Line(3)));
    p.files.OpenChart(p.chartPath("a.cht"));
    p.state.display.StatusLine = "x";
    p.state.chart.ConfigName = "kelvw";
    p.fakes.prompter.answer({ true });
    EXPECT_TRUE(p.files.PurgeAll());
    EXPECT_EQ(p.state.chart.count(), 0);
    EXPECT_TRUE(p.state.display.StatusLine.empty());
    EXPECT_TRUE(p.state.chart.ConfigName.empty());
    EXPECT_EQ(p.hooks.captions.back(), "");
}

TEST(ChartReload, MissingChartKeepsTheConfigurationAsBackupAndQuits)
{
    ChartProgram p;
    const std::string config = p.dir.file("kelvw.cfg");
    p.state.folders.ChartName = "lost";
    ASSERT_TRUE(WriteConfig(config, p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings));
    const std::string before = p.dir.read("kelvw.cfg");
    p.files.ReloadChart(p.chartPath("lost.cht"));
    EXPECT_TRUE(p.hooks.ended);
    EXPECT_FALSE(FileExists(config));
    EXPECT_EQ(p.dir.read("kelvw.cfg.bak"), before);
    const auto texts = p.messages();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Chart File lost not found in local chart directory. Quit and restart RU Rovi");
    EXPECT_EQ(texts[1], "Previous configuration kept as " + config + ".bak");
    EXPECT_EQ(texts[2], kQuittingNow);
    EXPECT_EQ(p.state.folders.ChartName, "world"); // the defaults now apply
}

TEST(ChartReload, MissingChartKeepsEveryEarlierBackupAndSetsAsideTheFileRead)
{
    // Earlier backups stay, a folder takes a name too, and the next free number is used.
    {
        ChartProgram p;
        const std::string config = p.dir.file("kelvw.cfg");
        p.state.folders.ChartName = "lost";
        ASSERT_TRUE(WriteConfig(config, p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings));
        const std::string before = p.dir.read("kelvw.cfg");
        p.dir.write("kelvw.cfg.bak", "first backup");
        std::filesystem::create_directory(p.dir.file("kelvw.cfg.bak-1"));
        p.files.ReloadChart(p.chartPath("lost.cht"));
        EXPECT_TRUE(p.hooks.ended);
        EXPECT_EQ(p.dir.read("kelvw.cfg.bak"), "first backup");
        EXPECT_TRUE(std::filesystem::is_directory(p.dir.file("kelvw.cfg.bak-1")));
        EXPECT_EQ(p.dir.read("kelvw.cfg.bak-2"), before);
        EXPECT_FALSE(PathTaken(config));
        EXPECT_EQ(p.state.display.StatusLine, "Previous configuration kept as " + config + ".bak-2");
        EXPECT_EQ(ConfigBackupName(config, 0), config + ".bak");
        EXPECT_EQ(ConfigBackupName(config, 7), config + ".bak-7");
    }
    // Started with boat2.cfg: that file goes aside; kelvw.cfg is another, good file and stays.
    {
        ChartProgram p;
        p.state.folders.ChartName = "lost";
        ASSERT_TRUE(
            WriteConfig(p.dir.file("boat2.cfg"), p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings));
        p.state.folders.ChartName = "world";
        ASSERT_TRUE(
            WriteConfig(p.dir.file("kelvw.cfg"), p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings));
        const std::string good = p.dir.read("kelvw.cfg");
        const std::string named = p.dir.read("boat2.cfg");
        p.state.app.StartupConfigPath = p.dir.file("boat2.cfg");
        p.files.ReloadChart(p.chartPath("lost.cht"));
        EXPECT_EQ(p.dir.read("kelvw.cfg"), good);
        EXPECT_FALSE(PathTaken(p.dir.file("kelvw.cfg.bak")));
        EXPECT_EQ(p.dir.read("boat2.cfg.bak"), named);
        EXPECT_FALSE(PathTaken(p.dir.file("boat2.cfg")));
        EXPECT_EQ(p.state.folders.ChartName, "world");
    }
}

TEST(ChartReload, OpensAViewAndSkipsTheCountInAutoMode)
{
    ChartProgram p;
    p.writeChart("world.cht", ChartImage(Line(4)));
    p.writeChart("world.000", ChartImage(Line(1)));
    p.state.chart.ConfigName = "kelvw";
    p.state.settings.fix.NmeaStartMode = "Auto";
    p.state.chart.LayersEnabled = false;
    p.files.ReloadChart(p.chartPath("world.cht"));
    EXPECT_EQ(p.state.chart.count(), 4);
    EXPECT_EQ(p.hooks.createdViews, (std::vector<std::string> { "world (kelvw)" }));
    EXPECT_TRUE(p.messages().empty()); // no missing-configuration warning either
}
