#include "views/LabelPlacement.h"

#include <algorithm>
#include <numeric>

namespace kv {

std::vector<Pixel> CandidateCorners(const LabelRequest& r)
{
    const Pixel a = r.anchor;
    const int gap = std::max(r.offset.x, 1);
    const int right = a.x + r.offset.x;
    const int left = a.x - gap - r.width;
    const int own = a.y + r.offset.y;
    const int above = a.y - r.markRadius - 1 - r.height;
    const int centred = a.x - r.width / 2;
    return { { right, own }, { right, above }, { left, own }, { left, above }, { centred, a.y + r.markRadius + 2 },
        { centred, above - 1 } };
}

std::vector<std::optional<Pixel>> PlaceLabels(
    const std::vector<LabelRequest>& labels, const std::vector<LabelBox>& obstacles)
{
    std::vector<std::optional<Pixel>> out(labels.size());
    std::vector<LabelBox> taken = obstacles;
    taken.reserve(obstacles.size() + 2 * labels.size());
    for (const LabelRequest& r : labels) {
        taken.push_back(MarkBox(r));
    }
    std::vector<std::size_t> order(labels.size());
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(),
        [&labels](std::size_t a, std::size_t b) { return labels[a].priority < labels[b].priority; });
    for (const std::size_t i : order) {
        const LabelRequest& r = labels[i];
        if (r.width <= 0 || r.height <= 0) {
            continue;
        }
        for (const Pixel corner : CandidateCorners(r)) {
            const LabelBox box = BoxAt(r, corner);
            const bool free
                = std::none_of(taken.begin(), taken.end(), [&box](const LabelBox& t) { return t.intersects(box); });
            if (free) {
                out[i] = corner;
                taken.push_back(box);
                break;
            }
        }
    }
    return out;
}

} // namespace kv
