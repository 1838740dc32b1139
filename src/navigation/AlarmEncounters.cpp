#include "navigation/AlarmEncounters.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargetList.h"

namespace kv {

std::vector<EncounterNote> CurrentEncounters(const AisState& ais, const Fix& fixInfo, const Motion& motion)
{
    std::vector<EncounterNote> out;
    const VesselMotion own { fixInfo.OwnLat, fixInfo.OwnLong, motion.SOG, motion.COGValue };
    for (const TAISTarget& t : ais.targets) {
        if (!ais.Collisions.inEncounter(t.MMSI)) {
            continue;
        }
        const std::optional<CpaResult> r = TargetCpa(t, own);
        out.push_back({ t.MMSI, r ? CollisionNoteText(TargetDisplayName(t), *r) : "Danger " + TargetDisplayName(t) });
    }
    return out;
}

} // namespace kv
