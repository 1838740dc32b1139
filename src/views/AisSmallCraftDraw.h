#pragma once
// Marks of Class B and aid-to-navigation targets, and the collision warning on the chart: a
// dangerous target's predicted track to its closest point of approach, in red.

#include "ais/AisCollision.h"
#include "ais/AisTarget.h"
#include "views/RenderCanvas.h"
#include "views/ViewGeometry.h"
#include "views/ViewRecords.h"

namespace kv {

class Plotter;

// A target's motion for the collision arithmetic (longitude west positive); false when its
// position or speed is not available.
bool TargetMotion(const TAISTarget& t, VesselMotion& motion);
// Own vessel's motion from the navigation state.
VesselMotion OwnMotion(RenderRecords state);

// Draws the mark of a Class B target (a smaller open circle with a course line) or of an aid to
// navigation (a diamond; dotted when virtual) at px. False for other targets, which keep their
// own mark. No name is written here: the labels of all targets are drawn by one function.
bool DrawSmallCraftMark(Plotter& plotter, const TAISTarget& t, Pixel px, bool selected, int radius);

// For a dangerous target: a red ring and its predicted track to the closest point of approach.
// Returns whether the target is dangerous.
bool DrawCollisionWarning(Plotter& plotter, RenderRecords state, const TAISTarget& t, Pixel px);

} // namespace kv
