// The alarm list and rules without a window: which alarm comes first, what acknowledging does
// to the sound, when each rule starts and ends its alarm.

#include "navigation/Alarms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Kinds(const kv::AlarmList& list)
{
    std::vector<std::string> out;
    for (const kv::Alarm& a : list.ordered()) {
        out.push_back(a.kind + "/" + a.key);
    }
    return out;
}

TEST(AlarmList, MostUrgentFirstThenOlderFirst)
{
    kv::AlarmList list;
    list.raise("arrival", "WP1", "Arrival at WP1", 10);
    list.raise("dangerous-target", "2", "Danger B", 30);
    list.raise("gps-lost", "", "GPS fix lost", 40);
    list.raise("dangerous-target", "1", "Danger A", 20);
    list.raise("anchor-drag", "", "Anchor drag", 50);
    EXPECT_EQ(Kinds(list),
        (std::vector<std::string> {
            "anchor-drag/", "dangerous-target/1", "dangerous-target/2", "gps-lost/", "arrival/WP1" }));
    // Raising an active alarm again only refreshes its text; it keeps its start and place.
    EXPECT_FALSE(list.raise("dangerous-target", "2", "Danger B nearer", 60));
    EXPECT_EQ(list.ordered()[2].text, "Danger B nearer");
    EXPECT_EQ(list.ordered()[2].start, 30);
    list.endAllBut("dangerous-target", { "2" }, 70);
    EXPECT_EQ(
        Kinds(list), (std::vector<std::string> { "anchor-drag/", "dangerous-target/2", "gps-lost/", "arrival/WP1" }));
    const auto events = list.takeEvents();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_FALSE(events.back().start);
    EXPECT_EQ(kv::AlarmEventLine(events.back()), "00:01:10\tEND\tdangerous-target\tDanger A");
    EXPECT_TRUE(list.takeEvents().empty());
}

TEST(AlarmList, SoundRepeatsUntilAcknowledgedAndANewAlarmSoundsAtOnce)
{
    kv::AlarmList list;
    EXPECT_EQ(list.soundDue(0, 4), "");
    list.raise("gps-lost", "", "GPS fix lost", 100);
    EXPECT_EQ(list.soundDue(100, 4), "gps-lost");
    EXPECT_EQ(list.soundDue(103, 4), "");
    EXPECT_EQ(list.soundDue(104, 4), "gps-lost");
    list.raise("anchor-drag", "", "Anchor drag", 105);
    EXPECT_EQ(list.soundDue(105, 4), "anchor-drag") << "a new alarm does not wait for the repeat";
    const int anchor = list.ordered()[0].id;
    EXPECT_TRUE(list.acknowledge(anchor));
    EXPECT_FALSE(list.acknowledge(9999));
    EXPECT_EQ(list.soundDue(109, 4), "gps-lost");
    // A kind whose sound is off gives way to the next one.
    list.raise("dangerous-target", "7", "Danger", 110);
    EXPECT_EQ(list.soundDue(110, 4, [](const std::string& k) { return k != "dangerous-target"; }), "gps-lost");
    list.acknowledge(list.ordered()[1].id);
    list.acknowledge(list.ordered()[2].id);
    EXPECT_EQ(list.soundDue(200, 4), "") << "everything acknowledged: silence";
    // Acknowledged alarms stay listed while they last.
    EXPECT_EQ(list.ordered().size(), 3u);
    EXPECT_TRUE(list.ordered()[0].acknowledged);
}

TEST(AlarmRules, GpsLostFromTheFirstSentenceAndStoppedWithTheReceiver)
{
    kv::AlarmList list;
    kv::AlarmRules rules(list);
    rules.settings.gpsLostSeconds = 10;
    rules.onTime(500); // nothing heard yet: nothing to lose
    rules.onPositionSentence(1000, false);
    rules.onTime(1009);
    EXPECT_TRUE(list.empty());
    rules.onTime(1010.5);
    ASSERT_TRUE(list.active("gps-lost"));
    EXPECT_EQ(list.ordered()[0].start, 1010) << "started when the time ran out";
    rules.stopGpsWatch(1020);
    EXPECT_TRUE(list.empty());
    rules.onTime(2000);
    EXPECT_TRUE(list.empty()) << "the interface is closed: no receiver to lose";
}

TEST(AlarmRules, OffTrackAboveTheLimitOnlyOnALeg)
{
    kv::AlarmList list;
    kv::AlarmRules rules(list);
    const kv::SteeringTarget wp { "WP1", 50.1, 1.0 };
    rules.onRoute(0, 50, 1, wp, 0.5);
    EXPECT_TRUE(list.empty()) << "off by default";
    rules.settings.offTrackNm = 0.2;
    struct Case {
        double xte;
        bool leg;
        bool alarm;
    };
    const Case cases[] = { { 0.2, true, false }, { 0.21, true, true }, { -0.3, true, true }, { -0.3, false, false },
        { 0.05, true, false } };
    double t = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.xte);
        rules.onRoute(t++, 50, 1, c.leg ? std::optional(wp) : std::nullopt, c.xte);
        EXPECT_EQ(list.active("off-track"), c.alarm);
    }
    const auto events = list.takeEvents();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].text, "Off track: XTE 0.21 Nm right");
    EXPECT_EQ(events[1].time, 4);
}

TEST(AlarmRules, OneAlarmPerEncounterEvenWhenAcknowledged)
{
    kv::AlarmList list;
    kv::AlarmRules rules(list);
    rules.onEncounters(10, { { 1, "Danger CPA 0.10nm in 5.0min A" } });
    list.acknowledge(list.ordered()[0].id);
    rules.onEncounters(20, { { 1, "Danger CPA 0.05nm in 4.0min A" }, { 2, "Danger CPA 0.30nm in 9.0min B" } });
    ASSERT_EQ(list.ordered().size(), 2u);
    EXPECT_TRUE(list.ordered()[0].acknowledged) << "the same encounter is not raised again";
    EXPECT_EQ(list.ordered()[0].text, "Danger CPA 0.10nm in 5.0min A");
    rules.onEncounters(30, { { 2, "x" } });
    rules.onEncounters(40, { { 1, "Danger CPA 0.20nm in 6.0min A" } }); // a new encounter of the same ship
    const auto events = list.takeEvents();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(kv::AlarmEventLine(events[2]), "00:00:30\tEND\tdangerous-target\tDanger CPA 0.10nm in 5.0min A");
    EXPECT_EQ(kv::AlarmEventLine(events[3]), "00:00:40\tSTART\tdangerous-target\tDanger CPA 0.20nm in 6.0min A");
    EXPECT_FALSE(list.ordered()[0].acknowledged);
}

TEST(AlarmRules, AnchorRadiusKeptInItsRangeAndWeighingEndsTheDrag)
{
    kv::AlarmList list;
    kv::AlarmRules rules(list);
    const double cases[][2] = { { 5, 10 }, { 30, 30 }, { 9999, 500 }, { std::nan(""), 30 } };
    for (const auto& c : cases) {
        rules.dropAnchor(50, 1, c[0]);
        EXPECT_EQ(rules.anchor.radiusM, c[1]);
    }
    rules.dropAnchor(50, 1, 30);
    rules.onAnchorFix(10, 50 + 31.0 / 1852 / 60, 1);
    EXPECT_TRUE(list.active("anchor-drag"));
    rules.weighAnchor(20);
    EXPECT_TRUE(list.empty());
    rules.onAnchorFix(30, 51, 1);
    EXPECT_TRUE(list.empty()) << "no watch without an anchor";
    // East and west: the longitude difference shrinks with the latitude.
    rules.dropAnchor(60, 1, 30);
    rules.onAnchorFix(40, 60, 1 - 50.0 / 1852 / 60 / 0.5); // 50 m east at 60°N
    ASSERT_TRUE(list.active("anchor-drag"));
    EXPECT_EQ(list.ordered()[0].text, "Anchor drag: 50 m from the anchor (circle 30 m)");
}

TEST(AlarmSound, EveryKindHasAPlayableOneSecondWave)
{
    for (const kv::AlarmKindInfo& k : kv::kAlarmKinds) {
        SCOPED_TRACE(std::string(k.name));
        const std::string wav = kv::AlarmWavBytes(k);
        ASSERT_EQ(wav.size(), 44u + 2 * 22050);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        std::uint32_t riff = 0, data = 0;
        std::memcpy(&riff, wav.data() + 4, 4);
        std::memcpy(&data, wav.data() + 40, 4);
        EXPECT_EQ(riff, wav.size() - 8);
        EXPECT_EQ(data, wav.size() - 44);
        // Sound, then silence before the repeat.
        int loud = 0;
        for (std::size_t i = 44; i < wav.size(); i += 2) {
            loud += (wav[i] != 0 || wav[i + 1] != 0) ? 1 : 0;
        }
        EXPECT_GT(loud, 2000);
        EXPECT_LT(loud, 22050 * 9 / 10);
    }
    EXPECT_EQ(kv::FindAlarmKind("no-such-alarm"), nullptr);
    EXPECT_NE(kv::FindAlarmKind("anchor-drag"), nullptr);
}

} // namespace
