#include "views/EditRefresh.h"

#include "views/RenderCanvas.h"

namespace kv {

bool CursorShown(const ViewSet& set, const ChartView& v, Pixel p)
{
    ShownArea area { 0, 0, v.bitmap.width(), v.bitmap.height() };
    if (set.hooks.shownArea) {
        area = set.hooks.shownArea(v);
    }
    return p.x >= area.x + kEditEdgeMargin && p.x < area.x + area.width - kEditEdgeMargin
        && p.y >= area.y + kEditEdgeMargin && p.y < area.y + area.height - kEditEdgeMargin;
}

void KeepCursorAt(ViewSet& set, ChartView& v, double lat, double lon)
{
    Fix& cursor = set.state().fixInfo;
    if (cursor.OwnLat == lat && cursor.OwnLong == lon) {
        return;
    }
    cursor.OwnLat = lat;
    cursor.OwnLong = lon;
    const auto p = PositionToPixel(v.projection, lat, lon);
    if (!p) {
        return;
    }
    RenderCanvas canvas(v.bitmap);
    DrawCursorCross(canvas, v.cursorX, v.cursorY); // the cross drawn in the middle goes
    v.cursorX = p->x;
    v.cursorY = p->y;
    DrawCursorCross(canvas, p->x, p->y);
    set.state().display.PosnPanel = set.PixelToPosition(v, p->x, p->y, 4, false);
}

void RedrawInPlace(ViewSet& set, ChartView& v)
{
    const Fix& cursor = set.state().fixInfo;
    const double lat = cursor.OwnLat;
    const double lon = cursor.OwnLong;
    const double centreLat = v.centreLat;
    const double centreLong = v.centreLong;
    v.centreLat = v.referenceLat();
    v.centreLong = v.referenceLong();
    set.Redraw(v);
    KeepCursorAt(set, v, lat, lon);
    v.centreLat = centreLat;
    v.centreLong = centreLong;
}

void RefreshKeepingViews(ViewSet& set)
{
    const Fix& cursor = set.state().fixInfo;
    for (int i = 0; i < set.count(); ++i) {
        ChartView& v = set.view(i);
        const auto p = v.bitmap.isNull() ? std::nullopt : PositionToPixel(v.projection, cursor.OwnLat, cursor.OwnLong);
        if (p && CursorShown(set, v, *p)) {
            const double lat = cursor.OwnLat;
            const double lon = cursor.OwnLong;
            v.centreLat = v.referenceLat();
            v.centreLong = v.referenceLong();
            set.Redraw(v);
            KeepCursorAt(set, v, lat, lon);
            // As a click leaves it: the next zoom or re-centre is about the cursor.
            v.centreLat = lat;
            v.centreLong = lon;
        } else {
            v.centreLat = cursor.OwnLat;
            v.centreLong = cursor.OwnLong;
            set.ReCentre(v);
        }
    }
}

} // namespace kv
