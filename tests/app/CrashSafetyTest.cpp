// Crash safety by experiment: each file write path of the program runs in a child (kvtool
// write-loop) that is killed with SIGKILL at a random moment; every file must then be the
// complete old or complete new version (appends: whole records and whole lines), no temporary
// may be left once the start-up clean-up has run, and the readers must take the result.
//
// KV_CRASH_KILLS sets the number of kills over all paths (default 35; the full experiment is
// KV_CRASH_KILLS=1000).

#include "ais/AisDatabase.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "charts/WaypointFiles.h"
#include "core/Config.h"
#include "core/TextFile.h"
#include "navigation/TrackLog.h"
#include "raster/ImageReference.h"

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string_view>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct WritePath {
    std::string kind;
    std::vector<std::string> files;
    std::size_t appendRecord = 0; // rewrite: 0; append of fixed records: their size
    bool appendLines = false;
};

const std::vector<WritePath> kPaths = {
    { "config", { "kelvw.cfg" } },
    { "chart", { "harbour.cht", "harbour.cfg", "harbour.wpt" } },
    { "waypoints", { "harbour.wpt" } },
    { "route", { "passage.rte" } },
    { "tracklog", { "08-12-26.log" } },
    { "aisdb", { "KVAIS.ADB" }, kv::kTAISTargetSize },
    { "textlog", { "08-12-26.txt" }, 0, true },
    { "ref", { "plan.ref" } },
};

int TotalKills()
{
    const char* env = std::getenv("KV_CRASH_KILLS");
    return env != nullptr && std::atoi(env) > 0 ? std::atoi(env) : 35;
}

// Runs the write loop to the end (count > 0) in folder; false when it failed.
bool RunLoop(const std::string& kind, const std::string& folder, long count)
{
    return kvtest::RunKvtool({ "write-loop", kind, folder, std::to_string(count) }).exitCode == 0;
}

struct Outcome {
    bool killed = false;
    std::string problem;
};

// Starts the endless loop, waits for "ready", lets it write for `delay`, kills it.
Outcome KillDuringLoop(const std::string& kind, const std::string& folder, std::chrono::microseconds delay)
{
    Outcome outcome;
    int out[2];
    if (::pipe(out) != 0) {
        outcome.problem = "no pipe";
        return outcome;
    }
    const std::string tool = kvtest::KvtoolPath();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(tool.c_str(), tool.c_str(), "write-loop", kind.c_str(), folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    char ready[6] = {};
    std::size_t got = 0;
    while (got < sizeof ready) {
        const ssize_t n = ::read(out[0], ready + got, sizeof ready - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    if (got == sizeof ready) {
        std::this_thread::sleep_for(delay);
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    outcome.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    if (!outcome.killed) {
        outcome.problem = "the write loop ended by itself (status " + std::to_string(status) + ")";
    }
    return outcome;
}

std::vector<std::string> Records(const std::string& bytes, std::size_t size)
{
    std::vector<std::string> out;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
        out.push_back(bytes.substr(at, size));
    }
    return out;
}

struct AppendCheck {
    int whole = 0;
    bool tornTail = false;
    int tornKept = 0;
    int bad = 0;
};

bool StartsSomeUnit(std::string_view piece, const std::set<std::string>& units, std::string_view ending = {})
{
    for (const auto& u : units) {
        const std::string full = u + std::string(ending);
        if (full.size() > piece.size() && full.compare(0, piece.size(), piece) == 0) {
            return true;
        }
    }
    return false;
}

// Whole records of the reference only; at the end, the start of one. The next append cuts such a
// piece off, so a record made of the start of one and anything else is damage.
AppendCheck CheckRecords(const std::string& bytes, std::size_t size, const std::set<std::string>& units)
{
    AppendCheck c;
    for (const auto& r : Records(bytes, size)) {
        if (units.count(r) > 0) {
            ++c.whole;
        } else {
            ++c.bad;
        }
    }
    const std::string_view tail = std::string_view(bytes).substr(bytes.size() - bytes.size() % size);
    if (!tail.empty()) {
        c.tornTail = true;
        c.bad += StartsSomeUnit(tail, units) ? 0 : 1;
    }
    return c;
}

// Whole lines of the reference; a line that is the start of one (closed by a later append); at
// the end, the start of a line.
AppendCheck CheckLines(const std::string& bytes, const std::set<std::string>& units)
{
    AppendCheck c;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const auto end = rest.find("\r\n");
        if (end == std::string_view::npos) {
            c.tornTail = true;
            c.bad += StartsSomeUnit(rest, units, "\r\n") ? 0 : 1;
            break;
        }
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end + 2);
        if (units.count(std::string(line)) > 0) {
            ++c.whole;
            continue;
        }
        // The piece a kill left, closed by the next append ("\r" of a line cut between its CR
        // and LF stays on it).
        const bool piece = StartsSomeUnit(line, units, "\r\n");
        c.tornKept += piece ? 1 : 0;
        c.bad += piece ? 0 : 1;
    }
    return c;
}

std::vector<std::string> Temporaries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (kv::IsAtomicWriteTemporary(entry.path().filename().string())) {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}

// What the program's readers say of the files of one path; "" when they take them.
std::string ReadersProblem(const WritePath& path, const std::string& folder)
{
    const auto file = [&](const std::string& name) { return folder + name; };
    if (path.kind == "config") {
        kv::ProgramState records;
        return kv::ReadConfig(file("kelvw.cfg"), records.fixInfo, records.chartRef, records.folders, records.settings)
            ? ""
            : "configuration not read";
    }
    if (path.kind == "chart" || path.kind == "waypoints") {
        if (path.kind == "chart") {
            const auto records = kv::ReadChartRecords(file("harbour.cht"));
            if (!records.opened || records.partial || records.records.size() != 6) {
                return "chart records not whole";
            }
            if (!kv::ReadChartConfigFile(file("harbour.cfg"))) {
                return "chart configuration not read";
            }
        }
        kv::ChartWaypoints waypoints;
        bool formatError = false;
        if (!kv::ReadWaypointFile(file("harbour.wpt"), kv::PositionLayout::Wpt, waypoints, formatError) || formatError
            || waypoints.count() != 2) {
            return "waypoint database not read whole";
        }
        return "";
    }
    if (path.kind == "route") {
        const auto lines = kv::ReadTextLines(file("passage.rte"));
        if (!lines || lines->size() < 5) {
            return "route not read whole";
        }
        for (const auto& line : *lines) {
            if (kv::ParsePositionLine(line, kv::PositionLayout::Wpt).formatError) {
                return "route line damaged: " + line;
            }
        }
        return "";
    }
    if (path.kind == "tracklog") {
        const auto bytes = kv::ReadWholeFile(file("08-12-26.log"));
        const auto image = bytes ? kv::DecodeTrackLog(*bytes) : kv::TrackLogImage {};
        return bytes && image.count && (*image.count == 5 || *image.count == 6) ? "" : "track log not read";
    }
    if (path.kind == "aisdb") {
        const auto count = kv::CountAisDatabase(file("KVAIS.ADB"));
        const auto size = kv::FileSize(file("KVAIS.ADB"));
        // Only whole records count.
        return count && size && static_cast<unsigned long long>(*count) == *size / kv::kTAISTargetSize
            ? ""
            : "vessel database count is not its whole records";
    }
    if (path.kind == "textlog") {
        return kv::ReadTextLines(file("08-12-26.txt")) ? "" : "text log not read";
    }
    if (path.kind == "ref") {
        const auto read = kv::raster::ReadRefFile(file("plan.ref"));
        return read.status == kv::raster::RefRead::Read ? "" : "image reference not read: " + read.problem;
    }
    return "no reader for " + path.kind;
}

struct Tally {
    int kills = 0;
    int oldOrNew[2] = { 0, 0 }; // rewrites: files found as version 0 / version 1
    int appendedUnits = 0; // appends: records or lines found whole
    int tornAtKill = 0; // appends: kills that left the start of a record or line at the end
    int tornKept = 0; // appends: such pieces kept as units of their own by later appends
    int temporariesSeen = 0; // temporaries found before the clean-up (one interrupted rewrite each)
    int corrupt = 0;
};

class CrashSafety : public ::testing::TestWithParam<std::size_t> { };

TEST_P(CrashSafety, EveryKillLeavesOldOrNewFilesAndNoTemporaries)
{
    const std::size_t index = GetParam();
    const WritePath& path = kPaths[index];
    const int total = TotalKills();
    const int kills = static_cast<int>(total * (index + 1) / kPaths.size() - total * index / kPaths.size());

    kvtest::TempDir dir;
    const std::string refA = dir.path() + "/ref-a/", refB = dir.path() + "/ref-b/", work = dir.path() + "/work/";
    for (const auto& f : { refA, refB, work }) {
        fs::create_directories(f);
    }
    // Uninterrupted runs give the versions a killed run may leave: after one write and after two,
    // or, for appends, every record and line a run writes.
    const bool append = path.appendRecord > 0 || path.appendLines;
    ASSERT_TRUE(RunLoop(path.kind, refA, append ? 1000 : 1));
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunLoop(path.kind, refB, 2));
    // Kills spread over about three writes, wherever the disc makes them slow or fast.
    const auto perWrite
        = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started) / 2;
    std::map<std::string, std::string> versionA, versionB;
    for (const auto& f : path.files) {
        versionA[f] = kv::ReadWholeFile(refA + f).value_or("");
        versionB[f] = kv::ReadWholeFile(refB + f).value_or("");
        ASSERT_FALSE(versionA[f].empty()) << f;
        if (!append) {
            ASSERT_NE(versionA[f], versionB[f]) << f << ": the two versions must differ to tell them apart";
        }
    }
    std::set<std::string> units; // every whole record or line an append may leave
    if (path.appendRecord > 0) {
        for (const auto& r : Records(versionA[path.files[0]], path.appendRecord)) {
            units.insert(r);
        }
    } else if (path.appendLines) {
        for (const auto& line : kv::SplitLines(versionA[path.files[0]])) {
            units.insert(line);
        }
    }
    // The old version is there before the first kill.
    ASSERT_TRUE(RunLoop(path.kind, work, 1));

    std::mt19937 random(static_cast<unsigned>(1234 + index));
    // Appends take microseconds each, so a few milliseconds hold thousands of them.
    const long longest = append ? 5000 : std::max<long>(3000, 3 * static_cast<long>(perWrite.count()));
    std::uniform_int_distribution<long> delayUs(0, longest);
    Tally tally;
    for (int k = 0; k < kills; ++k) {
        const Outcome outcome = KillDuringLoop(path.kind, work, std::chrono::microseconds(delayUs(random)));
        ASSERT_TRUE(outcome.killed) << outcome.problem;
        ++tally.kills;

        for (const auto& f : path.files) {
            const std::string bytes = kv::ReadWholeFile(work + f).value_or("");
            if (!append) {
                const bool isOld = bytes == versionA[f];
                const bool isNew = bytes == versionB[f];
                tally.oldOrNew[isNew ? 1 : 0] += isOld || isNew;
                if (!isOld && !isNew) {
                    ++tally.corrupt;
                    ADD_FAILURE() << path.kind << " kill " << k << ": " << f << " is neither version (" << bytes.size()
                                  << " bytes)";
                }
                continue;
            }
            // A kill can stop the kernel in the middle of an append (a write that crosses a page
            // of the file is copied page by page), leaving the start of one record or line at the
            // end of the file. The readers take only what is whole; the next append of records
            // cuts the piece off, the next append of lines keeps it as a line of its own.
            const AppendCheck check
                = path.appendRecord > 0 ? CheckRecords(bytes, path.appendRecord, units) : CheckLines(bytes, units);
            tally.appendedUnits = check.whole;
            tally.tornAtKill += check.tornTail ? 1 : 0;
            tally.tornKept = check.tornKept;
            if (check.bad > 0) {
                ++tally.corrupt;
                ADD_FAILURE() << path.kind << " kill " << k << ": " << f << " holds " << check.bad
                              << " damaged records or lines";
            }
            // A long experiment would grow the file without end: it is cut back to its first
            // whole units, which is a state the program could have left too.
            if (bytes.size() > (1u << 20)) {
                const std::size_t keep
                    = path.appendRecord > 0 ? 100 * path.appendRecord : bytes.find("\r\n", 1u << 16) + 2;
                ASSERT_EQ(::truncate((work + f).c_str(), static_cast<off_t>(keep)), 0);
            }
        }
        // At most the one rewrite the kill interrupted leaves a temporary, and the start-up's
        // clean-up removes it.
        const auto temporaries = Temporaries(work);
        EXPECT_LE(temporaries.size(), 1u) << path.kind << " kill " << k;
        tally.temporariesSeen += static_cast<int>(temporaries.size());
        kv::RemoveStaleTemporaries(work);
        EXPECT_TRUE(Temporaries(work).empty()) << path.kind << " kill " << k;

        const std::string problem = ReadersProblem(path, work);
        EXPECT_EQ(problem, "") << path.kind << " kill " << k;
    }
    std::printf("crash-safety %-9s kills %4d  old %4d  new %4d  whole-units %5d  torn-at-kill %3d  torn-kept %3d  "
                "temporaries-removed %3d  corrupt %d\n",
        path.kind.c_str(), tally.kills, tally.oldOrNew[0], tally.oldOrNew[1], tally.appendedUnits, tally.tornAtKill,
        tally.tornKept, tally.temporariesSeen, tally.corrupt);
    EXPECT_EQ(tally.corrupt, 0);
}

INSTANTIATE_TEST_SUITE_P(WritePaths, CrashSafety, ::testing::Range<std::size_t>(0, kPaths.size()),
    [](const ::testing::TestParamInfo<std::size_t>& info) { return kPaths[info.param].kind; });

} // namespace
