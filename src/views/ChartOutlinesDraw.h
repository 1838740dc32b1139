#pragma once
// The outlines of the charts in the chart folder, drawn over a finished view picture.

#include "charts/ChartIndex.h"
#include "views/RenderPlotter.h"

#include <vector>

namespace kv {

// Draws each outline as a closed rectangle with the chart line pen, reaching five times farther
// off the picture than chart lines do (a chart larger than the view still shows its edges), and
// writes the chart's name in silver inside its north-west corner when that corner is on the
// picture. Returns the number of names written.
int DrawChartOutlines(RenderCanvas& canvas, const Projection& projection, const SchemeColours& colours,
    const std::vector<ChartOutline>& outlines);

} // namespace kv
