#include "views/ViewPrint.h"

#include "core/Format.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewReadouts.h"

#include "views/NorthArrow.h"
#include "views/ViewText.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

Rgb Darkened(Rgb c, Rgb background, Rgb foreground)
{
    if (c == background) {
        return kWhite;
    }
    if (c == foreground) {
        return kBlack;
    }
    switch (c) {
    case kWhite:
        return kBlack;
    case kLime:
        return 0x007000;
    case kAqua:
        return 0x006B80;
    case kYellow:
        return 0xA06000;
    case kSilver:
        return 0x606060;
    case kGrey:
        return 0x505050;
    case kOrange:
        return 0xB04000;
    case kFuchsia:
        return 0x900090;
    case kRed:
        return 0xC00000;
    default:
        break;
    }
    const int r = static_cast<int>((c >> 16) & 0xFF);
    const int g = static_cast<int>((c >> 8) & 0xFF);
    const int b = static_cast<int>(c & 0xFF);
    // Anything else light enough to vanish on paper is taken to half its brightness.
    if (r * 299 + g * 587 + b * 114 > 150000) {
        return static_cast<Rgb>(((r / 2) << 16) | ((g / 2) << 8) | (b / 2));
    }
    return c;
}

} // namespace

void ToWhitePaper(QImage& image, Rgb background, Rgb foreground)
{
    if (image.format() != QImage::Format_RGB32) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    // A picture holds a handful of colours: remember the last one mapped.
    Rgb lastIn = 0xFFFFFFFFu;
    Rgb lastOut = 0;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = line[x] & 0xFFFFFFu;
            if (c != lastIn) {
                lastIn = c;
                lastOut = Darkened(c, background, foreground);
            }
            line[x] = 0xFF000000u | lastOut;
        }
    }
}

Projection PageProjection(const Projection& shown, const QRect& area, double k)
{
    Projection p = shown;
    p.width = std::max(1, static_cast<int>(area.width() * k));
    p.height = std::max(1, static_cast<int>(area.height() * k));
    p.halfW = p.width / 2;
    p.halfH = p.height / 2;
    // The position at the middle of the area, through the shown picture's own inverse (the pixel
    // to position rule, without rounding the middle to a whole pixel).
    const double fx = area.x() + area.width() / 2.0 - shown.halfW;
    const double fy = area.y() + area.height() / 2.0 - shown.halfH;
    if (shown.latScale != 0 && shown.longScale != 0) {
        p.refLat = ClampViewLatitude(shown.refLat - (fy * shown.cosA - fx * shown.sinA) / shown.latScale);
        p.refLong = WrapLongitude(shown.refLong - (fx * shown.cosA + fy * shown.sinA) / shown.longScale);
    }
    p.latBase = static_cast<int>(RoundHalfEven(shown.latBase * k));
    p.longBase = static_cast<int>(RoundHalfEven(shown.longBase * k));
    p.latScale = static_cast<int>(RoundHalfEven(shown.latScale * k));
    p.longScale = static_cast<int>(RoundHalfEven(shown.longScale * k));
    p.margin = shown.margin * std::max(1.0, k);
    return p;
}

long long PrintedScale(const Projection& page, int dotsPerInch)
{
    if (page.latScale <= 0 || dotsPerInch <= 0) {
        return 0;
    }
    // A degree of latitude is 60 nautical miles of 1852 m; a page pixel is 1/dpi of an inch.
    const double n = 60.0 * 1852.0 * dotsPerInch / (page.latScale * 0.0254);
    // Three significant figures, as a scale is quoted.
    double unit = 1.0;
    while (n / unit >= 1000.0) {
        unit *= 10.0;
    }
    return static_cast<long long>(RoundHalfEven(n / unit) * unit);
}

std::string PageMarginText(const RenderContext& ctx, const Projection& page, int dotsPerInch, const std::string& stamp)
{
    const RenderRecords& st = ctx.state;
    const auto vessel = LastTrackPosition(st);
    const LatLong at = vessel ? *vessel : LatLong { st.fixInfo.OwnLat, st.fixInfo.OwnLong };
    std::string line = st.chart.ChartName.str();
    for (const std::string& part : { stamp, ViewPositionText(st.prefs.units, st.settings, at.lat, at.lon, 3) }) {
        if (!part.empty()) {
            line += (line.empty() ? "" : "    ") + part;
        }
    }
    if (const long long n = PrintedScale(page, dotsPerInch); n > 0) {
        line += "    Scale 1:" + std::to_string(n);
    }
    return line;
}

QImage RenderViewForPage(
    const ChartView& view, const RenderContext& ctx, const PrintPage& page, const std::string& stamp)
{
    const Projection& shown = view.projection;
    const QRect whole(0, 0, shown.width, shown.height);
    const QRect area = view.shownArea.isEmpty() ? whole : view.shownArea.intersected(whole);
    if (page.width <= 0 || page.height <= 0 || area.isEmpty()) {
        return {};
    }
    // A line of text under the picture: about 4 mm high.
    const int lineHeight = std::max(12, page.dotsPerInch > 0 ? page.dotsPerInch / 6 : page.height / 60);
    if (page.height <= 2 * lineHeight) {
        return {};
    }
    const double k = std::min(
        static_cast<double>(page.width) / area.width(), static_cast<double>(page.height - lineHeight) / area.height());
    const Projection projection = PageProjection(shown, area, k);
    const DrawingSurface surface { projection.width, projection.height };
    RenderContext pageCtx { ctx.state, ctx.shared, nullptr, surface, std::max(1, static_cast<int>(RoundHalfEven(k))),
        ctx.surveyLog, ctx.areas, projection };
    QImage picture(surface.width, surface.height, QImage::Format_RGB32);
    const SchemeColours colours = ColoursFromSettings(ctx.state.settings);
    const RenderResult result = RedrawView(view, picture, pageCtx);
    RenderCanvas canvas(picture);
    canvas.setDeviceScale(pageCtx.deviceScale);
    if (const auto bar = ComputeScaleBar(
            result.projection, ctx.state.settings.units.UnitFactor, kScaleBarPixels * pageCtx.deviceScale)) {
        const int margin = 20 * pageCtx.deviceScale;
        DrawScaleBar(canvas, *bar, margin, surface.height - margin, colours.foreground);
    }
    picture = WithSurveyLegend(picture, view.options, colours, pageCtx.deviceScale);
    if (projection.angle != 0.0) {
        QPainter arrow(&picture);
        const int size = 44 * pageCtx.deviceScale;
        DrawNorthArrow(arrow, 8 * pageCtx.deviceScale, 8 * pageCtx.deviceScale, size, projection.angle,
            colours.foreground, colours.background);
    }
    if (page.whitePaper) {
        ToWhitePaper(picture, colours.background, colours.foreground);
    }
    // The margin line under the picture, on the paper: a rule and the text.
    QImage sheet(picture.width(), picture.height() + lineHeight, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawImage(0, 0, picture);
    const int rule = std::max(1, lineHeight / 25);
    painter.fillRect(QRect(0, picture.height(), picture.width(), rule), Qt::black);
    // Text needs the fonts of a GUI application (every main of the program has one).
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        painter.end();
        return sheet;
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(8, lineHeight * 11 / 20));
    painter.setFont(font);
    painter.drawText(QRect(lineHeight / 4, picture.height(), picture.width() - lineHeight / 2, lineHeight),
        Qt::AlignLeft | Qt::AlignVCenter,
        QString::fromLatin1(PageMarginText(ctx, projection, page.dotsPerInch, stamp).c_str()));
    painter.end();
    return sheet;
}

} // namespace kv
