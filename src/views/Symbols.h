#pragma once
// The 37 waypoint symbols, drawn pixel by pixel around a waypoint's screen point.

#include "views/RenderPlotter.h"

#include <string_view>

namespace kv {

// The symbol numbers, as the waypoint files store them.
enum class Symbol : int {
    MediumCross = 0,
    SmallCross = 1,
    Point = 2,
    EastCardinal = 3,
    IsolatedDanger = 4,
    Light = 5,
    SouthCardinal = 6,
    StarboardChannelMark = 7,
    PortChannelMark = 8,
    WestCardinal = 9,
    RaceMark = 10,
    PostOrPile = 11,
    NorthCardinal = 12,
    FairwayBuoy = 13,
    Wreck = 14,
    WreckExposed = 15,
    RockAwash = 16,
    TideRip = 17,
    Racon = 18,
    RouteWaypoint = 19,
    CircleHundredthsNm = 20, // radius R# x 0.01 Nm
    CircleNm = 21, // radius R# x 1.0 Nm
    Anchorage = 22,
    Blank = 23,
    Visitors = 24,
    SmallYellowSphere = 25,
    LargeYellowSphere = 26,
    SmallGreenSphere = 27,
    SmallRedSphere = 28,
    LargeCircleWithX = 29,
    CircleMetres = 30, // radius R# x 1 m
    CircleTenthsKm = 31, // radius R# x 0.1 Km
    Chartlet = 32,
    ChartletWithAudio = 33,
    SmallWhiteSphere = 34,
    LightBeam = 35,
    LargeCross = 36,
};

inline constexpr int kSymbolCount = 37;
inline constexpr int kRouteWaypointSymbol = static_cast<int>(Symbol::RouteWaypoint);
inline constexpr int kActiveWaypointSymbol = static_cast<int>(Symbol::SmallWhiteSphere);
inline constexpr int kBlankSymbol = static_cast<int>(Symbol::Blank);

// The names the waypoint dialog lists, by symbol number.
std::string_view SymbolName(int symbol);

struct SymbolPlace {
    int x = 0;
    int y = 0;
    double lat = 0.0; // the waypoint's position, for the geographic circles
    double lon = 0.0;
};

// The radius in degrees of latitude of the circle symbols 20, 21, 30 and 31 for the parameter R#
// (0 takes each symbol's default); 0 for every other symbol.
double GeographicRadius(int symbol, int parameter);

// Draws symbol 0 … 36 at the place. Below the view's symbol threshold every symbol but the blank
// one is a 3 × 3 plus. Afterwards the pen is up and at the point. Other numbers draw nothing.
void DrawSymbol(
    Plotter& plotter, const SymbolPlace& place, int parameter, int symbol, int roundedZoom, int symbolThreshold);

// A ring of single pixels at x + round(r sin a), y + round(r cos a), a = k × 2π / n, k = 1 … n + 1.
void DrawRing(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour);
// A ring flood-filled from its centre with its own colour.
void DrawDisc(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour);
// A polyline of 61 points at 6° around the position with the radius in degrees of latitude
// (longitude steps widened by 1 / cos of the view's centre latitude), in the given line code.
void DrawGeographicCircle(Plotter& plotter, double lat, double lon, double radiusDeg, int code);

} // namespace kv
