#pragma once
// A chart portfolio cut from one large drawing: rectangular tiles small enough that each fits the
// chart store once simplified for the scale it is shown at, plus one overview of the whole area.
// Nothing here reads a vector source or draws: the importer hands in lines, the caller writes the
// files (WritePortfolio) and prints the summary.

#include "charts/ChartFiles.h"
#include "charts/ChartStore.h"

#include <functional>
#include <string>
#include <vector>

namespace kv {

// Positions as everywhere in the charts: latitude north-positive, longitude west-positive.
struct TilerPoint {
    double lat = 0.0;
    double lon = 0.0;
    friend bool operator==(const TilerPoint&, const TilerPoint&) = default;
};

struct TilerLine {
    std::vector<TilerPoint> points;
    int lineType = 0;
    // Land and sea areas: their outlines are only coastline, so where the source itself was cut
    // (or a tile cuts it) the straight edge along the cut is not part of the drawing.
    bool polygon = false;
};

// A latitude/longitude rectangle; longitudes west-positive, so west > east.
struct TilerBox {
    double south = 0.0, north = 0.0;
    double east = 0.0, west = 0.0;
    double centreLat() const { return (south + north) / 2.0; }
    double centreLong() const { return (east + west) / 2.0; }
    bool contains(const TilerPoint& p) const
    {
        return p.lat >= south && p.lat <= north && p.lon >= east && p.lon <= west;
    }
};

struct PortfolioOptions {
    std::string prefix = "Chart";
    long long maxRecords = static_cast<long long>(kChartCapacity); // points and pen-ups of one tile
    // The overview is one chart of the whole area, held to the store whatever the tiles are held to.
    long long overviewMaxRecords = static_cast<long long>(kChartCapacity);
    double tolerancePx = 0.5; // at the chart's own full-chart zoom
    int viewWidth = 1024; // the view a chart's zoom fills
    int viewHeight = 768;
    int maxCharts = 100; // what one chart folder's index holds, overview included
    // More than lines can make a tile too full (the waypoints an importer puts in it): the grid
    // is split again while this says no for a tile's box. None: only the records count.
    std::function<bool(const TilerBox&)> tileFits;
    // A tile without lines is left out unless this says it holds something else.
    std::function<bool(const TilerBox&)> keepWithoutLines;
};

// The pixel scales of a view of viewWidth × viewHeight centred at centreLat at the given zoom:
// the same base scales and rounding as a chart view uses.
struct PixelScales {
    double lat = 0.0; // pixels per degree of latitude
    double lon = 0.0; // pixels per degree of longitude
};
PixelScales ViewScales(double centreLat, double zoom, int viewWidth, int viewHeight);

// The zoom at which a view of viewWidth × viewHeight centred on the box shows all of it.
double FullChartZoom(const TilerBox& box, int viewWidth, int viewHeight);

// The parts of the lines inside the box (edges included). Where a line leaves and re-enters the
// box the parts are separate lines; for polygon lines, edges lying on the box's sides are left
// out as well, so nothing is drawn along a cut.
std::vector<TilerLine> ClipLines(const std::vector<TilerLine>& lines, const TilerBox& box);

// Douglas-Peucker on each line in the pixels of the given scales; ends are kept. A line whose
// points all collapse onto its first keeps two points (it still marks the spot). With a cut box,
// a polygon line is never simplified into an edge along one of the box's sides.
std::vector<TilerLine> SimplifyLines(const std::vector<TilerLine>& lines, const PixelScales& scales, double tolerancePx,
    const TilerBox* cutBox = nullptr);

// Records a chart of these lines takes: their points and one pen-up between two lines.
long long RecordsOf(const std::vector<TilerLine>& lines);
long long PointsOf(const std::vector<TilerLine>& lines);
// The chart records (without the terminating pen-up every file ends with).
std::vector<ChartPoint> ChartRecordsOf(const std::vector<TilerLine>& lines);

struct PortfolioChart {
    std::string name;
    TilerBox box; // the area the chart was cut to
    ChartConfig config; // centre, zoom and zero offsets
    std::vector<TilerLine> lines;
    long long sourcePoints = 0; // points inside the box before simplification
    long long simplifiedAway = 0; // of those, how many simplification removed
    long long droppedLines = 0; // overview only: smallest lines left out to fit
    double tolerancePx = 0.0; // the tolerance actually used
};

struct Portfolio {
    std::vector<PortfolioChart> tiles; // in name order; tiles without any line are not written
    PortfolioChart overview;
    int gridSize = 1; // tiles per side of the grid
    std::string error; // empty when the portfolio was built
};

// Cuts the area into an even grid of 1, 2 × 2, 4 × 4 ... tiles, splitting every tile in four
// while any of them does not fit the store; tiles are named <prefix>-<column letter><row number>
// (A1 the north-west tile). The overview is <prefix>Portfolio. Deterministic.
Portfolio BuildPortfolio(const std::vector<TilerLine>& lines, const TilerBox& area, const PortfolioOptions& options);

// Writes <name>.cht and <name>.cfg of every tile and of the overview into folder (which must
// exist). False with a message on the first file that cannot be written.
bool WritePortfolio(const Portfolio& portfolio, const std::string& folder, std::string& error);

} // namespace kv
