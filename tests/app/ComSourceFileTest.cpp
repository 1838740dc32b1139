// Editing the source address of a COM number: what is written, what is refused and what is
// never replaced.

#include "app/ComSourceFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace kv;
namespace fs = std::filesystem;

TEST(ComSourceFile, WritesCheckedAddressesAndRemovesEmptyOnes)
{
    kvtest::TempDir dir;
    struct Row {
        const char* typed;
        const char* stored; // nullptr: refused, the entry unchanged
    };
    const Row rows[] = {
        { "tcp://boat.local:10110", "tcp://boat.local:10110" },
        { "  gpsd://[::1]  ", "gpsd://[::1]:2947" },
        { "udp://:10110 udp://192.168.1.20:10111", "udp://:10110 udp://192.168.1.20:10111" },
        { "/dev/ttyUSB0", "/dev/ttyUSB0" },
        { "tcp://boat.local", nullptr },
        { "ftp://x:1", nullptr },
        { "tcp://host:70000", nullptr },
    };
    std::string current;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const std::string problem = SetComEntry(dir.path(), 4, r.typed);
        if (r.stored != nullptr) {
            EXPECT_EQ(problem, "");
            current = r.stored;
        } else {
            EXPECT_NE(problem, "");
        }
        EXPECT_EQ(ComEntryText(dir.path(), 4), current);
        EXPECT_EQ(ComEntryKind(dir.path(), 4), ComEntry::TextFile);
    }
    EXPECT_EQ(SetComEntry(dir.path(), 4, "  "), "");
    EXPECT_EQ(ComEntryKind(dir.path(), 4), ComEntry::None);
    EXPECT_EQ(SetComEntry(dir.path(), 5, ""), ""); // nothing to remove
}

TEST(ComSourceFile, LinksToDevicesAreNeverReplaced)
{
    kvtest::TempDir dir;
    fs::create_directories(dir.file("dev"));
    fs::create_symlink("/dev/null", dir.file("dev/com2"));
    EXPECT_EQ(ComEntryKind(dir.path(), 2), ComEntry::Other);
    EXPECT_EQ(ComEntryText(dir.path(), 2), "");
    EXPECT_NE(SetComEntry(dir.path(), 2, "tcp://a:1"), "");
    EXPECT_NE(SetComEntry(dir.path(), 2, ""), "");
    EXPECT_TRUE(fs::is_symlink(dir.file("dev/com2")));
    EXPECT_EQ(fs::read_symlink(dir.file("dev/com2")), "/dev/null");
}

} // namespace
