#include "core/ForeignText.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

using namespace kv;

TEST(TextFile, WritesCrLfAndReadsEitherEnding)
{
    kvtest::TempDir dir;
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("a.txt"), { "one", "", "three\xb0" }));
    EXPECT_EQ(dir.read("a.txt"), "one\r\n\r\nthree\xb0\r\n");
    EXPECT_EQ(ReadTextLines(dir.file("a.txt")).value(), (std::vector<std::string> { "one", "", "three\xb0" }));
    dir.write("lf.txt", "x\ny\r\nz");
    EXPECT_EQ(ReadTextLines(dir.file("lf.txt")).value(), (std::vector<std::string> { "x", "y", "z" }));
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

TEST(TextFile, LinesAppendedAfterAPieceOfALineStartOnALineOfTheirOwn)
{
    kvtest::TempDir dir;
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        { "", "fix 1\r\n" }, // a new log
        { "fix 0\r\n", "fix 0\r\nfix 1\r\n" }, // a whole log
        { "fix 0\r\nfi", "fix 0\r\nfi\r\nfix 1\r\n" }, // cut inside a line
        { "fix 0\r", "fix 0\r\r\nfix 1\r\n" }, // cut between CR and LF
        { "fix 0\n", "fix 0\nfix 1\r\n" }, // written with LF alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        const std::string path = dir.file("day.txt");
        std::filesystem::remove(path);
        if (*c.before != '\0') {
            dir.write("day.txt", c.before);
        }
        ASSERT_TRUE(AppendLinesToFile(path, "fix 1\r\n"));
        EXPECT_EQ(dir.read("day.txt"), c.after);
        EXPECT_EQ(ReadTextLines(path)->back(), "fix 1");
    }
    EXPECT_FALSE(AppendLinesToFile(dir.file("no/such/day.txt"), "x\r\n"));
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

namespace {

// Something other than a regular file standing where a file is expected.
enum class Stand { Folder, Fifo };

void MakeStand(const std::string& path, Stand what)
{
    if (what == Stand::Folder) {
        std::filesystem::create_directory(path);
    } else {
        ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    }
}

} // namespace

TEST(TextFile, FoldersFifosAndDevicesAreRefusedWithoutBlocking)
{
    kvtest::TempDir dir;
    MakeStand(dir.file("folder.cfg"), Stand::Folder);
    MakeStand(dir.file("fifo.cfg"), Stand::Fifo);
    const struct {
        std::string path;
        std::string problem;
    } cases[] = {
        { dir.file("folder.cfg"), "is a folder, not a file" },
        { dir.file("fifo.cfg"), "is not a regular file" },
        { "/dev/null", "is not a regular file" },
        { dir.file("missing.cfg"), "does not exist" },
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ReadWholeFile(c.path).has_value()) << c.path;
        EXPECT_FALSE(ReadTextLines(c.path).has_value()) << c.path;
        EXPECT_EQ(ReadRegularFile(c.path).problem, c.problem) << c.path;
        EXPECT_EQ(RegularFileProblem(c.path), c.problem) << c.path;
    }
    // Appending to a folder or to a FIFO nobody reads fails at once; neither is replaced.
    EXPECT_FALSE(AppendToFile(dir.file("folder.cfg"), "x\r\n"));
    EXPECT_FALSE(AppendToFile(dir.file("fifo.cfg"), "x\r\n"));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("fifo.cfg")));
    EXPECT_EQ(RegularFileProblem(dir.file("fifo.cfg")), "is not a regular file");
}

TEST(TextFile, ReadingStopsAtTheSizeLimit)
{
    kvtest::TempDir dir;
    dir.write("ten.log", "0123456789");
    EXPECT_EQ(ReadRegularFile(dir.file("ten.log"), 10).bytes.value(), "0123456789");
    const FileReadResult tooLarge = ReadRegularFile(dir.file("ten.log"), 9);
    EXPECT_FALSE(tooLarge.bytes.has_value());
    EXPECT_EQ(tooLarge.problem, "is larger than 9 bytes");
    EXPECT_EQ(RegularFileProblem(dir.file("ten.log")), "");
}

TEST(TextFile, MoveAsideTakesTheNextFreeNameAndNeverReplaces)
{
    kvtest::TempDir dir;
    const auto name = [&](int n) { return dir.file(n == 0 ? "a.bak" : "a.bak-" + std::to_string(n)); };
    dir.write("a", "newest");
    dir.write("a.bak", "oldest");
    std::filesystem::create_directory(dir.file("a.bak-1")); // a folder takes a name too
    EXPECT_EQ(MoveAside(dir.file("a"), name).value(), dir.file("a.bak-2"));
    EXPECT_FALSE(PathTaken(dir.file("a")));
    EXPECT_EQ(dir.read("a.bak"), "oldest");
    EXPECT_EQ(dir.read("a.bak-2"), "newest");
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("a.bak-1")));
    // Nothing to move: nothing happens.
    EXPECT_FALSE(MoveAside(dir.file("a"), name).has_value());
    EXPECT_FALSE(PathTaken(dir.file("a.bak-3")));
}

TEST(TextFile, OnlyTheProgramsOwnStaleTemporariesAreRemoved)
{
    kvtest::TempDir dir;
    // A rewrite killed before its rename leaves exactly such a file.
    dir.write(".kvtmp-kelvw.cfg-AbC123", "half");
    dir.write(".kvtmp-07-03-26.log-x1y2z3", "half");
    const std::vector<std::string> kept { ".kvtmp-a-12345", "kvtmp-a-123456", "my.kvtmp-a-123456", ".kvtmp-a-12345!",
        "kelvw.cfg" };
    for (const auto& name : kept) {
        dir.write(name, "keep");
    }
    std::filesystem::create_directory(dir.file(".kvtmp-folder-ABCDEF"));
    EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 2);
    EXPECT_FALSE(PathTaken(dir.file(".kvtmp-kelvw.cfg-AbC123")));
    EXPECT_FALSE(PathTaken(dir.file(".kvtmp-07-03-26.log-x1y2z3")));
    for (const auto& name : kept) {
        EXPECT_EQ(dir.read(name), "keep") << name;
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file(".kvtmp-folder-ABCDEF")));
    EXPECT_EQ(RemoveStaleTemporaries(""), 0);
    EXPECT_EQ(RemoveStaleTemporaries(dir.file("no-such-folder")), 0);
}

TEST(ForeignText, ControlsBecomeSpacesAndWhatLatin1LacksBecomesAQuestionMark)
{
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        { "Needles", "Needles" }, { "two\r\nlines", "two  lines" }, { std::string("nul\0cut", 7), "nul cut" },
        { "tab\there\x7f", "tab here " }, { "caf\xc3\xa9 \xc2\xb0", "caf\xe9 \xb0" }, // é and ° are Latin-1
        { "C1\xc2\x85 next line", "C1  next line" }, // U+0085 is a control
        { "\xe2\x82\xac 5", "? 5" }, // €
        { "\xf0\x9f\x98\x80!", "?!" }, // an emoji
        { "bad\xff\xfe", "bad??" }, // not UTF-8 at all
        { "long\xc0\x80", "long??" }, // an over-long NUL is no character
        { "cut\xe2\x82", "cut??" }, // a sequence cut short
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedLayoutText(c.in), c.out) << c.in;
    }
}
