// The preferences and timing dialogs without widgets: filling from the settings, what OK stores
// and in what form, the controls that act at once, the log-format and COM port rules.

#include "app/PreferencesModel.h"
#include "app/MainController.h"
#include "app/TimingModel.h"
#include "core/Config.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/TidalStreams.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

namespace {

using namespace kv;

constexpr double kPi = 3.14159265358979323846;

struct Program {
    Program()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
        fakes.prompter.messages.clear();
    }
    std::string textLog() const { return controller->logs().TextLogPath(); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    std::unique_ptr<MainController> controller;
};

struct FillCase {
    const char* what;
    std::function<void(ProgramState&)> setup;
    std::function<void(const PreferencesFields&)> check;
};

TEST(PreferencesModel, FillsEveryPageFromTheSettings)
{
    const FillCase cases[] = {
        { "unit factor 1.852", [](ProgramState& s) { s.settings.units.UnitFactor = 1.852; },
            [](const PreferencesFields& f) { EXPECT_EQ(f.Unit, DistanceUnit::Kilo); } },
        { "unit factor 1.15081", [](ProgramState& s) { s.settings.units.UnitFactor = 1.15081; },
            [](const PreferencesFields& f) { EXPECT_EQ(f.Unit, DistanceUnit::Stat); } },
        { "unit factor 1.09", [](ProgramState& s) { s.settings.units.UnitFactor = 1.09; },
            [](const PreferencesFields& f) { EXPECT_EQ(f.Unit, DistanceUnit::Naut); } },
        { "unit factor 1.81", [](ProgramState& s) { s.settings.units.UnitFactor = 1.81; },
            [](const PreferencesFields& f) { EXPECT_EQ(f.Unit, DistanceUnit::Kilo); } },
        { "ranges in hundredths",
            [](ProgramState& s) {
                s.settings.route.ArrivalRadius = 0.35;
                s.settings.route.XTEDeadband = 0.07;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.CapDist, 35);
                EXPECT_EQ(f.Deadband, 7);
            } },
        { "high water rounded up by its minutes",
            [](ProgramState& s) {
                s.prefs.tide.HighWaterHour = 0;
                s.prefs.tide.HighWaterMinute = 45;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.HWhour, 23);
                EXPECT_EQ(f.HWMin, 45);
            } },
        { "offsets in thousandths of a minute",
            [](ProgramState& s) {
                s.chartRef.ChartLatOffset = 0.01;
                s.chartRef.ChartLongOffset = -0.02;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.LatOffs, 600);
                EXPECT_EQ(f.LongOffs, -1200);
            } },
        { "view angle from the negated radians", [](ProgramState& s) { s.headUp.ViewAngle = -30 * kPi / 180; },
            [](const PreferencesFields& f) { EXPECT_EQ(f.ViewAngle, 30); } },
        { "manual tide",
            [](ProgramState& s) {
                s.prefs.tide.AtlasTide = false;
                s.prefs.tide.Tset = 135;
                s.prefs.tide.TDrift = 12;
            },
            [](const PreferencesFields& f) {
                EXPECT_TRUE(f.ManTide);
                EXPECT_EQ(f.Tset, 135);
                EXPECT_EQ(f.TDrift, 12);
            } },
        { "serial link",
            [](ProgramState& s) {
                s.settings.nmea.ComPortNumber = 3;
                s.settings.nmea.BaudRate = 4800;
                s.settings.fix.NmeaStartMode = "Auto";
                s.prefs.nmea.PositionSentence = 1;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.COMno, 3);
                EXPECT_EQ(f.Rate, 0);
                EXPECT_TRUE(f.AutoLaunch);
                EXPECT_EQ(f.Sent, 1);
            } },
        { "log disposal and format",
            [](ProgramState& s) {
                s.prefs.fix.DisposalStep = 0;
                s.settings.TextLogFormat = "@t,@p";
                s.settings.fix.KeepTextLog = false;
            },
            [](const PreferencesFields& f) {
                EXPECT_FALSE(f.KeepLog);
                EXPECT_EQ(f.LogParse, "@t,@p");
                EXPECT_FALSE(f.KeepTextLog);
            } },
        { "colours",
            [](ProgramState& s) {
                s.settings.ColourScheme = 4;
                s.settings.GridForeIndex = 9;
                s.settings.GridBackIndex = 7;
                s.settings.TrackColourFG = true;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.Defaults, 4);
                EXPECT_EQ(f.GlobalColorFG, 9);
                EXPECT_EQ(f.GlobalColorBG, 7);
                EXPECT_TRUE(f.TrackColourFG);
            } },
        { "autopilot output",
            [](ProgramState& s) {
                s.settings.nmea.NMEAOutputOn = false;
                s.sentenceFix.MagVariation = 3;
                s.prefs.nmea.sendHSC = false;
                s.prefs.nmea.CustomNMEA = "$X";
            },
            [](const PreferencesFields& f) {
                EXPECT_FALSE(f.NMEAOutputOn);
                EXPECT_EQ(f.Variation, 3);
                EXPECT_FALSE(f.sendHSC);
                EXPECT_EQ(f.CustomNMEA, "$X");
            } },
        { "dead reckoning and counters",
            [](ProgramState& s) {
                s.settings.vessel.DRCourseSource = 1;
                s.textLog.TextLogFixCount = 44;
                s.textLog.EventNumber = 5;
            },
            [](const PreferencesFields& f) {
                EXPECT_EQ(f.Mcourse, 1);
                EXPECT_EQ(f.Spoints, 44);
                EXPECT_EQ(f.Enumber, 5);
            } },
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.what);
        Program p;
        c.setup(p.state);
        PreferencesModel model(*p.controller);
        model.Fill();
        c.check(model.fields);
    }
}

struct StoreCase {
    const char* what;
    std::function<void(PreferencesFields&)> edit;
    std::function<void(const ProgramState&)> check;
};

TEST(PreferencesModel, OkStoresEachControlInItsUnit)
{
    const StoreCase cases[] = {
        { "change range and dead band",
            [](PreferencesFields& f) {
                f.CapDist = 35;
                f.Deadband = 0;
            },
            [](const ProgramState& s) {
                EXPECT_DOUBLE_EQ(s.settings.route.ArrivalRadius, 0.35);
                EXPECT_DOUBLE_EQ(s.settings.route.XTEDeadband, 0.0);
            } },
        { "high water minutes above 29",
            [](PreferencesFields& f) {
                f.HWhour = 12;
                f.HWMin = 30;
            },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.tide.HighWaterHour, 13); } },
        { "high water 23:45 wraps to 0",
            [](PreferencesFields& f) {
                f.HWhour = 23;
                f.HWMin = 45;
            },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.tide.HighWaterHour, 0); } },
        { "high water minutes 29",
            [](PreferencesFields& f) {
                f.HWhour = 12;
                f.HWMin = 29;
            },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.tide.HighWaterHour, 12); } },
        { "hull speed 0", [](PreferencesFields& f) { f.Vspeed = 0; },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.settings.vessel.BoatSpeed, 0.001); } },
        { "hull speed 7", [](PreferencesFields& f) { f.Vspeed = 7; },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.settings.vessel.BoatSpeed, 7.0); } },
        { "chart offsets",
            [](PreferencesFields& f) {
                f.LatOffs = 600;
                f.LongOffs = -1200;
            },
            [](const ProgramState& s) {
                EXPECT_DOUBLE_EQ(s.chartRef.ChartLatOffset, 0.01);
                EXPECT_DOUBLE_EQ(s.chartRef.ChartLongOffset, -0.02);
            } },
        { "view angle", [](PreferencesFields& f) { f.ViewAngle = 90; },
            [](const ProgramState& s) {
                EXPECT_DOUBLE_EQ(s.headUp.ViewAngle, -kPi / 2);
                EXPECT_NEAR(s.headUp.ViewAngleSin, -1.0, 1e-12);
                EXPECT_NEAR(s.headUp.ViewAngleCos, 0.0, 1e-12);
            } },
        { "view angle ignored while heading up",
            [](PreferencesFields& f) {
                f.ViewAngle = 90;
                f.HeadUp = true;
                f.HUPdeadB = 10;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.headUp.ViewAngle, 0.0);
                EXPECT_TRUE(s.prefs.HeadUp);
                EXPECT_EQ(s.prefs.fix.HeadUpDeadBand, 10);
            } },
        { "interface",
            [](PreferencesFields& f) {
                f.COMno = 2;
                f.Rate = 1;
                f.AutoLaunch = true;
                f.Sent = 1;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.nmea.ComPortNumber, 2u);
                EXPECT_EQ(s.settings.nmea.BaudRate, 38400u);
                EXPECT_EQ(s.settings.fix.NmeaStartMode.str(), "Auto");
                EXPECT_EQ(s.prefs.nmea.PositionSentence, 1);
            } },
        { "4800 baud, manual start",
            [](PreferencesFields& f) {
                f.Rate = 0;
                f.AutoLaunch = false;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.nmea.BaudRate, 4800u);
                EXPECT_EQ(s.settings.fix.NmeaStartMode.str(), "Manual");
            } },
        { "log disposal", [](PreferencesFields& f) { f.KeepLog = false; },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.fix.DisposalStep, 0); } },
        { "text log off holds the button down", [](PreferencesFields& f) { f.KeepTextLog = false; },
            [](const ProgramState& s) {
                EXPECT_FALSE(s.settings.fix.KeepTextLog);
                EXPECT_TRUE(s.display.isChecked(Control::TxtLogOnOff));
                EXPECT_EQ(s.display.hint(Control::TxtLogOnOff), "Release for Text Logs On|");
            } },
        { "playback speed", [](PreferencesFields& f) { f.PBspeed = 3; },
            [](const ProgramState& s) {
                EXPECT_EQ(s.ais.PBspeed, 3);
                EXPECT_EQ(s.display.AISPlayTimer.intervalMs, 1667u);
            } },
        { "position display mode",
            [](PreferencesFields& f) {
                f.PositionMode = 0;
                f.KnAlways = false;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.PositionDisplayMode, 0);
                EXPECT_FALSE(s.prefs.units.KnotsAlways);
            } },
        { "colour scheme Black on White", [](PreferencesFields& f) { ApplyColourScheme(f, 3); },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.ColourScheme, 3);
                EXPECT_EQ(s.settings.ChartBackColour, 0xFFFFFF);
                EXPECT_EQ(s.settings.ChartForeColour, 0);
                EXPECT_TRUE(s.settings.TextColourFG && s.settings.TrackColourFG && s.settings.TideColourFG);
            } },
        { "custom colours in the file's byte order",
            [](PreferencesFields& f) {
                f.Defaults = 4;
                f.GlobalColorFG = 9;
                f.GlobalColorBG = 12;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.ChartForeColour, 0x0000FF);
                EXPECT_EQ(s.settings.ChartBackColour, 0xFF0000);
            } },
        { "manual tide stored while in use",
            [](PreferencesFields& f) {
                f.ManTide = true;
                f.Tset = 90;
                f.TDrift = 15;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.prefs.tide.Tset, 90);
                EXPECT_EQ(s.prefs.tide.TDrift, 15);
            } },
        { "manual tide not stored otherwise",
            [](PreferencesFields& f) {
                f.ManTide = false;
                f.Tset = 90;
            },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.tide.Tset, 0); } },
        { "repeat clears reversed",
            [](PreferencesFields& f) {
                f.Completion = RouteCompletion::RepRoute;
                f.RevRoute = true;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.prefs.OnRouteCompletion, RouteCompletion::RepRoute);
                EXPECT_FALSE(s.routeProgress.RouteReversed);
            } },
        { "reverse keeps reversed",
            [](PreferencesFields& f) {
                f.Completion = RouteCompletion::Reverse;
                f.RevRoute = true;
                f.WP_auto = false;
            },
            [](const ProgramState& s) {
                EXPECT_TRUE(s.routeProgress.RouteReversed);
                EXPECT_FALSE(s.prefs.route.AutoNextWaypoint);
            } },
        { "autopilot sentences",
            [](PreferencesFields& f) {
                f.NMEAOutputOn = false;
                f.sendAPB = false;
                f.SendRMB = true;
                f.Variation = 7;
                f.SendCustom = true;
                f.CustomNMEA = "$ECX,@p";
            },
            [](const ProgramState& s) {
                EXPECT_FALSE(s.settings.nmea.NMEAOutputOn);
                EXPECT_FALSE(s.prefs.nmea.sendAPB);
                EXPECT_TRUE(s.prefs.nmea.SendRMB);
                EXPECT_EQ(s.sentenceFix.MagVariation, 7);
                EXPECT_TRUE(s.prefs.nmea.SendCustom);
                EXPECT_EQ(s.prefs.nmea.CustomNMEA, "$ECX,@p");
            } },
        { "counters while closed",
            [](PreferencesFields& f) {
                f.Spoints = 17;
                f.Enumber = 4;
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.textLog.TextLogFixCount, 17);
                EXPECT_EQ(s.textLog.EventNumber, 4);
            } },
        { "voices and viewer",
            [](PreferencesFields& f) {
                f.Voice = true;
                f.AISvoice = true;
                f.BrowserPath = "/usr/bin/mousepad";
                f.Mspeed = 1;
            },
            [](const ProgramState& s) {
                EXPECT_TRUE(s.prefs.Voice);
                EXPECT_TRUE(s.prefs.AISvoice);
                EXPECT_EQ(s.settings.TextLogViewerPath, "/usr/bin/mousepad");
                EXPECT_EQ(s.settings.vessel.DRSpeedSource, 1);
            } },
    };
    for (const StoreCase& c : cases) {
        SCOPED_TRACE(c.what);
        Program p;
        PreferencesModel model(*p.controller);
        model.Fill();
        c.edit(model.fields);
        EXPECT_TRUE(model.OKBtnClick());
        c.check(p.state);
    }
}

TEST(PreferencesModel, OkWithTheLocalTideInUseSetsTheStreamFromItsSetAndDrift)
{
    Program p;
    p.state.tideStream.TideSet = 270;
    p.state.tideStream.TideRate = 2.5;
    PreferencesModel model(*p.controller);
    model.Fill();
    model.ManTideClick(true);
    model.fields.Tset = 135;
    model.fields.TDrift = 12;
    EXPECT_TRUE(model.OKBtnClick());
    EXPECT_EQ(p.state.tideStream.TideSet, 135);
    EXPECT_DOUBLE_EQ(p.state.tideStream.TideRate, 1.2);

    // Back on the atlas, OK leaves the stream to the atlas at the next fix.
    PreferencesModel again(*p.controller);
    again.Fill();
    again.ManTideClick(false);
    again.fields.Tset = 45;
    EXPECT_TRUE(again.OKBtnClick());
    EXPECT_EQ(p.state.tideStream.TideSet, 135);
}

TEST(PreferencesModel, OkWithoutChangesLeavesTheConfigurationAsItWas)
{
    Program p;
    // Values the spin fields cannot show exactly.
    p.state.settings.vessel.BoatSpeed = 6.5;
    p.state.settings.route.ArrivalRadius = 0.125;
    p.state.settings.route.XTEDeadband = 0.0333;
    p.state.chartRef.ChartLatOffset = 0.0000123;
    p.state.chartRef.ChartLongOffset = -0.0000456;
    p.state.headUp.ViewAngle = -0.1;
    p.state.ais.PBspeed = 10;
    p.state.settings.nmea.ComPortNumber = 20; // beyond the spin field
    p.state.settings.nmea.BaudRate = 9600; // neither of the two rates
    p.state.sentenceFix.MagVariation = -55;
    const auto before = ConfigLines(p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings);
    PreferencesModel model(*p.controller);
    model.Fill();
    model.OKBtnClick();
    EXPECT_EQ(ConfigLines(p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings), before);
    EXPECT_DOUBLE_EQ(p.state.headUp.ViewAngle, -0.1);
    EXPECT_EQ(p.state.display.AISPlayTimer.intervalMs, 500u);
    EXPECT_EQ(p.state.sentenceFix.MagVariation, -55);
}

TEST(PreferencesModel, CancelKeepsOnlyTheFourImmediateControls)
{
    Program p;
    p.state.cycleState.ApproachPending = true;
    const auto before = ConfigLines(p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings);
    PreferencesModel model(*p.controller);
    model.Fill();
    model.fields.CapDist = 90;
    model.fields.COMno = 9;
    model.UnitClick(DistanceUnit::Kilo);
    model.GlobalColorChange(0, 15);
    model.ManTideClick(true);
    model.WPVoiceClick(true);
    // Cancel: the model is dropped without OK.
    EXPECT_DOUBLE_EQ(p.state.settings.units.UnitFactor, 1.852);
    EXPECT_EQ(p.state.settings.ChartBackColour, 0xFFFFFF);
    EXPECT_EQ(p.state.settings.ChartForeColour, 0);
    EXPECT_FALSE(p.state.prefs.tide.AtlasTide);
    EXPECT_TRUE(p.state.prefs.WPVoice);
    EXPECT_FALSE(p.state.cycleState.ApproachPending);
    EXPECT_DOUBLE_EQ(p.state.settings.route.ArrivalRadius, 0.2);
    EXPECT_EQ(p.state.settings.nmea.ComPortNumber, 1u);
    const auto after = ConfigLines(p.state.fixInfo, p.state.chartRef, p.state.folders, p.state.settings);
    // Unit factor (line 7) and the colours with their grid indices (13 to 16) changed; nothing else.
    EXPECT_EQ(after[14], "0");
    EXPECT_EQ(after[15], "15");
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i != 6 && (i < 12 || i > 15)) {
            EXPECT_EQ(after[i], before[i]) << "line " << i + 1;
        }
    }
}

TEST(PreferencesModel, ColourSchemesSetTheGridAndTheForegroundBoxes)
{
    struct Row {
        int scheme, background, foreground;
        bool boxes;
    };
    const Row rows[] = { { 0, 4, 15, false }, { 1, 0, 3, false }, { 2, 0, 15, false }, { 3, 15, 0, true } };
    for (const Row& r : rows) {
        Program p;
        PreferencesModel model(*p.controller);
        model.Fill();
        model.fields.TextColourFG = !r.boxes;
        model.DefaultsClick(r.scheme);
        EXPECT_EQ(model.fields.GlobalColorBG, r.background) << r.scheme;
        EXPECT_EQ(model.fields.GlobalColorFG, r.foreground) << r.scheme;
        EXPECT_EQ(model.fields.TextColourFG && model.fields.TrackColourFG && model.fields.TideColourFG, r.boxes);
        EXPECT_FALSE(model.GlobalColorEnabled());
        // The grid change is a colour change at once.
        EXPECT_EQ(p.state.settings.ChartBackColour, ConfigColourOfGridIndex(r.background));
    }
    Program p;
    PreferencesModel model(*p.controller);
    model.Fill();
    model.DefaultsClick(3);
    model.DefaultsClick(kCustomScheme);
    EXPECT_TRUE(model.GlobalColorEnabled());
    EXPECT_EQ(model.fields.GlobalColorBG, 15); // the grid stays as it was
    EXPECT_FALSE(model.fields.TextColourFG || model.fields.TrackColourFG || model.fields.TideColourFG);
}

TEST(PreferencesModel, LogFormatWithoutPositionGetsOneInFront)
{
    struct Row {
        const char* format;
        bool eventSentence;
        const char* stored;
        bool message;
    };
    const Row rows[] = {
        { "@f,@t,@q", false, "@p:5,@f,@t,@q", true },
        { "@t,@P:3", false, "@t,@P:3", false }, // the template engine reads "@P" as position too
        { "@t,@p", false, "@t,@p", false },
        { "@f,@t", true, "@f,@t", false },
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.format);
        Program p;
        p.state.sentenceFix.EventSentence = r.eventSentence;
        p.fakes.prompter.defaultAnswer = true;
        PreferencesModel model(*p.controller);
        model.Fill();
        model.fields.LogParse = r.format;
        model.OKBtnClick();
        EXPECT_EQ(model.fields.LogParse, r.stored);
        EXPECT_EQ(p.state.settings.TextLogFormat, r.stored);
        const auto texts = p.fakes.prompter.texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), kPositionOmitted), r.message ? 1 : 0);
    }
}

TEST(PreferencesModel, NewLogFormatKeepsTheOldEntriesBesideTheLog)
{
    Program p;
    const std::string path = p.textLog();
    ASSERT_TRUE(WriteTextLinesAtomic(path, { "Log Date : 08-12-26", "@f,@p", "1,50N", "*1", "2,51N" }));
    ASSERT_TRUE(WriteTextLinesAtomic(kv::FolderOf(path) + "08-12-26-1.txt", { "earlier" }));
    p.state.textLog.TextLogFixCount = 2;
    p.state.textLog.EventNumber = 1;

    PreferencesModel model(*p.controller);
    model.Fill();
    model.fields.LogParse = "@t,@p";
    p.fakes.prompter.answer({ true });
    model.OKBtnClick();

    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kLogFormatChanged));
    const std::string kept = kv::FolderOf(path) + "08-12-26-2.txt"; // -1 was taken
    EXPECT_EQ(
        ReadTextLines(kept), (std::vector<std::string> { "Log Date : 08-12-26", "@f,@p", "1,50N", "*1", "2,51N" }));
    EXPECT_EQ(ReadTextLines(path), (std::vector<std::string> { "Log Date : 08-12-26", "@t,@p" }));
    EXPECT_EQ(ReadTextLines(kv::FolderOf(path) + "08-12-26-1.txt"), std::vector<std::string> { "earlier" });
    EXPECT_EQ(p.state.textLog.TextLogFixCount, 0);
    EXPECT_EQ(p.state.textLog.EventNumber, 0);
    EXPECT_EQ(p.state.settings.TextLogFormat, "@t,@p");
    EXPECT_EQ(p.state.display.StatusLine, std::string(kOldTextLogKept) + "08-12-26-2.txt");
}

TEST(PreferencesModel, AnsweringNoKeepsTheOldFormatAndFile)
{
    Program p;
    const std::string path = p.textLog();
    ASSERT_TRUE(WriteTextLinesAtomic(path, { "Log Date : 08-12-26", "@f,@p", "1,50N" }));
    p.state.settings.TextLogFormat = "@f,@p";
    PreferencesModel model(*p.controller);
    model.Fill();
    model.fields.LogParse = "@t,@p";
    p.fakes.prompter.answer({ false });
    model.OKBtnClick();
    EXPECT_EQ(p.state.settings.TextLogFormat, "@f,@p");
    EXPECT_EQ(ReadTextLines(path), (std::vector<std::string> { "Log Date : 08-12-26", "@f,@p", "1,50N" }));
    EXPECT_FALSE(FileExists(kv::FolderOf(path) + "08-12-26-1.txt"));

    // The same format as the open log asks nothing.
    p.fakes.prompter.messages.clear();
    model.Fill();
    model.OKBtnClick();
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
}

TEST(PreferencesModel, PortChangeWhileOpenKeepsTheOldPortRunning)
{
    Program p;
    p.state.settings.nmea.ComPortNumber = 1;
    p.state.settings.nmea.BaudRate = 38400;
    p.controller->nmea().OpenNmeaInterface();
    ASSERT_TRUE(p.state.nmeaLink.NmeaOpen);
    ASSERT_EQ(p.fakes.serial.openedNumber, 1u);
    p.fakes.prompter.messages.clear();

    PreferencesModel model(*p.controller);
    model.Fill();
    EXPECT_FALSE(model.CountersEnabled());
    model.fields.COMno = 2;
    model.fields.Spoints = 99;
    model.OKBtnClick();
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kComPortChangesLater));
    EXPECT_EQ(p.state.settings.nmea.ComPortNumber, 2u);
    EXPECT_TRUE(p.fakes.serial.opened);
    EXPECT_EQ(p.fakes.serial.openedNumber, 1u);
    EXPECT_NE(p.state.textLog.TextLogFixCount, 99); // counters stay while the interface is open

    // Baud rate alone counts too; no change says nothing.
    p.fakes.prompter.messages.clear();
    model.Fill();
    model.fields.Rate = 0;
    model.OKBtnClick();
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kComPortChangesLater));
    p.fakes.prompter.messages.clear();
    model.Fill();
    model.OKBtnClick();
    EXPECT_TRUE(p.fakes.prompter.messages.empty());
}

TEST(PreferencesModel, OkRecomputesTheTideHourFromTheClock)
{
    struct Row {
        int hour, minute, highWater, tideHour;
    };
    const Row rows[] = { { 14, 40, 12, 3 }, { 5, 10, 12, 6 }, { 23, 30, 12, 1 }, { 11, 29, 12, -1 } };
    for (const Row& r : rows) {
        Program p;
        p.fakes.clock.time.hour = r.hour;
        p.fakes.clock.time.minute = r.minute;
        PreferencesModel model(*p.controller);
        model.Fill();
        model.fields.HWhour = r.highWater;
        model.fields.HWMin = 0;
        model.OKBtnClick();
        EXPECT_EQ(p.state.tideStream.TidalHour, r.tideHour) << r.hour << ":" << r.minute;
    }
}

TEST(PreferencesModel, PagesAndEnabling)
{
    Program p;
    PreferencesModel model(*p.controller);
    model.Fill();
    for (int i = 1; i <= 11; ++i) {
        model.SpeedButton1Click();
    }
    EXPECT_EQ(model.page, 0); // eleven steps come round to the first page
    model.TabSetClick(7);
    EXPECT_STREQ(kPreferencesPages[static_cast<std::size_t>(model.page)], "Stats");

    model.WP_autoClick(false);
    EXPECT_FALSE(model.CapDistEnabled());
    model.NMEAOutputOnClick(false);
    EXPECT_FALSE(model.SentenceBoxesEnabled());
    model.CompletionClick(RouteCompletion::RepRoute);
    model.RevRouteClick(true);
    EXPECT_FALSE(model.fields.RevRoute);
    model.CompletionClick(RouteCompletion::Reverse);
    model.RevRouteClick(true);
    EXPECT_TRUE(model.fields.RevRoute);
    model.CompletionClick(RouteCompletion::RepRoute);
    EXPECT_FALSE(model.fields.RevRoute);
}

TEST(TimingModel, IntervalSplitsAndJoins)
{
    struct Row {
        std::uint32_t ms;
        FixIntervalParts parts;
    };
    const Row rows[] = {
        { 10000, { 0, 10, 0 } },
        { 90000, { 1, 30, 0 } },
        { 9999, { 0, 10, 0 } },
        { 100, { 0, 0, 1 } },
        { 3600000, { 60, 0, 0 } },
        { 61500, { 1, 1, 5 } },
        { 0, { 0, 0, 0 } },
    };
    for (const Row& r : rows) {
        EXPECT_EQ(SplitFixInterval(r.ms), r.parts) << r.ms;
    }
    EXPECT_EQ(JoinFixInterval(1, 30, 0), 90000u);
    EXPECT_EQ(JoinFixInterval(0, 0, 10), 1000u);
    EXPECT_EQ(JoinFixInterval(99, 99, 99), 60u * 60000 + 59000 + 1000);
}

TEST(TimingModel, FillsAndStores)
{
    Program p;
    p.state.settings.fix.FixIntervalMs = 90000;
    p.state.settings.fix.TimeZoneHours = -3;
    p.state.settings.fix.AverageFixes = 4;
    TimingModel model(*p.controller);
    model.Fill();
    EXPECT_EQ(model.fields, (TimingFields { 1, 30, 0, -3, true, 4, 1 }));

    p.state.display.FixTimer = { true, 90000 };
    model.fields = TimingFields { 0, 5, 5, 2, false, 6, 3 };
    model.OKBtnClick();
    EXPECT_EQ(p.state.settings.fix.FixIntervalMs, 5500u);
    EXPECT_EQ(p.state.display.FixTimer.intervalMs, 5500u);
    EXPECT_TRUE(p.state.display.FixTimer.running());
    EXPECT_EQ(p.state.settings.fix.TimeZoneHours, 2);
    EXPECT_FALSE(p.state.prefs.fix.UseGpsTime);
    EXPECT_EQ(p.state.settings.fix.AverageFixes, 6);
    EXPECT_EQ(p.state.prefs.fix.RedrawEveryFixes, 3);
}

TEST(TimingModel, TideHourFollowsOnlyWithAnAtlas)
{
    Program p;
    p.fakes.clock.time.hour = 14;
    p.fakes.clock.time.minute = 40;
    p.state.tideStream.TidalHour = -5;
    TimingModel model(*p.controller);
    model.Fill();
    model.OKBtnClick();
    EXPECT_EQ(p.state.tideStream.TidalHour, -5);
    p.state.tides.push(TidalDiamond {});
    model.OKBtnClick();
    EXPECT_EQ(p.state.tideStream.TidalHour, 3);
}

} // namespace

namespace {

TEST(PreferencesModel, AisSafetyPageWritesKvfreeIni)
{
    Program p;
    PreferencesModel model(*p.controller);
    model.Fill();
    EXPECT_FALSE(model.fields.ClassBAndAtoNTargets);
    EXPECT_DOUBLE_EQ(model.fields.CpaLimitNm, 0.5);
    EXPECT_DOUBLE_EQ(model.fields.TcpaLimitMin, 12.0);
    EXPECT_FALSE(model.CollisionAlarmEnabled());

    model.fields.ClassBAndAtoNTargets = true;
    model.fields.CollisionAlarm = true; // without warnings the alarm stays off
    model.fields.CpaLimitNm = 1.25;
    model.fields.TcpaLimitMin = 5000.0; // beyond the file's limit
    model.OKBtnClick();
    EXPECT_TRUE(p.state.extra.ClassBAndAtoNTargets);
    EXPECT_FALSE(p.state.extra.CollisionAlarm);
    EXPECT_DOUBLE_EQ(p.state.extra.CpaLimitNm, 1.25);
    EXPECT_DOUBLE_EQ(p.state.extra.TcpaLimitMin, kTcpaLimitMaxMin);

    model.Fill();
    model.fields.CollisionWarnings = true;
    EXPECT_TRUE(model.CollisionAlarmEnabled());
    model.fields.CollisionAlarm = true;
    model.OKBtnClick();
    const ExtraSettingsRead read = ReadExtraSettings(p.dir.file(kExtraSettingsFile));
    EXPECT_TRUE(read.note.empty()) << read.note;
    EXPECT_EQ(read.settings, p.state.extra);
    EXPECT_TRUE(read.settings.CollisionWarnings && read.settings.CollisionAlarm);
}

TEST(PreferencesModel, AisSafetyWriteFailureIsNotedAndTheRunKeepsTheSettings)
{
    Program p;
    std::filesystem::create_directories(p.dir.file(kExtraSettingsFile)); // a folder where the file belongs
    PreferencesModel model(*p.controller);
    model.Fill();
    model.fields.ClassBAndAtoNTargets = true;
    model.OKBtnClick();
    EXPECT_TRUE(p.state.extra.ClassBAndAtoNTargets);
    EXPECT_EQ(p.state.display.StatusLine, kExtraSettingsNotWritten + p.dir.path() + "/" + kExtraSettingsFile);
}

TEST(PreferencesModel, AverageTideFillsTheFieldsAndWaitsForOk)
{
    Program p;
    TidalDiamond d;
    d.lat = p.state.fixInfo.OwnLat;
    d.lon = p.state.fixInfo.OwnLong;
    d.set.fill(90);
    d.rate.fill(20);
    p.state.tides.push(d);
    p.state.routeProgress.RouteLength = 2;
    p.state.routeProgress.TimeToWaypoint = 3.0;
    PreferencesModel model(*p.controller);
    model.Fill();
    model.ManTideClick(true);
    model.AvTideClick();
    EXPECT_EQ(model.fields.Tset, 90);
    EXPECT_EQ(model.fields.TDrift, 20);
    EXPECT_EQ(p.state.prefs.tide.Tset, 0); // Cancel would keep the old manual tide
    model.OKBtnClick();
    EXPECT_EQ(p.state.prefs.tide.Tset, 90);
    EXPECT_EQ(p.state.prefs.tide.TDrift, 20);

    p.state.routeProgress.RouteLength = 0;
    model.Fill();
    model.AvTideClick();
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kNoAtlasOrRoute));
    EXPECT_EQ(model.fields.Tset, 90);
}

TEST(PreferencesModel, ViewAngleTurnsTheViews)
{
    Program p;
    PreferencesModel model(*p.controller);
    model.Fill();
    model.fields.ViewAngle = 45;
    model.OKBtnClick();
    EXPECT_DOUBLE_EQ(p.controller->views().shared.rotation.angle, -kPi / 4);
    EXPECT_NEAR(p.controller->views().shared.rotation.sinA, -std::sqrt(0.5), 1e-12);
}

} // namespace
