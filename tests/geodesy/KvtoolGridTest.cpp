// Runs the built kvtool and checks the exact bytes of its grid and position lines.

#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

using ToolRun = kvtest::ToolResult;

ToolRun RunKvtool(const std::string& arguments)
{
    return kvtest::RunKvtoolLine(arguments + " 2>/dev/null");
}

} // namespace

TEST(KvtoolGrid, NationalGridLinesBothWays)
{
    const ToolRun os = RunKvtool("grid osgb 52.65757030555556 1.7179215833333334");
    EXPECT_EQ(os.exitCode, 0);
    EXPECT_EQ(os.out, "651409.90\t313177.27\tTG 51410 13177\n");
    EXPECT_EQ(RunKvtool("grid osgb 49 -2").out, "**********\t**********\t**************\n");
    EXPECT_EQ(RunKvtool("grid osgb 58.9 -3.2").out.substr(20), "\tHY 30867 01984\n");
    EXPECT_EQ(RunKvtool("grid osgb-inverse -100000 400000").out, "49.0000000000\t-2.0000000000\t0\n");
    EXPECT_EQ(RunKvtool("grid osgb-inverse 313177.27 651409.90").out, "52.6575703011\t1.7179215376\t0\n");
}

TEST(KvtoolGrid, UtmLinesKeepTheirLeadingBlanks)
{
    EXPECT_EQ(RunKvtool("grid utm 8 51.5 -0.1").out, "30U 0701278\t 5709417\n");
    EXPECT_EQ(RunKvtool("grid utm 8 -33.9 151.2").out, "56H 0333569\t 6247473\n");
    EXPECT_EQ(RunKvtool("grid utm 8 85 10").out, "  Z *******\t *******\n");
    EXPECT_EQ(RunKvtool("grid utm 8 0 0").out,
        "30M 0833979\t 0000000\n"); // zone 31 would give 166021 at 0 deg E: the mirror image
}

TEST(KvtoolGrid, PositionTextsInLatin1)
{
    EXPECT_EQ(RunKvtool("pos 50.12083333333333 1.2583333333333333").out,
        "50\xb0"
        "07.25000N\t001\xb0"
        "15.50000W\t50\xb0"
        "07.2500N 001\xb0"
        "15.5000W\n");
    EXPECT_EQ(RunKvtool("pos -0.5 0").out,
        "00\xb0"
        "30.00000S\t000\xb0"
        "00.00000W\t00\xb0"
        "30.0000S 000\xb0"
        "00.0000W\n");
    EXPECT_EQ(RunKvtool("pos 86 -1").out.substr(0, 13),
        "84\xb0"
        "00.00000N\t");
}

TEST(KvtoolGrid, BadArgumentsGiveUsageAndNoLine)
{
    for (const char* args : { "grid", "grid osgb 52", "grid osgb x 1", "grid utm 9 1 1", "grid utm 0 1 1",
             "grid nope 1 2", "pos", "pos 1 two" }) {
        const ToolRun r = RunKvtool(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}
