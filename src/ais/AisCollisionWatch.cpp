#include "ais/AisCollisionWatch.h"

#include "ais/AisCollision.h"
#include "ais/AisSmallCraftTargets.h"
#include "ais/AisTargetList.h"
#include "platform/Platform.h"

#include <cstdio>

namespace kv {

std::optional<CpaResult> TargetCpa(const TAISTarget& t, const VesselMotion& own)
{
    const AisTargetClass cls = TargetClass(t);
    if (cls == AisTargetClass::AidToNavigation || cls == AisTargetClass::VirtualAidToNavigation || !PositionKnown(t)
        || t.SOG == 0 || t.SOG >= 1023 || t.COG >= 3600) {
        return std::nullopt; // only moving targets with a known motion are judged
    }
    const LatLong at = AisPosition(t);
    const VesselMotion target { at.lat, at.lon, t.SOG / 10.0, t.COG / 10.0 };
    return ComputeCpa(own, target);
}

std::string CollisionNoteText(const std::string& name, const CpaResult& r)
{
    char text[80];
    std::snprintf(text, sizeof text, "Danger CPA %.2fnm in %.1fmin ", r.cpaNm, r.tcpaMin);
    return text + name;
}

std::string WatchCollisions(CollisionWatchRecords state, Platform& platform)
{
    AisState& ais = state.ais;
    const ExtraSettings& limits = state.extra;
    if (!limits.CollisionWarnings) {
        return {};
    }
    const VesselMotion own { state.fixInfo.OwnLat, state.fixInfo.OwnLong, state.motion.SOG, state.motion.COGValue };
    const TAISTarget* worst = nullptr;
    CpaResult worstCpa;
    for (const TAISTarget& t : ais.targets) {
        const std::optional<CpaResult> r = TargetCpa(t, own);
        if (!r) {
            ais.Collisions.forget(t.MMSI);
            continue;
        }
        if (ais.Collisions.update(t.MMSI, *r, limits.CpaLimitNm, limits.TcpaLimitMin) && limits.CollisionAlarm) {
            platform.prompter.beep(Beep::Exclamation);
        }
        if (!IsDangerous(*r, limits.CpaLimitNm, limits.TcpaLimitMin)) {
            continue;
        }
        if (worst == nullptr || r->cpaNm < worstCpa.cpaNm
            || (r->cpaNm == worstCpa.cpaNm && r->tcpaMin < worstCpa.tcpaMin)) {
            worst = &t;
            worstCpa = *r;
        }
    }
    std::string note;
    if (worst != nullptr) {
        note = CollisionNoteText(TargetDisplayName(*worst), worstCpa);
        state.display.StatusLine = note;
    } else if (!ais.CollisionNote.empty() && state.display.StatusLine == ais.CollisionNote) {
        state.display.StatusLine.clear(); // the encounter is over: its note goes
    }
    ais.CollisionNote = note;
    return note;
}

} // namespace kv
