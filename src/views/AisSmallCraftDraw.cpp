#include "views/AisSmallCraftDraw.h"

#include "ais/AisSmallCraftTargets.h"
#include "core/Format.h"
#include "views/RenderPlotter.h"

#include <cmath>
#include <string>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

} // namespace

bool TargetMotion(const TAISTarget& t, VesselMotion& m)
{
    // 181 degrees of longitude, 91 of latitude and a speed of 102.3 knots mean "not available".
    if (!PositionKnown(t) || t.SOG >= 1023 || t.COG >= 3600) {
        return false;
    }
    const LatLong pos = AisPosition(t);
    m.lat = pos.lat;
    m.lonW = pos.lon;
    m.sogKn = t.SOG / 10.0;
    m.cogDeg = t.COG / 10.0;
    return true;
}

VesselMotion OwnMotion(RenderRecords state)
{
    return { state.fixInfo.OwnLat, state.fixInfo.OwnLong, state.motion.SOG, state.motion.COGValue };
}

bool DrawSmallCraftMark(Plotter& plotter, const TAISTarget& t, Pixel px, bool selected, int radius)
{
    const AisTargetClass cls = TargetClass(t);
    if (cls == AisTargetClass::ClassA) {
        return false;
    }
    RenderCanvas& canvas = plotter.canvas();
    if (cls == AisTargetClass::ClassB) {
        const Rgb colour = selected ? kYellow : kAqua;
        const int r = radius > 4 ? radius - 1 : 3; // open and a little smaller than a ship's
        Pixel prev {};
        for (int k = 0; k <= 24; ++k) {
            const double a = k * 2.0 * kPi / 24.0;
            const Pixel p { px.x + static_cast<int>(std::lround(r * std::sin(a))),
                px.y + static_cast<int>(std::lround(r * std::cos(a))) };
            if (k > 0) {
                canvas.solidLine(prev.x, prev.y, p.x, p.y, colour);
            }
            prev = p;
        }
        if (t.SOG > 0 && t.SOG < 1023 && t.COG < 3600) {
            const double a = t.COG / 10.0 * kPi / 180.0 + plotter.projection().angle;
            const int len = r + 2 * t.SOG / 10;
            canvas.solidLine(px.x, px.y, px.x + static_cast<int>(std::lround(len * std::sin(a))),
                px.y - static_cast<int>(std::lround(len * std::cos(a))), colour);
        }
        return true;
    }
    // An aid to navigation: a diamond, dotted for a virtual aid (one that is not really there).
    const Rgb colour = selected ? kYellow : kLime;
    const int r = radius + 2;
    const Pixel corners[5]
        = { { px.x, px.y - r }, { px.x + r, px.y }, { px.x, px.y + r }, { px.x - r, px.y }, { px.x, px.y - r } };
    if (cls == AisTargetClass::VirtualAidToNavigation) {
        canvas.setPen(Pen { colour, PenStyle::Dot, 1 });
        canvas.moveTo(corners[0].x, corners[0].y);
        for (int k = 1; k < 5; ++k) {
            canvas.lineTo(corners[k].x, corners[k].y);
        }
        plotter.resetCode();
    } else {
        for (int k = 1; k < 5; ++k) {
            canvas.solidLine(corners[k - 1].x, corners[k - 1].y, corners[k].x, corners[k].y, colour, 2);
        }
    }
    return true;
}

bool DrawCollisionWarning(Plotter& plotter, RenderRecords state, const TAISTarget& t, Pixel px)
{
    VesselMotion target;
    if (!state.extra.CollisionWarnings) {
        return false;
    }
    if (TargetClass(t) == AisTargetClass::AidToNavigation || TargetClass(t) == AisTargetClass::VirtualAidToNavigation
        || !TargetMotion(t, target) || target.sogKn <= 0.0) {
        return false; // only moving targets are judged
    }
    const CpaResult r = ComputeCpa(OwnMotion(state), target);
    if (!IsDangerous(r, state.extra.CpaLimitNm, state.extra.TcpaLimitMin)) {
        return false;
    }
    const VesselMotion at = DeadReckon(target, r.tcpaMin);
    const auto end = PositionToPixel(
        plotter.projection(), at.lat + state.chartRef.ChartLatOffset, at.lonW - state.chartRef.ChartLongOffset);
    RenderCanvas& canvas = plotter.canvas();
    if (end) {
        canvas.solidLine(px.x, px.y, end->x, end->y, kRed, 2);
    }
    for (int k = 0; k < 24; ++k) {
        const double a0 = k * 2.0 * kPi / 24.0, a1 = (k + 1) * 2.0 * kPi / 24.0;
        canvas.solidLine(px.x + static_cast<int>(std::lround(12 * std::sin(a0))),
            px.y + static_cast<int>(std::lround(12 * std::cos(a0))),
            px.x + static_cast<int>(std::lround(12 * std::sin(a1))),
            px.y + static_cast<int>(std::lround(12 * std::cos(a1))), kRed, 2);
    }
    return true;
}

} // namespace kv
