#include "navigation/RouteFollowing.h"

#include "core/Format.h"
#include "core/Magnetic.h"
#include "core/PlaneSailing.h"
#include "core/Units.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kBehind = 9999999999999.0; // the waypoint is abeam or behind: no distance from the leg
constexpr double kXteLimit = 9.99;

LatLong RecordPosition(const QuickLog& log, std::size_t number)
{
    const QuickLogRecord& r = log.at(number);
    return { r.lat, r.lon };
}

// The waypoint `index` of the route, or nullptr when the index lies outside the table. The route
// length in the state mirrors the table's count; the table is what bounds every read.
const RouteWaypoint* Waypoint(const RouteProgress& progress, const RouteTable& route, int index)
{
    const int length = std::min<int>(progress.RouteLength, static_cast<int>(route.count()));
    if (index < 1 || index > length) {
        return nullptr;
    }
    return &route.at(static_cast<std::size_t>(index));
}

// Number of records to average over: AverageFixes when there are more records than that, else
// all of them. A setting outside 1 … 99 never reaches past either end of the log.
std::size_t AveragingSpan(int averageFixes, std::size_t n)
{
    const long average = std::clamp<long>(averageFixes, 1, 99);
    return n > static_cast<std::size_t>(average) ? static_cast<std::size_t>(average) : n - 1;
}

std::string ThreeDigits(long long value)
{
    return ZeroFill(FormatInt(value, 3));
}

std::string SpeedText(const UnitSettings& units, const UnitPreferences& prefs, double knots)
{
    return FormatFixed(SpeedInDisplayUnits(units, prefs, knots), 3, 2);
}

std::string CutLeadingSpace(std::string text)
{
    if (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    return text;
}

} // namespace

double PlaneDistance(double cosLat, LatLong a, LatLong b)
{
    return PlaneSailingDistance(cosLat, a.lat, a.lon, b.lat, b.lon);
}

double PlaneBearing(double cosLat, LatLong a, LatLong b)
{
    return PlaneSailingBearing(cosLat, a.lat, a.lon, b.lat, b.lon);
}

void ComputeSOG(Motion& motion, const QuickLog& log, const ChartReference& ref, const UnitSettings& units,
    int averageFixes, double boatSpeed)
{
    const std::size_t n = log.count();
    if (n < 2) {
        motion.SOGShown = boatSpeed;
        // No leg yet: a distance left from before a purge or an event restart must not be
        // added to the trip again.
        motion.LastLegDistance = 0.0;
        return;
    }
    motion.LastLegDistance
        = PlaneDistance(ref.CosLatFactor, RecordPosition(log, n - 1), RecordPosition(log, n)) * units.UnitFactor;
    const std::size_t k = AveragingSpan(averageFixes, n);
    const double d = PlaneDistance(ref.CosLatFactor, RecordPosition(log, n - k), RecordPosition(log, n));
    double dt = log.at(n).minutes - log.at(n - k).minutes;
    if (dt < 0.0) {
        dt += 1440.0; // the fixes straddle midnight
    }
    motion.SOG = dt <= 0.0 ? 0.0 : 60.0 * d / dt;
    motion.SOGShown = motion.SOG;
}

std::int16_t ComputeCOG(Motion& motion, const QuickLog& log, double cosLat, int averageFixes)
{
    const std::size_t n = log.count();
    if (n < 2) {
        return 0;
    }
    const std::size_t k = AveragingSpan(averageFixes, n);
    const double bearing = PlaneBearing(cosLat, RecordPosition(log, n - k), RecordPosition(log, n));
    motion.COG = static_cast<std::int16_t>(RoundHalfEven(bearing));
    motion.COGValue = motion.COG;
    return motion.COG;
}

void RangeBearingToWaypoint(RouteProgress& progress, RoutePanelTexts& texts, const Fix& fix, const ChartReference& ref,
    bool towNavigation, const RouteTable& route)
{
    const RouteWaypoint* wp = Waypoint(progress, route, progress.ActiveWaypoint);
    if (wp == nullptr) {
        return; // no such waypoint: the last values stand
    }
    const LatLong origin
        = towNavigation ? LatLong { progress.TowLat, progress.TowLong } : LatLong { fix.OwnLat, fix.OwnLong };
    const LatLong target { wp->lat, wp->lon };
    const double r = PlaneDistance(ref.CosLatFactor, origin, target);
    progress.RangeToWaypoint = r;
    progress.BearingToWaypoint = PlaneBearing(ref.CosLatFactor, origin, target);
    progress.WaypointName = wp->name.substr(0, 20);
    texts.WaypointText = progress.WaypointName.str();
}

void FindTidalStream(TidalStream& stream, const Fix& fix, const ChartReference& ref, const TidalDiamonds& tides)
{
    stream.TideSet = 0;
    stream.TideRate = 0.0;
    const int hour = std::clamp<int>(stream.TidalHour, -6, 6);
    double best = 99999.0;
    for (const TidalDiamond& diamond : tides) {
        const double d = PlaneDistance(ref.CosLatFactor, { fix.OwnLat, fix.OwnLong }, { diamond.lat, diamond.lon });
        if (d < best) {
            best = d;
            stream.TideSet = diamond.setAt(hour);
            stream.TideRate = diamond.rateAt(hour) / 10.0;
        }
    }
}

void FollowRoute(FollowRouteRecords state)
{
    const QuickLog& log = state.quickLog;
    const std::string speedLabel = SpeedUnitLabel(state.settings.units, state.prefs.units);
    const std::string distanceLabel = DistanceUnitLabel(state.settings.units);

    if (state.routeProgress.ActiveWaypoint > 0
        && Waypoint(state.routeProgress, state.route, state.routeProgress.ActiveWaypoint) != nullptr) {
        state.routeProgress.WaterSpeedShown = state.settings.vessel.BoatSpeed;
        RangeBearingToWaypoint(state.routeProgress, state.routeTexts, state.fixInfo, state.chartRef,
            state.prefs.route.TowNavigation, state.route);
        state.routeTexts.BearingText = ThreeDigits(RoundHalfEven(state.routeProgress.BearingToWaypoint));

        // Arrival: inside the circle with automatic advance, steer for the next waypoint.
        if (state.routeProgress.RangeToWaypoint < state.settings.route.ArrivalRadius
            && state.prefs.route.AutoNextWaypoint) {
            state.cycleState.ApproachPending = true;
            state.routeTexts.PreviousWaypointName = state.routeProgress.WaypointName.str();
            const std::int16_t reached = state.routeProgress.ActiveWaypoint;
            state.routeProgress.ActiveWaypoint = static_cast<std::int16_t>(
                state.routeProgress.ActiveWaypoint + (state.routeProgress.RouteReversed ? -1 : 1));
            if (Waypoint(state.routeProgress, state.route, state.routeProgress.ActiveWaypoint) != nullptr) {
                RangeBearingToWaypoint(state.routeProgress, state.routeTexts, state.fixInfo, state.chartRef,
                    state.prefs.route.TowNavigation, state.route);
                state.routeProgress.LegBearing = state.routeProgress.BearingToWaypoint;
                state.routeProgress.LegWaypoint = state.routeProgress.ActiveWaypoint;
                state.routeProgress.LegOrigin = reached;
            }
        }
        if (state.routeProgress.RangeToWaypoint >= state.settings.route.ArrivalRadius
            || state.prefs.route.AutoNextWaypoint) {
            state.routeTexts.ArrivalFlagText = ",A";
        } else {
            state.routeTexts.ArrivalFlagText = ",V";
            state.routeProgress.ActiveWaypoint = 0;
            state.routeTexts.WaypointText = "Near " + state.routeProgress.WaypointName.str() + " !";
        }

        if (state.prefs.tide.AtlasTide) {
            FindTidalStream(state.tideStream, state.fixInfo, state.chartRef, state.tides);
        }
        state.routeProgress.TideCross = state.tideStream.TideRate
            * std::cos((90.0 + state.routeProgress.BearingToWaypoint - state.tideStream.TideSet) * kDeg);
        state.routeProgress.TideAlong = state.tideStream.TideRate
            * std::cos((state.routeProgress.BearingToWaypoint - state.tideStream.TideSet) * kDeg);

        if (state.routeProgress.TideCross <= state.settings.vessel.BoatSpeed) {
            const double across = std::sqrt(std::fabs(state.settings.vessel.BoatSpeed * state.settings.vessel.BoatSpeed
                - state.routeProgress.TideCross * state.routeProgress.TideCross));
            // No boat speed and no stream: nothing to correct (0/0 would give no course at all).
            const double correction = (across == 0.0 && state.routeProgress.TideCross == 0.0)
                ? 0.0
                : std::atan(state.routeProgress.TideCross / across) / kDeg;
            const double course = state.routeProgress.BearingToWaypoint - correction;
            state.routeProgress.CourseToSteerExact = course;
            long long rounded = RoundHalfEven(course);
            if (rounded < 0) {
                rounded += 360;
            }
            if (rounded >= 360) {
                rounded -= 360;
            }
            state.routeProgress.CourseToSteer = static_cast<std::int16_t>(rounded);
            ComputeSOG(state.motion, log, state.chartRef, state.settings.units, state.settings.fix.AverageFixes,
                state.settings.vessel.BoatSpeed);
            state.routeProgress.VMG
                = std::cos((state.motion.COG - state.routeProgress.CourseToSteer) * kDeg) * state.motion.SOGShown;
            state.routeProgress.TimeToWaypoint
                = state.routeProgress.VMG > 0.01 ? state.routeProgress.RangeToWaypoint / state.routeProgress.VMG : -1.0;
        } else {
            state.routeProgress.WaterSpeedShown = state.routeProgress.TideCross;
            state.routeProgress.TimeToWaypoint = -2.0;
        }
    } else {
        state.routeProgress.CourseToSteer = -1;
        state.routeProgress.CourseToSteerExact = -1.0;
        state.routeProgress.VMG = 0.0;
        state.routeProgress.TimeToWaypoint = 0.0;
        ComputeSOG(state.motion, log, state.chartRef, state.settings.units, state.settings.fix.AverageFixes,
            state.settings.vessel.BoatSpeed);
        state.routeProgress.VMG = state.motion.SOGShown;
        state.routeTexts.PreviousWaypointName.clear();
    }

    // Texts
    if (state.routeProgress.CourseToSteer < 0) {
        state.routeTexts.CourseToSteerText.clear();
        state.routeTexts.WaypointText = "Select Next Waypoint !";
    } else {
        state.routeTexts.CourseToSteerText = ThreeDigits(state.routeProgress.CourseToSteer);
    }
    {
        const double hours = std::trunc(state.routeProgress.TimeToWaypoint);
        const double minutes = (state.routeProgress.TimeToWaypoint - hours) * 60.0;
        state.routeTexts.TimeToWaypointText = FormatInt(static_cast<long long>(std::clamp(hours, -1e15, 1e15)), 2)
            + " Hr " + FormatFixed(minutes, 0, 1) + " Min";
    }
    state.routeTexts.COGText = ThreeDigits(state.motion.COG);
    state.routeTexts.COGMagText
        = ThreeDigits(RoundHalfEven(MagneticFromTrue(state.motion.COG, state.sentenceFix.MagVariation)) % 360);
    if (state.routeProgress.TimeToWaypoint == -1.0) {
        state.routeTexts.TimeToWaypointText = "********";
        state.routeTexts.VMGText = "********";
        state.routeTexts.SOGText = SpeedText(state.settings.units, state.prefs.units, state.motion.SOG);
    } else {
        state.routeTexts.VMGText
            = SpeedText(state.settings.units, state.prefs.units, state.routeProgress.VMG) + speedLabel;
        state.routeTexts.SOGText = SpeedText(state.settings.units, state.prefs.units, state.motion.SOG);
    }
    if (state.routeProgress.TimeToWaypoint == -2.0) {
        state.routeTexts.TimeToWaypointText = "********";
        state.routeTexts.VMGText = "Speed<Tide! ";
        state.routeTexts.CourseToSteerText = FormatInt(state.tideStream.TideSet, 3);
    }
    {
        const double range = state.routeProgress.RangeToWaypoint * state.settings.units.UnitFactor;
        state.routeTexts.RangeText
            = (range <= 1.0 ? FormatFixed(range, 5, 4) : FormatFixed(range, 4, 2)) + " " + distanceLabel;
    }

    // Cross-track error: the vessel's distance from the leg line through the waypoint, positive
    // when it lies right of the leg. x is the angle at the waypoint between the leg and the line
    // back to the vessel, so the distance across is range × sin x (range × cos x is what is left
    // along the leg). Once the waypoint is abeam or behind there is no distance to steer by: the
    // value is held at the limit and marked not valid, as it is while no leg has been set for the
    // active waypoint.
    const double x = (state.routeProgress.LegBearing - state.routeProgress.BearingToWaypoint) * kDeg;
    const bool ahead = std::cos(x) > 0.0;
    const double across = ahead ? state.routeProgress.RangeToWaypoint * std::sin(x) : kBehind;
    const double e = std::clamp(across, -kXteLimit, kXteLimit);
    const bool active = state.routeProgress.ActiveWaypoint > 0
        && Waypoint(state.routeProgress, state.route, state.routeProgress.ActiveWaypoint) != nullptr;
    const bool legSet = active && state.routeProgress.LegWaypoint == state.routeProgress.ActiveWaypoint;
    state.routeProgress.XTEValid = legSet && ahead && std::fabs(across) < kXteLimit;
    state.routeProgress.PerpendicularPassed = legSet && !ahead;
    state.routeProgress.ArrivalCircleEntered
        = active && state.routeProgress.RangeToWaypoint < state.settings.route.ArrivalRadius;
    if (state.routeProgress.CourseToSteer >= 0) {
        state.routeTexts.XTEScaleText = std::fabs(e) >= 1.0 ? "x 1.0 NM" : "x 0.1 NM";
        state.routeProgress.XTE = e;
    }
    state.routeTexts.XTEText = CutLeadingSpace(FormatFixed(std::fabs(e), 4, 2)) + (e > 0.0 ? ",L," : ",R,");
}

void DeadReckon(Motion& motion, Fix& fix, const ChartReference& ref, const RouteProgress& progress,
    const VesselSettings& vessel, std::uint32_t fixIntervalMs, const QuickLog& log)
{
    const double course = (vessel.DRCourseSource == 0 ? progress.BearingToWaypoint : motion.DRCourse) * kDeg;
    const double speed = vessel.DRSpeedSource == 0 ? vessel.BoatSpeed : motion.DRSpeed;
    const double s = speed / 216000.0; // degrees of latitude per second
    const double t = fixIntervalMs / 1000.0;
    if (log.count() < 1) {
        // The displayed position is in chart datum; the fix records receiver datum.
        const LatLong here = StateFromChartDatum(ref, { fix.OwnLat, fix.OwnLong });
        motion.DRLat = here.lat;
        motion.DRLong = here.lon;
    } else {
        const QuickLogRecord& last = log.at(log.count());
        motion.DRLat = last.lat + std::cos(course) * s * t;
        const double cosLat = std::fabs(std::cos(fix.OwnLat * kDeg));
        motion.DRLong = cosLat > 1e-12 ? last.lon - std::sin(course) * s * t / cosLat : last.lon;
    }
    fix.FixSource = "DR";
}

void RestartLeg(RouteProgress& progress, RoutePanelTexts& texts, const Fix& fix, const ChartReference& ref,
    bool towNavigation, const RouteTable& route)
{
    RangeBearingToWaypoint(progress, texts, fix, ref, towNavigation, route);
    progress.LegBearing = progress.BearingToWaypoint;
    if (Waypoint(progress, route, progress.ActiveWaypoint) != nullptr) {
        progress.LegWaypoint = progress.ActiveWaypoint;
        progress.LegOrigin = 0;
    }
}

std::int16_t ComputeTidalHour(int fixHour, int fixMinute, int highWaterHour)
{
    int hour = fixHour + (fixMinute > 29 ? 1 : 0);
    if (hour == 24) {
        hour = 0;
    }
    hour -= highWaterHour;
    hour %= 13; // towards zero, keeping the sign
    if (hour > 6) {
        hour -= 13;
    }
    if (hour < -6) {
        hour += 13;
    }
    return static_cast<std::int16_t>(hour);
}

} // namespace kv
