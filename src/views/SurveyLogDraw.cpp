#include "views/SurveyLogDraw.h"

#include "core/Paths.h"
#include "core/TextFile.h"
#include "views/Render.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <QPainter>

namespace kv {

namespace {

char Upper(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// How many commas the text-log expansion of a code puts into a line.
int CommasOf(char code)
{
    switch (code) {
    case 'P':
    case '~':
    case '>':
        return 3; // ddmm.mm,N,dddmm.mm,W
    case 'Y':
        return 1; // lat,long
    default:
        return 0;
    }
}

// The codes the text-log expander knows; any other "@c" vanishes with its "@".
bool IsTextCode(char c)
{
    static constexpr std::string_view codes = "#$&+0123456789>BCDFGHLMOPQRSTUVWXY[]~";
    return codes.find(c) != std::string_view::npos;
}

std::vector<std::string_view> SplitCommas(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
}

std::string Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) {
        s.remove_prefix(1);
    }
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) {
        s.remove_suffix(1);
    }
    return std::string(s);
}

std::optional<double> Number(std::string_view s)
{
    const std::string t = Trim(s);
    if (t.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double v = std::strtod(t.c_str(), &end);
    if (end == t.c_str() || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

// "ddmm.mm" (or "dddmm.mm") and its hemisphere letter; the sign follows the letter that is
// negative (S for latitude, E for longitude west positive).
std::optional<double> DegreesMinutes(
    std::string_view text, int degreeDigits, std::string_view hemisphere, char negative)
{
    const std::string t = Trim(text);
    if (static_cast<int>(t.size()) <= degreeDigits) {
        return std::nullopt;
    }
    const auto deg = Number(std::string_view(t).substr(0, static_cast<std::size_t>(degreeDigits)));
    const auto min = Number(std::string_view(t).substr(static_cast<std::size_t>(degreeDigits)));
    if (!deg || !min) {
        return std::nullopt;
    }
    const double v = *deg + *min / 60.0;
    const std::string h = Trim(hemisphere);
    return (!h.empty() && Upper(h[0]) == negative) ? -v : v;
}

struct PlacedLabel {
    int x0, y0, x1, y1;
    bool overlaps(const PlacedLabel& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

// The labels written so far, filed under the squares of the picture they cover, so that a new
// label is tried against its neighbours only: a day's survey brings tens of thousands of fixes,
// and trying each against every label written took three quarters of the redraw.
class PlacedLabels {
public:
    PlacedLabels(int width, int height)
        : columns_(std::max(1, (width + kCell - 1) / kCell))
        , rows_(std::max(1, (height + kCell - 1) / kCell))
        , cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_))
    {
    }
    bool free(const PlacedLabel& box) const
    {
        const Span s = span(box);
        for (int row = s.row0; row <= s.row1; ++row) {
            for (int col = s.col0; col <= s.col1; ++col) {
                const auto& cell = cells_[index(col, row)];
                if (std::any_of(cell.begin(), cell.end(), [&box](const PlacedLabel& o) { return o.overlaps(box); })) {
                    return false;
                }
            }
        }
        return true;
    }
    void add(const PlacedLabel& box)
    {
        const Span s = span(box);
        for (int row = s.row0; row <= s.row1; ++row) {
            for (int col = s.col0; col <= s.col1; ++col) {
                cells_[index(col, row)].push_back(box);
            }
        }
    }

private:
    static constexpr int kCell = 64;
    struct Span {
        int col0, col1, row0, row1;
    };
    // The squares a box covers; a box partly off the picture is filed under the edge squares.
    Span span(const PlacedLabel& b) const
    {
        auto col = [this](int x) { return std::clamp(x / kCell, 0, columns_ - 1); };
        auto row = [this](int y) { return std::clamp(y / kCell, 0, rows_ - 1); };
        return { col(std::max(b.x0, 0)), col(std::max(b.x1, 0)), row(std::max(b.y0, 0)), row(std::max(b.y1, 0)) };
    }
    std::size_t index(int col, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(col);
    }
    int columns_;
    int rows_;
    std::vector<std::vector<PlacedLabel>> cells_;
};

void FillDisc(RenderCanvas& canvas, int cx, int cy, int r, Rgb colour)
{
    for (int dy = -r; dy <= r; ++dy) {
        for (int dx = -r; dx <= r; ++dx) {
            if (dx * dx + dy * dy <= r * r) {
                canvas.setPixel(cx + dx, cy + dy, colour);
            }
        }
    }
}

// The pixels between radius r0 (exclusive) and r1 (inclusive).
void Ring(RenderCanvas& canvas, int cx, int cy, int r0, int r1, Rgb colour)
{
    for (int dy = -r1; dy <= r1; ++dy) {
        for (int dx = -r1; dx <= r1; ++dx) {
            const int d = dx * dx + dy * dy;
            if (d <= r1 * r1 && d > r0 * r0) {
                canvas.setPixel(cx + dx, cy + dy, colour);
            }
        }
    }
}

// Text with a one-pixel halo of the background so that it stays legible over chart lines.
void HaloText(RenderCanvas& canvas, int x, int y, const std::string& text, Rgb colour, Rgb halo)
{
    for (auto [dx, dy] : { std::pair { -1, 0 }, { 1, 0 }, { 0, -1 }, { 0, 1 } }) {
        canvas.text(x + dx, y + dy, text, halo);
    }
    canvas.text(x, y, text, colour);
}

// Whether the run of fixes through f (from the fix before to the fix after) goes more across the
// picture than up or down it.
bool AlongRunIsHorizontal(const Projection& p, const std::vector<SurveyLogFix>& fixes, const SurveyLogFix* f)
{
    const auto i = static_cast<std::size_t>(f - fixes.data());
    const SurveyLogFix& before = fixes[i > 0 ? i - 1 : i];
    const SurveyLogFix& after = fixes[i + 1 < fixes.size() ? i + 1 : i];
    const auto a = PositionToPixel(p, before.lat, before.lon);
    const auto b = PositionToPixel(p, after.lat, after.lon);
    if (!a || !b) {
        return true;
    }
    return std::abs(b->x - a->x) >= std::abs(b->y - a->y);
}

bool Highlighted(const SurveyLogFix& f, const ViewOptions& o)
{
    return f.value && std::fabs(*f.value) > o.Highlight;
}

std::string FormatNumber(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

} // namespace

std::string PlotFieldCaption(char c)
{
    for (const char* caption : kPlotFieldCaptions) {
        if (caption[0] == c) {
            return caption;
        }
    }
    return kPlotFieldCaptions[0];
}

std::optional<int> LogFieldIndex(std::string_view format, char code)
{
    const char want = Upper(code);
    int field = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char ch = format[i];
        if (ch != '@') {
            field += ch == ',' ? 1 : 0;
            continue;
        }
        if (i + 1 >= format.size()) {
            break;
        }
        const char c = Upper(format[++i]);
        if (c < '#' || c > '~' || !IsTextCode(c)) {
            continue; // "@" and the character vanish
        }
        if (c == want) {
            return field;
        }
        if ((c == 'P' || c == '~' || c == '>') && i + 2 < format.size() && format[i + 1] == ':') {
            i += 2; // the ":n" of a position field
        }
        field += CommasOf(c);
    }
    return std::nullopt;
}

std::optional<double> LogFieldValue(std::string_view text)
{
    const std::string t = Trim(text);
    int h = 0, m = 0, s = 0;
    char tail = 0;
    if (t.size() >= 5 && t[2] == ':' && std::sscanf(t.c_str(), "%d:%d:%d%c", &h, &m, &s, &tail) >= 2) {
        return h + m / 60.0 + s / 3600.0;
    }
    return Number(t);
}

SurveyLogParser::SurveyLogParser(char field, double chartLatOffset, double chartLongOffset)
    : field_(field)
    , latOffset_(chartLatOffset)
    , longOffset_(chartLongOffset)
{
}

void SurveyLogParser::feed(std::string_view line, std::vector<SurveyLogFix>& out)
{
    const std::size_t number = lines_++;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
    if (number == 0) {
        return; // "Log Date : ..."
    }
    if (number == 1) {
        // The format the fix lines were written with.
        posIndex_ = LogFieldIndex(line, 'p');
        decIndex_ = posIndex_ ? std::nullopt : LogFieldIndex(line, 'y');
        valueIndex_ = field_ == '-' ? std::nullopt : LogFieldIndex(line, field_);
        towIndex_ = LogFieldIndex(line, '>');
        return;
    }
    if (line.empty()) {
        return;
    }
    if (line.front() == '*') {
        event_ = true;
        return;
    }
    if (line.front() == '#') {
        penUp_ = penUp_ || line.find("-b") != std::string_view::npos;
        return;
    }
    const auto fields = SplitCommas(line);
    auto at = [&fields](int i) -> std::string_view {
        return i >= 0 && static_cast<std::size_t>(i) < fields.size() ? fields[static_cast<std::size_t>(i)]
                                                                     : std::string_view();
    };
    std::optional<double> lat, lon;
    if (posIndex_) {
        const int i = *posIndex_;
        lat = DegreesMinutes(at(i), 2, at(i + 1), 'S');
        lon = DegreesMinutes(at(i + 2), 3, at(i + 3), 'E');
        if (lat && lon) {
            *lat += latOffset_;
            *lon -= longOffset_;
        }
    } else if (decIndex_) {
        lat = Number(at(*decIndex_));
        lon = Number(at(*decIndex_ + 1));
        if (lon) {
            *lon = -*lon; // logged east positive
        }
    }
    if (!lat || !lon || std::fabs(*lat) > 90.0 || std::fabs(*lon) > 360.0) {
        penUp_ = true; // a line that cannot be placed breaks the survey track
        event_ = false;
        return;
    }
    SurveyLogFix fix;
    fix.lat = *lat;
    fix.lon = *lon;
    fix.event = event_;
    fix.penUp = penUp_;
    if (valueIndex_) {
        // "@y" as a value is the latitude; the other codes fill one field.
        fix.text = Trim(at(*valueIndex_));
        fix.value = LogFieldValue(fix.text);
    }
    if (towIndex_) {
        const int i = *towIndex_;
        const auto towLat = DegreesMinutes(at(i), 2, at(i + 1), 'S');
        const auto towLon = DegreesMinutes(at(i + 2), 3, at(i + 3), 'E');
        if (towLat && towLon && std::fabs(*towLat) <= 90.0 && std::fabs(*towLon) <= 360.0) {
            fix.towLat = *towLat + latOffset_;
            fix.towLon = *towLon - longOffset_;
        }
    }
    out.push_back(std::move(fix));
    event_ = false;
    penUp_ = false;
}

std::vector<SurveyLogFix> ParseSurveyLog(
    const std::vector<std::string>& lines, char field, double chartLatOffset, double chartLongOffset)
{
    std::vector<SurveyLogFix> out;
    SurveyLogParser parser(field, chartLatOffset, chartLongOffset);
    for (const std::string& line : lines) {
        parser.feed(line, out);
    }
    return out;
}

struct SurveyLogReader::Log {
    std::string path;
    char field = '-';
    double latOffset = 0.0;
    double longOffset = 0.0;
    unsigned long long device = 0;
    unsigned long long inode = 0;
    std::string head; // the first bytes read, to notice a log written anew in place
    unsigned long long whole = 0; // bytes of the whole lines parsed
    SurveyLogParser parser;
    std::vector<SurveyLogFix> fixes;
    bool lastFromPiece = false; // the last fix came from a line without its end yet

    Log(std::string p, char f, double lat, double lon)
        : path(std::move(p))
        , field(f)
        , latOffset(lat)
        , longOffset(lon)
        , parser(f, lat, lon)
    {
    }
};

const std::vector<SurveyLogFix>* SurveyLogReader::read(
    const std::string& path, char field, double chartLatOffset, double chartLongOffset)
{
    // Enough for the two header lines: the date and the format.
    constexpr std::size_t kHeadBytes = 512;
    constexpr std::size_t kLogsKept = 4;
    auto it = std::find_if(logs_.begin(), logs_.end(), [&](const std::shared_ptr<Log>& l) {
        return l->path == path && l->field == field && l->latOffset == chartLatOffset
            && l->longOffset == chartLongOffset;
    });
    std::shared_ptr<Log> log;
    if (it != logs_.end()) {
        log = *it;
        logs_.erase(it);
    }
    const unsigned long long from = log ? log->whole : 0;
    auto slice = ReadFileSlice(path, kHeadBytes, from);
    if (!slice) {
        return nullptr;
    }
    const bool sameLog = log && slice->device == log->device && slice->inode == log->inode && slice->size >= log->whole
        && slice->head.compare(0, log->head.size(), log->head) == 0;
    if (!sameLog) {
        log = std::make_shared<Log>(path, field, chartLatOffset, chartLongOffset);
        log->device = slice->device;
        log->inode = slice->inode;
        if (from != 0) {
            slice = ReadFileSlice(path, kHeadBytes, 0);
            if (!slice) {
                return nullptr;
            }
        }
    }
    if (log->lastFromPiece) {
        log->fixes.pop_back();
        log->lastFromPiece = false;
    }
    std::string_view rest = slice->tail;
    for (auto end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        log->parser.feed(rest.substr(0, end), log->fixes);
        log->whole += end + 1;
        rest.remove_prefix(end + 1);
    }
    // A last line without its end: drawn now, read again once it is whole.
    if (!rest.empty()) {
        SurveyLogParser piece = log->parser;
        const std::size_t before = log->fixes.size();
        piece.feed(rest, log->fixes);
        log->lastFromPiece = log->fixes.size() > before;
    }
    log->head = slice->head.substr(0, static_cast<std::size_t>(std::min<unsigned long long>(log->whole, kHeadBytes)));
    logs_.push_back(log);
    if (logs_.size() > kLogsKept) {
        logs_.erase(logs_.begin());
    }
    return &log->fixes;
}

Rgb ViridisColour(double t)
{
    static constexpr std::array<Rgb, 9> anchors { 0x440154, 0x482878, 0x3E4A89, 0x31688E, 0x26828E, 0x1F9E89, 0x35B779,
        0x6DCD59, 0xFDE725 };
    if (!(t > 0.0)) {
        return anchors.front();
    }
    if (t >= 1.0) {
        return anchors.back();
    }
    const double pos = t * static_cast<double>(anchors.size() - 1);
    const auto i = static_cast<std::size_t>(pos);
    const double f = pos - static_cast<double>(i);
    auto channel = [f](Rgb a, Rgb b, int shift) {
        const double ca = static_cast<double>((a >> shift) & 0xFF);
        const double cb = static_cast<double>((b >> shift) & 0xFF);
        return static_cast<Rgb>(std::lround(ca + (cb - ca) * f)) << shift;
    };
    return channel(anchors[i], anchors[i + 1], 16) | channel(anchors[i], anchors[i + 1], 8)
        | channel(anchors[i], anchors[i + 1], 0);
}

Rgb BlobColour(double value, int range)
{
    if (range <= 0) {
        return ViridisColour(1.0);
    }
    return ViridisColour(std::fabs(value) / static_cast<double>(range));
}

std::vector<const SurveyLogFix*> ShownFixes(const std::vector<SurveyLogFix>& fixes, const ViewOptions& options)
{
    std::size_t first = 0;
    if (options.LastN) {
        const auto n = static_cast<std::size_t>(std::max(options.NShow, 0));
        first = fixes.size() > n ? fixes.size() - n : 0;
    }
    std::vector<const SurveyLogFix*> out;
    for (std::size_t i = first; i < fixes.size(); ++i) {
        if (!options.EventsOnly || fixes[i].event) {
            out.push_back(&fixes[i]);
        }
    }
    return out;
}

int DrawSurveyLog(RenderCanvas& canvas, const Projection& p, const ViewOptions& options,
    const std::vector<SurveyLogFix>& fixes, const SchemeColours& colours)
{
    const int scale = canvas.deviceScale();
    // The survey track joins every fix of the newest N, events or not.
    if (options.SurveyTrack) {
        std::size_t first = 0;
        if (options.LastN) {
            const auto n = static_cast<std::size_t>(std::max(options.NShow, 0));
            first = fixes.size() > n ? fixes.size() - n : 0;
        }
        std::optional<Pixel> last;
        for (std::size_t i = first; i < fixes.size(); ++i) {
            const auto px = PositionToPixel(p, fixes[i].lat, fixes[i].lon);
            if (px && last && !fixes[i].penUp) {
                canvas.solidLine(last->x, last->y, px->x, px->y, kSurveyTrackColour, 2 * scale);
            }
            last = px;
        }
    }

    const auto shown = ShownFixes(fixes, options);
    const int r = kBlobRadius * scale;
    struct Mark {
        const SurveyLogFix* fix;
        Pixel at;
    };
    std::vector<Mark> marks;
    for (const SurveyLogFix* f : shown) {
        if (const auto px = PositionToPixel(p, f->lat, f->lon)) {
            marks.push_back({ f, *px });
        }
    }
    for (const Mark& m : marks) {
        if (options.UseCrosses) {
            DrawFixCross(canvas, m.at.x, m.at.y, colours.foreground);
        }
    }
    if (options.PlotTow) {
        for (const Mark& m : marks) {
            if (!m.fix->towLat || !m.fix->towLon) {
                continue;
            }
            if (const auto tow = PositionToPixel(p, *m.fix->towLat, *m.fix->towLon)) {
                canvas.solidLine(m.at.x, m.at.y, tow->x, tow->y, kTowColour, scale);
                Ring(canvas, tow->x, tow->y, 2 * scale, 3 * scale, kTowColour);
            }
        }
    }
    const bool labels = options.PlotField != '-';
    for (const Mark& m : marks) {
        if (!options.Blobs || !m.fix->value) {
            continue;
        }
        FillDisc(canvas, m.at.x, m.at.y, r, BlobColour(*m.fix->value, options.PlotRange));
        Ring(canvas, m.at.x, m.at.y, r, r + scale, colours.foreground);
        if (Highlighted(*m.fix, options)) {
            Ring(canvas, m.at.x, m.at.y, r + scale, r + 3 * scale, kHighlightRing);
        }
    }
    if (!labels) {
        return 0;
    }
    // Labels: the highlighted ones first, then the newest first, each in the first of four places
    // around its fix that covers no label already written, across the run first.
    std::vector<const Mark*> order;
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        if (Highlighted(*it->fix, options)) {
            order.push_back(&*it);
        }
    }
    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        if (!Highlighted(*it->fix, options)) {
            order.push_back(&*it);
        }
    }
    const int h = std::max(canvas.textHeight(), 1);
    const int gap = (options.Blobs ? r + 2 * scale : 4 * scale) + 2;
    PlacedLabels placed(canvas.width(), canvas.height());
    int written = 0;
    for (const Mark* m : order) {
        const std::string& text = m->fix->text;
        if (text.empty()) {
            continue;
        }
        const int w = canvas.textWidth(text);
        const int x = m->at.x, y = m->at.y;
        const std::pair<int, int> right { x + gap, y - h / 2 }, left { x - gap - w, y - h / 2 };
        const std::pair<int, int> above { x - w / 2, y - gap - h }, below { x - w / 2, y + gap };
        // Across the run rather than along it: the track and the next fixes lie along it.
        const std::array<std::pair<int, int>, 4> places = AlongRunIsHorizontal(p, fixes, m->fix)
            ? std::array { above, below, right, left }
            : std::array { right, left, above, below };
        for (auto [lx, ly] : places) {
            const PlacedLabel box { lx - 2, ly - 1, lx + w + 1, ly + h };
            if (box.x1 < 0 || box.y1 < 0 || box.x0 >= canvas.width() || box.y0 >= canvas.height()
                || !placed.free(box)) {
                continue;
            }
            placed.add(box);
            if (Highlighted(*m->fix, options)) {
                for (int yy = box.y0; yy <= box.y1; ++yy) {
                    for (int xx = box.x0; xx <= box.x1; ++xx) {
                        canvas.setPixel(xx, yy, kHighlightBox);
                    }
                }
                canvas.text(lx, ly, text, kBlack);
            } else {
                HaloText(canvas, lx, ly, text, colours.foreground, colours.background);
            }
            ++written;
            break;
        }
    }
    return written;
}

QImage SurveyLegendImage(const ViewOptions& options, const SchemeColours& colours)
{
    if (!options.PlotTextLog || !options.Blobs || options.PlotField == '-') {
        return {};
    }
    constexpr int kWidth = 190, kHeight = 74, kBarX = 10, kBarW = 170, kBarY = 26, kBarH = 12;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(0xFF000000u | colours.background));
    RenderCanvas canvas(image);
    const std::string caption = PlotFieldCaption(options.PlotField);
    canvas.text(kBarX, 6, caption + " (absolute)", colours.foreground);
    for (int x = 0; x < kBarW; ++x) {
        const Rgb c = ViridisColour(static_cast<double>(x) / (kBarW - 1));
        for (int y = 0; y < kBarH; ++y) {
            canvas.setPixel(kBarX + x, kBarY + y, c);
        }
    }
    canvas.solidLine(kBarX - 1, kBarY - 1, kBarX + kBarW, kBarY - 1, colours.foreground);
    canvas.solidLine(kBarX - 1, kBarY + kBarH, kBarX + kBarW, kBarY + kBarH, colours.foreground);
    canvas.solidLine(kBarX - 1, kBarY - 1, kBarX - 1, kBarY + kBarH, colours.foreground);
    canvas.solidLine(kBarX + kBarW, kBarY - 1, kBarX + kBarW, kBarY + kBarH, colours.foreground);
    canvas.text(kBarX, kBarY + kBarH + 3, "0", colours.foreground);
    const std::string top = FormatNumber(options.PlotRange) + "+";
    canvas.text(kBarX + kBarW - canvas.textWidth(top), kBarY + kBarH + 3, top, colours.foreground);
    const std::string mid = FormatNumber(options.PlotRange / 2.0);
    canvas.text(kBarX + kBarW / 2 - canvas.textWidth(mid) / 2, kBarY + kBarH + 3, mid, colours.foreground);
    // The highlight threshold: a red ring as on the chart.
    Ring(canvas, kBarX + 5, kHeight - 8, 4, 6, kHighlightRing);
    canvas.text(
        kBarX + 16, kHeight - 8 - canvas.textHeight() / 2, "> " + FormatNumber(options.Highlight), colours.foreground);
    return image;
}

std::string SurveyLogPath(const std::string& logDir, const std::string& logNameBase)
{
    const std::string name = logNameBase + ".txt";
    return FindFileCaseInsensitive(logDir, name).value_or(JoinPath(logDir, name));
}

int DrawSurveyLogOf(RenderCanvas& canvas, const Projection& p, const ViewOptions& options, RenderRecords state,
    const SchemeColours& colours, SurveyLogReader* reader)
{
    if (state.folders.LogDir.empty() || state.textLog.LogNameBase.empty()) {
        return 0;
    }
    const std::string path = SurveyLogPath(state.folders.LogDir.str(), state.textLog.LogNameBase.str());
    if (reader != nullptr) {
        const auto* fixes
            = reader->read(path, options.PlotField, state.chartRef.ChartLatOffset, state.chartRef.ChartLongOffset);
        return fixes ? DrawSurveyLog(canvas, p, options, *fixes, colours) : 0;
    }
    const auto lines = ReadTextLines(path);
    if (!lines) {
        return 0;
    }
    const auto fixes
        = ParseSurveyLog(*lines, options.PlotField, state.chartRef.ChartLatOffset, state.chartRef.ChartLongOffset);
    return DrawSurveyLog(canvas, p, options, fixes, colours);
}

QImage WithSurveyLegend(QImage picture, const ViewOptions& options, const SchemeColours& colours, int scale)
{
    const QImage legend = SurveyLegendImage(options, colours);
    if (legend.isNull() || picture.isNull()) {
        return picture;
    }
    scale = std::max(scale, 1);
    const int margin = 8 * scale;
    const QRect target(
        picture.width() - legend.width() * scale - margin, margin, legend.width() * scale, legend.height() * scale);
    QPainter painter(&picture);
    painter.drawImage(target, legend);
    return picture;
}

} // namespace kv
