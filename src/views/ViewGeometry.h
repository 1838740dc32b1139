#pragma once
// The geometry of a chart view: the shared drawing surface, the shared rotation, and the
// plate carrée projection between positions (latitude north positive, longitude WEST positive)
// and bitmap pixels. The projection is recomputed from the view's centre at every redraw and is
// stretched vertically by 1 / cos(centre latitude), so it is locally conformal at the centre.

#include "core/LatLong.h"

#include <cmath>
#include <optional>

namespace kv {

inline constexpr double kMinZoom = 0.03125;
inline constexpr double kMaxZoom = 12000.0;
inline constexpr double kMaxCentreLat = 84.0;
inline constexpr double kMinCentreLat = -80.0;
inline constexpr double kGridClipMargin = 30000.0;

// Every view bitmap is W × H pixels: the screen, with the height raised for screens wider than
// 4:3 so that the chart is never squeezed.
struct DrawingSurface {
    int width = 1024;
    int height = 768;
};
DrawingSurface SurfaceForScreen(int screenWidth, int screenHeight);

// Pixels per degree of longitude at zoom 1.
int ChartLongitudeBaseScale(int surfaceWidth);
// Pixels per degree of latitude at zoom 1 for a centre latitude whose cosine is given.
int LatitudeBaseScale(int surfaceHeight, double cosCentreLat);

// The shared rotation of every view (course-up display): the angle with its cosine and sine held
// ready.
struct ViewRotation {
    double angle = 0.0; // radians
    double cosA = 1.0;
    double sinA = 0.0;
    void setAngle(double radians)
    {
        angle = radians;
        cosA = std::cos(radians);
        sinA = std::sin(radians);
    }
};

// Latitude clamped into the band the views can show, longitude wrapped into -180 … 180.
double ClampViewLatitude(double lat);
double WrapLongitude(double lon);

// 600 pixels below zoom 10, else 60 pixels per unit of zoom up to 30000.
double ClipMargin(double zoom);

// Everything one redraw needs to place a point; computed by the scale computation and kept by
// the view so that clicks are converted with the scales of the picture on screen.
struct Projection {
    double refLat = 0.0;
    double refLong = 0.0;
    double cosLat = 1.0; // cosine of the reference latitude
    int latBase = 0;
    int longBase = 0;
    int latScale = 0;
    int longScale = 0;
    int width = 1024;
    int height = 768;
    int halfW = 512;
    int halfH = 384;
    double angle = 0.0; // the rotation, radians
    double cosA = 1.0;
    double sinA = 0.0;
    double margin = 600.0;
};

struct Pixel {
    int x = 0;
    int y = 0;
    friend bool operator==(const Pixel&, const Pixel&) = default;
};

// The first step of every redraw. The centre is clamped and wrapped in place (the view keeps the
// corrected centre); the reference position is the centre unless the caller substitutes another.
Projection ComputeScales(
    double& centreLat, double& centreLong, double zoom, const DrawingSurface& surface, const ViewRotation& rotation);

// Position to pixel; nothing when the point lies outside the clip margin. Pure arithmetic: the
// redraw calls it for every point it draws.
inline std::optional<Pixel> PositionToPixel(const Projection& p, double lat, double lon)
{
    const double dy = (p.refLat - lat) * p.latScale;
    const double dx = (p.refLong - lon) * p.longScale; // positive eastwards
    const double py = dy + p.halfH;
    const double px = dx + p.halfW;
    if (!(py > -p.margin && py < p.height + p.margin && px > -p.margin && px < p.width + p.margin)) {
        return std::nullopt;
    }
    // Halves go to the even neighbour (the default rounding mode).
    return Pixel { static_cast<int>(std::nearbyint(dx * p.cosA + p.halfW - dy * p.sinA)),
        static_cast<int>(std::nearbyint(dy * p.cosA + p.halfH + dx * p.sinA)) };
}

// Pixel to position, clamped and wrapped as the centre is.
LatLong PixelToLatLong(const Projection& p, int x, int y);

// Zoom for a range in nautical miles: the first row whose limit exceeds the range; nothing for
// 200 Nm or more (the caller keeps its zoom).
std::optional<double> AutoZoomForRange(double rangeNm);

// Scroll position that puts the middle of the bitmap in the middle of the window.
int CentredScrollPosition(int scrollRange, int clientExtent);

} // namespace kv
