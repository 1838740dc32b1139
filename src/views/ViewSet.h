#pragma once
// The chart views of the program (at most two) and the commands of their tool bars, pop-up menus
// and mouse: zoom, re-centre, full chart, cursor picking and nudging, and the view lifecycle.

#include "views/AreasDraw.h"
#include "views/Render.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewModel.h"
#include "views/ViewRecords.h"

#include "platform/Printer.h"
#include "platform/Prompter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

inline constexpr int kMaxViews = 2;
inline constexpr const char* kTwoViewsMaximum = "Two views maximum - close one first...";
inline constexpr const char* kCloseOnlyViewQuestion
    = "This is the only view open. Closing it will remove all data ! - Are you really sure?";
inline constexpr const char* kCannotCloseAisView = "Cannot close the AIS window as all AIS data will be lost !";

// A rectangle of bitmap pixels.
struct ShownArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// What the views ask of the windows around them.
struct ViewSetHooks {
    // The target text window, rewritten after the targets are drawn and aged.
    std::function<void()> refreshTargetText;
    // The chart editor's waypoint snap: the nearest chart waypoint shown in the waypoint form,
    // greyed. A double-click on a view runs it unless it picks an AIS target.
    std::function<void()> waypointSnap;
    // The part of a view's bitmap its window shows (none: the whole bitmap).
    std::function<ShownArea(const ChartView&)> shownArea;
};

class ViewSet {
public:
    ViewSet(ViewRecords state, Prompter& prompter)
        : state_(state)
        , prompter_(prompter)
    {
    }

    ViewShared shared;
    ViewSetHooks hooks;
    // Local time in days for ageing the AIS targets at each redraw (none: no ageing).
    std::function<double()> nowDays;
    RenderTimings* timings = nullptr;
    // The rotation the views turn by (radians), read before every drawing: the angle the
    // preferences or the heading-up rule last set. None: `shared.rotation` as it is set.
    std::function<double()> viewAngle;

    ViewRecords& state() { return state_; }
    Prompter& prompter() { return prompter_; }

    int count() const { return static_cast<int>(views_.size()); }
    // Views in window order, from 0.
    ChartView& view(int index) { return *views_.at(static_cast<std::size_t>(index)); }
    const ChartView& view(int index) const { return *views_.at(static_cast<std::size_t>(index)); }
    ChartView* aisView();

    // The caption of a view: chart name, optionally "." and a number, " (", configuration, ")".
    std::string ViewCaption(int number) const;

    // Lifecycle.
    ChartView& CreateView(const std::string& caption);
    void FileNewItemClick();
    // Closes a view as the user asks; false when it stays open. The last view is closed only when
    // the user confirms that all data goes with it; emptying the data is the caller's part.
    bool CloseView(int index);
    // Closes a view without asking.
    void RemoveView(int index);
    // Closes the lowest view without asking, for the view a chart reload has just opened (a
    // purge of the layers). When it was the AIS view, the newest view becomes the AIS view with
    // its target settings; with no other view open the lowest view stays.
    void ReplaceLowestView();

    // Zoom and re-centre, each ending with the common tail.
    void ZoomInClick(ChartView& v);
    void ZoomOutClick(ChartView& v);
    void Zoom1_1Click(ChartView& v); // full chart
    void ReCentre(ChartView& v);
    // Ctrl + wheel: zoom in or out by the zoom commands' factor and limits, keeping the position
    // under the mouse pixel where it is in the window. `middle` is the bitmap pixel at the middle
    // of the window.
    void ZoomAbout(ChartView& v, Pixel mouse, Pixel middle, bool in);
    // The end of a pan: the position at bitmap pixel `middle` (the middle of the window) becomes
    // the view's centre and the view is redrawn around it. The cursor stays where it is.
    void PanTo(ChartView& v, Pixel middle);
    void RefreshViews();
    void CommonTail(ChartView& v);
    void Redraw(ChartView& v);
    // `shared.rotation` from `viewAngle`; every drawing does this first.
    void SyncRotation();
    // Draws the outlines of every chart of the chart folder over the view's picture ("Show
    // Charts"; every view for "Available Charts"; a portfolio at each redraw).
    void ShowChartOutlines(ChartView& v);
    // The view drawn again for a printed page (the view itself is not changed).
    // The area the window shows (`v.shownArea`) is drawn, with a margin line under it: the chart
    // name, `stamp` (date and time), own position and the scale.
    QImage RenderForPage(const ChartView& v, const PrintPage& page, const std::string& stamp = {});
    // Keeps what a redraw of v computed: the view's geometry and cursor, the shared cursor, the
    // position panel and measure text, the AIS selection; then ages the targets and rewrites the
    // target text when they were shown.
    void StoreRenderResult(ChartView& v, const RenderResult& result);

    // Free look and orientation (ViewFollow.cpp).
    // "Follow": following on again, the view re-centred on own ship (the cursor when there is no
    // track yet).
    void FollowClick(ChartView& v);
    // A pan or Ctrl + wheel zoom by the user: the view stops following own ship.
    void StopFollowing(ChartView& v);
    // Own ship lies outside `visible` (bitmap pixels; empty: the whole bitmap) or was not drawn
    // although there is a track.
    bool VesselOutside(const ChartView& v, const QRect& visible) const;
    // The view's orientation choice; the view is drawn again turned the new way.
    void SetOrientation(ChartView& v, ViewOrientation orientation);
    // The rotation a view is drawn with.
    ViewRotation RotationOf(const ChartView& v) const;
    // Course up: the view's angle moves to the course over ground when the course has left the
    // heading-up dead band around it.
    void TurnCourseUp(ChartView& v);

    // Pixel to position; with update the view's centre and (unless a small-scale overview beside
    // another view) the shared cursor move there. Returns the position text.
    std::string PixelToPosition(ChartView& v, int x, int y, int decimals, bool update);

    // Mouse and nudge.
    void MouseDown(ChartView& v, int x, int y);
    void MouseMove(ChartView& v, int x, int y);
    void MouseUp(ChartView& v, int x, int y);
    void UpDownClick(ChartView& v, bool down);
    void LeftRightClick(ChartView& v, bool down);
    void Image1DblClick(ChartView& v);

private:
    // Zoom × 2 or × 0.5 within the limits (a beep at a limit); true when the zoom changed.
    bool StepZoom(ChartView& v, bool in);
    void PickCursor(ChartView& v, int x, int y);
    RenderContext Context(const ChartView& v);
    // Where the view centres on a refresh: own ship (the cursor) when following, else the
    // position it shows now. Then the full-chart zoom or the re-centre.
    void RefreshView(ChartView& v, bool tileChange);

    ViewRecords state_;
    Prompter& prompter_;
    std::vector<std::unique_ptr<ChartView>> views_;
    SurveyLogReader surveyLog_; // the survey-log plots of the views read the text log as it grows
    ChartAreasCache areas_; // the chart's areas file, for FillAreas
    ViewShared drawnShared_; // `shared` with the rotation of the view being drawn
};

} // namespace kv
