#pragma once
// Where the labels of marks go so that none covers another label or a mark. Pure geometry over
// rectangles in bitmap pixels: the AIS targets use it, and it knows nothing of targets.

#include "views/ViewGeometry.h"

#include <optional>
#include <vector>

namespace kv {

// A rectangle of pixels: left, top, width and height. Empty when either size is not positive.
struct LabelBox {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    bool intersects(const LabelBox& o) const
    {
        return w > 0 && h > 0 && o.w > 0 && o.h > 0 && x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
    friend bool operator==(const LabelBox&, const LabelBox&) = default;
};

// One mark with its label.
struct LabelRequest {
    Pixel anchor; // the centre of the mark
    int markRadius = 2; // the mark covers the square of this half size about the anchor
    int width = 0; // the label block
    int height = 0;
    Pixel offset; // the block's top left corner on its own side, from the anchor
    double priority = 0.0; // smaller wins a contested place (the range from own ship)
};

// The box of a label placed with its top left corner at `corner`.
inline LabelBox BoxAt(const LabelRequest& r, Pixel corner)
{
    return { corner.x, corner.y, r.width, r.height };
}
inline LabelBox MarkBox(const LabelRequest& r)
{
    return { r.anchor.x - r.markRadius, r.anchor.y - r.markRadius, 2 * r.markRadius + 1, 2 * r.markRadius + 1 };
}

// The places tried for a label, in order: its own place, above it on the same side, the same two
// mirrored to the left of the mark, then centred below and centred above the mark.
std::vector<Pixel> CandidateCorners(const LabelRequest& r);

// The top left corner of each label (in the order given), or nothing for a label left out. The
// labels are placed in order of priority; each takes the first candidate place that meets no
// label placed before it, no mark and no obstacle. A label of zero size is left out.
std::vector<std::optional<Pixel>> PlaceLabels(
    const std::vector<LabelRequest>& labels, const std::vector<LabelBox>& obstacles = {});

} // namespace kv
