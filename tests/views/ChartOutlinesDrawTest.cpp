#include "views/ChartOutlinesDraw.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kv;

namespace {

// 1000 × 600 pixels centred on 50° N 2° W, 100 pixels per degree of latitude and 50 of longitude.
Projection TestProjection()
{
    Projection p;
    p.refLat = 50.0;
    p.refLong = 2.0;
    p.latScale = 100;
    p.longScale = 50;
    p.width = 1000;
    p.height = 600;
    p.halfW = 500;
    p.halfH = 300;
    p.margin = 600.0;
    return p;
}

struct Picture {
    Picture()
        : image(1000, 600, QImage::Format_RGB32)
    {
        image.fill(QColor::fromRgb(0xFF000080u));
    }
    Rgb at(int x, int y) const { return image.pixel(x, y) & 0xFFFFFFu; }
    bool anySilverIn(int x0, int y0, int x1, int y1) const
    {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (at(x, y) == kSilver) {
                    return true;
                }
            }
        }
        return false;
    }
    QImage image;
};

} // namespace

TEST(ChartOutlinesDraw, DrawsTheRectangleWithTheChartPenAndTheNameInsideItsNorthWestCorner)
{
    Picture pic;
    RenderCanvas canvas(pic.image);
    const SchemeColours colours;
    // North 51 → y 200, south 49 → y 400, west 3 → x 450, east 1 → x 550.
    const int named = DrawChartOutlines(canvas, TestProjection(), colours, { { "solent", 51.0, 49.0, 3.0, 1.0 } });
    EXPECT_EQ(named, 1);
    for (auto [x, y] : { std::pair { 500, 200 }, { 500, 400 }, { 450, 300 }, { 550, 300 } }) {
        EXPECT_EQ(pic.at(x, y), colours.foreground) << x << "," << y;
    }
    EXPECT_EQ(pic.at(500, 300), kNavy);
    EXPECT_EQ(pic.at(449, 300), kNavy);
    EXPECT_TRUE(pic.anySilverIn(455, 204, 545, 230));
    EXPECT_FALSE(pic.anySilverIn(0, 0, 449, 599));
}

TEST(ChartOutlinesDraw, EdgesOfAChartReachingFarOffThePictureStillShowButNoName)
{
    Picture pic;
    RenderCanvas canvas(pic.image);
    const SchemeColours colours;
    // The north edge lies 2200 pixels above the picture: beyond the chart lines' margin of 600,
    // within five times it.
    const int named = DrawChartOutlines(canvas, TestProjection(), colours, { { "big", 75.0, 49.0, 3.0, 1.0 } });
    EXPECT_EQ(named, 0);
    EXPECT_EQ(pic.at(450, 100), colours.foreground); // west edge
    EXPECT_EQ(pic.at(550, 100), colours.foreground); // east edge
    EXPECT_EQ(pic.at(500, 400), colours.foreground); // south edge
    EXPECT_FALSE(pic.anySilverIn(0, 0, 999, 599));
}
