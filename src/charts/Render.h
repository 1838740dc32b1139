#pragma once
// The redraw of a chart view: the whole picture repainted from the program's tables into the
// view's W × H bitmap, in a fixed order of layers.

#include "charts/RenderPlotter.h"
#include "charts/ViewModel.h"
#include "core/ProgramState.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace kv {

// What the views share: the drawing surface, the rotation, the chart's centre and zoom (from the
// chart configuration), the last view's centre and zoom (written back to it), and the measure
// tool of the main window.
struct ViewShared {
    DrawingSurface surface;
    ViewRotation rotation;
    double ChartCentreLat = 0.0;
    double ChartCentreLong = 0.0;
    double ChartZoom = 0.04;
    double LastViewLat = 0.0;
    double LastViewLong = 0.0;
    double LastViewZoom = 0.04;
    bool FullChartZoomPending = false;
    std::string ChartName;
    std::string ConfigName;
    bool MeasureMode = false;
    double MeasureOriginLat = 0.0;
    double MeasureOriginLong = 0.0;
    bool MeasureOriginPending = false; // measure mode just started or accumulated
    int PlaybackSpeed = 5;              // log playback, records per second
    bool AisLogPlaying = false;
};

// The chart and its waypoints as the redraw reads them, so that the drawing does not depend on
// how the store keeps its records.
struct ChartSource {
    virtual ~ChartSource() = default;
    virtual int pointCount() const = 0;
    // Point n (1-based): false for a pen-up record; otherwise the encoded latitude and longitude.
    virtual bool point(int n, double& encodedLat, double& lon) const = 0;
    virtual int waypointCount() const = 0;
    // Waypoint n (1-based): its 29-character name field and position.
    virtual const std::string& waypointName(int n) const = 0;
    virtual double waypointLat(int n) const = 0;
    virtual double waypointLong(int n) const = 0;
};

// Layers drawn by other subsystems, called at their place in the redraw.
struct RenderHooks {
    // AIS: the position a followed target puts at the centre, the targets (step 10), the
    // selected target's outline (step 13), and whether any target exists.
    std::function<std::optional<LatLongValue>(ChartView&)> followedTarget;
    std::function<void(ChartView&, Plotter&)> drawTargets;
    std::function<void(ChartView&, Plotter&)> drawSelectedOutline;
    std::function<int()> targetCount;
    // Chart outlines of a portfolio (step 15).
    std::function<void(ChartView&, Plotter&)> drawChartOutlines;
    // The measure text of the main window's measure tool.
    std::function<std::string()> measureText;
};

// Time spent in each step of the last redraw (nanoseconds), for the benchmark.
struct RenderTimings {
    std::array<long long, 16> step{};
};

struct RenderContext {
    ProgramState& state;
    ViewShared& shared;
    const ChartSource* chart = nullptr;
    RenderHooks hooks;
    RenderTimings* timings = nullptr;
};

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
