// Closest point of approach by plane sailing, the danger limits and the alarm that sounds once
// per encounter. Positions are worked out at the equator (one minute of longitude is one mile),
// at 60 degrees north (half a mile) and across the date line.

#include "ais/AisCollision.h"
#include "ais/AisCollisionWatch.h"
#include "ais/AisText.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using kv::CpaResult;
using kv::VesselMotion;

TEST(AisCollision, ClosestPointOfApproach)
{
    struct Case {
        const char* what;
        VesselMotion own, target;
        double cpa, tcpa;
    };
    const double mile = 1.0 / 60.0; // degrees of latitude
    const Case cases[] = {
        { "head-on", { 0, 0, 10, 0 }, { 6 * mile, 0, 10, 180 }, 0.0, 18.0 },
        { "head-on, 0.6 nm to starboard", { 0, 0, 10, 0 }, { 6 * mile, -0.6 * mile, 10, 180 }, 0.6, 18.0 },
        { "crossing from starboard", { 0, 0, 10, 0 }, { 6 * mile, -6 * mile, 10, 270 }, 0.0, 36.0 },
        { "overtaken from astern", { 0, 0, 5, 0 }, { -2 * mile, -0.1 * mile, 10, 0 }, 0.1, 24.0 },
        { "parallel at the same speed", { 0, 0, 10, 90 }, { mile, 0, 10, 90 }, 1.0, 0.0 },
        { "stationary target", { 0, 0, 6, 90 }, { 0.5 * mile, -3 * mile, 0, 0 }, 0.5, 30.0 },
        { "diverging: closest point past", { 0, 0, 10, 0 }, { -3 * mile, -mile, 10, 180 }, 1.0, -9.0 },
        { "60 north: 3 nm east is 6 minutes of longitude", { 60, 0, 6, 90 }, { 60, -0.1, 0, 0 }, 0.0, 30.0 },
        { "across the date line", { 0, -179.95, 12, 90 }, { 0, 179.95, 0, 0 }, 0.0, 30.0 },
        { "both stopped", { 0, 0, 0, 0 }, { 0, -2 * mile, 0, 0 }, 2.0, 0.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CpaResult r = kv::ComputeCpa(c.own, c.target);
        EXPECT_NEAR(r.cpaNm, c.cpa, 2e-3);
        EXPECT_NEAR(r.tcpaMin, c.tcpa, 0.1);
    }
}

TEST(AisCollision, DangerLimits)
{
    struct Case {
        double cpa, tcpa;
        bool dangerous;
    };
    const Case cases[] = { { 0.4, 5, true }, { 0.5, 5, false }, { 0.0, 0, true }, { 0.1, -0.01, false },
        { 0.1, 12, true }, { 0.1, 12.01, false }, { 0.49, 11.9, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.cpa << " nm in " << c.tcpa << " min");
        EXPECT_EQ(kv::IsDangerous({ c.cpa, c.tcpa }, 0.5, 12.0), c.dangerous);
    }
}

TEST(AisCollision, AlarmSoundsOncePerEncounter)
{
    kv::CollisionAlarm alarm;
    struct Step {
        std::uint32_t mmsi;
        double cpa, tcpa;
        bool sounds;
    };
    const Step steps[] = {
        { 235000001, 2.0, 20, false }, // far off
        { 235000001, 0.3, 10, true }, // becomes dangerous: one sound
        { 235000001, 0.3, 9, false }, // every later fix of the same encounter is silent
        { 235000001, 0.2, 8, false },
        { 235000002, 0.1, 3, true }, // another target has its own encounter
        { 235000001, 0.55, 7, false }, // wavering just past the limit
        { 235000001, 0.45, 6, false }, // and back: still the same encounter
        { 235000001, 0.45, -1, false }, // passed: the encounter ends
        { 235000001, 0.4, 11, true }, // a new encounter sounds again
        { 235000002, 1.0, 2, false }, // clear by more than half the limit: ends
        { 235000002, 0.2, 2, true },
    };
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(i++);
        EXPECT_EQ(alarm.update(s.mmsi, { s.cpa, s.tcpa }, 0.5, 12.0), s.sounds);
    }
    alarm.forget(235000002);
    EXPECT_FALSE(alarm.inEncounter(235000002));
    EXPECT_TRUE(alarm.inEncounter(235000001));
}

TEST(AisCollision, DeadReckoningReachesThePredictedPoint)
{
    const VesselMotion own { 50, 1, 6, 45 }, target { 50.05, 0.98, 8, 200 };
    const CpaResult r = kv::ComputeCpa(own, target);
    const VesselMotion a = kv::DeadReckon(own, r.tcpaMin), b = kv::DeadReckon(target, r.tcpaMin);
    const CpaResult there = kv::ComputeCpa({ a.lat, a.lonW, 0, 0 }, { b.lat, b.lonW, 0, 0 });
    EXPECT_NEAR(there.cpaNm, r.cpaNm, 0.01);
}

TEST(AisCollision, KvtoolCpa)
{
    const kvtest::ToolResult r = kvtest::RunKvtoolLine("cpa 0 0 10 0 0.1 -0.01 10 180");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "CPA\t0.600\tTCPA\t18.00\n");
    const kvtest::ToolResult past = kvtest::RunKvtoolLine("cpa 0 0 10 0 -0.05 -0.0166666667 10 180");
    EXPECT_EQ(past.out, "CPA\t1.000\tTCPA\t-9.00\n");
    for (const char* bad :
        { "cpa 0 0 10 0 0.1 -0.01 10", "cpa 0 0 10 0 0.1 -0.01 10 south", "cpa 0 0 10 0 0.1 nan 1 1" }) {
        SCOPED_TRACE(bad);
        const kvtest::ToolResult b = kvtest::RunKvtoolLine(std::string(bad) + " 2>/dev/null");
        EXPECT_EQ(b.exitCode, 2);
        EXPECT_EQ(b.out, "");
    }
}

// Own vessel at 50 N 1 W, stopped; targets so many miles north and east, steaming south at 10 kn.
struct Encounter {
    kv::ProgramState state;
    kv::FakePlatform fakes;
    explicit Encounter(std::initializer_list<std::tuple<const char*, double, double>> targets)
    {
        state.extra.CollisionWarnings = true;
        state.fixInfo.OwnLat = 50.0;
        state.fixInfo.OwnLong = 1.0;
        for (const auto& [name, north, east] : targets) {
            kv::TAISTarget& t = state.ais.targets.add(kv::TAISTarget {});
            t.MsgType = 1;
            t.SOG = 100;
            t.COG = 1800;
            t.Latitude = static_cast<std::int32_t>((50.0 + north / 60.0) * 600000.0);
            t.Longitude = static_cast<std::int32_t>((-1.0 + east / 60.0 / std::cos(50.0 * M_PI / 180.0)) * 600000.0);
            t.VesselName.set(name);
        }
    }
};

TEST(AisCollisionWatch, TheNoteNamesTheMostDangerousTargetFiguresFirstAndComesBack)
{
    Encounter e { { "FAR", 6.0, 2.0 }, { "ATLANTIC CONVEYOR II", 1.48, 0.22 }, { "CLOSE", 0.15, 0.06 } };
    EXPECT_EQ(kv::WatchCollisions(e.state, e.fakes.platform), "Danger CPA 0.06nm in 0.9min CLOSE");
    // A 20-character name still fits the status line at the default window width (49 characters).
    EXPECT_LE(kv::CollisionNoteText(std::string(20, 'W'), { 0.49, 11.9 }).size(), 49u);
    e.state.display.StatusLine = "Course to steer 180.0";
    kv::WatchCollisions(e.state, e.fakes.platform); // another message took the line: named again
    EXPECT_EQ(e.state.display.StatusLine, "Danger CPA 0.06nm in 0.9min CLOSE");
    // The encounter is over: its note goes.
    e.state.ais.targets.removeIf([](const kv::TAISTarget& t) { return t.VesselName.view() != "FAR"; });
    kv::WatchCollisions(e.state, e.fakes.platform);
    EXPECT_EQ(e.state.display.StatusLine, "");
}

TEST(AisCollisionWatch, TheTargetTextEndsWithTheClosestApproachAndTheDangerMark)
{
    Encounter e { { "ATLANTIC CONVEYOR II", 1.48, 0.22 } };
    const auto text = [&] { return kv::WriteTargetText(e.state.ais, kv::OwnShipOf(e.state), 1, {}, &e.state.extra); };
    const std::vector<std::string> lines = text();
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 21, lines.end()),
        (std::vector<std::string> { "CPA 0.22 Nm", "TCPA 8.9 Min", "DANGEROUS TARGET" }));
    e.state.extra.CollisionWarnings = false; // the specified 21 lines
    EXPECT_EQ(text().size(), 21u);
}

} // namespace
