#include "views/ViewSet.h"
#include "core/Caption.h"

#include "views/ChartOutlinesDraw.h"

#include "ais/AisTargets.h"
#include "core/Format.h"
#include "views/ViewAis.h"
#include "views/ViewPrint.h"
#include "views/ViewText.h"

namespace kv {

RenderContext ViewSet::Context(const ChartView& v)
{
    drawnShared_ = shared;
    drawnShared_.rotation = RotationOf(v);
    return RenderContext { state_, drawnShared_, timings, std::nullopt, 1, &surveyLog_, &areas_, std::nullopt };
}

ChartView* ViewSet::aisView()
{
    for (auto& v : views_) {
        if (v->aisView) {
            return v.get();
        }
    }
    return nullptr;
}

std::string ViewSet::ViewCaption(int number) const
{
    std::string caption = state_.chart.ChartName.str();
    if (number > 0) {
        caption += "." + FormatInt(number);
    }
    return CaptionWithConfig(caption, state_.chart.ConfigName);
}

ChartView& ViewSet::CreateView(const std::string& caption)
{
    auto v = std::make_unique<ChartView>();
    v->number = count() + 1;
    v->dragging = false;
    v->centreLat = state_.chartGeometry.ChartCentreLat;
    v->centreLong = state_.chartGeometry.ChartCentreLong;
    v->zoom = state_.chartGeometry.ChartZoom;
    v->options = ViewOptions {};
    v->aisView = views_.empty();
    // The AIS view starts with no target selected and targets removed after 15 minutes. These
    // are the AIS view's settings: a second view, which shows no targets, leaves them alone, so
    // that opening one does not take the selection (and with it the targets) from the AIS view.
    if (v->aisView) {
        state_.ais.SelectedTarget = 0;
        SetAISAgeChoice(state_.ais, state_.display, AisAgeChoice::After15Mins); // the menu's marks follow
        v->ais.ShowAIS = state_.extra.ShowTargetsAtStart;
    }
    views_.push_back(std::move(v));
    ChartView& created = *views_.back();
    created.caption = "Drawing Chart"; // what the window shows while it is first drawn
    CommonTail(created);
    created.caption = caption;
    return created;
}

void ViewSet::FileNewItemClick()
{
    if (count() >= kMaxViews) {
        prompter_.warning(kTwoViewsMaximum);
        return;
    }
    CreateView(ViewCaption(count() + 1));
}

bool ViewSet::CloseView(int index)
{
    if (index < 0 || index >= count()) {
        return false;
    }
    ChartView& v = view(index);
    if (count() == 1) {
        if (!prompter_.confirm(kCloseOnlyViewQuestion)) {
            return false;
        }
        if (v.aisView) {
            prompter_.warning(kCannotCloseAisView);
            return false;
        }
        RemoveView(index);
        return true;
    }
    if (v.aisView) {
        prompter_.warning(kCannotCloseAisView);
        return false;
    }
    RemoveView(index);
    return true;
}

void ViewSet::ReplaceLowestView()
{
    // Only a view that has just been opened beside it replaces the lowest view: the AIS view is
    // never closed without a view to take over its targets.
    if (count() < 2) {
        return;
    }
    ChartView& lowest = view(0);
    if (lowest.aisView) {
        ChartView& replacement = *views_.back();
        replacement.aisView = true;
        replacement.ais = lowest.ais;
    }
    RemoveView(0);
}

void ViewSet::RemoveView(int index)
{
    if (index < 0 || index >= count()) {
        return;
    }
    views_.erase(views_.begin() + index);
}

bool ViewSet::StepZoom(ChartView& v, bool in)
{
    const double before = v.zoom;
    if (in) {
        v.zoom *= 2.0;
        if (v.zoom >= kMaxZoom) {
            v.zoom = kMaxZoom;
            prompter_.beep(Beep::Default);
        }
    } else {
        v.zoom *= 0.5;
        if (v.zoom < kMinZoom) {
            v.zoom = kMinZoom;
            prompter_.beep(Beep::Default);
        }
    }
    return v.zoom != before;
}

void ViewSet::ZoomInClick(ChartView& v)
{
    v.userZoom = StepZoom(v, true) || v.userZoom;
    CommonTail(v);
}

void ViewSet::ZoomOutClick(ChartView& v)
{
    v.userZoom = StepZoom(v, false) || v.userZoom;
    CommonTail(v);
}

void ViewSet::ZoomAbout(ChartView& v, Pixel mouse, Pixel middle, bool in)
{
    const double before = v.zoom;
    if (!StepZoom(v, in)) {
        return; // at a limit: the beep, and the picture stays as it is
    }
    v.userZoom = true;
    StopFollowing(v);
    // The projection is linear in latitude and longitude around the centre, so keeping the
    // mouse position fixed on screen means moving the window's middle towards it by the ratio
    // of the zooms.
    const LatLong at = PixelToLatLong(v.projection, mouse.x, mouse.y);
    const LatLong mid = PixelToLatLong(v.projection, middle.x, middle.y);
    const double k = before / v.zoom;
    v.centreLat = at.lat + (mid.lat - at.lat) * k;
    double dLong = mid.lon - at.lon;
    if (dLong > 180.0) {
        dLong -= 360.0;
    } else if (dLong < -180.0) {
        dLong += 360.0;
    }
    v.centreLong = WrapLongitude(at.lon + dLong * k);
    // The vertical scale follows the centre's latitude: correct the centre until the position
    // lies under the mouse at the new scales too.
    const DrawingSurface surface = SurfaceOf(state_.chartGeometry);
    SyncRotation();
    for (int pass = 0; pass < 3; ++pass) {
        double lat = v.centreLat;
        double lon = v.centreLong;
        const Projection p = ComputeScales(lat, lon, v.zoom, surface, RotationOf(v));
        const auto seen = PositionToPixel(p, at.lat, at.lon);
        if (!seen) {
            break;
        }
        const int ex = p.halfW + (mouse.x - middle.x) - seen->x;
        const int ey = p.halfH + (mouse.y - middle.y) - seen->y;
        if (ex == 0 && ey == 0) {
            break;
        }
        const LatLong moved = PixelToLatLong(p, p.halfW - ex, p.halfH - ey);
        v.centreLat = moved.lat;
        v.centreLong = moved.lon;
    }
    CommonTail(v);
}

void ViewSet::PanTo(ChartView& v, Pixel middle)
{
    const LatLong mid = PixelToLatLong(v.projection, middle.x, middle.y);
    v.centreLat = mid.lat;
    v.centreLong = mid.lon;
    StopFollowing(v);
    CommonTail(v);
}

void ViewSet::Zoom1_1Click(ChartView& v)
{
    v.userZoom = false;
    v.zoom = state_.chartGeometry.ChartZoom;
    v.centreLat = state_.chartGeometry.ChartCentreLat;
    v.centreLong = state_.chartGeometry.ChartCentreLong;
    CommonTail(v);
}

void ViewSet::ReCentre(ChartView& v)
{
    const int routeCount = static_cast<int>(state_.route.count());
    if (v.options.AutoZoom && routeCount > 0 && state_.routeProgress.ActiveWaypoint >= 1
        && state_.routeProgress.ActiveWaypoint <= routeCount) {
        if (const auto z = AutoZoomForRange(state_.routeProgress.RangeToWaypoint)) {
            v.zoom = *z;
        }
    }
    const AisState& ais = state_.ais;
    if (v.aisView && ais.AISZoom && ais.HighlightNearest && ais.targets.valid(ais.SelectedTarget)) {
        NearestAISTarget(state_); // leaves the nearest range for the zoom
        if (const auto z = AutoZoomForRange(ais.NearestTargetRange)) {
            v.zoom = *z;
        }
    }
    CommonTail(v);
}

void ViewSet::RefreshViews()
{
    const bool tileChange = state_.chartGeometry.TileChangePending;
    state_.chartGeometry.TileChangePending = false;
    for (auto& v : views_) {
        RefreshView(*v, tileChange);
    }
}

void ViewSet::Redraw(ChartView& v)
{
    // From a cleared picture: drawn over the old one, removed targets and routes would stay,
    // tidal arrows pile up and the inverted cursor cross would cancel itself every other time.
    SyncRotation();
    RecreateBitmap(v, state_);
    TurnCourseUp(v);
    StoreRenderResult(v, RedrawView(v, v.bitmap, Context(v)));
}

void ViewSet::SyncRotation()
{
    if (viewAngle) {
        const double angle = viewAngle();
        if (shared.rotation.angle != angle) {
            shared.rotation.setAngle(angle);
        }
    }
}

QImage ViewSet::RenderForPage(const ChartView& v, const PrintPage& page, const std::string& stamp)
{
    SyncRotation();
    return RenderViewForPage(v, Context(v), page, stamp);
}

void ViewSet::StoreRenderResult(ChartView& v, const RenderResult& r)
{
    v.projection = r.projection;
    v.roundedZoom = r.roundedZoom;
    v.followingTarget = r.followingTarget;
    v.vesselPixel = r.vesselPixel;
    v.centreLat = r.centre.lat;
    v.centreLong = r.centre.lon;
    v.cursorX = r.cursor.x;
    v.cursorY = r.cursor.y;
    if (r.toolbarHint) {
        v.toolbarHint = *r.toolbarHint;
    }
    if (r.targetsShown) {
        AisState& ais = state_.ais;
        ais.SelectedTarget = static_cast<std::uint16_t>(r.selectedTarget);
        if (r.nearestTargetRange) {
            ais.NearestTargetRange = *r.nearestTargetRange;
        }
        if (nowDays) {
            AgeAISTargets(state_, nowDays());
        }
        if (hooks.refreshTargetText) {
            hooks.refreshTargetText();
        }
    }
    if (r.cursorPosition) {
        state_.fixInfo.OwnLat = r.cursorPosition->lat;
        state_.fixInfo.OwnLong = r.cursorPosition->lon;
    }
    state_.display.PosnPanel = r.positionText;
    if (r.measurement) {
        shared.MeasureLastLeg = r.measurement->range;
        state_.display.StatusLine = r.measurement->text;
    }
    if (r.portfolioOutlines) {
        ShowChartOutlines(v);
    }
}

void ViewSet::ShowChartOutlines(ChartView& v)
{
    if (v.bitmap.isNull()) {
        return;
    }
    const std::string folder
        = !state_.chart.ChartFolder.empty() ? state_.chart.ChartFolder.str() : state_.folders.ChartDir.str();
    const Projection& p = v.projection;
    const auto outlines = ChartOutlines(folder, "", p.latBase, p.longBase, p.width, p.height);
    RenderCanvas canvas(v.bitmap);
    DrawChartOutlines(canvas, p, ColoursFromSettings(state_.settings), outlines);
    DrawCursorCross(canvas, v.cursorX, v.cursorY);
}

void ViewSet::CommonTail(ChartView& v)
{
    ++v.centredCount;
    SyncRotation();
    TurnCourseUp(v);
    RecreateBitmap(v, state_);
    StoreRenderResult(v, RedrawView(v, v.bitmap, Context(v)));
    state_.chartGeometry.LastViewLat = v.centreLat;
    state_.chartGeometry.LastViewLong = v.centreLong;
    state_.chartGeometry.LastViewZoom = v.zoom;
    if (shared.MeasureOriginPending) {
        shared.MeasureOriginPending = false;
        RenderCanvas canvas(v.bitmap);
        DrawFixCross(canvas, v.cursorX, v.cursorY, ColoursFromSettings(state_.settings).foreground);
    }
}

std::string ViewSet::PixelToPosition(ChartView& v, int x, int y, int decimals, bool update)
{
    const LatLong pos = PixelToLatLong(v.projection, x, y);
    if (update) {
        v.centreLat = pos.lat;
        v.centreLong = pos.lon;
        // A small-scale overview beside a second view does not move the cursor.
        if (!(v.zoom <= 0.5 && count() == 2)) {
            state_.fixInfo.OwnLat = pos.lat;
            state_.fixInfo.OwnLong = pos.lon;
            state_.routeEdit.HasPick = true; // kept for the route commands past the next fix
            state_.routeEdit.PickLat = pos.lat;
            state_.routeEdit.PickLong = pos.lon;
        }
    }
    return ViewPositionText(state_.prefs.units, state_.settings, pos.lat, pos.lon, decimals);
}

void ViewSet::PickCursor(ChartView& v, int x, int y)
{
    RenderCanvas canvas(v.bitmap);
    DrawCursorCross(canvas, v.cursorX, v.cursorY); // removes the old cross
    state_.display.PosnPanel = PixelToPosition(v, x, y, 4, true);
    if (shared.MeasureMode) {
        state_.display.StatusLine = ViewMeasureText(state_.fixInfo, state_.chartRef, state_.settings.units, shared);
    }
    v.cursorX = x;
    v.cursorY = y;
    DrawCursorCross(canvas, x, y);
}

void ViewSet::MouseDown(ChartView& v, int x, int y)
{
    state_.display.StatusLine.clear();
    PickCursor(v, x, y);
    v.dragging = true;
}

void ViewSet::MouseMove(ChartView& v, int x, int y)
{
    if (v.dragging) {
        PickCursor(v, x, y);
    }
}

void ViewSet::MouseUp(ChartView& v, int x, int y)
{
    RenderCanvas canvas(v.bitmap);
    DrawCursorCross(canvas, v.cursorX, v.cursorY);
    if (shared.MeasureMode) {
        if (const auto origin = PositionToPixel(v.projection, shared.MeasureOriginLat, shared.MeasureOriginLong)) {
            canvas.setPen(Pen { ColoursFromSettings(state_.settings).foreground, PenStyle::Dot, 1 });
            canvas.moveTo(origin->x, origin->y);
            canvas.lineTo(x, y);
        }
        state_.display.StatusLine = ViewMeasureText(state_.fixInfo, state_.chartRef, state_.settings.units, shared);
    }
    v.cursorX = x;
    v.cursorY = y;
    DrawCursorCross(canvas, x, y);
    v.dragging = false;
}

void ViewSet::UpDownClick(ChartView& v, bool down)
{
    PickCursor(v, v.cursorX, v.cursorY + (down ? 1 : -1));
}

void ViewSet::LeftRightClick(ChartView& v, bool down)
{
    PickCursor(v, v.cursorX + (down ? 1 : -1), v.cursorY);
}

void ViewSet::Image1DblClick(ChartView& v)
{
    if (v.aisView && v.ais.ShowAIS && !state_.ais.targets.empty()) {
        SelectNearestTarget(*this, v);
    } else if (hooks.waypointSnap) {
        hooks.waypointSnap();
    }
}

} // namespace kv
