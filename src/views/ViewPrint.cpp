#include "views/ViewPrint.h"

#include "core/Format.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewReadouts.h"

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

QImage RenderViewForPage(const ChartView& view, const RenderContext& ctx, const PrintPage& page)
{
    const DrawingSurface screen = SurfaceOf(ctx.state.chartGeometry);
    if (page.width <= 0 || page.height <= 0 || screen.width <= 0 || screen.height <= 0) {
        return {};
    }
    const double scale = std::min(static_cast<double>(page.width) / screen.width,
                                  static_cast<double>(page.height) / screen.height);
    const DrawingSurface surface{std::max(1, static_cast<int>(screen.width * scale)),
                                 std::max(1, static_cast<int>(screen.height * scale))};
    RenderContext pageCtx{ctx.state, ctx.shared, nullptr, surface,
                          std::max(1, static_cast<int>(RoundHalfEven(scale))), ctx.surveyLog, ctx.areas};
    QImage picture(surface.width, surface.height, QImage::Format_RGB32);
    const SchemeColours colours = ColoursFromSettings(ctx.state.settings);
    picture.fill(QColor::fromRgb(0xFF000000u | colours.background));
    const RenderResult result = RedrawView(view, picture, pageCtx);
    RenderCanvas canvas(picture);
    canvas.setDeviceScale(pageCtx.deviceScale);
    if (const auto bar = ComputeScaleBar(result.projection, ctx.state.settings.units.UnitFactor, kScaleBarPixels * pageCtx.deviceScale)) {
        const int margin = 20 * pageCtx.deviceScale;
        DrawScaleBar(canvas, *bar, margin, surface.height - margin, colours.foreground);
    }
    picture = WithSurveyLegend(picture, view.options, colours, pageCtx.deviceScale);
    if (page.whitePaper) {
        ToWhitePaper(picture, colours.background, colours.foreground);
    }
    return picture;
}

} // namespace kv
