#include "charts/ChartIndex.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    return ToUpperAscii(a) == b;
}

} // namespace

std::vector<std::string> ListChartConfigFiles(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    const std::string dir = folder.empty() ? std::string(".") : folder;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            continue;
        }
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && ToUpperAscii(name.substr(name.size() - 4)) == ".CFG") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = ToUpperAscii(a);
        const std::string ub = ToUpperAscii(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

ChartIndexEntry ReadChartIndexEntry(const std::string& folder, const std::string& fileName)
{
    ChartIndexEntry entry;
    entry.fileName = fileName.substr(0, kChartIndexNameLength);
    const auto lines = ReadTextLines(JoinPath(folder, fileName));
    if (!lines) {
        return entry;
    }
    auto real = [&](std::size_t i) { return i < lines->size() ? ParseLeadingReal((*lines)[i]).value_or(0.0) : 0.0; };
    entry.centreLat = real(0);
    entry.centreLong = real(1);
    entry.zoom = real(2);
    return entry;
}

void ChartIndex::Rebuild(const std::string& folder)
{
    entries_.clear();
    folder_ = folder;
    for (const std::string& name : ListChartConfigFiles(folder)) {
        if (EqualsIgnoringCase(name, kPortfolioConfigName)) {
            continue;
        }
        if (count() >= kChartIndexCapacity) {
            break;
        }
        entries_.push_back(ReadChartIndexEntry(folder, name));
    }
}

std::string NearestChartName(const ChartIndex& index, double lat, double lon, const CurrentChart& current)
{
    const double c = std::cos(current.centreLat * kPi / 180.0);
    auto distance = [&](double centreLat, double centreLong) {
        const double dLat = lat - centreLat;
        const double dLong = (lon - centreLong) * c;
        return 60.0 * std::sqrt(dLat * dLat + dLong * dLong);
    };
    double best
        = ToUpperAscii(current.name) == kPortfolioName ? 100000.0 : distance(current.centreLat, current.centreLong);
    const ChartIndexEntry* chosen = nullptr;
    for (const ChartIndexEntry& e : index.entries()) {
        const double d = distance(e.centreLat, e.centreLong);
        if (d <= best) {
            best = d;
            chosen = &e;
        }
    }
    if (chosen == nullptr) {
        return current.name;
    }
    return NameWithoutExtension(chosen->fileName);
}

std::vector<ChartOutline> ChartOutlines(const std::string& folder, const std::string& chartName, double latBase,
    double longBase, int surfaceWidth, int surfaceHeight)
{
    std::vector<std::string> files;
    if (!chartName.empty()) {
        files.push_back(chartName + ".cfg");
    } else {
        for (const std::string& name : ListChartConfigFiles(folder)) {
            if (EqualsIgnoringCase(name, kPortfolioConfigName) || EqualsIgnoringCase(name, "KELVW.CFG")) {
                continue;
            }
            if (files.size() >= static_cast<std::size_t>(kChartIndexCapacity)) {
                break;
            }
            files.push_back(name);
        }
    }
    std::vector<ChartOutline> outlines;
    if (latBase <= 0.0 || longBase <= 0.0) {
        return outlines;
    }
    for (const std::string& file : files) {
        const ChartIndexEntry e = ReadChartIndexEntry(folder, file);
        // A file that could not be read has no zoom, and so no area to draw.
        if (!(e.zoom > 0.0)) {
            continue;
        }
        const double halfLat = (surfaceHeight / latBase) / (2.0 * e.zoom);
        const double halfLong = (surfaceWidth / longBase) / (2.0 * e.zoom);
        ChartOutline o;
        o.name = file.size() > 4 ? file.substr(0, file.size() - 4) : file;
        o.north = e.centreLat + halfLat;
        o.south = e.centreLat - halfLat;
        o.west = e.centreLong + halfLong;
        o.east = e.centreLong - halfLong;
        outlines.push_back(o);
    }
    return outlines;
}

} // namespace kv
