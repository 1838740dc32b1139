#pragma once
// A view drawn again for a printed page: the area of its bitmap at the page's resolution, so
// lines stay lines, with a white-paper choice.

#include "platform/Printer.h"
#include "views/Render.h"

namespace kv {

// The scale bar's longest length on screen, pixels.
inline constexpr int kScaleBarPixels = 160;

// The area the view's bitmap shows, drawn as large as fits the page with its proportions kept;
// pens, dots and text grow with the page's resolution; a scale bar in the lower left corner.
// On white paper the background is white and light colours are darkened.
QImage RenderViewForPage(const ChartView& view, const RenderContext& ctx, const PrintPage& page);

// Recolours a drawn picture for white paper: the background becomes white, the foreground and
// the light line colours dark ones; dark colours stay as they are.
void ToWhitePaper(QImage& image, Rgb background, Rgb foreground);

} // namespace kv
