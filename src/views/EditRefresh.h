#pragma once
// The views after a chart point was added, moved or removed at the cursor: each is drawn again
// where it stands, so that the next click lands where the user aims. Only a view in which the
// cursor would fall outside what its window shows is re-centred on the cursor.

#include "views/ViewSet.h"

namespace kv {

// Pixels kept between the cursor and the edge of the shown area before the view moves.
inline constexpr int kEditEdgeMargin = 10;

// Whether bitmap pixel p lies in the part of the view its window shows, kEditEdgeMargin inside
// the edge (the whole bitmap when the windows do not say).
bool CursorShown(const ViewSet& set, const ChartView& v, Pixel p);

void RefreshKeepingViews(ViewSet& set);

// After a redraw that left the view where it stands: a view without own ship's track puts the
// cursor in the middle of its picture at every redraw (the cursor is then the view's centre);
// this puts it back at (lat, lon), cross and position panel included.
void KeepCursorAt(ViewSet& set, ChartView& v, double lat, double lon);

// Draws the view again where it stands, the cursor where it is; a centre a click left waiting
// for the next redraw keeps waiting.
void RedrawInPlace(ViewSet& set, ChartView& v);

} // namespace kv
