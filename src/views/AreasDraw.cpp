#include "views/AreasDraw.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace kv {

namespace {

bool IsLight(Rgb c)
{
    const int r = static_cast<int>((c >> 16) & 0xFF), g = static_cast<int>((c >> 8) & 0xFF),
              b = static_cast<int>(c & 0xFF);
    return r * 299 + g * 587 + b * 114 > 128 * 1000;
}

// The geographic box the view shows whatever its rotation, with a margin, so that rings can be
// cut to it before they reach the painter (which then never sees coordinates far off the bitmap).
TilerBox ViewBox(const Projection& p)
{
    const double half = std::hypot(p.halfW, p.halfH) + 64.0;
    const double dLat = half / std::max(1, p.latScale);
    const double dLong = half / std::max(1, p.longScale);
    return TilerBox { p.refLat - dLat, p.refLat + dLat, p.refLong - dLong, p.refLong + dLong };
}

QPointF Pixel(const Projection& p, const TilerPoint& at)
{
    const double dy = (p.refLat - at.lat) * p.latScale;
    const double dx = (p.refLong - at.lon) * p.longScale;
    // The same place PositionToPixel rounds to, by the pixel's centre.
    return QPointF(dx * p.cosA + p.halfW - dy * p.sinA + 0.5, dy * p.cosA + p.halfH + dx * p.sinA + 0.5);
}

void Fill(QPainter& painter, const Projection& p, const TilerBox& box, const ChartArea& area, Rgb colour)
{
    std::vector<QPolygonF> polygons;
    for (const auto& ring : area.rings) {
        if (ring.size() < 3) {
            continue;
        }
        double south = 90, north = -90, east = 1e9, west = -1e9;
        for (const TilerPoint& t : ring) {
            south = std::min(south, t.lat);
            north = std::max(north, t.lat);
            east = std::min(east, t.lon);
            west = std::max(west, t.lon);
        }
        if (north < box.south || south > box.north || west < box.east || east > box.west) {
            continue;
        }
        const bool inside = south >= box.south && north <= box.north && east >= box.east && west <= box.west;
        const std::vector<TilerPoint>* use = &ring;
        ChartAreas cut;
        if (!inside) {
            ChartAreas one;
            one.areas.push_back(ChartArea { area.kind, area.minDepth, area.maxDepth, { ring } });
            cut = ClipChartAreas(one, box);
            if (cut.areas.empty()) {
                continue;
            }
            use = &cut.areas.front().rings.front();
        }
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(use->size()));
        for (const TilerPoint& t : *use) {
            polygon.append(Pixel(p, t));
        }
        polygons.push_back(std::move(polygon));
    }
    if (polygons.empty()) {
        return;
    }
    painter.setBrush(QColor::fromRgb(0xFF000000u | colour));
    if (polygons.size() == 1) {
        // The common case, a ring without holes in view: straight to the polygon filler.
        painter.drawPolygon(polygons.front(), Qt::OddEvenFill);
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    for (const QPolygonF& polygon : polygons) {
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    painter.fillPath(path, painter.brush());
}

} // namespace

const ChartAreas* ChartAreasCache::load(const std::string& path)
{
    struct stat st { };
    const bool exists = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    const long long size = exists ? static_cast<long long>(st.st_size) : -1;
    const long long modified
        = exists ? static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec : -1;
    if (path != path_ || size != size_ || modified != modified_) {
        path_ = path;
        size_ = size;
        modified_ = modified;
        areas_.reset();
        error_.clear();
        if (exists) {
            ChartAreasRead read = ReadChartAreasFile(path);
            areas_ = std::move(read.areas);
            error_ = read.error;
        }
    }
    return areas_ ? &*areas_ : nullptr;
}

AreaColours AreaColoursFor(const SchemeColours& colours)
{
    if (IsLight(colours.background)) {
        return AreaColours { 0xE8D49C, 0x9CC8F0, 0xC8E0F8 }; // buff land, blue shallows as on paper
    }
    return AreaColours { 0x6E5A32, 0x2864B4, 0x143C9C };
}

void DrawChartAreas(QImage& bitmap, const Projection& projection, const ChartAreas& areas, const SchemeColours& colours)
{
    const AreaColours c = AreaColoursFor(colours);
    const TilerBox box = ViewBox(projection);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setCompositionMode(QPainter::CompositionMode_Source); // opaque colours: no blending
    for (WaterShade shade : { WaterShade::Medium, WaterShade::Shallow }) {
        for (const ChartArea& a : areas.areas) {
            if (a.kind == ChartAreaKind::Depth && ShadeOf(a, areas.safetyDepth) == shade) {
                Fill(painter, projection, box, a, shade == WaterShade::Shallow ? c.shallow : c.medium);
            }
        }
    }
    for (const ChartArea& a : areas.areas) {
        if (a.kind == ChartAreaKind::Land) {
            Fill(painter, projection, box, a, c.land);
        }
    }
}

} // namespace kv
