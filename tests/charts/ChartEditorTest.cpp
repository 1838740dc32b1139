// Chart editing: edit mode, points and line types, nearest point, edit, delete and snap, chart
// waypoints through the form, survey grids and their undo, and a made chart saved and reopened.

#include "charts/ChartEditor.h"
#include "charts/ChartTestSupport.h"
#include "charts/WaypointFiles.h"
#include "core/Format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace kv;
using kvtest::ChartProgram;

struct EditHooks : ChartEditHooks {
    int editViewCount() const override { return views; }
    void openTimingDialog() override { ++timingOpened; }
    std::string snapSentence(double lat, double lon) override
    {
        snapped.push_back({ lat, lon });
        return "$--GLL,formed";
    }
    bool showWaypointForm(ChartWaypointForm& form) override
    {
        shown.push_back(form);
        if (!typed) {
            return ok;
        }
        typed(form);
        return ok;
    }
    int views = 1;
    int timingOpened = 0;
    std::vector<LatLong> snapped;
    std::vector<ChartWaypointForm> shown;
    std::function<void(ChartWaypointForm&)> typed;
    bool ok = true;
};

struct Editing : ChartProgram {
    Editing()
    {
        state.chart.ChartFolder = dir.path() + "/charts/";
        state.chart.ChartName = "harbour";
    }
    void cursor(double lat, double lon)
    {
        state.fixInfo.OwnLat = lat;
        state.fixInfo.OwnLong = lon;
    }
    void points(const std::vector<ChartPoint>& pts)
    {
        state.chart.setCount(static_cast<int>(pts.size()));
        for (std::size_t i = 0; i < pts.size(); ++i) {
            state.chart.setPoint(static_cast<int>(i) + 1, pts[i]);
        }
    }
    EditHooks edit;
    ChartEditor editor { state, fakes.prompter, hooks, edit };
};

TEST(ChartEditor, EditModeNeedsOneViewAndAnEmptyLog)
{
    struct Case {
        int views;
        int logRecords;
        bool on;
    };
    for (const Case c : { Case { 1, 0, true }, Case { 2, 0, false }, Case { 0, 0, false }, Case { 1, 3, false } }) {
        Editing e;
        e.state.settings.fix.AutoChart = true;
        e.edit.views = c.views;
        for (int i = 0; i < c.logRecords; ++i) {
            e.state.quickLog.push(QuickLogRecord {});
        }
        e.points(kvtest::Line(4));
        e.editor.ChartEdit1Click();
        EXPECT_EQ(e.state.app.ChartEditMode, c.on) << c.views << " views, " << c.logRecords << " log records";
        // The fix cycle's automatic chart loading is off while editing, untouched by a refusal.
        EXPECT_EQ(e.state.settings.fix.AutoChart, !c.on);
        EXPECT_EQ(e.fakes.prompter.messages.back().text, c.on ? kEditModeOn : kEditModeRefused);
        EXPECT_EQ(e.fakes.prompter.messages.back().kind, "warning");
        EXPECT_EQ(e.hooks.menuUpdates, 1);
        if (c.on) {
            EXPECT_EQ(e.state.chartEdit.UndoMark, 4);
        }
    }

    Editing e;
    e.state.settings.fix.AutoChart = false; // configured off: ending the edit turns it on, as it says
    e.editor.ChartEdit1Click();
    e.state.display.enabled[Control::UndoAutoGrid1] = true;
    e.editor.ChartEdit1Click();
    EXPECT_FALSE(e.state.app.ChartEditMode);
    EXPECT_TRUE(e.state.settings.fix.AutoChart);
    EXPECT_EQ(e.fakes.prompter.messages.back(),
        (FakePrompter::Message { "information", "Chart Auto Load has been enabled!!" }));
    EXPECT_FALSE(e.state.display.isEnabled(Control::UndoAutoGrid1));
}

TEST(ChartEditor, EachLineTypeAddsAPointWithItsOffsetAndChecksOnlyItself)
{
    for (int t = 0; t < kLineTypes; ++t) {
        Editing e;
        e.cursor(-10.0, 4.5);
        e.editor.LineTypeClick(t);
        ASSERT_EQ(e.state.chart.count(), 1) << t;
        EXPECT_DOUBLE_EQ(e.state.chart.point(1).encodedLat(), -10.0 + 200.0 * t);
        EXPECT_EQ(e.state.chart.point(1).lineType(), t);
        EXPECT_DOUBLE_EQ(e.state.chart.point(1).lat(), -10.0);
        EXPECT_DOUBLE_EQ(e.state.chart.point(1).lon(), 4.5);
        EXPECT_EQ(e.state.chartEdit.SelectedPoint, 1);
        EXPECT_FALSE(e.state.app.PenUp);
        EXPECT_FALSE(e.state.display.isChecked(Control::PenUp1));
        for (int u = 0; u < kLineTypes; ++u) {
            EXPECT_EQ(e.state.display.isChecked(LineTypeControl(u)), u == t);
        }
        // Choosing the checked type again does nothing.
        e.editor.LineTypeClick(t);
        EXPECT_EQ(e.state.chart.count(), 1);
    }
}

TEST(ChartEditor, PenUpMakesTheNextPointABreak)
{
    Editing e;
    EXPECT_TRUE(e.state.app.PenUp); // the pen starts up
    e.cursor(50.0, 1.0);
    e.editor.AddChartPoint1Click();
    EXPECT_TRUE(e.state.chart.point(1).isPenUp());
    e.editor.LineTypeClick(3);
    e.editor.PenUp1Click();
    EXPECT_TRUE(e.state.display.isChecked(Control::PenUp1));
    EXPECT_FALSE(e.state.display.isChecked(Control::LineT3));
    e.editor.AddChartPoint1Click();
    ASSERT_EQ(e.state.chart.count(), 3);
    EXPECT_FALSE(e.state.chart.point(2).isPenUp());
    EXPECT_TRUE(e.state.chart.point(3).isPenUp());
    EXPECT_EQ(e.state.chartEdit.SelectedPoint, 3);
}

TEST(ChartEditor, AddingStopsAtTheStoreCapacity)
{
    Editing e;
    e.state.chart.setCount(10799);
    e.state.display.enabled[Control::UndoAutoGrid1] = true;
    e.editor.LineTypeClick(0);
    EXPECT_EQ(e.state.chart.count(), 10800);
    EXPECT_FALSE(e.state.display.isEnabled(Control::UndoAutoGrid1));
    EXPECT_TRUE(e.fakes.prompter.messages.empty());
    e.editor.AddChartPoint1Click();
    EXPECT_EQ(e.state.chart.count(), 10800);
    EXPECT_TRUE(e.fakes.prompter.lastMessageIs("Chart Store full..."));
}

TEST(ChartEditor, GpsPositionsAreCorrectedByTheChartOffsetsBeforeAPointIsAdded)
{
    struct Case {
        bool open;
        bool dr;
        unsigned interval;
        bool corrected;
    };
    for (const Case c : { Case { true, false, 1000, true }, Case { false, false, 1000, false },
             Case { true, true, 1000, false }, Case { true, false, 0, false } }) {
        Editing e;
        e.state.nmeaLink.NmeaOpen = c.open;
        e.state.settings.fix.DRMode = c.dr;
        e.state.settings.fix.FixIntervalMs = c.interval;
        e.state.chartRef.ChartLatOffset = 0.25;
        e.state.chartRef.ChartLongOffset = 0.5;
        e.cursor(50.0, 2.0);
        e.editor.LineTypeClick(1);
        EXPECT_DOUBLE_EQ(e.state.chart.point(1).lat(), c.corrected ? 50.25 : 50.0);
        EXPECT_DOUBLE_EQ(e.state.chart.point(1).lon(), c.corrected ? 1.5 : 2.0);
    }
}

TEST(ChartEditor, NearestEditAndDeleteWorkOnTheRightPoint)
{
    Editing e;
    e.state.chartGeometry.CosCentreLat = 0.5;
    e.points({ ChartPoint::make(50.0, 1.0), ChartPoint::make(50.1, 1.0, 2), ChartPoint::make(50.2, 1.0) });
    // Longitude differences count half: 0.12 west of point 2 is nearer than 0.1 north or south.
    e.cursor(50.1 + 0.0, 1.12);
    EXPECT_EQ(e.editor.NearestChartPoint(), 2);
    EXPECT_DOUBLE_EQ(e.state.chartEdit.LineTypeOffset, 400.0);

    // Nothing selected: edit moves the nearest, keeping its line type through the offset.
    e.state.chartEdit.SelectedPoint = 0;
    e.cursor(50.11, 1.05);
    e.editor.EditPoint1Click();
    EXPECT_NEAR(e.state.chart.point(2).lat(), 50.11, 1e-9); // 48-bit reals
    EXPECT_NEAR(e.state.chart.point(2).lon(), 1.05, 1e-9);
    EXPECT_EQ(e.state.chart.point(2).lineType(), 2);

    e.fakes.prompter.answer({ false });
    e.editor.DeletePoint1Click();
    EXPECT_FALSE(e.state.chart.point(2).isPenUp());
    e.editor.DeletePoint1Click();
    EXPECT_TRUE(e.fakes.prompter.lastMessageIs("Delete the line(s) to the selected point! - Are you sure?"));
    EXPECT_TRUE(e.state.chart.point(2).isPenUp());
    EXPECT_EQ(e.state.chartEdit.SelectedPoint, 1);
    // The lines into and out of point 2 are gone: saved, the chart is two separate pieces.
    const CompactedChart saved = CompactChart(e.state.chart, 1);
    ASSERT_EQ(saved.records.size(), 4u);
    EXPECT_TRUE(saved.records[1].isPenUp());
    EXPECT_TRUE(saved.records[3].isPenUp());

    // Deleting point 1 keeps the selection on a real slot.
    e.editor.DeletePoint1Click();
    EXPECT_TRUE(e.state.chart.point(1).isPenUp());
    EXPECT_EQ(e.state.chartEdit.SelectedPoint, 1);
}

// The nearest point is found with the navigation's plane sailing: the short way over the date
// line, not round the world.
TEST(ChartEditor, EditDistanceIsPlaneSailingTheShortWay)
{
    EXPECT_NEAR(EditDistance(10.0, 179.95, 10.0, -179.95, 1.0), 6.0, 1e-6);
    EXPECT_NEAR(EditDistance(10.1, 1.0, 10.0, 1.0, 0.5), 6.0, 1e-6);
}

TEST(ChartEditor, EquallyNearPointsAndWaypointsGiveTheLowerNumber)
{
    Editing e;
    e.points({ ChartPoint::make(50.0, 1.0), ChartPoint::make(50.2, 1.0) });
    e.state.waypoints.push(ChartWaypoint { WaypointNameField("A", 1), 50.0, 1.0 });
    e.state.waypoints.push(ChartWaypoint { WaypointNameField("B", 1), 50.2, 1.0 });
    e.cursor(50.1, 1.0);
    EXPECT_EQ(e.editor.NearestChartPoint(), 1);
    EXPECT_EQ(e.editor.NearestWaypoint(), 1);
}

TEST(ChartEditor, SnapNeedsAFixIntervalOfZero)
{
    Editing e;
    e.points({ ChartPoint::make(50.0, 1.0, 3), ChartPoint::make(51.0, 1.0) });
    e.cursor(50.01, 1.01);
    e.state.settings.fix.FixIntervalMs = 10000;
    e.editor.SnaptoChart1Click();
    EXPECT_EQ(e.fakes.prompter.messages.back(),
        (FakePrompter::Message { "information", "Please set Fix interval to 0 before using the Snap command!" }));
    EXPECT_EQ(e.edit.timingOpened, 1);
    EXPECT_DOUBLE_EQ(e.state.fixInfo.OwnLat, 50.01);

    e.state.settings.fix.FixIntervalMs = 0;
    e.editor.SnaptoChart1Click();
    EXPECT_DOUBLE_EQ(e.state.fixInfo.OwnLat, 50.0);
    EXPECT_DOUBLE_EQ(e.state.fixInfo.OwnLong, 1.0);
    EXPECT_TRUE(e.edit.snapped.empty()); // the sentence is formed only in edit mode

    e.state.app.ChartEditMode = true;
    e.cursor(50.9, 1.0);
    e.editor.SnaptoChart1Click();
    ASSERT_EQ(e.edit.snapped.size(), 1u);
    EXPECT_DOUBLE_EQ(e.edit.snapped[0].lat, 51.0);
    EXPECT_EQ(e.state.chartEdit.LastSnapSentence, "$--GLL,formed");
}

TEST(ChartEditor, WaypointNameFieldsFollowTheSymbolAndRadius)
{
    struct Case {
        std::string label;
        int symbol;
        bool radiusOn;
        std::string radius;
        std::string field;
    };
    const std::string pad24 = "Harbour light           ";
    for (const Case& c : { Case { "Harbour light", 5, false, "07", pad24 + "05   " },
             Case { "Harbour light", 20, true, "7", pad24 + "2007 " },
             Case { "Harbour light", 21, true, "", pad24 + "21   " },
             Case { "A label far longer than twenty-four", 33, true, "12", "A label far longer than 3312 " } }) {
        EXPECT_EQ(ChartWaypointNameField(c.label, c.symbol, c.radiusOn, c.radius), c.field) << c.label << c.symbol;
        EXPECT_EQ(ChartWaypointNameField(c.label, c.symbol, c.radiusOn, c.radius).size(), kWaypointNameLength);
    }
}

TEST(ChartEditor, AddingAWaypointToAFullTableOverwritesTheLastEntry)
{
    Editing e;
    for (int i = 0; i < 600; ++i) {
        e.state.waypoints.push(ChartWaypoint { WaypointNameField("W" + std::to_string(i), 1), 10.0, 10.0 });
    }
    e.cursor(50.5, 1.25);
    e.edit.typed = [](ChartWaypointForm& f) {
        f.label = "Wreck";
        f.symbol = 7;
    };
    e.editor.AddChartWaypoint1Click();
    ASSERT_EQ(e.edit.shown.size(), 1u);
    EXPECT_EQ(e.edit.shown[0].caption, "Add New Waypoint");
    EXPECT_EQ(e.edit.shown[0].count, 600);
    EXPECT_DOUBLE_EQ(e.edit.shown[0].lat, 50.5);
    EXPECT_TRUE(e.fakes.prompter.lastMessageIs("Waypoint Database Full Overwriting last WP!"));
    EXPECT_EQ(e.state.waypoints.count(), 600u);
    EXPECT_EQ(e.state.waypoints.at(600).label(), "Wreck");
    EXPECT_EQ(e.state.waypoints.at(599).label(), "W598");
    EXPECT_TRUE(std::filesystem::exists(e.dir.file("charts/harbour.wpt")));
}

TEST(ChartEditor, WaypointsAreAddedEditedAndDeleted)
{
    Editing e;
    e.cursor(50.0, 1.0);
    e.edit.typed = [](ChartWaypointForm& f) {
        f.label = "Buoy";
        f.symbol = 20;
        f.radiusEnabled = true;
        f.radius = "3";
        f.lat = 50.001;
    };
    e.editor.AddChartWaypoint1Click();
    ASSERT_EQ(e.state.waypoints.count(), 1u);
    EXPECT_EQ(e.state.waypoints.at(1).name, "Buoy" + std::string(20, ' ') + "2003 ");
    EXPECT_DOUBLE_EQ(e.state.fixInfo.OwnLat, 50.001); // the cursor follows the new waypoint

    e.edit.typed = nullptr;
    e.state.waypoints.push(ChartWaypoint { WaypointNameField("Mark", 23, 4), 50.2, 1.0 });
    // Before the form opens, R# is on for symbols 20 and 21 only; the form's own rule does the rest.
    struct Case {
        double lat;
        const char* label;
        bool radiusOn;
    };
    for (const Case c : { Case { 50.0, "Buoy", true }, Case { 50.19, "Mark", false } }) {
        e.cursor(c.lat, 1.0);
        e.editor.EditChartWaypoint1Click();
        EXPECT_EQ(e.edit.shown.back().caption, "Edit Nearest Waypoint");
        EXPECT_EQ(e.edit.shown.back().label, c.label);
        EXPECT_EQ(e.edit.shown.back().radiusEnabled, c.radiusOn);
    }
    e.edit.typed = [](ChartWaypointForm& f) { f.label = "Mark 2"; };
    e.editor.EditChartWaypoint1Click();
    EXPECT_EQ(e.state.waypoints.at(2).label(), "Mark 2");
    EXPECT_EQ(e.state.waypoints.at(2).symbol(), 23);

    e.edit.typed = [](ChartWaypointForm& f) { f.label = "changed"; };
    e.editor.WaypointSnapMode1Click();
    EXPECT_EQ(e.edit.shown.back().caption, "Nearest Waypoint");
    EXPECT_TRUE(e.edit.shown.back().readOnly);
    EXPECT_EQ(e.state.waypoints.at(2).label(), "Mark 2");

    e.cursor(50.01, 1.0);
    e.editor.DeleteChartWaypoint1Click();
    EXPECT_TRUE(e.fakes.prompter.lastMessageIs("Delete the waypoint nearest to the cursor! - Are you sure?"));
    ASSERT_EQ(e.state.waypoints.count(), 1u);
    EXPECT_EQ(e.state.waypoints.at(1).label(), "Mark 2");
}

TEST(ChartEditor, ShortAndBlankWaypointLinesOpenInTheForm)
{
    // A short name, a blank line, a name cut inside the symbol columns: kept, and each can be
    // edited and snapped to.
    for (const std::string& line : { std::string("Bn"), std::string(), "Pier" + std::string(20, ' ') + "2" }) {
        Editing e;
        e.dir.write("charts/harbour.wpt", line + "\r\n");
        ReadWaypointDatabase(e.state.waypoints, e.state.chart, e.fakes.prompter);
        e.editor.WaypointSnapMode1Click();
        e.editor.EditChartWaypoint1Click();
        ASSERT_EQ(e.edit.shown.size(), 2u) << line;
        EXPECT_EQ(e.edit.shown.back().label, Trim(line.substr(0, 4)));
        EXPECT_EQ(e.edit.shown.back().radius, "  ");
    }
}

TEST(ChartEditor, AddingOrDeletingAWaypointUpdatesTheMenus)
{
    // The edit, delete and snap commands are enabled by the waypoint count: the menus must be
    // worked out again whenever the count changes, not only at the next unrelated command.
    Editing e;
    e.edit.typed = [](ChartWaypointForm& f) { f.label = "Buoy"; };
    struct Step {
        const char* what;
        std::function<void()> run;
        std::size_t count;
        int menuUpdates;
    };
    const Step steps[] = {
        { "add", [&] { e.editor.AddChartWaypoint1Click(); }, 1, 1 },
        { "edit", [&] { e.editor.EditChartWaypoint1Click(); }, 1, 1 },
        { "add cancelled",
            [&] {
                e.edit.ok = false;
                e.editor.AddChartWaypoint1Click();
                e.edit.ok = true;
            },
            1, 1 },
        { "delete", [&] { e.editor.DeleteChartWaypoint1Click(); }, 0, 2 },
    };
    for (const Step& s : steps) {
        s.run();
        EXPECT_EQ(e.state.waypoints.count(), s.count) << s.what;
        EXPECT_EQ(e.hooks.menuUpdates, s.menuUpdates) << s.what;
    }
}

// Hand-worked ends of the first two lines (L = 100 m, p = 10 m) around (50, 2) with cos φ0 = 0.5.
TEST(SurveyGrid, LineEndsFollowTheAngle)
{
    const double k = 0.000539956804 / 60.0; // degrees of latitude per metre
    const double kl = k / 0.5;
    const double r = std::sqrt(0.5);
    struct Case {
        double angle;
        // line 0 ends j=0, j=1 and line 1 end j=0, as (dlat, dlon) in metres-units of k and kl
        double lat0, lon0, lat1, lon1, lat2, lon2;
    };
    const Case cases[] = {
        // θ 0: lines run north to south, the next one 10 m to the west (west-positive +).
        { 0, 50, 0, -50, 0, 50, 10 },
        // θ 90: lines run east to west, the next one 10 m to the north.
        { 90, 0, -50, 0, 50, 10, -50 },
        // θ 180: south to north, the next one to the east.
        { 180, -50, 0, 50, 0, -50, -10 },
        // θ 45: north-east to south-west, stepping north-west.
        { 45, 50 * r, -50 * r, -50 * r, 50 * r, 50 * r + 10 * r, -50 * r + 10 * r },
    };
    for (const Case& c : cases) {
        SurveyGrid g;
        g.angle = c.angle;
        g.length = 100;
        g.spacing = 10;
        g.lines = 2;
        const std::vector<ChartPoint> rec = SurveyGridRecords(g, 50.0, 2.0, 0.5, 0);
        ASSERT_EQ(rec.size(), 8u);
        EXPECT_TRUE(rec[0].isPenUp());
        EXPECT_TRUE(rec[3].isPenUp());
        EXPECT_TRUE(rec[7].isPenUp());
        EXPECT_NEAR(rec[1].lat(), 50.0 + c.lat0 * k, 1e-9) << c.angle;
        EXPECT_NEAR(rec[1].lon(), 2.0 + c.lon0 * kl, 1e-9) << c.angle;
        EXPECT_NEAR(rec[2].lat(), 50.0 + c.lat1 * k, 1e-9) << c.angle;
        EXPECT_NEAR(rec[2].lon(), 2.0 + c.lon1 * kl, 1e-9) << c.angle;
        EXPECT_NEAR(rec[4].lat(), 50.0 + c.lat2 * k, 1e-9) << c.angle;
        EXPECT_NEAR(rec[4].lon(), 2.0 + c.lon2 * kl, 1e-9) << c.angle;
    }
}

TEST(SurveyGrid, AlternateLinesTakeTheNextTypeAndTheStatusGivesHalfExtents)
{
    SurveyGrid g;
    g.lines = 4;
    g.alternate = true;
    const std::vector<ChartPoint> rec = SurveyGridRecords(g, 50.0, 2.0, 1.0, 6);
    ASSERT_EQ(rec.size(), 14u);
    const int expected[] = { 6, 0, 6, 0 };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rec[1 + 3 * i].lineType(), expected[i]);
        EXPECT_EQ(rec[2 + 3 * i].lineType(), expected[i]);
    }
    g.angle = 90;
    g.length = 1000;
    const std::string status = SurveyGridStatus(g, 0.5);
    const auto slash = status.find(" / ");
    ASSERT_NE(slash, std::string::npos);
    EXPECT_NEAR(std::stod(status.substr(0, slash)), 0.0, 1e-15);
    EXPECT_NEAR(std::stod(status.substr(slash + 3)), 0.000539956804 / 60.0 / 0.5 * 500.0, 1e-15);
}

TEST(SurveyGrid, AGridIsAddedOnlyWhenEveryRecordFitsAndUndoRestoresTheCount)
{
    struct Case {
        int count;
        int lines;
        bool added;
    };
    // n lines need 3n + 2 slots.
    for (const Case c : { Case { 10800 - 32, 10, true }, Case { 10800 - 31, 10, false },
             Case { 10800 - 1502, 500, true }, Case { 10800 - 1501, 500, false } }) {
        Editing e;
        e.state.app.ChartEditMode = true;
        e.state.chart.setCount(c.count);
        SurveyGrid g;
        g.lines = c.lines;
        const SurveyGridResult r = e.editor.AutoMakeGrid(g);
        EXPECT_EQ(r.added, c.added) << c.count;
        EXPECT_EQ(e.state.chart.count(), c.added ? c.count + 3 * c.lines + 2 : c.count);
        EXPECT_EQ(e.fakes.prompter.lastMessageIs("Chart Store full..."), !c.added);
        EXPECT_EQ(e.state.display.isEnabled(Control::UndoAutoGrid1), c.added);
        if (c.added) {
            EXPECT_EQ(e.state.chartEdit.SelectedPoint, e.state.chart.count());
            e.editor.UndoAutoGrid1Click();
            EXPECT_EQ(e.state.chart.count(), c.count);
            EXPECT_FALSE(e.state.display.isEnabled(Control::UndoAutoGrid1));
        }
    }
    // Outside edit mode the grid is laid but its undo is not offered.
    Editing e;
    e.editor.AutoMakeGrid(SurveyGrid {});
    EXPECT_EQ(e.state.chart.count(), 32);
    EXPECT_FALSE(e.state.display.isEnabled(Control::UndoAutoGrid1));
}

TEST(ChartEditor, ANewChartSavedAndReopenedIsByteExact)
{
    Editing e;
    e.state.app.ChartEditMode = true;
    e.state.app.ChartDialogDir = e.dir.path() + "/charts/";
    e.editor.StartNewClick();
    EXPECT_TRUE(e.fakes.prompter.lastMessageIs("Start a new chart! - Are you sure?"));
    EXPECT_EQ(e.state.chart.ChartName.str(), "New Chart");
    EXPECT_EQ(e.state.chart.SaveFileName, e.dir.path() + "/charts/New Chart.cht");
    EXPECT_EQ(e.hooks.captions.back(), "New Chart");
    ASSERT_EQ(e.state.chart.count(), 1);
    EXPECT_TRUE(e.state.chart.point(1).isPenUp());

    e.cursor(50.0, 1.0);
    e.editor.LineTypeClick(0);
    e.cursor(50.01, 1.0);
    e.editor.AddChartPoint1Click();
    e.editor.PenUp1Click();
    e.editor.AddChartPoint1Click();
    e.cursor(50.02, 1.01);
    e.editor.LineTypeClick(4);
    e.cursor(50.03, 1.02);
    e.editor.AddChartPoint1Click();
    e.cursor(50.015, 1.0);
    e.editor.EditPoint1Click(); // the last point moves
    const std::string first = e.dir.file("charts/made.cht");
    e.files.SaveChart(first);
    const std::vector<ChartPoint> expected { ChartPoint::make(50.0, 1.0), ChartPoint::make(50.01, 1.0),
        ChartPoint::penUp(), ChartPoint::make(50.02, 1.01, 4), ChartPoint::make(50.015, 1.0, 4) };
    // The leading pen-up of the new chart is kept: a pen-up is written unless another follows.
    std::vector<ChartPoint> image { ChartPoint::penUp() };
    image.insert(image.end(), expected.begin(), expected.end());
    EXPECT_EQ(e.dir.read("charts/made.cht"), kvtest::ChartImage(image));

    e.state.chart.clear();
    e.files.OpenChart(first);
    ASSERT_EQ(e.state.chart.count(), 6);
    e.files.SaveChart(e.dir.file("charts/again.cht"));
    EXPECT_EQ(e.dir.read("charts/again.cht"), e.dir.read("charts/made.cht"));
}

TEST(ChartEditor, SavePathAtExitNamesAChartFile)
{
    ChartStore chart;
    chart.ChartFolder = "/c/charts/";
    chart.ChartName = "bay";
    EXPECT_EQ(ChartSavePath(chart), "/c/charts/bay.cht");
    chart.SaveFileName = "bay";
    EXPECT_EQ(ChartSavePath(chart), "/c/charts/bay.cht");
    chart.SaveFileName = "/d/New Chart.cht";
    EXPECT_EQ(ChartSavePath(chart), "/d/New Chart.cht");
}

} // namespace

namespace {

TEST(SurveyGrid, StatusNumbersUseTheDefaultRealText)
{
    struct Case {
        double value;
        const char* text;
    };
    for (const Case c :
        { Case { 0.5, "0.5" }, Case { 100.0, "100" }, Case { -0.00159086299023423, "-0.00159086299023423" },
            Case { 1.5e-7, "1.5E-7" }, Case { -2.25e-20, "-2.25E-20" }, Case { 1e20, "1E20" } }) {
        EXPECT_EQ(NumberText(c.value), c.text) << c.value;
    }
}

} // namespace
