#pragma once
// The one point-plotting primitive every layer of a view goes through: a numeric line code picks
// pen style and colour, a shared pen-up flag breaks the line, and points outside the clip margin
// lift the pen.

#include "views/RenderCanvas.h"
#include "views/ViewGeometry.h"

#include <optional>

namespace kv {

// Line codes of the plotting primitive.
namespace LineCode {
inline constexpr int Black = 0;
inline constexpr int DottedLime = 2; // chart line type 1, geographic circles
inline constexpr int Track = 3; // track, position-error circle
inline constexpr int DottedBlue = 4; // chart line type 2
inline constexpr int DottedAqua = 6; // chart line type 3
inline constexpr int Meridian = 7; // equator and prime meridian
inline constexpr int SolidLime = 8; // chart line type 4
inline constexpr int SolidBlue = 10; // chart line type 5
inline constexpr int SolidAqua = 12; // chart line type 6
inline constexpr int Foreground = 500; // chart line type 0, plain moves
inline constexpr int Route = 600;
inline constexpr int Graticule = 700;
inline constexpr int Grid = 800; // distance grid, north indicator
inline constexpr int Lime = 900;
inline constexpr int Fuchsia = 910;
} // namespace LineCode

// Code 7 has no colour of its own in the code table: the equator and prime meridian are drawn
// dash-dot in orange, which stands apart from every other line colour on either background.
inline constexpr Rgb kMeridianColour = kOrange;

struct SchemeColours {
    Rgb background = kNavy;
    Rgb foreground = kWhite;
    bool textFG = false; // "Text = FG"
    bool trackFG = false; // "Track=FG"
    bool tidesFG = false; // "Tides=FG"
    // Symbols are black on a white background and white otherwise.
    Rgb ink() const { return background == kWhite ? kBlack : kWhite; }
};

Pen PenForLineCode(int code, const SchemeColours& colours);

class Plotter {
public:
    Plotter(RenderCanvas& canvas, Projection& projection, const SchemeColours& colours)
        : canvas_(canvas)
        , projection_(projection)
        , colours_(colours)
    {
    }

    // Plots one point: a pen-up record (both fields -1) only sets the pen-up flag. Returns the
    // pixel when the point was drawable.
    std::optional<Pixel> plot(double lat, double lon, int code)
    {
        if (lat == -1.0 && lon == -1.0) {
            penUp_ = true;
            return std::nullopt;
        }
        return plotPoint(lat, lon, code);
    }

    // Plots a point known not to be a pen-up record.
    std::optional<Pixel> plotPoint(double lat, double lon, int code)
    {
        selectCode(code);
        const auto px = PositionToPixel(projection_, lat, lon);
        if (!px) {
            penUp_ = true;
            return std::nullopt;
        }
        if (penUp_) {
            canvas_.moveTo(px->x, px->y);
            penUp_ = false;
        } else {
            canvas_.lineTo(px->x, px->y);
        }
        last_ = *px;
        return px;
    }

    // A code sets the pen only when it differs from the previous one, or when it is the track's
    // (whose dots therefore restart at every fix).
    void selectCode(int code)
    {
        if (code != code_ || code == LineCode::Track) {
            canvas_.setPen(PenForLineCode(code, colours_));
            code_ = code;
        }
    }
    // Forces the next code to set its pen (after something else drew with another pen).
    void resetCode() { code_ = kNoCode; }

    void liftPen() { penUp_ = true; }
    bool penUp() const { return penUp_; }
    Pixel last() const { return last_; }
    // Moves the drawing position to a pixel without drawing (the pen stays down).
    void moveToPixel(Pixel p)
    {
        canvas_.moveTo(p.x, p.y);
        last_ = p;
    }

    RenderCanvas& canvas() { return canvas_; }
    Projection& projection() { return projection_; }
    const SchemeColours& colours() const { return colours_; }

private:
    static constexpr int kNoCode = -1;
    RenderCanvas& canvas_;
    Projection& projection_;
    const SchemeColours& colours_;
    bool penUp_ = true;
    int code_ = kNoCode;
    Pixel last_ {};
};

} // namespace kv
