// Class B and AtoN stations in the target table: only with the kvfree.ini switch on; with it off
// the table is exactly what it is without those messages.

#include "AisTestSupport.h"

#include "ais/AisController.h"
#include "ais/AisSmallCraftTargets.h"
#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using namespace kv;
using namespace aistest;

namespace {

std::string One(const kv::AisBitWriter& w)
{
    return kv::AisSentences(w.armoured(), 0, "")[0];
}

std::string ClassB(long long mmsi, double lat, double lon, int sog, int cog)
{
    kv::AisBitWriter w;
    for (const auto& [v, n] : std::vector<std::pair<long long, int>> { { 18, 6 }, { 0, 2 }, { mmsi, 30 }, { 0, 8 },
             { sog, 10 }, { 1, 1 }, { Raw(lon), 28 }, { Raw(lat), 27 }, { cog, 12 }, { 511, 9 }, { 30, 6 }, { 0, 2 },
             { 1, 1 }, { 0, 6 }, { 0, 20 } }) {
        w.put(v, n);
    }
    return One(w);
}

std::string StaticA(long long mmsi, const std::string& name)
{
    kv::AisBitWriter w;
    w.put(24, 6);
    w.put(0, 2);
    w.put(mmsi, 30);
    w.put(0, 2);
    w.putText(name, 20);
    return One(w);
}

std::string StaticB(long long mmsi, int part = 1)
{
    kv::AisBitWriter w;
    w.put(24, 6);
    w.put(0, 2);
    w.put(mmsi, 30);
    w.put(part, 2);
    w.put(36, 8);
    w.putText("SRTABCD", 7);
    w.putText("MABC1", 7);
    w.put(8, 9);
    w.put(3, 9);
    w.put(2, 6);
    w.put(2, 6);
    w.put(0, 6);
    return One(w);
}

std::string Aid(long long mmsi, const std::string& name, int virt)
{
    kv::AisBitWriter w;
    w.put(21, 6);
    w.put(0, 2);
    w.put(mmsi, 30);
    w.put(9, 5);
    w.putText(name, 20);
    for (const auto& [v, n] :
        std::vector<std::pair<long long, int>> { { 1, 1 }, { Raw(-1.1), 28 }, { Raw(50.7), 27 }, { 0, 9 }, { 0, 9 },
            { 0, 6 }, { 0, 6 }, { 7, 4 }, { 10, 6 }, { 0, 1 }, { 0, 8 }, { 0, 1 }, { virt, 1 }, { 0, 1 }, { 0, 1 } }) {
        w.put(v, n);
    }
    return One(w);
}

struct Program {
    explicit Program(bool classB)
    {
        state.folders.AppDir = dir.path() + "/";
        state.chartRef.CosLatFactor = 1.0;
        state.extra.ClassBAndAtoNTargets = classB;
        OpenAisDatabase(state.ais, state.folders);
    }
    void Receive(const std::string& s) { ais.DecodeAndUpdate(s); }
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    AisController ais { state, fake.platform };
};

std::vector<std::string> Traffic()
{
    PositionReport a;
    a.mmsi = 235000001;
    a.lat = Raw(50.8);
    a.lon = Raw(-1.2);
    return { StaticB(235777777), // part B before any report of the station
        PositionSentence(a), ClassB(235777777, 50.75, -1.25, 55, 900), StaticA(235777777, "KESTREL"),
        StaticB(235777777), StaticB(235777777, 2), // part number 2: dropped
        StaticB(235777777, 3), // part number 3: dropped
        ClassB(235777777, 50.76, -1.24, 60, 910).substr(0, 30) + "*00", // cut short
        Aid(992351000, "BRAMBLE BANK", 0), Aid(992351001, "WEST KNOLL", 1), ClassB(235777777, 50.76, -1.24, 60, 910) };
}

TEST(AisSmallCraftTargets, SwitchOffKeepsTodaysTable)
{
    Program off(false), classAOnly(false);
    for (const std::string& s : Traffic()) {
        off.Receive(s);
        if (s[14] == '1') { // the payload of a type 1 report starts with "1"
            classAOnly.Receive(s);
        }
    }
    ASSERT_EQ(classAOnly.state.ais.targets.count(), 1);
    EXPECT_EQ(off.state.ais.targets.count(), classAOnly.state.ais.targets.count());
    // The whole table byte for byte: the records have no padding, and a double that differs only
    // in its bits (a -0.0 for a 0.0) is a difference here too.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    EXPECT_EQ(std::memcmp(off.state.ais.targets.allSlots().data(), classAOnly.state.ais.targets.allSlots().data(),
                  off.state.ais.targets.allSlots().size_bytes()),
        0);
    EXPECT_EQ(off.fake.prompter.beeps.size(), classAOnly.fake.prompter.beeps.size());
    EXPECT_EQ(off.state.ais.SmallCraftCounts.decoded, 0);
}

TEST(AisSmallCraftTargets, SwitchOnMakesAndUpdatesTargets)
{
    Program on(true);
    for (const std::string& s : Traffic()) {
        on.Receive(s);
    }
    const AisState& ais = on.state.ais;
    ASSERT_EQ(ais.targets.count(), 4) << "Class A, Class B and two aids; no target from a lone part B";
    const TAISTarget& b = ais.targets[2];
    EXPECT_EQ(b.MMSI, 235777777u);
    EXPECT_EQ(b.MsgType, 18);
    EXPECT_EQ(TargetClass(b), AisTargetClass::ClassB);
    EXPECT_EQ(b.VesselName.view(), "KESTREL@@@@@@@@@@@@@") << "a later position report keeps the name";
    EXPECT_EQ(b.CallSign.view(), "MABC1@@");
    EXPECT_EQ(b.ShipType, 36);
    EXPECT_EQ(b.DimA, 8);
    EXPECT_EQ(b.SOG, 60);
    EXPECT_EQ(b.COG, 910);
    EXPECT_NEAR(AisLatDegrees(b), 50.76, 1e-6);
    EXPECT_NEAR(AisLonDegrees(b), -1.24, 1e-6);
    EXPECT_EQ(TrackPointCount(b), 2);
    EXPECT_EQ(ais.targets[3].VesselName.view(), "BRAMBLE BANK@@@@@@@@");
    EXPECT_EQ(TargetClass(ais.targets[3]), AisTargetClass::AidToNavigation);
    EXPECT_EQ(TargetClass(ais.targets[4]), AisTargetClass::VirtualAidToNavigation);
    EXPECT_EQ(ais.SmallCraftCounts.badPart, 2);
    EXPECT_EQ(ais.SmallCraftCounts.shortDropped, 1);
}

} // namespace

namespace {

TEST(AisCollisionWatch, EncounterNotedAndSoundedOnceWithTheAlarmOn)
{
    struct Case {
        bool alarm;
        std::size_t beeps;
    };
    for (const Case c : { Case { false, 0 }, Case { true, 1 } }) {
        SCOPED_TRACE(c.alarm);
        Program on(true);
        on.state.extra.CollisionWarnings = true;
        on.state.extra.CollisionAlarm = c.alarm;
        on.state.fixInfo.OwnLat = 50.0;
        on.state.fixInfo.OwnLong = 1.0; // west
        on.Receive(ClassB(235777777, 50.03, -1.0, 100, 1800)); // 1.8 nm north, closing at 10 knots
        const std::size_t newTargetBeeps = 1;
        EXPECT_NE(on.state.display.StatusLine.find("Danger CPA 0.00nm in 10.8min 235777777"), std::string::npos)
            << on.state.display.StatusLine;
        for (double lat : { 50.025, 50.02, 50.015 }) {
            on.Receive(ClassB(235777777, lat, -1.0, 100, 1800));
        }
        EXPECT_EQ(on.fake.prompter.beeps.size(), newTargetBeeps + c.beeps) << "one sound for the encounter";
        on.Receive(ClassB(235777777, 49.99, -1.0, 100, 1800)); // past
        on.Receive(ClassB(235777777, 50.03, -1.0, 100, 1800)); // a new encounter
        EXPECT_EQ(on.fake.prompter.beeps.size(), newTargetBeeps + 2 * c.beeps);
    }
}

TEST(AisCollisionWatch, SwitchedOffClassBMakesNoNote)
{
    Program off(false);
    off.state.extra.CollisionWarnings = true;
    off.state.fixInfo.OwnLat = 50.0;
    off.state.fixInfo.OwnLong = 1.0;
    off.Receive(ClassB(235777777, 50.03, -1.0, 100, 1800));
    EXPECT_EQ(off.state.display.StatusLine, "");
}

// With the warnings off (the default) even a Class B target on a collision course, with the alarm
// switched on, leaves the status line and the sounds as they always were.
TEST(AisCollisionWatch, WarningsOffByDefaultKeepTheDisplayAsItWas)
{
    Program p(true);
    ASSERT_FALSE(p.state.extra.CollisionWarnings);
    p.state.extra.CollisionAlarm = true;
    p.state.fixInfo.OwnLat = 50.0;
    p.state.fixInfo.OwnLong = 1.0;
    for (double lat : { 50.03, 50.025, 50.02 }) {
        p.Receive(ClassB(235777777, lat, -1.0, 100, 1800));
    }
    EXPECT_EQ(p.state.display.StatusLine.find("Dangerous"), std::string::npos) << p.state.display.StatusLine;
    EXPECT_EQ(p.fake.prompter.beeps.size(), 1u) << "only the new-target beep";
}

} // namespace
