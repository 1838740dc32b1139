#pragma once
// One chart view: its own centre, zoom and display options, the scales of its last redraw, its
// cursor pixel and its bitmap. At most two exist (ViewSet owns them).

#include "views/ViewGeometry.h"

#include <QImage>
#include <QRect>

#include <array>
#include <optional>
#include <string>

namespace kv {

inline constexpr int kChartLineTypes = 7;

// What a view draws (the view options dialog edits them); all on for a new view.
struct ViewOptions {
    bool ShowWaypoints = true;
    bool ShowRoute = true; // route lines; without them only the marks appear
    bool ShowTides = true;
    bool ShowTrack = true;
    bool ShowGraticule = true;
    bool ShowVessel = true;
    bool AutoZoom = false;
    bool ShowEPE = false; // the control is hidden; the redraw reads it
    bool UseCrosses = true; // fix crosses on target tracks
    bool ShowOutline = true; // vessel outline display (mark 104)
    std::array<bool, kChartLineTypes> LineTypes { true, true, true, true, true, true, true };
    int SymbolThreshold = 15; // least rounded zoom with full waypoint symbols
    int LabelThreshold = 100; // least rounded zoom with all waypoint labels
    int TideLabelThreshold = 20;
    bool OnTop = false; // the control is hidden

    // The survey-log plot: the text log's fixes drawn at their positions (SurveyLogDraw.h).
    bool PlotTextLog = false;
    char PlotField = '-'; // first character of the chosen field's caption; '-' none
    bool EventsOnly = false; // only the fixes logged as events (manual fixes)
    bool SurveyTrack = false; // the line joining the logged fixes
    bool Blobs = false; // colour blobs over 0 … PlotRange
    int PlotRange = 10;
    bool LastN = false; // only the newest NShow fixes
    int NShow = 100;
    double Highlight = 1000.0; // values whose absolute value is above it are highlighted
    bool PlotTow = false; // the control is hidden
};

// Which way up a view is drawn. `Preferences` turns it by the shared angle (the viewing angle of
// the preferences, or the heading-up rule while it is checked), as every view always has;
// `NorthUp` never turns it; `CourseUp` turns it so that the course over ground points up, within
// the heading-up dead band.
enum class ViewOrientation { Preferences, NorthUp, CourseUp };

// The AIS settings of the view's pop-up menu and tool bar (the AIS view only uses them).
struct AisViewSettings {
    bool ShowAIS = false; // tool button down
    bool HighlightNearest = false; // HighlightNearest1
    bool ShowMMSI = false; // ShowMMSI1
    bool LabelsOnAll = true; // OnAll1 (else OnSelected1)
    bool LargeLollipop = false; // LargeLollipop1
    bool FollowSelected = false; // AISFollowSelectedTarget1
    bool OrientByCOG = true; // AISCOG1 (else AISTrueHead1)
    bool ConventionalShape = false; // AISShape
    bool LabelsOn = true; // the global label switch
    int RingSetting = 0; // 0 … 16 in steps of 2
    int LollipopRadius() const { return LargeLollipop ? 4 : 2; }
    int VectorPen() const { return LargeLollipop ? 2 : 1; }
};

struct ChartView {
    int number = 1;
    std::string caption;

    double centreLat = 0.0;
    double centreLong = 0.0; // west positive
    double zoom = 0.04;
    int roundedZoom = 0;
    Projection projection; // scales and reference position of the last redraw

    int cursorX = 0;
    int cursorY = 0;
    bool dragging = false;

    ViewOptions options;
    AisViewSettings ais;
    bool aisView = false;
    bool followingTarget = false; // the last redraw was centred on a followed target

    QImage bitmap;
    // Counts the common tails: each one asks the window to scroll the middle of the bitmap into
    // the middle of the window. Nothing else moves the scroll position.
    unsigned centredCount = 0;
    std::string toolbarHint; // the distance grid's caption
    std::string infoHint; // the chart information memo's hint
    bool infoOpen = false;
    bool infoEditable = false;
    std::string infoText;

    // Free look: a pan or a Ctrl + wheel zoom by the user turns following off, and fixes then
    // move own ship on the chart without moving the chart. "Follow" turns it on again.
    bool following = true;
    // Own ship's pixel in the last redraw; none when it was not drawn.
    std::optional<Pixel> vesselPixel;
    // The zoom was chosen by the user (zoom buttons or wheel) since the last full-chart zoom: a
    // chart tile loaded under way keeps it.
    bool userZoom = false;
    ViewOrientation orientation = ViewOrientation::Preferences;
    double courseUpAngle = 0.0; // radians; the course-up rotation this view last took
    // The part of the bitmap the window shows (bitmap pixels), as the window last reported it;
    // empty: the whole bitmap. A printed page shows this area.
    QRect shownArea;

    double referenceLat() const { return projection.refLat; }
    double referenceLong() const { return projection.refLong; }
};

} // namespace kv
