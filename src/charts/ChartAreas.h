#pragma once
// Filled areas of a chart: land and depth areas as polygons, kept in a text file beside the
// chart (`<chart>.areas`) because the chart file itself holds lines only. The views fill them
// beneath the chart's lines when the FillAreas view option is on.
//
// The file (CR LF or LF line ends, numbers in any decimal form, positions in degrees with
// longitude west-positive as in the chart files):
//
//   KVFree chart areas 1
//   SAFETY <metres>                       the safety depth the depth areas are shaded by
//   LAND <rings>                          an area of land; its rings follow
//   DEPTH <min metres> <max metres> <rings>  a depth area (its shallowest and deepest depth)
//   RING <points>                         one ring; its points follow, one "<lat> <lon>" a line
//
// Blank lines and lines starting with "#" are ignored. The rings of one area are filled with the
// even-odd rule, so a ring inside another is a hole (an island in a depth area).

#include "charts/ChartTiler.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kChartAreasHeader = "KVFree chart areas 1";
inline constexpr const char* kChartAreasExtension = ".areas";
// Limits that keep a damaged or hostile file from exhausting memory; an import never comes near.
inline constexpr long long kChartAreasMaxPoints = 2000000;
inline constexpr long long kChartAreasMaxBytes = 64LL * 1024 * 1024;
inline constexpr double kChartAreasMaxDepth = 12000.0; // metres, either way

enum class ChartAreaKind { Land, Depth };

struct ChartArea {
    ChartAreaKind kind = ChartAreaKind::Land;
    double minDepth = 0.0; // depth areas: the shallowest depth (a negative depth dries)
    double maxDepth = 0.0; // and the deepest
    std::vector<std::vector<TilerPoint>> rings;
    friend bool operator==(const ChartArea&, const ChartArea&) = default;
};

struct ChartAreas {
    double safetyDepth = 5.0;
    std::vector<ChartArea> areas;
    friend bool operator==(const ChartAreas&, const ChartAreas&) = default;
};

// How a depth area is shaded against the safety depth d, by its shallowest depth: shallow below
// d (drying areas included), medium from d to below 2 d, deep from 2 d.
enum class WaterShade { Shallow, Medium, Deep };
WaterShade ShadeOf(const ChartArea& depthArea, double safetyDepth);

struct ChartAreasRead {
    std::optional<ChartAreas> areas;
    std::string error; // "line 12: ..." when there are no areas
};

// Reads the text of an areas file; any malformed, truncated or oversized content gives an error
// naming the line, never a partial result.
ChartAreasRead ParseChartAreas(std::string_view text);
ChartAreasRead ReadChartAreasFile(const std::string& path);

std::string ChartAreasText(const ChartAreas& areas);
bool WriteChartAreasFile(const std::string& path, const ChartAreas& areas);

// The areas file of a chart file: the chart's path with ".areas" in place of its extension.
std::string ChartAreasPath(const std::string& chartPath);

// The areas cut to a box (Sutherland-Hodgman on each ring; rings left with fewer than three
// points go, as do areas left without rings) and thinned by Douglas-Peucker in the pixels of the
// given scales.
ChartAreas ClipChartAreas(const ChartAreas& areas, const TilerBox& box);
ChartAreas SimplifyChartAreas(const ChartAreas& areas, const PixelScales& scales, double tolerancePx);
long long PointsOf(const ChartAreas& areas);

// The area in square degrees (longitude scaled by cosLat) an area covers by the even-odd rule,
// for checking that an import keeps what the source covered: the sum of the rings' areas, holes
// taken away.
double CoveredArea(const ChartArea& area, double cosLat);

} // namespace kv
