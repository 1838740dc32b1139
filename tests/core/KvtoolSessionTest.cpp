// kvtool on a machine without a login session (no XDG_RUNTIME_DIR, as under cron or in a CI
// container): scripted callers read its standard error, so Qt must not complain there, and the
// private runtime folder it makes for the run must be gone afterwards.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

TEST(KvtoolSession, NoRuntimeFolderLeavesStandardErrorCleanAndNothingBehind)
{
    kvtest::TempDir work;
    for (const char* folder : { "charts", "tmp" }) {
        std::filesystem::create_directories(work.file(folder));
    }
    for (const char* file : { "world.cht", "world.cfg" }) {
        std::filesystem::copy_file(
            std::filesystem::path(KV_SOURCE_DIR) / "demo/charts" / file, work.file(std::string("charts/") + file));
    }
    const std::vector<std::vector<std::string>> runs = {
        { "pos", "50.5", "1.25" },
        { "grid", "osgb", "50.5", "-1.25" },
        // Drawing labels loads the font database of the GUI application.
        { "render", work.path(), work.file("view.png"), "--size", "320x240" },
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(args[0]);
        std::string command = "env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen TMPDIR="
            + kvtest::ShellQuote(work.file("tmp")) + " " + kvtest::ShellQuote(kvtest::KvtoolPath());
        for (const auto& a : args) {
            command += " " + kvtest::ShellQuote(a);
        }
        command += " >" + kvtest::ShellQuote(work.file("out.txt")) + " 2>" + kvtest::ShellQuote(work.file("err.txt"));
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << work.read("err.txt");
        EXPECT_EQ(work.read("err.txt"), "");
        EXPECT_FALSE(work.read("out.txt").empty());
        EXPECT_TRUE(std::filesystem::is_empty(work.file("tmp"))) << "the private runtime folder is removed";
    }
}

} // namespace
