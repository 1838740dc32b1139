#include "views/ViewReadouts.h"

#include "core/Format.h"
#include "views/ViewText.h"

#include <cmath>

namespace kv {

namespace {

// The fewest decimals (at most five) that show a round value exactly: 0.005 needs three.
int DecimalsOf(double value)
{
    int decimals = 0;
    while (decimals < 5
        && std::fabs(value * std::pow(10.0, decimals) - std::round(value * std::pow(10.0, decimals))) > 1e-6) {
        ++decimals;
    }
    return decimals;
}

std::string NumberText(double value)
{
    return Trim(FormatFixed(value, 0, DecimalsOf(value)));
}

} // namespace

std::optional<ScaleBar> ComputeScaleBar(const Projection& projection, double unitFactor, int maxPixels)
{
    if (projection.latScale <= 0 || unitFactor <= 0.0 || maxPixels <= 0) {
        return std::nullopt;
    }
    const double pixelsPerUnit = projection.latScale / (60.0 * unitFactor);
    const double longest = maxPixels / pixelsPerUnit;
    if (longest < 0.001) {
        return std::nullopt;
    }
    double best = 0.0;
    for (double decade = 0.001; decade <= 10000.0; decade *= 10.0) {
        for (double step : { 1.0, 2.0, 5.0 }) {
            const double d = step * decade;
            if (d <= longest * (1.0 + 1e-9)) {
                best = d;
            }
        }
    }
    if (best <= 0.0) {
        return std::nullopt;
    }
    // A decade built by repeated multiplication is not exact; the table values are.
    best = std::round(best * 1000.0) / 1000.0;
    ScaleBar bar;
    bar.distance = best;
    bar.pixels = static_cast<int>(RoundHalfEven(best * pixelsPerUnit));
    bar.label = NumberText(best) + " " + Trim(GridUnitName(unitFactor));
    return bar;
}

void DrawScaleBar(RenderCanvas& canvas, const ScaleBar& bar, int x, int y, Rgb colour)
{
    const int s = canvas.deviceScale();
    canvas.solidLine(x, y, x + bar.pixels, y, colour);
    canvas.solidLine(x, y - 5 * s, x, y, colour);
    canvas.solidLine(x + bar.pixels, y - 5 * s, x + bar.pixels, y, colour);
    canvas.solidLine(x + bar.pixels / 2, y - 3 * s, x + bar.pixels / 2, y, colour);
    canvas.text(x + 4 * s, y - 18 * s, bar.label, colour);
}

std::string RangeBearingText(LatLong from, LatLong to, double cosLatFactor, double unitFactor)
{
    // Plane sailing, as every distance of the program.
    const double north = (to.lat - from.lat) * 60.0;
    const double east = (from.lon - to.lon) * 60.0 * cosLatFactor; // longitudes are west positive
    const double range = std::sqrt(north * north + east * east) * unitFactor;
    long long bearing = RoundHalfEven(std::atan2(east, north) * 180.0 / M_PI);
    if (bearing < 0) {
        bearing += 360;
    }
    if (bearing >= 360) {
        bearing -= 360;
    }
    std::string text = Trim(FormatFixed(range, 0, range < 10.0 ? 3 : 2)) + " " + Trim(GridUnitName(unitFactor)) + " ";
    std::string b = FormatInt(bearing, 3);
    for (char& c : b) {
        if (c == ' ') {
            c = '0';
        }
    }
    return text + b + "\xb0T";
}

std::string HoverReadout(const UnitPreferences& unitPrefs, const ChartReference& ref, const Settings& settings,
    const Projection& projection, std::optional<LatLong> ownShip, int x, int y)
{
    const LatLong at = PixelToLatLong(projection, x, y);
    std::string text = ViewPositionText(unitPrefs, settings, at.lat, at.lon, 4);
    if (ownShip) {
        text += "   " + RangeBearingText(*ownShip, at, ref.CosLatFactor, settings.units.UnitFactor);
    }
    return text;
}

std::string ZoomCaption(double zoom)
{
    return "Zoom " + NumberText(zoom);
}

} // namespace kv
