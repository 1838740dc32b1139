// kvtool route-import: a GPX route (or, without one, its waypoints) as a route file.

#include "Command.h"

#include "core/ForeignText.h"
#include "core/Format.h"
#include "core/RouteTable.h"
#include "core/TextFile.h"
#include "routes/Routes.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct GpxPoint {
    double lat = 0.0;
    double lon = 0.0; // east positive, as GPX has it
    std::string name;
};

// The value of attribute `name` inside one start tag, or nothing.
std::optional<std::string> Attribute(std::string_view tag, std::string_view name)
{
    std::size_t pos = 0;
    while ((pos = tag.find(name, pos)) != std::string_view::npos) {
        const bool boundary
            = pos > 0 && (tag[pos - 1] == ' ' || tag[pos - 1] == '\t' || tag[pos - 1] == '\n' || tag[pos - 1] == '\r');
        std::size_t i = pos + name.size();
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t')) {
            ++i;
        }
        if (boundary && i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t')) {
                ++i;
            }
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i];
                const auto end = tag.find(quote, i + 1);
                if (end != std::string_view::npos) {
                    return std::string(tag.substr(i + 1, end - i - 1));
                }
            }
            return std::nullopt;
        }
        pos += name.size();
    }
    return std::nullopt;
}

std::string DecodeEntities(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        const auto semi = text.find(';', i);
        const std::string_view entity = semi == std::string_view::npos ? "" : text.substr(i + 1, semi - i - 1);
        if (entity == "amp")
            out += '&';
        else if (entity == "lt")
            out += '<';
        else if (entity == "gt")
            out += '>';
        else if (entity == "quot")
            out += '"';
        else if (entity == "apos")
            out += '\'';
        else {
            out += '&';
            continue;
        }
        i = semi;
    }
    return out;
}

// Every <element lat=".." lon=".."> ... </element> with its <name>.
std::vector<GpxPoint> Points(std::string_view xml, std::string_view element, bool& bad)
{
    std::vector<GpxPoint> points;
    const std::string open = "<" + std::string(element);
    const std::string close = "</" + std::string(element) + ">";
    std::size_t pos = 0;
    while ((pos = xml.find(open, pos)) != std::string_view::npos) {
        const std::size_t after = pos + open.size();
        if (after >= xml.size()
            || !(xml[after] == ' ' || xml[after] == '\t' || xml[after] == '\n' || xml[after] == '\r'
                || xml[after] == '>' || xml[after] == '/')) {
            pos = after;
            continue;
        }
        const auto tagEnd = xml.find('>', pos);
        if (tagEnd == std::string_view::npos) {
            bad = true;
            break;
        }
        const std::string_view tag = xml.substr(pos, tagEnd - pos + 1);
        const auto lat = Attribute(tag, "lat");
        const auto lon = Attribute(tag, "lon");
        double latValue = 0.0;
        double lonValue = 0.0;
        bool valid = false;
        if (lat && lon) {
            const auto a = kv::ParseReal(*lat);
            const auto b = kv::ParseReal(*lon);
            valid = a && b && std::fabs(*a) <= 90 && std::fabs(*b) <= 180;
            latValue = a.value_or(0.0);
            lonValue = b.value_or(0.0);
        }
        std::size_t end = tagEnd + 1;
        std::string name;
        if (tag.size() < 2 || tag[tag.size() - 2] != '/') {
            const auto closeAt = xml.find(close, tagEnd);
            const std::string_view body = xml.substr(
                tagEnd + 1, closeAt == std::string_view::npos ? std::string_view::npos : closeAt - tagEnd - 1);
            if (const auto n = body.find("<name>"); n != std::string_view::npos) {
                const auto ne = body.find("</name>", n);
                if (ne != std::string_view::npos) {
                    name = kv::FixedLayoutText(DecodeEntities(kv::Trim(body.substr(n + 6, ne - n - 6), " \t\r\n")));
                }
            }
            end = closeAt == std::string_view::npos ? xml.size() : closeAt + close.size();
        }
        if (valid) {
            points.push_back({ latValue, lonValue, name });
        } else {
            bad = true;
        }
        pos = end;
    }
    return points;
}

int RunRouteImport(const kvtool::Args& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kvtool route-import FILE.gpx OUT.rte\n");
        return 2;
    }
    const auto read = kv::ReadRegularFile(args[0]);
    const auto& xml = read.bytes;
    if (!xml) {
        std::fprintf(stderr, "kvtool route-import: cannot read %s: %s\n", args[0].c_str(), read.problem.c_str());
        return 1;
    }
    bool bad = false;
    std::vector<GpxPoint> points = Points(*xml, "rtept", bad);
    const char* kind = "route points";
    if (points.empty()) {
        points = Points(*xml, "wpt", bad);
        kind = "waypoints";
    }
    if (bad) {
        std::fprintf(stderr, "kvtool route-import: skipped points without a valid position\n");
    }
    if (points.empty()) {
        std::fprintf(stderr, "kvtool route-import: no route points or waypoints in %s\n", args[0].c_str());
        return 1;
    }
    if (points.size() > kv::kRouteCapacity) {
        std::fprintf(stderr, "kvtool route-import: %zu %s; a route holds %zu, the rest are left out\n", points.size(),
            kind, kv::kRouteCapacity);
        points.resize(kv::kRouteCapacity);
    }
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        // Names are cut to the 24 characters of a label; an unnamed point takes its letter.
        const std::string nameField = points[i].name.empty() ? kv::DefaultRouteName(index)
                                                             : kv::PadRight(points[i].name.substr(0, 24), 24) + "19   ";
        lines.push_back(kv::RouteLine({ nameField, points[i].lat, -points[i].lon }));
    }
    if (!kv::WriteTextLinesAtomic(args[1], lines)) {
        std::fprintf(stderr, "kvtool route-import: cannot write %s\n", args[1].c_str());
        return 1;
    }
    std::printf("%zu %s written to %s\n", points.size(), kind, args[1].c_str());
    return 0;
}

const kvtool::CommandRegistration reg { { "route-import",
    "FILE.gpx OUT.rte: a GPX route (or its waypoints) as a route file", &RunRouteImport } };

} // namespace
