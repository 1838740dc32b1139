#include "ais/AisTargetList.h"

#include "app/ProgramState.h"

#include "core/Format.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

namespace {

constexpr double kNow = 46000.5; // a day number; ages are counted to it

class AisTargetListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state.fixInfo.OwnLat = 50.0;
        state.fixInfo.OwnLong = 1.0; // west positive
        state.chartRef.CosLatFactor = std::cos(50.0 * M_PI / 180.0);
        state.motion.SOG = 0;
        state.motion.COGValue = 0;
    }

    // A target heard `ageSeconds` ago at lat / east-positive lon; sog 1023, cog 3600 = not available.
    TAISTarget& Add(std::uint32_t mmsi, int type, const char* name, double lat, double lonE, int sogTenths,
        int cogTenths, double ageSeconds = 0)
    {
        TAISTarget& t = state.ais.targets.add(TAISTarget {});
        t.MsgType = static_cast<std::uint8_t>(type);
        t.MMSI = mmsi;
        t.VesselName.set(name);
        t.Latitude = static_cast<std::int32_t>(std::lround(lat * 600000));
        t.Longitude = static_cast<std::int32_t>(std::lround(lonE * 600000));
        t.SOG = static_cast<std::uint16_t>(sogTenths);
        t.COG = static_cast<std::uint16_t>(cogTenths);
        t.LastHeard = kNow - ageSeconds / 86400.0;
        return t;
    }

    std::vector<TargetListRow> Rows() { return BuildTargetRows(state, kNow); }

    std::vector<std::uint32_t> Order(TargetListColumn column, bool ascending)
    {
        auto rows = Rows();
        SortTargetRows(rows, column, ascending);
        std::vector<std::uint32_t> mmsis;
        mmsis.reserve(rows.size());
        for (const auto& r : rows) {
            mmsis.push_back(r.mmsi);
        }
        return mmsis;
    }

    ProgramState state;
};

TEST_F(AisTargetListTest, RowsCarryClassMotionAndClosestApproach)
{
    // 2 nm north, heading south at 10 kn towards a stopped own vessel: CPA 0 in 12 minutes.
    Add(1, 1, "TANKER@@@@", 50.0 + 2.0 / 60.0, -1.0, 100, 1800, 75);
    Add(2, 18, "", 50.0, -1.0 + 1.0 / 60.0, 1023, 3600);
    TAISTarget& aid = Add(3, 21, "NAB TOWER", 50.0 - 1.0 / 60.0, -1.0, 0, 0);
    aid.Spare = 1;

    auto rows = Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "TANKER");
    EXPECT_EQ(rows[0].cls, AisTargetClass::ClassA);
    EXPECT_NEAR(rows[0].range, 2.0, 0.01);
    EXPECT_NEAR(rows[0].bearing, 0.0, 0.1);
    ASSERT_TRUE(rows[0].cpa.has_value());
    EXPECT_NEAR(rows[0].cpa->cpaNm, 0.0, 0.01);
    EXPECT_NEAR(rows[0].cpa->tcpaMin, 12.0, 0.1);
    EXPECT_FALSE(rows[0].dangerous) << "the warnings are off";
    EXPECT_EQ(TargetListCell(rows[0], TargetListColumn::Age), "1:15");
    EXPECT_EQ(TargetListCell(rows[0], TargetListColumn::COG), "180.0");

    EXPECT_EQ(rows[1].name, "2") << "no name: the MMSI";
    EXPECT_EQ(rows[1].cls, AisTargetClass::ClassB);
    EXPECT_FALSE(rows[1].sog.has_value());
    EXPECT_FALSE(rows[1].cpa.has_value());
    EXPECT_EQ(TargetListCell(rows[1], TargetListColumn::SOG), "-");
    EXPECT_EQ(TargetListCell(rows[1], TargetListColumn::CPA), "-");
    EXPECT_NEAR(rows[1].bearing, 90.0, 0.5);

    EXPECT_EQ(rows[2].cls, AisTargetClass::VirtualAidToNavigation);
    EXPECT_EQ(TargetListCell(rows[2], TargetListColumn::Class), "AtoN (virtual)");
    EXPECT_FALSE(rows[2].cpa.has_value()) << "an aid is never judged";

    state.extra.CollisionWarnings = true;
    state.extra.TcpaLimitMin = 12.5;
    EXPECT_TRUE(Rows()[0].dangerous);
    state.extra.TcpaLimitMin = 11.0;
    EXPECT_FALSE(Rows()[0].dangerous) << "closest point beyond the time limit";
}

TEST_F(AisTargetListTest, RangeInTheDisplayUnit)
{
    Add(1, 1, "A", 50.0 + 1.0 / 60.0, -1.0, 0, 0);
    state.settings.units.UnitFactor = 1.852;
    EXPECT_NEAR(Rows()[0].range, 1.852, 0.01);
    EXPECT_EQ(TargetListHeader(TargetListColumn::Range, state.settings.units), "Range Km");
}

// Range and closest approach share the chosen distance unit, in the headers and the cells.
TEST_F(AisTargetListTest, RangeAndCpaInTheSameUnit)
{
    // North-east of a stopped own vessel, heading south: it passes east of it.
    Add(1, 1, "A", 50.0 + 2.0 / 60.0, -1.0 + 1.0 / 60.0, 100, 1800);
    const std::pair<double, const char*> units[] = { { 1.0, "Nm" }, { 1.852, "Km" }, { 1.15078, "Mls" } };
    for (const auto& [factor, label] : units) {
        state.settings.units.UnitFactor = factor;
        const auto rows = Rows();
        ASSERT_TRUE(rows[0].cpa.has_value());
        ASSERT_GT(rows[0].cpa->cpaNm, 0.5);
        EXPECT_EQ(TargetListHeader(TargetListColumn::Range, state.settings.units), std::string("Range ") + label);
        EXPECT_EQ(TargetListHeader(TargetListColumn::CPA, state.settings.units), std::string("CPA ") + label);
        EXPECT_EQ(TargetListCell(rows[0], TargetListColumn::CPA), FormatFixed(rows[0].cpa->cpaNm * factor, 0, 2))
            << label;
    }
}

TEST_F(AisTargetListTest, SortsByEveryColumnWithMissingValuesLast)
{
    Add(10, 1, "CHARLIE", 50.0 + 3.0 / 60.0, -1.0, 50, 900, 30); // north 3 nm, moving east
    Add(20, 18, "ALPHA", 50.0, -1.0 + 1.0 / 60.0, 1023, 3600, 10); // east, speed unknown
    Add(30, 21, "BRAVO", 50.0 - 2.0 / 60.0, -1.0, 0, 0, 20); // south 2 nm, an aid
    Add(40, 1, "DELTA", 50.0 + 1.0 / 60.0, -1.0, 120, 2700, 40); // north 1 nm, moving west

    struct Case {
        TargetListColumn column;
        bool ascending;
        std::vector<std::uint32_t> order;
    };
    const Case cases[] = {
        { TargetListColumn::Name, true, { 20, 30, 10, 40 } },
        { TargetListColumn::Name, false, { 40, 10, 30, 20 } },
        { TargetListColumn::Class, true, { 10, 40, 20, 30 } },
        { TargetListColumn::Range, true, { 20, 40, 30, 10 } },
        { TargetListColumn::Range, false, { 10, 30, 40, 20 } },
        { TargetListColumn::Bearing, true, { 10, 40, 20, 30 } },
        { TargetListColumn::SOG, true, { 10, 40, 20, 30 } }, // unknown speed and the aid last
        { TargetListColumn::SOG, false, { 40, 10, 20, 30 } },
        { TargetListColumn::CPA, true, { 40, 10, 20, 30 } },
        { TargetListColumn::CPA, false, { 10, 40, 20, 30 } },
        { TargetListColumn::Age, true, { 20, 30, 10, 40 } },
        { TargetListColumn::Age, false, { 40, 10, 30, 20 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Order(c.column, c.ascending), c.order)
            << "column " << static_cast<int>(c.column) << (c.ascending ? " up" : " down");
    }
}

TEST_F(AisTargetListTest, DangerousTargetsComeFirstWhateverTheSort)
{
    Add(10, 1, "FAR", 50.0 + 5.0 / 60.0, -1.0, 50, 900);
    Add(20, 18, "YACHT", 50.0 + 3.0 / 60.0, -1.0, 60, 1800); // closing head-on, 30 min away
    Add(30, 1, "NEAR", 50.0 + 1.0 / 60.0, -1.0, 0, 0);
    state.extra.CollisionWarnings = true;
    state.extra.TcpaLimitMin = 40;
    EXPECT_EQ(Order(TargetListColumn::Range, true), (std::vector<std::uint32_t> { 20, 30, 10 }));
    EXPECT_EQ(Order(TargetListColumn::Name, false), (std::vector<std::uint32_t> { 20, 30, 10 }));
    state.extra.CollisionWarnings = false;
    EXPECT_EQ(Order(TargetListColumn::Range, true), (std::vector<std::uint32_t> { 30, 20, 10 }));
}

TEST_F(AisTargetListTest, FindsTheRowOfAnMmsiAfterSorting)
{
    Add(10, 1, "B", 50.1, -1.0, 0, 0);
    Add(20, 1, "A", 50.2, -1.0, 0, 0);
    auto rows = Rows();
    SortTargetRows(rows, TargetListColumn::Name, true);
    EXPECT_EQ(FindTargetRow(rows, 20), 0);
    EXPECT_EQ(rows[0].slot, 2);
    EXPECT_EQ(FindTargetRow(rows, 10), 1);
    EXPECT_EQ(FindTargetRow(rows, 99), -1);
}

TEST_F(AisTargetListTest, AClockGoneBackShowsNoAge)
{
    Add(10, 1, "B", 50.1, -1.0, 0, 0, -120);
    EXPECT_EQ(TargetListCell(Rows()[0], TargetListColumn::Age), "0:00");
}

} // namespace
