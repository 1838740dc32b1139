#pragma once
// Chart editing: placing, moving and deleting chart points from the cursor, lifting the pen,
// chart waypoints made through the waypoint form, and survey grids of parallel lines laid out
// around the cursor. Everything works on the chart store and the waypoint table; nothing is
// written to the chart file until the user saves it.

#include "charts/ChartFiles.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "core/AppState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/Settings.h"
#include "platform/Prompter.h"

#include <optional>
#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kEditModeRefused
    = "Chart Edit Mode. You must first purge the log and only have one view open !";
inline constexpr const char* kEditModeOn
    = "Chart Edit Mode. You are now editing the current chart - Chart Auto Load has been disabled!!";
inline constexpr const char* kAutoLoadEnabled = "Chart Auto Load has been enabled!!";
inline constexpr const char* kStartNewQuestion = "Start a new chart! - Are you sure?";
inline constexpr const char* kNewChartName = "New Chart";
inline constexpr const char* kSnapNeedsFixIntervalZero = "Please set Fix interval to 0 before using the Snap command!";
inline constexpr const char* kDeletePointQuestion = "Delete the line(s) to the selected point! - Are you sure?";
inline constexpr const char* kWaypointTableFull = "Waypoint Database Full Overwriting last WP!";
inline constexpr const char* kDeleteWaypointQuestion = "Delete the waypoint nearest to the cursor! - Are you sure?";
inline constexpr const char* kSnapSentenceTemplate = "$--GLL,@P";

// What the editor keeps between commands.
struct ChartEditState {
    int LineType = 0; // the checked line type 0-6 (meaningful while the pen is down)
    double LineTypeOffset = 0.0; // 200 × the line type of the point being added
    int SelectedPoint = 0; // slot of the last chosen or added point; 0 none
    int UndoMark = 0; // point count before the last automatic grid
    std::string LastSnapSentence; // the "$--GLL" sentence formed by the last snap in edit mode
};

// The edit commands' records.
struct ChartEditRecords {
    ChartStore& chart;
    const ChartGeometry& chartGeometry;
    ChartWaypoints& waypoints;
    ChartReference& chartRef;
    Fix& fixInfo; // OwnLat/OwnLong: the cursor
    AppState& app;
    Display& display;
    Settings& settings; // chart auto-load is off while the chart is edited
    const NmeaLink& nmeaLink;
    const QuickLog& quickLog;
    const Preferences& prefs;
    ChartEditState& chartEdit;

    template <class S>
    ChartEditRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : chart(s.chart)
        , chartGeometry(s.chartGeometry)
        , waypoints(s.waypoints)
        , chartRef(s.chartRef)
        , fixInfo(s.fixInfo)
        , app(s.app)
        , display(s.display)
        , settings(s.settings)
        , nmeaLink(s.nmeaLink)
        , quickLog(s.quickLog)
        , prefs(s.prefs)
        , chartEdit(s.chartEdit)
    {
    }
};

// The waypoint form as the chart waypoint commands fill it and read it back.
struct ChartWaypointForm {
    std::string caption;
    double lat = 0.0;
    double lon = 0.0; // west positive
    std::string label;
    int symbol = 0;
    std::string radius; // the R# text
    bool radiusEnabled = false;
    int count = 0; // the waypoint count shown
    bool readOnly = false; // the "Nearest Waypoint" look: every field greyed
};

// What the editor asks of the windows beyond the chart commands' duties.
class ChartEditHooks {
public:
    virtual ~ChartEditHooks() = default;
    virtual int editViewCount() const { return 0; }
    virtual void openTimingDialog() { }
    // The position formed through the "$--GLL,@P" template.
    virtual std::string snapSentence(double /*lat*/, double /*lon*/) { return {}; }
    // Shows the waypoint form; true for OK. The form holds what was typed afterwards.
    virtual bool showWaypointForm(ChartWaypointForm& /*form*/) { return false; }
    // Each view stops drawing the survey track and re-centres on the cursor.
    virtual void removeSurveyTrack() { }
};

// The default text of a real: up to 15 significant digits, no trailing zeros, and an exponent
// ("1.5E-7") only for very small or very large values.
std::string NumberText(double value);

// The nearest-search distance in nautical miles, longitude differences scaled by cosLat.
double EditDistance(double lat, double lon, double cursorLat, double cursorLon, double cosLat);

// The 29-character name field of a chart waypoint: the label padded or cut to 24, the symbol in
// two digits, then the R# in two digits and a space when it is enabled, otherwise three spaces.
// An empty R# text counts as two spaces.
std::string ChartWaypointNameField(const std::string& label, int symbol, bool radiusEnabled, const std::string& radius);

// The survey grid the "Auto Generate Survey Grid" dialog describes.
struct SurveyGrid {
    double length = 100.0; // metres
    double spacing = 10.0; // metres
    double angle = 0.0; // degrees true, 0-180
    int lines = 10;
    bool alternate = false;
};
struct SurveyGridResult {
    bool added = false;
    int records = 0; // records appended
    std::string status; // half a line's latitude and longitude extents
};
// The records of a grid centred at (lat, lon), lines of `lineType` (alternating with the next
// type when asked), each line followed by a pen-up and the whole preceded by one.
std::vector<ChartPoint> SurveyGridRecords(const SurveyGrid& grid, double lat, double lon, double cosLat, int lineType);
std::string SurveyGridStatus(const SurveyGrid& grid, double cosLat);
// Appends a grid to the store when every record fits; refuses otherwise (nothing changed).
SurveyGridResult AppendSurveyGrid(
    ChartStore& chart, const SurveyGrid& grid, double lat, double lon, double cosLat, int lineType);

// Where a chart is written when saved without the dialog (at exit): the save dialog's name,
// taken in the chart folder when it names no folder, with ".cht" when it has no extension.
std::string ChartSavePath(const ChartStore& chart);

class ChartEditor {
public:
    ChartEditor(ChartEditRecords state, Prompter& prompter, ChartViewHooks& views, ChartEditHooks& hooks)
        : state_(state)
        , prompter_(prompter)
        , views_(views)
        , hooks_(hooks)
    {
    }

    void ChartEdit1Click();
    void StartNewClick();
    void AddChartPoint1Click();
    void LineTypeClick(int type);
    void PenUp1Click();
    // The nearest point to the cursor (0 when the chart has none); selects it.
    int NearestChartPoint();
    void SnaptoChart1Click();
    void EditPoint1Click();
    void DeletePoint1Click();

    void AddChartWaypoint1Click();
    void EditChartWaypoint1Click();
    void DeleteChartWaypoint1Click();
    void WaypointSnapMode1Click();
    // 1-based number of the waypoint nearest the cursor, 0 when there is none.
    int NearestWaypoint() const;

    // The grid dialog's OK.
    SurveyGridResult AutoMakeGrid(const SurveyGrid& grid);
    void UndoAutoGrid1Click();
    void SurveyTrack1Click();

    // The receiver's position is feeding the cursor: points go in chart coordinates.
    bool GpsFeedsPosition() const;

private:
    void CorrectGpsPosition();
    void SetUndoEnabled(bool on);
    void CheckLineType(int type); // -1: pen up
    bool StoreWaypoint(int number, const ChartWaypointForm& form);
    ChartWaypointForm FormFor(int number, const std::string& caption) const;

    ChartEditRecords state_;
    Prompter& prompter_;
    ChartViewHooks& views_;
    ChartEditHooks& hooks_;
};

} // namespace kv
