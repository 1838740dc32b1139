#include "app/ProgramState.h"
#include "core/BoundedTable.h"
#include "core/Units.h"

#include <gtest/gtest.h>

using namespace kv;

TEST(StateRecords, DatumConversionsRoundTrip)
{
    ProgramState nav;
    nav.chartRef.ChartLatOffset = 0.01;
    nav.chartRef.ChartLongOffset = -0.02;
    const LatLong receiver { 50.0, 1.5 };
    const LatLong chart = ChartDatumFromState(nav.chartRef, receiver);
    EXPECT_DOUBLE_EQ(chart.lat, 50.01);
    EXPECT_DOUBLE_EQ(chart.lon, 1.52);
    const LatLong back = StateFromChartDatum(nav.chartRef, chart);
    EXPECT_DOUBLE_EQ(back.lat, receiver.lat);
    EXPECT_DOUBLE_EQ(back.lon, receiver.lon);
}

TEST(StateRecords, UnitLabelsFollowTheFactorByThresholds)
{
    ProgramState nav;
    struct Case {
        double factor;
        bool knotsAlways;
        const char* distance;
        const char* speed;
        double speedOf10;
    };
    const Case cases[] = {
        { 1.0, false, "Nm ", " Kn", 10.0 },
        { 1.852, false, "Km ", " Kph", 18.52 },
        { 1.15081, false, "Mls", " Mph", 11.5081 },
        { 1.852, true, "Km ", " Kn", 10.0 }, // kilometres with speeds always in knots
        { 1.15081, true, "Mls", " Kn", 10.0 },
    };
    for (const auto& c : cases) {
        nav.settings.units.UnitFactor = c.factor;
        nav.prefs.units.KnotsAlways = c.knotsAlways;
        EXPECT_EQ(DistanceUnitLabel(nav.settings.units), c.distance) << c.factor;
        EXPECT_EQ(SpeedUnitLabel(nav.settings.units, nav.prefs.units), c.speed) << c.factor;
        EXPECT_DOUBLE_EQ(SpeedInDisplayUnits(nav.settings.units, nav.prefs.units, 10.0), c.speedOf10);
        EXPECT_DOUBLE_EQ(DistanceInDisplayUnits(nav.settings.units, 2.0), 2.0 * c.factor);
    }
}

TEST(ShortString, CutsAtCapacity)
{
    ShortString<8> s = "$GPRMC,123";
    EXPECT_EQ(s, "$GPRMC,1");
    s = std::string("MAN");
    EXPECT_EQ(s.size(), 3u);
    ShortString<1> q = "12";
    EXPECT_EQ(q, "1");
}

TEST(BoundedTable, CapacityAndOneBasedNumbering)
{
    BoundedTable<int, 3> t;
    EXPECT_TRUE(t.push(10));
    EXPECT_TRUE(t.push(30));
    EXPECT_TRUE(t.insert(2, 20));
    EXPECT_FALSE(t.push(40)); // full: nothing changes
    EXPECT_EQ(t.count(), 3u);
    EXPECT_EQ(t.at(1), 10);
    EXPECT_EQ(t.at(2), 20);
    EXPECT_EQ(t.at(3), 30);
    EXPECT_THROW(t.at(0), std::out_of_range);
    EXPECT_THROW(t.at(4), std::out_of_range);
    EXPECT_FALSE(t.erase(4));
    EXPECT_TRUE(t.erase(1));
    EXPECT_EQ(t.at(1), 20);
    EXPECT_FALSE(t.insert(4, 5)); // past count + 1
    EXPECT_TRUE(t.insert(3, 5));
    t.clear();
    EXPECT_TRUE(t.empty());
}

TEST(ProgramState, TablesHaveTheProgramsCapacities)
{
    ProgramState state;
    EXPECT_EQ(state.quickLog.capacity, 98u);
    EXPECT_EQ(state.route.capacity, 40u);
    EXPECT_EQ(state.tides.capacity, 100u);
    for (int i = 0; i < 100; ++i) {
        state.quickLog.push({});
    }
    EXPECT_EQ(state.quickLog.count(), 98u);
}
