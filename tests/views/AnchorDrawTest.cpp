// The anchor watch on a view: the circle at the watch radius around the anchor, and nothing while
// no anchor is down.

#include "views/AnchorDraw.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kv;

namespace {

// 600 × 600 pixels centred on 50° N 2° W at 100000 pixels per degree of latitude (about 0.9
// pixel a metre) and half as many per degree of longitude.
Projection AnchorProjection()
{
    Projection p;
    p.refLat = 50.0;
    p.refLong = 2.0;
    p.latScale = 100000;
    p.longScale = 50000;
    p.width = 600;
    p.height = 600;
    p.halfW = 300;
    p.halfH = 300;
    p.margin = 600.0;
    return p;
}

int FuchsiaIn(const QImage& image, int x0, int y0, int x1, int y1)
{
    int n = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            n += (image.pixel(x, y) & 0xFFFFFFu) == kFuchsia ? 1 : 0;
        }
    }
    return n;
}

TEST(AnchorDraw, CircleAtTheRadiusAroundTheAnchorOnlyWhileItIsDown)
{
    for (const bool down : { false, true }) {
        SCOPED_TRACE(down);
        QImage image(600, 600, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(0xFF000080u));
        RenderCanvas canvas(image);
        Projection projection = AnchorProjection();
        const SchemeColours colours;
        Plotter plotter(canvas, projection, colours);
        ExtraSettings extra;
        extra.AnchorSet = down;
        extra.AnchorLat = 50.0;
        extra.AnchorLong = 2.0;
        extra.AnchorRadiusM = 100; // 100 / 1852 / 60 degrees: 90 pixels north and south
        DrawAnchorWatch(plotter, extra);
        const int north = FuchsiaIn(image, 290, 205, 310, 215);
        const int south = FuchsiaIn(image, 290, 385, 310, 395);
        const int between = FuchsiaIn(image, 290, 230, 310, 280) + FuchsiaIn(image, 290, 320, 310, 370);
        EXPECT_EQ(north > 0, down);
        EXPECT_EQ(south > 0, down);
        EXPECT_EQ(between, 0);
        EXPECT_EQ(FuchsiaIn(image, 295, 295, 305, 305) > 0, down) << "the cross at the anchor";
    }
}

} // namespace
