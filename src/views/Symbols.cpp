#include "views/Symbols.h"

#include "core/Format.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr std::array<std::string_view, kSymbolCount> kSymbolNames{
    "Medium Cross",
    "Small Cross",
    "Point",
    "East Cardinal",
    "Isolated Danger",
    "Light or Lighthouse",
    "South Cardinal",
    "Starboard Channel Mark",
    "Port Channel Mark",
    "West Cardinal",
    "Race Mark",
    "Post or Pile",
    "North Cardinal",
    "Fairway Buoy",
    "Wreck",
    "Wreck Exposed at low water",
    "Rock Awash",
    "Tide rip / Overfalls",
    "Racon",
    "Small Circle (route waypoint)",
    "Circle Radius R# x 0.01 Nm",
    "Circle Radius R# x 1.0 Nm",
    "Anchorage",
    "Blank (no shape)",
    "Visitors",
    "Small yellow sphere",
    "Large yellow sphere",
    "Small green sphere",
    "Small red sphere",
    "Large Circle with X",
    "Circle Radius R# x 1 m",
    "Circle Radius R# x 0.1 Km",
    "Chartlet / Information",
    "Chartlet with audio clip",
    "Small white sphere",
    "Light beam",
    "Large cross",
};

// Small helpers over the canvas, all in one colour.
struct Ink {
    RenderCanvas& c;
    Rgb colour;
    void px(int x, int y) const { c.setPixel(x, y, colour); }
    void hline(int x0, int x1, int y) const
    {
        for (int x = x0; x <= x1; ++x) {
            c.setPixel(x, y, colour);
        }
    }
    void vline(int x, int y0, int y1) const
    {
        for (int y = y0; y <= y1; ++y) {
            c.setPixel(x, y, colour);
        }
    }
    // A centred row of the given width.
    void row(int x, int y, int width) const { hline(x - width / 2, x + width / 2, y); }
    void cross(int x, int y, int arm) const
    {
        hline(x - arm, x + arm, y);
        vline(x, y - arm, y + arm);
    }
    void diagonals(int x, int y, int arm) const
    {
        for (int i = -arm; i <= arm; ++i) {
            px(x + i, y + i);
            px(x + i, y - i);
        }
    }
};

// Symbol 32's frame, ring and marker, shared by 33.
void DrawChartlet(const Ink& a, int x, int y)
{
    a.hline(x - 3, x + 3, y - 2);
    a.hline(x - 3, x + 3, y + 2);
    a.vline(x - 3, y - 2, y + 2);
    a.vline(x + 3, y - 2, y + 2);
    DrawRing(a.c, x, y, 8, 60, a.colour);
    for (int k = 6; k <= 10; ++k) { // marker line leaving the ring towards the upper right
        a.px(x + k, y - k);
    }
}

} // namespace

double GeographicRadius(int symbol, int parameter)
{
    switch (symbol) {
    case 20:
        return (parameter == 0 ? 100 : parameter) / 6000.0;
    case 21:
        return (parameter == 0 ? 10 : parameter) / 60.0;
    case 30:
        return (parameter == 0 ? 100 : parameter) / 111112.0;
    case 31:
        return (parameter == 0 ? 10 : parameter) / 1111.12;
    default:
        return 0.0;
    }
}

std::string_view SymbolName(int symbol)
{
    if (symbol < 0 || symbol >= kSymbolCount) {
        return {};
    }
    return kSymbolNames[static_cast<std::size_t>(symbol)];
}

void DrawRing(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour)
{
    for (int k = 1; k <= n + 1; ++k) {
        const double a = k * 2.0 * kPi / n;
        canvas.setPixel(x + static_cast<int>(RoundHalfEven(radius * std::sin(a))),
                        y + static_cast<int>(RoundHalfEven(radius * std::cos(a))), colour);
    }
}

void DrawDisc(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour)
{
    DrawRing(canvas, x, y, radius, n, colour);
    canvas.floodFillBorder(x, y, colour, colour);
}

void DrawGeographicCircle(Plotter& plotter, double lat, double lon, double radiusDeg, int code)
{
    const double cosLat = plotter.projection().cosLat;
    const double lonRadius = cosLat != 0.0 ? radiusDeg / cosLat : radiusDeg;
    plotter.liftPen();
    for (int k = 0; k <= 60; ++k) {
        const double a = k * 6.0 * kPi / 180.0;
        plotter.plotPoint(lat + radiusDeg * std::cos(a), lon + lonRadius * std::sin(a), code);
    }
}

void DrawSymbol(Plotter& plotter, const SymbolPlace& place, int parameter, int symbol, int roundedZoom,
                int symbolThreshold)
{
    RenderCanvas& canvas = plotter.canvas();
    const int x = place.x;
    const int y = place.y;
    const Ink ink{canvas, plotter.colours().ink()};

    if (roundedZoom < symbolThreshold) {
        if (symbol != kBlankSymbol) {
            ink.cross(x, y, 1);
        }
    } else {
        switch (symbol) {
        case 0:
            ink.cross(x, y, 6);
            break;
        case 1:
            ink.cross(x, y, 3);
            break;
        case 2:
            ink.px(x, y);
            break;
        case 3: // base to base
            for (int d = 1; d <= 4; ++d) {
                ink.row(x, y - d, 9 - 2 * d);
                ink.row(x, y + d, 9 - 2 * d);
            }
            break;
        case 4:
            ink.vline(x, y - 4, y + 4);
            ink.hline(x - 1, x + 1, y - 4);
            ink.hline(x - 1, x + 1, y - 3);
            ink.hline(x - 1, x + 1, y);
            ink.hline(x - 1, x + 1, y + 1);
            break;
        case 5:
            for (int d : {-3, -2, 2, 3}) {
                ink.px(x + d, y);
            }
            for (int d : {-1, 1}) {
                ink.px(x - 1, y + d);
                ink.px(x + 1, y + d);
            }
            for (int d : {-2, 2}) {
                ink.px(x - 2, y + d);
                ink.px(x, y + d);
                ink.px(x + 2, y + d);
            }
            ink.px(x, y - 3);
            ink.px(x, y + 3);
            break;
        case 6: // both pointing down
            for (int k = 0; k < 4; ++k) {
                ink.row(x, y - 4 + k, 7 - 2 * k);
                ink.row(x, y + 1 + k, 7 - 2 * k);
            }
            break;
        case 7: {
            const Ink green{canvas, kLime};
            for (int r = y; r <= y + 4; ++r) {
                green.hline(x - 3, x + 3, r);
            }
            for (int k = 1; k <= 4; ++k) {
                green.row(x, y - k, 9 - 2 * k);
            }
            break;
        }
        case 8: {
            const Ink red{canvas, kRed};
            for (int r = y - 3; r <= y + 3; ++r) {
                red.hline(x - 3, x + 3, r);
            }
            break;
        }
        case 9: // apex to apex
            for (int d = 1; d <= 4; ++d) {
                ink.row(x, y - d, 2 * d - 1);
                ink.row(x, y + d, 2 * d - 1);
            }
            break;
        case 10:
            ink.diagonals(x, y, 3);
            break;
        case 11:
            for (int c = x - 1; c <= x + 1; ++c) {
                ink.vline(c, y - 4, y + 4);
            }
            break;
        case 12: // both pointing up
            for (int k = 0; k < 4; ++k) {
                ink.row(x, y - 4 + k, 1 + 2 * k);
                ink.row(x, y + 1 + k, 1 + 2 * k);
            }
            break;
        case 13:
            ink.vline(x, y - 2, y + 2);
            ink.hline(x - 3, x + 3, y + 3);
            ink.hline(x - 3, x + 3, y + 4);
            ink.hline(x - 1, x + 1, y - 3);
            ink.hline(x - 1, x + 1, y - 4);
            break;
        case 14:
            ink.hline(x - 6, x + 6, y);
            ink.vline(x - 2, y - 3, y + 3);
            ink.vline(x + 2, y - 3, y + 3);
            break;
        case 15: // a hull narrowing upwards from its widest row and a leaning mast above it
            for (int k = 0; k <= 5; ++k) {
                ink.hline(x - 6 + k, x + 8 - k, y - k);
            }
            ink.px(x + 4, y - 5);
            ink.px(x + 5, y - 6);
            break;
        case 16:
            ink.cross(x, y, 3);
            for (int dx : {-2, 2}) {
                for (int dy : {-2, 2}) {
                    ink.px(x + dx, y + dy);
                }
            }
            break;
        case 17:
            ink.hline(x - 2, x + 3, y - 1);
            ink.hline(x - 3, x + 2, y + 1);
            break;
        case 18:
            DrawRing(canvas, x, y, 7, 60, kFuchsia);
            canvas.setPixel(x, y, kFuchsia);
            break;
        case 19:
            DrawRing(canvas, x, y, 3, 30, ink.colour);
            ink.px(x, y);
            break;
        case 20:
        case 21:
        case 30:
        case 31:
            DrawGeographicCircle(plotter, place.lat, place.lon, GeographicRadius(symbol, parameter),
                                 LineCode::DottedLime);
            ink.px(x, y);
            break;
        case 22:
            ink.hline(x - 3, x + 3, y);
            ink.vline(x, y - 2, y + 5);
            for (int d = 1; d <= 3; ++d) {
                ink.px(x - d, y + 6 - d);
                ink.px(x + d, y + 6 - d);
            }
            break;
        case 23:
            break;
        case 24: // a V over the disc
            DrawDisc(canvas, x, y, 6, 60, kFuchsia);
            ink.px(x, y + 3);
            for (int k = 1; k <= 3; ++k) {
                for (int s : {-1, 1}) {
                    ink.px(x + s * k, y + 4 - 2 * k);
                    ink.px(x + s * k, y + 3 - 2 * k);
                }
            }
            break;
        case 25:
            DrawDisc(canvas, x, y, 3, 30, kYellow);
            break;
        case 26:
            DrawDisc(canvas, x, y, 4, 40, kYellow);
            break;
        case 27:
            DrawDisc(canvas, x, y, 3, 30, kLime);
            break;
        case 28:
            DrawDisc(canvas, x, y, 3, 30, kRed);
            break;
        case 29:
            DrawRing(canvas, x, y, 7, 60, ink.colour);
            ink.diagonals(x, y, 5);
            break;
        case 32:
            DrawChartlet(Ink{canvas, kAqua}, x, y);
            break;
        case 33: {
            const Ink aqua{canvas, kAqua};
            DrawChartlet(aqua, x, y);
            // a quaver beside the marker: stem, head and flag
            aqua.vline(x + 13, y - 10, y - 5);
            aqua.hline(x + 11, x + 12, y - 5);
            aqua.hline(x + 11, x + 12, y - 4);
            aqua.px(x + 14, y - 9);
            aqua.px(x + 15, y - 8);
            break;
        }
        case 34:
            DrawDisc(canvas, x, y, 3, 30, kWhite);
            break;
        case 35: { // three rays fanning out over the square above and right of the point
            const Ink beam{canvas, kFuchsia};
            for (int k = 1; k <= 6; ++k) {
                beam.px(x + k, y - k);
                beam.px(x + k, y - (k + 1) / 2);
                beam.px(x + (k + 1) / 2, y - k);
            }
            break;
        }
        case 36:
            ink.cross(x, y, 9);
            break;
        default:
            break;
        }
    }
    // The drawing position returns to the point, so a route leg continues from the waypoint.
    plotter.moveToPixel(Pixel{x, y});
}

} // namespace kv
