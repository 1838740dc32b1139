#pragma once
// The redraw of a chart view: the whole picture repainted from the program's tables into the
// view's W × H bitmap, in a fixed order of layers.

#include "views/RenderPlotter.h"
#include "views/ViewModel.h"
#include "app/ProgramState.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace kv {

// What the views share beyond the chart geometry of the program state: the rotation, and the
// measure tool of the main window.
struct ViewShared {
    ViewRotation rotation;
    bool MeasureMode = false;
    double MeasureOriginLat = 0.0;
    double MeasureOriginLong = 0.0;
    double MeasureTotal = 0.0;
    bool MeasureOriginPending = false; // measure mode just started or accumulated
    int PlaybackSpeed = 5;             // log playback, records per second
};

// The drawing surface every view bitmap has.
DrawingSurface SurfaceOf(const ChartGeometry& geometry);

// Layers and refreshes belonging to windows or other commands, called at their place.
struct RenderHooks {
    // Chart outlines of a portfolio (step 15).
    std::function<void(ChartView&, Plotter&)> drawChartOutlines;
    // The target text window, rewritten after the targets are drawn.
    std::function<void()> refreshTargetText;
};

// Processor time spent in each step of the last redraw (nanoseconds), for the benchmark.
struct RenderTimings {
    std::array<long long, 16> step{};
};

struct RenderContext {
    ProgramState& state;
    ViewShared& shared;
    RenderHooks hooks;
    RenderTimings* timings = nullptr;
    // Local time in days for ageing the targets; nothing ages them when absent (a tool drawing
    // a replayed table).
    std::optional<double> nowDays;
};

// The measure text of the main window's measure tool.
std::string ViewMeasureText(ProgramState& state, const ViewShared& shared);

SchemeColours ColoursFromSettings(const Settings& settings);

// A fresh bitmap of the drawing surface filled with the background colour.
void RecreateBitmap(ChartView& view, const RenderContext& ctx);
// Steps 1 to 15 of the redraw into the view's bitmap.
void RedrawView(ChartView& view, RenderContext& ctx);

// The 3 + 3 pixel arms of the cursor cross around a pixel, inverted (drawing twice removes it).
void DrawCursorCross(RenderCanvas& canvas, int x, int y);
// The small solid X of fixes and of the measure origin.
void DrawFixCross(RenderCanvas& canvas, int x, int y, Rgb colour);

// Range rings (nautical miles) of a ring setting, and the hint of the rings button.
std::vector<double> RangeRings(int ringSetting);
std::string RangeRingHint(int ringSetting);

// The vessel position the marks are drawn at: the newest log record in chart datum.
std::optional<LatLongValue> LastTrackPosition(const ProgramState& state);

} // namespace kv
