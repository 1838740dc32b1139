// The "View and Zoom Properties" dialog without widgets: opening from a view, the enabling
// rules, the two log-format warnings, All / None and the type-0 rule, OK's four steps, Cancel,
// the AIS view's Show Track during an AIS playback, and "Survey Track" of the Edit menu.

#include "app/ViewOptionsModel.h"
#include "app/MainController.h"
#include "charts/ChartEditor.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using namespace kv;

struct Program {
    Program()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
        while (controller->views().count() < 2) {
            controller->views().CreateView("test");
        }
        fakes.prompter.messages.clear();
    }
    ChartView& view(int i) { return controller->views().view(i); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    std::unique_ptr<MainController> controller;
};

int IndexOf(const char* caption)
{
    for (std::size_t i = 0; i < kPlotFieldCaptions.size(); ++i) {
        if (std::string(kPlotFieldCaptions[i]) == caption) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TEST(ViewOptionsModel, OpensWithTheTableInitialValuesAndTheRoundedZoom)
{
    Program p;
    p.view(1).zoom = 2.5; // halves go to the even neighbour
    ViewOptionsModel m(*p.controller, 1);
    m.Fill();
    const ViewOptionsFields& f = m.fields;
    EXPECT_EQ(f.xZoom, 2);
    EXPECT_EQ(f.xShape, 15);
    EXPECT_EQ(f.xText, 100);
    EXPECT_EQ(f.xTidal, 20);
    EXPECT_TRUE(f.ShowWPS && f.ShowRT && f.ShowTide && f.ShowTrack && f.ShowV);
    EXPECT_FALSE(f.AutoZoom || f.OnTop || f.PlotTextLog || f.EVonly || f.SVtrack || f.BlobOn || f.Last200 || f.Ubow);
    EXPECT_EQ(f.PlotV, 0);
    EXPECT_EQ(f.PlotRange, 10);
    EXPECT_EQ(f.Nshow, 100);
    EXPECT_EQ(f.HiLite, "1000.00");
    for (bool on : f.Lay) {
        EXPECT_TRUE(on);
    }
}

TEST(ViewOptionsModel, EveryOptionRoundTripsThroughOkAndBackIntoTheNextOpening)
{
    Program p;
    p.state.settings.TextLogFormat = "@f,@t,@p:3,@q,@s,@x";
    ViewOptionsModel m(*p.controller, 1);
    m.Fill();
    ViewOptionsFields& f = m.fields;
    f.xZoom = 40;
    f.xShape = 0;
    f.xText = 12000;
    f.xTidal = 7;
    f.ShowWPS = false;
    f.ShowRT = false;
    f.ShowTide = false;
    f.ShowTrack = false;
    f.ShowScale = false;
    f.ShowEPE = true;
    f.OnTop = true;
    f.Lay = { true, false, true, false, true, false, true };
    f.PlotTextLog = true;
    m.PlotVChange(IndexOf("X Cross Track Error"));
    f.EVonly = true;
    f.SVtrack = true;
    f.BlobOn = true;
    f.PlotRange = 250;
    f.Last200 = true;
    f.Nshow = 300;
    f.HiLite = "12.5";
    f.UseCrosses = false;
    m.OKBtnClick();
    EXPECT_TRUE(p.fakes.prompter.messages.empty());

    const ViewOptions& o = p.view(1).options;
    EXPECT_EQ(p.view(1).zoom, 40.0);
    EXPECT_EQ(p.view(1).roundedZoom, 40);
    EXPECT_EQ(p.state.chartGeometry.LastViewZoom, 40.0);
    EXPECT_EQ(o.PlotField, 'X');
    EXPECT_EQ(o.Highlight, 12.5);
    EXPECT_EQ(o.SymbolThreshold, 0);
    EXPECT_EQ(o.LabelThreshold, 12000);

    ViewOptionsModel again(*p.controller, 1);
    again.Fill();
    ViewOptionsFields expected = f;
    expected.HiLite = "12.50";
    EXPECT_EQ(again.fields, expected);
    // The other view kept its own options.
    EXPECT_FALSE(p.view(0).options.PlotTextLog);
}

TEST(ViewOptionsModel, CancelLeavesTheViewUnchanged)
{
    Program p;
    const ViewOptions before = p.view(0).options;
    const double zoom = p.view(0).zoom;
    {
        ViewOptionsModel m(*p.controller, 0);
        m.Fill();
        m.fields.xZoom = 99;
        m.NoneClick();
        m.PlotTextLogClick(true);
    } // dropped without OK
    ViewOptionsModel reopened(*p.controller, 0);
    reopened.Fill();
    EXPECT_EQ(reopened.fields, FieldsOfView(p.view(0)));
    EXPECT_EQ(p.view(0).zoom, zoom);
    EXPECT_EQ(p.view(0).options.LineTypes, before.LineTypes);
    EXPECT_FALSE(p.view(0).options.PlotTextLog);
}

TEST(ViewOptionsModel, ZeroAbsoluteZoomKeepsTheZoomAndTheSpinLimitHolds)
{
    Program p;
    p.view(0).zoom = 3.7;
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    m.fields.xZoom = 0;
    m.OKBtnClick();
    EXPECT_DOUBLE_EQ(p.view(0).zoom, 3.7);
    EXPECT_EQ(p.view(0).roundedZoom, 4);
    m.fields.xZoom = 15000; // what a spin box stopping at 12000 lets through
    m.OKBtnClick();
    EXPECT_EQ(p.view(0).zoom, 12000.0);
}

TEST(ViewOptionsModel, PlotSwitchEnablesTheSurveyControlsAndTheirBoxesTheRangeAndCount)
{
    Program p;
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    EXPECT_EQ(m.enabled(), ViewOptionsEnabled {});
    m.BlobOnClick(true);
    m.Last200Click(true);
    EXPECT_FALSE(m.enabled().PlotRange) << "the range follows its box, which the plot switch disables";
    m.PlotTextLogClick(true);
    ViewOptionsEnabled e = m.enabled();
    for (bool on : { e.PlotV, e.BlobOn, e.EVonly, e.SVtrack, e.VLabel, e.UseCrosses, e.Ubow, e.Last200, e.PlotRange,
             e.RangeLabel, e.Nshow }) {
        EXPECT_TRUE(on);
    }
    m.BlobOnClick(false);
    e = m.enabled();
    EXPECT_FALSE(e.PlotRange);
    EXPECT_FALSE(e.RangeLabel);
    EXPECT_TRUE(e.Nshow);
    m.Last200Click(false);
    EXPECT_FALSE(m.enabled().Nshow);
    EXPECT_TRUE(m.enabled().BlobOn);
}

TEST(ViewOptionsModel, PlotFieldMustBeInTheLogFormat)
{
    struct Case {
        const char* format;
        const char* caption;
        bool accepted;
    };
    const Case cases[] = {
        { "@d,@f,@t,@p:3,@q,@c,@s,@v,@x,@y", "Quality of fix", true }, // the expander reads either case
        { "@F,@T,@P:3,@S", "Speed Over Ground", true }, { "@f,@t,@p:3,@s", "Quality of fix", false },
        { "@f,@t,@p:3,@s", "Y Position decimal deg.", false }, { "@f,@t,@p:3,@y", "Y Position decimal deg.", true },
        { "Q,S,D", "Date", false }, // the letter without "@" is text
    };
    for (const Case& c : cases) {
        Program p;
        p.state.settings.TextLogFormat = c.format;
        ViewOptionsModel m(*p.controller, 0);
        m.Fill();
        m.PlotTextLogClick(true);
        m.PlotVChange(IndexOf(c.caption));
        if (c.accepted) {
            EXPECT_EQ(m.fields.PlotV, IndexOf(c.caption)) << c.format << " " << c.caption;
            EXPECT_TRUE(p.fakes.prompter.messages.empty()) << c.format;
        } else {
            EXPECT_EQ(m.fields.PlotV, 0) << c.format << " " << c.caption;
            EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kFieldNotInLogFormat)) << c.format;
            EXPECT_EQ(p.fakes.prompter.messages.front().kind, "warning");
        }
    }
    // "- None" and an empty choice need no field and warn about nothing.
    Program p;
    p.state.settings.TextLogFormat = "@t";
    ViewOptionsModel m(*p.controller, 0);
    m.fields.PlotV = 3;
    m.PlotVChange(-1);
    EXPECT_EQ(m.fields.PlotV, 0);
    m.PlotVChange(0);
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
}

TEST(ViewOptionsModel, PlotTowNeedsTheTowPositionInTheLogFormat)
{
    Program p;
    p.state.settings.TextLogFormat = "@f,@p:3,@s";
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    m.PlotVChange(IndexOf("Speed Over Ground"));
    m.UbowClick(true);
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kTowNotInLogFormat));
    EXPECT_FALSE(m.fields.Ubow);
    EXPECT_EQ(m.fields.PlotV, 0);

    p.fakes.prompter.messages.clear();
    p.state.settings.TextLogFormat = "@f,@>:3,@s";
    m.PlotVChange(IndexOf("Speed Over Ground"));
    m.UbowClick(true);
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
    EXPECT_TRUE(m.fields.Ubow);
    EXPECT_EQ(m.fields.PlotV, IndexOf("Speed Over Ground"));
}

TEST(ViewOptionsModel, AllNoneAndAnyOtherTypeBringsTypeZeroBack)
{
    Program p;
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    m.NoneClick();
    EXPECT_EQ(m.fields.Lay, (std::array<bool, 7> {}));
    m.LayClick(0, true);
    m.LayClick(0, false); // type 0 itself may go
    EXPECT_FALSE(m.fields.Lay[0]);
    for (int t = 1; t < kChartLineTypes; ++t) {
        m.NoneClick();
        m.LayClick(t, false); // unchecking another type checks type 0 as well
        EXPECT_TRUE(m.fields.Lay[0]) << t;
        EXPECT_FALSE(m.fields.Lay[static_cast<std::size_t>(t)]) << t;
    }
    m.AllClick();
    EXPECT_EQ(m.fields.Lay, (std::array<bool, 7> { true, true, true, true, true, true, true }));

    // None then OK hides every chart line, type 0 included.
    m.NoneClick();
    m.OKBtnClick();
    EXPECT_EQ(p.view(0).options.LineTypes, (std::array<bool, 7> {}));
}

TEST(ViewOptionsModel, HighlightTextThatIsNotANumberKeepsTheThreshold)
{
    Program p;
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    for (const auto& [text, expected] : { std::pair<const char*, double> { " 2.25 ", 2.25 }, { "abc", 2.25 },
             { "", 2.25 }, { "-3", -3.0 }, { "5x", -3.0 } }) {
        m.fields.HiLite = text;
        m.OKBtnClick();
        EXPECT_EQ(p.view(0).options.Highlight, expected) << text;
    }
}

TEST(ViewOptionsModel, AisViewLabelsTheDataPlotWithTheChosenField)
{
    Program p;
    p.state.settings.TextLogFormat = "@f,@p,@s";
    ASSERT_TRUE(p.view(0).aisView);
    ViewOptionsModel other(*p.controller, 1);
    other.Fill();
    other.PlotVChange(IndexOf("Fix Number"));
    other.OKBtnClick();
    EXPECT_EQ(p.state.app.plot.label, "Data Trend");
    ViewOptionsModel ais(*p.controller, 0);
    ais.Fill();
    ais.PlotVChange(IndexOf("Speed Over Ground"));
    ais.OKBtnClick();
    EXPECT_EQ(p.state.app.plot.label, "Speed Over Ground");
}

// OK with "Show Track" on in the AIS view while an AIS log plays used to empty the quick log.
// The track stays; the AIS view stops drawing it.
TEST(ViewOptionsModel, ShowTrackInTheAisViewDuringPlaybackKeepsTheTrackRecords)
{
    Program p;
    for (int i = 0; i < 5; ++i) {
        p.state.quickLog.push(QuickLogRecord { 50.0 + i * 0.01, 1.0, 600.0 + i });
    }
    p.state.aisPlayback.AISPlayback = true;
    ViewOptionsModel m(*p.controller, 0);
    m.Fill();
    ASSERT_TRUE(m.fields.ShowTrack);
    m.OKBtnClick();
    EXPECT_EQ(p.state.quickLog.count(), 5u);
    EXPECT_FALSE(p.view(0).options.ShowTrack);

    // The other view, and the AIS view without a playback, keep the track shown.
    ViewOptionsModel second(*p.controller, 1);
    second.Fill();
    second.OKBtnClick();
    EXPECT_TRUE(p.view(1).options.ShowTrack);
    p.state.aisPlayback.AISPlayback = false;
    m.fields.ShowTrack = true;
    m.OKBtnClick();
    EXPECT_TRUE(p.view(0).options.ShowTrack);
    EXPECT_EQ(p.state.quickLog.count(), 5u);
}

TEST(ViewOptionsModel, SurveyTrackCommandSwitchesOffEveryViewsSurveyTrackAndRecentresOnTheCursor)
{
    Program p;
    for (int i = 0; i < 2; ++i) {
        p.view(i).options.PlotTextLog = true;
        p.view(i).options.SurveyTrack = true;
        p.view(i).centreLat = 10.0;
    }
    p.state.fixInfo.OwnLat = p.state.chartGeometry.ChartCentreLat + 0.001;
    p.state.fixInfo.OwnLong = p.state.chartGeometry.ChartCentreLong;
    p.controller->editor().SurveyTrack1Click();
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(p.view(i).options.SurveyTrack) << i;
        EXPECT_TRUE(p.view(i).options.PlotTextLog) << i; // the plot itself stays
        EXPECT_NEAR(p.view(i).centreLat, p.state.fixInfo.OwnLat, 1e-9) << i;
    }
}

} // namespace
