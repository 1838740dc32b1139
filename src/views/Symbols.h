#pragma once
// The 37 waypoint symbols, drawn pixel by pixel around a waypoint's screen point.

#include "views/RenderPlotter.h"

#include <string_view>

namespace kv {

inline constexpr int kSymbolCount = 37;
inline constexpr int kRouteWaypointSymbol = 19;
inline constexpr int kActiveWaypointSymbol = 34;
inline constexpr int kBlankSymbol = 23;

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
void DrawSymbol(Plotter& plotter, const SymbolPlace& place, int parameter, int symbol, int roundedZoom,
                int symbolThreshold);

// A ring of single pixels at x + round(r sin a), y + round(r cos a), a = k × 2π / n, k = 1 … n + 1.
void DrawRing(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour);
// A ring flood-filled from its centre with its own colour.
void DrawDisc(RenderCanvas& canvas, int x, int y, int radius, int n, Rgb colour);
// A polyline of 61 points at 6° around the position with the radius in degrees of latitude
// (longitude steps widened by 1 / cos of the view's centre latitude), in the given line code.
void DrawGeographicCircle(Plotter& plotter, double lat, double lon, double radiusDeg, int code);

} // namespace kv
