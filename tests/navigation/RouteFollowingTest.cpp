#include "navigation/RouteFollowing.h"
#include "app/ProgramState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kv;

namespace {

double CosDeg(double deg)
{
    return std::cos(deg * std::numbers::pi / 180.0);
}

void AddRecord(ProgramState& s, double lat, double lon, double minutes)
{
    s.quickLog.push({ lat, lon, minutes });
}

void AddWaypoint(ProgramState& s, const std::string& name, double lat, double lon)
{
    s.route.push({ name, lat, lon });
    s.routeProgress.RouteLength = static_cast<std::int16_t>(s.route.count());
}

} // namespace

TEST(PlaneSailing, RangeAndBearingExamples)
{
    const double c50 = CosDeg(50.0);
    // 0.1° further east at 50° N: 3.857 nm due east.
    EXPECT_NEAR(PlaneDistance(c50, { 50.0, 1.0 }, { 50.0, 0.9 }), 3.857, 0.0005);
    EXPECT_NEAR(PlaneBearing(c50, { 50.0, 1.0 }, { 50.0, 0.9 }), 90.0, 1e-6);
    EXPECT_NEAR(PlaneBearing(c50, { 50.0, 1.0 }, { 50.0, 1.1 }), 270.0, 1e-6);
    // Due north and due south on the meridian: no division by zero.
    EXPECT_NEAR(PlaneBearing(c50, { 50.0, 1.0 }, { 50.1, 1.0 }), 0.0, 1e-3);
    EXPECT_NEAR(PlaneBearing(c50, { 50.0, 1.0 }, { 49.9, 1.0 }), 180.0, 1e-3);
    EXPECT_NEAR(PlaneBearing(1.0, { 0.0, 0.0 }, { 1.0, -1.0 }), 45.0, 1e-6); // north-east
    EXPECT_NEAR(PlaneBearing(1.0, { 0.0, 0.0 }, { -1.0, 1.0 }), 225.0, 1e-6); // south-west
}

TEST(PlaneSailing, DueNorthAHairToTheWestStaysNorth)
{
    // B lies north and 5e-10° to the west: the quadrant follows the divisor Δlong + 1e-9 (> 0),
    // so the bearing is about 0°, not 180°.
    const double b = PlaneBearing(1.0, { 50.0, 1.0 }, { 50.1, 1.0 + 5e-10 });
    EXPECT_LT(std::min(b, 360.0 - b), 0.01);
    // Exactly on the offset (divisor 0): still north, and south stays south.
    const double onOffset = PlaneBearing(1.0, { 50.0, 1.0 }, { 50.1, 1.0 + 1e-9 });
    EXPECT_LT(std::min(onOffset, 360.0 - onOffset), 1e-6);
    EXPECT_NEAR(PlaneBearing(1.0, { 50.0, 1.0 }, { 49.9, 1.0 + 1e-9 }), 180.0, 1e-6);
    const double same = PlaneBearing(1.0, { 50.0, 1.0 }, { 50.0, 1.0 + 1e-9 });
    EXPECT_FALSE(std::isnan(same));
}

TEST(SpeedAndCourse, AveragingAndMidnight)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    s.settings.vessel.BoatSpeed = 6.0;
    ComputeSOG(
        s.motion, s.quickLog, s.chartRef, s.settings.units, s.settings.fix.AverageFixes, s.settings.vessel.BoatSpeed);
    EXPECT_EQ(s.motion.SOGShown, 6.0); // nothing better than the boat speed
    EXPECT_EQ(ComputeCOG(s.motion, s.quickLog, s.chartRef.CosLatFactor, s.settings.fix.AverageFixes), 0);

    // Three records, averaging over 6: k = 2, from record 1 to record 3.
    AddRecord(s, 0.0, 0.0, 600.0);
    AddRecord(s, 0.05, 0.0, 630.0);
    AddRecord(s, 0.1, 0.0, 660.0);
    s.settings.fix.AverageFixes = 6;
    ComputeSOG(
        s.motion, s.quickLog, s.chartRef, s.settings.units, s.settings.fix.AverageFixes, s.settings.vessel.BoatSpeed);
    EXPECT_NEAR(s.motion.SOG, 6.0, 1e-9); // 6 nm in an hour
    EXPECT_NEAR(s.motion.LastLegDistance, 3.0, 1e-9);
    EXPECT_EQ(ComputeCOG(s.motion, s.quickLog, s.chartRef.CosLatFactor, s.settings.fix.AverageFixes), 0);

    // 23:59.5 to 00:00.5 is one minute, not minus a day.
    ProgramState m;
    m.chartRef.CosLatFactor = 1.0;
    AddRecord(m, 0.0, 0.0, 1439.5);
    AddRecord(m, 1.0 / 60.0, 0.0, 0.5);
    ComputeSOG(
        m.motion, m.quickLog, m.chartRef, m.settings.units, m.settings.fix.AverageFixes, m.settings.vessel.BoatSpeed);
    EXPECT_NEAR(m.motion.SOG, 60.0, 1e-6);

    // Same time twice: speed 0 rather than a division by zero.
    ProgramState z;
    AddRecord(z, 0.0, 0.0, 10.0);
    AddRecord(z, 0.1, 0.0, 10.0);
    ComputeSOG(
        z.motion, z.quickLog, z.chartRef, z.settings.units, z.settings.fix.AverageFixes, z.settings.vessel.BoatSpeed);
    EXPECT_EQ(z.motion.SOG, 0.0);

    // An averaging setting out of range never reads outside the log.
    z.settings.fix.AverageFixes = -5;
    ComputeSOG(
        z.motion, z.quickLog, z.chartRef, z.settings.units, z.settings.fix.AverageFixes, z.settings.vessel.BoatSpeed);
    z.settings.fix.AverageFixes = 0;
    ComputeSOG(
        z.motion, z.quickLog, z.chartRef, z.settings.units, z.settings.fix.AverageFixes, z.settings.vessel.BoatSpeed);
    EXPECT_EQ(ComputeCOG(z.motion, z.quickLog, z.chartRef.CosLatFactor, z.settings.fix.AverageFixes), 0);
}

TEST(FollowRoute, CrossTrackSignTextAndClamp)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    s.fixInfo.OwnLat = 0.0;
    s.fixInfo.OwnLong = 0.0;
    // The waypoint bears 350° at 2 nm while the leg runs 000°: right of the leg line by 2·sin 10°
    // (the tangent, 0.353, would overstate it).
    const double r = 2.0 / 60.0;
    AddWaypoint(s, "W1", r * CosDeg(10.0), r * std::sin(10.0 * std::numbers::pi / 180.0));
    s.routeProgress.ActiveWaypoint = 1;
    s.routeProgress.LegBearing = 0.0;
    s.routeProgress.LegWaypoint = 1;
    FollowRoute(s);
    EXPECT_NEAR(s.routeProgress.BearingToWaypoint, 350.0, 1e-4);
    EXPECT_NEAR(s.routeProgress.XTE, 2.0 * std::sin(10.0 * std::numbers::pi / 180.0), 1e-6);
    EXPECT_EQ(s.routeTexts.XTEText, "0.35,L,");
    EXPECT_TRUE(s.routeProgress.XTEValid);
    EXPECT_EQ(s.routeTexts.XTEScaleText, "x 0.1 NM");
    EXPECT_EQ(s.routeTexts.BearingText, "350");
    EXPECT_EQ(s.routeTexts.RangeText, "2.00 Nm ");
    EXPECT_EQ(s.routeTexts.ArrivalFlagText, ",A");

    // Left of track: the text says steer right.
    s.routeProgress.LegBearing = 340.0;
    FollowRoute(s);
    EXPECT_LT(s.routeProgress.XTE, 0.0);
    EXPECT_EQ(s.routeTexts.XTEText.str().substr(4), ",R,");

    // Waypoint behind the vessel: clamped to 9.99 and the 1 nm scale.
    s.routeProgress.LegBearing = 170.0;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.XTE, 9.99);
    EXPECT_EQ(s.routeTexts.XTEScaleText, "x 1.0 NM");
    EXPECT_EQ(s.routeTexts.XTEText, "9.99,L,");
    EXPECT_FALSE(s.routeProgress.XTEValid);
    EXPECT_TRUE(s.routeProgress.PerpendicularPassed);
}

// The distance from the leg line is what the panel, the gauge and the sentences get; it is valid
// only while a leg is set for the active waypoint and the waypoint lies ahead of the abeam line.
TEST(FollowRoute, CrossTrackIsThePerpendicularDistanceFromTheLeg)
{
    struct Case {
        const char* what;
        double rangeNm, offLegDeg; // the vessel's place, seen from the waypoint, off the leg line
        bool legSet;
        double arrivalRadius;
        double xte;
        bool valid, passed;
    };
    const double kDegToRad = std::numbers::pi / 180.0;
    for (const Case c : {
             Case {
                 "0.932 nm, 33 degrees off", 0.932, 33.0, true, 0.2, 0.932 * std::sin(33.0 * kDegToRad), true, false },
             Case { "left of the leg", 3.0, -20.0, true, 0.2, -3.0 * std::sin(20.0 * kDegToRad), true, false },
             Case { "no leg set for this waypoint", 0.932, 33.0, false, 0.2, 0.932 * std::sin(33.0 * kDegToRad), false,
                 false },
             Case { "past the waypoint abeam", 0.5, 120.0, true, 0.2, 9.99, false, true },
             Case { "too far off to show", 30.0, 30.0, true, 0.2, 9.99, false, false },
         }) {
        SCOPED_TRACE(c.what);
        ProgramState s;
        s.chartRef.CosLatFactor = 1.0;
        s.prefs.route.AutoNextWaypoint = false;
        s.settings.route.ArrivalRadius = c.arrivalRadius;
        AddWaypoint(s, "W1", 0.0, 0.0);
        s.routeProgress.ActiveWaypoint = 1;
        s.routeProgress.LegBearing = 90.0; // the leg runs east to the waypoint at (0, 0)
        s.routeProgress.LegWaypoint = c.legSet ? 1 : 0;
        // Bearing from the waypoint back along the leg is 270°; the vessel lies offLegDeg to
        // its right (north, for a positive angle) of that line.
        const double back = (270.0 - c.offLegDeg) * kDegToRad;
        s.fixInfo.OwnLat = c.rangeNm / 60.0 * std::cos(back);
        s.fixInfo.OwnLong = -c.rangeNm / 60.0 * std::sin(back); // west positive
        FollowRoute(s);
        EXPECT_NEAR(s.routeProgress.XTE, c.xte, 1e-6);
        EXPECT_EQ(s.routeProgress.XTEValid, c.valid);
        EXPECT_EQ(s.routeProgress.PerpendicularPassed, c.passed);
        EXPECT_FALSE(s.routeProgress.ArrivalCircleEntered);
    }
}

// Magnetic is true less an easterly variation; the variation is held west negative.
TEST(FollowRoute, MagneticCourseText)
{
    struct Case {
        std::int16_t cog, variation;
        const char* text;
    };
    for (const Case c : { Case { 32, -2, "034" }, Case { 32, 3, "029" }, Case { 358, -4, "002" }, Case { 2, 4, "358" },
             Case { 0, 0, "000" } }) {
        ProgramState s;
        s.motion.COG = c.cog;
        s.sentenceFix.MagVariation = c.variation;
        FollowRoute(s);
        EXPECT_EQ(s.routeTexts.COGMagText, c.text) << c.cog << " " << c.variation;
    }
}

TEST(FollowRoute, StreamStrongerThanBoatAndUnreachable)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    s.fixInfo.OwnLat = 0.0;
    s.fixInfo.OwnLong = 0.0;
    AddWaypoint(s, "N", 0.5, 0.0); // due north, 30 nm
    s.routeProgress.ActiveWaypoint = 1;
    s.settings.vessel.BoatSpeed = 5.0;
    s.prefs.tide.AtlasTide = false; // manual tide: 6 kn setting east, straight across the track
    s.tideStream.TideSet = 90;
    s.tideStream.TideRate = 6.0;
    FollowRoute(s);
    EXPECT_NEAR(s.routeProgress.TideCross, 6.0, 1e-9);
    EXPECT_EQ(s.routeProgress.TimeToWaypoint, -2.0);
    EXPECT_EQ(s.routeTexts.VMGText, "Speed<Tide! ");
    EXPECT_EQ(s.routeTexts.TimeToWaypointText, "********");
    EXPECT_EQ(s.routeTexts.CourseToSteerText, " 90");

    // A stream across from the other side is within the boat's power: course corrected.
    s.tideStream.TideSet = 270;
    s.tideStream.TideRate = 3.0;
    FollowRoute(s);
    EXPECT_NEAR(s.routeProgress.TideCross, -3.0, 1e-9);
    EXPECT_EQ(s.routeProgress.CourseToSteer, 37); // 0 − atan(−3/4)
    // No track yet: VMG from the boat speed, cos(0 − 37°) × 5.
    EXPECT_NEAR(s.routeProgress.VMG, 5.0 * CosDeg(37.0), 1e-9);

    // VMG of 0.005 kn: the waypoint cannot be reached.
    s.tideStream.TideRate = 0.0;
    s.settings.vessel.BoatSpeed = 0.005;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.TimeToWaypoint, -1.0);
    EXPECT_EQ(s.routeTexts.VMGText, "********");
    EXPECT_EQ(s.routeTexts.TimeToWaypointText, "********");

    // No boat speed and no stream: a course (not NaN) and no crash.
    s.settings.vessel.BoatSpeed = 0.0;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.CourseToSteer, 0);
}

TEST(FollowRoute, ArrivalAdvanceAndArrivalWithoutAdvance)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    AddWaypoint(s, "ALPHA                   19   ", 0.001, 0.0);
    AddWaypoint(s, "BRAVO", 0.5, 0.0);
    s.fixInfo.OwnLat = 0.0;
    s.fixInfo.OwnLong = 0.0;
    s.routeProgress.ActiveWaypoint = 1;
    s.settings.route.ArrivalRadius = 0.2;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.ActiveWaypoint, 2);
    EXPECT_TRUE(s.cycleState.ApproachPending);
    EXPECT_EQ(s.routeTexts.PreviousWaypointName, "ALPHA               ");
    EXPECT_EQ(s.routeProgress.WaypointName, "BRAVO");
    EXPECT_EQ(s.routeTexts.WaypointText, "BRAVO");
    EXPECT_NEAR(s.routeProgress.LegBearing, 0.0, 1e-3);
    EXPECT_NEAR(s.routeProgress.RangeToWaypoint, 30.0, 1e-9);

    // Advancing past the last waypoint leaves the index past the end.
    s.fixInfo.OwnLat = 0.4999;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.ActiveWaypoint, 3);
    FollowRoute(s); // past the end: no waypoint, no course
    EXPECT_EQ(s.routeProgress.CourseToSteer, -1);
    EXPECT_EQ(s.routeTexts.WaypointText, "Select Next Waypoint !");

    // Without automatic advance: stop, flag ",V" and "Near … !".
    s.prefs.route.AutoNextWaypoint = false;
    s.routeProgress.ActiveWaypoint = 2;
    s.cycleState.ApproachPending = false;
    FollowRoute(s);
    EXPECT_EQ(s.routeProgress.ActiveWaypoint, 0);
    EXPECT_EQ(s.routeTexts.ArrivalFlagText, ",V");
    EXPECT_EQ(s.routeTexts.WaypointText, "Near BRAVO !");
    EXPECT_EQ(s.routeProgress.WaypointName, "BRAVO"); // the label stays the label
    EXPECT_FALSE(s.cycleState.ApproachPending);
}

TEST(FollowRoute, RangeTextUnitsAndTimeToGo)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    AddWaypoint(s, "K", 0.01, 0.0); // 0.6 nm
    s.routeProgress.ActiveWaypoint = 1;
    s.fixInfo.OwnLat = 0.0;
    s.fixInfo.OwnLong = 0.0;
    s.settings.units.UnitFactor = 1.852;
    s.settings.route.ArrivalRadius = 0.1;
    s.settings.vessel.BoatSpeed = 4.0;
    s.prefs.tide.AtlasTide = false;
    FollowRoute(s);
    EXPECT_EQ(s.routeTexts.RangeText, "1.11 Km ");
    EXPECT_NEAR(s.routeProgress.RangeToWaypoint, 0.6, 1e-9); // held in nautical miles after the fix
    EXPECT_EQ(s.routeTexts.VMGText, "4.00 Kn"); // speeds stay knots with KnotsAlways
    EXPECT_EQ(s.routeTexts.TimeToWaypointText, " 0 Hr 9.0 Min");
    s.settings.units.UnitFactor = 1.0;
    FollowRoute(s);
    EXPECT_EQ(s.routeTexts.RangeText, "0.6000 Nm ");
}

// The range to the waypoint is nautical miles after every writer, whatever unit the panels show:
// route following compares it with the arrival radius and divides it by the VMG, the output
// sentences and auto zoom read it between fixes.
TEST(FollowRoute, RangeToWaypointIsNauticalMilesInEveryUnit)
{
    for (const double factor : { 1.0, 1.852, 1.1508 }) {
        SCOPED_TRACE(factor);
        ProgramState s;
        s.chartRef.CosLatFactor = 1.0;
        AddWaypoint(s, "K", 0.01, 0.0); // 0.6 nm
        s.routeProgress.ActiveWaypoint = 1;
        s.fixInfo.OwnLat = 0.0;
        s.fixInfo.OwnLong = 0.0;
        s.settings.units.UnitFactor = factor;
        RangeBearingToWaypoint(
            s.routeProgress, s.routeTexts, s.fixInfo, s.chartRef, s.prefs.route.TowNavigation, s.route);
        EXPECT_NEAR(s.routeProgress.RangeToWaypoint, 0.6, 1e-9);
        s.routeProgress.RangeToWaypoint = 0.0;
        RestartLeg(s.routeProgress, s.routeTexts, s.fixInfo, s.chartRef, s.prefs.route.TowNavigation, s.route);
        EXPECT_NEAR(s.routeProgress.RangeToWaypoint, 0.6, 1e-9);
        s.settings.route.ArrivalRadius = 0.1;
        FollowRoute(s);
        EXPECT_DOUBLE_EQ(s.routeProgress.RangeToWaypoint, PlaneDistance(1.0, { 0.0, 0.0 }, { 0.01, 0.0 }));
    }
}

TEST(TidalStream, NearestDiamondEarlierWinsTie)
{
    ProgramState s;
    s.chartRef.CosLatFactor = 1.0;
    s.fixInfo.OwnLat = 0.0;
    s.fixInfo.OwnLong = 0.0;
    TidalDiamond a;
    a.lat = 0.1;
    a.set.fill(10);
    a.rate.fill(15);
    TidalDiamond b = a;
    b.lat = -0.1;
    b.set.fill(200);
    TidalDiamond far = a;
    far.lat = 1.0;
    far.set.fill(300);
    b.set[static_cast<std::size_t>(3 + 6)] = 222;
    s.tides.push(far);
    s.tides.push(a);
    s.tides.push(b);
    s.tideStream.TidalHour = 3;
    FindTidalStream(s.tideStream, s.fixInfo, s.chartRef, s.tides);
    EXPECT_EQ(s.tideStream.TideSet, 10);
    EXPECT_DOUBLE_EQ(s.tideStream.TideRate, 1.5);
}

TEST(TidalHour, RoundingAndWrap)
{
    EXPECT_EQ(ComputeTidalHour(17, 35, 12), 6);
    EXPECT_EQ(ComputeTidalHour(19, 10, 12), -6);
    EXPECT_EQ(ComputeTidalHour(23, 45, 12), 1); // 24 becomes 0, 0 − 12 = −12 → +1
    EXPECT_EQ(ComputeTidalHour(5, 0, 12), 6); // −7 → +6
    EXPECT_EQ(ComputeTidalHour(12, 0, 12), 0);
}

TEST(DeadReckoning, AdvancesFromTheNewestRecord)
{
    ProgramState s;
    s.fixInfo.OwnLat = 0.0;
    s.settings.vessel.BoatSpeed = 6.0;
    s.settings.fix.FixIntervalMs = 600000; // ten minutes: 1 nm
    s.routeProgress.BearingToWaypoint = 90.0;
    s.chartRef.ChartLatOffset = 0.001;
    DeadReckon(
        s.motion, s.fixInfo, s.chartRef, s.routeProgress, s.settings.vessel, s.settings.fix.FixIntervalMs, s.quickLog);
    EXPECT_DOUBLE_EQ(s.motion.DRLat, -0.001); // no record yet: here, in receiver datum
    AddRecord(s, 10.0, 5.0, 0.0);
    DeadReckon(
        s.motion, s.fixInfo, s.chartRef, s.routeProgress, s.settings.vessel, s.settings.fix.FixIntervalMs, s.quickLog);
    EXPECT_NEAR(s.motion.DRLat, 10.0, 1e-12);
    EXPECT_NEAR(s.motion.DRLong, 5.0 - 1.0 / 60.0, 1e-12); // east is a smaller west longitude
    EXPECT_EQ(s.fixInfo.FixSource, "DR");
    s.settings.vessel.DRCourseSource = 1;
    s.motion.DRCourse = 180.0;
    s.settings.vessel.DRSpeedSource = 1;
    s.motion.DRSpeed = 12.0;
    DeadReckon(
        s.motion, s.fixInfo, s.chartRef, s.routeProgress, s.settings.vessel, s.settings.fix.FixIntervalMs, s.quickLog);
    EXPECT_NEAR(s.motion.DRLat, 10.0 - 2.0 / 60.0, 1e-12);
}
