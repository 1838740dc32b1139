#include "views/ViewAis.h"

#include "ais/AisTargets.h"
#include "core/Format.h"
#include "views/Render.h"

namespace kv {

namespace {

void SetRingDisplay(ViewSet& views, const ChartView& v)
{
    Display& d = views.state().display;
    // Both ring buttons name the rings now shown.
    const std::string hint = RangeRingHint(v.ais.RingSetting);
    d.hints[Control::RRUp] = hint;
    d.hints[Control::RRDown] = hint;
}

void UpdateSelectorVisibility(AisState& ais)
{
    ais.TargetSelectorVisible = !ais.HighlightNearest && !ais.targets.empty();
}

} // namespace

void ShowAISClick(ViewSet& views, ChartView& v)
{
    v.ais.ShowAIS = !v.ais.ShowAIS;
    // The target text window is shown with the targets.
    views.state().display.checked[Control::ShowAIS] = v.ais.ShowAIS;
    views.ReCentre(v);
}

void RRUpClick(ViewSet& views, ChartView& v)
{
    if (v.ais.RingSetting < 15) {
        v.ais.RingSetting += 2;
    }
    SetRingDisplay(views, v);
    views.ReCentre(v);
}

void RRDownClick(ViewSet& views, ChartView& v)
{
    if (v.ais.RingSetting > 1) {
        v.ais.RingSetting -= 2;
    }
    SetRingDisplay(views, v);
    views.ReCentre(v);
}

void HighlightNearest1Click(ViewSet& views, ChartView& v)
{
    AisState& ais = views.state().ais;
    ais.HighlightNearest = !ais.HighlightNearest;
    UpdateSelectorVisibility(ais);
    if (ais.TargetSelectorVisible) {
        ais.AISZoom = false;
    }
    views.ReCentre(v);
}

void ShowMMSI1Click(ViewSet& views, ChartView& v)
{
    v.ais.ShowMMSI = !v.ais.ShowMMSI;
    views.ReCentre(v);
}

void OnAll1Click(ViewSet& views, ChartView& v)
{
    v.ais.LabelsOnAll = true;
    views.ReCentre(v);
}

void OnSelected1Click(ViewSet& views, ChartView& v)
{
    v.ais.LabelsOnAll = false;
    views.ReCentre(v);
}

void LargeLollipop1Click(ViewSet& views, ChartView& v)
{
    v.ais.LargeLollipop = !v.ais.LargeLollipop;
    views.ReCentre(v);
}

void AISFollowSelectedTarget1Click(ViewSet& views, ChartView& v)
{
    v.ais.FollowSelected = !v.ais.FollowSelected;
    views.ReCentre(v);
}

void SelectListTarget(ViewSet& views, int n)
{
    AisState& ais = views.state().ais;
    if (!ais.targets.valid(n)) {
        return;
    }
    if (ais.HighlightNearest && !ais.AISZoom) {
        ais.HighlightNearest = false;
        UpdateSelectorVisibility(ais);
    }
    ais.SelectedTarget = static_cast<std::uint16_t>(n);
}

void CentreOnTarget(ViewSet& views, ChartView& v, int n)
{
    AisState& ais = views.state().ais;
    if (!ais.targets.valid(n)) {
        return;
    }
    SelectListTarget(views, n);
    const TAISTarget& t = ais.targets[n];
    if (!PositionKnown(t)) {
        return;
    }
    const LatLong pos = AisPosition(t);
    v.centreLat = pos.lat;
    v.centreLong = pos.lon;
    views.CommonTail(v);
}

void AISCOG1Click(ViewSet& views, ChartView& v)
{
    v.ais.OrientByCOG = true;
    views.ReCentre(v);
}

void AISTrueHead1Click(ViewSet& views, ChartView& v)
{
    v.ais.OrientByCOG = false;
    views.ReCentre(v);
}

void AISZoomClick(ViewSet& views, ChartView& v)
{
    AisState& ais = views.state().ais;
    ais.AISZoom = !ais.AISZoom;
    if (!ais.HighlightNearest) {
        ais.HighlightNearest = ais.AISZoom;
    }
    ais.HighlightNearestEnabled = !ais.AISZoom;
    UpdateSelectorVisibility(ais);
    views.ReCentre(v);
}

void AISShapeClick(ViewSet& views, ChartView& v)
{
    v.ais.ConventionalShape = !v.ais.ConventionalShape;
    views.ReCentre(v);
}

void AISrepeatClick(ViewRecords state, Platform& platform)
{
    if (!state.ais.LastSpokenText.empty()) {
        SayAISSector(state.ais, state.folders, platform, state.ais.LastSpokenText);
    }
}

void SelectNearestTarget(ViewSet& views, ChartView& v)
{
    ViewRecords state = views.state();
    state.ais.SelectedTarget = static_cast<std::uint16_t>(NearestAISTarget(state));
    if (const auto vessel = LastTrackPosition(state)) {
        v.centreLat = vessel->lat;
        v.centreLong = vessel->lon;
    } else {
        const LatLong middle = PixelToLatLong(v.projection, v.projection.halfW, v.projection.halfH);
        v.centreLat = middle.lat;
        v.centreLong = middle.lon;
    }
    views.ReCentre(v);
    if (views.hooks.refreshTargetText) {
        views.hooks.refreshTargetText();
    }
}

void RefRateTimer(ViewSet& views, ChartView& v, double nowDays)
{
    ViewRecords state = views.state();
    AisState& ais = state.ais;
    if (ais.HighlightNearest) {
        ais.SelectedTarget = static_cast<std::uint16_t>(NearestAISTarget(state));
    }
    if (!state.quickLog.empty() || !ais.targets.empty()) {
        views.Redraw(v);
    }
    if (ais.targets.valid(ais.SelectedTarget)) {
        if (views.hooks.refreshTargetText) {
            views.hooks.refreshTargetText();
        }
        ais.HighlightNearestEnabled = true;
    }
    AgeAISTargets(state, nowDays);
}

} // namespace kv
