#pragma once
// The AIS commands of a chart view's pop-up menu and tool bar, the double-click selection and
// the 5-second target refresh. Each command sets its item and redraws the view.

#include "platform/Platform.h"
#include "views/ViewRecords.h"
#include "views/ViewSet.h"

namespace kv {

void ShowAISClick(ViewSet& views, ChartView& v);
void RRUpClick(ViewSet& views, ChartView& v);
void RRDownClick(ViewSet& views, ChartView& v);
void HighlightNearest1Click(ViewSet& views, ChartView& v);
void ShowMMSI1Click(ViewSet& views, ChartView& v);
void OnAll1Click(ViewSet& views, ChartView& v);
void OnSelected1Click(ViewSet& views, ChartView& v);
void LargeLollipop1Click(ViewSet& views, ChartView& v);
void AISFollowSelectedTarget1Click(ViewSet& views, ChartView& v);
void AISCOG1Click(ViewSet& views, ChartView& v);
void AISTrueHead1Click(ViewSet& views, ChartView& v);
void AISZoomClick(ViewSet& views, ChartView& v);
void AISShapeClick(ViewSet& views, ChartView& v);
// "Repeat last AIS target announcement".
void AISrepeatClick(ViewRecords state, Platform& platform);

// The double-click of the AIS view showing targets: the target nearest own position is selected
// whatever was clicked, and the view re-centred on own vessel.
void SelectNearestTarget(ViewSet& views, ChartView& v);

// A target chosen in the target list becomes the selected one. The choice has to outlive the
// next redraw, so "Highlight Nearest" is switched off, unless AIS Zoom holds it on.
void SelectListTarget(ViewSet& views, int n);
// The double-click of the target list: the target is chosen as above and the view centred on it
// (nothing moves for a target without a position).
void CentreOnTarget(ViewSet& views, ChartView& v, int n);

// RefRate, every 5 seconds.
void RefRateTimer(ViewSet& views, ChartView& v, double nowDays);

} // namespace kv
