#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kv;

TEST(ChartPoint, LineTypeThresholdsAreStrict)
{
    EXPECT_EQ(LineTypeOf(150.5), 1);
    EXPECT_DOUBLE_EQ(LatitudeOf(150.5), -49.5);
    EXPECT_EQ(LineTypeOf(100.0), 0);
    EXPECT_DOUBLE_EQ(LatitudeOf(100.0), 100.0);
    EXPECT_EQ(LineTypeOf(-89.0), 0);
    EXPECT_EQ(LineTypeOf(1100.0), 5);
    EXPECT_EQ(LineTypeOf(1100.5), 6);
    EXPECT_DOUBLE_EQ(LatitudeOf(1100.5), -99.5);
    for (int type = 0; type < kLineTypes; ++type) {
        const ChartPoint p = ChartPoint::make(-50.25, 1.5, type);
        EXPECT_EQ(p.lineType(), type);
        EXPECT_DOUBLE_EQ(p.lat(), -50.25);
        EXPECT_DOUBLE_EQ(p.lon(), 1.5);
        EXPECT_FALSE(p.isPenUp());
    }
}

TEST(ChartPoint, PenUpIsMinusOneTwice)
{
    const ChartPoint up = ChartPoint::penUp();
    const ChartPoint::Bytes expected { 0x81, 0, 0, 0, 0, 0x80, 0x81, 0, 0, 0, 0, 0x80 };
    EXPECT_EQ(up.bytes(), expected);
    EXPECT_TRUE(up.isPenUp());
    EXPECT_TRUE(ChartPoint().isPenUp());
    EXPECT_FALSE(ChartPoint::fromEncoded(-1.0, 1.0).isPenUp());
    EXPECT_FALSE(ChartPoint::fromEncoded(-1.0, 0.0).isPenUp());
}

TEST(ChartStore, SlotsAboveTheCountArePenUps)
{
    ChartStore store;
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(store.point(10800).isPenUp());
    store.setPoint(1, ChartPoint::make(50, 1));
    store.setPoint(2, ChartPoint::make(51, 1));
    store.setCount(2);
    store.setCount(1);
    EXPECT_TRUE(store.point(2).isPenUp());
    EXPECT_FALSE(store.point(1).isPenUp());
    EXPECT_THROW(store.point(0), std::out_of_range);
    EXPECT_THROW(store.point(10801), std::out_of_range);
    store.LayerMarker = kNoLayers;
    store.clear();
    EXPECT_EQ(store.count(), 0);
    EXPECT_TRUE(store.point(1).isPenUp());
    EXPECT_EQ(store.LayerMarker, kAllLayers);
}

TEST(ChartWaypoint, NameFieldParts)
{
    ChartWaypoint w;
    w.name = WaypointNameField("Bembridge Ledge", 7, 12);
    EXPECT_EQ(w.name.size(), 29u);
    EXPECT_EQ(w.label(), "Bembridge Ledge");
    EXPECT_EQ(w.symbol(), 7);
    EXPECT_EQ(w.parameter(), 12);
    w.name = "short";
    EXPECT_EQ(w.symbol(), -1);
    EXPECT_EQ(WaypointNameField("A very long label that goes on", 19).substr(0, 24), "A very long label that g");
}

TEST(ChartPoint, ValuesTheFormatCannotHoldStayNumbers)
{
    // NaN and infinities cannot be written; the largest exponent reads back as a huge number.
    const ChartPoint nan = ChartPoint::make(std::nan(""), 1.0 / 0.0);
    EXPECT_DOUBLE_EQ(nan.lat(), 0.0);
    EXPECT_TRUE(std::isfinite(nan.lon()));
    std::uint8_t huge[12] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F };
    const ChartPoint p = ChartPoint::fromBytes(huge);
    EXPECT_TRUE(std::isfinite(p.encodedLat()));
    EXPECT_LT(p.encodedLat(), 0.0);
    EXPECT_EQ(p.lineType(), 0);
    EXPECT_GT(p.lon(), 1e37);
    EXPECT_FALSE(p.isPenUp());
    huge[5] = 0x7F; // positive latitude: every threshold exceeded
    EXPECT_EQ(ChartPoint::fromBytes(huge).lineType(), 6);
}
