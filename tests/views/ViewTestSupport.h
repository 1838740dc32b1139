#pragma once
// A small chart and waypoint list for the view tests, and image helpers.

#include "charts/Render.h"
#include "charts/RenderCanvas.h"

#include <QImage>

#include <string>
#include <vector>

namespace kvtest {

struct TestChart final : kv::ChartSource {
    struct Point {
        double encodedLat;
        double lon;
    };
    struct Waypoint {
        std::string name;
        double lat;
        double lon;
    };
    std::vector<Point> points;
    std::vector<Waypoint> waypoints;

    void add(double lat, double lon, int type = 0) { points.push_back({lat + 200.0 * type, lon}); }
    void penUp() { points.push_back({-1.0, -1.0}); }
    void addWaypoint(const std::string& label, int symbol, int parameter, double lat, double lon)
    {
        std::string name = label.substr(0, 24);
        name.resize(24, ' ');
        char digits[5];
        std::snprintf(digits, sizeof digits, "%02d%02d", symbol, parameter);
        name += digits;
        name += ' ';
        waypoints.push_back({name, lat, lon});
    }

    int pointCount() const override { return static_cast<int>(points.size()); }
    bool point(int n, double& encodedLat, double& lon) const override
    {
        const Point& p = points.at(static_cast<std::size_t>(n - 1));
        if (p.encodedLat == -1.0 && p.lon == -1.0) {
            return false;
        }
        encodedLat = p.encodedLat;
        lon = p.lon;
        return true;
    }
    int waypointCount() const override { return static_cast<int>(waypoints.size()); }
    const std::string& waypointName(int n) const override { return waypoints.at(static_cast<std::size_t>(n - 1)).name; }
    double waypointLat(int n) const override { return waypoints.at(static_cast<std::size_t>(n - 1)).lat; }
    double waypointLong(int n) const override { return waypoints.at(static_cast<std::size_t>(n - 1)).lon; }
};

inline kv::Rgb PixelAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

inline int CountColour(const QImage& image, kv::Rgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (PixelAt(image, x, y) == colour) {
                ++n;
            }
        }
    }
    return n;
}

inline QImage BlankImage(int w, int h, kv::Rgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(0xFF000000u | colour));
    return image;
}

} // namespace kvtest
