#pragma once
// AIS targets in the AIS chart view: lollipop and conventional marks, base stations, labels,
// target tracks and the selected target's outline.

#include "views/LabelPlacement.h"
#include "views/RenderPlotter.h"
#include "views/ViewModel.h"
#include "views/ViewRecords.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kv {

inline constexpr int kMarkLollipop = 103;
inline constexpr int kMarkSelectedOutline = 104;
inline constexpr int kMarkConventional = 105;
inline constexpr int kMarkBaseStation = 107;
inline constexpr int kTrueHeadingNotAvailable = 511;

// A target's position in chart datum, longitude west positive.
LatLong AisTargetChartPosition(const ChartReference& ref, const TAISTarget& t);

// The label texts of a target.
std::string AisTargetName(const TAISTarget& t); // trailing spaces and "@" removed
std::string AisBaseStationTime(const TAISTarget& t); // D-M-Y H:M:S without leading zeros

// The heading the selected outline is drawn on: course, or true heading when chosen and known.
double AisOutlineHeading(const TAISTarget& t, bool orientByCOG);
// Whether a conventional mark shows its course stub (from 0.6 knot).
bool AisShowsCourseStub(const TAISTarget& t);

// The selection rule of a redraw: a single target is selected; with more, the nearest when
// "AIS Highlight Nearest Target" is checked; otherwise the selection stays. The nearest range
// comes with it while "AIS Zoom" is on.
struct RedrawSelection {
    int selected = 0;
    std::optional<double> nearestRange;
};
RedrawSelection SelectTargetForRedraw(RenderRecords state);
// The followed target's position when following is on and the selection is valid.
std::optional<LatLong> FollowedTargetPosition(RenderRecords state, const ChartView& view);

// A target's label as a block of lines, to be placed clear of the other labels and marks.
struct TargetLabel {
    LabelRequest request;
    std::vector<std::pair<Pixel, std::string>> lines; // each line's top left corner in the block
};

// `selected` is the target the redraw selected (SelectTargetForRedraw). With `labels` the label
// is handed back there instead of drawn.
void DrawAISTarget(Plotter& plotter, const ChartView& view, RenderRecords state, int n, int selected,
    std::vector<TargetLabel>* labels = nullptr);
void DrawAISTrack(Plotter& plotter, const ChartView& view, RenderRecords state, int n);
void DrawSelectedOutline(Plotter& plotter, const ChartView& view, RenderRecords state, int selected);
// Step 3 of the AIS part of a redraw: marks and tracks of every target, `selected` (if any) in
// yellow. With label placement on (kvfree.ini) the labels follow in one pass over the marks,
// each where it covers no other; the boxes of the labels drawn are returned (else none).
std::vector<LabelBox> DrawAISTargets(Plotter& plotter, const ChartView& view, RenderRecords state, int selected);

} // namespace kv
