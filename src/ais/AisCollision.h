#pragma once
// Collision warning: closest point of approach of a target to own vessel by plane sailing, the
// same flat-earth reckoning the program uses for range and bearing, and the alarm that sounds
// once per encounter. Longitudes are WEST positive as in the navigation state; AIS positions
// (east positive) are negated by the caller. Pure: no I/O, no platform.

#include <cstdint>
#include <unordered_map>

namespace kv {

struct VesselMotion {
    double lat = 0; // degrees, north positive
    double lonW = 0; // degrees, WEST positive
    double sogKn = 0; // knots
    double cogDeg = 0; // degrees true
};

struct CpaResult {
    double cpaNm = 0; // distance at the closest point
    double tcpaMin = 0; // minutes until it; negative when it is past; 0 when the motion is the same
};

CpaResult ComputeCpa(const VesselMotion& own, const VesselMotion& target);

// Within the limits: closer than cpaLimitNm, between now and tcpaLimitMin minutes ahead.
bool IsDangerous(const CpaResult& r, double cpaLimitNm, double tcpaLimitMin);

// Where a vessel will be after `minutes` on its course and speed (plane sailing).
VesselMotion DeadReckon(const VesselMotion& v, double minutes);

// One sound per encounter: the alarm sounds when a target becomes dangerous, not again while it
// stays so, and the encounter ends when the target is no longer dangerous, with a margin so that
// a CPA wavering around the limit does not sound again at every fix.
class CollisionAlarm {
public:
    // Returns true when the alarm should sound for this target now.
    bool update(std::uint32_t mmsi, const CpaResult& r, double cpaLimitNm, double tcpaLimitMin);
    void forget(std::uint32_t mmsi) { active_.erase(mmsi); }
    bool inEncounter(std::uint32_t mmsi) const { return active_.count(mmsi) != 0; }

private:
    std::unordered_map<std::uint32_t, bool> active_;
};

} // namespace kv
