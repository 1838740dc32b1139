#pragma once
// A small chart and waypoint list for the view tests, and image helpers.

#include "app/ProgramState.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "views/Render.h"
#include "views/RenderCanvas.h"

#include <QImage>

#include <string>
#include <vector>

namespace kvtest {

// Builds a chart in the program's store and waypoint table.
struct TestChart {
    kv::ProgramState& state;

    void add(double lat, double lon, int type = 0)
    {
        kv::ChartStore& store = state.chart;
        const int n = store.count() + 1;
        store.setCount(n);
        store.setPoint(n, kv::ChartPoint::make(lat, lon, type));
    }
    void penUp()
    {
        kv::ChartStore& store = state.chart;
        const int n = store.count() + 1;
        store.setCount(n);
        store.setPoint(n, kv::ChartPoint::penUp());
    }
    void clear() { state.chart.setCount(0); }
    void addWaypoint(const std::string& label, int symbol, int parameter, double lat, double lon)
    {
        kv::ChartWaypoint wp;
        wp.name = kv::WaypointNameField(label, symbol, parameter);
        wp.lat = lat;
        wp.lon = lon;
        state.waypoints.push(wp);
    }
};

// The small drawing surface of the view tests: 320 x 240 pixels, a chart centred at 50 N 1 W.
inline void UseSmallSurface(kv::ProgramState& state, double chartZoom, const std::string& chartName)
{
    state.chartGeometry.SurfaceWidth = 320;
    state.chartGeometry.SurfaceHeight = 240;
    state.chartGeometry.ChartCentreLat = 50.0;
    state.chartGeometry.ChartCentreLong = 1.0;
    state.chartGeometry.ChartZoom = chartZoom;
    state.chart.ChartName = chartName;
}

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
