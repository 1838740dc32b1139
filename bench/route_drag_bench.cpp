// One step of a route waypoint dragged with the mouse on a 1920-pixel-wide screen (1920 × 1440
// bitmap): the waypoint moved to the pixel under the mouse, the view drawn again where it stands
// with the legs to the new place, and the pixmap the window then shows. The scene is a full
// chart (10800 points of all line types), 600 labelled waypoints, a 40-waypoint route, a
// 98-record track and 100 tidal diamonds; compare with BM_FullRedraw1920x1440 of the same run.

#include "app/ProgramState.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "views/RouteMouse.h"
#include "views/ViewSet.h"

#include <benchmark/benchmark.h>

#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

using namespace kv;

struct DragScene {
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    FakePlatform fakes;
    std::unique_ptr<ViewSet> views;
    ChartView* view = nullptr;

    DragScene()
    {
        ProgramState& s = *state;
        const DrawingSurface surface = SurfaceForScreen(1920, 1080);
        s.chartGeometry.SurfaceWidth = surface.width;
        s.chartGeometry.SurfaceHeight = surface.height;
        s.chartGeometry.ChartCentreLat = 50.0;
        s.chartGeometry.ChartCentreLong = 1.0;
        s.chartGeometry.ChartZoom = 4.0;
        unsigned seed = 12345;
        auto rnd = [&seed]() {
            seed = seed * 1103515245u + 12345u;
            return ((seed >> 8) & 0xFFFF) / 65535.0;
        };
        int n = 0;
        s.chart.setCount(static_cast<int>(kChartCapacity));
        for (int line = 0; line < 108; ++line) {
            double lat = 49.4 + 1.2 * rnd();
            double lon = -0.4 + 2.8 * rnd();
            for (int k = 0; k < 100; ++k) {
                lat += (rnd() - 0.5) * 0.02;
                lon += (rnd() - 0.5) * 0.04;
                s.chart.setPoint(++n, k == 99 ? ChartPoint::penUp() : ChartPoint::make(lat, lon, line % 7));
            }
        }
        for (int i = 0; i < 600; ++i) {
            ChartWaypoint wp;
            wp.name = WaypointNameField("Waypoint " + std::to_string(i), i % 37, 5);
            wp.lat = 49.4 + 1.2 * rnd();
            wp.lon = -0.4 + 2.8 * rnd();
            s.waypoints.push(wp);
        }
        for (int i = 0; i < 40; ++i) {
            s.route.push(RouteWaypoint{DefaultRouteName(i + 1), 49.5 + 0.025 * i, -0.3 + 0.06 * i});
        }
        s.routeProgress.RouteLength = 40;
        s.routeProgress.ActiveWaypoint = 3;
        for (int i = 0; i < 98; ++i) {
            s.quickLog.push(QuickLogRecord{49.6 + 0.008 * i, 0.2 + 0.01 * i + 0.003 * std::sin(i), 600.0 + i});
        }
        for (int i = 0; i < 100; ++i) {
            TidalDiamond d;
            d.lat = 49.4 + 1.2 * rnd();
            d.lon = -0.4 + 2.8 * rnd();
            d.set.fill(static_cast<std::int16_t>(i * 7 % 360));
            d.rate.fill(static_cast<std::int16_t>(5 + i % 20));
            s.tides.push(d);
        }
        s.routeEdit.DragWaypoints = true;
        views = std::make_unique<ViewSet>(s, fakes.prompter);
        view = &views->CreateView("bench");
        view->options.LabelThreshold = 0;
        view->options.SymbolThreshold = 0;
        view->options.TideLabelThreshold = 0;
        view->centreLat = 50.0;
        view->centreLong = 0.3;
        views->CommonTail(*view);
    }
};

void BM_RouteWaypointDragStep(benchmark::State& st)
{
    DragScene scene;
    const RouteWaypoint& w = scene.state->route.at(20);
    const auto start = PositionToPixel(scene.view->projection, w.lat, w.lon);
    if (!start) {
        st.SkipWithError("the dragged waypoint is off the view");
        return;
    }
    RouteDrag drag;
    if (!drag.press(*scene.views, *scene.view, start->x, start->y)) {
        st.SkipWithError("the press did not take hold of the waypoint");
        return;
    }
    int step = 0;
    for (auto _ : st) {
        // Back and forth over 40 pixels, one pixel step at a time as a mouse reports it.
        const int offset = step % 80 < 40 ? step % 40 : 40 - step % 40;
        ++step;
        drag.move(*scene.views, *scene.view, start->x + offset, start->y + offset / 2);
        const QPixmap shown = QPixmap::fromImage(scene.view->bitmap);
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}
BENCHMARK(BM_RouteWaypointDragStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
