#include "ChartTestSupport.h"

#include "charts/ChartIndex.h"
#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using namespace kv;
using kvtest::ChartImage;
using kvtest::ChartProgram;
using kvtest::Line;

namespace {

std::string ConfigText(double lat, double lon, double zoom)
{
    char text[128];
    std::snprintf(text, sizeof text, "%.9f\n%.9f\n%.9f\n0\n", lat, lon, zoom);
    return text;
}

std::vector<std::string> Names(const ChartIndex& index)
{
    std::vector<std::string> names;
    for (const auto& e : index.entries()) {
        names.push_back(e.fileName);
    }
    return names;
}

} // namespace

TEST(ChartIndex, ListsConfigurationsByNameWithoutRegardToCaseAndLeavesThePortfolioOut)
{
    kvtest::TempDir dir;
    for (const char* name : { "beta.cfg", "Alpha.CFG", "PortFolio.cfg", "alpha.cfg", "gamma.cht", "delta.cfg.bak" }) {
        dir.write(name, ConfigText(50.0, 1.0, 0.5));
    }
    std::filesystem::create_directory(dir.file("folder.cfg"));
    ChartIndex index;
    index.Rebuild(dir.path() + "/");
    EXPECT_EQ(Names(index), (std::vector<std::string> { "Alpha.CFG", "alpha.cfg", "beta.cfg" }));
    EXPECT_EQ(index.entry(3).zoom, 0.5);
}

TEST(ChartIndex, KeepsTheFirstHundredAndZerosForUnreadableFiles)
{
    kvtest::TempDir dir;
    for (int i = 0; i <= 100; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "c%03d.cfg", i);
        dir.write(name, ConfigText(50.0 + i, -2.0, 1.0 + i));
    }
    dir.write("PORTFOLIO.CFG", ConfigText(0, 0, 1));
    ChartIndex index;
    index.Rebuild(dir.path() + "/");
    ASSERT_EQ(index.count(), kChartIndexCapacity);
    EXPECT_EQ(index.entry(1).fileName, "c000.cfg");
    EXPECT_EQ(index.entry(100).fileName, "c099.cfg");
    EXPECT_DOUBLE_EQ(index.entry(100).centreLat, 149.0);
    EXPECT_DOUBLE_EQ(index.entry(100).centreLong, -2.0);
    EXPECT_DOUBLE_EQ(index.entry(100).zoom, 100.0);

    kvtest::TempDir other;
    other.write("good.cfg", ConfigText(51.0, 1.5, 2.0));
    other.write("text.cfg", "north\nsouth\n");
    std::filesystem::create_symlink(other.file("missing"), other.file("broken.cfg"));
    index.Rebuild(other.path() + "/");
    ASSERT_EQ(index.count(), 3);
    EXPECT_EQ(index.entry(1).fileName, "broken.cfg");
    for (int n : { 1, 3 }) {
        EXPECT_EQ(index.entry(n).centreLat, 0.0);
        EXPECT_EQ(index.entry(n).zoom, 0.0);
    }
    EXPECT_DOUBLE_EQ(index.entry(2).centreLong, 1.5);
}

TEST(NearestChart, ChoosesByPlaneSailingWithLaterEntriesWinningTies)
{
    kvtest::TempDir dir;
    // West and east of 0° long at the same distance, one 45 Nm north.
    dir.write("a_west.cfg", ConfigText(60.0, 1.0, 1));
    dir.write("b_east.cfg", ConfigText(60.0, -1.0, 1));
    dir.write("c_north.cfg", ConfigText(60.75, 0.0, 1));
    ChartIndex index;
    index.Rebuild(dir.path() + "/");
    struct Case {
        const char* what;
        double lat, lon;
        CurrentChart current;
        std::string expected;
    };
    const std::vector<Case> cases {
        // With cos 60° = 0.5 the one-degree longitude steps count 30 Nm, nearer than the north one.
        { "tie between west and east: the later wins", 60.0, 0.0, { "PORTFOLIO", 60.0, 0.0 }, "b_east" },
        { "nearer the west", 60.0, 0.4, { "Portfolio", 60.0, 0.0 }, "a_west" },
        { "a far current chart", 60.0, 0.0, { "home", 60.0, 50.0 }, "b_east" },
        // At the equator's factor 1 they are 60 Nm away and the north chart is nearest.
        { "the factor comes from the current chart, not the cursor", 60.0, 0.0, { "home", 0.0, 50.0 }, "c_north" },
        { "the current chart nearer than every entry", 60.0, 0.4, { "home", 60.0, 0.4 }, "home" },
        { "an entry as near as the current chart wins", 60.0, 1.0, { "home", 60.0, 1.0 }, "a_west" },
        { "an entry slightly farther loses", 60.0, 1.000001, { "home", 60.0, 1.000001 }, "home" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NearestChartName(index, c.lat, c.lon, c.current), c.expected) << c.what;
    }
    ChartIndex empty;
    EXPECT_EQ(NearestChartName(empty, 10, 10, { "PORTFOLIO", 0, 0 }), "PORTFOLIO");
}

TEST(ChartOutlines, ZoomTwoCoversHalfTheSpanOfZoomOneAndUnreadableFilesAreSkipped)
{
    kvtest::TempDir dir;
    dir.write("one.cfg", ConfigText(50.0, 2.0, 1.0));
    dir.write("two.cfg", ConfigText(50.0, 2.0, 2.0));
    dir.write("kelvw.cfg", ConfigText(0, 0, 1));
    dir.write("PORTFOLIO.cfg", ConfigText(0, 0, 1));
    dir.write("zero.cfg", "bad\n");
    // 1000 × 600 pixels, 100 px per degree of latitude, 50 per degree of longitude.
    const auto all = ChartOutlines(dir.path() + "/", "", 100.0, 50.0, 1000, 600);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, "one");
    EXPECT_DOUBLE_EQ(all[0].north, 53.0);
    EXPECT_DOUBLE_EQ(all[0].south, 47.0);
    EXPECT_DOUBLE_EQ(all[0].west, 12.0);
    EXPECT_DOUBLE_EQ(all[0].east, -8.0);
    EXPECT_DOUBLE_EQ(all[1].north - all[1].south, (all[0].north - all[0].south) / 2);
    EXPECT_DOUBLE_EQ(all[1].west - all[1].east, (all[0].west - all[0].east) / 2);
    const auto one = ChartOutlines(dir.path() + "/", "two", 100.0, 50.0, 1000, 600);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, "two");
    EXPECT_TRUE(ChartOutlines(dir.path() + "/", "zero", 100.0, 50.0, 1000, 600).empty());
}

namespace {

// Two charts side by side along 50° N and the program on the western one.
struct TwoCharts : ChartProgram {
    TwoCharts()
    {
        writeChart("west.cht", ChartImage(Line(3, 2.0)));
        dir.write("charts/west.cfg", ConfigText(50.0, 2.0, 1.0));
        writeChart("east.cht", ChartImage(Line(4, 0.0)));
        dir.write("charts/east.cfg", ConfigText(50.0, 0.0, 1.0));
        state.chart.ConfigName = "kelvw";
        files.OpenChart(chartPath("west.cht"));
        fakes.prompter.messages.clear();
    }
};

} // namespace

TEST(LoadNearestChart, LoadsTheNearerChartOnlyWhenItIsAnotherAndNotBeingEdited)
{
    TwoCharts p;
    ASSERT_EQ(p.state.chartIndex.count(), 2);
    p.state.fixInfo.OwnLat = 50.0;
    p.state.fixInfo.OwnLong = 1.2; // nearer the west chart's centre: nothing to do
    EXPECT_FALSE(p.files.LoadNearestChart());
    EXPECT_EQ(p.state.chart.ChartName.str(), "west");

    p.state.fixInfo.OwnLong = 0.5;
    p.state.app.ChartEditMode = true;
    EXPECT_FALSE(p.files.LoadNearestChart());
    EXPECT_FALSE(p.files.AutoLoadChart());
    EXPECT_EQ(p.state.chart.ChartName.str(), "west");

    p.state.app.ChartEditMode = false;
    EXPECT_EQ(p.files.NearestChart(), "east");
    EXPECT_TRUE(p.files.LoadNearestChart());
    EXPECT_EQ(p.state.chart.ChartName.str(), "east");
    EXPECT_EQ(p.state.chart.count(), 4);
    EXPECT_EQ(p.state.display.StatusLine, "east");
    EXPECT_EQ(p.hooks.captions.back(), "east (kelvw)");
    // Not under way: the cursor goes to the new chart's centre.
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLong, 0.0);
    EXPECT_TRUE(p.messages().empty());
}

TEST(LoadNearestChart, UnderWayTheCursorStaysAtTheLastLoggedPosition)
{
    TwoCharts p;
    p.state.settings.fix.DRMode = true;
    p.state.quickLog.push({ 50.1, 0.7, 0.0 });
    p.state.fixInfo.OwnLat = 50.1;
    p.state.fixInfo.OwnLong = 0.7;
    ASSERT_TRUE(p.files.LoadNearestChart());
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLat, 50.1);
    EXPECT_DOUBLE_EQ(p.state.fixInfo.OwnLong, 0.7);
}

TEST(AutoLoadChart, ShowsAFailureInTheStatusLineAndDoesNotRetryTheSameChart)
{
    TwoCharts p;
    std::filesystem::remove(p.chartPath("east.cht"));
    p.state.fixInfo.OwnLat = 50.0;
    p.state.fixInfo.OwnLong = 0.1;
    EXPECT_FALSE(p.files.AutoLoadChart());
    EXPECT_EQ(p.state.display.StatusLine, kNonExistantFile);
    EXPECT_TRUE(p.messages().empty());
    EXPECT_EQ(p.state.chart.ChartName.str(), "west");
    EXPECT_EQ(p.state.chart.count(), 3); // still navigating on the chart in use

    p.state.display.StatusLine.clear();
    EXPECT_FALSE(p.files.AutoLoadChart());
    EXPECT_EQ(p.state.display.StatusLine, ""); // not tried again

    // Once the chart is there again and another chart was nearest in between, it loads.
    p.writeChart("east.cht", ChartImage(Line(4, 0.0)));
    p.state.fixInfo.OwnLong = 2.0;
    EXPECT_FALSE(p.files.AutoLoadChart());
    p.state.fixInfo.OwnLong = 0.1;
    EXPECT_TRUE(p.files.AutoLoadChart());
    EXPECT_EQ(p.state.chart.ChartName.str(), "east");
    EXPECT_TRUE(p.messages().empty());
}

TEST(AutoLoadChart, AMissingChartConfigurationIsReportedWithoutABox)
{
    TwoCharts p;
    p.writeChart("south.cht", ChartImage(Line(2, 1.0)));
    p.dir.write("charts/south.cfg", ConfigText(40.0, 1.0, 1.0));
    p.files.RebuildChartIndex();
    std::filesystem::remove(p.chartPath("south.cfg"));
    p.state.fixInfo.OwnLat = 40.0;
    p.state.fixInfo.OwnLong = 1.0;
    EXPECT_TRUE(p.files.AutoLoadChart());
    EXPECT_EQ(p.state.chart.ChartName.str(), "south");
    EXPECT_EQ(p.state.display.StatusLine, kChartConfigMissing);
    EXPECT_TRUE(p.messages().empty());
}

TEST(KvtoolChartIndex, PrintsTheIndexAndTheNearestChartTheProgramWouldChoose)
{
    kvtest::TempDir dir;
    dir.write("b.cfg", ConfigText(60.0, -1.0, 2.0));
    dir.write("A.cfg", ConfigText(60.0, 1.0, 0.5));
    dir.write("portfolio.cfg", ConfigText(60.0, 0.0, 0.1));
    const auto index = kvtest::RunKvtool({ "chart-index", dir.path() });
    EXPECT_EQ(index.exitCode, 0);
    EXPECT_EQ(index.out, "1\tA.cfg\t60.000000\t1.000000\t0.500000\n2\tb.cfg\t60.000000\t-1.000000\t2.000000\n");

    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases {
        { { "60", "0" }, "b\n" }, // a tie: the later one
        { { "60", "0.5" }, "A\n" },
        // Nearer the portfolio's own centre, but a portfolio never counts itself.
        { { "60", "0.2", "--current", "portfolio" }, "A\n" },
        { { "60", "0.9", "--current", "b" }, "A\n" },
    };
    for (const Case& c : cases) {
        std::vector<std::string> args { "nearest-chart", dir.path() };
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = kvtest::RunKvtool(args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, c.out) << c.args[1];
    }
    EXPECT_EQ(kvtest::RunKvtool({ "nearest-chart", dir.path(), "north", "0" }).exitCode, 2);
}
