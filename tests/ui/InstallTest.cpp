// kvfree as a user meets it: its command line answered without a display, and an installation
// into a fresh prefix started from an empty home folder, which makes the user's working folder
// from the installed demo data and draws the demo chart.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using kvtest::ShellQuote;

std::string KvfreePath()
{
    if (const char* env = std::getenv("KVFREE"); env != nullptr && *env != '\0') {
        return env;
    }
    return std::string(KV_BINARY_DIR) + "/kvfree";
}

TEST(CommandLineRun, HelpVersionAndUsageErrorsNeedNoDisplay)
{
    struct Case {
        const char* args;
        int status;
        const char* expected; // in the output (standard output and error together)
    };
    const Case cases[] = {
        { "--help", 0, "Usage: kvfree [OPTION]... [CONFIG-FILE]" },
        { "-h", 0, "Working folder now: " },
        { "--version", 0, "kvfree " },
        { "--bogus", 2, "kvfree: unknown option '--bogus'" },
        { "--quit-after", 2, "option --quit-after needs a value" },
        { "a.cfg b.cfg", 2, "more than one configuration file" },
    };
    kvtest::TempDir home;
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.args);
        // No display and the window system's platform: a program that tried to open a window
        // here would abort.
        const kvtest::ToolResult r = kvtest::RunShell("cd " + ShellQuote(home.path())
            + " && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME HOME=" + ShellQuote(home.path())
            + " QT_QPA_PLATFORM=xcb " + ShellQuote(KvfreePath()) + " " + tc.args + " 2>&1");
        EXPECT_EQ(r.exitCode, tc.status) << r.out;
        EXPECT_NE(r.out.find(tc.expected), std::string::npos) << r.out;
    }
    // Answering made no working folder.
    EXPECT_FALSE(fs::exists(home.file(".local")));
}

TEST(Install, InstalledProgramStartsFromAnEmptyHomeAndDrawsTheDemoChart)
{
    kvtest::TempDir root;
    const std::string prefix = root.file("prefix");
    const kvtest::ToolResult install = kvtest::RunShell(std::string(ShellQuote(KV_CMAKE_COMMAND)) + " --install "
        + ShellQuote(KV_BINARY_DIR) + " --prefix " + ShellQuote(prefix) + " 2>&1");
    ASSERT_EQ(install.exitCode, 0) << install.out;
    for (const char* file : { "bin/kvfree", "bin/kvtool", "share/kvfree/demo/charts/world.cht",
             "share/kvfree/demo/charts/world.cfg", "share/applications/kvfree.desktop", "share/doc/kvfree/README.md",
             "share/metainfo/io.github.kvfree.KVFree.metainfo.xml", "share/icons/hicolor/scalable/apps/kvfree.svg",
             "share/icons/hicolor/48x48/apps/kvfree.png", "share/icons/hicolor/128x128/apps/kvfree.png",
             "share/icons/hicolor/256x256/apps/kvfree.png" }) {
        EXPECT_TRUE(fs::is_regular_file(fs::path(prefix) / file)) << file;
    }
    for (int size : { 48, 128, 256 }) {
        const std::string icon
            = prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/kvfree.png";
        EXPECT_EQ(QImage(QString::fromStdString(icon)).size(), QSize(size, size)) << icon;
    }
    // Run-time files of the source tree's demo folder are not part of the installation.
    EXPECT_FALSE(fs::exists(prefix + "/share/kvfree/demo/kelvw.cfg"));
    EXPECT_FALSE(fs::exists(prefix + "/share/kvfree/demo/logs"));

    const std::string home = root.file("home");
    fs::create_directories(home);
    const std::string run = "cd " + ShellQuote(home) + " && env -u XDG_DATA_HOME HOME=" + ShellQuote(home)
        + " QT_QPA_PLATFORM=offscreen timeout 120 " + ShellQuote(prefix + "/bin/kvfree")
        + " --screenshot shot.png --after ";
    const kvtest::ToolResult first = kvtest::RunShell(run + "3 2>&1");
    ASSERT_EQ(first.exitCode, 0) << first.out;
    const std::string folder = home + "/.local/share/kvfree";
    EXPECT_NE(first.out.find("information: KVFree keeps its charts, routes, tides, logs and settings in " + folder),
        std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("information: Total chart points"), std::string::npos) << first.out;
    EXPECT_EQ(fs::file_size(folder + "/charts/world.cht"),
        fs::file_size(std::string(KV_SOURCE_DIR) + "/demo/charts/world.cht"));
    EXPECT_TRUE(fs::is_directory(folder + "/logs"));

    // The chart view fills most of the window with the chart's sea.
    const QImage shot(QString::fromStdString(home + "/shot.png"));
    ASSERT_FALSE(shot.isNull());
    qint64 sea = 0;
    for (int y = 0; y < shot.height(); y += 4) {
        for (int x = 0; x < shot.width(); x += 4) {
            const QColor c = shot.pixelColor(x, y);
            sea += (c.blue() > 100 && c.red() < 60 && c.green() < 60) ? 1 : 0;
        }
    }
    EXPECT_GT(sea * 16, qint64(shot.width()) * shot.height() / 3) << "sea pixels (of 16): " << sea;

    // The second start finds the folder and does not tell again.
    const kvtest::ToolResult second = kvtest::RunShell(run + "1 2>&1");
    EXPECT_EQ(second.exitCode, 0) << second.out;
    EXPECT_EQ(second.out.find("KVFree keeps its"), std::string::npos) << second.out;
}

} // namespace
