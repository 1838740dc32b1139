#include "core/Config.h"
#include "app/Lifecycle.h"
#include "app/MainController.h"
#include "app/ProgramState.h"
#include "core/Format.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace kv;

namespace {

// The program started in `folder` as kvfree starts it (the main window's creation and the first
// one-second tick), with the recording platform and no window. The start opens the configured
// chart and ends the program without it, so an empty chart file of that name is put in place.
struct StartedProgram {
    StartedProgram(const std::string& folder, const std::string& configArgument, const std::string& chart = "world")
    {
        std::filesystem::create_directories(folder + "/charts");
        std::ofstream(folder + "/charts/" + chart + ".cht").close();
        controller.FormCreate(folder, configArgument);
        controller.SecsTimerTimer();
        EXPECT_FALSE(controller.ended());
    }
    FakePlatform fakes;
    ProgramState state;
    MainWindowHooks noWindow;
    MainController controller { state, fakes.platform, noWindow };
};

// A configuration as a user's boat would have it, every field away from its default.
void FillNonDefault(ProgramState& nav, Settings& s)
{
    nav.folders.ChartName = "solent";
    nav.fixInfo.OwnLat = 50.7654321;
    nav.fixInfo.OwnLong = 1.2987654;
    s.ViewZoom = 0.5;
    nav.chartRef.ChartLatOffset = 0.001;
    nav.chartRef.ChartLongOffset = -0.002;
    nav.settings.fix.TimeZoneHours = -3;
    nav.settings.units.UnitFactor = 1.852;
    s.PositionDisplayMode = 0;
    nav.settings.fix.KeepTextLog = false;
    s.TextLogFormat = kTextLogFormat;
    nav.settings.vessel.BoatSpeed = 6.5;
    s.RouteName = "needles";
    s.ChartBackColour = 0;
    s.ChartForeColour = 0x008080;
    s.GridForeIndex = 3;
    s.GridBackIndex = 0;
    s.ColourScheme = 1;
    s.TextColourFG = true;
    s.TrackColourFG = false;
    s.TideColourFG = true;
    s.NmeaServerName = "Bridge";
    s.NmeaServerInput = "IN";
    s.NmeaServerOutput = "OUT";
    s.NmeaServerPath = "C:\\bridge\\b.exe";
    nav.settings.fix.NmeaStartMode = "Manual";
    nav.settings.fix.DRMode = true;
    nav.settings.fix.FixIntervalMs = 2500;
    nav.settings.vessel.DRSpeedSource = 1;
    nav.settings.vessel.DRCourseSource = 1;
    nav.settings.vessel.AntennaNorth = 0.00001;
    nav.settings.vessel.AntennaEast = -0.00002;
    s.VesselDrawDimA = 100;
    s.VesselDrawDimB = 20.0;
    nav.settings.route.ArrivalRadius = 0.35;
    nav.settings.route.XTEDeadband = 0.07;
    s.TextLogViewerPath = "/usr/bin/mousepad";
    nav.settings.fix.AverageFixes = 4;
    nav.folders.LogDir = "/data/logs/";
    nav.settings.nmea.NMEAOutputOn = false;
    s.VesselOutlineDimA = 3.5;
    s.VesselOutlineDimB = 2.5;
    s.PreferenceValue40 = 7.0;
    s.VesselLength = 12.2;
    s.PreferenceValue42 = 9.0;
    nav.settings.fix.AutoChart = false;
    s.AISLogViewerPath = "/opt/viewer";
    nav.folders.ChartDir = "/data/charts/";
    nav.settings.nmea.ComPortNumber = 3;
    nav.settings.nmea.BaudRate = 4800;
}

} // namespace

TEST(Config, WrittenAndReadBackRestoresEveryField)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    FillNonDefault(nav, s);
    ASSERT_TRUE(WriteConfig(dir.file("boat.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));

    ProgramState nav2;
    Settings& s2 = nav2.settings;
    ASSERT_TRUE(ReadConfig(dir.file("boat.cfg"), nav2.fixInfo, nav2.chartRef, nav2.folders, s2));
    EXPECT_EQ(nav2.chartRef.ChartLatOffset, 0.0); // line 5 is not read: offsets come with the chart
    // Written again (with the chart's offsets), the file is identical: nothing lost or changed.
    nav2.chartRef.ChartLatOffset = nav.chartRef.ChartLatOffset;
    nav2.chartRef.ChartLongOffset = nav.chartRef.ChartLongOffset;
    EXPECT_EQ(ConfigLines(nav2.fixInfo, nav2.chartRef, nav2.folders, s2),
        ConfigLines(nav.fixInfo, nav.chartRef, nav.folders, s));

    EXPECT_EQ(nav2.folders.ChartName, "solent");
    EXPECT_DOUBLE_EQ(nav2.fixInfo.OwnLat, 50.7654321);
    EXPECT_DOUBLE_EQ(nav2.fixInfo.OwnLong, 1.2987654);
    EXPECT_DOUBLE_EQ(s2.ViewZoom, 0.5);
    EXPECT_EQ(nav2.settings.fix.TimeZoneHours, -3);
    EXPECT_DOUBLE_EQ(nav2.settings.units.UnitFactor, 1.852);
    EXPECT_EQ(s2.PositionDisplayMode, 0);
    EXPECT_FALSE(nav2.settings.fix.KeepTextLog);
    EXPECT_DOUBLE_EQ(nav2.settings.vessel.BoatSpeed, 6.5);
    EXPECT_EQ(s2.RouteName, "needles");
    EXPECT_EQ(s2.ChartForeColour, 0x008080);
    EXPECT_TRUE(s2.TextColourFG);
    EXPECT_FALSE(s2.TrackColourFG);
    EXPECT_TRUE(s2.TideColourFG);
    EXPECT_EQ(s2.NmeaServerPath, "C:\\bridge\\b.exe");
    EXPECT_TRUE(nav2.settings.fix.DRMode);
    EXPECT_EQ(nav2.settings.fix.FixIntervalMs, 2500u);
    EXPECT_DOUBLE_EQ(nav2.settings.vessel.AntennaEast, -0.00002);
    EXPECT_DOUBLE_EQ(nav2.settings.route.ArrivalRadius, 0.35);
    EXPECT_EQ(nav2.settings.fix.AverageFixes, 4);
    EXPECT_EQ(nav2.folders.LogDir, "/data/logs/");
    EXPECT_FALSE(nav2.settings.nmea.NMEAOutputOn);
    EXPECT_DOUBLE_EQ(s2.VesselLength, 12.2);
    EXPECT_FALSE(nav2.settings.fix.AutoChart);
    EXPECT_EQ(nav2.folders.ChartDir, "/data/charts/");
    EXPECT_EQ(nav2.settings.nmea.ComPortNumber, 3u);
    EXPECT_EQ(nav2.settings.nmea.BaudRate, 4800u);
    EXPECT_NEAR(nav2.chartRef.CosLatFactor, std::cos(50.7654321 * M_PI / 180), 1e-12);
}

TEST(Config, FileLayoutIs47CrLfLines)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    nav.folders.AppDir = dir.path() + "/";
    ApplyConfigDefaults(nav.fixInfo, nav.chartRef, nav.folders, s);
    ASSERT_TRUE(WriteConfig(dir.file("kelvw.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    const std::string bytes = dir.read("kelvw.cfg");
    const auto lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 47u);
    EXPECT_EQ(bytes.substr(0, 7), "world\r\n");
    EXPECT_EQ(lines[1], "-1.67801926740000E+0001");
    EXPECT_EQ(lines[3], " 3.12500000000000E-0002");
    EXPECT_EQ(lines[4], " 0.00000000000000E+0000 0.00000000000000E+0000");
    EXPECT_EQ(lines[8], "Keep");
    EXPECT_EQ(lines[17], "000");
    EXPECT_EQ(lines[23], "");
    EXPECT_EQ(lines[36], "AutoON");
    EXPECT_EQ(lines[42], "AutoCHT");
    EXPECT_EQ(lines[45], "1");
    EXPECT_EQ(lines[46], "38400");
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
}

TEST(Config, DefaultsWithoutAFile)
{
    kvtest::TempDir dir;
    StartedProgram program(dir.path(), "");
    const ProgramState& state = program.state;
    EXPECT_TRUE(state.settings.fix.KeepTextLog);
    EXPECT_TRUE(state.settings.nmea.NMEAOutputOn);
    EXPECT_TRUE(state.settings.fix.AutoChart);
    EXPECT_EQ(state.settings.fix.NmeaStartMode, "Manual");
    EXPECT_EQ(state.settings.nmea.BaudRate, 38400u);
    EXPECT_EQ(state.settings.nmea.ComPortNumber, 1u);
    EXPECT_EQ(state.folders.ChartName, "world");
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLat, -16.780192674);
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLong, -41.779279083);
    EXPECT_EQ(state.settings.fix.AverageFixes, 1);
    EXPECT_EQ(state.folders.LogDir, dir.path() + "/logs/");
    EXPECT_EQ(state.folders.ChartDir, dir.path() + "/charts/");
    EXPECT_EQ(state.settings.TextLogFormat, "@d,@f,@t,@p:3,@q,@c,@s,@v,@x,@y");
    EXPECT_DOUBLE_EQ(state.settings.ViewZoom, 0.03125);
}

TEST(Config, AfterReadRules)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    auto lines = ConfigLines(nav.fixInfo, nav.chartRef, nav.folders, s);
    lines[9] = "@t,@p"; // any stored format is replaced
    lines[34] = "0"; // AverageFixes 0 becomes 1
    lines[45] = "3"; // port 3 …
    lines[46] = "0"; // … with baud 0: port 1 at 4800
    lines[22] = "Auto";
    lines[23] = "DR"; // DR with Auto start: no dead reckoning
    lines[0] = ""; // empty chart name
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("a.cfg"), lines));
    ASSERT_TRUE(ReadConfig(dir.file("a.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    EXPECT_EQ(s.TextLogFormat, "@f,@d,@t,@p:3,@q,@c,@s,@v,@x,@y");
    EXPECT_EQ(nav.settings.fix.AverageFixes, 1);
    EXPECT_EQ(nav.settings.nmea.ComPortNumber, 1u);
    EXPECT_EQ(nav.settings.nmea.BaudRate, 4800u);
    EXPECT_FALSE(nav.settings.fix.DRMode);
    EXPECT_EQ(nav.folders.ChartName, "missing or");

    lines[22] = "Manual";
    lines[45] = "0";
    lines[46] = "38400";
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("b.cfg"), lines));
    ReadConfig(dir.file("b.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s);
    EXPECT_TRUE(nav.settings.fix.DRMode);
    EXPECT_EQ(nav.settings.nmea.ComPortNumber, 1u);
    EXPECT_EQ(nav.settings.nmea.BaudRate, 4800u);
}

TEST(Config, LfEndingsAndBackslashPathsFromOlderFiles)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    auto lines = ConfigLines(nav.fixInfo, nav.chartRef, nav.folders, s);
    lines[35] = "C:\\KV\\logs";
    lines[44] = "D:\\charts\\uk\\";
    lines[1] = "50.5"; // any decimal form
    lines[10] = "7 knots"; // the rest of a number line is ignored
    std::string content;
    for (const auto& l : lines) {
        content += l + "\n";
    }
    dir.write("lf.cfg", content);
    ASSERT_TRUE(ReadConfig(dir.file("lf.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    EXPECT_EQ(nav.folders.LogDir, "C:/KV/logs/");
    EXPECT_EQ(nav.folders.ChartDir, "D:/charts/uk/");
    EXPECT_DOUBLE_EQ(nav.fixInfo.OwnLat, 50.5);
    EXPECT_DOUBLE_EQ(nav.settings.vessel.BoatSpeed, 7.0);
    EXPECT_EQ(nav.settings.nmea.ComPortNumber, 1u);
}

TEST(Config, ShortOrGarbageFilesDoNotCrash)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    dir.write("two.cfg", "harbour\r\n12.5\r\n");
    EXPECT_TRUE(ReadConfig(dir.file("two.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    EXPECT_EQ(nav.folders.ChartName, "harbour");
    EXPECT_DOUBLE_EQ(nav.fixInfo.OwnLat, 12.5);
    EXPECT_EQ(nav.settings.nmea.BaudRate, 4800u); // missing port lines read as 0
    dir.write("bin.cfg", std::string("\0\xff\x01garbage\n\n\n1e999\n\0", 20));
    EXPECT_TRUE(ReadConfig(dir.file("bin.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    EXPECT_TRUE(std::isfinite(nav.fixInfo.OwnLong));
}

TEST(Config, FailedWriteShowsTheMessageAndKeepsTheOldFile)
{
    kvtest::TempDir dir;
    StartedProgram program(dir.path(), "");
    ProgramState& state = program.state;
    FakePrompter& prompter = program.fakes.prompter;
    prompter.answer({ true });
    ASSERT_TRUE(program.controller.FormCloseQuery());
    const std::string before = dir.read("kelvw.cfg");
    ASSERT_EQ(SplitLines(before).size(), 47u);

    // A full disk: the file size limit makes every write past 64 bytes fail, for root as well.
    state.folders.ChartName = "changed";
    struct rlimit old { };
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    prompter.answer({ true });
    const bool closed = program.controller.FormCloseQuery();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(closed);
    EXPECT_TRUE(prompter.lastMessageIs("Error creating config file !"));
    EXPECT_EQ(dir.read("kelvw.cfg"), before);
    // No temporary left beside it; the start's own files (log folder, vessel database) stay.
    std::string names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names += entry.path().filename().string() + " ";
    }
    EXPECT_EQ(names.find(".kvtmp-"), std::string::npos) << names;
    EXPECT_TRUE(std::filesystem::exists(dir.file("kelvw.cfg")));

    // A folder that does not exist: the same message.
    state.folders.AppDir = dir.file("gone/");
    prompter.answer({ true });
    EXPECT_TRUE(program.controller.FormCloseQuery());
    EXPECT_TRUE(prompter.lastMessageIs("Error creating config file !"));
}

TEST(Lifecycle, QuitAnsweredNoKeepsRunningAndWritesNothing)
{
    kvtest::TempDir dir;
    StartedProgram program(dir.path(), "boat2.cfg");
    FakePrompter& prompter = program.fakes.prompter;
    prompter.answer({ false });
    EXPECT_FALSE(program.controller.FormCloseQuery());
    EXPECT_EQ(prompter.messages.back().text, "Quit Kelvane - Are you sure?");
    EXPECT_FALSE(std::filesystem::exists(dir.file("kelvw.cfg")));
    prompter.answer({ true });
    EXPECT_TRUE(program.controller.FormCloseQuery());
    // Started with boat2.cfg, the program still writes kelvw.cfg.
    EXPECT_TRUE(std::filesystem::exists(dir.file("kelvw.cfg")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("boat2.cfg")));
}

TEST(Lifecycle, StartupReadsTheNamedConfigurationInTheWorkingFolder)
{
    kvtest::TempDir dir;
    ProgramState nav;
    Settings& s = nav.settings;
    nav.folders.ChartName = "boat2chart";
    ASSERT_TRUE(WriteConfig(dir.file("boat2.cfg"), nav.fixInfo, nav.chartRef, nav.folders, s));
    StartedProgram program(dir.path(), "boat2.cfg", "boat2chart");
    EXPECT_EQ(program.state.folders.ChartName, "boat2chart");
    EXPECT_EQ(StartupConfigPath("/w/", ""), "/w/kelvw.cfg");
}

TEST(Config, LongFolderPathsAreKeptWhole)
{
    kvtest::TempDir dir;
    const std::string deep = dir.path() + "/" + std::string(90, 'f') + "/";
    std::filesystem::create_directories(deep);
    StartedProgram program(deep, "");
    ProgramState& state = program.state;
    EXPECT_EQ(state.folders.LogDir, deep + "logs/");
    EXPECT_EQ(state.folders.ChartDir, deep + "charts/");
    ASSERT_TRUE(WriteConfig(deep + "kelvw.cfg", state.fixInfo, state.chartRef, state.folders, state.settings));
    ProgramState nav;
    Settings& s = nav.settings;
    ASSERT_TRUE(ReadConfig(deep + "kelvw.cfg", nav.fixInfo, nav.chartRef, nav.folders, s));
    EXPECT_EQ(nav.folders.ChartDir, deep + "charts/");
}
