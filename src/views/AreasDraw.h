#pragma once
// Filled areas beneath a chart's lines: land and water shaded by depth, from the areas file
// beside the chart (see charts/ChartAreas.h), drawn when the FillAreas view option is on.

#include "charts/ChartAreas.h"
#include "views/RenderPlotter.h"
#include "views/ViewGeometry.h"

#include <QImage>

#include <optional>
#include <string>

namespace kv {

// The areas file of the chart in use, read when it is first wanted and again only when the
// chart or the file changes, so a redraw costs a look at the file's size and time.
class ChartAreasCache {
public:
    // The areas of the file at path, or none when there is none or it cannot be read (error()
    // then tells why, once per file).
    const ChartAreas* load(const std::string& path);
    const std::string& error() const { return error_; }

private:
    std::string path_;
    long long size_ = -1;
    long long modified_ = -1;
    std::optional<ChartAreas> areas_;
    std::string error_;
};

// The fill colours of a scheme: land, and water shallower than the safety depth and less than
// twice as deep; deep water keeps the background.
struct AreaColours {
    Rgb land = 0;
    Rgb shallow = 0;
    Rgb medium = 0;
};
AreaColours AreaColoursFor(const SchemeColours& colours);

// Fills the areas into the bitmap at the projection: the water shades first, land over them.
void DrawChartAreas(
    QImage& bitmap, const Projection& projection, const ChartAreas& areas, const SchemeColours& colours);

} // namespace kv
