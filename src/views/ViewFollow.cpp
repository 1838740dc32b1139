// Free look and the orientation of a view: whether fixes move the chart with own ship, and which
// way up the chart is drawn.

#include "views/ViewSet.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {
constexpr double kPiValue = 3.14159265358979323846;
} // namespace

void ViewSet::RefreshView(ChartView& v, bool tileChange)
{
    if (v.following) {
        v.centreLat = state_.fixInfo.OwnLat;
        v.centreLong = state_.fixInfo.OwnLong;
    } else {
        // A click since the last redraw has moved the centre to the cursor; a fix does not
        // move a view the user has moved away from own ship.
        v.centreLat = v.projection.refLat;
        v.centreLong = v.projection.refLong;
    }
    if (!state_.chartGeometry.FullChartZoomPending) {
        ReCentre(v);
        return;
    }
    state_.chartGeometry.FullChartZoomPending = false;
    if (tileChange && (v.userZoom || !v.following)) {
        // The zoom the user chose (or the free look's), as far as the new tile can fill the
        // view: below the chart's own zoom the picture would reach beyond it.
        v.zoom = std::max(v.zoom, state_.chartGeometry.ChartZoom);
        CommonTail(v);
    } else {
        Zoom1_1Click(v);
    }
}

void ViewSet::FollowClick(ChartView& v)
{
    v.following = true;
    const auto vessel = LastTrackPosition(state_);
    v.centreLat = vessel ? vessel->lat : state_.fixInfo.OwnLat;
    v.centreLong = vessel ? vessel->lon : state_.fixInfo.OwnLong;
    CommonTail(v);
}

void ViewSet::StopFollowing(ChartView& v)
{
    v.following = false;
}

bool ViewSet::VesselOutside(const ChartView& v, const QRect& visible) const
{
    if (!v.options.ShowTrack || !LastTrackPosition(state_)) {
        return false;
    }
    if (!v.vesselPixel) {
        return true;
    }
    const QRect area = visible.isEmpty() ? QRect(0, 0, v.projection.width, v.projection.height) : visible;
    return !area.contains(v.vesselPixel->x, v.vesselPixel->y);
}

void ViewSet::SetOrientation(ChartView& v, ViewOrientation orientation)
{
    v.orientation = orientation;
    if (orientation == ViewOrientation::CourseUp) {
        // Turned at once, not only when the course next leaves the dead band.
        v.courseUpAngle = kPiValue * (360.0 - state_.motion.COG) / 180.0;
    }
    CommonTail(v);
}

ViewRotation ViewSet::RotationOf(const ChartView& v) const
{
    ViewRotation r;
    switch (v.orientation) {
    case ViewOrientation::Preferences:
        return shared.rotation;
    case ViewOrientation::NorthUp:
        break;
    case ViewOrientation::CourseUp:
        r.setAngle(v.courseUpAngle);
        break;
    }
    return r;
}

void ViewSet::TurnCourseUp(ChartView& v)
{
    if (v.orientation != ViewOrientation::CourseUp) {
        return;
    }
    // The heading-up rule of the fix cycle, for this view's own angle.
    const double c = state_.motion.COG;
    const double d = state_.prefs.fix.HeadUpDeadBand;
    const double low = kPiValue * (360.0 - c - d) / 180.0;
    const double high = kPiValue * (360.0 - c + d) / 180.0;
    if (v.courseUpAngle < low || v.courseUpAngle > high) {
        v.courseUpAngle = kPiValue * (360.0 - c) / 180.0;
    }
}

} // namespace kv
