// kvtool given a folder, a FIFO or a device where it expects a file: a clear refusal with exit
// code 1, never an abort and never a wait for a writer.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

TEST(ToolInput, EveryFileReaderRefusesWhatIsNotARegularFile)
{
    kvtest::TempDir dir;
    std::filesystem::create_directory(dir.file("dir.nmea"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.nmea").c_str(), 0600), 0);
    std::filesystem::create_directories(dir.file("work/logs"));
    const std::vector<std::vector<std::string>> commands { { "nmea-parse" }, { "ais-decode" }, { "config" },
        { "log-dump" }, { "log-gpx" }, { "navigate", dir.file("work") } };
    for (const char* input : { "dir.nmea", "fifo.nmea" }) {
        for (auto args : commands) {
            args.push_back(dir.file(input));
            const kvtest::ToolResult r = kvtest::RunKvtool(args);
            EXPECT_EQ(r.exitCode, 1) << args[0] << " " << input;
        }
    }
}
