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
    EXPECT_FALSE(d.isEnabled(Control::File1));
    EXPECT_FALSE(d.isEnabled(Control::Route1));
    EXPECT_FALSE(d.isEnabled(Control::Fix1));
    EXPECT_FALSE(d.isEnabled(Control::SendWaypoints1));
    // Chart waypoints can be sent without a view: that rule does not look at the views.
    EXPECT_TRUE(d.isEnabled(Control::SendChartWaypoints1));
    EXPECT_TRUE(d.FixTimer.enabled); // the interface is open
}

TEST(MenuState, DosWaypointFormatWantsAView)
{
    Display d;
    MenuInputs in;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(Control::DOSWPTformat));
    in.viewCount = 1; // a chart without waypoints may still get some
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(Control::DOSWPTformat));
}

TEST(MenuState, RouteAndDeadReckoningModes)
{
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.routeLength = 4;
    in.drMode = true;
    EXPECT_FALSE(UpdateMenuItems(d, in));
    EXPECT_TRUE(d.isEnabled(Control::Route1));
    EXPECT_TRUE(d.isEnabled(Control::SaveRouteAs1));
    EXPECT_TRUE(d.isEnabled(Control::DRMode1));
    EXPECT_FALSE(d.isEnabled(Control::Fix1)); // no manual fix in dead reckoning
    EXPECT_FALSE(d.isEnabled(Control::FixBtn));
    EXPECT_FALSE(d.isEnabled(Control::SendWaypoints1)); // interface closed
    EXPECT_FALSE(d.isEnabled(Control::Find_Antenna));
    EXPECT_TRUE(d.FixTimer.enabled);

    in.drMode = false;
    in.nmeaOpen = true;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(Control::Fix1));
    EXPECT_TRUE(d.isEnabled(Control::SendWaypoints1));
    EXPECT_TRUE(d.isEnabled(Control::SendWPS));
    EXPECT_TRUE(d.FixTimer.enabled);

    in.nmeaOpen = false;
    in.routeLength = 0;
    in.drMode = true; // checked but no route: the fix timer stays off
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.FixTimer.enabled);
    EXPECT_FALSE(d.isEnabled(Control::DRMode1));
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
    EXPECT_TRUE(d.isEnabled(Control::Find_Antenna));
    EXPECT_TRUE(d.isEnabled(Control::ChartPoints1));
    EXPECT_TRUE(d.isEnabled(Control::SaveChartAs1));
    EXPECT_TRUE(d.isEnabled(Control::Layers1));
    EXPECT_FALSE(d.isEnabled(Control::StartNew)); // the chart has points

    in.viewCount = 2;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(Control::Find_Antenna));
    EXPECT_FALSE(d.isEnabled(Control::ChartPoints1));
    EXPECT_TRUE(d.isEnabled(Control::Layers1));

    in.viewCount = 1;
    in.logCount = 1;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isEnabled(Control::Find_Antenna));
    EXPECT_FALSE(d.isEnabled(Control::ChartPoints1));
    EXPECT_TRUE(d.isEnabled(Control::SaveLogAs1));

    in.chartPointCount = 0;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(Control::StartNew));
    EXPECT_FALSE(d.isEnabled(Control::Layers1));
}

TEST(MenuState, TextLogButtonAndTides)
{
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.keepTextLog = false;
    in.tidesLoaded = true;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isChecked(Control::TxtLogOnOff));
    EXPECT_EQ(d.hint(Control::TxtLogOnOff), "Release for Text Logs On|");
    EXPECT_TRUE(d.isEnabled(Control::TideStep1));
    in.keepTextLog = true;
    in.tidesLoaded = false;
    UpdateMenuItems(d, in);
    EXPECT_FALSE(d.isChecked(Control::TxtLogOnOff));
    EXPECT_EQ(d.hint(Control::TxtLogOnOff), "Press for Text Logs Off|");
    EXPECT_FALSE(d.isEnabled(Control::TideStep1));
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
    for (const Case c : { Case { 1, 0, 5, true, true }, Case { 1, 0, 5, false, false }, Case { 2, 0, 5, true, false },
             Case { 1, 2, 5, true, false }, Case { 1, 0, 0, true, false }, Case { 1, 0, 5, true, false, 0.5 },
             Case { 1, 0, 5, true, true, 4.0 } }) {
        Display d;
        MenuInputs in;
        in.activeViewZoom = c.zoom;
        in.viewCount = c.views;
        in.logCount = c.log;
        in.chartPointCount = c.points;
        in.chartEditMode = c.edit;
        UpdateMenuItems(d, in);
        for (Control point : { Control::AddChartPoint1, Control::SetLineType1, Control::EditPoint1,
                 Control::DeletePoint1, Control::SnaptoChart1, Control::AutoMakeGrid1 }) {
            EXPECT_EQ(d.isEnabled(point), c.on)
                << ControlName(point) << " views " << c.views << " log " << c.log << " zoom " << c.zoom;
        }
        // The chart-point snap is a point command; the waypoint snap goes with the waypoints.
        EXPECT_FALSE(d.isEnabled(Control::WaypointSnapMode1));
        EXPECT_TRUE(d.isEnabled(Control::AddChartWaypoint1) == (c.views > 0));
    }
    Display d;
    MenuInputs in;
    in.viewCount = 1;
    in.chartWaypointCount = 2;
    UpdateMenuItems(d, in);
    EXPECT_TRUE(d.isEnabled(Control::WaypointSnapMode1));
    EXPECT_FALSE(d.isEnabled(Control::SnaptoChart1));
}
