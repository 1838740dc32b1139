// Which folder kvfree works in, the first start that makes the user's data folder, and the
// command line that chooses and describes it.

#include "app/WorkingFolder.h"
#include "app/CommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace kv;

TEST(WorkingFolder, ChoosesExplicitThenCurrentWithConfigurationThenDataFolder)
{
    kvtest::TempDir home;
    home.write("set-up/kelvw.cfg", "x");
    home.write("other/boat.cfg", "x");
    fs::create_directories(home.file("empty"));
    fs::create_directories(home.file("data/kvfree"));
    struct Case {
        const char* name;
        std::string current, workdir, config, xdg;
        std::string folder;
        WorkingFolderReason reason;
        bool firstStart;
    };
    const Case cases[] = {
        { "workdir wins over a configured current folder", home.file("set-up"), home.file("empty"), "", "",
            home.file("empty"), WorkingFolderReason::Explicit, false },
        { "current folder with kelvw.cfg", home.file("set-up"), "", "", "", home.file("set-up"),
            WorkingFolderReason::CurrentFolder, false },
        { "current folder with the named configuration", home.file("other"), "", "boat.cfg", "", home.file("other"),
            WorkingFolderReason::CurrentFolder, false },
        { "named configuration missing", home.file("other"), "", "none.cfg", "", home.file(".local/share/kvfree"),
            WorkingFolderReason::DataFolder, true },
        { "home folder: the data folder, first start", home.path(), "", "", "", home.file(".local/share/kvfree"),
            WorkingFolderReason::DataFolder, true },
        { "XDG_DATA_HOME set, folder made before", home.path(), "", "", home.file("data"), home.file("data/kvfree"),
            WorkingFolderReason::DataFolder, false },
        { "relative XDG_DATA_HOME is ignored", home.path(), "", "", "data", home.file(".local/share/kvfree"),
            WorkingFolderReason::DataFolder, true },
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        const WorkingFolderChoice choice
            = ChooseWorkingFolder({ tc.current, tc.workdir, tc.config, tc.xdg, home.path() });
        EXPECT_EQ(choice.folder, tc.folder);
        EXPECT_EQ(choice.reason, tc.reason);
        EXPECT_EQ(choice.firstStart, tc.firstStart);
    }
    // Deciding made nothing.
    EXPECT_FALSE(fs::exists(home.file(".local")));
}

TEST(WorkingFolder, RelativeWorkdirIsTakenFromTheCurrentFolder)
{
    const WorkingFolderChoice choice = ChooseWorkingFolder({ "/ignored", "some/where/../folder", "", "", "/home/x" });
    EXPECT_EQ(choice.folder, (fs::current_path() / "some/folder").string());
}

TEST(WorkingFolder, FirstStartCopiesTheDemoDataWithoutRunTimeFiles)
{
    kvtest::TempDir demo;
    demo.write("charts/world.cht", "chart");
    demo.write("charts/world.cfg", "cfg");
    demo.write("charts/.keep", "");
    demo.write("routes/passage.rte", "route");
    demo.write("approach.wav", "RIFF");
    // Left behind by runs in the demo folder of a source tree.
    demo.write("kelvw.cfg", "settings");
    demo.write("kelvw.cfg.bak1", "settings");
    demo.write("KVAIS.ADB", "vessels");
    demo.write("logs/08-12-26.log", "track");

    kvtest::TempDir home;
    const WorkingFolderChoice choice = ChooseWorkingFolder({ home.path(), "", "", "", home.path() });
    ASSERT_TRUE(choice.firstStart);
    const WorkingFolderSetup setup = PrepareWorkingFolder(choice, demo.path());
    ASSERT_TRUE(setup.ok) << setup.message;
    EXPECT_TRUE(setup.created);
    EXPECT_NE(setup.message.find(choice.folder), std::string::npos) << setup.message;

    const fs::path made(choice.folder);
    for (const char* file : { "charts/world.cht", "charts/world.cfg", "routes/passage.rte", "approach.wav" }) {
        EXPECT_TRUE(fs::is_regular_file(made / file)) << file;
    }
    for (const char* file : { "kelvw.cfg", "kelvw.cfg.bak1", "KVAIS.ADB", "logs/08-12-26.log", "charts/.keep" }) {
        EXPECT_FALSE(fs::exists(made / file)) << file;
    }
    for (const char* folder : { "charts", "routes", "tides", "logs" }) {
        EXPECT_TRUE(fs::is_directory(made / folder)) << folder;
    }

    // The second start finds the folder and says nothing; what the user changed stays.
    home.write(".local/share/kvfree/charts/world.cht", "edited");
    const WorkingFolderChoice again = ChooseWorkingFolder({ home.path(), "", "", "", home.path() });
    EXPECT_FALSE(again.firstStart);
    const WorkingFolderSetup second = PrepareWorkingFolder(again, demo.path());
    EXPECT_TRUE(second.ok);
    EXPECT_FALSE(second.created);
    EXPECT_EQ(second.message, "");
    EXPECT_EQ(home.read(".local/share/kvfree/charts/world.cht"), "edited");
}

TEST(WorkingFolder, FirstStartWithoutDemoDataMakesTheEmptyFolders)
{
    kvtest::TempDir home;
    const WorkingFolderChoice choice = ChooseWorkingFolder({ home.path(), "", "", "", home.path() });
    const WorkingFolderSetup setup = PrepareWorkingFolder(choice, FindDemoData({ home.file("nowhere"), "" }));
    ASSERT_TRUE(setup.ok) << setup.message;
    EXPECT_TRUE(fs::is_directory(fs::path(choice.folder) / "charts"));
    EXPECT_NE(setup.message.find("No demo data"), std::string::npos) << setup.message;
}

TEST(WorkingFolder, FindDemoDataTakesTheFirstFolderWithCharts)
{
    kvtest::TempDir a;
    kvtest::TempDir b;
    fs::create_directories(a.file("routes"));
    fs::create_directories(b.file("charts"));
    EXPECT_EQ(FindDemoData({ a.path(), b.path() + "/./", a.path() }), b.path() + "/");
    EXPECT_EQ(FindDemoData({ a.path() }), "");
}

TEST(WorkingFolder, DataFolderThatCannotBeMadeGivesAClearMessage)
{
    kvtest::TempDir home;
    home.write("a-file", "x");
    fs::create_directories(home.file("read-only"));
    fs::permissions(home.file("read-only"), fs::perms::owner_read | fs::perms::owner_exec);
    struct Case {
        const char* name;
        std::string xdg;
        bool needsUser; // the superuser writes into read-only folders
    };
    const Case cases[] = {
        { "XDG_DATA_HOME is a file", home.file("a-file"), false },
        { "XDG_DATA_HOME is read-only", home.file("read-only"), true },
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        if (tc.needsUser && ::geteuid() == 0) {
            continue;
        }
        const WorkingFolderChoice choice = ChooseWorkingFolder({ home.path(), "", "", tc.xdg, home.path() });
        const WorkingFolderSetup setup = PrepareWorkingFolder(choice, "");
        EXPECT_FALSE(setup.ok);
        EXPECT_NE(setup.message.find("Cannot create the working folder " + tc.xdg + "/kvfree"), std::string::npos)
            << setup.message;
        EXPECT_NE(setup.message.find("--workdir"), std::string::npos) << setup.message;
    }
}

TEST(WorkingFolder, ExplicitFolderMustExistAndIsLeftAsItIs)
{
    kvtest::TempDir dir;
    const WorkingFolderSetup missing
        = PrepareWorkingFolder(ChooseWorkingFolder({ "/", dir.file("typo"), "", "", "/" }), "");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message, "The working folder " + dir.file("typo") + " does not exist.");
    EXPECT_FALSE(fs::exists(dir.file("typo")));

    const WorkingFolderSetup given = PrepareWorkingFolder(ChooseWorkingFolder({ "/", dir.path(), "", "", "/" }), "");
    EXPECT_TRUE(given.ok);
    EXPECT_FALSE(given.created);
    EXPECT_FALSE(fs::exists(dir.file("logs"))); // a folder set up by hand is not changed
}

TEST(CommandLine, ParsesOptionsAndRejectsUnknownOnes)
{
    struct Case {
        std::vector<std::string> args;
        std::string error; // a part of the expected error, "" when none
    };
    const Case cases[] = {
        { {}, "" },
        { { "--workdir", "/w", "my.cfg", "--screenshot", "s.png", "--after", "2.5", "--quit-after", "7" }, "" },
        { { "--workdir=/w" }, "" },
        { { "--bogus" }, "unknown option '--bogus'" },
        { { "-x" }, "unknown option '-x'" },
        { { "--workdir" }, "--workdir needs a value" },
        { { "--workdir=" }, "--workdir needs a value" },
        { { "--after", "soon" }, "needs a number of seconds, not 'soon'" },
        { { "--quit-after", "-1" }, "needs a number of seconds" },
        { { "a.cfg", "b.cfg" }, "more than one configuration file" },
        { { "--rings", "9" }, "--rings needs a count from 0 to 8, not '9'" },
        { { "--rings", "1.5" }, "--rings needs a count" },
        { { "--print-pdf" }, "--print-pdf needs a value" },
    };
    for (const Case& tc : cases) {
        const CommandLine cl = ParseCommandLine(tc.args, false);
        if (tc.error.empty()) {
            EXPECT_EQ(cl.error, "") << testing::PrintToString(tc.args);
        } else {
            EXPECT_NE(cl.error.find(tc.error), std::string::npos) << cl.error;
        }
    }
    const CommandLine full = ParseCommandLine(cases[1].args, false);
    EXPECT_EQ(full.workdir, "/w");
    EXPECT_EQ(full.configArgument, "my.cfg");
    EXPECT_EQ(full.screenshot, "s.png");
    EXPECT_DOUBLE_EQ(full.screenshotAfter, 2.5);
    EXPECT_DOUBLE_EQ(full.quitAfter, 7.0);
    EXPECT_EQ(ParseCommandLine({ "--workdir=/w" }, false).workdir, "/w");
    const CommandLine shot = ParseCommandLine({ "--rings", "3", "--print-pdf", "page.pdf" }, false);
    EXPECT_EQ(shot.error, "");
    EXPECT_EQ(shot.rings, 3);
    EXPECT_EQ(shot.printPdf, "page.pdf");
}

TEST(CommandLine, SingleDashOptionsAreLeftToQtOnlyOnTheFirstReading)
{
    const CommandLine first = ParseCommandLine({ "-platform", "offscreen" }, true);
    // "offscreen" is taken as the configuration file here; the second reading, after Qt took
    // its options, does not see either.
    EXPECT_EQ(first.error, "");
    EXPECT_EQ(first.qtArguments, std::vector<std::string> { "-platform" });
    EXPECT_TRUE(ParseCommandLine({ "-h" }, true).help);
    EXPECT_TRUE(ParseCommandLine({ "-V" }, true).version);
}

TEST(CommandLine, HelpVersionAndAboutSayVersionAndFolder)
{
    const WorkingFolderChoice choice { "/home/skipper/.local/share/kvfree", WorkingFolderReason::DataFolder, true };
    const std::string help = HelpText(choice);
    for (const char* part : { "--workdir", "--screenshot", "--after", "--quit-after", "CONFIG-FILE", "kelvw.cfg",
             "XDG_DATA_HOME", "dialout", "/home/skipper/.local/share/kvfree (the user's data folder" }) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
    EXPECT_FALSE(ProgramVersion().empty());
    EXPECT_NE(ProgramVersion(), "unknown"); // the build gives the project's version
    EXPECT_EQ(VersionText().rfind("kvfree " + ProgramVersion() + "\n", 0), 0u);
    const std::string about = AboutText("/boat");
    EXPECT_NE(about.find(ProgramVersion()), std::string::npos);
    EXPECT_NE(about.find("Working folder: /boat"), std::string::npos);
    EXPECT_NE(
        about.find("\u00a9 OpenStreetMap contributors"), std::string::npos); // the demo charts' licence asks for it
}

} // namespace
