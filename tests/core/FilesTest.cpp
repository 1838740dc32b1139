#include "core/Paths.h"
#include "core/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kv;

TEST(TextFile, WritesCrLfAndReadsEitherEnding)
{
    kvtest::TempDir dir;
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("a.txt"), {"one", "", "three\xb0"}));
    EXPECT_EQ(dir.read("a.txt"), "one\r\n\r\nthree\xb0\r\n");
    EXPECT_EQ(ReadTextLines(dir.file("a.txt")).value(), (std::vector<std::string>{"one", "", "three\xb0"}));
    dir.write("lf.txt", "x\ny\r\nz");
    EXPECT_EQ(ReadTextLines(dir.file("lf.txt")).value(), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_FALSE(ReadTextLines(dir.file("missing.txt")).has_value());
    dir.write("empty.txt", "");
    EXPECT_TRUE(ReadTextLines(dir.file("empty.txt")).value().empty());
}

TEST(TextFile, FailedRewriteLeavesTheOldFileAndNoTemporaries)
{
    kvtest::TempDir dir;
    ASSERT_TRUE(WriteFileAtomic(dir.file("chart.cht"), "old"));
    // A target that is a folder cannot be replaced by rename.
    std::filesystem::create_directory(dir.file("folder.cht"));
    EXPECT_FALSE(WriteFileAtomic(dir.file("folder.cht"), "new"));
    EXPECT_FALSE(WriteFileAtomic(dir.file("nofolder/x.cht"), "new"));
    EXPECT_EQ(dir.read("chart.cht"), "old");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2); // chart.cht and folder.cht: no temporary left behind
    ASSERT_TRUE(WriteFileAtomic(dir.file("chart.cht"), "new"));
    EXPECT_EQ(dir.read("chart.cht"), "new");
}

TEST(TextFile, AppendsWholeLines)
{
    kvtest::TempDir dir;
    ASSERT_TRUE(AppendToFile(dir.file("day.AIS"), "a\r\n"));
    ASSERT_TRUE(AppendToFile(dir.file("day.AIS"), "b\r\n"));
    EXPECT_EQ(dir.read("day.AIS"), "a\r\nb\r\n");
    EXPECT_EQ(FileSize(dir.file("day.AIS")).value(), 6u);
    EXPECT_FALSE(AppendToFile(dir.file("no/such/dir.AIS"), "x"));
}

TEST(Paths, PartsOfAPath)
{
    EXPECT_EQ(NormalizeSeparators("C:\\KV\\charts\\a.cht"), "C:/KV/charts/a.cht");
    EXPECT_EQ(FolderOf("C:\\KV\\charts\\a.cht"), "C:/KV/charts/");
    EXPECT_EQ(FolderOf("a.cht"), "");
    EXPECT_EQ(NameWithoutExtension("/x/y/solent.003"), "solent");
    EXPECT_EQ(NameWithoutExtension("/x.d/noext"), "noext");
    EXPECT_EQ(ExtensionOf("/x/y/solent.003"), ".003");
    EXPECT_EQ(ExtensionOf("/x.d/noext"), "");
    EXPECT_EQ(ChangeExtension("/x/a.cht", ".cfg"), "/x/a.cfg");
    EXPECT_EQ(JoinPath("/w", "logs/"), "/w/logs/");
    EXPECT_EQ(JoinPath("/w/", "kelvw.cfg"), "/w/kelvw.cfg");
    EXPECT_EQ(WithTrailingSeparator("C:\\a"), "C:/a/");
}

TEST(Paths, CaseInsensitiveLookup)
{
    kvtest::TempDir dir;
    dir.write("SOLENT.WPS", "x");
    dir.write("flo", "y");
    EXPECT_EQ(FindFileCaseInsensitive(dir.path(), "solent.wps").value(), dir.file("SOLENT.WPS"));
    EXPECT_EQ(FindFileCaseInsensitive(dir.path(), "FLO").value(), dir.file("flo"));
    EXPECT_FALSE(FindFileCaseInsensitive(dir.path(), "other").has_value());
    EXPECT_FALSE(FindFileCaseInsensitive(dir.file("nofolder"), "x").has_value());
}
