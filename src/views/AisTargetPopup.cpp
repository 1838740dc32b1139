#include "views/AisTargetPopup.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargets.h"
#include "ais/AisText.h"
#include "core/Format.h"
#include "core/PlaneSailing.h"
#include "views/AisDraw.h"
#include "views/AisSmallCraftDraw.h"
#include "views/ViewAis.h"

namespace kv {

namespace {

constexpr std::uint16_t kSpeedNotAvailable = 1023;
constexpr std::uint16_t kCourseNotAvailable = 3600;

} // namespace

int TargetAtPixel(const ChartView& v, RenderRecords state, int x, int y, int reach)
{
    if (!v.aisView || !v.ais.ShowAIS || v.bitmap.isNull()) {
        return 0;
    }
    int best = 0;
    long long bestSquare = static_cast<long long>(reach) * reach;
    for (int n = 1; n <= state.ais.targets.count(); ++n) {
        const TAISTarget& t = state.ais.targets[n];
        if (!PositionKnown(t)) {
            continue;
        }
        const LatLong pos = AisTargetChartPosition(state.chartRef, t);
        const auto px = PositionToPixel(v.projection, pos.lat, pos.lon);
        if (!px) {
            continue;
        }
        const long long dx = px->x - x, dy = px->y - y;
        if (dx * dx + dy * dy <= bestSquare) {
            bestSquare = dx * dx + dy * dy;
            best = n;
        }
    }
    return best;
}

std::vector<std::string> TargetPopupLines(RenderRecords state, int n)
{
    const TAISTarget* target = state.ais.targets.find(n);
    if (target == nullptr) {
        return {};
    }
    const TAISTarget& t = *target;
    std::vector<std::string> lines;
    const std::string name = AisTargetName(t);
    lines.push_back(name.empty() ? std::string("(no name)") : name);
    lines.push_back("MMSI " + std::to_string(t.MMSI));
    lines.push_back(AisClassText(t));
    const std::string sog = t.SOG < kSpeedNotAvailable ? FormatFixed(t.SOG / 10.0, 0, 1) + " Kn" : "n/a";
    const std::string cog = t.COG < kCourseNotAvailable ? FormatFixed(t.COG / 10.0, 0, 1) + "\xb0T" : "n/a";
    lines.push_back("SOG " + sog + "  COG " + cog);
    if (PositionKnown(t)) {
        const double factor = state.settings.units.UnitFactor;
        const LatLong pos = AisPosition(t);
        const double cosLat = state.chartRef.CosLatFactor;
        const double range
            = PlaneSailingDistance(cosLat, state.fixInfo.OwnLat, state.fixInfo.OwnLong, pos.lat, pos.lon);
        const double bearing
            = PlaneSailingBearing(cosLat, state.fixInfo.OwnLat, state.fixInfo.OwnLong, pos.lat, pos.lon);
        lines.push_back("Range " + FormatFixed(range * factor, 0, 2) + (factor >= 1.8 ? " Km" : " Nm") + "  Bearing "
            + FormatFixed(bearing, 0, 1) + "\xb0T");
    } else {
        lines.emplace_back("Range n/a  Bearing n/a");
    }
    if (const auto cpa = TargetCpa(t, OwnMotion(state))) {
        lines.push_back(
            "CPA " + FormatFixed(cpa->cpaNm, 0, 2) + " Nm  TCPA " + FormatFixed(cpa->tcpaMin, 0, 1) + " Min");
        if (state.extra.CollisionWarnings && IsDangerous(*cpa, state.extra.CpaLimitNm, state.extra.TcpaLimitMin)) {
            lines.emplace_back("DANGEROUS TARGET");
        }
    } else {
        lines.emplace_back("CPA n/a  TCPA n/a");
    }
    return lines;
}

void FollowTargetClick(ViewSet& views, ChartView& v, int n)
{
    if (!views.state().ais.targets.valid(n)) {
        return;
    }
    // Zooming on the nearest target would take the selection away at the next redraw: following
    // one target by choice ends it.
    AisState& ais = views.state().ais;
    if (ais.AISZoom) {
        ais.AISZoom = false;
        ais.HighlightNearestEnabled = true;
    }
    SelectListTarget(views, n);
    v.ais.FollowSelected = true;
    views.ReCentre(v);
}

} // namespace kv
