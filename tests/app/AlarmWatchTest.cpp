// The program's alarms on the fake platform: the anchor watch kept across a restart, the sound
// repeated until acknowledged, the GPS watch fed by the receiver's sentences, and nothing at all
// with the settings at their defaults.

#include "app/AlarmWatch.h"
#include "app/MainController.h"
#include "core/ExtraSettings.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

struct Program {
    explicit Program(const kvtest::TempDir& dir)
    {
        controller = std::make_unique<kv::MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
        controller->SecsTimerTimer();
    }
    // The clock at 12:00:00 plus `seconds`, then the one-second tick.
    void tickAt(int seconds)
    {
        fakes.clock.time = kv::LocalDateTime { 2026, 12, 8, 12, seconds / 60, seconds % 60, 0 };
        controller->SecsTimerTimer();
    }
    kv::AlarmWatch& alarms() { return controller->alarms(); }

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::MainWindowHooks window;
    std::unique_ptr<kv::MainController> controller;
};

constexpr double kMetre = 1.0 / 1852.0 / 60.0;

TEST(AlarmWatch, AnchorDroppedAtTheCursorSurvivesARestartAndWeighingEndsIt)
{
    kvtest::TempDir dir;
    {
        Program p(dir);
        EXPECT_FALSE(p.alarms().AnchorDown());
        p.state.fixInfo.OwnLat = 50.25; // a click in a view put the cursor here
        p.state.fixInfo.OwnLong = -1.5;
        EXPECT_TRUE(p.alarms().DropAnchor(true));
        EXPECT_TRUE(p.alarms().AnchorDown());
    }
    {
        Program p(dir);
        ASSERT_TRUE(p.alarms().AnchorDown());
        EXPECT_DOUBLE_EQ(p.state.extra.AnchorLat, 50.25);
        EXPECT_DOUBLE_EQ(p.state.extra.AnchorLong, -1.5);
        EXPECT_EQ(p.state.extra.AnchorRadiusM, 30);
        // A fix 40 m north raises the drag; weighing ends alarm and watch.
        p.state.fixInfo.FixSource = "GPS";
        p.state.fixInfo.OwnLat = 50.25 + 40 * kMetre;
        p.state.fixInfo.OwnLong = -1.5;
        p.alarms().FixTaken();
        ASSERT_EQ(p.alarms().Alarms().size(), 1u);
        EXPECT_EQ(p.alarms().Alarms()[0].text, "Anchor drag: 40 m from the anchor (circle 30 m)");
        EXPECT_TRUE(p.alarms().WeighAnchor());
        EXPECT_TRUE(p.alarms().Alarms().empty());
    }
    Program p(dir);
    EXPECT_FALSE(p.alarms().AnchorDown());
}

TEST(AlarmWatch, SoundRepeatsUntilAcknowledgedThenTheAlarmStaysDimmedUntilItEnds)
{
    kvtest::TempDir dir;
    Program p(dir);
    p.state.fixInfo.OwnLat = 50.0;
    p.state.fixInfo.OwnLong = 1.0;
    p.alarms().DropAnchor(true);
    p.state.fixInfo.FixSource = "GPS";
    p.state.fixInfo.OwnLat = 50.0 + 35 * kMetre;
    p.tickAt(0);
    p.alarms().FixTaken();
    ASSERT_EQ(p.fakes.sound.played.size(), 1u);
    EXPECT_EQ(p.fakes.sound.played[0], dir.path() + "/alarm-anchor-drag.wav");
    EXPECT_TRUE(std::filesystem::exists(dir.file("alarm-anchor-drag.wav"))) << "made when missing";
    p.tickAt(2);
    EXPECT_EQ(p.fakes.sound.played.size(), 1u);
    p.tickAt(4);
    EXPECT_EQ(p.fakes.sound.played.size(), 2u);
    const int id = p.alarms().Alarms()[0].id;
    EXPECT_TRUE(p.alarms().Acknowledge(id));
    EXPECT_EQ(p.fakes.sound.stops, 1);
    p.tickAt(8);
    p.tickAt(12);
    EXPECT_EQ(p.fakes.sound.played.size(), 2u);
    ASSERT_EQ(p.alarms().Alarms().size(), 1u);
    EXPECT_TRUE(p.alarms().Alarms()[0].acknowledged);
    // Back inside the circle: the alarm is gone by itself.
    p.state.fixInfo.OwnLat = 50.0 + 10 * kMetre;
    p.alarms().FixTaken();
    EXPECT_TRUE(p.alarms().Alarms().empty());
}

TEST(AlarmWatch, GpsLostFromTheReceiversSentencesOnlyWhenSwitchedOn)
{
    kvtest::TempDir dir;
    Program p(dir);
    p.state.nmeaLink.NmeaOpen = true;
    const std::string fixA = "$GPRMC,120000,A,5000.000,N,00100.000,W,0.0,0.0,081226,,";
    const std::string fixB = "$GPRMC,120020,A,5000.000,N,00100.000,W,0.0,0.0,081226,,";
    const std::string noFix = "$GPRMC,120030,V,,,,,,,081226,,";
    p.state.nmeaLink.LastPositionSentence = fixA;
    p.tickAt(0);
    p.tickAt(60);
    EXPECT_TRUE(p.alarms().Alarms().empty()) << "off by default: the program behaves as it always did";

    kv::ExtraSettings on = p.state.extra;
    on.GpsLostAlarm = true;
    on.GpsLostSeconds = 10;
    p.state.extra = on;
    p.alarms().ApplySettings();
    p.tickAt(61);
    p.tickAt(70);
    EXPECT_TRUE(p.alarms().Alarms().empty());
    p.tickAt(71);
    ASSERT_EQ(p.alarms().Alarms().size(), 1u);
    EXPECT_EQ(p.alarms().Alarms()[0].text, "GPS fix lost");
    p.state.nmeaLink.LastPositionSentence = noFix; // talking, but no position: still lost
    p.tickAt(72);
    EXPECT_EQ(p.alarms().Alarms().size(), 1u);
    p.state.nmeaLink.LastPositionSentence = fixB;
    p.tickAt(73);
    EXPECT_TRUE(p.alarms().Alarms().empty()) << "back";
    // Closing the interface is no loss.
    p.state.nmeaLink.NmeaOpen = false;
    p.tickAt(74);
    p.tickAt(120);
    EXPECT_TRUE(p.alarms().Alarms().empty());
}

TEST(AlarmWatch, ShallowWaterFromTheSounderIsAnAlarmUntilTheDepthIsBack)
{
    kvtest::TempDir dir;
    Program p(dir);
    p.state.extra.ShallowAlarmMetres = 3.0;
    p.controller->SentenceReceived("$SDDBT,6.6,f,2.0,M,1.1,F*04");
    p.tickAt(1);
    std::vector<kv::Alarm> a = p.alarms().Alarms();
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].kind, "shallow-water");
    EXPECT_EQ(a[0].text, "Shallow water: 2.0 m");
    // Just above the limit is not yet over; a tenth above it is.
    p.controller->SentenceReceived("$SDDBT,10.2,f,3.1,M,1.7,F*31");
    p.tickAt(2);
    ASSERT_EQ(p.alarms().Alarms().size(), 1u);
    EXPECT_EQ(p.alarms().Alarms()[0].text, "Shallow water: 3.1 m");
    p.controller->SentenceReceived("$SDDBT,11.2,f,3.4,M,1.9,F*3B");
    p.tickAt(3);
    EXPECT_TRUE(p.alarms().Alarms().empty());
}

} // namespace
