#include "views/AnchorDraw.h"

#include "views/Symbols.h"
#include "views/ViewGeometry.h"

namespace kv {

void DrawAnchorWatch(Plotter& plotter, const ExtraSettings& extra)
{
    if (!extra.AnchorSet) {
        return;
    }
    const double radiusDeg = extra.AnchorRadiusM / 1852.0 / 60.0;
    DrawGeographicCircle(plotter, extra.AnchorLat, extra.AnchorLong, radiusDeg, LineCode::Fuchsia);
    plotter.liftPen();
    const auto at = PositionToPixel(plotter.projection(), extra.AnchorLat, extra.AnchorLong);
    if (!at) {
        return;
    }
    RenderCanvas& canvas = plotter.canvas();
    const int s = canvas.deviceScale();
    canvas.solidLine(at->x - 5 * s, at->y, at->x + 5 * s, at->y, kFuchsia);
    canvas.solidLine(at->x, at->y - 5 * s, at->x, at->y + 5 * s, kFuchsia);
    canvas.text(at->x + 6 * s, at->y + 2 * s, "Anchor", kFuchsia);
}

} // namespace kv
