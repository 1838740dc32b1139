#pragma once
// A view drawn again for a printed page: the area of its bitmap at the page's resolution, so
// lines stay lines, with a white-paper choice.

#include "platform/Printer.h"
#include "views/Render.h"

namespace kv {

// The scale bar's longest length on screen, pixels.
inline constexpr int kScaleBarPixels = 160;

// The area of the bitmap the window shows (`view.shownArea`; empty: the whole bitmap), drawn as
// large as fits the page with its proportions kept, around the same position and turned the
// same way; pens, dots and text grow with the page's resolution; a scale bar in the lower left
// corner. Under the picture a margin line on the paper: the chart name, `stamp` (date and time),
// own position and the printed scale "Scale 1:n". On white paper the background is white and
// light colours are darkened.
QImage RenderViewForPage(
    const ChartView& view, const RenderContext& ctx, const PrintPage& page, const std::string& stamp = {});

// The scales of a page that shows `area` of the picture drawn with `shown`, `k` page pixels to
// a screen pixel.
Projection PageProjection(const Projection& shown, const QRect& area, double k);
// n of the scale 1:n of a page drawn with `page` at `dotsPerInch` (north-south, three figures).
long long PrintedScale(const Projection& page, int dotsPerInch);

// Recolours a drawn picture for white paper: the background becomes white, the foreground and
// the light line colours dark ones; dark colours stay as they are.
void ToWhitePaper(QImage& image, Rgb background, Rgb foreground);

} // namespace kv
