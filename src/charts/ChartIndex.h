#pragma once
// Where each chart of the chart folder lies: the index of the chart configuration files, the
// nearest-chart rule, and the outline rectangles the views draw.

#include <string>
#include <vector>

namespace kv {

inline constexpr int kChartIndexCapacity = 100;
inline constexpr std::size_t kChartIndexNameLength = 40;
inline constexpr const char* kPortfolioConfigName = "PORTFOLIO.CFG";
inline constexpr const char* kPortfolioName = "PORTFOLIO";

struct ChartIndexEntry {
    std::string fileName; // "<chart name>.cfg", at most 40 characters
    double centreLat = 0.0;
    double centreLong = 0.0; // west positive
    double zoom = 0.0; // stays 0 (with the centre) when the file cannot be read
};

// The configuration files (`*.cfg`, any case of the extension) of a folder, sorted by name
// without regard to case, the exact name breaking ties, so that the same folder always lists the
// same way whatever the file system does.
std::vector<std::string> ListChartConfigFiles(const std::string& folder);

// The first three lines of a chart configuration: centre latitude, longitude and zoom. Zeros for
// a file that cannot be read (or a line without a number).
ChartIndexEntry ReadChartIndexEntry(const std::string& folder, const std::string& fileName);

class ChartIndex {
public:
    // Lists the folder again: every configuration except the portfolio's, up to 100 of them.
    void Rebuild(const std::string& folder);
    int count() const { return static_cast<int>(entries_.size()); }
    const ChartIndexEntry& entry(int number) const
    {
        return entries_.at(static_cast<std::size_t>(number - 1));
    } // 1 … count
    const std::vector<ChartIndexEntry>& entries() const { return entries_; }
    const std::string& folder() const { return folder_; }

private:
    std::vector<ChartIndexEntry> entries_;
    std::string folder_;
};

// The chart whose centre lies nearest (lat, long): distances in nautical miles by plane sailing
// with the cosine of the current chart's centre latitude. The current chart starts as the best
// (a portfolio never does); an entry at the same distance as the best replaces it, so the later
// of two equally near charts wins, also against the current one. The result is the entry's file
// name without its extension, or the current chart's name when nothing came nearer.
struct CurrentChart {
    std::string name;
    double centreLat = 0.0;
    double centreLong = 0.0;
};
std::string NearestChartName(const ChartIndex& index, double lat, double lon, const CurrentChart& current);

// The area a chart covers on a view with the given base scales (pixels per degree at zoom 1) and
// surface size: the centre ± half the surface over the zoom.
struct ChartOutline {
    std::string name; // the file name less ".cfg"
    double north = 0.0, south = 0.0;
    double west = 0.0, east = 0.0; // west positive: west > east
};
// The outlines of every chart of the folder (the index's listing, without the main configuration
// and the portfolio's), or only of chartName when one is given. Files without a usable zoom have
// no area and are left out.
std::vector<ChartOutline> ChartOutlines(const std::string& folder, const std::string& chartName, double latBase,
    double longBase, int surfaceWidth, int surfaceHeight);

} // namespace kv
