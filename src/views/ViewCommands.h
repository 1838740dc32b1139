#pragma once
// Commands that work on the drawn picture of a view: area measurement, the chart information
// text, and the playback of the quick log in a view (driven by the view's Delay timer).

#include "platform/Clipboard.h"
#include "views/ViewSet.h"

#include "views/ViewRecords.h"
#include <functional>
#include <string>

namespace kv {

inline constexpr const char* kAreaRefused = "Close NMEA server or turn DR mode off and purge the log first !";
inline constexpr const char* kNoInformation = "No Information available!";
inline constexpr const char* kInfoSaveHint = "CTRL+I to Save changes !";
inline constexpr const char* kInfoCloseHint = "CTRL+I to Close !";
inline constexpr const char* kPlaybackRefused = "Not allowed while playing an AIS log!";
inline constexpr const char* kPlaybackInProgress = "Log Playback in Progress ...";

// The area text for a count of filled pixels: " Sq. Nm", " Hectares" or " Acres" by the unit
// factor, small areas in square metres or square feet.
struct AreaResult {
    double value = 0.0;
    std::string unit;
    std::string text; // "Area = " …
};
AreaResult AreaFromPixelCount(
    long long count, double unitFactor, double chartCentreLat, int surfaceHeight, double zoom);

// Area1: fills the region around the cursor and reports its area; refused while positions are
// arriving or logged. Returns the result shown, if any.
std::optional<AreaResult> Area1Click(ViewSet& views, ChartView& v);

// Information1 (Ctrl+I): opens the chart's information text, or closes it (saving it while
// chart editing is on).
void Information1Click(ViewSet& views, ChartView& v, bool chartEditMode);
std::string ChartInfoPath(RenderRecords state);

// Log playback of the quick log in a view.
struct LogPlayback {
    bool active = false;
    int index = 0;
    int ticks = 0;
    int speed = 5; // records per second
    TimerState Delay;
    bool savedShowTrack = true;
    bool savedShowVessel = true;
};
void PlaybackLog1Click(ViewSet& views, ChartView& v, LogPlayback& playback);
void DelayTimer(ViewSet& views, ChartView& v, LogPlayback& playback);

// A route command of the view's pop-up menu (add, insert, edit, delete a route waypoint at the
// cursor position): the command, then a fresh bitmap and redraw, and the route marked changed.
void RouteCommand(ViewSet& views, ChartView& v, const std::function<void()>& command);

// What the pop-up menu shows as it opens: the snap mode's check, and the AIS and area commands
// only in the AIS view.
void PopupMenuOpening(ViewSet& views, const ChartView& v);

// Copy View: the view's bitmap to the clipboard.
void CopyView1Click(const ChartView& v, Clipboard& clipboard);

} // namespace kv
