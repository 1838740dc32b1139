// The autopilot sentences as a reader nobody here wrote sees them: a voyage is replayed through
// the program with every output sentence switched on, the route is sent as a waypoint list, and
// everything written to the link goes through the Signal K project's NMEA 0183 parser
// (@signalk/nmea0183-signalk, installed from the npm registry by signalk_parser.sh) with checksum
// validation on. What it reads must match the program's own values and a computation of the
// voyage's geometry made here from the track and the route alone.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "nmea/Talkers.h"
#include "nmea/Templates.h"
#include "nmea/WaypointTransfer.h"
#include "platform/fake/Fakes.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr double kRefLat = 50.7;
constexpr double kRefLon = 1.3; // west positive
constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kMetresPerNm = 1852.0;
constexpr double kArrivalRadius = 0.2; // nm, the golden voyage's configuration

struct Point {
    double north, east; // nm from the reference position
};

double LatOf(Point p)
{
    return kRefLat + p.north / 60.0;
}
double LonOf(Point p)
{
    return kRefLon - p.east / (60.0 * std::cos(kRefLat * kRad));
}

// A route file line: label in 24 characters, symbol "19", then the position in degrees and minutes.
std::string RouteLine(const std::string& name, Point p)
{
    auto part = [](double v) {
        const double a = std::fabs(v);
        const int d = static_cast<int>(a);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%3d.%8.5f", d, (a - d) * 60.0);
        return std::string(buf);
    };
    char label[32];
    std::snprintf(label, sizeof label, "%-24s19   ", name.c_str());
    std::string line = std::string(label) + "N" + part(LatOf(p)) + "  W" + part(LonOf(p));
    for (std::size_t i = 31; i < line.size(); ++i) {
        if (line[i] == ' ' && (i < 42 || i > 44)) {
            line[i] = '0';
        }
    }
    return line;
}

std::string Checksummed(const std::string& body)
{
    return "$" + body + kv::NMEAChecksum("$" + body);
}

std::string Rmc(int minute, Point p, int variationEast)
{
    const double lat = LatOf(p), lon = LonOf(p);
    char body[128];
    std::snprintf(body, sizeof body, "GPRMC,%02d%02d00,A,%02d%07.4f,N,%03d%07.4f,W,12.0,045.0,010626,%d.0,%c",
        10 + minute / 60, minute % 60, static_cast<int>(lat), (lat - static_cast<int>(lat)) * 60.0,
        static_cast<int>(lon), (lon - static_cast<int>(lon)) * 60.0, std::abs(variationEast),
        variationEast < 0 ? 'W' : 'E');
    return Checksummed(body);
}

// Degrees true from a to b on the flat chart (north up, east right).
double FlatBearing(Point a, Point b)
{
    const double deg = std::atan2(b.east - a.east, b.north - a.north) / kRad;
    return deg < 0 ? deg + 360.0 : deg;
}

// Angle between two bearings, -180 … 180.
double AngleDiff(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

// What the parser made of one sentence.
struct Parsed {
    std::string result, sentence;
    std::map<std::string, std::string> values;
    double number(const std::string& path) const
    {
        const auto it = values.find(path);
        return it == values.end() ? std::nan("") : std::strtod(it->second.c_str(), nullptr);
    }
    std::string text(const std::string& path) const
    {
        const auto it = values.find(path);
        return it == values.end() ? std::string("<none>") : it->second;
    }
    std::string kind() const { return sentence.substr(3, 3); }
    std::vector<std::string> fields() const
    {
        std::vector<std::string> out;
        std::stringstream in(sentence.substr(0, sentence.find('*')));
        for (std::string f; std::getline(in, f, ',');) {
            out.push_back(f);
        }
        return out;
    }
};

std::vector<Parsed> ParseWithSignalK(const kvtest::TempDir& work, const std::string& sentences)
{
    const kvtest::ToolResult cache = kvtest::RunShell(
        "bash " + kvtest::ShellQuote(std::string(KV_SOURCE_DIR) + "/tests/navigation/signalk_parser.sh"));
    if (cache.exitCode != 0) {
        ADD_FAILURE() << "the Signal K parser could not be installed (see the messages above); this check needs node, "
                         "npm and the npm registry";
        return {};
    }
    std::string folder = cache.out.substr(0, cache.out.find('\n'));
    work.write("sentences.nmea", sentences);
    const kvtest::ToolResult run = kvtest::RunShell("NODE_PATH=" + kvtest::ShellQuote(folder + "/node_modules")
        + " node " + kvtest::ShellQuote(std::string(KV_SOURCE_DIR) + "/tests/navigation/signalk_check.js") + " < "
        + kvtest::ShellQuote(work.file("sentences.nmea")));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    std::vector<Parsed> out;
    std::stringstream in(run.out);
    for (std::string line; std::getline(in, line);) {
        Parsed p;
        std::stringstream cols(line);
        std::getline(cols, p.result, '\t');
        std::getline(cols, p.sentence, '\t');
        for (std::string col; std::getline(cols, col, '\t');) {
            const auto eq = col.find('=');
            p.values[col.substr(0, eq)] = col.substr(eq + 1);
        }
        out.push_back(p);
    }
    return out;
}

// The program's own values at one fix, and where the fix was.
struct FixRecord {
    Point at;
    int variationEast = 0;
    std::string written;
    int active = 0;
    bool xteValid = false, arrived = false, passed = false;
    double xte = 0, bearing = 0, legBearing = 0, courseToSteer = 0;
    int cog = 0;
    std::string destination, origin;
    Point legFrom {}, legTo {};
    bool legKnown = false;
};

} // namespace

TEST(SignalKCheck, EverySentenceReadsAsTheProgramMeantIt)
{
    // The route: two waypoints whose names cut to the same six characters and lie inside one
    // another's arrival circle, one passed abeam outside its circle before it is reached, and a
    // name with a point and an apostrophe.
    const std::vector<std::pair<std::string, Point>> route = {
        { "NEEDLES FAIRWAY", { 0.0, 0.0 } },
        { "NEEDLES CHANNEL", { 0.1, 0.05 } },
        { "Off Yarmouth", { 2.0, 2.0 } },
        { "St. Alban's Head", { 2.0, 5.0 } },
    };
    const std::vector<std::string> ids = { "NEEDLE", "NEEDL2", "OFF-YA", "ST--AL" };

    kvtest::TempDir work;
    fs::copy(
        std::string(KV_SOURCE_DIR) + "/tests/navigation/golden/voyage_route", work.path(), fs::copy_options::recursive);
    std::string rte;
    for (const auto& [name, p] : route) {
        rte += RouteLine(name, p) + "\r\n";
    }
    work.write("routes/fourlegs.rte", rte);

    // The track, a fix a minute at 12 knots: to the first waypoint with no leg laid yet, through
    // the second, past the third abeam on its starboard side, back into its circle, then to the
    // last on the port side of the leg. The variation is east for the first half, west after.
    const std::vector<Point> path
        = { { -1.2, -0.3 }, { -0.05, 0.0 }, { 1.2, 2.6 }, { 2.4, 3.0 }, { 2.0, 2.05 }, { 2.3, 3.5 }, { 2.0, 5.0 } };
    std::vector<Point> track;
    for (std::size_t s = 0; s + 1 < path.size(); ++s) {
        const Point a = path[s], b = path[s + 1];
        const int steps
            = std::max(1, static_cast<int>(std::round(std::hypot(b.north - a.north, b.east - a.east) / 0.2)));
        for (int k = 0; k < steps; ++k) {
            const double f = static_cast<double>(k) / steps;
            track.push_back({ a.north + f * (b.north - a.north), a.east + f * (b.east - a.east) });
        }
    }
    track.push_back(path.back());

    kv::FakePlatform fakes;
    fakes.clock.time = kv::LocalDateTime { 2026, 6, 1, 10, 0, 0, 0 };
    fakes.serial.freeSpace = 1 << 20;
    kv::ProgramState state;
    kv::MainWindowHooks noWindow;
    kv::MainController program(state, fakes.platform, noWindow);
    program.FormCreate(work.path(), "");
    program.SecsTimerTimer();
    ASSERT_FALSE(program.ended());
    ASSERT_EQ(state.route.count(), route.size());
    state.prefs.nmea.PositionSentence = 1; // RMC, which carries the variation
    state.prefs.Voice = state.prefs.WPVoice = false;
    kv::NmeaPreferences& out = state.prefs.nmea;
    out.sendAPB = out.sendXTE = out.sendHSC = out.SendBOD = out.sendBWR = out.SendRMB = out.SendVTG = true;
    state.settings.nmea.NMEAOutputOn = true;
    ASSERT_DOUBLE_EQ(state.settings.route.ArrivalRadius, kArrivalRadius);
    if (!state.nmeaLink.NmeaOpen) {
        program.nmea().OpenNmeaInterface();
    }
    ASSERT_TRUE(state.nmeaLink.NmeaOpen);

    // The waypoint list first, as a navigator sends it before setting off.
    kv::SendWPSClick(state, fakes.platform);
    const std::string waypointList = fakes.serial.written;

    std::vector<FixRecord> fixes;
    Point legFrom {};
    int legFor = 0;
    for (std::size_t i = 0; i < track.size(); ++i) {
        FixRecord r;
        r.at = track[i];
        r.variationEast = i < track.size() / 2 ? 3 : -4;
        const std::string rmc = Rmc(static_cast<int>(i), track[i], r.variationEast);
        fakes.serial.receive(rmc + "\r\n");
        if (i > 0) {
            fakes.clock.time.minute = static_cast<int>(i % 60);
            fakes.clock.time.hour = 10 + static_cast<int>(i / 60);
        }
        fakes.serial.written.clear();
        const int before = state.routeProgress.ActiveWaypoint;
        program.fix().FixTimerTimer();
        const kv::RouteProgress& p = state.routeProgress;
        // Here the leg is laid where the vessel is when it reaches a waypoint and goes on.
        if (p.ActiveWaypoint != before && before > 0) {
            legFrom = track[i];
            legFor = p.ActiveWaypoint;
        }
        r.written = fakes.serial.written;
        r.active = p.ActiveWaypoint;
        r.xteValid = p.XTEValid;
        r.arrived = p.ArrivalCircleEntered;
        r.passed = p.PerpendicularPassed;
        r.xte = p.XTE;
        r.bearing = p.BearingToWaypoint;
        r.legBearing = p.LegBearing;
        r.courseToSteer = p.CourseToSteerExact;
        r.cog = state.motion.COG;
        r.destination = kv::RouteWaypointIdentifier(state.route, p.ActiveWaypoint);
        r.origin = p.LegOrigin > 0 ? kv::RouteWaypointIdentifier(state.route, p.LegOrigin) : "";
        r.legKnown = legFor == p.ActiveWaypoint && legFor >= 1 && legFor <= static_cast<int>(route.size());
        if (r.legKnown) {
            r.legFrom = legFrom;
            r.legTo = route[static_cast<std::size_t>(legFor - 1)].second;
        }
        fixes.push_back(r);
    }

    std::string everything = waypointList;
    for (const FixRecord& f : fixes) {
        everything += f.written;
    }
    std::string lf = everything;
    lf.erase(std::remove(lf.begin(), lf.end(), '\r'), lf.end());
    const std::vector<Parsed> parsed = ParseWithSignalK(work, lf);
    ASSERT_FALSE(parsed.empty());
    ASSERT_EQ(static_cast<long>(parsed.size()), std::count(lf.begin(), lf.end(), '\n'));

    // The waypoint list: every line accepted, positions and identifiers as in the route.
    std::size_t at = 0;
    for (std::size_t w = 0; w < route.size(); ++w, ++at) {
        const Parsed& p = parsed[at];
        SCOPED_TRACE(p.sentence);
        ASSERT_EQ(p.kind(), "WPL");
        EXPECT_EQ(p.result, "none") << p.text("message"); // checksum good; the parser keeps no waypoint list
        EXPECT_NEAR(p.number("wpl.latitude"), LatOf(route[w].second), 1e-5);
        EXPECT_NEAR(p.number("wpl.longitude"), -LonOf(route[w].second), 1e-5);
        EXPECT_EQ(p.text("wpl.ID"), ids[w]);
        EXPECT_EQ(p.text("wpl.ID"), kv::RouteWaypointIdentifier(state.route, static_cast<int>(w) + 1));
    }

    std::map<std::string, int> seen; // what the voyage went through, to be sure it covered it all
    for (const FixRecord& f : fixes) {
        const std::size_t sentences = static_cast<std::size_t>(std::count(f.written.begin(), f.written.end(), '\n'));
        if (sentences == 0) {
            continue;
        }
        const Point wp = route[static_cast<std::size_t>(f.active - 1)].second;
        const double trueToMagnetic = -f.variationEast;
        const double indepBearing = FlatBearing(f.at, wp);
        // The independent cross-track error: the vessel's signed distance from the line laid from
        // where the leg began to the waypoint, right of it positive.
        double indepXte = std::nan("");
        bool indepPassed = false;
        if (f.legKnown) {
            const double ln = f.legTo.north - f.legFrom.north, le = f.legTo.east - f.legFrom.east;
            const double len = std::hypot(ln, le);
            indepXte = (ln * (f.at.east - f.legFrom.east) - le * (f.at.north - f.legFrom.north)) / len;
            indepPassed = (ln * (f.at.north - f.legTo.north) + le * (f.at.east - f.legTo.east)) >= 0.0;
        }
        const bool indepArrived = std::hypot(f.at.north - wp.north, f.at.east - wp.east) < kArrivalRadius;
        seen[f.variationEast > 0 ? "variation east" : "variation west"]++;
        if (f.xteValid)
            seen[f.xte > 0 ? "right of the leg" : "left of the leg"]++;
        if (!f.legKnown)
            seen["no leg"]++;
        if (f.passed)
            seen["passed abeam"]++;
        if (f.arrived)
            seen["arrival circle"]++;

        for (std::size_t k = 0; k < sentences; ++k, ++at) {
            ASSERT_LT(at, parsed.size());
            const Parsed& p = parsed[at];
            SCOPED_TRACE(p.sentence);
            const std::vector<std::string> fields = p.fields();
            const std::string kind = p.kind();
            ASSERT_NE(p.result, "error") << p.text("message");
            if (kind == "XTE" || kind == "APB") {
                // A cross-track error that is not a distance from a leg is refused as not valid.
                EXPECT_EQ(p.result, f.xteValid ? "parsed" : "void");
            } else if (kind == "BOD" && !f.legKnown) {
                EXPECT_EQ(p.result, "none") << "no leg: no bearings to read";
            } else {
                EXPECT_EQ(p.result, "parsed");
            }
            // Every cross-track error the parser takes is the program's and the geometry's.
            auto checkXte = [&](double metres) {
                EXPECT_NEAR(metres / kMetresPerNm, std::clamp(f.xte, -9.99, 9.99), 0.005 + 1e-9);
                if (f.xteValid) {
                    EXPECT_NEAR(metres / kMetresPerNm, indepXte, 0.0055);
                }
            };
            auto checkTrueBearing = [&](double radians) {
                EXPECT_NEAR(radians / kRad, std::fmod(std::round(f.bearing), 360.0), 1e-6);
                EXPECT_LE(std::fabs(AngleDiff(radians / kRad, indepBearing)), 0.5 + 1e-3);
            };
            auto checkPosition = [&](const std::string& path) {
                EXPECT_NEAR(p.number(path + ".latitude"), LatOf(wp), 2e-6);
                EXPECT_NEAR(p.number(path + ".longitude"), -LonOf(wp), 2e-6);
            };
            if (kind == "XTE" && f.xteValid) {
                checkXte(p.number("navigation.courseRhumbline.crossTrackError"));
            } else if (kind == "APB") {
                // The flags and the leg bearing are read from the sentence itself too, for the
                // parser refuses the whole of a sentence marked not valid.
                ASSERT_EQ(fields.size(), 16u);
                EXPECT_EQ(fields[6], f.arrived ? "A" : "V");
                EXPECT_EQ(f.arrived, indepArrived);
                EXPECT_EQ(fields[7], f.passed ? "A" : "V");
                if (f.legKnown) {
                    EXPECT_EQ(f.passed, indepPassed);
                    EXPECT_LE(std::fabs(AngleDiff(std::stod(fields[8]), FlatBearing(f.legFrom, f.legTo))), 0.5 + 1e-3);
                }
                EXPECT_EQ(fields[10], ids[static_cast<std::size_t>(f.active - 1)]);
                if (p.result == "parsed") {
                    checkXte(p.number("navigation.courseRhumbline.crossTrackError"));
                    EXPECT_NEAR(p.number("navigation.courseRhumbline.bearingOriginToDestinationTrue") / kRad,
                        std::stod(fields[8]), 1e-6);
                    checkTrueBearing(p.number("navigation.courseRhumbline.nextPoint.bearingTrue"));
                    EXPECT_EQ(p.text("navigation.courseRhumbline.nextPoint.ID"), f.destination);
                    EXPECT_EQ(p.text("notifications.arrivalCircleEntered"), f.arrived ? "alarm" : "null");
                }
            } else if (kind == "BOD") {
                ASSERT_EQ(fields.size(), 7u);
                EXPECT_EQ(fields[5], f.destination);
                EXPECT_EQ(fields[6], f.origin);
                if (f.legKnown) {
                    const double legTrue = p.number("navigation.courseRhumbline.bearingTrackTrue") / kRad;
                    const double legMagnetic = p.number("navigation.courseRhumbline.bearingTrackMagnetic") / kRad;
                    const double indepLeg = FlatBearing(f.legFrom, f.legTo);
                    // Every leg of this voyage begins at the waypoint reached before it.
                    EXPECT_EQ(fields[6], ids[static_cast<std::size_t>(f.active - 2)]);
                    EXPECT_EQ(p.text("navigation.courseRhumbline.nextPoint.ID"), f.destination);
                    EXPECT_EQ(p.text("navigation.courseRhumbline.previousPoint.ID"), f.origin);
                    EXPECT_NEAR(legTrue, std::fmod(std::round(f.legBearing), 360.0), 1e-6);
                    EXPECT_LE(std::fabs(AngleDiff(legTrue, indepLeg)), 0.5 + 1e-3);
                    EXPECT_LE(std::fabs(AngleDiff(legMagnetic, indepLeg + trueToMagnetic)), 0.5 + 1e-3);
                    EXPECT_GE(legMagnetic, 0.0);
                    EXPECT_LT(legMagnetic, 360.0);
                    seen["leg bearing"]++;
                } else {
                    EXPECT_EQ(fields[1], "");
                    EXPECT_EQ(fields[3], "");
                }
            } else if (kind == "BWR") {
                checkTrueBearing(p.number("navigation.courseRhumbline.bearingTrackTrue"));
                EXPECT_LE(std::fabs(AngleDiff(p.number("navigation.courseRhumbline.bearingTrackMagnetic") / kRad,
                              indepBearing + trueToMagnetic)),
                    0.5 + 1e-3);
                checkPosition("navigation.courseRhumbline.nextPoint.position");
                EXPECT_EQ(fields.back(), "A");
                EXPECT_EQ(fields[fields.size() - 2], f.destination);
            } else if (kind == "RMB") {
                checkXte(p.number("navigation.courseRhumbline.crossTrackError"));
                checkTrueBearing(p.number("navigation.courseRhumbline.nextPoint.bearingTrue"));
                checkPosition("navigation.courseRhumbline.nextPoint.position");
                EXPECT_EQ(p.text("navigation.courseRhumbline.nextPoint.ID"), f.destination);
                EXPECT_EQ(
                    f.origin.empty() ? "<none>" : f.origin, p.text("navigation.courseRhumbline.previousPoint.ID"));
                EXPECT_EQ(fields[1], f.xteValid ? "A" : "V");
                EXPECT_EQ(fields[13], f.arrived ? "A" : "V");
            } else if (kind == "HSC") {
                const double headingTrue = p.number("steering.autopilot.target.headingTrue") / kRad;
                const double headingMagnetic = p.number("steering.autopilot.target.headingMagnetic") / kRad;
                EXPECT_LE(std::fabs(AngleDiff(headingTrue, f.courseToSteer)), 0.05 + 1e-6);
                EXPECT_LE(std::fabs(AngleDiff(headingMagnetic, f.courseToSteer + trueToMagnetic)), 0.05 + 1e-6);
                EXPECT_GE(headingMagnetic, 0.0);
                EXPECT_LT(headingMagnetic, 360.0);
            } else if (kind == "VTG") {
                const double cogTrue = p.number("navigation.courseOverGroundTrue") / kRad;
                const double cogMagnetic = p.number("navigation.courseOverGroundMagnetic") / kRad;
                EXPECT_NEAR(cogTrue, f.cog, 1e-6);
                EXPECT_NEAR(std::fabs(AngleDiff(cogMagnetic, f.cog + trueToMagnetic)), 0.0, 1e-6);
            }
            seen[kind]++;
        }
    }
    EXPECT_EQ(at, parsed.size());
    for (const char* what : { "variation east", "variation west", "right of the leg", "left of the leg", "no leg",
             "passed abeam", "arrival circle", "leg bearing", "XTE", "APB", "BOD", "BWR", "RMB", "HSC", "VTG" }) {
        EXPECT_GT(seen[what], 0) << "the voyage never had: " << what;
    }
}
