#pragma once
// A click on a target in the AIS view: which target was hit, the lines of the small pop-up shown
// beside it, and its "Follow" command. The window only shows the lines and the two buttons.

#include "views/ViewModel.h"
#include "views/ViewRecords.h"
#include "views/ViewSet.h"

#include <string>
#include <vector>

namespace kv {

// How far from the centre of a mark a click still hits it, in pixels.
inline constexpr int kTargetHitPixels = 6;

// The target whose mark lies within `reach` pixels of (x, y) on the view's last picture (the
// nearest of several), or 0. Only the AIS view showing its targets has targets to hit.
int TargetAtPixel(const ChartView& v, RenderRecords state, int x, int y, int reach = kTargetHitPixels);

// Name, MMSI, class, SOG and COG, range and bearing from own ship, CPA and TCPA of target n
// (1-based); "DANGEROUS TARGET" last for a target inside the collision limits while the
// collision warnings are on. Empty for a number outside the table.
std::vector<std::string> TargetPopupLines(RenderRecords state, int n);

// "Follow": target n becomes the selected target and the view follows it, as with "AIS Follow
// Selected Target"; the choice outlives "Highlight Nearest" as a choice in the target list does,
// and ends "AIS Zoom Nearest Target", which would select another.
void FollowTargetClick(ViewSet& views, ChartView& v, int n);

} // namespace kv
