// Whole voyages through the built kvtool, compared with checked-in golden output, and the GPX
// export read back by GDAL's ogrinfo. KV_UPDATE_GOLDEN=1 rewrites the golden files.

#include "core/Real48.h"
#include "navigation/TrackLog.h"
#include "support/Golden.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string GoldenDir()
{
    return std::string(KV_SOURCE_DIR) + "/tests/navigation/golden/";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// Copies a voyage's input folder into a fresh working folder and sails it.
kvtest::ToolResult Sail(const kvtest::TempDir& work, const std::string& voyage, const std::string& options)
{
    fs::copy(GoldenDir() + voyage, work.path(), fs::copy_options::recursive);
    fs::remove(work.file("expected.jsonl"));
    return kvtest::RunKvtoolLine(
        "navigate '" + work.path() + "' '" + work.file("track.nmea") + "' " + options + " 2>/dev/null");
}

void CompareWithGolden(const std::string& voyage, const std::string& output)
{
    kvtest::ExpectGoldenLines("navigation/golden/" + voyage + "/expected.jsonl", output, "fix");
}

std::string Field(const std::string& line, const std::string& key)
{
    const std::regex re("\"" + key + "\":(\"(?:[^\"\\\\]|\\\\.)*\"|[^,}]*)");
    std::smatch m;
    return std::regex_search(line, m, re) ? m[1].str() : std::string("<missing>");
}

double StoredCount(const std::string& logPath)
{
    const std::string bytes = ReadFile(logPath);
    if (bytes.size() != kv::kTrackLogSize) {
        return -1.0;
    }
    return kv::real48ToDouble(reinterpret_cast<const std::uint8_t*>(bytes.data()) + kv::kTrackLogCountOffset);
}

} // namespace

TEST(NavigateVoyage, FourWaypointRouteWithArrivalsAndAdvance)
{
    kvtest::TempDir work;
    const kvtest::ToolResult r = Sail(work, "voyage_route", "--clock 2026-06-01T10:00:00 --voices");
    ASSERT_EQ(r.exitCode, 0);
    CompareWithGolden("voyage_route", r.out);

    // Independently of the golden: the route is sailed to its end, each waypoint in turn.
    const auto fixes = Lines(r.out);
    ASSERT_GE(fixes.size(), 20u);
    std::vector<std::string> order;
    for (const auto& f : fixes) {
        const std::string active = Field(f, "ActiveWaypoint");
        if (order.empty() || order.back() != active) {
            order.push_back(active);
        }
        EXPECT_EQ(Field(f, "FixSource"), "\"$GPGGA\"");
    }
    EXPECT_EQ(order, (std::vector<std::string> { "1", "2", "3", "4", "5" }));
    EXPECT_EQ(Field(fixes.back(), "StatusLine"), "\"Select Next Waypoint!\"");
    EXPECT_NE(r.out.find("\"Prompt\":\"\\\\approach.wav\""), std::string::npos);

    // The day's logs are in the working folder's log folder, the track holding every fix taken.
    EXPECT_EQ(StoredCount(work.file("logs/01-06-26.log")), std::stod(Field(fixes.back(), "LogCount")));
    EXPECT_EQ(ReadFile(work.file("logs/01-06-26.txt")).substr(0, 21), "Log Date : 01-06-26\r\n");
}

TEST(NavigateVoyage, DeadReckoningAcrossMidnight)
{
    kvtest::TempDir work;
    const kvtest::ToolResult r = Sail(work, "voyage_dr", "--clock 2026-06-01T23:55:00 --voices");
    ASSERT_EQ(r.exitCode, 0);
    CompareWithGolden("voyage_dr", r.out);

    const auto fixes = Lines(r.out);
    ASSERT_EQ(fixes.size(), 16u);
    for (const auto& f : fixes) {
        EXPECT_EQ(Field(f, "FixSource"), "\"DR\"");
    }
    // Six knots by the computer's clock, also over midnight; the track log follows the date.
    EXPECT_EQ(Field(fixes[7], "SpeedOG"), "\"6.00 Kn\"");
    EXPECT_TRUE(fs::exists(work.file("logs/01-06-26.log")));
    EXPECT_TRUE(fs::exists(work.file("logs/02-06-26.log")));
    EXPECT_FALSE(fs::exists(work.file("logs/02-06-26.txt"))); // the text log keeps the start date
}

TEST(NavigateVoyage, BadArguments)
{
    EXPECT_NE(kvtest::RunKvtoolLine("navigate 2>/dev/null").exitCode, 0);
    kvtest::TempDir work;
    EXPECT_NE(
        kvtest::RunKvtoolLine("navigate '" + work.path() + "' '" + work.file("none.nmea") + "' 2>/dev/null").exitCode,
        0);
    work.write("a.nmea", "");
    EXPECT_NE(kvtest::RunKvtoolLine("navigate '" + work.path() + "' '" + work.file("a.nmea")
                  + "' --clock 2026-13-01T00:00:00 2>/dev/null")
                  .exitCode,
        0);
    EXPECT_NE(
        kvtest::RunKvtoolLine("navigate '" + work.path() + "' '" + work.file("a.nmea") + "' --sentence VTG 2>/dev/null")
            .exitCode,
        0);
}

// The voyage starts as the program does, so a configured chart that is missing ends it before
// the first fix, with the program's message, and the configuration naming it is set aside.
TEST(NavigateVoyage, TheStartStopsWithoutTheConfiguredChart)
{
    kvtest::TempDir work;
    fs::copy(GoldenDir() + "voyage_route", work.path(), fs::copy_options::recursive);
    fs::remove(work.file("charts/solent.cht"));
    const kvtest::ToolResult r = kvtest::RunShell(
        "'" + kvtest::KvtoolPath() + "' navigate '" + work.path() + "' '" + work.file("track.nmea") + "' 2>&1");
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.out.find("Chart File solent not found in local chart directory."), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\"FixSource\""), std::string::npos) << "no fix may run";
    EXPECT_TRUE(fs::exists(work.file("kelvw.cfg.bak")));
}

TEST(LogGpx, OgrinfoReadsBackTheTrack)
{
    if (kvtest::RunShell("command -v ogrinfo >/dev/null 2>&1").exitCode != 0) {
        GTEST_SKIP() << "ogrinfo is not installed";
    }
    kvtest::TempDir work;
    kv::QuickLog log;
    const std::vector<kv::QuickLogRecord> records
        = { { 50.5, 1.25, 600.0 }, { 50.625, -0.5, 601.5 }, { -33.875, -151.25, 1439.75 }, { 0.0, 179.5, 0.0 } };
    for (const auto& r : records) {
        log.push(r);
    }
    work.write("07-03-26.log", kv::EncodeTrackLog(log));
    const kvtest::ToolResult gpx = kvtest::RunKvtoolLine("log-gpx '" + work.file("07-03-26.log") + "'");
    ASSERT_EQ(gpx.exitCode, 0);
    work.write("track.gpx", gpx.out);

    const kvtest::ToolResult info
        = kvtest::RunShell("ogrinfo -ro -al -q '" + work.file("track.gpx") + "' track_points 2>/dev/null");
    ASSERT_EQ(info.exitCode, 0);
    const std::regex point(R"(POINT \((-?[0-9.]+) (-?[0-9.]+)\))");
    std::vector<std::pair<double, double>> read;
    for (std::sregex_iterator it(info.out.begin(), info.out.end(), point), end; it != end; ++it) {
        read.emplace_back(std::stod((*it)[1].str()), std::stod((*it)[2].str()));
    }
    ASSERT_EQ(read.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_NEAR(read[i].first, -records[i].lon, 1e-7) << i; // east positive
        EXPECT_NEAR(read[i].second, records[i].lat, 1e-7) << i;
    }
    EXPECT_NE(info.out.find("2026/03/07 23:59:45"), std::string::npos);

    // A corrupt log is refused, not turned into a track.
    work.write("bad.log", std::string(1764, '\0') + std::string(6, '\xff'));
    EXPECT_NE(kvtest::RunKvtoolLine("log-gpx '" + work.file("bad.log") + "' 2>/dev/null").exitCode, 0);
}

// The voices start off, as in the program: the same voyages play no clip unless asked to.
TEST(NavigateVoyage, VoicesAreOffUnlessAskedFor)
{
    struct Case {
        const char* voyage;
        const char* clock;
    };
    for (const Case& c :
        { Case { "voyage_route", "2026-06-01T10:00:00" }, Case { "voyage_dr", "2026-06-01T23:55:00" } }) {
        for (const bool voices : { false, true }) {
            kvtest::TempDir work;
            const kvtest::ToolResult r
                = Sail(work, c.voyage, std::string("--clock ") + c.clock + (voices ? " --voices" : ""));
            ASSERT_EQ(r.exitCode, 0);
            int prompts = 0;
            for (const auto& f : Lines(r.out)) {
                prompts += Field(f, "Prompt") != "\"\"" ? 1 : 0;
            }
            EXPECT_EQ(prompts > 0, voices) << c.voyage << " voices " << voices;
        }
    }
}

TEST(NavigateVoyage, RmcSentencesAndAnEmptyRoute)
{
    kvtest::TempDir work;
    const kvtest::ToolResult r = Sail(work, "voyage_route", "--clock 2026-06-01T10:00:00 --sentence rmc");
    ASSERT_EQ(r.exitCode, 0);
    const auto fixes = Lines(r.out);
    EXPECT_EQ(fixes.size(), 31u); // every RMC line, the invalid GGA not among them
    for (const auto& f : fixes) {
        EXPECT_EQ(Field(f, "FixSource"), "\"$GPRMC\"");
    }

    // No waypoints and no chart configuration: fixes are still taken, with no leg to follow.
    kvtest::TempDir bare;
    fs::copy(GoldenDir() + "voyage_route", bare.path(), fs::copy_options::recursive);
    std::ofstream(bare.file("routes/fourlegs.rte"), std::ios::trunc).close();
    fs::remove(bare.file("charts/solent.cfg"));
    const kvtest::ToolResult b = kvtest::RunKvtoolLine(
        "navigate '" + bare.path() + "' '" + bare.file("track.nmea") + "' --clock 2026-06-01T10:00:00 2>/dev/null");
    ASSERT_EQ(b.exitCode, 0);
    const auto bareFixes = Lines(b.out);
    ASSERT_EQ(bareFixes.size(), 31u);
    EXPECT_EQ(Field(bareFixes.back(), "ActiveWaypoint"), "0");
    EXPECT_EQ(Field(bareFixes.back(), "OutputText"), "\"\"");
    EXPECT_EQ(Field(bareFixes.back(), "WaypointName"), "\"Select Next Waypoint !\"");
}

TEST(LogTools, RefuseWhatIsNoTrackLogAndGiveTimesOnlyForRealDates)
{
    kvtest::TempDir work;
    kv::QuickLog log;
    log.push({ 50.5, 1.25, 600.0 });
    const std::string image = kv::EncodeTrackLog(log);
    work.write("07-03-26.log", image);
    work.write("big.log", image + "x"); // one byte more than the layout holds
    std::filesystem::create_directory(work.file("dir.log"));
    ASSERT_EQ(::mkfifo(work.file("fifo.log").c_str(), 0600), 0);
    const auto run = [&](const std::string& command, const std::string& file) {
        return kvtest::RunShell("'" + kvtest::KvtoolPath() + "' " + command + " '" + work.file(file) + "' 2>&1");
    };
    for (const char* command : { "log-dump", "log-gpx" }) {
        EXPECT_EQ(run(command, "07-03-26.log").exitCode, 0) << command;
        const kvtest::ToolResult big = run(command, "big.log");
        EXPECT_NE(big.exitCode, 0) << command;
        EXPECT_NE(big.out.find("Error reading Log File! (" + work.file("big.log") + " is larger than 1792 bytes)"),
            std::string::npos)
            << big.out;
        for (const char* file : { "dir.log", "fifo.log" }) {
            // A clear refusal: a normal exit with status 1, no abort, no wait on the FIFO.
            EXPECT_EQ(run(command, file).exitCode, 1) << command << " " << file;
        }
    }

    const struct {
        const char* name;
        const char* time; // nullptr: no time at all
    } dates[] = {
        { "29-02-24.log", "<time>2024-02-29T10:00:00.000</time>" },
        { "31-12-99.log", "<time>2099-12-31T10:00:00.000</time>" },
        { "29-02-25.log", nullptr },
        { "31-02-26.log", nullptr },
        { "31-04-26.log", nullptr },
        { "00-01-26.log", nullptr },
        { "trip.log", nullptr },
    };
    for (const auto& d : dates) {
        work.write(d.name, image);
        const kvtest::ToolResult gpx
            = kvtest::RunShell("'" + kvtest::KvtoolPath() + "' log-gpx '" + work.file(d.name) + "' 2>/dev/null");
        ASSERT_EQ(gpx.exitCode, 0) << d.name;
        if (d.time != nullptr) {
            EXPECT_NE(gpx.out.find(d.time), std::string::npos) << d.name << gpx.out;
        } else {
            EXPECT_EQ(gpx.out.find("<time>"), std::string::npos) << d.name << gpx.out;
            EXPECT_NE(gpx.out.find("<trkpt"), std::string::npos) << d.name;
        }
    }
}
