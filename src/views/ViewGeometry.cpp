#include "views/ViewGeometry.h"

#include "core/Format.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kv {

namespace {
constexpr double kDegToRad = 2.0 * 3.14159265358979323846 / 360.0;
}

DrawingSurface SurfaceForScreen(int screenWidth, int screenHeight)
{
    DrawingSurface s { std::max(1, screenWidth), std::max(1, screenHeight) };
    if (static_cast<double>(s.width) / s.height > 1.3333335) {
        s.height = static_cast<int>(RoundHalfEven(s.width / 1.3333333));
    }
    return s;
}

int ChartLongitudeBaseScale(int surfaceWidth)
{
    return static_cast<int>(RoundHalfEven(surfaceWidth / 640.0 * 55.0));
}

int LatitudeBaseScale(int surfaceHeight, double cosCentreLat)
{
    return static_cast<int>(RoundHalfEven(surfaceHeight / 200.0 * 38.0 * 0.63 / cosCentreLat));
}

double ClampViewLatitude(double lat)
{
    if (lat > kMaxCentreLat) {
        return kMaxCentreLat;
    }
    if (lat < kMinCentreLat) {
        return kMinCentreLat;
    }
    return lat;
}

double WrapLongitude(double lon)
{
    if (lon > 180.0) {
        return lon - 360.0;
    }
    if (lon < -180.0) {
        return lon + 360.0;
    }
    return lon;
}

double ClipMargin(double zoom)
{
    if (zoom < 10.0) {
        return 600.0;
    }
    return std::min(static_cast<double>(RoundHalfEven(60.0 * zoom)), kGridClipMargin);
}

Projection ComputeScales(
    double& centreLat, double& centreLong, double zoom, const DrawingSurface& surface, const ViewRotation& rotation)
{
    centreLat = ClampViewLatitude(centreLat);
    centreLong = WrapLongitude(centreLong);
    Projection p;
    p.cosLat = std::cos(centreLat * kDegToRad);
    p.width = surface.width;
    p.height = surface.height;
    p.halfW = surface.width / 2;
    p.halfH = surface.height / 2;
    p.latBase = LatitudeBaseScale(surface.height, p.cosLat);
    p.longBase = ChartLongitudeBaseScale(surface.width);
    p.latScale = static_cast<int>(RoundHalfEven(p.latBase * zoom));
    p.longScale = static_cast<int>(RoundHalfEven(p.longBase * zoom));
    p.refLat = centreLat;
    p.refLong = centreLong;
    p.angle = rotation.angle;
    p.cosA = rotation.cosA;
    p.sinA = rotation.sinA;
    p.margin = ClipMargin(zoom);
    return p;
}

LatLong PixelToLatLong(const Projection& p, int x, int y)
{
    const double fx = x - p.halfW;
    const double fy = y - p.halfH;
    LatLong v;
    // A zero scale (a degenerate surface) would divide by zero: the reference is the best answer.
    v.lat = p.latScale != 0 ? p.refLat - (fy * p.cosA - fx * p.sinA) / p.latScale : p.refLat;
    v.lon = p.longScale != 0 ? p.refLong - (fx * p.cosA + fy * p.sinA) / p.longScale : p.refLong;
    v.lat = ClampViewLatitude(v.lat);
    v.lon = WrapLongitude(v.lon);
    return v;
}

std::optional<double> AutoZoomForRange(double rangeNm)
{
    static constexpr std::array<std::pair<double, double>, 14> kTable { { { 0.02, 6000 }, { 0.05, 2400 }, { 0.1, 1200 },
        { 0.3, 400 }, { 0.6, 200 }, { 1.25, 100 }, { 2.5, 50 }, { 5, 25 }, { 10, 12 }, { 20, 6 }, { 40, 3 }, { 50, 2 },
        { 100, 1 }, { 200, 0.5 } } };
    for (const auto& [limit, zoom] : kTable) {
        if (limit > rangeNm) {
            return zoom;
        }
    }
    return std::nullopt;
}

int CentredScrollPosition(int scrollRange, int clientExtent)
{
    return TruncDiv(scrollRange - clientExtent, 2) + 1;
}

} // namespace kv
