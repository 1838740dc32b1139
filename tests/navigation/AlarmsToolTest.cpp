// Voyages written here sentence by sentence, replayed by the built `kvtool alarms`: the exact
// second each alarm starts and ends.

#include "ais/AisEncoder.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Checksummed(const std::string& body)
{
    unsigned x = 0;
    for (char c : body.substr(1)) {
        x ^= static_cast<unsigned char>(c);
    }
    char cs[8];
    std::snprintf(cs, sizeof cs, "*%02X", x);
    return body + cs;
}

// An RMC sentence at `seconds` of the day; longitude west positive.
std::string Rmc(int seconds, double lat, double lonW, bool valid = true)
{
    seconds %= 86400;
    char body[160];
    const double alat = std::fabs(lat), alon = std::fabs(lonW);
    std::snprintf(body, sizeof body, "$GPRMC,%02d%02d%02d,%c,%02d%07.4f,%c,%03d%07.4f,%c,0.0,0.0,091226,,",
        seconds / 3600, seconds / 60 % 60, seconds % 60, valid ? 'A' : 'V', static_cast<int>(alat),
        (alat - std::floor(alat)) * 60, lat >= 0 ? 'N' : 'S', static_cast<int>(alon), (alon - std::floor(alon)) * 60,
        lonW >= 0 ? 'W' : 'E');
    return Checksummed(body);
}

// A class A position report: position in degrees (longitude west positive), speed and course.
std::string Ais(long long mmsi, double lat, double lonW, double sogKn, double cogDeg)
{
    kv::AisBitWriter w;
    w.put(1, 6);
    w.put(0, 2);
    w.put(mmsi, 30);
    w.put(0, 4);
    w.put(-128, 8);
    w.put(std::lround(sogKn * 10), 10);
    w.put(0, 1);
    w.put(std::llround(-lonW * 600000.0), 28);
    w.put(std::llround(lat * 600000.0), 27);
    w.put(std::lround(cogDeg * 10), 12);
    w.put(511, 9);
    w.put(0, 6);
    w.put(0, 4);
    w.put(0, 1);
    w.put(0, 1);
    w.put(0, 19);
    return kv::AisSentences(w.armoured(), 0, "")[0];
}

struct Replay {
    int exitCode = -1;
    std::vector<std::string> lines;
};

Replay Alarms(const std::vector<std::string>& voyage, std::vector<std::string> options)
{
    kvtest::TempDir dir;
    const std::string file = dir.file("voyage.nmea");
    {
        std::ofstream out(file, std::ios::binary);
        for (const std::string& s : voyage) {
            out << s << "\r\n";
        }
    }
    options.insert(options.begin(), { "alarms", file });
    const kvtest::ToolResult r = kvtest::RunKvtool(options);
    Replay out;
    out.exitCode = r.exitCode;
    std::size_t start = 0;
    while (start < r.out.size()) {
        const std::size_t nl = r.out.find('\n', start);
        out.lines.push_back(r.out.substr(start, nl - start));
        start = nl == std::string::npos ? r.out.size() : nl + 1;
    }
    return out;
}

constexpr int kNoon = 12 * 3600;
constexpr double kMetre = 1.0 / 1852.0 / 60.0; // degrees of latitude

TEST(AlarmsTool, GpsLostAtTheLimitAndBackWithTheFirstValidFix)
{
    std::vector<std::string> voyage;
    for (int s = 0; s <= 5; ++s) {
        voyage.push_back(Rmc(kNoon + s, 50.0, 1.0));
    }
    for (int s = 6; s <= 20; ++s) {
        voyage.push_back(Rmc(kNoon + s, 0, 0, false)); // the receiver talks but has no fix
    }
    voyage.push_back(Rmc(kNoon + 21, 50.0, 1.0));
    // Then silence for a minute: the alarm starts when the time ran out, not at the next sentence.
    voyage.push_back(Rmc(kNoon + 81, 50.0, 1.0));

    const Replay ten = Alarms(voyage, {});
    ASSERT_EQ(ten.exitCode, 0);
    EXPECT_EQ(ten.lines,
        (std::vector<std::string> { "12:00:15\tSTART\tgps-lost\tGPS fix lost", "12:00:21\tEND\tgps-lost\tGPS fix lost",
            "12:00:31\tSTART\tgps-lost\tGPS fix lost", "12:01:21\tEND\tgps-lost\tGPS fix lost" }));
    const Replay twenty = Alarms(voyage, { "--gps-lost", "20" });
    EXPECT_EQ(twenty.lines,
        (std::vector<std::string> {
            "12:00:41\tSTART\tgps-lost\tGPS fix lost", "12:01:21\tEND\tgps-lost\tGPS fix lost" }));
    EXPECT_TRUE(Alarms(voyage, { "--gps-lost", "0" }).lines.empty());
}

TEST(AlarmsTool, AnchorDragWhileOutsideTheCircle)
{
    // Drifting north from the anchor 12 m a minute, then pulled back in.
    std::vector<std::string> voyage;
    const int metres[] = { 0, 12, 24, 36, 48, 24, 0 };
    voyage.reserve(7);
    for (int k = 0; k < 7; ++k) {
        voyage.push_back(Rmc(3600 + 60 * k, 50.0 + metres[k] * kMetre, 1.0));
    }
    const Replay r = Alarms(voyage, { "--gps-lost", "0", "--anchor", "50.0", "1.0", "30" });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines,
        (std::vector<std::string> { "01:03:00\tSTART\tanchor-drag\tAnchor drag: 36 m from the anchor (circle 30 m)",
            "01:05:00\tEND\tanchor-drag\tAnchor drag: 48 m from the anchor (circle 30 m)" }));
    // A wider circle holds the whole drift.
    EXPECT_TRUE(Alarms(voyage, { "--gps-lost", "0", "--anchor", "50.0", "1.0", "50" }).lines.empty());
    // A radius outside 10 to 500 m is refused.
    EXPECT_EQ(Alarms(voyage, { "--anchor", "50.0", "1.0", "5" }).exitCode, 2);
    EXPECT_EQ(Alarms(voyage, { "--anchor", "95.0", "1.0", "30" }).exitCode, 2);
}

TEST(AlarmsTool, ArrivalLastsWhileInsideTheWaypointsCircle)
{
    // North at 6 knots (0.1 Nm a minute) through WP1 0.57 Nm ahead, on towards WP2.
    std::vector<std::string> voyage;
    const double start = 50.0 - 0.57 / 60.0;
    for (int k = 0; k <= 9; ++k) {
        voyage.push_back(Rmc(23 * 3600 + 58 * 60 + 60 * k, start + k * 0.1 / 60.0, 1.0));
    }
    const Replay r = Alarms(voyage,
        { "--gps-lost", "0", "--waypoint", "WP1", "50.0", "1.0", "--waypoint", "WP2", "50.1", "1.0", "--arrival",
            "0.2" });
    ASSERT_EQ(r.exitCode, 0);
    // Past midnight on the way: the times run on.
    EXPECT_EQ(r.lines,
        (std::vector<std::string> {
            "00:02:00\tSTART\tarrival\tArrival at WP1", "00:06:00\tEND\tarrival\tArrival at WP1" }));
}

TEST(AlarmsTool, CrossingTargetOneAlarmPerEncounter)
{
    // Own ship north at 6 knots; the target 1 Nm north and 1 Nm east, west at 6 knots: they
    // meet after 10 minutes. Each minute a fix, then the target's report.
    const double cosLat = std::cos(50.0 * kPi / 180.0);
    std::vector<std::string> voyage;
    for (int k = 0; k <= 14; ++k) {
        voyage.push_back(Rmc(6 * 3600 + 60 * k, 50.0 + k * 0.1 / 60.0, 1.0));
        voyage.push_back(Ais(235000001, 50.0 + 1.0 / 60.0, 1.0 - (1.0 - 0.1 * k) / 60.0 / cosLat, 6.0, 270.0));
    }
    const Replay r = Alarms(voyage, { "--gps-lost", "0" });
    ASSERT_EQ(r.exitCode, 0);
    // Dangerous from the second fix, when own ship's motion is known (judged then against the
    // report a minute old); over at the first judgement after the closest point is past.
    EXPECT_EQ(r.lines,
        (std::vector<std::string> { "06:01:00\tSTART\tdangerous-target\tDanger CPA 0.07nm in 9.5min 235000001",
            "06:11:00\tEND\tdangerous-target\tDanger CPA 0.07nm in 9.5min 235000001" }));
    // A TCPA limit of 4.5 minutes starts it later.
    const Replay late = Alarms(voyage, { "--gps-lost", "0", "--tcpa", "4.5" });
    EXPECT_EQ(late.lines,
        (std::vector<std::string> { "06:06:00\tSTART\tdangerous-target\tDanger CPA 0.07nm in 4.5min 235000001",
            "06:11:00\tEND\tdangerous-target\tDanger CPA 0.07nm in 4.5min 235000001" }));
}

TEST(AlarmsTool, BadArgumentsAndUnreadableFile)
{
    EXPECT_EQ(kvtest::RunKvtool({ "alarms" }).exitCode, 2);
    EXPECT_EQ(kvtest::RunKvtool({ "alarms", "/nonexistent/voyage.nmea" }).exitCode, 1);
    EXPECT_EQ(Alarms({}, { "--gps-lost", "x" }).exitCode, 2);
    // Garbage lines are passed over.
    const Replay r = Alarms({ "$GPRMC,garbage*00", "!AIVDM,1,1,,A,zzzz,0*00", "\x01\x02" }, {});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.lines.empty());
}

} // namespace
