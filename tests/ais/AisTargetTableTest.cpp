#include "ais/AisTargetTable.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kv;

namespace {

TAISTarget Station(std::uint32_t mmsi)
{
    TAISTarget t {};
    t.MsgType = 1;
    t.MMSI = mmsi;
    return t;
}

std::vector<std::uint32_t> Mmsis(const AisTargetTable& table)
{
    std::vector<std::uint32_t> out;
    for (const TAISTarget& t : table) {
        out.push_back(t.MMSI);
    }
    return out;
}

TEST(AisTargetTable, NumbersRunFromOneToTheCount)
{
    AisTargetTable table;
    EXPECT_FALSE(table.valid(1));
    EXPECT_EQ(table.find(1), nullptr);
    table.add(Station(101));
    table.add(Station(102));
    for (const auto& [n, valid] : std::vector<std::pair<int, bool>> {
             { -1, false }, { 0, false }, { 1, true }, { 2, true }, { 3, false }, { 61, false } }) {
        EXPECT_EQ(table.valid(n), valid) << n;
        EXPECT_EQ(table.find(n) != nullptr, valid) << n;
    }
    EXPECT_EQ(table.find(2)->MMSI, 102u);
}

TEST(AisTargetTable, AFullTableGivesItsLastSlotToTheNewcomer)
{
    AisTargetTable table;
    for (std::uint32_t i = 1; i <= kAisTargetCapacity; ++i) {
        table.add(Station(i));
    }
    EXPECT_TRUE(table.full());
    table.add(Station(999));
    EXPECT_EQ(table.count(), kAisTargetCapacity);
    EXPECT_EQ(table[kAisTargetCapacity].MMSI, 999u);
    EXPECT_EQ(table[kAisTargetCapacity - 1].MMSI, static_cast<std::uint32_t>(kAisTargetCapacity - 1));
}

TEST(AisTargetTable, RemovingKeepsTheOrderAndZeroesTheFreedSlots)
{
    AisTargetTable table;
    for (std::uint32_t mmsi : { 1u, 2u, 3u, 4u, 5u }) {
        table.add(Station(mmsi));
    }
    EXPECT_EQ(table.removeIf([](const TAISTarget& t) { return t.MMSI % 2 == 0; }), 2);
    EXPECT_EQ(Mmsis(table), (std::vector<std::uint32_t> { 1, 3, 5 }));
    for (std::size_t i = 3; i < 5; ++i) {
        EXPECT_EQ(table.allSlots()[i].MMSI, 0u) << "slot " << i + 1;
    }
    table.clear();
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.allSlots()[0].MMSI, 0u);
}

TEST(AisTargetTable, APositionIsUnknownWhenEitherFieldSaysNotAvailable)
{
    struct Case {
        double lat, lon;
        bool known;
    };
    for (const Case& c : { Case { 50.5, -1.25, true }, Case { 91, -1.25, false }, Case { 50.5, 181, false },
             Case { -90, -180, true } }) {
        TAISTarget t {};
        t.Latitude = static_cast<std::int32_t>(c.lat * 600000);
        t.Longitude = static_cast<std::int32_t>(c.lon * 600000);
        EXPECT_EQ(PositionKnown(t), c.known) << c.lat << " " << c.lon;
        if (c.known) {
            EXPECT_DOUBLE_EQ(AisLatDegrees(t), c.lat);
            EXPECT_DOUBLE_EQ(AisLonDegrees(t), c.lon);
        }
    }
}

} // namespace

TEST(AisTargetPositions, AreGivenWestPositiveFromTheNewestTrackPoint)
{
    TAISTarget t {};
    t.Latitude = static_cast<std::int32_t>(50.5 * 600000);
    t.Longitude = static_cast<std::int32_t>(-1.25 * 600000); // as received: 1.25° west
    EXPECT_EQ(AisPosition(t), (LatLong { 50.5, 1.25 }));
    EXPECT_DOUBLE_EQ(EastLongitude(AisPosition(t)), -1.25);
    EXPECT_EQ(AisLatestPosition(t), AisPosition(t)) << "no track yet: the report's fields";
    t.TrackCount = 2;
    t.point(1) = { 50.0, -1.0 };
    t.point(2) = { 50.25, 2.5 }; // track points are east positive too
    EXPECT_EQ(AisLatestPosition(t), (LatLong { 50.25, -2.5 }));
}
