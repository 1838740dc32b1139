#include "routes/Routes.h"

#include "app/ProgramState.h"

#include "charts/WaypointFiles.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kv;

namespace {

struct RouteProgram {
    RouteProgram() { state.chartRef.CosLatFactor = 1.0; }
    void at(double lat, double lon)
    {
        state.fixInfo.OwnLat = lat;
        state.fixInfo.OwnLong = lon;
    }
    std::vector<std::string> labels() const
    {
        std::vector<std::string> out;
        for (const auto& w : state.route) {
            out.push_back(w.name.substr(0, 1));
        }
        return out;
    }
    kvtest::TempDir dir;
    ProgramState state;
    FakePrompter prompter;
    RouteHooks hooks;
    RouteEditor editor { state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, prompter, hooks };
};

std::string Line(const std::string& name, double lat, double lon)
{
    return PositionLine(name, lat, lon, PositionLayout::Wpt);
}

} // namespace

TEST(RouteNames, LettersThenLowerCase)
{
    EXPECT_EQ(DefaultRouteName(1), "A                       19   ");
    EXPECT_EQ(DefaultRouteName(1).size(), 29u);
    EXPECT_EQ(DefaultRouteName(26).substr(0, 1), "Z");
    EXPECT_EQ(DefaultRouteName(27).substr(0, 1), "a");
    EXPECT_EQ(DefaultRouteName(40).substr(0, 1), "n");
}

TEST(RouteFile, ExampleLineAndFiveDegreesSouth)
{
    EXPECT_EQ(
        RouteLine({ DefaultRouteName(1), 50.5, 1.25 }), "A                       19   N 50.30.00000  W001.15.00000");
    const std::string south = RouteLine({ DefaultRouteName(2), -5.0, -3.5 });
    EXPECT_EQ(south.substr(29, 4), "S 05");
    EXPECT_EQ(south.substr(44), "E003.30.00000");
}

TEST(RouteFile, ReadsFortyOfFortyOneLines)
{
    RouteProgram p;
    std::vector<std::string> lines;
    for (int i = 1; i <= 41; ++i) {
        lines.push_back(Line(DefaultRouteName(std::min(i, 40)), 50 + i / 100.0, 1));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(p.dir.file("long.rte"), lines));
    p.editor.Routes1Click(p.dir.file("long.rte"));
    EXPECT_EQ(p.state.route.count(), 40u);
    EXPECT_EQ(p.state.routeProgress.RouteLength, 40);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 1);
    EXPECT_TRUE(p.state.routeEdit.KeepActiveWaypoint);
    EXPECT_EQ(p.state.display.WPNameItems.size(), 40u);
    EXPECT_EQ(p.state.display.WPNameItems[0], "A                       ");
    EXPECT_EQ(p.state.settings.RouteName, "long");
    EXPECT_TRUE(p.state.display.isEnabled(Control::SaveRouteAs1));
    EXPECT_TRUE(p.prompter.messages.empty());
}

TEST(RouteFile, SaveAndReadBackKeepsEverything)
{
    RouteProgram p;
    p.state.route.push({ DefaultRouteName(1), 50.123456789, 1.5 });
    p.state.route.push({ "Nab Tower               19   ", -5.0, -0.25 });
    p.state.route.push({ DefaultRouteName(3), 0.0, 179.99999 });
    ASSERT_TRUE(p.editor.SaveRouteAs1Click(p.dir.file("trip.RTE")));
    EXPECT_EQ(p.state.settings.RouteName, "trip");
    const auto saved = p.state.route;
    p.editor.ReadRouteFile(p.dir.file("trip.RTE"));
    ASSERT_EQ(p.state.route.count(), 3u);
    for (std::size_t i = 1; i <= 3; ++i) {
        EXPECT_EQ(p.state.route.at(i).name, saved.at(i).name);
        EXPECT_NEAR(p.state.route.at(i).lat, saved.at(i).lat, 1e-5 / 60);
        EXPECT_NEAR(p.state.route.at(i).lon, saved.at(i).lon, 1e-5 / 60);
    }
}

TEST(RouteFile, TheConfiguredRouteComesFromTheRoutesFolder)
{
    RouteProgram p;
    p.state.folders.AppDir = p.dir.path() + "/";
    p.state.settings.RouteName = "home";
    p.dir.write(
        "routes/home.rte", Line(DefaultRouteName(1), 50, 1) + "\r\n" + Line(DefaultRouteName(2), 51, 1) + "\r\n");
    p.editor.LoadConfiguredRoute();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 2);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 1);
    // No chart named: no route either.
    p.state.folders.ChartName.clear();
    p.state.route.clear();
    p.editor.LoadConfiguredRoute();
    EXPECT_TRUE(p.state.route.empty());
}

TEST(RouteFile, DosPrnColumns)
{
    RouteProgram p;
    p.dir.write("old.prn", "B                       19   N 50.30.00  W001.15.00\r\nshort\r\n");
    p.editor.ReadRouteFile(p.dir.file("old.prn"));
    ASSERT_EQ(p.state.route.count(), 2u);
    EXPECT_DOUBLE_EQ(p.state.route.at(1).lat, 50.5);
    EXPECT_DOUBLE_EQ(p.state.route.at(1).lon, 1.25);
    // A short line's name is padded to the full name field, as every whole line's is.
    EXPECT_EQ(p.state.route.at(2).name, "short" + std::string(24, ' '));
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kRouteFormatError }));
}

TEST(RouteFile, BadFiles)
{
    RouteProgram p;
    p.state.route.push({ DefaultRouteName(1), 1, 1 });
    p.state.settings.RouteName = "keep";
    // Missing: the message and an empty route; the remembered name stays.
    p.editor.Routes1Click(p.dir.file("none.rte"));
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kRouteFileMissing }));
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_EQ(p.state.settings.RouteName, "keep");
    // Empty: an empty route, quietly.
    p.prompter.messages.clear();
    p.dir.write("empty.rte", "");
    p.editor.ReadRouteFile(p.dir.file("empty.rte"));
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 0);
    EXPECT_TRUE(p.prompter.messages.empty());
    // Neither RTE nor PRN.
    p.dir.write("x.txt", Line(DefaultRouteName(1), 1, 1) + "\r\n");
    EXPECT_FALSE(p.editor.ReadRouteFile(p.dir.file("x.txt")));
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kRouteFormatError }));
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    // An unwritable folder: the error, the route and the remembered name unchanged.
    p.prompter.messages.clear();
    p.state.route.push({ DefaultRouteName(1), 1, 1 });
    EXPECT_FALSE(p.editor.SaveRouteAs1Click(p.dir.file("gone/x.rte")));
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kErrorWritingRoute }));
    EXPECT_EQ(p.state.settings.RouteName, "keep");
    EXPECT_EQ(p.state.route.count(), 1u);
}

TEST(RouteEditing, AppendNamesByIndexAndNeverPassesForty)
{
    RouteProgram p;
    p.at(50, 1);
    p.editor.AddRouteWaypoint1Click();
    EXPECT_EQ(p.state.route.at(1).name, DefaultRouteName(1));
    EXPECT_DOUBLE_EQ(p.state.route.at(1).lat, 50);
    for (int i = 2; i <= 27; ++i) {
        p.editor.AddRouteWaypoint1Click();
    }
    EXPECT_EQ(p.state.route.at(27).name.substr(0, 1), "a");
    for (int i = 28; i <= 40; ++i) {
        p.editor.AddRouteWaypoint1Click();
    }
    p.at(60, 2);
    p.editor.AddRouteWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 40);
    EXPECT_DOUBLE_EQ(p.state.route.at(40).lat, 60); // the last one was replaced
    EXPECT_DOUBLE_EQ(p.state.route.at(39).lat, 50);
    EXPECT_TRUE(p.state.routeEdit.RouteListChanged);
    // The tick then selects the newest waypoint.
    p.editor.RefreshNameList();
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 40);
    EXPECT_EQ(p.state.display.WPNameIndex, 39);
    EXPECT_FALSE(p.state.routeEdit.RouteListChanged);
}

TEST(RouteEditing, InsertKeepsTheSelectionOnTheOldWaypoint)
{
    RouteProgram p;
    for (int i = 1; i <= 5; ++i) {
        p.at(50 + i, 1);
        p.editor.AddRouteWaypoint1Click();
    }
    p.state.routeProgress.ActiveWaypoint = 3;
    p.at(10, 10);
    p.editor.InsertWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 6);
    EXPECT_EQ(p.labels(), (std::vector<std::string> { "A", "B", "C", "C", "D", "E" }));
    EXPECT_DOUBLE_EQ(p.state.route.at(3).lat, 10);
    EXPECT_DOUBLE_EQ(p.state.route.at(4).lat, 53);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 4);
    EXPECT_TRUE(p.state.routeEdit.KeepActiveWaypoint);
    p.editor.RefreshNameList();
    EXPECT_EQ(p.state.display.WPNameIndex, 3);
    // At RouteLength + 1 the new waypoint goes to the end.
    p.state.routeProgress.ActiveWaypoint = 7;
    p.editor.InsertWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 7);
    EXPECT_EQ(p.state.route.at(7).name.substr(0, 1), "G");
    // Beyond that, or nothing selected: the message, nothing changed.
    p.state.routeProgress.ActiveWaypoint = 9;
    p.editor.InsertWaypoint1Click();
    p.state.routeProgress.ActiveWaypoint = 0;
    p.editor.InsertWaypoint1Click();
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kSelectWaypointFirst, kSelectWaypointFirst }));
    EXPECT_EQ(p.state.routeProgress.RouteLength, 7);
}

TEST(RouteEditing, InsertIntoAFullRouteIsRefused)
{
    RouteProgram p;
    for (int i = 0; i < 40; ++i) {
        p.editor.AddRouteWaypoint1Click();
    }
    p.state.routeProgress.ActiveWaypoint = 1;
    p.editor.InsertWaypoint1Click();
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kRouteFull }));
    EXPECT_EQ(p.prompter.messages[0].kind, "error");
    EXPECT_EQ(p.state.route.count(), 40u);
}

TEST(RouteEditing, SnapTakesTheLaterOfTwoEquallyNearChartWaypoints)
{
    RouteProgram p;
    p.state.waypoints.push({ WaypointNameField("North", 5), 50.5, 1.0 });
    p.state.waypoints.push({ WaypointNameField("South", 7), 49.5, 1.0 });
    p.state.waypoints.push({ WaypointNameField("Far", 7), 55.0, 1.0 });
    p.at(50.0, 1.0);
    EXPECT_EQ(p.editor.NearestChartWaypoint(), 2);
    p.editor.WaypointSnapModeClick();
    EXPECT_TRUE(p.state.display.isChecked(Control::WaypointSnapMode));
    p.editor.AddRouteWaypoint1Click();
    EXPECT_EQ(p.state.route.at(1).name, WaypointNameField("South", 7));
    EXPECT_DOUBLE_EQ(p.state.route.at(1).lat, 49.5);
    // Insert with snapping keeps the selection on the new waypoint.
    p.state.routeProgress.ActiveWaypoint = 1;
    p.at(54.0, 1.0);
    p.editor.InsertWaypoint1Click();
    EXPECT_EQ(p.state.route.at(1).name, WaypointNameField("Far", 7));
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 1);
    // No chart waypoints: snapping falls back to the cursor and the default name.
    p.state.waypoints.clear();
    p.editor.AddRouteWaypoint1Click();
    EXPECT_EQ(p.state.route.at(3).name, DefaultRouteName(3));
}

TEST(RouteEditing, EditRenamesAndMoves)
{
    RouteProgram p;
    p.at(50, 1);
    p.editor.AddRouteWaypoint1Click();
    p.editor.AddRouteWaypoint1Click();
    p.state.routeProgress.ActiveWaypoint = 2;
    EditRouteDialog d = p.editor.EditRoute1Click();
    EXPECT_EQ(d.name, "B                       ");
    EXPECT_FALSE(d.MoveWP);
    d.name = "Needles Fairway Buoy Long Name";
    p.at(10, 20);
    p.editor.EditRouteOk(d);
    EXPECT_EQ(p.state.route.at(2).name, "Needles Fairway Buoy Lon19   ");
    EXPECT_DOUBLE_EQ(p.state.route.at(2).lat, 50); // MoveWP unticked: the position stays
    d.name.clear();
    d.MoveWP = true;
    p.editor.EditRouteOk(d);
    EXPECT_EQ(p.state.route.at(2).name, DefaultRouteName(2));
    EXPECT_DOUBLE_EQ(p.state.route.at(2).lat, 10);
    p.state.routeProgress.ActiveWaypoint = 3;
    EXPECT_TRUE(p.editor.EditRoute1Click().name.empty());
    p.editor.EditRouteOk(d);
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string> { kSelectWaypointFirst }));
}

TEST(RouteEditing, DeletePastTheEndChangesNothing)
{
    RouteProgram p;
    for (int i = 0; i < 3; ++i) {
        p.editor.AddRouteWaypoint1Click();
    }
    p.state.routeProgress.ActiveWaypoint = 3;
    p.editor.DeleteSelectedWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 2);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 3); // not changed by a delete
    p.editor.DeleteSelectedWaypoint1Click();
    p.state.routeProgress.ActiveWaypoint = 41;
    p.editor.DeleteSelectedWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 2);
    p.state.routeProgress.ActiveWaypoint = 1;
    p.editor.DeleteSelectedWaypoint1Click();
    p.editor.DeleteSelectedWaypoint1Click();
    p.editor.DeleteSelectedWaypoint1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
}

TEST(RouteEditing, RemoveRouteAsksFirst)
{
    RouteProgram p;
    p.editor.AddRouteWaypoint1Click();
    p.state.settings.RouteName = "trip";
    p.state.settings.fix.DRMode = true;
    p.prompter.answer({ false });
    p.editor.Route1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 1);
    p.editor.Route1Click();
    EXPECT_EQ(p.state.routeProgress.RouteLength, 0);
    EXPECT_EQ(p.state.routeProgress.ActiveWaypoint, 0);
    EXPECT_TRUE(p.state.settings.RouteName.empty());
    EXPECT_FALSE(p.state.settings.fix.DRMode);
    EXPECT_FALSE(p.state.display.isEnabled(Control::SaveBtn));
    EXPECT_EQ(p.prompter.texts(), (std::vector<std::string>(2, kRemoveRouteQuestion)));
}

TEST(MeasureText, RangeAndBothBearings)
{
    ProgramState nav;
    nav.fixInfo.OwnLat = 50.0;
    nav.fixInfo.OwnLong = 1.0;
    nav.chartRef.CosLatFactor = 1.0;
    nav.settings.units.UnitFactor = 1.0;
    const MeasureResult north = MeasureText(50.0 + 1.0 / 60, 1.0, nav.fixInfo, nav.chartRef, nav.settings.units, 0.0);
    EXPECT_EQ(north.text, "1.0000 Nm  Bearing   0\xb0T To 180\xb0T From");
    EXPECT_NEAR(north.range, 1.0, 1e-9);
    // Start to the south-west of the cursor: from it the cursor bears 045.
    nav.fixInfo.OwnLat = 50.0;
    nav.fixInfo.OwnLong = 1.0;
    const MeasureResult sw
        = MeasureText(50.0 - 1.0 / 60, 1.0 + 1.0 / 60, nav.fixInfo, nav.chartRef, nav.settings.units, 2.5);
    EXPECT_EQ(sw.text, "1.4142 Nm  Bearing 225\xb0T To  45\xb0T From. Total Distance 2.50Nm  ");
    EXPECT_EQ(MeasureUnitLabel(1.0), "Nm  ");
    EXPECT_EQ(MeasureUnitLabel(1.15081), "Mls ");
    EXPECT_EQ(MeasureUnitLabel(1.852), "Km  ");
}

TEST(RouteCompletion, RepeatAndReversedNeverStayTogether)
{
    RouteCompletionSettings s;
    RevRouteClick(s, true);
    EXPECT_TRUE(s.RevRoute);
    SelectRouteCompletion(s, RouteCompletion::RepRoute);
    EXPECT_FALSE(s.RevRoute);
    RevRouteClick(s, true);
    EXPECT_FALSE(s.RevRoute);
    SelectRouteCompletion(s, RouteCompletion::Reverse);
    RevRouteClick(s, true);
    EXPECT_TRUE(s.RevRoute);
}
