#include "routes/GpxImport.h"

#include "core/ForeignText.h"
#include "core/Format.h"

#include <cmath>
#include <optional>

namespace kv {

namespace {

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

} // namespace

std::vector<GpxPoint> ReadGpxPoints(std::string_view xml, std::string_view element, bool& bad)
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
            const auto a = ParseReal(*lat);
            const auto b = ParseReal(*lon);
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
                    name = FixedLayoutText(DecodeEntities(Trim(body.substr(n + 6, ne - n - 6), " \t\r\n")));
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

} // namespace kv
