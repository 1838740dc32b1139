#pragma once
// The drawing layer of the views: a W × H RGB image drawn pixel-exactly (no antialiasing).
// Lines are rasterised here rather than by QPainter so that every pixel is known, clipping to
// the bitmap is cheap, and the dot pattern runs on along a polyline and restarts only when the
// pen is set again. Text goes through QPainter with an unsmoothed font.

#include <QImage>

#include <cstdint>
#include <string_view>

namespace kv {

using Rgb = std::uint32_t; // 0xRRGGBB

inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kWhite = 0xFFFFFF;
inline constexpr Rgb kLime = 0x00FF00;
inline constexpr Rgb kYellow = 0xFFFF00;
inline constexpr Rgb kBlue = 0x0000FF;
inline constexpr Rgb kAqua = 0x00FFFF;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kGrey = 0x808080;
inline constexpr Rgb kSilver = 0xC0C0C0;
inline constexpr Rgb kFuchsia = 0xFF00FF;
inline constexpr Rgb kNavy = 0x000080;
inline constexpr Rgb kOrange = 0xFF8000;

// A colour as the configuration file keeps it (red in the low byte) as 0xRRGGBB.
Rgb RgbFromConfigColour(int bgr);

enum class PenStyle { Solid, Dot, DashDot };

struct Pen {
    Rgb colour = kWhite;
    PenStyle style = PenStyle::Solid;
    int width = 1;
    friend bool operator==(const Pen&, const Pen&) = default;
};

class RenderCanvas {
public:
    // The image must be Format_RGB32 and stay alive (and unshared) while the canvas draws on it.
    explicit RenderCanvas(QImage& image);
    ~RenderCanvas() = default;
    RenderCanvas(const RenderCanvas&) = delete;
    RenderCanvas& operator=(const RenderCanvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Drawing for a finer device (a printed page): every pen is `scale` pixels wide, dot
    // patterns are `scale` times longer and text is `scale` times larger, so the picture looks
    // as it does on screen. 1 for the views.
    void setDeviceScale(int scale);
    int deviceScale() const { return scale_; }

    void fill(Rgb colour);
    void setPixel(int x, int y, Rgb colour)
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width_)
            && static_cast<unsigned>(y) < static_cast<unsigned>(height_)) {
            row(y)[x] = 0xFF000000u | colour;
        }
    }
    Rgb pixel(int x, int y) const
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width_)
            && static_cast<unsigned>(y) < static_cast<unsigned>(height_)) {
            return row(y)[x] & 0xFFFFFFu;
        }
        return 0;
    }
    void invertPixel(int x, int y)
    {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(width_)
            && static_cast<unsigned>(y) < static_cast<unsigned>(height_)) {
            row(y)[x] ^= 0xFFFFFFu;
        }
    }

    // Selecting a pen restarts its dot pattern, even when it is the pen already in use.
    void setPen(const Pen& pen);
    const Pen& pen() const { return pen_; }
    void moveTo(int x, int y);
    // A line from the current position to (x, y) with the current pen, both ends drawn.
    void lineTo(int x, int y);
    int penX() const { return penX_; }
    int penY() const { return penY_; }

    // A solid line of one pixel between two points, pen position and pattern untouched.
    void solidLine(int x0, int y0, int x1, int y1, Rgb colour, int width = 1);

    // Fills the 4-connected region around (x, y) bounded by pixels of the border colour.
    void floodFillBorder(int x, int y, Rgb fill, Rgb border);
    // Fills the 4-connected region around (x, y) whose pixels have the seed's colour.
    void floodFillSurface(int x, int y, Rgb fill);

    // Latin-1 text with its top-left corner at (x, y), transparent background. The glyphs come
    // from the font database of the process's QGuiApplication, which the caller's main creates;
    // without one the text is left out.
    void text(int x, int y, std::string_view latin1, Rgb colour);
    // The advance and line height of such a text (0 where text is left out).
    int textWidth(std::string_view latin1) const;
    int textHeight() const;

private:
    std::uint32_t* row(int y)
    {
        return reinterpret_cast<std::uint32_t*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_);
    }
    const std::uint32_t* row(int y) const
    {
        return reinterpret_cast<const std::uint32_t*>(bits_ + static_cast<std::ptrdiff_t>(y) * stride_);
    }
    void rasterLine(int x0, int y0, int x1, int y1, bool includeStart, const Pen& pen, bool patterned);
    void plotPen(int x, int y, Rgb colour, int width);
    template <typename Inside> void floodFill(int x, int y, Rgb fill, Inside inside);

    QImage& image_;
    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    Pen pen_;
    int phase_ = 0; // position in the pen's pattern, in pixels
    int scale_ = 1;
    int penX_ = 0;
    int penY_ = 0;
    bool continuing_ = false; // the pen position's pixel is already drawn
};

} // namespace kv
