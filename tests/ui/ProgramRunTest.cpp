// The real program, started in a prepared working folder without a screen, left to open its chart
// view and then quit through its ordinary quit sequence. In the sanitizer build this is the run
// that catches faults of start-up and shut-down (a slot running on a window being destroyed, a
// freed object touched on the way out): any sanitizer report fails the test.

#include "UiSupport.h"

#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string KvfreePath()
{
    if (const char* env = std::getenv("KVFREE"); env != nullptr && *env != '\0') {
        return env;
    }
    return std::string(KV_BINARY_DIR) + "/kvfree";
}

// The first line of a sanitizer report in `text`, or empty when there is none.
std::string SanitizerReport(const std::string& text)
{
    for (const char* mark : { "runtime error:", "Sanitizer:" }) {
        if (const auto at = text.find(mark); at != std::string::npos) {
            const auto begin = text.rfind('\n', at);
            const auto end = text.find('\n', at);
            return text.substr(
                begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1));
        }
    }
    return {};
}

// Two ways out: the ordinary quit sequence (the window closes, then goes), and the end of a
// screenshot run, where the window is destroyed while it is still shown with its chart view.
TEST(ProgramRun, StartsShowsTheChartAndEndsWithoutSanitizerReports)
{
    struct Case {
        const char* name;
        const char* arguments;
        const char* expectedErr; // what the run says on the terminal on its way out
    };
    const Case cases[] = {
        { "quit sequence", "--workdir . --quit-after 3", "question (answered Yes): Quit Kelvane - Are you sure?" },
        { "screenshot run", "--workdir . --screenshot shot.png --after 3", "Total chart points" },
    };
    ASSERT_TRUE(std::filesystem::exists(KvfreePath())) << KvfreePath();
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        kvtest::TempDir dir;
        kvtest::PrepareWorkingFolder(dir);

        // Qt's own allocations that live for the process are not ours to judge; the sanitizer
        // suite names the same suppressions.
        std::string env = "QT_QPA_PLATFORM=offscreen";
        if (std::getenv("LSAN_OPTIONS") == nullptr) {
            env += " LSAN_OPTIONS="
                + kvtest::ShellQuote("suppressions=" + std::string(KV_SOURCE_DIR) + "/scripts/lsan.supp");
        }
        const std::string command = "cd " + kvtest::ShellQuote(dir.path()) + " && " + env + " timeout 120 "
            + kvtest::ShellQuote(KvfreePath()) + " " + tc.arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        const std::string err = dir.read("err.txt");

        EXPECT_EQ(SanitizerReport(err), "") << err;
        ASSERT_TRUE(WIFEXITED(status)) << err;
        EXPECT_EQ(WEXITSTATUS(status), 0) << err;
        // The chart was loaded into its view before the end.
        EXPECT_NE(err.find("information: Total chart points"), std::string::npos) << err;
        EXPECT_NE(err.find(tc.expectedErr), std::string::npos) << err;
    }
}

} // namespace
