#include "ais/AisCollision.h"

#include <cmath>

namespace kv {

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

// Velocity in knots, east and north components.
void Velocity(const VesselMotion& v, double& east, double& north)
{
    east = v.sogKn * std::sin(v.cogDeg * kDeg);
    north = v.sogKn * std::cos(v.cogDeg * kDeg);
}

} // namespace

CpaResult ComputeCpa(const VesselMotion& own, const VesselMotion& target)
{
    // Target relative to own vessel in nautical miles, east and north, on a plane scaled by the
    // cosine of own latitude; the longitude difference taken the short way round.
    double dLonW = target.lonW - own.lonW;
    dLonW -= 360.0 * std::floor((dLonW + 180.0) / 360.0);
    const double x = -dLonW * 60.0 * std::cos(own.lat * kDeg);
    const double y = (target.lat - own.lat) * 60.0;
    double oe, on, te, tn;
    Velocity(own, oe, on);
    Velocity(target, te, tn);
    const double vx = te - oe;
    const double vy = tn - on;
    const double v2 = vx * vx + vy * vy;
    CpaResult r;
    if (v2 < 1e-12) {
        r.cpaNm = std::hypot(x, y); // the same motion: the distance never changes
        return r;
    }
    const double hours = -(x * vx + y * vy) / v2;
    r.cpaNm = std::hypot(x + vx * hours, y + vy * hours);
    r.tcpaMin = hours * 60.0;
    return r;
}

bool IsDangerous(const CpaResult& r, double cpaLimitNm, double tcpaLimitMin)
{
    return r.cpaNm < cpaLimitNm && r.tcpaMin >= 0.0 && r.tcpaMin <= tcpaLimitMin;
}

VesselMotion DeadReckon(const VesselMotion& v, double minutes)
{
    double e, n;
    Velocity(v, e, n);
    const double hours = minutes / 60.0;
    VesselMotion out = v;
    out.lat = v.lat + n * hours / 60.0;
    const double cosLat = std::cos(v.lat * kDeg);
    if (std::fabs(cosLat) > 1e-12) {
        out.lonW = v.lonW - e * hours / 60.0 / cosLat;
    }
    return out;
}

bool CollisionAlarm::update(std::uint32_t mmsi, const CpaResult& r, double cpaLimitNm, double tcpaLimitMin)
{
    const bool dangerous = IsDangerous(r, cpaLimitNm, tcpaLimitMin);
    const auto it = active_.find(mmsi);
    if (it == active_.end()) {
        if (dangerous) {
            active_.emplace(mmsi, true);
            return true;
        }
        return false;
    }
    // The encounter lasts until the closest point is past or clearly beyond the limits.
    if (!dangerous && (r.tcpaMin < 0.0 || r.cpaNm >= 1.5 * cpaLimitNm || r.tcpaMin > 1.5 * tcpaLimitMin)) {
        active_.erase(it);
    }
    return false;
}

} // namespace kv
