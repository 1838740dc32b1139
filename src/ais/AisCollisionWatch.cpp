#include "ais/AisCollisionWatch.h"

#include "ais/AisCollision.h"
#include "ais/AisSmallCraftTargets.h"
#include "platform/Platform.h"

#include <cstdio>

namespace kv {

std::string WatchCollisions(CollisionWatchRecords state, Platform& platform)
{
    AisState& ais = state.ais;
    const ExtraSettings& limits = state.extra;
    if (!limits.CollisionWarnings) {
        return {};
    }
    const VesselMotion own{state.fixInfo.OwnLat, state.fixInfo.OwnLong, state.motion.SOG, state.motion.COGValue};
    std::string note;
    double nearest = 1e9;
    for (int n = 1; n <= ais.AISTargetCount; ++n) {
        const TAISTarget& t = ais.target(n);
        const AisTargetClass cls = TargetClass(t);
        if (cls == AisTargetClass::AidToNavigation || cls == AisTargetClass::VirtualAidToNavigation ||
            t.Longitude == 181 * 600000 || t.Latitude == 91 * 600000 || t.SOG == 0 || t.SOG >= 1023 ||
            t.COG >= 3600) {
            ais.Collisions.forget(t.MMSI);
            continue; // only moving targets with a known motion are judged
        }
        const VesselMotion target{t.Latitude / 600000.0, -t.Longitude / 600000.0, t.SOG / 10.0, t.COG / 10.0};
        const CpaResult r = ComputeCpa(own, target);
        if (ais.Collisions.update(t.MMSI, r, limits.CpaLimitNm, limits.TcpaLimitMin) && limits.CollisionAlarm) {
            platform.prompter.beep(Beep::Exclamation);
        }
        if (IsDangerous(r, limits.CpaLimitNm, limits.TcpaLimitMin) && r.cpaNm < nearest) {
            nearest = r.cpaNm;
            std::string name;
            for (const char c : t.VesselName.view()) {
                if (c != '@') {
                    name += c;
                }
            }
            while (!name.empty() && name.back() == ' ') {
                name.pop_back();
            }
            if (name.empty()) {
                name = std::to_string(t.MMSI);
            }
            char text[160];
            std::snprintf(text, sizeof text, "Dangerous target %s: CPA %.2f nm in %.1f min", name.c_str(), r.cpaNm,
                          r.tcpaMin);
            note = text;
        }
    }
    if (!note.empty()) {
        state.display.StatusLine = note;
    }
    return note;
}

} // namespace kv
