// Working folders as a damaged disc, another program or a careless copy leaves them: the program
// starts, runs its first tick and quits on each, says what is wrong in words, and loses no file
// the user had.

#include "app/MainController.h"
#include "charts/ChartFiles.h"
#include "core/Config.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "platform/fake/Fakes.h"
#include "support/ConfigFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace kv;

class NoWindow final : public MainWindowHooks {
public:
    int activeViewIndex() const override { return -1; }
    void endProgram() override { ended = true; }
    bool ended = false;
};

// A working folder (its name given, below a fresh temporary folder) with the world chart.
struct Program {
    explicit Program(const std::string& name = "work")
        : folder(dir.file(name))
    {
        for (const char* sub : { "charts", "routes", "tides", "logs" }) {
            fs::create_directories(folder + "/" + sub);
        }
        writeChart("world", { ChartPoint::make(50.0, 1.0), ChartPoint::make(50.5, 1.5), ChartPoint::penUp() });
    }
    void writeChart(const std::string& name, const std::vector<ChartPoint>& points)
    {
        write("charts/" + name + ".cht", ChartRecordBytes(points));
        ChartConfig config;
        config.centreLat = 50.0;
        config.centreLong = 1.0;
        config.zoom = 1.0;
        WriteChartConfigFile(file("charts/" + name + ".cfg"), config);
    }
    std::string file(const std::string& name) const { return folder + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const
    {
        fs::create_directories(fs::path(file(name)).parent_path());
        ASSERT_TRUE(WriteFileAtomic(file(name), bytes));
    }
    void config(const std::function<void(ProgramState&, Settings&)>& edit) const
    {
        ProgramState records;
        ApplyConfigDefaults(records.fixInfo, records.chartRef, records.folders, records.settings);
        records.folders.LogDir = folder + "/logs/";
        records.folders.ChartDir = folder + "/charts/";
        edit(records, records.settings);
        ASSERT_TRUE(
            WriteConfig(file(kConfigFileName), records.fixInfo, records.chartRef, records.folders, records.settings));
    }
    // Start, first tick, quit.
    void run()
    {
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(folder, "");
        startStatus = state.display.StatusLine;
        controller->SecsTimerTimer();
        if (!window.ended) {
            controller->FormCloseQuery();
        }
    }
    bool anyMessageHas(const std::string& part) const
    {
        for (const auto& m : fakes.prompter.messages) {
            if (m.text.find(part) != std::string::npos) {
                return true;
            }
        }
        return state.display.StatusLine.find(part) != std::string::npos || startStatus.find(part) != std::string::npos;
    }
    // Some file of the working folder (any name) holds exactly these bytes.
    bool kept(const std::string& bytes) const
    {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file() && ReadWholeFile(entry.path().string()) == bytes) {
                return true;
            }
        }
        return false;
    }

    kvtest::TempDir dir;
    std::string folder;
    ProgramState state;
    FakePlatform fakes;
    NoWindow window;
    std::unique_ptr<MainController> controller;
    std::string startStatus; // the status line the start left, before the first tick
};

std::string Garbage(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (auto& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

TEST(HostileFolder, StartsTicksAndQuitsWithAClearMessageAndKeepsTheUsersFiles)
{
    struct Case {
        const char* name;
        std::function<void(Program&)> prepare;
        std::function<void(Program&)> check;
        std::string folderName = "work";
    };
    const std::string binary = Garbage(3000, 7) + std::string("\0\r\n\0", 4);
    const std::string damagedLog = Garbage(1000, 3);
    const std::vector<Case> cases = {
        { "binary kelvw.cfg", [&](Program& p) { p.write(kConfigFileName, binary); },
            [&](Program& p) {
                // Its first line names no chart there is: the file is set aside, never lost.
                EXPECT_TRUE(p.kept(binary));
                EXPECT_TRUE(p.anyMessageHas(kConfigKeptAs));
            } },
        { "kelvw.cfg naming folders that are not there",
            [](Program& p) {
                p.config([&](ProgramState& nav, Settings&) {
                    nav.folders.LogDir = p.folder + "/gone/logs/";
                    nav.folders.ChartDir = p.folder + "/gone/charts/";
                    nav.folders.ChartName = "world";
                });
            },
            [](Program& p) {
                EXPECT_TRUE(p.anyMessageHas("not found in local chart directory"));
                EXPECT_TRUE(p.anyMessageHas(kConfigKeptAs));
            } },
        { "chart folder that is a file",
            [](Program& p) {
                fs::remove_all(p.file("charts"));
                p.write("charts", "not a folder");
            },
            [](Program& p) {
                EXPECT_EQ(ReadWholeFile(p.file("charts")), "not a folder");
                EXPECT_TRUE(p.anyMessageHas("not found in local chart directory"));
            } },
        { "names with spaces and non-ASCII characters",
            [](Program& p) {
                p.writeChart("harbour approach",
                    { ChartPoint::make(50.0, 1.0), ChartPoint::make(50.1, 1.1), ChartPoint::make(50.2, 1.2),
                        ChartPoint::penUp() });
                p.config([](ProgramState& nav, Settings&) { nav.folders.ChartName = "harbour approach"; });
            },
            [](Program& p) {
                EXPECT_FALSE(p.window.ended);
                EXPECT_EQ(p.state.chart.count(), 3);
                ProgramState nav;
                ASSERT_TRUE(ReadConfig(p.file(kConfigFileName), nav.fixInfo, nav.chartRef, nav.folders, nav.settings));
                EXPECT_EQ(nav.folders.ChartName, "harbour approach");
                EXPECT_EQ(nav.folders.ChartDir.str(), p.folder + "/charts/");
            },
            "Bateau \xc3\xa9t\xc3\xa9 & co" },
        { "2 GB chart file (sparse)",
            [](Program& p) {
                const std::string chart = p.file("charts/world.cht");
                ASSERT_EQ(::truncate(chart.c_str(), 2LL * 1024 * 1024 * 1024), 0);
            },
            [](Program& p) {
                EXPECT_FALSE(p.window.ended);
                EXPECT_EQ(p.state.chart.count(), static_cast<int>(kChartCapacity));
                EXPECT_TRUE(p.anyMessageHas(kChartStoreFullChart));
                EXPECT_EQ(FileSize(p.file("charts/world.cht")), 2ULL * 1024 * 1024 * 1024);
            } },
        { "track log whose size is not a multiple of its record",
            [&](Program& p) { p.write("logs/08-12-26.log", damagedLog); },
            [&](Program& p) {
                EXPECT_TRUE(p.anyMessageHas(kDamagedLogKept));
                EXPECT_TRUE(p.kept(damagedLog));
            } },
        { "vessel database cut inside a record",
            [](Program& p) { p.write("KVAIS.ADB", std::string(kTAISTargetSize + 100, '\0')); },
            [](Program& p) {
                EXPECT_FALSE(p.window.ended);
                EXPECT_EQ(p.state.ais.AISDatabaseCount, 1);
                EXPECT_EQ(FileSize(p.file("KVAIS.ADB")), kTAISTargetSize + 100);
            } },
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.name);
        Program p(tc.folderName);
        tc.prepare(p);
        p.run();
        tc.check(p);
    }
}

// A file the program can not open for reading (mode 000) is said so and left alone. Root reads
// every file whatever its mode, so the program runs as an ordinary user in a child.
TEST(HostileFolder, UnreadableConfigurationAndChart)
{
    for (const char* name : { kConfigFileName, "charts/world.cht" }) {
        SCOPED_TRACE(name);
        Program p;
        if (std::string(name) == kConfigFileName) {
            p.config([](ProgramState& nav, Settings&) { nav.settings.nmea.BaudRate = 4800; });
        }
        const std::string path = p.file(name);
        const std::string before = ReadWholeFile(path).value_or("");
        ASSERT_EQ(::chmod(path.c_str(), 0), 0);
        const bool root = ::geteuid() == 0;
        if (root) {
            // Everything above the file must be open to the ordinary user.
            for (fs::path f = p.folder; f.string().size() > 1; f = f.parent_path()) {
                fs::permissions(f, fs::perms::others_read | fs::perms::others_exec | fs::perms::others_write,
                    fs::perm_options::add);
                if (f == fs::path(p.dir.path())) {
                    break;
                }
            }
            for (const auto& e : fs::recursive_directory_iterator(p.folder)) {
                if (e.is_directory()) {
                    fs::permissions(e.path(), fs::perms::all, fs::perm_options::add);
                }
            }
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                ::_exit(90);
            }
            if (::open(path.c_str(), O_RDONLY) >= 0) {
                ::_exit(91); // the mode is not enforced here: nothing to learn
            }
            p.run();
            const bool said = p.anyMessageHas("Permission denied") || p.anyMessageHas("not found");
            ::_exit(said ? 0 : 92);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "the program died: status " << status;
        if (WEXITSTATUS(status) == 91) {
            GTEST_SKIP() << "file modes are not enforced for this user";
        }
        EXPECT_EQ(WEXITSTATUS(status), 0);
        ::chmod(path.c_str(), 0644);
        // The unreadable file is there as it was, wherever the start moved it.
        EXPECT_TRUE(p.kept(before));
    }
}

// A full disc (a file-size limit of zero, with the signal a limit raises ignored as a full disc
// raises none): each write path fails with its message, the old file stays whole, and no
// temporary stays behind.
TEST(HostileFolder, FullDiscDuringEveryWritePathKeepsTheOldFiles)
{
    struct WriteCase {
        const char* kind;
        std::vector<std::string> files;
        const char* message; // the program's own text
    };
    const WriteCase cases[] = {
        { "config", { "kelvw.cfg" }, "write 0 of config failed" },
        { "chart", { "harbour.cht" }, kErrorWritingChart },
        { "waypoints", { "harbour.wpt" }, "write 0 of waypoints failed" },
        { "route", { "passage.rte" }, "Error writing route file!" },
        { "tracklog", { "08-12-26.log" }, kLogWriteError },
        { "aisdb", { "KVAIS.ADB" }, "write 0 of aisdb failed" },
        { "textlog", { "08-12-26.txt" }, kTextLogWriteError },
    };
    for (const WriteCase& tc : cases) {
        SCOPED_TRACE(tc.kind);
        kvtest::TempDir dir;
        ASSERT_EQ(kvtest::RunKvtool({ "write-loop", tc.kind, dir.path(), "1" }).exitCode, 0);
        std::vector<std::string> before;
        for (const auto& f : tc.files) {
            before.push_back(dir.read(f));
            ASSERT_FALSE(before.back().empty());
        }
        const std::string command = "ulimit -f 0; trap '' XFSZ; exec " + kvtest::ShellQuote(kvtest::KvtoolPath())
            + " write-loop " + tc.kind + " " + kvtest::ShellQuote(dir.path()) + " 2 2>&1";
        const auto result = kvtest::RunShell("bash -c " + kvtest::ShellQuote(command));
        EXPECT_EQ(result.exitCode, 1) << result.out;
        EXPECT_NE(result.out.find(tc.message), std::string::npos) << result.out;
        for (std::size_t i = 0; i < tc.files.size(); ++i) {
            EXPECT_EQ(dir.read(tc.files[i]), before[i]) << tc.files[i];
        }
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            EXPECT_FALSE(IsAtomicWriteTemporary(entry.path().filename().string())) << entry.path();
        }
    }
}

} // namespace
