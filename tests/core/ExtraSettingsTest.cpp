// kvfree.ini: the settings beyond kelvw.cfg, read at start and written when changed. Whatever is
// in the file, reading gives usable settings.

#include "core/ExtraSettings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

TEST(ExtraSettings, DefaultsKeepTodaysBehaviour)
{
    const kv::ExtraSettings d;
    EXPECT_FALSE(d.ClassBAndAtoNTargets);
    EXPECT_DOUBLE_EQ(d.CpaLimitNm, 0.5);
    EXPECT_DOUBLE_EQ(d.TcpaLimitMin, 12.0);
    EXPECT_FALSE(d.CollisionAlarm);
    EXPECT_FALSE(d.LargeNavFigures);
    EXPECT_FALSE(d.FillAreas);
    EXPECT_EQ(d.AisMaxLogMB, 500);
    EXPECT_EQ(d.AisMinFreeMB, 200);
    EXPECT_FALSE(d.GpsLostAlarm);
    EXPECT_FALSE(d.ArrivalAlarm);
    EXPECT_EQ(d.OffTrackNm, 0.0);
    EXPECT_FALSE(d.AnchorSet);
    EXPECT_FALSE(d.ShowTargetsAtStart);
    EXPECT_FALSE(d.PlaceTargetLabels);
    EXPECT_FALSE(d.NightPalette);
    EXPECT_FALSE(d.Instruments);
    EXPECT_DOUBLE_EQ(d.ShallowAlarmMetres, 0.0);
    EXPECT_EQ(d.ServeNmeaPort, 0);
    EXPECT_EQ(d.ServeNmeaAddress, "127.0.0.1");
    EXPECT_EQ(d.SignalKToken, "");
}

TEST(ExtraSettings, MissingFileIsAFirstStart)
{
    kvtest::TempDir dir;
    const kv::ExtraSettingsRead r = kv::ReadExtraSettings(dir.file("kvfree.ini"));
    EXPECT_TRUE(r.missing);
    EXPECT_EQ(r.note, "");
    EXPECT_EQ(r.settings, kv::ExtraSettings {});
}

TEST(ExtraSettings, WrittenOnlyWhenChangedAndReadBack)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("kvfree.ini");
    kv::ExtraSettings current;
    EXPECT_TRUE(kv::ChangeExtraSettings(path, current, current));
    EXPECT_TRUE(kv::ReadExtraSettings(path).missing) << "no change, no file";
    kv::ExtraSettings wanted;
    wanted.ClassBAndAtoNTargets = true;
    wanted.CpaLimitNm = 1.25;
    wanted.TcpaLimitMin = 20;
    wanted.CollisionAlarm = true;
    wanted.LargeNavFigures = true;
    wanted.AisMaxLogMB = 64;
    wanted.GpsLostAlarm = true;
    wanted.GpsLostSeconds = 25;
    wanted.ArrivalAlarm = true;
    wanted.OffTrackNm = 0.15;
    wanted.AnchorRadiusM = 45;
    wanted.AnchorSet = true;
    wanted.AnchorLat = 50.123456789;
    wanted.AnchorLong = -1.987654321; // east of Greenwich
    wanted.ShowTargetsAtStart = true;
    wanted.PlaceTargetLabels = true;
    wanted.NightPalette = true;
    wanted.Instruments = true;
    wanted.ShallowAlarmMetres = 2.5;
    wanted.ServeNmeaPort = 10110;
    wanted.ServeNmeaAddress = "0.0.0.0";
    wanted.SignalKToken = "eyJhbGciOi.x-y_z";
    EXPECT_TRUE(kv::ChangeExtraSettings(path, current, wanted));
    EXPECT_EQ(current, wanted);
    const kv::ExtraSettingsRead r = kv::ReadExtraSettings(path);
    EXPECT_FALSE(r.missing);
    EXPECT_EQ(r.note, "");
    EXPECT_EQ(r.settings, wanted);
}

TEST(ExtraSettings, DamagedValuesGiveTheirDefaultsAndANote)
{
    struct Case {
        const char* what;
        std::string text;
        kv::ExtraSettings want;
        bool note;
    };
    kv::ExtraSettings cpa2;
    cpa2.CpaLimitNm = 2;
    kv::ExtraSettings classB;
    classB.ClassBAndAtoNTargets = true;
    kv::ExtraSettings large;
    large.LargeNavFigures = true;
    kv::ExtraSettings glance;
    glance.ShowTargetsAtStart = true;
    glance.PlaceTargetLabels = true;
    kv::ExtraSettings night;
    night.NightPalette = true;
    kv::ExtraSettings fill;
    fill.FillAreas = true;
    kv::ExtraSettings smallLog;
    smallLog.AisMaxLogMB = 20;
    smallLog.AisMinFreeMB = 0;
    kv::ExtraSettings anchored;
    anchored.AnchorSet = true;
    anchored.AnchorLat = 50.5;
    anchored.AnchorLong = 1.25;
    anchored.AnchorRadiusM = 60;
    kv::ExtraSettings served;
    served.ServeNmeaPort = 10110;
    served.Instruments = true;
    const Case cases[] = {
        { "server and instruments", "[Network]\nServeNmeaPort=10110\n[Display]\nInstruments=true\n", served, false },
        { "server port out of range", "[Network]\nServeNmeaPort=70000\n", {}, true },
        { "server address empty", "[Network]\nServeNmeaAddress=\n", {}, true },
        { "shallow limit negative", "[Display]\nShallowAlarmMetres=-2\n", {}, true },
        { "good value kept beside a damaged one", "[AIS]\nCpaLimitNm=2\nTcpaLimitMinutes=soon\n", cpa2, true },
        { "switch that is not a switch", "[AIS]\nClassBAndAtoNTargets=maybe\nCpaLimitNm=2\n", cpa2, true },
        { "negative limit", "[AIS]\nCpaLimitNm=-1\n", {}, true },
        { "limit not a number", "[AIS]\nCpaLimitNm=nan\n", {}, true },
        { "switch on, the rest missing", "[AIS]\nClassBAndAtoNTargets=true\n", classB, false },
        { "large figures for the helm", "[Display]\nLargeNavFigures=true\n", large, false },
        { "large figures, not a switch", "[Display]\nLargeNavFigures=huge\n", {}, true },
        { "targets at start, labels placed", "[AIS]\nShowTargetsAtStart=true\nPlaceTargetLabels=1\n", glance, false },
        { "night palette", "[Display]\nNightPalette=true\n", night, false },
        { "night palette, not a switch", "[Display]\nNightPalette=dark\n", {}, true },
        { "filled chart areas", "[Display]\nFillAreas=true\n", fill, false },
        { "filled chart areas, not a switch", "[Display]\nFillAreas=blue\n", {}, true },
        { "AIS log limits", "[AIS]\nMaxLogMB=20\nMinFreeMB=0\n", smallLog, false },
        { "AIS log without room", "[AIS]\nMaxLogMB=0\n", {}, true },
        { "AIS log limit not whole", "[AIS]\nMaxLogMB=1.5\n", {}, true },
        { "anchor watch kept", "[Alarms]\nAnchorRadiusM=60\n[Anchor]\nSet=true\nLat=50.5\nLongW=1.25\n", anchored,
            false },
        { "anchor without a latitude is no anchor", "[Anchor]\nSet=true\nLat=north\nLongW=1.25\n", {}, true },
        { "anchor radius out of range", "[Alarms]\nAnchorRadiusM=5\n", {}, true },
        { "GPS limit of no time", "[Alarms]\nGpsLostAlarm=true\nGpsLostSeconds=0\n",
            [] {
                kv::ExtraSettings e;
                e.GpsLostAlarm = true;
                return e;
            }(),
            true },
        { "empty file", "", {}, false },
        { "binary rubbish", std::string("\0\xff\x01[[[=\n\xfe", 9), {}, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        kvtest::TempDir dir;
        {
            std::ofstream f(dir.file("kvfree.ini"), std::ios::binary);
            f << c.text;
        }
        const kv::ExtraSettingsRead r = kv::ReadExtraSettings(dir.file("kvfree.ini"));
        EXPECT_EQ(r.settings, c.want);
        EXPECT_EQ(!r.note.empty(), c.note) << r.note;
    }
}

TEST(ExtraSettings, AFolderInPlaceOfTheFileGivesDefaultsAndANote)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("kvfree.ini");
    std::filesystem::create_directory(path);
    const kv::ExtraSettingsRead r = kv::ReadExtraSettings(path);
    EXPECT_EQ(r.settings, kv::ExtraSettings {});
    EXPECT_NE(r.note, "");
}

} // namespace
