#include "charts/ChartAreas.h"

#include "charts/ChartFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

namespace {

// Splits a line at blanks and tabs.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<double> Finite(std::string_view word)
{
    const auto v = ParseReal(word);
    if (!v || !std::isfinite(*v)) {
        return std::nullopt;
    }
    return v;
}

// A depth in metres as charts give them: drying heights above the datum are negative, and no
// sea is deeper than the limit; a figure beyond either is damage (and would not survive being
// written at one decimal and read again).
std::optional<double> Depth(std::string_view word)
{
    const auto v = Finite(word);
    if (!v || std::fabs(*v) > kChartAreasMaxDepth) {
        return std::nullopt;
    }
    return v;
}

// A count of rings or points: a whole number within the file's limits.
std::optional<long long> Count(std::string_view word, long long most)
{
    const auto v = ParseInt(word);
    if (!v || *v < 0 || *v > most) {
        return std::nullopt;
    }
    return v;
}

std::string Fixed(double v, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    std::string s = buffer;
    if (s == "-0" || s.rfind("-0.", 0) == 0) {
        // -0.000 would read back the same, but a file made twice must be the same bytes.
        bool allZero = std::all_of(s.begin() + 1, s.end(), [](char c) { return c == '0' || c == '.'; });
        if (allZero) {
            s.erase(0, 1);
        }
    }
    return s;
}

// One ring cut to one side of the box (Sutherland-Hodgman).
template <typename Inside, typename Cross>
std::vector<TilerPoint> ClipSide(const std::vector<TilerPoint>& in, Inside inside, Cross cross)
{
    std::vector<TilerPoint> out;
    if (in.empty()) {
        return out;
    }
    TilerPoint prev = in.back();
    bool prevIn = inside(prev);
    for (const TilerPoint& p : in) {
        const bool pIn = inside(p);
        if (pIn != prevIn) {
            out.push_back(cross(prev, p));
        }
        if (pIn) {
            out.push_back(p);
        }
        prev = p;
        prevIn = pIn;
    }
    return out;
}

std::vector<TilerPoint> ClipRing(std::vector<TilerPoint> ring, const TilerBox& b)
{
    if (!ring.empty() && ring.front() == ring.back()) {
        ring.pop_back(); // worked on as an implicitly closed ring
    }
    auto atLat = [](double lat) {
        return [lat](const TilerPoint& a, const TilerPoint& c) {
            const double t = (lat - a.lat) / (c.lat - a.lat);
            return TilerPoint { lat, a.lon + t * (c.lon - a.lon) };
        };
    };
    auto atLon = [](double lon) {
        return [lon](const TilerPoint& a, const TilerPoint& c) {
            const double t = (lon - a.lon) / (c.lon - a.lon);
            return TilerPoint { a.lat + t * (c.lat - a.lat), lon };
        };
    };
    ring = ClipSide(
        ring, [&](const TilerPoint& p) { return p.lat >= b.south; }, atLat(b.south));
    ring = ClipSide(
        ring, [&](const TilerPoint& p) { return p.lat <= b.north; }, atLat(b.north));
    ring = ClipSide(
        ring, [&](const TilerPoint& p) { return p.lon >= b.east; }, atLon(b.east));
    ring = ClipSide(
        ring, [&](const TilerPoint& p) { return p.lon <= b.west; }, atLon(b.west));
    if (ring.size() >= 3) {
        ring.push_back(ring.front());
    }
    return ring;
}

double RingArea(const std::vector<TilerPoint>& ring, double cosLat)
{
    double twice = 0.0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        twice += ring[i].lon * cosLat * ring[i + 1].lat - ring[i + 1].lon * cosLat * ring[i].lat;
    }
    if (!ring.empty() && !(ring.front() == ring.back())) {
        twice += ring.back().lon * cosLat * ring.front().lat - ring.front().lon * cosLat * ring.back().lat;
    }
    return std::fabs(twice) / 2.0;
}

bool InsideRing(const TilerPoint& p, const std::vector<TilerPoint>& ring)
{
    bool in = false;
    const std::size_t n = ring.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const TilerPoint& a = ring[i];
        const TilerPoint& c = ring[j];
        if ((a.lat > p.lat) != (c.lat > p.lat) && p.lon < (c.lon - a.lon) * (p.lat - a.lat) / (c.lat - a.lat) + a.lon) {
            in = !in;
        }
    }
    return in;
}

} // namespace

WaterShade ShadeOf(const ChartArea& depthArea, double safetyDepth)
{
    if (depthArea.minDepth < safetyDepth) {
        return WaterShade::Shallow;
    }
    if (depthArea.minDepth < 2.0 * safetyDepth) {
        return WaterShade::Medium;
    }
    return WaterShade::Deep;
}

ChartAreasRead ParseChartAreas(std::string_view text)
{
    ChartAreasRead result;
    if (static_cast<long long>(text.size()) > kChartAreasMaxBytes) {
        result.error = "the file is larger than " + std::to_string(kChartAreasMaxBytes / (1024LL * 1024)) + " MB";
        return result;
    }
    const std::vector<std::string> lines = SplitLines(text);
    std::size_t i = 0;
    auto fail = [&](std::size_t lineIndex, const std::string& why) {
        result.areas.reset();
        result.error = "line " + std::to_string(lineIndex + 1) + ": " + why;
        return result;
    };
    // The next line that carries data; its words, or none at the end of the file.
    auto next = [&]() -> std::optional<std::vector<std::string_view>> {
        while (i < lines.size()) {
            std::string_view l = lines[i];
            if (!l.empty() && l.back() == '\r') {
                l.remove_suffix(1);
            }
            auto words = Words(l);
            ++i;
            if (words.empty() || words.front().front() == '#') {
                continue;
            }
            return words;
        }
        return std::nullopt;
    };
    // Where the file ends, for the messages about a file cut short: its last line.
    const std::size_t lastLine = lines.empty() ? 0 : lines.size() - (lines.back().empty() && lines.size() > 1 ? 2 : 1);
    auto header = next();
    if (!header || lines[i - 1].rfind(kChartAreasHeader, 0) != 0) {
        return fail(header ? i - 1 : 0,
            std::string("not an areas file (the first line must be \"") + kChartAreasHeader + "\")");
    }
    ChartAreas out;
    long long points = 0;
    while (auto words = next()) {
        const std::size_t at = i - 1;
        const std::string_view key = words->front();
        if (key == "SAFETY") {
            const auto d = words->size() == 2 ? Depth((*words)[1]) : std::nullopt;
            if (!d || *d < 0.0) {
                return fail(at, "SAFETY wants one depth of 0 or more");
            }
            out.safetyDepth = *d;
            continue;
        }
        ChartArea area;
        std::optional<long long> rings;
        if (key == "LAND" && words->size() == 2) {
            area.kind = ChartAreaKind::Land;
            rings = Count((*words)[1], kChartAreasMaxPoints);
        } else if (key == "DEPTH" && words->size() == 4) {
            area.kind = ChartAreaKind::Depth;
            const auto d1 = Depth((*words)[1]);
            const auto d2 = Depth((*words)[2]);
            if (!d1 || !d2) {
                return fail(at, "DEPTH wants two depths and a ring count");
            }
            area.minDepth = *d1;
            area.maxDepth = *d2;
            rings = Count((*words)[3], kChartAreasMaxPoints);
        } else {
            return fail(at, "expected SAFETY, LAND <rings> or DEPTH <min> <max> <rings>");
        }
        if (!rings) {
            return fail(at, "the ring count is not a whole number within the limits");
        }
        for (long long r = 0; r < *rings; ++r) {
            auto ringWords = next();
            if (!ringWords) {
                return fail(lastLine, "the file ends before ring " + std::to_string(r + 1) + " of the area");
            }
            const std::size_t ringAt = i - 1;
            const auto n = ringWords->size() == 2 && ringWords->front() == "RING"
                ? Count((*ringWords)[1], kChartAreasMaxPoints - points)
                : std::nullopt;
            if (!n) {
                return fail(ringAt,
                    "expected RING <points> (at most " + std::to_string(kChartAreasMaxPoints) + " points in the file)");
            }
            points += *n;
            std::vector<TilerPoint> ring;
            ring.reserve(static_cast<std::size_t>(std::min<long long>(*n, static_cast<long long>(lines.size()))));
            for (long long k = 0; k < *n; ++k) {
                auto p = next();
                if (!p) {
                    return fail(lastLine, "the file ends inside a ring");
                }
                const auto lat = p->size() == 2 ? Finite((*p)[0]) : std::nullopt;
                const auto lon = p->size() == 2 ? Finite((*p)[1]) : std::nullopt;
                if (!lat || !lon || std::fabs(*lat) > 90.0 || std::fabs(*lon) > 360.0) {
                    return fail(i - 1, "expected a position \"<lat> <lon>\" in degrees");
                }
                ring.push_back({ *lat, *lon });
            }
            area.rings.push_back(std::move(ring));
        }
        out.areas.push_back(std::move(area));
    }
    result.areas = std::move(out);
    return result;
}

ChartAreasRead ReadChartAreasFile(const std::string& path)
{
    const FileReadResult file = ReadRegularFile(path, static_cast<std::size_t>(kChartAreasMaxBytes));
    if (!file.bytes) {
        ChartAreasRead r;
        r.error = path + " " + (file.problem.empty() ? "cannot be read" : file.problem);
        return r;
    }
    ChartAreasRead r = ParseChartAreas(*file.bytes);
    if (!r.areas) {
        r.error = path + ", " + r.error;
    }
    return r;
}

std::string ChartAreasText(const ChartAreas& areas)
{
    std::string s = std::string(kChartAreasHeader) + "\r\n";
    s += "SAFETY " + Fixed(std::clamp(areas.safetyDepth, 0.0, kChartAreasMaxDepth), 1) + "\r\n";
    for (const ChartArea& a : areas.areas) {
        if (a.kind == ChartAreaKind::Land) {
            s += "LAND " + std::to_string(a.rings.size()) + "\r\n";
        } else {
            // Within what the reader takes: a cell's "unknown" depth of 99999 is no deeper than that.
            const auto depth
                = [](double d) { return Fixed(std::clamp(d, -kChartAreasMaxDepth, kChartAreasMaxDepth), 1); };
            s += "DEPTH " + depth(a.minDepth) + " " + depth(a.maxDepth) + " " + std::to_string(a.rings.size()) + "\r\n";
        }
        for (const auto& ring : a.rings) {
            s += "RING " + std::to_string(ring.size()) + "\r\n";
            for (const TilerPoint& p : ring) {
                // Seven decimals: about a centimetre, far below a pixel at any zoom.
                s += Fixed(p.lat, 7) + " " + Fixed(p.lon, 7) + "\r\n";
            }
        }
    }
    return s;
}

bool WriteChartAreasFile(const std::string& path, const ChartAreas& areas)
{
    return WriteFileAtomic(path, ChartAreasText(areas));
}

std::string ChartAreasPath(const std::string& chartPath)
{
    return FolderOf(chartPath) + ChartNameOf(chartPath) + kChartAreasExtension;
}

ChartAreas ClipChartAreas(const ChartAreas& areas, const TilerBox& box)
{
    ChartAreas out;
    out.safetyDepth = areas.safetyDepth;
    for (const ChartArea& a : areas.areas) {
        ChartArea clipped = a;
        clipped.rings.clear();
        for (const auto& ring : a.rings) {
            auto c = ClipRing(ring, box);
            if (c.size() >= 4) {
                clipped.rings.push_back(std::move(c));
            }
        }
        if (!clipped.rings.empty()) {
            out.areas.push_back(std::move(clipped));
        }
    }
    return out;
}

ChartAreas SimplifyChartAreas(const ChartAreas& areas, const PixelScales& scales, double tolerancePx)
{
    ChartAreas out;
    out.safetyDepth = areas.safetyDepth;
    for (const ChartArea& a : areas.areas) {
        ChartArea s = a;
        s.rings.clear();
        for (const auto& ring : a.rings) {
            const auto lines = SimplifyLines({ TilerLine { ring, 0, false } }, scales, tolerancePx);
            if (!lines.empty() && lines.front().points.size() >= 4) {
                s.rings.push_back(lines.front().points);
            }
        }
        if (!s.rings.empty()) {
            out.areas.push_back(std::move(s));
        }
    }
    return out;
}

long long PointsOf(const ChartAreas& areas)
{
    long long n = 0;
    for (const ChartArea& a : areas.areas) {
        for (const auto& ring : a.rings) {
            n += static_cast<long long>(ring.size());
        }
    }
    return n;
}

double CoveredArea(const ChartArea& area, double cosLat)
{
    double total = 0.0;
    for (std::size_t r = 0; r < area.rings.size(); ++r) {
        const auto& ring = area.rings[r];
        if (ring.size() < 3) {
            continue;
        }
        // A point just inside this ring, beside the middle of its first edge: a vertex could lie on
        // the edge of the ring around it (a hole cut at a tile's edge shares that edge).
        double signedTwice = 0.0;
        for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
            signedTwice += ring[i].lon * ring[i + 1].lat - ring[i + 1].lon * ring[i].lat;
        }
        const TilerPoint& a = ring[0];
        const TilerPoint& b = ring[1];
        const double len = std::hypot(b.lat - a.lat, b.lon - a.lon);
        const double step = 1e-7 * (signedTwice > 0 ? 1.0 : -1.0) / std::max(len, 1e-300);
        const TilerPoint inner { (a.lat + b.lat) / 2 + (b.lon - a.lon) * step,
            (a.lon + b.lon) / 2 - (b.lat - a.lat) * step };
        int depth = 0;
        for (std::size_t o = 0; o < area.rings.size(); ++o) {
            if (o != r && area.rings[o].size() >= 3 && InsideRing(inner, area.rings[o])) {
                ++depth;
            }
        }
        total += (depth % 2 == 0 ? 1.0 : -1.0) * RingArea(ring, cosLat);
    }
    return total;
}

} // namespace kv
