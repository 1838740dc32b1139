#include "views/RenderCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace kv {

namespace {

// Dot patterns in pixels along the line: dotted is two on, two off; dash-dot is a dash of six,
// a gap, a dot of two, a gap.
constexpr std::array<bool, 4> kDotPattern { true, true, false, false };
constexpr std::array<bool, 12> kDashDotPattern { true, true, true, true, true, true, false, false, true, true, false,
    false };

bool PatternOn(PenStyle style, int phase)
{
    switch (style) {
    case PenStyle::Solid:
        return true;
    case PenStyle::Dot:
        return kDotPattern[static_cast<std::size_t>(phase) % kDotPattern.size()];
    case PenStyle::DashDot:
        return kDashDotPattern[static_cast<std::size_t>(phase) % kDashDotPattern.size()];
    }
    return true;
}

} // namespace

Rgb RgbFromConfigColour(int bgr)
{
    const auto v = static_cast<std::uint32_t>(bgr);
    return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

RenderCanvas::RenderCanvas(QImage& image)
    : image_(image)
{
    if (image_.format() != QImage::Format_RGB32) {
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    bits_ = image_.bits();
    stride_ = image_.bytesPerLine();
    width_ = image_.width();
    height_ = image_.height();
}

void RenderCanvas::setDeviceScale(int scale)
{
    scale_ = std::max(1, scale);
}

void RenderCanvas::fill(Rgb colour)
{
    for (int y = 0; y < height_; ++y) {
        std::fill_n(row(y), width_, 0xFF000000u | colour);
    }
}

void RenderCanvas::setPen(const Pen& pen)
{
    pen_ = pen;
    phase_ = 0;
    continuing_ = false;
}

void RenderCanvas::moveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
    continuing_ = false;
}

void RenderCanvas::lineTo(int x, int y)
{
    // Along a polyline the joint pixel belongs to the segment that ends there.
    rasterLine(penX_, penY_, x, y, !continuing_, pen_, true);
    penX_ = x;
    penY_ = y;
    continuing_ = true;
}

void RenderCanvas::solidLine(int x0, int y0, int x1, int y1, Rgb colour, int width)
{
    const int savedPhase = phase_;
    rasterLine(x0, y0, x1, y1, true, Pen { colour, PenStyle::Solid, width }, false);
    phase_ = savedPhase;
}

void RenderCanvas::plotPen(int x, int y, Rgb colour, int width)
{
    width *= scale_;
    if (width <= 1) {
        setPixel(x, y, colour);
        return;
    }
    const int lo = -(width - 1) / 2;
    for (int dy = lo; dy < lo + width; ++dy) {
        for (int dx = lo; dx < lo + width; ++dx) {
            setPixel(x + dx, y + dy, colour);
        }
    }
}

// Bresenham's line with its pixels taken in closed form so that the part outside the bitmap
// (points may lie up to 30000 pixels away) is skipped without walking it. The pattern phase
// advances over the skipped pixels too, so clipping never shifts the dots.
void RenderCanvas::rasterLine(int x0, int y0, int x1, int y1, bool includeStart, const Pen& pen, bool patterned)
{
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const int sx = dx < 0 ? -1 : 1;
    const int sy = dy < 0 ? -1 : 1;
    const bool xMajor = adx >= ady;
    const long long steps = xMajor ? adx : ady;
    const long long minor = xMajor ? ady : adx;
    const long long first = includeStart ? 0 : 1;
    if (steps < first) {
        return; // a zero-length continuation draws nothing new
    }

    // Steps where the major coordinate lies on the bitmap (widened by the pen).
    const int pad = pen.width * scale_;
    const long long majorStart = xMajor ? x0 : y0;
    const int majorDir = xMajor ? sx : sy;
    const long long majorLimit = xMajor ? width_ : height_;
    auto stepRange = [&](long long start, int dir, long long limit, long long& lo, long long& hi) {
        // start + dir * i in [-pad, limit - 1 + pad]
        if (dir > 0) {
            lo = -pad - start;
            hi = limit - 1 + pad - start;
        } else {
            lo = start - (limit - 1 + pad);
            hi = start + pad;
        }
    };
    long long lo = 0;
    long long hi = 0;
    stepRange(majorStart, majorDir, majorLimit, lo, hi);
    long long i0 = std::max(first, lo);
    long long i1 = std::min(steps, hi);
    // The minor coordinate moves at most one pixel per step: bound it the same way, widened by
    // one step for rounding.
    if (minor > 0 && i0 <= i1) {
        const long long minorStart = xMajor ? y0 : x0;
        const int minorDir = xMajor ? sy : sx;
        const long long minorLimit = xMajor ? height_ : width_;
        long long mlo = 0;
        long long mhi = 0;
        stepRange(minorStart, minorDir, minorLimit, mlo, mhi);
        // minor offset at step i is about i * minor / steps
        if (mhi < 0) {
            i0 = i1 + 1;
        } else {
            const long long iLo = mlo <= 0 ? 0 : (mlo - 1) * steps / minor;
            const long long iHi = (mhi + 1) * steps / minor + 1;
            i0 = std::max(i0, iLo);
            i1 = std::min(i1, iHi);
        }
    } else if (minor == 0) {
        const long long m = xMajor ? y0 : x0;
        const long long limit = xMajor ? height_ : width_;
        if (m < -pad || m > limit - 1 + pad) {
            i0 = i1 + 1;
        }
    }

    const int startPhase = phase_;
    if (patterned) {
        phase_ += static_cast<int>((steps - first + 1) % 1200); // keeps the counter small
    }
    if (i0 > i1) {
        return;
    }
    const long long twoSteps = 2 * steps;
    long long num = 2 * i0 * minor + steps;
    long long q = twoSteps != 0 ? num / twoSteps : 0;
    long long r = twoSteps != 0 ? num % twoSteps : 0;
    for (long long i = i0; i <= i1; ++i) {
        const int phase = startPhase + static_cast<int>(i - first);
        if (!patterned || PatternOn(pen.style, scale_ == 1 ? phase : phase / scale_)) {
            int px;
            int py;
            if (xMajor) {
                px = static_cast<int>(x0 + sx * i);
                py = static_cast<int>(y0 + sy * q);
            } else {
                px = static_cast<int>(x0 + sx * q);
                py = static_cast<int>(y0 + sy * i);
            }
            plotPen(px, py, pen.colour, pen.width);
        }
        r += 2 * minor;
        if (r >= twoSteps) {
            r -= twoSteps;
            ++q;
        }
    }
}

template <typename Inside> void RenderCanvas::floodFill(int x, int y, Rgb fill, Inside inside)
{
    if (static_cast<unsigned>(x) >= static_cast<unsigned>(width_)
        || static_cast<unsigned>(y) >= static_cast<unsigned>(height_)) {
        return;
    }
    std::vector<std::pair<int, int>> stack;
    stack.emplace_back(x, y);
    const std::uint32_t value = 0xFF000000u | fill;
    while (!stack.empty()) {
        auto [sx, sy] = stack.back();
        stack.pop_back();
        std::uint32_t* line = row(sy);
        if (!inside(line[sx] & 0xFFFFFFu) || line[sx] == value) {
            continue;
        }
        int left = sx;
        while (left > 0 && inside(line[left - 1] & 0xFFFFFFu) && line[left - 1] != value) {
            --left;
        }
        int right = sx;
        while (right + 1 < width_ && inside(line[right + 1] & 0xFFFFFFu) && line[right + 1] != value) {
            ++right;
        }
        for (int i = left; i <= right; ++i) {
            line[i] = value;
        }
        for (int ny : { sy - 1, sy + 1 }) {
            if (ny < 0 || ny >= height_) {
                continue;
            }
            const std::uint32_t* next = row(ny);
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool in = inside(next[i] & 0xFFFFFFu) && next[i] != value;
                if (in && !inRun) {
                    stack.emplace_back(i, ny);
                }
                inRun = in;
            }
        }
    }
}

void RenderCanvas::floodFillBorder(int x, int y, Rgb fill, Rgb border)
{
    floodFill(x, y, fill, [border](Rgb c) { return c != border; });
}

void RenderCanvas::floodFillSurface(int x, int y, Rgb fill)
{
    const Rgb seed = pixel(x, y);
    if (seed == fill) {
        return;
    }
    floodFill(x, y, fill, [seed](Rgb c) { return c == seed; });
}

namespace {

constexpr int kTextPixelSize = 11;

// The view font's glyphs rendered once (unsmoothed, so a glyph is a set of pixels) and then
// stamped in any colour: far cheaper than a text layout per label, and exactly the same pixels
// every time.
class GlyphCache {
public:
    struct Glyph {
        int advance = 0;
        int width = 0;
        std::vector<std::uint8_t> mask; // width × height, row by row
    };

    // Text needs the font database of a GUI application. Whoever draws creates that application
    // in its main (the program, kvtool, the test and benchmark mains); without one, labels are
    // left out rather than the process stopped.
    static const GlyphCache* instance(int pixelSize)
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
            static bool warned = false;
            if (!warned) {
                warned = true;
                qWarning("kvcore: no QGuiApplication: text is not drawn");
            }
            return nullptr;
        }
        static std::map<int, std::unique_ptr<GlyphCache>> caches;
        auto& cache = caches[pixelSize];
        if (!cache) {
            cache.reset(new GlyphCache(pixelSize));
        }
        return cache.get();
    }
    int height() const { return height_; }
    int pad() const { return kPad; }
    const Glyph& glyph(unsigned char c) const { return glyphs_[c]; }

private:
    static constexpr int kPad = 3; // room for glyphs reaching left of their origin

    explicit GlyphCache(int pixelSize)
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(pixelSize);
        font.setStyleStrategy(QFont::NoAntialias);
        font.setHintingPreference(QFont::PreferFullHinting);
        const QFontMetrics metrics(font);
        height_ = metrics.height();
        const int ascent = metrics.ascent();
        for (int c = 32; c < 256; ++c) {
            const QChar ch = QChar::fromLatin1(static_cast<char>(c));
            Glyph& g = glyphs_[static_cast<std::size_t>(c)];
            g.advance = metrics.horizontalAdvance(ch);
            g.width = g.advance + 2 * kPad;
            QImage image(g.width, height_, QImage::Format_RGB32);
            image.fill(Qt::black);
            {
                QPainter painter(&image);
                painter.setFont(font);
                painter.setPen(Qt::white);
                painter.drawText(kPad, ascent, QString(ch));
            }
            g.mask.resize(static_cast<std::size_t>(g.width) * static_cast<std::size_t>(height_));
            for (int y = 0; y < height_; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < g.width; ++x) {
                    g.mask[static_cast<std::size_t>(y) * g.width + x] = qGreen(line[x]) >= 128 ? 1 : 0;
                }
            }
        }
    }

    int height_ = 0;
    std::array<Glyph, 256> glyphs_ {};
};

} // namespace

void RenderCanvas::text(int x, int y, std::string_view latin1, Rgb colour)
{
    const GlyphCache* glyphs = GlyphCache::instance(kTextPixelSize * scale_);
    if (glyphs == nullptr) {
        return;
    }
    const GlyphCache& cache = *glyphs;
    const int h = cache.height();
    if (y >= height_ || y + h <= 0) {
        return;
    }
    int penX = x;
    for (char ch : latin1) {
        const auto& g = cache.glyph(static_cast<unsigned char>(ch));
        const int left = penX - cache.pad();
        if (left < width_ && left + g.width > 0) {
            for (int gy = 0; gy < h; ++gy) {
                const std::uint8_t* m = g.mask.data() + static_cast<std::ptrdiff_t>(gy) * g.width;
                for (int gx = 0; gx < g.width; ++gx) {
                    if (m[gx] != 0) {
                        setPixel(left + gx, y + gy, colour);
                    }
                }
            }
        }
        penX += g.advance;
    }
}

int RenderCanvas::textWidth(std::string_view latin1) const
{
    const GlyphCache* glyphs = GlyphCache::instance(kTextPixelSize * scale_);
    if (glyphs == nullptr) {
        return 0;
    }
    int w = 0;
    for (char ch : latin1) {
        w += glyphs->glyph(static_cast<unsigned char>(ch)).advance;
    }
    return w;
}

int RenderCanvas::textHeight() const
{
    const GlyphCache* glyphs = GlyphCache::instance(kTextPixelSize * scale_);
    return glyphs == nullptr ? 0 : glyphs->height();
}

} // namespace kv
