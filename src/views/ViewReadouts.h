#pragma once
// What a view shows beside its picture: the scale bar, the position and range under the mouse,
// and the zoom in the view's tool bar.

#include "core/ChartReference.h"
#include "core/Preferences.h"
#include "core/Settings.h"
#include "views/RenderCanvas.h"
#include "views/ViewGeometry.h"

#include <optional>
#include <string>

namespace kv {

// A bar of a round distance (1, 2 or 5 times a power of ten, in the display unit).
struct ScaleBar {
    int pixels = 0; // its length on the surface the projection draws on
    double distance = 0.0; // display units
    std::string label; // the distance and the unit name, "2 Nm"
};

// The longest round distance at most `maxPixels` long at the projection's scale (north-south,
// where a minute of latitude is a nautical mile); none for a scale too small or too large to
// show one between 0.001 and 10000 units.
std::optional<ScaleBar> ComputeScaleBar(const Projection& projection, double unitFactor, int maxPixels);

// The bar with its end ticks, its left end at (x, y), the label above it.
void DrawScaleBar(RenderCanvas& canvas, const ScaleBar& bar, int x, int y, Rgb colour);

// The mouse readout of the status bar: the position under the bitmap pixel (x, y) as the
// position panel would show it, then the range (display unit) and true bearing from own ship.
std::string HoverReadout(const UnitPreferences& unitPrefs, const ChartReference& ref, const Settings& settings,
    const Projection& projection, std::optional<LatLong> ownShip, int x, int y);

// Range and bearing text from one position to another: "1.25 Nm 045°T".
std::string RangeBearingText(LatLong from, LatLong to, double cosLatFactor, double unitFactor);

// The zoom as the view's tool bar shows it: "Zoom 12", "Zoom 0.5", "Zoom 0.03125".
std::string ZoomCaption(double zoom);

} // namespace kv
