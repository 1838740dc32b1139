#pragma once
// The anchor watch on a chart view: the circle the vessel must stay inside, and the anchor.

#include "core/ExtraSettings.h"
#include "views/RenderPlotter.h"

namespace kv {

// Nothing while no anchor is down. The circle in fuchsia at the watch radius (metres turned into
// degrees of latitude by the nautical mile of 1852 m), a cross at the anchor and "Anchor" beside it.
void DrawAnchorWatch(Plotter& plotter, const ExtraSettings& extra);

} // namespace kv
