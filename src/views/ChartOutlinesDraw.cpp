#include "views/ChartOutlinesDraw.h"

namespace kv {

int DrawChartOutlines(RenderCanvas& canvas, const Projection& projection, const SchemeColours& colours,
    const std::vector<ChartOutline>& outlines)
{
    Projection wide = projection;
    wide.margin = projection.margin * 5.0;
    Plotter plotter(canvas, wide, colours);
    int named = 0;
    for (const ChartOutline& o : outlines) {
        plotter.liftPen();
        plotter.plotPoint(o.north, o.west, LineCode::Foreground);
        plotter.plotPoint(o.north, o.east, LineCode::Foreground);
        plotter.plotPoint(o.south, o.east, LineCode::Foreground);
        plotter.plotPoint(o.south, o.west, LineCode::Foreground);
        plotter.plotPoint(o.north, o.west, LineCode::Foreground);
        if (const auto corner = PositionToPixel(projection, o.north, o.west)) {
            canvas.text(corner->x + 5, corner->y + 4, o.name, kSilver);
            ++named;
        }
    }
    return named;
}

} // namespace kv
