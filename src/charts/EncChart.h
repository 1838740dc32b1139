#pragma once
// Official vector charts (S-57 ENC cells) turned into this program's charts: the choices that do
// not depend on how a cell is read. A reader (kvtool enc-import, through GDAL) hands in the
// cell's features by object class with their attributes as text; this part chooses line types,
// waypoint symbols and names, thins the soundings, and cuts everything into a portfolio of tiles
// with their waypoint databases and areas files.

#include "charts/ChartAreas.h"
#include "charts/ChartTiler.h"
#include "charts/ChartWaypoints.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// Attribute acronym → value as text; list values (COLOUR, CATLIT ...) comma-separated.
using EncAttributes = std::map<std::string, std::string>;

struct EncFeature {
    std::string objectClass; // DEPCNT, LIGHTS, ...
    EncAttributes attributes;
    std::vector<TilerPoint> points; // point features; soundings (with depths)
    std::vector<double> depths; // SOUNDG: one depth per point
    std::vector<std::vector<TilerPoint>> lines; // line features
    std::vector<std::vector<TilerPoint>> rings; // area features: outer ring(s) and holes
};

struct EncCellInfo {
    std::string name; // the data set name, e.g. "GB5X01SE.000"
    long long scale = 0; // compilation scale, 1:scale
    std::string edition;
    std::string update; // number of the last update applied
    std::string updateDate; // YYYYMMDD
    std::string issueDate;
    std::string comment; // the producer's comment on the data set
};

// Line types (0-6) of the chart lines.
inline constexpr int kEncCoastType = 0; // COALNE, SLCONS, outline of LNDARE
inline constexpr int kEncDryingType = 1; // depth contour 0 m and above (drying line)
inline constexpr int kEncChannelType = 2; // fairways, dredged areas, traffic separation
inline constexpr int kEncShallowContourType = 3;
inline constexpr int kEncSafetyContourType = 4;
inline constexpr int kEncDeepContourType = 6;

// The safety contour: the shallowest contour value at or deeper than the safety depth.
std::optional<double> SafetyContour(const std::vector<double>& contourValues, double safetyDepth);
int DepthContourType(double value, std::optional<double> safetyContour);

// The waypoint symbol (Part of the 37 the views draw) nearest to an aid to navigation or danger;
// nothing for a class that is not one.
std::optional<int> EncSymbol(const std::string& objectClass, const EncAttributes& attributes);
bool IsEncPointObject(const std::string& objectClass);

// A light's character as a navigator reads it: "Fl(2)R.10s", "Iso.4s", "Q(6)+LFl.15s", "F.G".
// Empty when the light has no character.
std::string LightCharacter(const EncAttributes& lightAttributes);

// A depth as a sounding or a danger's depth is written: one decimal below 31 m ("3.2", "0.5"),
// whole metres deeper ("45"); a drying height is underlined on paper, here it has a leading "-".
std::string DepthText(double metres);

// The 24-character label of an aid: its name and what it shows, the name cut to leave the
// light's character whole.
std::string EncLabel(const std::string& name, const std::string& detail);

struct EncImportOptions {
    std::string prefix = "ENC";
    double safetyDepth = 5.0;
    PortfolioOptions portfolio;
    // Label boxes of soundings at a tile's zoom, pixels per character and the line height.
    int charWidth = 7;
    int lineHeight = 12;
};

struct EncTile {
    PortfolioChart chart; // lines and configuration (from the tiler)
    std::vector<ChartWaypoint> waypoints;
    ChartAreas areas;
    int aids = 0;
    int soundingsKept = 0;
    int soundingsDropped = 0;
    std::string info; // the chart information text (.inf)
};

struct EncPortfolio {
    std::vector<EncTile> tiles;
    EncTile overview;
    int gridSize = 1;
    int aidsOutside = 0; // aids in no tile (none, unless the tiler leaves a tile out)
    std::optional<double> safetyContour;
    std::string error;
};

// Everything of the cells in one portfolio. Fails (error set, nothing built) when the cells hold
// none of the line classes a chart is made of.
EncPortfolio BuildEncPortfolio(
    const std::vector<EncFeature>& features, const std::vector<EncCellInfo>& cells, const EncImportOptions& options);

// Writes the charts, configurations, waypoint databases, areas files and information texts.
bool WriteEncPortfolio(const EncPortfolio& portfolio, const std::string& folder, std::string& error);

// Soundings placed greedily, shallowest first, where their labels (at (x + 5, y + 4) of the
// point, as the views write them) overlap neither a label placed before nor a box in `taken`;
// at most `room` are kept. Returns the indices kept, in the order placed.
struct PixelBox {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // x1, y1 exclusive
    bool overlaps(const PixelBox& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
};
std::vector<std::size_t> ThinSoundings(const std::vector<TilerPoint>& points, const std::vector<double>& depths,
    const PixelScales& scales, const std::vector<PixelBox>& taken, std::size_t room, int charWidth, int lineHeight);
PixelBox SoundingLabelBox(
    const TilerPoint& p, const std::string& text, const PixelScales& scales, int charWidth, int lineHeight);

} // namespace kv
