#pragma once
// The redraw of a chart view: the whole picture repainted from the program's tables into the
// view's W × H bitmap, in a fixed order of layers.

#include "views/RenderPlotter.h"
#include "views/ViewModel.h"
#include "views/ViewRecords.h"

#include <array>
#include <optional>
#include <string>

namespace kv {

class SurveyLogReader;
class ChartAreasCache;

// A hull's size around its GPS antenna in metres, as AIS reports it: to the bow (A), to the
// stern (B), to port (C) and to starboard (D).
struct VesselDimensions {
    double DimA = 0.0;
    double DimB = 0.0;
    double DimC = 0.0;
    double DimD = 0.0;
    friend bool operator==(const VesselDimensions&, const VesselDimensions&) = default;
};

// What the views share beyond the chart geometry of the program state: the rotation, the
// measure tool of the main window, and the own-vessel outline.
struct ViewShared {
    ViewRotation rotation;
    bool MeasureMode = false;
    double MeasureOriginLat = 0.0;
    double MeasureOriginLong = 0.0;
    double MeasureTotal = 0.0; // display units, the legs added with "Extend measure"
    double MeasureLastLeg = 0.0; // display units, the leg last measured
    bool MeasureOriginPending = false; // measure mode just started or accumulated
    int PlaybackSpeed = 5; // log playback, records per second
    // Own vessel's outline as last placed from the antenna offsets; none until it is placed.
    std::optional<VesselDimensions> vesselOutline;
};

// The drawing surface every view bitmap has.
DrawingSurface SurfaceOf(const ChartGeometry& geometry);

// Processor time spent in each step of the last redraw (nanoseconds), for the benchmark.
struct RenderTimings {
    std::array<long long, 16> step {};
};

// What a redraw reads besides the view: the program's tables and what the views share.
struct RenderContext {
    RenderRecords state;
    const ViewShared& shared;
    RenderTimings* timings = nullptr;
    // Another surface than the views' (a printed page): the scales follow its size, so the
    // same area is drawn with more pixels. None: the views' surface.
    std::optional<DrawingSurface> surface {};
    // Pen widths, dots and text grow by this factor on such a surface.
    int deviceScale = 1;
    // The text log as the view set has read it so far (the survey-log plot); none: read whole.
    SurveyLogReader* surveyLog = nullptr;
    // The areas file of the chart, filled beneath its lines while FillAreas is on; none: no fill.
    ChartAreasCache* areas = nullptr;
    // The scales and reference position to draw with instead of those computed from the view's
    // centre and zoom (a printed page of the area the window shows).
    std::optional<Projection> projection {};
};

// The measure tool's text and distance from its origin to a position.
struct ViewMeasurement {
    std::string text; // the status line
    double range = 0.0; // display units; kept as the leg last measured (ViewShared::MeasureLastLeg)
};

// What a redraw computed besides the picture. The redraw changes nothing but the bitmap; the
// view set stores these in the view and the program state (StoreRenderResult).
struct RenderResult {
    // The view's own record.
    Projection projection; // scales and reference position of this redraw
    int roundedZoom = 0;
    bool followingTarget = false; // centred on a followed AIS target
    LatLong centre; // the next centre: the clamped centre, or the vessel's position
    Pixel cursor; // the cursor cross's pixel
    std::optional<Pixel> vesselPixel; // own ship's pixel, when it was drawn
    std::optional<std::string> toolbarHint; // the distance grid's caption; empty under the world graticule
    // The program state.
    std::optional<LatLong> cursorPosition; // an empty AIS view moved the shared cursor to its centre
    std::string positionText; // the position panel
    std::optional<ViewMeasurement> measurement; // measure mode
    // AIS view with targets shown: the selection the redraw drew with; the targets are aged and
    // the target text rewritten after the picture.
    bool targetsShown = false;
    int selectedTarget = 0;
    std::optional<double> nearestTargetRange; // measured for "AIS Zoom"
    // A portfolio chart: its chart outlines go over the finished picture.
    bool portfolioOutlines = false;
};

// The measure tool from its origin to the position (lat, lon).
ViewMeasurement MeasureFromOrigin(
    const ChartReference& ref, const UnitSettings& units, const ViewShared& shared, LatLong to);
// The measure text of the main window's measure tool at the cursor position; the distance is
// kept as the last leg of the measure tool.
std::string ViewMeasureText(const Fix& fix, const ChartReference& ref, const UnitSettings& units, ViewShared& shared);

SchemeColours ColoursFromSettings(const Settings& settings);

// The view's bitmap at the size of the drawing surface (RedrawView paints it from the background up).
void RecreateBitmap(ChartView& view, RenderRecords state);
// Steps 1 to 15 of the redraw of `view` into `bitmap` (normally the view's own), which is first
// cleared to the background: nothing of an earlier picture stays.
RenderResult RedrawView(const ChartView& view, QImage& bitmap, const RenderContext& ctx);

// The 3 + 3 pixel arms of the cursor cross around a pixel, inverted (drawing twice removes it).
void DrawCursorCross(RenderCanvas& canvas, int x, int y);
// The small solid X of fixes and of the measure origin.
void DrawFixCross(RenderCanvas& canvas, int x, int y, Rgb colour);

// Range rings (nautical miles) of a ring setting, and the hint of the rings button.
std::vector<double> RangeRings(int ringSetting);
std::string RangeRingHint(int ringSetting);

// The vessel position the marks are drawn at: the newest log record in chart datum.
std::optional<LatLong> LastTrackPosition(RenderRecords state);

// Own vessel's hull around the antenna, from the antenna offsets and the vessel's size settings.
VesselDimensions OwnVesselDimensions(const VesselSettings& vessel, const Settings& settings);
// The outline routine of own vessel and of the selected AIS target: a hull with a pointed bow
// around the antenna at `antenna` (chart datum), the bow towards `headingDeg` (degrees true).
void DrawVesselOutline(Plotter& plotter, LatLong antenna, double headingDeg, const VesselDimensions& dims, Rgb colour);

// Own ship as a shape of fixed size on screen, its bow along the course over ground, with the
// course and speed vector: the distance run in six minutes at the speed over ground.
inline constexpr double kOwnShipVectorHours = 0.1;
inline constexpr int kOwnShipShapeLength = 18; // pixels, bow to stern
void DrawOwnShip(Plotter& plotter, LatLong at, double cogDeg, double sogKnots, Rgb colour);
// The text written at a range ring.
std::string RangeRingLabel(double nm);

} // namespace kv
