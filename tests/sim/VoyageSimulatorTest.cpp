// The voyage simulator: its sentences read back through the program's own sentence parser and
// AIS decoders, own ship keeps to the route within the noise, and a seed gives the same voyage.

#include "sim/VoyageSimulator.h"
#include "ais/AisDecoder.h"
#include "ais/AisSmallCraft.h"
#include "core/Display.h"
#include "core/SentenceFix.h"
#include "nmea/InstrumentSentences.h"
#include "nmea/NmeaParse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace kv;

// Three legs with a sharp turn in the middle, about 2.5 nautical miles in all.
VoyageOptions ThreeLegs()
{
    VoyageOptions o;
    o.route = { { 50.70, -1.50 }, { 50.72, -1.47 }, { 50.705, -1.44 }, { 50.71, -1.41 } };
    o.speedKnots = 8.0;
    o.seed = 11;
    o.startUtc = ParseUtcTime("2026-06-15T23:58:00");
    return o;
}

double DistanceToRoute(const std::vector<SimPosition>& route, SimPosition p)
{
    double best = 1e12;
    for (std::size_t i = 1; i < route.size(); ++i) {
        const double leg = DistanceMetres(route[i - 1], route[i]);
        const double along = DistanceMetres(route[i - 1], p)
            * std::cos((BearingDeg(route[i - 1], p) - BearingDeg(route[i - 1], route[i])) * M_PI / 180.0);
        double d;
        if (along < 0.0) {
            d = DistanceMetres(route[i - 1], p);
        } else if (along > leg) {
            d = DistanceMetres(route[i], p);
        } else {
            d = std::fabs(CrossTrackMetres(route[i - 1], route[i], p));
        }
        best = std::min(best, d);
    }
    return best;
}

bool Starts(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

TEST(VoyageSimulator, OwnShipSentencesPassTheProgramsParser)
{
    VoyageSimulator sim(ThreeLegs());
    int gga = 0, rmc = 0, vtg = 0;
    std::set<std::string> dates;
    for (int second = 0; second < 300; ++second) {
        const std::vector<std::string> lines = sim.step();
        ASSERT_GE(lines.size(), 3u);
        const SimPosition reported = sim.reportedPosition();
        for (const std::string& line : lines) {
            ASSERT_EQ(CheckSentence(line), SentenceRejection::None) << line;
            if (!Starts(line, "$GPGGA") && !Starts(line, "$GPRMC")) {
                vtg += Starts(line, "$GPVTG");
                continue;
            }
            SentenceFix fix;
            Display display;
            ASSERT_TRUE(ParseSentence(line, fix, display, false)) << line;
            EXPECT_TRUE(fix.PositionValid) << line;
            // A tenth of a thousandth of a minute is the resolution of the sentence.
            EXPECT_NEAR(fix.SentenceLat, reported.lat, 2e-6) << line;
            EXPECT_NEAR(fix.SentenceLong, -reported.lon, 2e-6) << line; // the program keeps west positive
            if (Starts(line, "$GPRMC")) {
                ++rmc;
                const double sog = std::stod(NmeaField(line, 7));
                EXPECT_NEAR(sog, 8.0, 1.0) << line;
                const double cog = std::stod(NmeaField(line, 8));
                EXPECT_TRUE(cog >= 0.0 && cog < 360.0) << line;
                dates.insert(NmeaField(line, 9));
            } else {
                ++gga;
                EXPECT_EQ(NmeaField(line, 6), "1");
            }
        }
    }
    EXPECT_EQ(gga, 300);
    EXPECT_EQ(rmc, 300);
    EXPECT_EQ(vtg, 300);
    // The voyage ran past midnight: the date moves on with the time.
    EXPECT_EQ(dates, (std::set<std::string> { "150626", "160626" }));
}

TEST(VoyageSimulator, FollowsTheRouteWithinTheNoiseAndStopsAtTheEnd)
{
    const VoyageOptions options = ThreeLegs();
    VoyageSimulator sim(options);
    double length = 0.0;
    for (std::size_t i = 1; i < options.route.size(); ++i) {
        length += DistanceMetres(options.route[i - 1], options.route[i]);
    }
    const double expectedSeconds = length / (options.speedKnots * 1852.0 / 3600.0);
    double worstTrue = 0.0, worstReported = 0.0, sumSquares = 0.0;
    std::vector<double> closest(options.route.size(), 1e12);
    int seconds = 0;
    while (!sim.arrived() && seconds < 3 * expectedSeconds) {
        sim.step();
        ++seconds;
        worstTrue = std::max(worstTrue, DistanceToRoute(options.route, sim.truePosition()));
        worstReported = std::max(worstReported, DistanceToRoute(options.route, sim.reportedPosition()));
        const double error = DistanceMetres(sim.truePosition(), sim.reportedPosition());
        sumSquares += error * error;
        for (std::size_t i = 0; i < options.route.size(); ++i) {
            closest[i] = std::min(closest[i], DistanceMetres(options.route[i], sim.truePosition()));
        }
    }
    ASSERT_TRUE(sim.arrived());
    EXPECT_NEAR(seconds, expectedSeconds, 0.08 * expectedSeconds);
    // The helm wanders a little and the turn is not taken on the spot, but the boat never
    // strays far; the receiver adds its few metres.
    EXPECT_LT(worstTrue, 40.0);
    EXPECT_LT(worstReported, 50.0);
    const double rms = std::sqrt(sumSquares / seconds);
    EXPECT_GT(rms, 1.5); // there is noise ...
    EXPECT_LT(rms, 7.0); // ... of a few metres
    for (std::size_t i = 1; i < closest.size(); ++i) {
        EXPECT_LT(closest[i], 60.0) << "waypoint " << i + 1;
    }
    // Arrived: stopped at the last waypoint, still reporting.
    const SimPosition end = sim.truePosition();
    const std::vector<std::string> later = sim.step();
    EXPECT_EQ(NmeaField(later[1], 7), "0.0");
    EXPECT_EQ(DistanceMetres(end, sim.truePosition()), 0.0);
}

TEST(VoyageSimulator, WithoutNoiseTheReceiverReportsTheTruePosition)
{
    VoyageOptions options;
    options.start = { 50.0, -1.0 };
    options.courseDeg = 90.0;
    options.speedKnots = 6.0;
    options.positionNoiseM = 0.0;
    options.headingWanderDeg = 0.0;
    options.speedWanderKnots = 0.0;
    VoyageSimulator sim(options);
    for (int i = 0; i < 601; ++i) {
        sim.step();
        EXPECT_EQ(DistanceMetres(sim.truePosition(), sim.reportedPosition()), 0.0);
    }
    // Ten minutes at six knots due east: one nautical mile.
    EXPECT_NEAR(DistanceMetres(options.start, sim.truePosition()), 1852.0, 1.0);
    EXPECT_NEAR(sim.truePosition().lat, 50.0, 1e-6);
}

TEST(VoyageSimulator, TheSeedDecidesTheVoyage)
{
    VoyageOptions options = ThreeLegs();
    options.targets = 6;
    auto run = [](const VoyageOptions& o) {
        VoyageSimulator sim(o);
        std::vector<std::string> all;
        for (int i = 0; i < 400; ++i) {
            for (auto& line : sim.step()) {
                all.push_back(std::move(line));
            }
        }
        return all;
    };
    const std::vector<std::string> first = run(options);
    EXPECT_EQ(first, run(options));
    options.seed = 12;
    const std::vector<std::string> other = run(options);
    EXPECT_NE(first, other);
    EXPECT_EQ(first.size() > 1200, true);
}

// Every AIS message decoded again: who sent what, and where.
struct Heard {
    std::map<std::uint32_t, int> positionsA, positionsB, staticA, staticB1, staticB2;
    std::set<int> classATypes;
    std::map<std::uint32_t, std::string> names;
    std::map<std::uint32_t, SimPosition> lastPosition;
};

Heard Listen(VoyageSimulator& sim, int seconds)
{
    Heard heard;
    AisAssembler assembler;
    for (int i = 0; i < seconds; ++i) {
        for (const std::string& line : sim.step()) {
            if (!Starts(line, "!AIVDM")) {
                continue;
            }
            EXPECT_EQ(CheckSentence(line), SentenceRejection::None) << line;
            if (!assembler.ProcessAISSentence(line)) {
                continue;
            }
            const TAISTarget& m = assembler.Current;
            if (m.MsgType == 1 || m.MsgType == 3) {
                heard.classATypes.insert(m.MsgType);
                ++heard.positionsA[m.MMSI];
                heard.lastPosition[m.MMSI] = { m.Latitude / 600000.0, m.Longitude / 600000.0 };
            } else if (m.MsgType == 5) {
                ++heard.staticA[m.MMSI];
                std::string name = m.VesselName.str();
                name.erase(name.find_last_not_of('@') + 1);
                heard.names[m.MMSI] = name;
            } else {
                AisSmallCraftMessage message;
                EXPECT_EQ(DecodeSmallCraft(assembler.SixBitBuf, assembler.PayloadSymbols * 6, message),
                    AisSmallCraftResult::Decoded)
                    << line;
                if (const auto* b = std::get_if<AisClassBPosition>(&message)) {
                    ++heard.positionsB[b->MMSI];
                    heard.lastPosition[b->MMSI] = { b->Latitude / 600000.0, b->Longitude / 600000.0 };
                } else if (const auto* s = std::get_if<AisClassBStatic>(&message)) {
                    if (s->PartNumber == 0) {
                        ++heard.staticB1[s->MMSI];
                        std::string name(s->VesselName.view());
                        name.erase(name.find_last_not_of('@') + 1);
                        heard.names[s->MMSI] = name;
                    } else {
                        ++heard.staticB2[s->MMSI];
                    }
                } else {
                    ADD_FAILURE() << "unexpected message in " << line;
                }
            }
        }
    }
    return heard;
}

TEST(VoyageSimulator, AisTrafficDecodesThroughTheProgramsDecoders)
{
    VoyageOptions options = ThreeLegs();
    options.targets = 5;
    VoyageSimulator sim(options);
    const Heard heard = Listen(sim, 600);
    ASSERT_EQ(sim.targets().size(), 5u);
    int classA = 0;
    for (const SimTarget& t : sim.targets()) {
        ASSERT_TRUE(heard.lastPosition.count(t.mmsi)) << t.mmsi;
        // The last report was made at most one reporting interval ago, at the speed given.
        const double interval = t.classA ? 10.0 : 30.0;
        EXPECT_LT(
            DistanceMetres(heard.lastPosition.at(t.mmsi), t.position), interval * t.speedKnots * 1852.0 / 3600.0 + 1.0)
            << t.name;
        EXPECT_EQ(heard.names.at(t.mmsi), t.name);
        if (t.classA) {
            ++classA;
            EXPECT_EQ(heard.positionsA.at(t.mmsi), 60) << t.name; // every ten seconds
            EXPECT_EQ(heard.staticA.at(t.mmsi), 2) << t.name; // every six minutes
        } else {
            EXPECT_EQ(heard.positionsB.at(t.mmsi), 20) << t.name; // every thirty seconds
            EXPECT_EQ(heard.staticB1.at(t.mmsi), 2) << t.name;
            EXPECT_EQ(heard.staticB2.at(t.mmsi), 2) << t.name;
            EXPECT_TRUE(t.shipType == 36 || t.shipType == 37);
        }
    }
    EXPECT_EQ(classA, 3);
    EXPECT_EQ(heard.classATypes, (std::set<int> { 1, 3 }));
}

TEST(VoyageSimulator, TargetsKeepNearTheRoute)
{
    VoyageOptions options = ThreeLegs();
    options.targets = 10;
    VoyageSimulator sim(options);
    for (int i = 0; i < 3600; ++i) {
        sim.step();
        for (const SimTarget& t : sim.targets()) {
            // Offset to one side of the fairway, turning about at its ends.
            ASSERT_LT(DistanceToRoute(options.route, t.position), 400.0) << t.name << " after " << i << " s";
        }
    }
}

TEST(VoyageSimulator, UtcTimesAndDates)
{
    struct Case {
        const char* text;
        std::int64_t utc;
    };
    const Case cases[] = {
        { "1970-01-01T00:00:00", 0 },
        { "2026-06-15T10:00:00Z", 1781517600 },
        { "2024-02-29 23:59:59", 1709251199 },
        { "2026-04-31T00:00:00", -1 },
        { "2025-02-29T12:00:00", -1 },
        { "2026-06-15T24:00:00", -1 },
        { "2026-06-15", -1 },
        { "2026-06-15T10:00:00+01", -1 },
        { "yesterday", -1 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseUtcTime(c.text), c.utc) << c.text;
    }
    EXPECT_EQ(NmeaUtcTime(1709251199), "235959.00");
    EXPECT_EQ(NmeaUtcDate(1709251199), "290224");
    EXPECT_EQ(NmeaUtcDate(1709251200), "010324");
}

} // namespace

TEST(VoyageSimulator, InstrumentsReportDepthWindAndHeadingEverySecond)
{
    VoyageSimulator sim(ThreeLegs());
    double shallowest = 1e9, deepest = 0;
    for (int second = 0; second < 600; ++second) {
        int depth = 0, apparent = 0, trueWind = 0, heading = 0;
        for (const std::string& line : sim.step()) {
            const InstrumentRecord r = ParseInstrumentSentence(line);
            ASSERT_EQ(CheckSentence(line), SentenceRejection::None) << line;
            switch (r.kind) {
            case InstrumentRecord::Kind::Depth:
                ++depth;
                shallowest = std::min(shallowest, r.depthMetres);
                deepest = std::max(deepest, r.depthMetres);
                break;
            case InstrumentRecord::Kind::ApparentWind:
                ++apparent;
                EXPECT_GT(r.windKnots, 0.0);
                break;
            case InstrumentRecord::Kind::TrueWind:
                ++trueWind;
                EXPECT_NEAR(r.windKnots, 14.0, 2.05);
                break;
            case InstrumentRecord::Kind::Heading:
                ++heading;
                break;
            case InstrumentRecord::Kind::None:
                break;
            }
        }
        ASSERT_EQ(depth, 1);
        ASSERT_EQ(apparent, 1);
        ASSERT_EQ(trueWind, 1);
        ASSERT_EQ(heading, 1);
    }
    EXPECT_GE(shallowest, 6.0);
    EXPECT_LE(deepest, 20.0);
    EXPECT_GT(deepest - shallowest, 3.0) << "the depth changes along the voyage";
}
