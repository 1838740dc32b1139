#include "app/MenuState.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(MenuState, NothingButTheBasicsWithoutAView)
{
    Display d;
    MenuInputs in;
    in.routeLength = 5;
    in.nmeaOpen = true;
    in.chartWaypointCount = 3;
    EXPECT_TRUE(UpdateMenuItems(d, in)); // the caller empties the chart
    EXPECT_FALSE(d.isEnabled(cmd::File));
    EXPECT_FALSE(d.isEnabled(cmd::Route));
    EXPECT_FALSE(d.isEnabled(cmd::Fix));
    EXPECT_FALSE(d.isEnabled(cmd::SendRouteWaypoints));
    // Chart waypoints can be sent without a view: that rule does not look at the views.
    EXPECT_TRUE(d.isEnabled(cmd::SendChartWaypoints));
    EXPECT_TRUE(d.FixTimer.enabled); // the interface is open
}

TEST(MenuState, DosWaypointFormatWantsAView)
{
    Display d;
    MenuInputs in;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(cmd::DOSWaypointFormat));
    in.viewCount = 1; // a chart without waypoints may still get some
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(cmd::DOSWaypointFormat));
}

TEST(MenuState, RouteAndDeadReckoningModes)
{
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.routeLength = 4;
    in.drMode = true;
    EXPECT_FALSE(UpdateMenuItems(d, in));
    EXPECT_TRUE(d.isEnabled(cmd::Route));
    EXPECT_TRUE(d.isEnabled(cmd::SaveRouteAs));
    EXPECT_TRUE(d.isEnabled(cmd::DRMode));
    EXPECT_FALSE(d.isEnabled(cmd::Fix)); // no manual fix in dead reckoning
    EXPECT_FALSE(d.isEnabled(cmd::FixButton));
    EXPECT_FALSE(d.isEnabled(cmd::SendRouteWaypoints)); // interface closed
    EXPECT_FALSE(d.isEnabled(cmd::LocateAntenna));
    EXPECT_TRUE(d.FixTimer.enabled);

    in.drMode = false;
    in.nmeaOpen = true;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(cmd::Fix));
    EXPECT_TRUE(d.isEnabled(cmd::SendRouteWaypoints));
    EXPECT_TRUE(d.isEnabled(cmd::SendRouteWaypointsButton));
    EXPECT_TRUE(d.FixTimer.enabled);

    in.nmeaOpen = false;
    in.routeLength = 0;
    in.drMode = true; // checked but no route: the fix timer stays off
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.FixTimer.enabled);
    EXPECT_FALSE(d.isEnabled(cmd::DRMode));
}

TEST(MenuState, AntennaAndChartEditingNeedExactlyOneViewAndAnEmptyLog)
{
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.chartPointCount = 10;
    in.chartEditMode = true;
    in.layerMaskSet = true;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(cmd::LocateAntenna));
    EXPECT_TRUE(d.isEnabled(cmd::ChartPointEditing));
    EXPECT_TRUE(d.isEnabled(cmd::SaveChartAs));
    EXPECT_TRUE(d.isEnabled(cmd::Layers));
    EXPECT_FALSE(d.isEnabled(cmd::StartNewChart)); // the chart has points

    in.viewCount = 2;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(cmd::LocateAntenna));
    EXPECT_FALSE(d.isEnabled(cmd::ChartPointEditing));
    EXPECT_TRUE(d.isEnabled(cmd::Layers));

    in.viewCount = 1;
    in.logCount = 1;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(cmd::LocateAntenna));
    EXPECT_FALSE(d.isEnabled(cmd::ChartPointEditing));
    EXPECT_TRUE(d.isEnabled(cmd::SaveLogAs));

    in.chartPointCount = 0;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(cmd::StartNewChart));
    EXPECT_FALSE(d.isEnabled(cmd::Layers));
}

TEST(MenuState, TextLogButtonAndTides)
{
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.keepTextLog = false;
    in.tidesLoaded = true;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isChecked(cmd::TextLogButton));
    EXPECT_EQ(d.hint(cmd::TextLogButton), "Release for Text Logs On|");
    EXPECT_TRUE(d.isEnabled(cmd::TideStep));
    in.keepTextLog = true;
    in.tidesLoaded = false;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isChecked(cmd::TextLogButton));
    EXPECT_EQ(d.hint(cmd::TextLogButton), "Press for Text Logs Off|");
    EXPECT_FALSE(d.isEnabled(cmd::TideStep));
}

TEST(MenuState, NextWaypointWrapsAndListHints)
{
    EXPECT_EQ(NextWaypoint(5, 5), 1);
    EXPECT_EQ(NextWaypoint(2, 5), 3);
    EXPECT_EQ(NextWaypoint(0, 5), 1);
    EXPECT_EQ(NextWaypoint(1, 0), 0);
    EXPECT_EQ(WaypointListHint("Needles Fairway         @@ "), "Needles Fairway|");
    EXPECT_EQ(WaypointListHint("Hurst Point@@"), "Selected Waypoint|"); // 11 characters
    EXPECT_EQ(WaypointListHint("Thirteen char"), "Thirteen char|");
}

TEST(MenuState, EveryChartPointCommandFollowsTheEditingRowAndWaypointSnapTheWaypoints)
{
    struct Case {
        int views;
        int log;
        int points;
        bool edit;
        bool on;
        double zoom = 1.0;
    };
    for (const Case c : {Case{1, 0, 5, true, true}, Case{1, 0, 5, false, false}, Case{2, 0, 5, true, false},
                         Case{1, 2, 5, true, false}, Case{1, 0, 0, true, false}, Case{1, 0, 5, true, false, 0.5},
                         Case{1, 0, 5, true, true, 4.0}}) {
        Display d;
        MenuInputs in;
        in.activeViewZoom = c.zoom;
        in.viewCount = c.views;
        in.logCount = c.log;
        in.chartPointCount = c.points;
        in.chartEditMode = c.edit;
        UpdateMenuItems(d, in);
        for (const char* name : cmd::PointCommands) {
            EXPECT_EQ(d.isEnabled(name), c.on) << name << " views " << c.views << " log " << c.log << " zoom " << c.zoom;
        }
        // The chart-point snap is a point command; the waypoint snap goes with the waypoints.
        EXPECT_FALSE(d.isEnabled(cmd::WaypointSnap));
        EXPECT_TRUE(d.isEnabled(cmd::AddChartWaypoint) == (c.views > 0));
    }
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.chartWaypointCount = 2;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled("WaypointSnapMode1"));
    EXPECT_FALSE(d.isEnabled("SnaptoChart1"));
}
