#include "charts/EncChart.h"

#include "charts/ChartFiles.h"
#include "charts/WaypointFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <numeric>

namespace kv {

namespace {

// S-57 colour codes (COLOUR) and the letters a chart writes for them.
const char* ColourLetters(int code)
{
    switch (code) {
    case 1:
        return "W";
    case 2:
        return "Bl";
    case 3:
        return "R";
    case 4:
        return "G";
    case 5:
        return "Bu";
    case 6:
        return "Y";
    case 7:
        return "Gy";
    case 8:
        return "Br";
    case 9:
        return "Am";
    case 10:
        return "Vi";
    case 11:
        return "Or";
    case 12:
        return "M";
    case 13:
        return "P";
    default:
        return "";
    }
}

// Light characteristics (LITCHR) as abbreviated on charts.
const char* CharacterOf(int code)
{
    switch (code) {
    case 1:
        return "F";
    case 2:
        return "Fl";
    case 3:
        return "LFl";
    case 4:
        return "Q";
    case 5:
        return "VQ";
    case 6:
        return "UQ";
    case 7:
        return "Iso";
    case 8:
        return "Oc";
    case 9:
        return "IQ";
    case 10:
        return "IVQ";
    case 11:
        return "IUQ";
    case 12:
        return "Mo";
    case 13:
        return "FFl";
    case 14:
        return "FlLFl";
    case 15:
        return "OcFl";
    case 16:
        return "FLFl";
    case 17:
        return "Al.Oc";
    case 18:
        return "Al.LFl";
    case 19:
        return "Al.Fl";
    case 20:
        return "Al.Gr";
    case 25:
        return "Q+LFl";
    case 26:
        return "VQ+LFl";
    case 27:
        return "UQ+LFl";
    case 28:
        return "Al";
    case 29:
        return "Al.FFl";
    default:
        return "";
    }
}

std::vector<int> IntList(const EncAttributes& a, const char* key)
{
    std::vector<int> out;
    const auto it = a.find(key);
    if (it == a.end()) {
        return out;
    }
    std::string_view s = it->second;
    while (!s.empty()) {
        const auto comma = s.find(',');
        const std::string_view part = s.substr(0, comma);
        if (const auto v = ParseInt(part)) {
            out.push_back(static_cast<int>(*v));
        }
        if (comma == std::string_view::npos) {
            break;
        }
        s.remove_prefix(comma + 1);
    }
    return out;
}

int IntOf(const EncAttributes& a, const char* key, int otherwise = 0)
{
    const auto v = IntList(a, key);
    return v.empty() ? otherwise : v.front();
}

std::optional<double> RealOf(const EncAttributes& a, const char* key)
{
    const auto it = a.find(key);
    if (it == a.end()) {
        return std::nullopt;
    }
    const auto v = ParseReal(it->second);
    if (!v || !std::isfinite(*v)) {
        return std::nullopt;
    }
    return v;
}

std::string TextOf(const EncAttributes& a, const char* key)
{
    const auto it = a.find(key);
    return it == a.end() ? std::string() : TrimRight(it->second);
}

// Numbers as a chart writes them: no trailing zeros ("10", "2.5").
std::string Plain(double v)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f", v);
    std::string s = buffer;
    while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
        const bool dot = s.back() == '.';
        s.pop_back();
        if (dot) {
            break;
        }
    }
    return s;
}

// A lateral or special mark's symbol by its colour: red is a port hand mark, green starboard.
std::optional<int> ByColour(const EncAttributes& a)
{
    const auto colours = IntList(a, "COLOUR");
    if (colours.empty()) {
        return std::nullopt;
    }
    switch (colours.front()) {
    case 3:
        return 8; // "Port Channel Mark" (red)
    case 4:
        return 7; // "Starboard Channel Mark" (green)
    case 6:
        return 25; // "Small yellow sphere"
    case 1:
        return 34; // "Small white sphere"
    default:
        return std::nullopt;
    }
}

bool NearSame(const TilerPoint& a, const TilerPoint& b)
{
    return std::fabs(a.lat - b.lat) < 1e-7 && std::fabs(a.lon - b.lon) < 1e-7;
}

struct Aid {
    TilerPoint at;
    int symbol = 1;
    std::string name;
    std::string detail; // the light's character or a danger's depth
};

PixelBox BoxAround(const TilerPoint& p, const PixelScales& s, double half)
{
    const double x = -p.lon * s.lon;
    const double y = -p.lat * s.lat;
    return PixelBox { x - half, y - half, x + half + 1, y + half + 1 };
}

std::string CellLine(const EncCellInfo& c)
{
    std::string s = c.name;
    if (c.scale > 0) {
        s += " scale 1:" + std::to_string(c.scale);
    }
    if (!c.edition.empty()) {
        s += " edition " + c.edition;
    }
    if (!c.update.empty()) {
        s += " update " + c.update;
    }
    const std::string& date = !c.updateDate.empty() ? c.updateDate : c.issueDate;
    if (date.size() == 8) {
        s += " of " + date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
    }
    if (!c.comment.empty()) {
        s += "\r\n" + c.comment;
    }
    return s;
}

} // namespace

std::optional<double> SafetyContour(const std::vector<double>& contourValues, double safetyDepth)
{
    std::optional<double> best;
    for (double v : contourValues) {
        if (std::isfinite(v) && v >= safetyDepth && (!best || v < *best)) {
            best = v;
        }
    }
    return best;
}

int DepthContourType(double value, std::optional<double> safetyContour)
{
    if (value <= 0.0) {
        return kEncDryingType;
    }
    if (safetyContour && value == *safetyContour) {
        return kEncSafetyContourType;
    }
    if (safetyContour && value > *safetyContour) {
        return kEncDeepContourType;
    }
    return kEncShallowContourType;
}

bool IsEncPointObject(const std::string& c)
{
    return EncSymbol(c, {}).has_value();
}

std::optional<int> EncSymbol(const std::string& c, const EncAttributes& a)
{
    if (c == "BOYLAT" || c == "BCNLAT") {
        if (const auto s = ByColour(a); s && (*s == 7 || *s == 8)) {
            return s;
        }
        switch (IntOf(a, "CATLAM")) {
        case 1:
        case 3:
            return 8; // port hand, preferred channel to starboard
        case 2:
        case 4:
            return 7;
        default:
            return c == "BCNLAT" ? 11 : 1;
        }
    }
    if (c == "BOYCAR" || c == "BCNCAR") {
        switch (IntOf(a, "CATCAM")) {
        case 1:
            return 12; // "North Cardinal"
        case 2:
            return 3; // "East Cardinal"
        case 3:
            return 6; // "South Cardinal"
        case 4:
            return 9; // "West Cardinal"
        default:
            return 1;
        }
    }
    if (c == "BOYISD" || c == "BCNISD") {
        return 4; // "Isolated Danger"
    }
    if (c == "BOYSAW" || c == "BCNSAW") {
        return 13; // "Fairway Buoy"
    }
    if (c == "BOYSPP" || c == "BCNSPP") {
        return ByColour(a).value_or(25); // special marks are yellow
    }
    if (c == "BOYINB" || c == "MORFAC") {
        return ByColour(a).value_or(34);
    }
    if (c == "LIGHTS") {
        return 5; // "Light or Lighthouse"
    }
    if (c == "RTPBCN") {
        return 18; // "Racon"
    }
    if (c == "WRECKS") {
        const int cat = IntOf(a, "CATWRK");
        const int lev = IntOf(a, "WATLEV");
        // Showing its hull or mast, or drying: the wreck seen at low water.
        return (cat == 4 || cat == 5 || lev == 1 || lev == 2 || lev == 4) ? 15 : 14;
    }
    if (c == "UWTROC") {
        const int lev = IntOf(a, "WATLEV");
        return (lev == 4 || lev == 5) ? 16 : 1; // "Rock Awash"; a sunken rock is the plain cross
    }
    if (c == "OBSTRN") {
        return 29; // "Large Circle with X"
    }
    return std::nullopt;
}

std::string LightCharacter(const EncAttributes& a)
{
    std::string s = CharacterOf(IntOf(a, "LITCHR"));
    if (s.empty()) {
        return s;
    }
    std::string group = TextOf(a, "SIGGRP");
    // "()" and "(1)" are a single flash: nothing written.
    if (group == "()" || group == "(1)") {
        group.clear();
    }
    s += group;
    std::string colours;
    for (int c : IntList(a, "COLOUR")) {
        colours += ColourLetters(c);
    }
    // White alone goes unwritten, as on the charts.
    if (colours == "W") {
        colours.clear();
    }
    std::string period;
    if (const auto p = RealOf(a, "SIGPER"); p && *p > 0.0) {
        period = Plain(*p) + "s";
    }
    for (const std::string& part : { colours, period }) {
        if (part.empty()) {
            continue;
        }
        s += (s.back() == ')' ? "" : ".") + part;
    }
    return s;
}

std::string DepthText(double metres)
{
    if (std::fabs(metres) < 31.0) {
        return FormatFixed(metres, 0, 1);
    }
    return FormatFixed(metres, 0, 0);
}

std::string EncLabel(const std::string& name, const std::string& detail)
{
    constexpr std::size_t kWidth = 24;
    std::string n = TrimRight(name);
    if (detail.empty()) {
        return n.substr(0, std::min(n.size(), kWidth));
    }
    if (detail.size() >= kWidth - 1 || n.empty()) {
        return detail.substr(0, std::min(detail.size(), kWidth));
    }
    const std::size_t room = kWidth - 1 - detail.size();
    if (n.size() > room) {
        n = TrimRight(n.substr(0, room));
    }
    return n.empty() ? detail : n + " " + detail;
}

PixelBox SoundingLabelBox(
    const TilerPoint& p, const std::string& text, const PixelScales& s, int charWidth, int lineHeight)
{
    const double x = -p.lon * s.lon + 5.0;
    const double y = -p.lat * s.lat + 4.0;
    return PixelBox { x, y, x + charWidth * static_cast<double>(text.size()), y + lineHeight };
}

std::vector<std::size_t> ThinSoundings(const std::vector<TilerPoint>& points, const std::vector<double>& depths,
    const PixelScales& scales, const std::vector<PixelBox>& taken, std::size_t room, int charWidth, int lineHeight)
{
    std::vector<std::size_t> order(std::min(points.size(), depths.size()));
    std::iota(order.begin(), order.end(), std::size_t { 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return depths[a] < depths[b]; });
    // Boxes in a grid of cells a little larger than a label, so each test looks at few.
    const double cell = std::max(charWidth * 6.0, lineHeight * 2.0);
    std::map<std::pair<long long, long long>, std::vector<PixelBox>> grid;
    auto key = [&](double x, double y) {
        return std::pair<long long, long long> { static_cast<long long>(std::floor(x / cell)),
            static_cast<long long>(std::floor(y / cell)) };
    };
    auto add = [&](const PixelBox& b) {
        const auto k0 = key(b.x0, b.y0);
        const auto k1 = key(b.x1, b.y1);
        for (long long i = k0.first; i <= k1.first; ++i) {
            for (long long j = k0.second; j <= k1.second; ++j) {
                grid[{ i, j }].push_back(b);
            }
        }
    };
    auto free = [&](const PixelBox& b) {
        const auto k0 = key(b.x0, b.y0);
        const auto k1 = key(b.x1, b.y1);
        for (long long i = k0.first; i <= k1.first; ++i) {
            for (long long j = k0.second; j <= k1.second; ++j) {
                const auto it = grid.find({ i, j });
                if (it == grid.end()) {
                    continue;
                }
                for (const PixelBox& o : it->second) {
                    if (b.overlaps(o)) {
                        return false;
                    }
                }
            }
        }
        return true;
    };
    for (const PixelBox& b : taken) {
        add(b);
    }
    std::vector<std::size_t> kept;
    for (std::size_t i : order) {
        if (kept.size() >= room) {
            break;
        }
        if (!std::isfinite(depths[i])) {
            continue;
        }
        const PixelBox b = SoundingLabelBox(points[i], DepthText(depths[i]), scales, charWidth, lineHeight);
        if (free(b)) {
            add(b);
            kept.push_back(i);
        }
    }
    return kept;
}

EncPortfolio BuildEncPortfolio(
    const std::vector<EncFeature>& features, const std::vector<EncCellInfo>& cells, const EncImportOptions& o)
{
    EncPortfolio out;
    std::vector<double> contourValues;
    for (const EncFeature& f : features) {
        if (f.objectClass == "DEPCNT") {
            if (const auto v = RealOf(f.attributes, "VALDCO")) {
                contourValues.push_back(*v);
            }
        }
    }
    out.safetyContour = SafetyContour(contourValues, o.safetyDepth);

    std::vector<TilerLine> lines;
    std::vector<Aid> aids;
    std::vector<TilerPoint> soundings;
    std::vector<double> soundingDepths;
    ChartAreas areas;
    areas.safetyDepth = o.safetyDepth;
    bool haveChartClass = false;
    double south = 90, north = -90, east = 360, west = -360;
    auto extend = [&](const TilerPoint& p) {
        south = std::min(south, p.lat);
        north = std::max(north, p.lat);
        east = std::min(east, p.lon);
        west = std::max(west, p.lon);
    };
    auto addLines = [&](const EncFeature& f, int type, bool outlines) {
        for (const auto& l : f.lines) {
            lines.push_back(TilerLine { l, type, false });
        }
        if (outlines) {
            for (const auto& r : f.rings) {
                lines.push_back(TilerLine { r, type, true });
            }
        }
    };
    for (const EncFeature& f : features) {
        for (const auto& p : f.points) {
            extend(p);
        }
        for (const auto& l : f.lines) {
            std::for_each(l.begin(), l.end(), extend);
        }
        for (const auto& r : f.rings) {
            std::for_each(r.begin(), r.end(), extend);
        }
        const std::string& c = f.objectClass;
        if (c == "COALNE" || c == "SLCONS" || c == "LNDARE") {
            haveChartClass = true;
            addLines(f, kEncCoastType, true);
            if (c == "LNDARE" && !f.rings.empty()) {
                areas.areas.push_back(ChartArea { ChartAreaKind::Land, 0.0, 0.0, f.rings });
            }
        } else if (c == "DEPCNT") {
            haveChartClass = true;
            const auto v = RealOf(f.attributes, "VALDCO");
            addLines(f, v ? DepthContourType(*v, out.safetyContour) : kEncShallowContourType, false);
        } else if (c == "DEPARE" || c == "DRGARE") {
            haveChartClass = true;
            if (c == "DRGARE") {
                addLines(f, kEncChannelType, true);
            }
            if (!f.rings.empty()) {
                const double d1 = RealOf(f.attributes, "DRVAL1").value_or(0.0);
                const double d2 = RealOf(f.attributes, "DRVAL2").value_or(d1);
                areas.areas.push_back(ChartArea { ChartAreaKind::Depth, d1, d2, f.rings });
            }
        } else if (c == "FAIRWY" || c == "TSSBND" || c == "TSELNE" || c == "TSSLPT" || c == "TSEZNE") {
            addLines(f, kEncChannelType, true);
        } else if (c == "SOUNDG") {
            haveChartClass = true;
            for (std::size_t i = 0; i < f.points.size() && i < f.depths.size(); ++i) {
                soundings.push_back(f.points[i]);
                soundingDepths.push_back(f.depths[i]);
            }
        } else if (const auto symbol = EncSymbol(c, f.attributes)) {
            for (const auto& p : f.points) {
                Aid aid { p, *symbol, TextOf(f.attributes, "OBJNAM"), "" };
                if (c == "LIGHTS") {
                    aid.detail = LightCharacter(f.attributes);
                } else if (const auto d = RealOf(f.attributes, "VALSOU");
                           d && (c == "WRECKS" || c == "UWTROC" || c == "OBSTRN")) {
                    aid.detail = DepthText(*d);
                }
                aids.push_back(std::move(aid));
            }
        }
    }
    if (!haveChartClass) {
        out.error = "the cell has none of the object classes a chart is made of "
                    "(COALNE, SLCONS, LNDARE, DEPCNT, DEPARE, DRGARE, SOUNDG)";
        return out;
    }
    if (!(north > south) || !(west > east)) {
        out.error = "the cell has no extent";
        return out;
    }

    // A light on a buoy or beacon is one mark: its character goes into the mark's name. Of the
    // sectors of one light the first gives the character.
    std::vector<Aid> merged;
    for (const Aid& a : aids) {
        if (a.symbol == 5) {
            continue;
        }
        merged.push_back(a);
    }
    for (const Aid& light : aids) {
        if (light.symbol != 5) {
            continue;
        }
        auto on = std::find_if(merged.begin(), merged.end(), [&](const Aid& m) { return NearSame(m.at, light.at); });
        if (on == merged.end()) {
            merged.push_back(light);
        } else if (on->symbol == 5 || on->detail.empty()) {
            if (on->name.empty()) {
                on->name = light.name;
            }
            if (on->detail.empty()) {
                on->detail = light.detail;
            }
        }
    }
    aids = std::move(merged);

    const TilerBox area { south, north, east, west };
    PortfolioOptions po = o.portfolio;
    po.prefix = o.prefix;
    po.tileFits = [&](const TilerBox& box) {
        std::size_t n = 0;
        for (const Aid& a : aids) {
            n += box.contains(a.at) ? 1 : 0;
        }
        return n <= kWaypointCapacity;
    };
    // Open water without a contour still has its aids and its depth shading.
    std::vector<TilerBox> areaBoxes;
    for (const ChartArea& a : areas.areas) {
        for (const auto& ring : a.rings) {
            TilerBox b { 90, -90, 1e9, -1e9 };
            for (const TilerPoint& p : ring) {
                b.south = std::min(b.south, p.lat);
                b.north = std::max(b.north, p.lat);
                b.east = std::min(b.east, p.lon);
                b.west = std::max(b.west, p.lon);
            }
            areaBoxes.push_back(b);
        }
    }
    po.keepWithoutLines = [&](const TilerBox& box) {
        return std::any_of(aids.begin(), aids.end(), [&](const Aid& a) { return box.contains(a.at); })
            || std::any_of(areaBoxes.begin(), areaBoxes.end(), [&](const TilerBox& b) {
                   return b.north > box.south && b.south < box.north && b.west > box.east && b.east < box.west;
               });
    };
    const Portfolio portfolio = BuildPortfolio(lines, area, po);
    if (!portfolio.error.empty()) {
        out.error = portfolio.error;
        return out;
    }
    out.gridSize = portfolio.gridSize;

    std::string cellText;
    for (const EncCellInfo& c : cells) {
        cellText += CellLine(c) + "\r\n";
    }
    std::string safetyText = "Safety depth " + Plain(o.safetyDepth) + " m, safety contour ";
    safetyText += out.safetyContour ? Plain(*out.safetyContour) + " m" : std::string("none (no contour that deep)");
    safetyText += "\r\n";

    std::vector<char> placed(aids.size(), 0);
    for (const PortfolioChart& chart : portfolio.tiles) {
        EncTile tile;
        tile.chart = chart;
        const PixelScales scales = ViewScales(chart.config.centreLat, chart.config.zoom, po.viewWidth, po.viewHeight);
        std::vector<PixelBox> taken;
        for (std::size_t i = 0; i < aids.size(); ++i) {
            const Aid& a = aids[i];
            if (!chart.box.contains(a.at)) {
                continue;
            }
            placed[i] = 1;
            ChartWaypoint w;
            w.name = WaypointNameField(EncLabel(a.name, a.detail), a.symbol, 0);
            w.lat = a.at.lat;
            w.lon = a.at.lon;
            tile.waypoints.push_back(w);
            taken.push_back(BoxAround(a.at, scales, 7.0));
            ++tile.aids;
        }
        std::vector<TilerPoint> inside;
        std::vector<double> insideDepths;
        for (std::size_t i = 0; i < soundings.size(); ++i) {
            if (chart.box.contains(soundings[i])) {
                inside.push_back(soundings[i]);
                insideDepths.push_back(soundingDepths[i]);
            }
        }
        const std::size_t room = kWaypointCapacity - tile.waypoints.size();
        // The labels are shown from a rounded view zoom R# (two digits, so 99 at the highest):
        // the tile's own rounded zoom, so that they show when the tile is loaded. From that zoom
        // on they must stay apart: they are thinned at the least zoom that rounds to it.
        const int from = std::clamp(static_cast<int>(RoundHalfEven(chart.config.zoom)), 1, 99);
        const double thinZoom = from - 0.5;
        const PixelScales thinScales = ViewScales(chart.config.centreLat, thinZoom, po.viewWidth, po.viewHeight);
        std::vector<PixelBox> takenThere;
        for (const PixelBox& b : taken) {
            // The aids' boxes again at the thinning scales.
            const double cx = (b.x0 + b.x1) / 2.0 * thinScales.lon / scales.lon;
            const double cy = (b.y0 + b.y1) / 2.0 * thinScales.lat / scales.lat;
            takenThere.push_back(PixelBox { cx - 7.0, cy - 7.0, cx + 8.0, cy + 8.0 });
        }
        const auto kept = ThinSoundings(inside, insideDepths, thinScales, takenThere, room, o.charWidth, o.lineHeight);
        for (std::size_t i : kept) {
            ChartWaypoint w;
            w.name = WaypointNameField(DepthText(insideDepths[i]), 23, from);
            w.lat = inside[i].lat;
            w.lon = inside[i].lon;
            tile.waypoints.push_back(w);
        }
        tile.soundingsKept = static_cast<int>(kept.size());
        tile.soundingsDropped = static_cast<int>(inside.size() - kept.size());
        tile.areas = SimplifyChartAreas(ClipChartAreas(areas, chart.box), scales, po.tolerancePx);
        tile.info = cellText + safetyText;
        out.tiles.push_back(std::move(tile));
    }
    out.aidsOutside = static_cast<int>(std::count(placed.begin(), placed.end(), 0));
    out.overview.chart = portfolio.overview;
    const PixelScales overviewScales
        = ViewScales(portfolio.overview.config.centreLat, portfolio.overview.config.zoom, po.viewWidth, po.viewHeight);
    out.overview.areas = SimplifyChartAreas(ClipChartAreas(areas, area), overviewScales, po.tolerancePx);
    out.overview.info = cellText + safetyText;
    return out;
}

bool WriteEncPortfolio(const EncPortfolio& portfolio, const std::string& folder, std::string& error)
{
    Portfolio charts;
    for (const EncTile& t : portfolio.tiles) {
        charts.tiles.push_back(t.chart);
    }
    charts.overview = portfolio.overview.chart;
    if (!WritePortfolio(charts, folder, error)) {
        return false;
    }
    std::vector<const EncTile*> all;
    for (const EncTile& t : portfolio.tiles) {
        all.push_back(&t);
    }
    all.push_back(&portfolio.overview);
    for (const EncTile* t : all) {
        const std::string chartPath = JoinPath(folder, t->chart.name + ".cht");
        ChartWaypoints table;
        for (const ChartWaypoint& w : t->waypoints) {
            table.push(w);
        }
        const std::string base = FolderOf(chartPath) + t->chart.name;
        if (!WriteWaypointFile(base + ".wpt", PositionLayout::Wpt, table)) {
            error = "cannot write " + base + ".wpt";
            return false;
        }
        if (!WriteChartAreasFile(ChartAreasPath(chartPath), t->areas)) {
            error = "cannot write " + ChartAreasPath(chartPath);
            return false;
        }
        if (!WriteFileAtomic(base + ".inf", t->info)) {
            error = "cannot write " + base + ".inf";
            return false;
        }
    }
    return true;
}

} // namespace kv
