#include "views/AisDraw.h"

#include "ais/AisSmallCraftTargets.h"
#include "ais/AisTargets.h"
#include "core/Format.h"
#include "core/PlaneSailing.h"
#include "views/AisSmallCraftDraw.h"
#include "views/Render.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A screen direction for a bearing (degrees true, clockwise from north) in a view rotated by
// angle radians: the offset of a point `length` pixels away.
Pixel Towards(Pixel from, double bearingDeg, double rotation, double length)
{
    const double a = bearingDeg * kPi / 180.0 + rotation;
    return Pixel { static_cast<int>(RoundHalfEven(from.x + length * std::sin(a))),
        static_cast<int>(RoundHalfEven(from.y - length * std::cos(a))) };
}

// The filled circle of marks 103, 105 and 107: 41 outline points at k·2π/40 joined and flood
// filled. Pixels are square on the view bitmap, so the horizontal factor is 1.
void FilledCircle(RenderCanvas& canvas, Pixel c, int radius, Rgb colour)
{
    Pixel prev {};
    for (int k = 1; k <= 41; ++k) {
        const double a = k * 2.0 * kPi / 40.0;
        const Pixel p { c.x + static_cast<int>(RoundHalfEven(radius * std::sin(a))),
            c.y + static_cast<int>(RoundHalfEven(radius * std::cos(a))) };
        if (k > 1) {
            canvas.solidLine(prev.x, prev.y, p.x, p.y, colour);
        }
        prev = p;
    }
    canvas.floodFillBorder(c.x, c.y, colour, colour);
}

// Gathers the lines of one label, each at its place relative to the mark, into a block.
class LabelBuilder {
public:
    LabelBuilder(const RenderCanvas& canvas, Pixel anchor, int markRadius, double priority)
        : canvas_(canvas)
    {
        label_.request.anchor = anchor;
        label_.request.markRadius = markRadius;
        label_.request.priority = priority;
    }
    void setMarkRadius(int r) { label_.request.markRadius = r; }
    void line(int dx, int dy, std::string text)
    {
        const int w = canvas_.textWidth(text);
        if (w > 0) {
            parts_.push_back({ Pixel { dx, dy }, std::move(text) });
            widths_.push_back(w);
        }
    }
    // The block round the lines; none when there is no text to write.
    std::optional<TargetLabel> finish()
    {
        const int h = canvas_.textHeight();
        if (parts_.empty() || h <= 0) {
            return std::nullopt;
        }
        int left = parts_[0].first.x, top = parts_[0].first.y, right = left, bottom = top;
        for (std::size_t i = 0; i < parts_.size(); ++i) {
            left = std::min(left, parts_[i].first.x);
            top = std::min(top, parts_[i].first.y);
            right = std::max(right, parts_[i].first.x + widths_[i]);
            bottom = std::max(bottom, parts_[i].first.y + h);
        }
        LabelRequest& r = label_.request;
        r.offset = Pixel { left, top };
        r.width = right - left;
        r.height = bottom - top;
        for (auto& [at, text] : parts_) {
            label_.lines.push_back({ Pixel { at.x - left, at.y - top }, std::move(text) });
        }
        return std::move(label_);
    }

private:
    const RenderCanvas& canvas_;
    TargetLabel label_;
    std::vector<std::pair<Pixel, std::string>> parts_;
    std::vector<int> widths_;
};

double RangeFromOwnShip(RenderRecords state, LatLong pos)
{
    return PlaneSailingDistance(
        state.chartRef.CosLatFactor, state.fixInfo.OwnLat, state.fixInfo.OwnLong, pos.lat, pos.lon);
}

// The one place where a target's name and the rest of its label go on the picture.
void DrawTargetLabel(RenderCanvas& canvas, const TargetLabel& label, Pixel corner)
{
    for (const auto& [at, text] : label.lines) {
        canvas.text(corner.x + at.x, corner.y + at.y, text, kSilver);
    }
}

// A finished label goes to the list to be placed with the others, or else is drawn at once at
// its own place beside the mark. Either way a target's label reaches the picture once.
void HandOver(LabelBuilder& label, std::vector<TargetLabel>* placed, RenderCanvas& canvas)
{
    std::optional<TargetLabel> done = label.finish();
    if (!done) {
        return;
    }
    if (placed) {
        placed->push_back(std::move(*done));
        return;
    }
    const LabelRequest& r = done->request;
    DrawTargetLabel(canvas, *done, Pixel { r.anchor.x + r.offset.x, r.anchor.y + r.offset.y });
}

} // namespace

LatLong AisTargetChartPosition(const ChartReference& ref, const TAISTarget& t)
{
    return ChartDatumFromState(ref, AisPosition(t));
}

std::string AisTargetName(const TAISTarget& t)
{
    std::string name = t.VesselName.str();
    std::string out;
    for (char c : name) {
        if (c != '@') {
            out += c;
        }
    }
    return TrimRight(out);
}

std::string AisBaseStationTime(const TAISTarget& t)
{
    return FormatInt(t.Day) + "-" + FormatInt(t.Month) + "-" + FormatInt(t.Year) + " " + FormatInt(t.Hour) + ":"
        + FormatInt(t.Minute) + ":" + FormatInt(t.Second);
}

double AisOutlineHeading(const TAISTarget& t, bool orientByCOG)
{
    if (orientByCOG || t.TrueHeading == kTrueHeadingNotAvailable) {
        return t.COG / 10.0;
    }
    return t.TrueHeading;
}

bool AisShowsCourseStub(const TAISTarget& t)
{
    return t.SOG >= 6;
}

RedrawSelection SelectTargetForRedraw(RenderRecords state)
{
    const AisState& ais = state.ais;
    RedrawSelection out { ais.SelectedTarget, std::nullopt };
    if (ais.targets.count() == 1) {
        out.selected = 1;
    } else if (ais.targets.count() > 1 && ais.HighlightNearest) {
        const NearestTarget nearest = FindNearestAISTarget(ais, state.fixInfo, state.chartRef);
        out.selected = nearest.number;
        if (ais.AISZoom) {
            out.nearestRange = nearest.range;
        }
    }
    return out;
}

std::optional<LatLong> FollowedTargetPosition(RenderRecords state, const ChartView& view)
{
    const TAISTarget* t = state.ais.targets.find(state.ais.SelectedTarget);
    if (!view.ais.FollowSelected || t == nullptr) {
        return std::nullopt;
    }
    return AisTargetChartPosition(state.chartRef, *t);
}

namespace {

// The name of a Class B target (when labelled) or of an aid to navigation (always), at the
// places their marks give it.
void SmallCraftLabel(const TAISTarget& t, bool labelled, int radius, LabelBuilder& label)
{
    const AisTargetClass cls = TargetClass(t);
    if (cls == AisTargetClass::ClassB) {
        label.setMarkRadius(std::max(radius, 3));
        if (labelled) {
            label.line(5, 4, AisTargetName(t));
        }
        return;
    }
    label.setMarkRadius(radius + 2);
    label.line(radius + 5, -6, AisTargetName(t));
}

} // namespace

void DrawAISTarget(Plotter& plotter, const ChartView& view, RenderRecords state, int n, int selectedTarget,
    std::vector<TargetLabel>* labels)
{
    const AisState& ais = state.ais;
    const TAISTarget& t = ais.targets[n];
    const LatLong pos = AisTargetChartPosition(state.chartRef, t);
    plotter.liftPen();
    const auto px = plotter.plotPoint(pos.lat, pos.lon, LineCode::Foreground);
    if (!px) {
        return;
    }
    RenderCanvas& canvas = plotter.canvas();
    const bool selected = n == selectedTarget;
    const bool labelled = view.ais.LabelsOn && (view.ais.LabelsOnAll || selected);
    const int radius = view.ais.LollipopRadius();
    LabelBuilder label(canvas, *px, radius, RangeFromOwnShip(state, pos));
    if (t.MsgType == 4) {
        if (labelled) {
            label.line(5, -12, "Base Station " + FormatInt(t.MMSI));
            label.line(5, 4, AisBaseStationTime(t));
            HandOver(label, labels, canvas);
        }
        FilledCircle(canvas, *px, radius, selected ? kYellow : kFuchsia);
        plotter.moveToPixel(*px);
        return;
    }
    DrawCollisionWarning(plotter, state, t, *px);
    if (DrawSmallCraftMark(plotter, t, *px, selected, radius)) {
        SmallCraftLabel(t, labelled, radius, label);
        HandOver(label, labels, canvas);
        plotter.moveToPixel(*px);
        return;
    }
    if (labelled) {
        if (view.ais.ShowMMSI) {
            label.line(5, -10, FormatInt(t.MMSI).substr(0, 9));
        }
        label.line(5, 4, AisTargetName(t));
        HandOver(label, labels, canvas);
    }
    const Rgb colour = selected ? kYellow : kRed;
    FilledCircle(canvas, *px, radius, colour);
    const double course = t.COG / 10.0;
    const double rotation = plotter.projection().angle;
    if (view.ais.ConventionalShape) {
        if (AisShowsCourseStub(t)) {
            const Pixel mid = Towards(*px, course, rotation, 5.0);
            const Pixel end = Towards(*px, course, rotation, 15.0);
            canvas.solidLine(px->x, px->y, mid.x, mid.y, colour, 5);
            canvas.solidLine(mid.x, mid.y, end.x, end.y, colour, 2);
        }
    } else {
        const Pixel end = Towards(*px, course, rotation, 2.0 * t.SOG / 10.0);
        canvas.solidLine(px->x, px->y, end.x, end.y, colour, view.ais.VectorPen());
    }
    plotter.moveToPixel(*px);
}

void DrawAISTrack(Plotter& plotter, const ChartView& view, RenderRecords state, int n)
{
    const TAISTarget& t = state.ais.targets[n];
    const int count = TrackPointCount(t);
    const Rgb crossColour = plotter.colours().trackFG ? plotter.colours().foreground : kYellow;
    plotter.liftPen();
    for (int k = 1; k <= count; ++k) {
        const LatLong p = ChartDatumFromState(state.chartRef, FromEastPositive(t.point(k).lat, t.point(k).lon));
        const auto px = plotter.plotPoint(p.lat, p.lon, LineCode::Track);
        if (px && view.zoom < 50.0 && view.options.UseCrosses) {
            DrawFixCross(plotter.canvas(), px->x, px->y, crossColour);
            plotter.moveToPixel(*px);
        }
    }
    plotter.liftPen();
}

void DrawSelectedOutline(Plotter& plotter, const ChartView& view, RenderRecords state, int selected)
{
    const AisState& ais = state.ais;
    const TAISTarget* target = ais.targets.find(selected);
    if (!view.options.ShowOutline || target == nullptr) {
        return;
    }
    const TAISTarget& t = *target;
    // The target's own dimensions take the place of own vessel's.
    const VesselDimensions dims { static_cast<double>(t.DimA), static_cast<double>(t.DimB), static_cast<double>(t.DimC),
        static_cast<double>(t.DimD) };
    DrawVesselOutline(
        plotter, AisTargetChartPosition(state.chartRef, t), AisOutlineHeading(t, view.ais.OrientByCOG), dims, kYellow);
}

std::vector<LabelBox> DrawAISTargets(Plotter& plotter, const ChartView& view, RenderRecords state, int selected)
{
    // Every target is drawn whether or not one is selected: a target the user has not picked
    // yet may be the one standing into danger. Without a selection none is drawn as selected.
    std::vector<TargetLabel> labels;
    std::vector<TargetLabel>* placed = state.extra.PlaceTargetLabels ? &labels : nullptr;
    for (int n = 1; n <= state.ais.targets.count(); ++n) {
        DrawAISTarget(plotter, view, state, n, selected, placed);
        DrawAISTrack(plotter, view, state, n);
    }
    std::vector<LabelBox> boxes;
    if (!placed) {
        return boxes;
    }
    // Labels last, so that no mark or track is drawn over a label that was placed clear of it.
    std::vector<LabelRequest> requests;
    requests.reserve(labels.size());
    for (const TargetLabel& l : labels) {
        requests.push_back(l.request);
    }
    const std::vector<std::optional<Pixel>> corners = PlaceLabels(requests);
    RenderCanvas& canvas = plotter.canvas();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!corners[i]) {
            continue;
        }
        DrawTargetLabel(canvas, labels[i], *corners[i]);
        boxes.push_back(BoxAt(labels[i].request, *corners[i]));
    }
    return boxes;
}

} // namespace kv
