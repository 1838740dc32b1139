#include "navigation/FixCycle.h"
#include "app/ProgramState.h"

#include "navigation/RouteFollowing.h"
#include "navigation/UnitTexts.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

using namespace kv;

namespace {

class Views final : public FixCycleHooks {
public:
    int OpenViewCount() const override { return views; }
    void RefreshViews() override { ++recentred; }
    void AutoLoadChart() override { ++autoLoads; }
    bool ChartPointEditingEnabled() const override { return editing; }
    void AddChartPoint() override { ++chartPoints; }
    int views = 1;
    int recentred = 0;
    int autoLoads = 0;
    bool editing = false;
    int chartPoints = 0;
};

struct Cycle {
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    Views views;
    TrackLogs logs { state, fakes.platform };
    FixCycle cycle { FixCycleRecords { state }, fakes.platform, logs, views };
    Display& display = state.display;

    Cycle()
    {
        state.folders.AppDir = dir.path() + "/";
        state.folders.LogDir = dir.path() + "/logs/";
        std::filesystem::create_directories(dir.file("logs"));
        state.textLog.LogNameBase = "08-12-26";
        state.chartRef.CosLatFactor = 1.0;
        state.settings.fix.KeepTextLog = false;
        fakes.clock.time = { 2026, 12, 8, 12, 0, 0, 0 };
    }
    // A GGA sentence at (lat, long west positive) with the time hhmmss.
    static std::string Gga(const std::string& time, double lat, double lon, const std::string& quality = "1")
    {
        char buffer[160];
        const double alat = std::fabs(lat), alon = std::fabs(lon);
        std::snprintf(buffer, sizeof buffer, "$GPGGA,%s,%02d%07.4f,%s,%03d%07.4f,%s,%s,08,0.9,1.0,M,,M,,*00",
            time.c_str(), static_cast<int>(alat), (alat - std::floor(alat)) * 60.0, lat < 0 ? "S" : "N",
            static_cast<int>(alon), (alon - std::floor(alon)) * 60.0, lon < 0 ? "E" : "W", quality.c_str());
        return buffer;
    }
    void Receive(const std::string& sentence)
    {
        state.nmeaLink.NmeaOpen = true;
        state.nmeaLink.LastPositionSentence = sentence;
        cycle.FixTimerTimer();
    }
    void Route(std::initializer_list<LatLong> points)
    {
        int i = 0;
        for (const LatLong& p : points) {
            state.route.push({ "WP" + std::to_string(++i), p.lat, p.lon });
        }
        state.routeProgress.RouteLength = static_cast<std::int16_t>(state.route.count());
        state.routeProgress.ActiveWaypoint = 1;
    }
};

} // namespace

TEST(FixTimer, NoDataInvalidFixAndNoView)
{
    Cycle c;
    c.Receive("");
    EXPECT_EQ(c.display.StatusLine, kNoPositionData);
    EXPECT_EQ(c.display.GPSIndicatorColour, "red");
    EXPECT_EQ(c.fakes.prompter.beeps, (std::vector<Beep> { Beep::Information }));
    c.Receive("No Data !\r\n");
    EXPECT_EQ(c.fakes.prompter.beeps.size(), 2u);
    EXPECT_TRUE(c.state.quickLog.empty());

    // An invalid fix clears the panels and does not move the vessel.
    c.display.SpeedOG = "5.00 Kn";
    const double lat = c.state.fixInfo.OwnLat;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0, "0"));
    EXPECT_TRUE(c.display.SpeedOG.empty());
    EXPECT_EQ(c.display.GPSIndicatorText, "GPS");
    EXPECT_EQ(c.display.GPSIndicatorColour, "red");
    EXPECT_EQ(c.state.fixInfo.OwnLat, lat);
    EXPECT_TRUE(c.state.quickLog.empty());

    // Without a view the sentence is parsed, but no fix is taken.
    c.views.views = 0;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    EXPECT_NEAR(c.state.fixInfo.OwnLat, 50.0, 1e-9);
    EXPECT_TRUE(c.state.quickLog.empty());
    c.views.views = 1;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    EXPECT_EQ(c.state.quickLog.count(), 1u);
    EXPECT_EQ(c.state.fixInfo.FixSource, "$GPGGA");
    EXPECT_EQ(c.views.autoLoads, 1);
    // The views follow from the second fix on, every RedrawEveryFixes fixes.
    EXPECT_EQ(c.views.recentred, 0);
    c.Receive(Cycle::Gga("120010", 50.0, 1.0));
    c.Receive(Cycle::Gga("120020", 50.0, 1.0));
    EXPECT_EQ(c.views.recentred, 2);
    c.state.prefs.fix.RedrawEveryFixes = 3;
    for (const char* time : { "120030", "120040", "120050" }) {
        c.Receive(Cycle::Gga(time, 50.0, 1.0));
    }
    EXPECT_EQ(c.views.recentred, 3);
}

TEST(FixTimer, DamagedPositionIsNoFix)
{
    // Line noise turned "5041" into "9041": 90.68 degrees north must not reach the track.
    Cycle c;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    ASSERT_EQ(c.state.quickLog.count(), 1u);
    const double lat = c.state.fixInfo.OwnLat;
    for (const char* damaged : { "$GPGGA,120010,9041.0000,N,00100.0000,W,1,08,0.9,1.0,M,,M,,",
             "$GPGGA,120020,5000.0000,N,18100.0000,W,1,08,0.9,1.0,M,,M,,",
             "$GPGGA,120030,5060.0000,N,00100.0000,W,1,08,0.9,1.0,M,,M,," }) {
        c.Receive(damaged);
        EXPECT_EQ(c.state.quickLog.count(), 1u) << damaged;
        EXPECT_EQ(c.state.fixInfo.OwnLat, lat) << damaged;
        EXPECT_FALSE(c.state.sentenceFix.PositionValid) << damaged;
        EXPECT_EQ(c.display.GPSIndicatorColour, "red") << damaged;
    }
    c.Receive(Cycle::Gga("120040", 50.01, 1.0));
    EXPECT_EQ(c.state.quickLog.count(), 2u);
}

TEST(FixTimer, ASentenceAlreadyUsedIsNotTakenAgain)
{
    // The receiver's later lines were all rejected: the last good sentence is still the last one.
    Cycle c;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    c.Receive(Cycle::Gga("120010", 50.01, 1.0));
    const std::string speed = c.display.SpeedOG;
    c.cycle.FixTimerTimer();
    EXPECT_EQ(c.state.quickLog.count(), 2u) << "no record repeating the same time and place";
    EXPECT_EQ(c.display.SpeedOG, speed);
    c.cycle.ManualFix(); // an event is still marked
    c.Receive(Cycle::Gga("120020", 50.02, 1.0));
    EXPECT_EQ(c.state.quickLog.count(), 4u);
}

TEST(FixTime, SentenceTimeZoneWrapTidalHourAndClock)
{
    Cycle c;
    c.state.settings.fix.TimeZoneHours = 2;
    c.Receive(Cycle::Gga("235000", 50.0, 1.0));
    EXPECT_EQ(c.state.fixInfo.FixHour, 1);
    EXPECT_EQ(c.state.fixInfo.FixMinute, 50);
    EXPECT_EQ(c.state.fixInfo.FixTimeString, "235000"); // the sentence's own time, without the shift
    EXPECT_DOUBLE_EQ(c.state.quickLog.at(1).minutes, 110.0);

    c.state.settings.fix.TimeZoneHours = -3;
    c.Receive(Cycle::Gga("013000", 50.0, 1.0));
    EXPECT_EQ(c.state.fixInfo.FixHour, 22);

    c.state.settings.fix.TimeZoneHours = 0;
    c.Receive(Cycle::Gga("173500", 50.0, 1.0));
    EXPECT_EQ(c.state.tideStream.TidalHour, 6);
    c.Receive(Cycle::Gga("191000", 50.0, 1.0));
    EXPECT_EQ(c.state.tideStream.TidalHour, -6);

    // Without "Log GPS UTC time", the computer's clock.
    c.state.prefs.fix.UseGpsTime = false;
    c.fakes.clock.time = { 2026, 12, 8, 9, 8, 7, 500 };
    c.Receive(Cycle::Gga("191010", 50.0, 1.0));
    EXPECT_EQ(c.state.fixInfo.FixTimeString, "090807");
    EXPECT_NEAR(c.state.fixInfo.FixMinutes, 9 * 60 + 8 + 7.5 / 60.0, 1e-9);
    EXPECT_EQ(c.state.fixInfo.FixDateText, "08-12-26");
    // A sentence with a malformed time reads as 0, never past its end.
    c.state.prefs.fix.UseGpsTime = true;
    c.Receive("$GPGGA,1,5000.0,N,00100.0,W,1,08,0.9,,,,,,");
    EXPECT_EQ(c.state.fixInfo.FixHour, 1);
    EXPECT_EQ(c.state.fixInfo.FixMinute, 0);
}

TEST(QuickLogThinning, IntelligentDisposalAndDiscardOldest)
{
    Cycle c;
    c.state.settings.fix.DRMode = true; // fixes at the placed position, no route: quick to take
    for (int i = 1; i <= 98; ++i) {
        c.state.quickLog.push({ static_cast<double>(i), 0.0, static_cast<double>(i) });
    }
    // Each full fix drops one record: find which by the first latitude missing.
    std::vector<int> dropped;
    for (int fix = 0; fix < 7; ++fix) {
        std::vector<double> before;
        for (const auto& r : c.state.quickLog) {
            before.push_back(r.lat);
        }
        c.state.fixInfo.OwnLat = 1000.0 + fix;
        c.cycle.FixBtnClick();
        ASSERT_EQ(c.state.quickLog.count(), 98u);
        EXPECT_EQ(c.state.quickLog.at(98).lat, 1000.0 + fix);
        for (std::size_t k = 0; k < 97; ++k) {
            if (c.state.quickLog.at(k + 1).lat != before[k]) {
                dropped.push_back(static_cast<int>(k + 1));
                break;
            }
        }
    }
    EXPECT_EQ(dropped, (std::vector<int> { 2, 3, 3, 4, 4, 5, 5 }));
    EXPECT_EQ(c.state.quickLog.at(1).lat, 1.0); // the first record is never dropped

    Cycle d;
    d.state.settings.fix.DRMode = true;
    d.state.prefs.fix.DisposalStep = 0;
    for (int i = 1; i <= 98; ++i) {
        d.state.quickLog.push({ static_cast<double>(i), 0.0, 0.0 });
    }
    d.state.fixInfo.OwnLat = 500.0;
    d.cycle.FixBtnClick();
    EXPECT_EQ(d.state.quickLog.at(1).lat, 2.0);
    EXPECT_EQ(d.state.quickLog.at(98).lat, 500.0);
}

TEST(ManualFix, DatumRoundTripWithTheInterfaceClosed)
{
    Cycle c;
    c.state.chartRef.ChartLatOffset = 0.001;
    c.state.chartRef.ChartLongOffset = 0.002;
    c.state.fixInfo.OwnLat = 50.5;
    c.state.fixInfo.OwnLong = 1.25;
    c.state.settings.fix.KeepTextLog = true;
    c.logs.OpenTextLog();
    c.cycle.ManualFix();
    ASSERT_EQ(c.state.quickLog.count(), 1u);
    EXPECT_NEAR(c.state.quickLog.at(1).lat, 50.499, 1e-12);
    EXPECT_NEAR(c.state.quickLog.at(1).lon, 1.252, 1e-12);
    EXPECT_NEAR(c.state.fixInfo.OwnLat, 50.5, 1e-12);
    EXPECT_NEAR(c.state.fixInfo.OwnLong, 1.25, 1e-12);
    EXPECT_EQ(c.state.fixInfo.FixSource, "MAN");
    EXPECT_FALSE(c.state.cycleState.ManualFix);
    EXPECT_EQ(c.state.textLog.EventNumber, 1); // written to the text log as an event
    EXPECT_NE(c.dir.read("logs/08-12-26.txt").find("\r\n*1\r\n"), std::string::npos);

    // A manual fix with the interface open is a received fix marked as an event.
    c.state.nmeaLink.NmeaOpen = true;
    c.state.nmeaLink.LastPositionSentence = Cycle::Gga("120000", 51.0, 2.0);
    c.cycle.ManualFix();
    EXPECT_EQ(c.state.fixInfo.FixSource, "$GPGGA");
    EXPECT_NEAR(c.state.quickLog.at(2).lat, 51.0, 1e-9); // received positions are stored as received
    EXPECT_NEAR(c.state.fixInfo.OwnLat, 51.001, 1e-9); // and shown in chart datum
    EXPECT_EQ(c.state.textLog.EventNumber, 2);
}

TEST(EventSentence, TakenOnceAndTheTrackRestarts)
{
    Cycle c;
    c.views.editing = true;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    c.Receive(Cycle::Gga("120100", 50.01, 1.0));
    ASSERT_EQ(c.state.quickLog.count(), 2u);
    const std::string event = "$PKCOM,000000,5000.6000,N,00100.0000,W,0,07,a,b,c,d,e,f,g,h,1.0,x";
    c.Receive(event);
    EXPECT_TRUE(c.state.sentenceFix.EventSentence);
    EXPECT_TRUE(c.state.quickLog.empty()); // the event fix was taken, then the track restarts
    EXPECT_EQ(c.state.cycleState.LastEventSentence, event);
    EXPECT_EQ(c.views.chartPoints, 1);
    const std::string written = c.dir.read("logs/08-12-26.log");
    c.Receive(event);
    EXPECT_TRUE(c.state.quickLog.empty());
    EXPECT_EQ(c.views.chartPoints, 1); // the repeat is ignored
    EXPECT_EQ(c.dir.read("logs/08-12-26.log"), written);
}

TEST(CrossTrackGauge, ColourVoiceAndOnlyOnChange)
{
    Cycle c;
    c.Route({ { 50.5, 1.0 } });
    c.state.routeProgress.LegBearing = 0.0;
    c.state.prefs.Voice = true;
    c.fakes.sound.autoFinish = true;
    // A vessel 0.5 nm east of a leg running north: right of track.
    const double east = 0.5 / 60.0;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0 - east));
    c.Receive(Cycle::Gga("120100", 50.01, 1.0 - east));
    EXPECT_NEAR(c.state.routeProgress.XTE, 0.5, 0.01);
    EXPECT_EQ(c.display.XTerror, -50);
    EXPECT_EQ(c.display.XTerrorColour, "red");
    EXPECT_EQ(c.cycle.LastPrompt(), "\\left.wav");
    EXPECT_EQ(c.fakes.sound.played.back(), c.dir.path() + "/left.wav");
    EXPECT_EQ(c.display.hint(Control::XTerror), "XTE = 0.50|");
    EXPECT_EQ(c.display.XTEScale, "x 0.1 NM");
    EXPECT_EQ(c.display.BearingToWP.substr(3), "\xb0T");
    EXPECT_TRUE(c.state.cycleState.SoundIdle);

    // Same colour again with "Only on change": silent.
    c.state.prefs.Vfreq = true;
    c.Receive(Cycle::Gga("120200", 50.02, 1.0 - east));
    EXPECT_EQ(c.cycle.LastPrompt(), "");
    // Left of track: lime and "\right.wav"; the clip's file is found whatever its case.
    c.dir.write("RIGHT.WAV", "RIFF");
    c.Receive(Cycle::Gga("120300", 50.03, 1.0 + east));
    EXPECT_EQ(c.display.XTerrorColour, "lime");
    EXPECT_EQ(c.cycle.LastPrompt(), "\\right.wav");
    EXPECT_EQ(c.fakes.sound.played.back(), c.dir.path() + "/RIGHT.WAV");

    // A clip still playing holds the next prompt back.
    c.fakes.sound.autoFinish = false;
    c.Receive(Cycle::Gga("120400", 50.04, 1.0));
    EXPECT_EQ(c.cycle.LastPrompt(), "\\OnTrack.wav");
    EXPECT_FALSE(c.state.cycleState.SoundIdle);
    c.Receive(Cycle::Gga("120500", 50.05, 1.0 - east));
    EXPECT_EQ(c.cycle.LastPrompt(), "");
    c.fakes.sound.finish();
    EXPECT_TRUE(c.state.cycleState.SoundIdle);

    // Two miles off: the gauge's full scale becomes 10 nm.
    c.Receive(Cycle::Gga("120600", 50.06, 1.0 - 2.0 / 60.0));
    EXPECT_EQ(c.display.XTerror, -20);
    EXPECT_EQ(c.display.XTEScale, "x 1.0 NM");
}

// The trip and the cross-track gauge's scale follow the chosen distance unit; in nautical miles
// they are the usual texts.
TEST(CrossTrackGauge, TripAndScaleInTheChosenUnit)
{
    struct Case {
        double factor;
        const char* trip;
        const char* scale;
        int gauge;
        const char* offTrack; // the size beside the gauge
    };
    const Case cases[] = {
        { 1.0, "0.60 Nm", "x 0.1 NM", -50, "0.50 R" },
        { 1.852, "1.11 Km", "x 0.1 KM", -93, "0.93 R" },
        { 1.15078, "0.69 Mls", "x 0.1 MLS", -58, "0.58 R" },
    };
    for (const Case& k : cases) {
        Cycle c;
        c.state.settings.units.UnitFactor = k.factor;
        c.Route({ { 50.5, 1.0 } });
        c.state.routeProgress.LegBearing = 0.0;
        const double east = 0.5 / 60.0;
        c.Receive(Cycle::Gga("120000", 50.0, 1.0 - east));
        c.Receive(Cycle::Gga("120100", 50.01, 1.0 - east));
        EXPECT_EQ(c.display.Trip, k.trip) << k.factor;
        EXPECT_EQ(c.display.XTEScale, k.scale) << k.factor;
        EXPECT_EQ(c.display.XTerror, k.gauge) << k.factor;
        EXPECT_EQ(XteGaugeTextIn(c.state.routeProgress.XTE, c.state.settings.units), k.offTrack) << k.factor;
        // The route computation keeps its nautical-mile text for the output sentences.
        EXPECT_EQ(c.state.routeTexts.XTEScaleText.str(), "x 0.1 NM");
    }
}

TEST(EndOfRoute, PromptReverseAndRepeat)
{
    Cycle c;
    c.Route({ { 50.0, 1.0 }, { 50.1, 1.0 }, { 50.2, 1.0 } });
    c.state.prefs.OnRouteCompletion = RouteCompletion::NormalMode;
    c.state.app.NavPanelVisible = true;
    c.state.prefs.WPVoice = true;
    c.state.routeProgress.ActiveWaypoint = 3;
    c.Receive(Cycle::Gga("120000", 50.19, 1.0));
    c.Receive(Cycle::Gga("120100", 50.1999, 1.0)); // inside the circle of the last waypoint
    EXPECT_EQ(c.state.routeProgress.ActiveWaypoint, 4);
    EXPECT_EQ(c.display.StatusLine, kSelectNextWaypoint);
    EXPECT_EQ(c.display.hint(Control::WPName), "End of route !|");
    EXPECT_EQ(c.cycle.LastPrompt(), "\\select.wav");
    EXPECT_EQ(c.display.WPNameIndex, -1);

    c.state.prefs.OnRouteCompletion = RouteCompletion::Reverse;
    c.Receive(Cycle::Gga("120200", 50.1999, 1.0));
    EXPECT_TRUE(c.state.routeProgress.RouteReversed); // the "Reversed route" box shows it
    EXPECT_EQ(c.state.routeProgress.ActiveWaypoint, 2);
    EXPECT_NEAR(c.state.routeProgress.LegBearing, 180.0, 1e-3);

    c.state.prefs.OnRouteCompletion = RouteCompletion::RepRoute;
    c.state.routeProgress.ActiveWaypoint = 0;
    c.Receive(Cycle::Gga("120300", 50.1999, 1.0));
    EXPECT_EQ(c.state.routeProgress.ActiveWaypoint, 1);

    // A one-waypoint route neither reverses nor repeats, and never reads past the table.
    Cycle one;
    one.Route({ { 50.0, 1.0 } });
    one.state.prefs.OnRouteCompletion = RouteCompletion::Reverse;
    one.state.routeProgress.ActiveWaypoint = 2;
    one.Receive(Cycle::Gga("120000", 50.0, 1.0));
    one.Receive(Cycle::Gga("120100", 50.0, 1.0));
    EXPECT_EQ(one.state.routeProgress.ActiveWaypoint, 2);
    Cycle none;
    none.state.routeProgress.RouteLength = 5; // a length the table does not hold
    none.state.routeProgress.ActiveWaypoint = 3;
    none.Receive(Cycle::Gga("120000", 50.0, 1.0));
    none.Receive(Cycle::Gga("120100", 50.0, 1.0));
    EXPECT_EQ(none.state.quickLog.count(), 2u);
}

TEST(FixOutputs, SentencesTripLogFileAndFailures)
{
    Cycle c;
    c.Route({ { 50.5, 1.0 }, { 50.6, 1.0 } });
    c.fakes.serial.opened = true;
    c.Receive(Cycle::Gga("120000", 50.0, 1.0));
    c.Receive(Cycle::Gga("120100", 50.01, 1.0));
    EXPECT_NE(c.fakes.serial.written.find("$ECAPB"), std::string::npos);
    EXPECT_EQ(c.fakes.serial.written, c.state.nmeaLink.OutputText);
    EXPECT_EQ(c.display.Trip, "0.60 Nm");
    EXPECT_EQ(c.dir.read("logs/08-12-26.log").size(), 1792u);

    // No room in the transmit buffer: this fix's sentences are dropped whole.
    c.fakes.serial.written.clear();
    c.fakes.serial.freeSpace = 10;
    c.Receive(Cycle::Gga("120200", 50.02, 1.0));
    EXPECT_TRUE(c.fakes.serial.written.empty());

    // Trip reset asks first.
    c.fakes.prompter.answer({ false, true });
    c.cycle.TripDblClick();
    EXPECT_EQ(c.display.Trip, "1.20 Nm");
    c.cycle.TripDblClick();
    EXPECT_EQ(c.display.Trip, "0.00 Nm");
    EXPECT_EQ(c.state.motion.TripDistance, 0.0);

    // An unwritable log folder: the message, and the fix goes on.
    c.state.folders.LogDir = c.dir.path() + "/missing/";
    c.Receive(Cycle::Gga("120300", 50.03, 1.0));
    EXPECT_TRUE(c.fakes.prompter.lastMessageIs(kLogWriteError));
    EXPECT_EQ(c.state.quickLog.count(), 4u);
    EXPECT_EQ(c.display.Trip, "0.60 Nm");

    // The restarted program reloads the day's track.
    ProgramState again;
    again.folders.LogDir = c.dir.path() + "/logs/";
    TrackLogs reload(again, c.fakes.platform);
    reload.OpenDayLogs();
    EXPECT_EQ(again.quickLog.count(), 3u);
}

// A manual fix in remarks mode with automatic charts asks for the chart of the position and opens
// the remark editor for the event.
TEST(FixCycle, ManualFixInRemarksModeLoadsTheChartAndOpensTheRemarkEditor)
{
    class OneView final : public FixCycleHooks {
    public:
        int OpenViewCount() const override { return 1; }
        void AutoLoadChart() override { ++loads; }
        void OpenRemarkEditor() override { ++remarks; }
        int loads = 0;
        int remarks = 0;
    };
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    OneView hooks;
    TrackLogs logs { state, fakes.platform };
    FixCycle cycle { FixCycleRecords { state }, fakes.platform, logs, hooks };
    state.folders.AppDir = dir.path() + "/";
    state.folders.LogDir = dir.path() + "/";
    state.textLog.LogNameBase = "08-12-26";
    state.settings.fix.KeepTextLog = true;
    state.app.RemarksMode = true;
    ASSERT_TRUE(state.settings.fix.AutoChart);
    cycle.ManualFix();
    EXPECT_EQ(state.quickLog.count(), 1u);
    EXPECT_EQ(hooks.loads, 1);
    EXPECT_EQ(hooks.remarks, 1);
}

// Tow navigation measures from the tow, which each fix places at the vessel (chart datum): a
// waypoint 6 nm north is 6 nm off, not its distance from 0° 0°.
TEST(TowNavigation, RangeAndBearingFromTheFixNotFromZero)
{
    struct Case {
        const char* what;
        bool received;
    };
    for (const Case& k : { Case { "manual fix", false }, Case { "received fix", true } }) {
        Cycle c;
        c.state.chartRef.ChartLatOffset = 0.001;
        c.state.chartRef.ChartLongOffset = 0.002;
        c.Route({ { 50.101, 0.998 } });
        c.state.prefs.route.TowNavigation = true;
        if (k.received) {
            c.Receive(Cycle::Gga("120000", 50.0, 1.0));
        } else {
            c.state.fixInfo.OwnLat = 50.001;
            c.state.fixInfo.OwnLong = 0.998;
            c.cycle.ManualFix();
        }
        EXPECT_NEAR(c.state.routeProgress.TowLat, 50.001, 1e-9) << k.what;
        EXPECT_NEAR(c.state.routeProgress.TowLong, 0.998, 1e-9) << k.what;
        EXPECT_NEAR(c.state.routeProgress.RangeToWaypoint, 6.0, 1e-6) << k.what;
        EXPECT_LT(
            std::min(c.state.routeProgress.BearingToWaypoint, 360.0 - c.state.routeProgress.BearingToWaypoint), 1e-3)
            << k.what;
    }
}

TEST(Commands, DeadReckoningTowAntennaAndResetXte)
{
    Cycle c;
    c.state.settings.fix.FixIntervalMs = 5000;
    c.cycle.DRMode1Click();
    EXPECT_TRUE(c.state.settings.fix.DRMode);
    EXPECT_TRUE(c.display.FixTimer.running());
    EXPECT_EQ(c.display.StatusLine, kDeadReckoningMode);
    c.cycle.DRMode1Click();
    EXPECT_FALSE(c.state.settings.fix.DRMode);
    EXPECT_FALSE(c.display.FixTimer.running());
    c.state.nmeaLink.NmeaOpen = true;
    c.cycle.DRMode1Click();
    c.cycle.DRMode1Click();
    EXPECT_TRUE(c.display.FixTimer.running()); // the interface keeps it going
    c.state.nmeaLink.NmeaOpen = false;

    c.cycle.TowNavigationClick();
    EXPECT_TRUE(c.state.prefs.route.TowNavigation);

    // Locate antenna: the reference point, then a fix at the antenna 10 m north.
    c.state.fixInfo.OwnLat = 50.0;
    c.state.fixInfo.OwnLong = 1.0;
    c.cycle.Find_Antenna();
    EXPECT_TRUE(c.state.cycleState.AntennaPending);
    EXPECT_EQ(c.state.quickLog.count(), 1u);
    c.state.fixInfo.OwnLat = 50.0 + 10 * 8.999e-06;
    c.cycle.ManualFix();
    EXPECT_FALSE(c.state.cycleState.AntennaPending);
    EXPECT_NEAR(c.state.settings.vessel.AntennaNorth, -10 * 8.999e-06, 1e-12);
    EXPECT_NEAR(c.state.settings.vessel.AntennaEast, 0.0, 1e-12);
    c.cycle.Find_Antenna(); // refused: the quick log is not empty
    EXPECT_FALSE(c.state.cycleState.AntennaPending);

    // Antenna pending with a single record: nothing read before record 1.
    Cycle a;
    a.state.cycleState.AntennaPending = true;
    a.cycle.ManualFix();
    EXPECT_TRUE(a.state.cycleState.AntennaPending);

    // Reset XTE asks, then measures the leg from here.
    Cycle r;
    r.Route({ { 50.1, 0.9 } });
    r.state.fixInfo.OwnLat = 50.0;
    r.state.fixInfo.OwnLong = 1.0;
    r.fakes.prompter.answer({ false });
    r.cycle.XTerrorDblClick();
    EXPECT_EQ(r.state.routeProgress.LegBearing, 0.0);
    r.cycle.XTerrorDblClick();
    EXPECT_NEAR(r.state.routeProgress.LegBearing, 45.0, 1e-6);
    EXPECT_EQ(r.fakes.prompter.messages[0].text, kResetXteQuestion);
}

TEST(DeadReckoningFix, AdvancesAlongTheLegAndHeadingUp)
{
    Cycle c;
    c.Route({ { 51.0, 1.0 } });
    c.state.settings.fix.DRMode = true;
    c.state.fixInfo.OwnLat = 50.0;
    c.state.fixInfo.OwnLong = 1.0;
    c.state.settings.vessel.BoatSpeed = 6.0;
    c.state.settings.fix.FixIntervalMs = 600000;
    c.state.prefs.HeadUp = true;
    c.cycle.FixTimerTimer(); // first fix: where the vessel is
    EXPECT_EQ(c.state.fixInfo.FixSource, "DR");
    EXPECT_NEAR(c.state.fixInfo.OwnLat, 50.0, 1e-12);
    c.cycle.FixTimerTimer(); // then one nautical mile towards the waypoint
    EXPECT_NEAR(c.state.fixInfo.OwnLat, 50.0 + 1.0 / 60.0, 1e-9);
    EXPECT_EQ(c.display.GPSIndicatorText, "DR");
    c.fakes.clock.time.minute = 10;
    c.cycle.FixTimerTimer();
    EXPECT_EQ(c.state.motion.COG, 0);
    EXPECT_NEAR(c.state.headUp.ViewAngle, 2.0 * std::numbers::pi, 1e-9);
}
