#include "views/Symbols.h"

#include "core/Format.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

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

// What a symbol's drawing needs: the plotter (for the geographic circles), the point and its
// waypoint, the symbol's parameter and the ink of the view's palette.
struct SymbolPen {
    Plotter& plotter;
    RenderCanvas& canvas;
    Ink ink;
    const SymbolPlace& place;
    int parameter;
    int x;
    int y;
};

using SymbolDrawing = void (*)(const SymbolPen&);

void DrawNothing(const SymbolPen&) { }

void DrawGeographic(const SymbolPen& p, Symbol symbol)
{
    DrawGeographicCircle(p.plotter, p.place.lat, p.place.lon, GeographicRadius(static_cast<int>(symbol), p.parameter),
        LineCode::DottedLime);
    p.ink.px(p.x, p.y);
}

struct SymbolEntry {
    Symbol symbol;
    std::string_view name; // as the waypoint dialog lists it
    SymbolDrawing draw;
};

// Indexed by symbol number; the numbers are stored in the waypoint files.
constexpr std::array<SymbolEntry, kSymbolCount> kSymbols { {
    { Symbol::MediumCross, "Medium Cross", [](const SymbolPen& p) { p.ink.cross(p.x, p.y, 6); } },
    { Symbol::SmallCross, "Small Cross", [](const SymbolPen& p) { p.ink.cross(p.x, p.y, 3); } },
    { Symbol::Point, "Point", [](const SymbolPen& p) { p.ink.px(p.x, p.y); } },
    { Symbol::EastCardinal, "East Cardinal",
        [](const SymbolPen& p) { // base to base
            for (int d = 1; d <= 4; ++d) {
                p.ink.row(p.x, p.y - d, 9 - 2 * d);
                p.ink.row(p.x, p.y + d, 9 - 2 * d);
            }
        } },
    { Symbol::IsolatedDanger, "Isolated Danger",
        [](const SymbolPen& p) {
            const int x = p.x, y = p.y;
            p.ink.vline(x, y - 4, y + 4);
            p.ink.hline(x - 1, x + 1, y - 4);
            p.ink.hline(x - 1, x + 1, y - 3);
            p.ink.hline(x - 1, x + 1, y);
            p.ink.hline(x - 1, x + 1, y + 1);
        } },
    { Symbol::Light, "Light or Lighthouse",
        [](const SymbolPen& p) {
            const Ink& ink = p.ink;
            const int x = p.x, y = p.y;
            for (int d : { -3, -2, 2, 3 }) {
                ink.px(x + d, y);
            }
            for (int d : { -1, 1 }) {
                ink.px(x - 1, y + d);
                ink.px(x + 1, y + d);
            }
            for (int d : { -2, 2 }) {
                ink.px(x - 2, y + d);
                ink.px(x, y + d);
                ink.px(x + 2, y + d);
            }
            ink.px(x, y - 3);
            ink.px(x, y + 3);
        } },
    { Symbol::SouthCardinal, "South Cardinal",
        [](const SymbolPen& p) { // both pointing down
            for (int k = 0; k < 4; ++k) {
                p.ink.row(p.x, p.y - 4 + k, 7 - 2 * k);
                p.ink.row(p.x, p.y + 1 + k, 7 - 2 * k);
            }
        } },
    { Symbol::StarboardChannelMark, "Starboard Channel Mark",
        [](const SymbolPen& p) {
            const Ink green { p.canvas, kLime };
            for (int r = p.y; r <= p.y + 4; ++r) {
                green.hline(p.x - 3, p.x + 3, r);
            }
            for (int k = 1; k <= 4; ++k) {
                green.row(p.x, p.y - k, 9 - 2 * k);
            }
        } },
    { Symbol::PortChannelMark, "Port Channel Mark",
        [](const SymbolPen& p) {
            const Ink red { p.canvas, kRed };
            for (int r = p.y - 3; r <= p.y + 3; ++r) {
                red.hline(p.x - 3, p.x + 3, r);
            }
        } },
    { Symbol::WestCardinal, "West Cardinal",
        [](const SymbolPen& p) { // apex to apex
            for (int d = 1; d <= 4; ++d) {
                p.ink.row(p.x, p.y - d, 2 * d - 1);
                p.ink.row(p.x, p.y + d, 2 * d - 1);
            }
        } },
    { Symbol::RaceMark, "Race Mark", [](const SymbolPen& p) { p.ink.diagonals(p.x, p.y, 3); } },
    { Symbol::PostOrPile, "Post or Pile",
        [](const SymbolPen& p) {
            for (int c = p.x - 1; c <= p.x + 1; ++c) {
                p.ink.vline(c, p.y - 4, p.y + 4);
            }
        } },
    { Symbol::NorthCardinal, "North Cardinal",
        [](const SymbolPen& p) { // both pointing up
            for (int k = 0; k < 4; ++k) {
                p.ink.row(p.x, p.y - 4 + k, 1 + 2 * k);
                p.ink.row(p.x, p.y + 1 + k, 1 + 2 * k);
            }
        } },
    { Symbol::FairwayBuoy, "Fairway Buoy",
        [](const SymbolPen& p) {
            const int x = p.x, y = p.y;
            p.ink.vline(x, y - 2, y + 2);
            p.ink.hline(x - 3, x + 3, y + 3);
            p.ink.hline(x - 3, x + 3, y + 4);
            p.ink.hline(x - 1, x + 1, y - 3);
            p.ink.hline(x - 1, x + 1, y - 4);
        } },
    { Symbol::Wreck, "Wreck",
        [](const SymbolPen& p) {
            p.ink.hline(p.x - 6, p.x + 6, p.y);
            p.ink.vline(p.x - 2, p.y - 3, p.y + 3);
            p.ink.vline(p.x + 2, p.y - 3, p.y + 3);
        } },
    { Symbol::WreckExposed, "Wreck Exposed at low water",
        [](const SymbolPen& p) { // a hull narrowing upwards from its widest row and a leaning mast above it
            for (int k = 0; k <= 5; ++k) {
                p.ink.hline(p.x - 6 + k, p.x + 8 - k, p.y - k);
            }
            p.ink.px(p.x + 4, p.y - 5);
            p.ink.px(p.x + 5, p.y - 6);
        } },
    { Symbol::RockAwash, "Rock Awash",
        [](const SymbolPen& p) {
            p.ink.cross(p.x, p.y, 3);
            for (int dx : { -2, 2 }) {
                for (int dy : { -2, 2 }) {
                    p.ink.px(p.x + dx, p.y + dy);
                }
            }
        } },
    { Symbol::TideRip, "Tide rip / Overfalls",
        [](const SymbolPen& p) {
            p.ink.hline(p.x - 2, p.x + 3, p.y - 1);
            p.ink.hline(p.x - 3, p.x + 2, p.y + 1);
        } },
    { Symbol::Racon, "Racon",
        [](const SymbolPen& p) {
            DrawRing(p.canvas, p.x, p.y, 7, 60, kFuchsia);
            p.canvas.setPixel(p.x, p.y, kFuchsia);
        } },
    { Symbol::RouteWaypoint, "Small Circle (route waypoint)",
        [](const SymbolPen& p) {
            DrawRing(p.canvas, p.x, p.y, 3, 30, p.ink.colour);
            p.ink.px(p.x, p.y);
        } },
    { Symbol::CircleHundredthsNm, "Circle Radius R# x 0.01 Nm",
        [](const SymbolPen& p) { DrawGeographic(p, Symbol::CircleHundredthsNm); } },
    { Symbol::CircleNm, "Circle Radius R# x 1.0 Nm", [](const SymbolPen& p) { DrawGeographic(p, Symbol::CircleNm); } },
    { Symbol::Anchorage, "Anchorage",
        [](const SymbolPen& p) {
            p.ink.hline(p.x - 3, p.x + 3, p.y);
            p.ink.vline(p.x, p.y - 2, p.y + 5);
            for (int d = 1; d <= 3; ++d) {
                p.ink.px(p.x - d, p.y + 6 - d);
                p.ink.px(p.x + d, p.y + 6 - d);
            }
        } },
    { Symbol::Blank, "Blank (no shape)", DrawNothing },
    { Symbol::Visitors, "Visitors",
        [](const SymbolPen& p) { // a V over the disc
            DrawDisc(p.canvas, p.x, p.y, 6, 60, kFuchsia);
            p.ink.px(p.x, p.y + 3);
            for (int k = 1; k <= 3; ++k) {
                for (int s : { -1, 1 }) {
                    p.ink.px(p.x + s * k, p.y + 4 - 2 * k);
                    p.ink.px(p.x + s * k, p.y + 3 - 2 * k);
                }
            }
        } },
    { Symbol::SmallYellowSphere, "Small yellow sphere",
        [](const SymbolPen& p) { DrawDisc(p.canvas, p.x, p.y, 3, 30, kYellow); } },
    { Symbol::LargeYellowSphere, "Large yellow sphere",
        [](const SymbolPen& p) { DrawDisc(p.canvas, p.x, p.y, 4, 40, kYellow); } },
    { Symbol::SmallGreenSphere, "Small green sphere",
        [](const SymbolPen& p) { DrawDisc(p.canvas, p.x, p.y, 3, 30, kLime); } },
    { Symbol::SmallRedSphere, "Small red sphere",
        [](const SymbolPen& p) { DrawDisc(p.canvas, p.x, p.y, 3, 30, kRed); } },
    { Symbol::LargeCircleWithX, "Large Circle with X",
        [](const SymbolPen& p) {
            DrawRing(p.canvas, p.x, p.y, 7, 60, p.ink.colour);
            p.ink.diagonals(p.x, p.y, 5);
        } },
    { Symbol::CircleMetres, "Circle Radius R# x 1 m",
        [](const SymbolPen& p) { DrawGeographic(p, Symbol::CircleMetres); } },
    { Symbol::CircleTenthsKm, "Circle Radius R# x 0.1 Km",
        [](const SymbolPen& p) { DrawGeographic(p, Symbol::CircleTenthsKm); } },
    { Symbol::Chartlet, "Chartlet / Information",
        [](const SymbolPen& p) {
            DrawChartlet(Ink { p.canvas, kAqua }, p.x, p.y);
        } },
    { Symbol::ChartletWithAudio, "Chartlet with audio clip",
        [](const SymbolPen& p) {
            const Ink aqua { p.canvas, kAqua };
            const int x = p.x, y = p.y;
            DrawChartlet(aqua, x, y);
            // a quaver beside the marker: stem, head and flag
            aqua.vline(x + 13, y - 10, y - 5);
            aqua.hline(x + 11, x + 12, y - 5);
            aqua.hline(x + 11, x + 12, y - 4);
            aqua.px(x + 14, y - 9);
            aqua.px(x + 15, y - 8);
        } },
    { Symbol::SmallWhiteSphere, "Small white sphere",
        [](const SymbolPen& p) { DrawDisc(p.canvas, p.x, p.y, 3, 30, kWhite); } },
    { Symbol::LightBeam, "Light beam",
        [](const SymbolPen& p) { // three rays fanning out over the square above and right of the point
            const Ink beam { p.canvas, kFuchsia };
            for (int k = 1; k <= 6; ++k) {
                beam.px(p.x + k, p.y - k);
                beam.px(p.x + k, p.y - (k + 1) / 2);
                beam.px(p.x + (k + 1) / 2, p.y - k);
            }
        } },
    { Symbol::LargeCross, "Large cross", [](const SymbolPen& p) { p.ink.cross(p.x, p.y, 9); } },
} };

constexpr bool NumberedInOrder()
{
    for (std::size_t i = 0; i < kSymbols.size(); ++i) {
        if (static_cast<std::size_t>(kSymbols[i].symbol) != i) {
            return false;
        }
    }
    return true;
}
static_assert(NumberedInOrder(), "the table is indexed by symbol number");

const SymbolEntry* FindSymbol(int symbol)
{
    return symbol >= 0 && symbol < kSymbolCount ? &kSymbols[static_cast<std::size_t>(symbol)] : nullptr;
}

} // namespace

double GeographicRadius(int symbol, int parameter)
{
    switch (static_cast<Symbol>(symbol)) {
    case Symbol::CircleHundredthsNm:
        return (parameter == 0 ? 100 : parameter) / 6000.0;
    case Symbol::CircleNm:
        return (parameter == 0 ? 10 : parameter) / 60.0;
    case Symbol::CircleMetres:
        return (parameter == 0 ? 100 : parameter) / 111112.0;
    case Symbol::CircleTenthsKm:
        return (parameter == 0 ? 10 : parameter) / 1111.12;
    default:
        return 0.0;
    }
}

std::string_view SymbolName(int symbol)
{
    const SymbolEntry* entry = FindSymbol(symbol);
    return entry != nullptr ? entry->name : std::string_view();
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

void DrawSymbol(
    Plotter& plotter, const SymbolPlace& place, int parameter, int symbol, int roundedZoom, int symbolThreshold)
{
    RenderCanvas& canvas = plotter.canvas();
    const int x = place.x;
    const int y = place.y;
    const Ink ink { canvas, plotter.colours().ink() };

    if (roundedZoom < symbolThreshold) {
        if (symbol != kBlankSymbol) {
            ink.cross(x, y, 1);
        }
    } else if (const SymbolEntry* entry = FindSymbol(symbol)) {
        entry->draw(SymbolPen { plotter, canvas, ink, place, parameter, x, y });
    }
    // The drawing position returns to the point, so a route leg continues from the waypoint.
    plotter.moveToPixel(Pixel { x, y });
}

} // namespace kv
