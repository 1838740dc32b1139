// Choosing the chart for the vessel's position: the index at start, the menu commands, and the
// automatic load at every fix of a voyage across adjacent charts.

#include "app/MainController.h"
#include "app/MenuState.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "platform/fake/Fakes.h"
#include "support/ConfigFile.h"
#include "support/RmcSentence.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

using namespace kv;

std::vector<ChartPoint> Square(double lat, double lon)
{
    return { ChartPoint::make(lat - 0.1, lon - 0.1), ChartPoint::make(lat + 0.1, lon - 0.1),
        ChartPoint::make(lat + 0.1, lon + 0.1), ChartPoint::penUp() };
}

// A folder with the start-up chart "world" and four charts in a row along 50° N, each a degree
// apart, and a portfolio over them.
class Voyage {
public:
    Voyage()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        addChart("world", 45.0, 10.0, 0.1);
        for (int i = 0; i < 4; ++i) {
            addChart("leg" + std::to_string(i + 1), 50.0, 4.0 - i, 1.0);
        }
        addChart("PORTFOLIO", 50.0, 2.5, 0.25);
    }
    void addChart(const std::string& name, double lat, double lon, double zoom)
    {
        std::vector<ChartPoint> points = Square(lat, lon);
        points.push_back(ChartPoint::penUp());
        dir.write("charts/" + name + ".cht", ChartRecordBytes(points));
        ChartConfig config;
        config.centreLat = lat;
        config.centreLong = lon;
        config.zoom = zoom;
        WriteChartConfigFile(dir.file("charts/" + name + ".cfg"), config);
    }
    void start()
    {
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
        controller->SecsTimerTimer();
        fakes.prompter.messages.clear();
        state.chart.ConfigName = "kelvw";
    }
    void fixAt(double lat, double lonWest)
    {
        state.cycleState.CurrentSentence = kvtest::RmcAt(lat, lonWest);
        controller->fix().ProcessSentence();
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    std::unique_ptr<MainController> controller;
};

TEST(ChartSelection, TheIndexIsBuiltAtStartAndMakesTheAutoChartCommandAvailable)
{
    Voyage v;
    v.start();
    ASSERT_EQ(v.controller->views().count(), 1);
    EXPECT_EQ(v.state.chartIndex.count(), 5); // the portfolio stays out
    EXPECT_EQ(v.state.chartIndex.entry(1).fileName, "leg1.cfg");
    for (Control control : { Control::AutoChart, Control::LoadNearestChart1 }) {
        EXPECT_TRUE(v.state.display.isEnabled(control)) << ControlName(control);
    }
    v.state.fixInfo.OwnLat = 50.0;
    v.state.fixInfo.OwnLong = 2.9;
    v.controller->NearestChart1Click();
    EXPECT_EQ(v.state.display.StatusLine, "leg2");
    EXPECT_EQ(v.state.chart.ChartName.str(), "world"); // only named
}

TEST(ChartSelection, AVoyageAcrossTheChartsLoadsEachInTurnWithoutADialog)
{
    Voyage v;
    v.start();
    v.state.nmeaLink.NmeaOpen = true;
    ASSERT_TRUE(v.state.settings.fix.AutoChart);
    const std::vector<std::pair<double, std::string>> legs { { 3.9, "leg1" }, { 3.2, "leg2" }, { 2.6, "leg2" },
        { 1.8, "leg3" }, { 1.1, "leg4" } };
    for (const auto& [lon, chart] : legs) {
        v.fixAt(50.0, lon);
        EXPECT_EQ(v.state.chart.ChartName.str(), chart) << "at " << lon << " W";
        // Under way the cursor stays with the vessel.
        EXPECT_NEAR(v.state.fixInfo.OwnLong, lon, 1e-6);
    }
    EXPECT_EQ(v.controller->views().view(0).caption, "leg4 (kelvw)");
    EXPECT_TRUE(v.fakes.prompter.messages.empty());

    // Chart editing keeps the chart being edited.
    v.state.app.ChartEditMode = true;
    v.fixAt(50.0, 3.9);
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg4");
    v.state.app.ChartEditMode = false;
    v.state.settings.fix.AutoChart = false;
    v.fixAt(50.0, 3.9);
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg4");
    v.state.settings.fix.AutoChart = true;
    v.fixAt(50.0, 3.9);
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg1");
}

TEST(ChartSelection, AnEditedChartIsNeverReplacedWithoutTheSaveQuestion)
{
    Voyage v;
    v.start();
    auto editAt = [&v](double lonWest, std::initializer_list<Answer> answers) {
        v.state.fixInfo.OwnLat = 50.05;
        v.state.fixInfo.OwnLong = lonWest;
        v.controller->editor().ChartEdit1Click();
        v.controller->editor().LineTypeClick(2); // the first time: the pen goes down, a point is added
        v.controller->editor().AddChartPoint1Click();
        v.controller->editor().ChartEdit1Click(); // editing off: chart loading is allowed again
        v.fakes.prompter.messages.clear();
        v.fakes.prompter.choices = answers;
    };
    v.state.fixInfo.OwnLat = 50.0;
    v.state.fixInfo.OwnLong = 3.9;
    v.controller->LoadNearestChart1Click();
    ASSERT_EQ(v.state.chart.ChartName.str(), "leg1");
    editAt(3.9, { Answer::Cancel, Answer::Yes });
    const int edited = v.state.chart.count();
    v.state.fixInfo.OwnLong = 2.9;
    v.controller->LoadNearestChart1Click(); // Cancel keeps the chart with its edit
    EXPECT_EQ(v.fakes.prompter.messages.front(), (FakePrompter::Message { "yesNoCancel", kSaveChartBeforeExit }));
    EXPECT_EQ(v.state.chart.count(), edited);
    v.controller->LoadNearestChart1Click(); // Yes saves it, then loads
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg2");
    EXPECT_EQ(ReadChartRecords(v.dir.file("charts/leg1.cht")).taken, edited);

    editAt(2.9, { Answer::No }); // opening another chart: No loads it, the file stays as it was
    v.controller->charts().OpenChart(v.dir.file("charts/leg3.cht"));
    EXPECT_EQ(v.fakes.prompter.messages.front().text, kSaveChartBeforeExit);
    EXPECT_EQ(ReadChartRecords(v.dir.file("charts/leg2.cht")).taken, 4);

    editAt(1.9, {}); // a fix never waits for an answer: the chart stays, the status line says why
    v.state.nmeaLink.NmeaOpen = true;
    v.fixAt(50.0, 3.9);
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg3");
    EXPECT_EQ(v.state.display.StatusLine, kModifiedChartKept);
    v.fakes.prompter.answer({ true, false });
    EXPECT_TRUE(v.controller->FormCloseQuery()); // quitting asks although editing is off
    EXPECT_TRUE(v.fakes.prompter.lastMessageIs(kSaveChartBeforeExit));
}

TEST(ChartSelection, ThePortfolioGivesWayToAnyChartAndItsFolderBecomesTheChartFolder)
{
    Voyage v;
    v.start();
    v.state.settings.fix.AutoChart = false;
    v.controller->OpenPortfolio1Click(v.dir.file("charts/PORTFOLIO.cht"));
    EXPECT_EQ(v.state.chart.ChartName.str(), "PORTFOLIO");
    EXPECT_EQ(v.state.app.ChartDialogDir, v.dir.path() + "/charts/");
    // At the portfolio's own centre a chart is still chosen: the portfolio never counts itself.
    v.state.fixInfo.OwnLat = 50.0;
    v.state.fixInfo.OwnLong = 2.5;
    v.controller->LoadNearestChart1Click();
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg3"); // as near as leg2, and later in the listing
}

TEST(ChartSelection, CaptionsNumberEveryViewButTheActiveOne)
{
    Voyage v;
    v.start();
    v.controller->FileNewItemClick();
    ASSERT_EQ(v.controller->views().count(), 2);
    v.state.fixInfo.OwnLat = 50.0;
    v.state.fixInfo.OwnLong = 1.0;
    v.controller->LoadNearestChart1Click();
    ASSERT_EQ(v.state.chart.ChartName.str(), "leg4");
    // Without a window the last view is the active one.
    EXPECT_EQ(v.controller->views().view(1).caption, "leg4 (kelvw)");
    EXPECT_EQ(v.controller->views().view(0).caption, "leg4.2 (kelvw)");
}

TEST(ChartSelection, LoadingAConfigurationLoadsItsChartThroughTheBestChartForItsPosition)
{
    Voyage v;
    v.start();
    ASSERT_EQ(v.state.chart.ChartName.str(), "world");
    kvtest::WriteConfigIn(v.dir, "survey.cfg", [](ProgramState& nav, Settings& settings) {
        nav.folders.ChartName = "leg3";
        nav.fixInfo.OwnLat = 50.1;
        nav.fixInfo.OwnLong = 2.2;
        settings.ViewZoom = 2.0;
    });
    v.controller->Config1Click(v.dir.file("survey.cfg"));
    EXPECT_EQ(v.state.chart.ChartName.str(), "leg3");
    EXPECT_EQ(v.state.chart.count(), 4);
    EXPECT_EQ(v.state.chart.ConfigName, "survey");
    const ChartView& view = v.controller->views().view(0);
    EXPECT_EQ(view.caption, "leg3 (survey)");
    EXPECT_NEAR(view.centreLat, 50.1, 1e-6);
    EXPECT_NEAR(view.centreLong, 2.2, 1e-6);
    EXPECT_DOUBLE_EQ(view.zoom, 2.0);
    EXPECT_EQ(v.state.chartIndex.count(), 5);
}

} // namespace
