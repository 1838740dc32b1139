#include "charts/ChartTiler.h"

#include "charts/ChartIndex.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMinZoom = 0.03125;
constexpr double kMaxZoom = 12000.0;
// Two positions this close (degrees, well under a millimetre) are on the same cut line.
constexpr double kOnLine = 1e-9;

// The base scales (pixels per degree at zoom 1) of a view of this size centred at centreLat.
PixelScales BaseScales(double centreLat, int viewWidth, int viewHeight)
{
    const double cosLat = std::cos(std::clamp(centreLat, -80.0, 84.0) * kPi / 180.0);
    PixelScales s;
    s.lat = static_cast<double>(RoundHalfEven(viewHeight / 200.0 * 38.0 * 0.63 / cosLat));
    s.lon = static_cast<double>(RoundHalfEven(viewWidth / 640.0 * 55.0));
    return s;
}

// Which side of the box a clipped end was cut at, so that it can be put exactly on it.
enum Side { kNone = -1, kEastSide, kWestSide, kSouthSide, kNorthSide };

struct SegmentClip {
    bool visible = false;
    double t0 = 0.0, t1 = 1.0;
    Side side0 = kNone, side1 = kNone;
};

// Liang-Barsky against the box, edges inclusive.
SegmentClip ClipSegment(const TilerPoint& a, const TilerPoint& b, const TilerBox& box)
{
    SegmentClip c;
    const double dx = b.lon - a.lon;
    const double dy = b.lat - a.lat;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { a.lon - box.east, box.west - a.lon, a.lat - box.south, box.north - a.lat };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return c;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0) {
            if (r > c.t1) {
                return c;
            }
            if (r > c.t0) {
                c.t0 = r;
                c.side0 = static_cast<Side>(i);
            }
        } else {
            if (r < c.t0) {
                return c;
            }
            if (r < c.t1) {
                c.t1 = r;
                c.side1 = static_cast<Side>(i);
            }
        }
    }
    c.visible = c.t0 <= c.t1;
    return c;
}

TilerPoint PointAt(const TilerPoint& a, const TilerPoint& b, double t, Side side, const TilerBox& box)
{
    if (t <= 0.0) {
        return a;
    }
    if (t >= 1.0) {
        return b;
    }
    TilerPoint p { a.lat + t * (b.lat - a.lat), a.lon + t * (b.lon - a.lon) };
    // On the cut line exactly, so that the tiles on both sides of it meet without a gap.
    switch (side) {
    case kEastSide:
        p.lon = box.east;
        break;
    case kWestSide:
        p.lon = box.west;
        break;
    case kSouthSide:
        p.lat = box.south;
        break;
    case kNorthSide:
        p.lat = box.north;
        break;
    case kNone:
        break;
    }
    p.lat = std::clamp(p.lat, box.south, box.north);
    p.lon = std::clamp(p.lon, box.east, box.west);
    return p;
}

bool OnSameSide(const TilerPoint& u, const TilerPoint& v, const TilerBox& box)
{
    auto near = [](double a, double b) { return std::fabs(a - b) <= kOnLine; };
    return (near(u.lat, box.south) && near(v.lat, box.south)) || (near(u.lat, box.north) && near(v.lat, box.north))
        || (near(u.lon, box.east) && near(v.lon, box.east)) || (near(u.lon, box.west) && near(v.lon, box.west));
}

bool AllSame(const std::vector<TilerPoint>& points)
{
    return std::all_of(points.begin(), points.end(), [&](const TilerPoint& p) { return p == points.front(); });
}

void ClipOne(const TilerLine& line, const TilerBox& box, std::vector<TilerLine>& out)
{
    const auto& pts = line.points;
    if (pts.size() < 2) {
        return;
    }
    std::vector<std::vector<TilerPoint>> runs;
    bool open = false;
    bool firstRunAtStart = false; // the first run begins at the line's first point
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const TilerPoint& a = pts[i];
        const TilerPoint& b = pts[i + 1];
        const SegmentClip c = ClipSegment(a, b, box);
        if (!c.visible) {
            open = false;
            continue;
        }
        const TilerPoint from = PointAt(a, b, c.t0, c.side0, box);
        const TilerPoint to = PointAt(a, b, c.t1, c.side1, box);
        if (open && c.t0 <= 0.0) {
            runs.back().push_back(to);
        } else {
            if (runs.empty() && i == 0 && c.t0 <= 0.0) {
                firstRunAtStart = true;
            }
            runs.push_back({ from, to });
        }
        open = c.t1 >= 1.0;
    }
    // A ring cut open: the run through its first point continues the run that ends at its last.
    if (line.polygon && pts.front() == pts.back() && runs.size() >= 2 && firstRunAtStart && open) {
        std::vector<TilerPoint> joined = std::move(runs.back());
        joined.insert(joined.end(), runs.front().begin() + 1, runs.front().end());
        runs.pop_back();
        runs.front() = std::move(joined);
    }
    for (auto& run : runs) {
        std::vector<std::vector<TilerPoint>> pieces(1);
        pieces.back().push_back(run.front());
        for (std::size_t i = 1; i < run.size(); ++i) {
            if (line.polygon && OnSameSide(run[i - 1], run[i], box)) {
                pieces.emplace_back();
            }
            pieces.back().push_back(run[i]);
        }
        for (auto& piece : pieces) {
            if (piece.size() >= 2 && !AllSame(piece)) {
                out.push_back(TilerLine { std::move(piece), line.lineType, line.polygon });
            }
        }
    }
}

double PixelDistance(const TilerPoint& p, const TilerPoint& a, const TilerPoint& b, const PixelScales& s)
{
    const double px = p.lon * s.lon, py = p.lat * s.lat;
    const double ax = a.lon * s.lon, ay = a.lat * s.lat;
    const double dx = b.lon * s.lon - ax, dy = b.lat * s.lat - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Douglas-Peucker, iterative so that long coastlines do not deepen the stack. A polygon's dent
// into the box shallower than the tolerance would become a chord along the cut line, the one
// edge a tile must not draw: such a chord is always split at its farthest point.
std::vector<TilerPoint> Simplify(
    const std::vector<TilerPoint>& v, const PixelScales& s, double tolerance, const TilerBox* cutBox)
{
    if (v.size() < 3) {
        return v;
    }
    std::vector<char> keep(v.size(), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<std::size_t, std::size_t>> stack { { 0, v.size() - 1 } };
    while (!stack.empty()) {
        const auto [first, last] = stack.back();
        stack.pop_back();
        double worst = -1.0;
        std::size_t index = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = PixelDistance(v[i], v[first], v[last], s);
            if (d > worst) {
                worst = d;
                index = i;
            }
        }
        const bool alongCut = cutBox != nullptr && worst > 0.0 && OnSameSide(v[first], v[last], *cutBox);
        if (worst > tolerance || alongCut) {
            keep[index] = 1;
            stack.push_back({ first, index });
            stack.push_back({ index, last });
        }
    }
    std::vector<TilerPoint> out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (keep[i]) {
            out.push_back(v[i]);
        }
    }
    return out;
}

TilerBox CellBox(const TilerBox& area, int n, int row, int column)
{
    // Every cut line comes from the same expression on both of its sides (and at every level,
    // n being a power of two), so neighbouring tiles share their edges to the last bit.
    const double latSpan = area.north - area.south;
    const double longSpan = area.west - area.east;
    TilerBox b;
    b.north = area.north - latSpan * row / n;
    b.south = area.north - latSpan * (row + 1) / n;
    b.west = area.west - longSpan * column / n;
    b.east = area.west - longSpan * (column + 1) / n;
    return b;
}

std::string TileId(int row, int column)
{
    return std::string(1, static_cast<char>('A' + column)) + std::to_string(row + 1);
}

ChartConfig ConfigAt(double lat, double lon, double zoom)
{
    ChartConfig c;
    c.centreLat = lat;
    c.centreLong = lon;
    c.zoom = zoom;
    c.reserved = 0;
    c.latOffset = 0.0;
    c.longOffset = 0.0;
    return c;
}

double Extent(const TilerLine& l)
{
    double latMin = 1e9, latMax = -1e9, lonMin = 1e9, lonMax = -1e9;
    for (const auto& p : l.points) {
        latMin = std::min(latMin, p.lat);
        latMax = std::max(latMax, p.lat);
        lonMin = std::min(lonMin, p.lon);
        lonMax = std::max(lonMax, p.lon);
    }
    return (latMax - latMin) + (lonMax - lonMin);
}

double Distance2(const TilerPoint& a, double lat, double lon, double c)
{
    const double dLat = a.lat - lat;
    const double dLong = (a.lon - lon) * c;
    return dLat * dLat + dLong * dLong;
}

// The nearest-chart rule picks the chart whose centre is nearest the vessel, and the overview's
// configuration sits in the folder with the tiles. On an even grid the nearest tile centre is
// always the tile the vessel is in; the overview must therefore never be nearer than that tile
// anywhere inside a tile. True when every corner of every tile (and so, the condition being a
// half-plane, every point of it) is strictly nearer its own centre than the overview centre, for
// any cosine the current chart's latitude can bring.
bool OverviewStaysClear(
    const std::vector<PortfolioChart>& tiles, double lat, double lon, const std::vector<double>& cosines)
{
    for (const PortfolioChart& t : tiles) {
        const TilerPoint corners[4] = { { t.box.south, t.box.east }, { t.box.south, t.box.west },
            { t.box.north, t.box.east }, { t.box.north, t.box.west } };
        for (const TilerPoint& p : corners) {
            for (double c : cosines) {
                const double own = Distance2(p, t.config.centreLat, t.config.centreLong, c);
                const double overview = Distance2(p, lat, lon, c);
                if (!(overview > own * (1.0 + 1e-9) + 1e-14)) {
                    return false;
                }
            }
        }
    }
    return true;
}

// The overview's zoom from a centre at (lat, lon): the whole area in the view.
double ZoomShowingArea(const TilerBox& area, double lat, double lon, int w, int h)
{
    const double halfLat = std::max(area.north - lat, lat - area.south);
    const double halfLong = std::max(area.west - lon, lon - area.east);
    return FullChartZoom(TilerBox { lat - halfLat, lat + halfLat, lon - halfLong, lon + halfLong }, w, h);
}

// Where the overview's configuration puts its centre. Named plain "Portfolio", the overview is
// left out of the index and the nearest-chart rule never starts from it, so it sits in the middle
// of the area. Under any other name it is moved just outside one side of the area, as little as
// keeps it clear of every tile (OverviewStaysClear); of the four sides the one that leaves the
// largest overview zoom wins, south, north, west, east in that order on a tie. (Only north and
// south can be clear for every cosine: with longitude counting for almost nothing, a centre level
// with a row of tiles would be as near as their own centres.)
void PlaceOverview(PortfolioChart& overview, const std::vector<PortfolioChart>& tiles, const TilerBox& area,
    const PortfolioOptions& o, int gridSize)
{
    double lat = area.centreLat();
    double lon = area.centreLong();
    double zoom = FullChartZoom(area, o.viewWidth, o.viewHeight);
    if (ToUpperAscii(overview.name) != kPortfolioName && !tiles.empty()) {
        const double tileLat = (area.north - area.south) / gridSize;
        const double tileLong = (area.west - area.east) / gridSize;
        double bestZoom = -1.0;
        for (int side = 0; side < 4; ++side) {
            for (int k = 1; k <= 64 * gridSize; ++k) {
                double cLat = area.centreLat(), cLon = area.centreLong();
                switch (side) {
                case 0:
                    cLat = area.south - k * tileLat / 16.0;
                    break;
                case 1:
                    cLat = area.north + k * tileLat / 16.0;
                    break;
                case 2:
                    cLon = area.west + k * tileLong / 16.0;
                    break;
                default:
                    cLon = area.east - k * tileLong / 16.0;
                    break;
                }
                // The current chart may lie anywhere (the world chart, another folder's chart),
                // so every cosine from that of 84 degrees to 1; the condition being linear in the
                // square of the cosine, the two ends cover all between.
                const std::vector<double> cosines { std::cos(84.0 * kPi / 180.0), 1.0 };
                if (OverviewStaysClear(tiles, cLat, cLon, cosines)) {
                    const double z = ZoomShowingArea(area, cLat, cLon, o.viewWidth, o.viewHeight);
                    if (z > bestZoom) {
                        bestZoom = z;
                        lat = cLat;
                        lon = cLon;
                        zoom = z;
                    }
                    break;
                }
            }
        }
    }
    overview.config = ConfigAt(lat, lon, zoom);
}

void FitOverview(PortfolioChart& overview, const std::vector<TilerLine>& source, const PortfolioOptions& o)
{
    const PixelScales scales = ViewScales(overview.config.centreLat, overview.config.zoom, o.viewWidth, o.viewHeight);
    double tolerance = o.tolerancePx;
    auto simplify = [&](double tol) { return SimplifyLines(source, scales, tol, &overview.box); };
    std::vector<TilerLine> lines = simplify(tolerance);
    // Up to a few pixels the overview still looks like the coast; past that the smallest lines go.
    while (RecordsOf(lines) > o.overviewMaxRecords && tolerance < 8.0) {
        tolerance *= 1.25;
        lines = simplify(tolerance);
    }
    if (RecordsOf(lines) > o.overviewMaxRecords) {
        std::stable_sort(
            lines.begin(), lines.end(), [](const TilerLine& a, const TilerLine& b) { return Extent(a) > Extent(b); });
        while (!lines.empty() && RecordsOf(lines) > o.overviewMaxRecords) {
            lines.pop_back();
            ++overview.droppedLines;
        }
    }
    overview.sourcePoints = PointsOf(source);
    overview.simplifiedAway = overview.sourcePoints - PointsOf(lines);
    overview.tolerancePx = tolerance;
    overview.lines = std::move(lines);
}

} // namespace

PixelScales ViewScales(double centreLat, double zoom, int viewWidth, int viewHeight)
{
    const PixelScales base = BaseScales(centreLat, viewWidth, viewHeight);
    return PixelScales { static_cast<double>(RoundHalfEven(base.lat * zoom)),
        static_cast<double>(RoundHalfEven(base.lon * zoom)) };
}

double FullChartZoom(const TilerBox& box, int viewWidth, int viewHeight)
{
    const PixelScales base = BaseScales(box.centreLat(), viewWidth, viewHeight);
    const double spanLat = std::max(box.north - box.south, 1e-9);
    const double spanLong = std::max(box.west - box.east, 1e-9);
    // The view rounds its scales to whole pixels per degree: take the largest whole scale that
    // still fits, so that the rounding cannot push the box's edges out of the view.
    auto fit = [](double pixelsPerDegree, double base) {
        return (pixelsPerDegree >= 1.0 ? std::floor(pixelsPerDegree) : pixelsPerDegree) / base;
    };
    const double zoom = std::min(fit(viewHeight / spanLat, base.lat), fit(viewWidth / spanLong, base.lon));
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

std::vector<TilerLine> ClipLines(const std::vector<TilerLine>& lines, const TilerBox& box)
{
    std::vector<TilerLine> out;
    for (const TilerLine& line : lines) {
        // Most lines of a large source lie wholly outside a small tile: a bounding-box look first.
        bool anyInside = false;
        double latMin = std::numeric_limits<double>::max(), latMax = -latMin, lonMin = latMin, lonMax = -latMin;
        for (const TilerPoint& p : line.points) {
            latMin = std::min(latMin, p.lat);
            latMax = std::max(latMax, p.lat);
            lonMin = std::min(lonMin, p.lon);
            lonMax = std::max(lonMax, p.lon);
        }
        anyInside = latMax >= box.south && latMin <= box.north && lonMax >= box.east && lonMin <= box.west;
        if (anyInside) {
            ClipOne(line, box, out);
        }
    }
    return out;
}

std::vector<TilerLine> SimplifyLines(
    const std::vector<TilerLine>& lines, const PixelScales& scales, double tolerancePx, const TilerBox* cutBox)
{
    std::vector<TilerLine> out;
    out.reserve(lines.size());
    for (const TilerLine& line : lines) {
        TilerLine s { Simplify(line.points, scales, tolerancePx, line.polygon ? cutBox : nullptr), line.lineType,
            line.polygon };
        if (s.points.size() == 1) {
            s.points.push_back(s.points.front());
        }
        if (s.points.size() >= 2) {
            out.push_back(std::move(s));
        }
    }
    return out;
}

long long PointsOf(const std::vector<TilerLine>& lines)
{
    long long n = 0;
    for (const auto& l : lines) {
        n += static_cast<long long>(l.points.size());
    }
    return n;
}

long long RecordsOf(const std::vector<TilerLine>& lines)
{
    return lines.empty() ? 0 : PointsOf(lines) + static_cast<long long>(lines.size()) - 1;
}

std::vector<ChartPoint> ChartRecordsOf(const std::vector<TilerLine>& lines)
{
    std::vector<ChartPoint> records;
    records.reserve(static_cast<std::size_t>(RecordsOf(lines)));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            records.push_back(ChartPoint::penUp());
        }
        for (const TilerPoint& p : lines[i].points) {
            double lon = p.lon;
            // A line-type-0 point exactly at 1 S 1 E would read back as a pen-up.
            if (lines[i].lineType == 0 && p.lat == -1.0 && lon == -1.0) {
                lon = std::nextafter(-1.0, 0.0);
            }
            records.push_back(ChartPoint::make(p.lat, lon, lines[i].lineType));
        }
    }
    return records;
}

Portfolio BuildPortfolio(const std::vector<TilerLine>& lines, const TilerBox& area, const PortfolioOptions& o)
{
    Portfolio portfolio;
    if (!(area.north > area.south) || !(area.west > area.east)) {
        portfolio.error = "the area is empty (south must be below north and west of east)";
        return portfolio;
    }
    const std::vector<TilerLine> root = ClipLines(lines, area);

    // One level of the grid at a time: every cell is cut from its parent's lines, and the grid
    // is split again while any cell is too full. An even grid, rather than splitting only the
    // full tiles, keeps every tile the nearest chart to a vessel inside it.
    std::vector<std::vector<TilerLine>> cells { root };
    int n = 1;
    constexpr int kMaxGrid = 16; // column letters A to P
    for (;;) {
        portfolio.tiles.clear();
        bool allFit = true;
        for (int row = 0; row < n; ++row) {
            for (int column = 0; column < n; ++column) {
                const auto& cell = cells[static_cast<std::size_t>(row) * n + column];
                if (cell.empty() && !(o.keepWithoutLines && o.keepWithoutLines(CellBox(area, n, row, column)))) {
                    continue;
                }
                PortfolioChart tile;
                tile.name = o.prefix + "-" + TileId(row, column);
                tile.box = CellBox(area, n, row, column);
                const double zoom = FullChartZoom(tile.box, o.viewWidth, o.viewHeight);
                tile.config = ConfigAt(tile.box.centreLat(), tile.box.centreLong(), zoom);
                tile.tolerancePx = o.tolerancePx;
                tile.lines = SimplifyLines(
                    cell, ViewScales(tile.box.centreLat(), zoom, o.viewWidth, o.viewHeight), o.tolerancePx, &tile.box);
                tile.sourcePoints = PointsOf(cell);
                tile.simplifiedAway = tile.sourcePoints - PointsOf(tile.lines);
                if (RecordsOf(tile.lines) > o.maxRecords || (o.tileFits && !o.tileFits(tile.box))) {
                    allFit = false;
                }
                portfolio.tiles.push_back(std::move(tile));
            }
        }
        if (allFit) {
            break;
        }
        if (n * 2 > kMaxGrid) {
            portfolio.error = "a tile of a " + std::to_string(n) + " x " + std::to_string(n)
                + " grid still holds more than " + std::to_string(o.maxRecords)
                + " records; use a smaller area or a larger --tolerance-px";
            return portfolio;
        }
        std::vector<std::vector<TilerLine>> next(static_cast<std::size_t>(4 * n * n));
        for (int row = 0; row < 2 * n; ++row) {
            for (int column = 0; column < 2 * n; ++column) {
                const auto& parent = cells[static_cast<std::size_t>(row / 2) * n + column / 2];
                next[static_cast<std::size_t>(row) * 2 * n + column]
                    = ClipLines(parent, CellBox(area, 2 * n, row, column));
            }
        }
        cells = std::move(next);
        n *= 2;
    }
    portfolio.gridSize = n;
    std::sort(portfolio.tiles.begin(), portfolio.tiles.end(),
        [](const PortfolioChart& a, const PortfolioChart& b) { return a.name < b.name; });
    if (static_cast<int>(portfolio.tiles.size()) + 1 > o.maxCharts) {
        portfolio.error = std::to_string(portfolio.tiles.size()) + " tiles and the overview are more than the "
            + std::to_string(o.maxCharts)
            + " charts a chart folder's index holds; use a smaller area or a larger --tolerance-px";
        return portfolio;
    }

    portfolio.overview.name = o.prefix + "Portfolio";
    portfolio.overview.box = area;
    PlaceOverview(portfolio.overview, portfolio.tiles, area, o, n);
    FitOverview(portfolio.overview, root, o);
    return portfolio;
}

bool WritePortfolio(const Portfolio& portfolio, const std::string& folder, std::string& error)
{
    std::vector<const PortfolioChart*> charts;
    for (const auto& t : portfolio.tiles) {
        charts.push_back(&t);
    }
    charts.push_back(&portfolio.overview);
    for (const PortfolioChart* chart : charts) {
        std::vector<ChartPoint> records = ChartRecordsOf(chart->lines);
        records.push_back(ChartPoint::penUp()); // the terminator every chart file ends with
        const std::string chartPath = JoinPath(folder, chart->name + ".cht");
        if (!WriteFileAtomic(chartPath, ChartRecordBytes(records))) {
            error = "cannot write " + chartPath;
            return false;
        }
        const std::string configPath = ChartConfigPath(chartPath);
        if (!WriteChartConfigFile(configPath, chart->config)) {
            error = "cannot write " + configPath;
            return false;
        }
    }
    return true;
}

} // namespace kv
