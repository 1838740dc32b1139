// The full redraw of a view with every table full: 10800 chart points of all seven line types,
// 600 labelled waypoints, a 40-waypoint route, a 98-record track, 100 tidal diamonds and 60 AIS
// targets with 40-point tracks, own ship moving (shape and vector) with labelled range rings. The
// per-step split is reported as counters (ms). Surfaces: a 1920-pixel-wide screen (1920 × 1440)
// and a 4K screen (3840 × 2160, drawn on 3840 × 2880). Also the interactive steps: a Ctrl+wheel
// zoom, the end of a pan and a route waypoint dragged, each with the conversion to the pixmap the
// window shows.

#include "ais/AisTarget.h"
#include "app/ProgramState.h"
#include "charts/ChartStore.h"
#include "charts/ChartWaypoints.h"
#include "platform/fake/Fakes.h"
#include "views/NightPalette.h"
#include "views/RenderCanvas.h"
#include "views/RouteMouse.h"
#include "views/ViewSet.h"

#include <benchmark/benchmark.h>

#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

using namespace kv;

struct FullProgram {
    std::unique_ptr<ProgramState> state = std::make_unique<ProgramState>();
    FakePlatform fakes;
    std::unique_ptr<ViewSet> views;
    ChartView* view = nullptr;
    RenderTimings timings;

    explicit FullProgram(int screenWidth = 1920, int screenHeight = 1080)
    {
        ProgramState& s = *state;
        const DrawingSurface surface = SurfaceForScreen(screenWidth, screenHeight);
        s.chartGeometry.SurfaceWidth = surface.width;
        s.chartGeometry.SurfaceHeight = surface.height;
        s.chartGeometry.ChartCentreLat = 50.0;
        s.chartGeometry.ChartCentreLong = 1.0;
        s.chartGeometry.ChartZoom = 4.0;
        // 108 lines of 100 points wandering over the view, line types 0 … 6 in turn.
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
                const bool penUp = k == 99;
                s.chart.setPoint(++n, penUp ? ChartPoint::penUp() : ChartPoint::make(lat, lon, line % 7));
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
            s.route.push(RouteWaypoint {
                "Route " + std::to_string(i) + std::string(16, ' ') + "19000", 49.5 + 0.025 * i, -0.3 + 0.06 * i });
        }
        s.routeProgress.ActiveWaypoint = 3;
        s.motion.SOG = 6.5;
        s.motion.COGValue = 48.0;
        for (int i = 0; i < 98; ++i) {
            s.quickLog.push(QuickLogRecord { 49.6 + 0.008 * i, 0.2 + 0.01 * i + 0.003 * std::sin(i), 600.0 + i });
        }
        for (int i = 0; i < 100; ++i) {
            TidalDiamond d;
            d.lat = 49.4 + 1.2 * rnd();
            d.lon = -0.4 + 2.8 * rnd();
            d.set.fill(static_cast<std::int16_t>(i * 7 % 360));
            d.rate.fill(static_cast<std::int16_t>(5 + i % 20));
            s.tides.push(d);
        }
        for (int i = 1; i <= 60; ++i) {
            TAISTarget& t = s.ais.targets.add(TAISTarget {});
            t.MsgType = i % 10 == 0 ? 4 : 1;
            t.MMSI = 235000000u + static_cast<unsigned>(i);
            t.VesselName.set("TARGET " + std::to_string(i));
            const double lat = 49.5 + 1.0 * rnd();
            const double lon = -(-0.3 + 2.6 * rnd());
            t.Latitude = static_cast<std::int32_t>(lat * 600000);
            t.Longitude = static_cast<std::int32_t>(lon * 600000);
            t.SOG = static_cast<std::uint16_t>(i * 3);
            t.COG = static_cast<std::uint16_t>(i * 60 % 3600);
            t.TrueHeading = 511;
            for (int k = 1; k <= 40; ++k) {
                t.point(k).lat = lat - 0.001 * (41 - k);
                t.point(k).lon = lon - 0.0015 * (41 - k);
            }
            t.TrackCount = 40;
        }
        s.ais.HighlightNearest = true;

        views = std::make_unique<ViewSet>(ViewRecords(s), fakes.prompter);
        view = &views->CreateView("bench");
        view->options.LabelThreshold = 0;
        view->options.SymbolThreshold = 0;
        view->options.TideLabelThreshold = 0;
        view->ais.ShowAIS = true;
        view->ais.RingSetting = 4;
        views->timings = &timings;
    }
};

void FullRedraw(benchmark::State& st, int screenWidth, int screenHeight, bool placeLabels = false)
{
    FullProgram p(screenWidth, screenHeight);
    p.state->extra.PlaceTargetLabels = placeLabels;
    RenderTimings total;
    long long runs = 0;
    for (auto _ : st) {
        // The same centre every time (the redraw moves it to the last fix for the next one).
        p.view->centreLat = 50.0;
        p.view->centreLong = 1.0;
        p.views->CommonTail(*p.view);
        benchmark::DoNotOptimize(p.view->bitmap.constBits());
        for (std::size_t i = 0; i < total.step.size(); ++i) {
            total.step[i] += p.timings.step[i];
        }
        ++runs;
    }
    static const char* names[]
        = { "", "", "s02_scales", "s03_chart", "s04_tides", "s05_track", "s06_grid", "s07_graticule", "s08_waypoints",
              "s09_route", "s10_ais", "s11_vessel", "s12_cursor", "s13_outline", "s14_rings", "s15_outlines" };
    for (std::size_t i = 2; i < total.step.size(); ++i) {
        st.counters[names[i]] = static_cast<double>(total.step[i]) / runs / 1e6;
    }
}

void BM_FullRedraw1920x1440(benchmark::State& st)
{
    FullRedraw(st, 1920, 1080);
}
BENCHMARK(BM_FullRedraw1920x1440)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// The same with the 60 target labels placed clear of each other and of the marks (kvfree.ini
// [AIS] PlaceTargetLabels): against BM_FullRedraw1920x1440, the cost of the placement.
void BM_FullRedraw1920x1440PlacedLabels(benchmark::State& st)
{
    FullRedraw(st, 1920, 1080, true);
}
BENCHMARK(BM_FullRedraw1920x1440PlacedLabels)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The picture a view shows under the night palette, made from its 1920 x 1440 bitmap.
void BM_NightImage1920x1440(benchmark::State& st)
{
    FullProgram p(1920, 1080);
    p.views->CommonTail(*p.view);
    for (auto _ : st) {
        QImage night = NightImage(p.view->bitmap, kNavy);
        benchmark::DoNotOptimize(night.constBits());
    }
}
BENCHMARK(BM_NightImage1920x1440)->Unit(benchmark::kMillisecond);

void BM_FullRedraw4K(benchmark::State& st)
{
    FullRedraw(st, 3840, 2160);
}
BENCHMARK(BM_FullRedraw4K)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// One Ctrl+wheel step (zoom in and out in turn, about a point off the middle) or the end of a
// pan, and the pixmap the window then shows: what stands between the input and the screen.
void InteractiveStep(benchmark::State& st, bool zoom)
{
    FullProgram p;
    const Pixel middle { p.view->projection.halfW, p.view->projection.halfH };
    bool in = true;
    for (auto _ : st) {
        p.view->centreLat = 50.0;
        p.view->centreLong = 1.0;
        if (zoom) {
            p.views->ZoomAbout(*p.view, Pixel { middle.x + 200, middle.y - 120 }, middle, in);
            in = !in;
        } else {
            p.views->PanTo(*p.view, Pixel { middle.x + 150, middle.y + 90 });
        }
        const QPixmap shown = QPixmap::fromImage(p.view->bitmap);
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}

void BM_CtrlWheelZoomStep(benchmark::State& st)
{
    InteractiveStep(st, true);
}
BENCHMARK(BM_CtrlWheelZoomStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_PanStep(benchmark::State& st)
{
    InteractiveStep(st, false);
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// A fix in free look on a course-up view: the chart stays, own ship moves, the view is turned by
// the course; and the page of the area a 1280 × 800 window shows, printed on A4 landscape at
// 300 dpi.
void BM_FreeLookCourseUpFix(benchmark::State& st)
{
    FullProgram p;
    p.views->PanTo(*p.view, Pixel { p.view->projection.halfW + 150, p.view->projection.halfH + 90 });
    p.state->motion.COG = 48;
    p.views->SetOrientation(*p.view, ViewOrientation::CourseUp);
    for (auto _ : st) {
        p.views->RefreshViews();
        const QPixmap shown = QPixmap::fromImage(p.view->bitmap);
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}
BENCHMARK(BM_FreeLookCourseUpFix)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_PrintShownAreaA4(benchmark::State& st)
{
    FullProgram p;
    const Projection& shown = p.view->projection;
    p.view->shownArea = QRect(shown.halfW - 640, shown.halfH - 400, 1280, 800);
    const PrintPage page { 3307, 2480, 300, true }; // A4 landscape less 5 mm margins
    for (auto _ : st) {
        const QImage printed = p.views->RenderForPage(*p.view, page, "09-12-26 15:00");
        benchmark::DoNotOptimize(printed.constBits());
    }
}
BENCHMARK(BM_PrintShownAreaA4)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PositionToPixel(benchmark::State& st)
{
    double lat = 50.0;
    double lon = 1.0;
    ViewRotation r;
    r.setAngle(0.3);
    const Projection p = ComputeScales(lat, lon, 16.0, DrawingSurface { 1920, 1440 }, r);
    double x = 50.0;
    for (auto _ : st) {
        x += 1e-7;
        benchmark::DoNotOptimize(PositionToPixel(p, x, 1.0));
    }
}
BENCHMARK(BM_PositionToPixel);

// One step of a route waypoint dragged with the mouse: the waypoint moved to the pixel under the
// mouse, the view drawn again where it stands with the legs to the new place, and the pixmap the
// window then shows.
void BM_RouteWaypointDragStep(benchmark::State& st)
{
    FullProgram p;
    p.state->routeEdit.DragWaypoints = true;
    p.view->centreLat = 50.0;
    p.view->centreLong = 0.3;
    p.views->CommonTail(*p.view);
    const RouteWaypoint& w = p.state->route.at(20);
    const auto start = PositionToPixel(p.view->projection, w.lat, w.lon);
    RouteDrag drag;
    if (!start || !drag.press(*p.views, *p.view, start->x, start->y)) {
        st.SkipWithError("the press did not take hold of the dragged waypoint");
        return;
    }
    int step = 0;
    for (auto _ : st) {
        // Back and forth over 40 pixels, one pixel step at a time as a mouse reports it.
        const int offset = step % 80 < 40 ? step % 40 : 40 - step % 40;
        ++step;
        drag.move(*p.views, *p.view, start->x + offset, start->y + offset / 2);
        const QPixmap shown = QPixmap::fromImage(p.view->bitmap);
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}
BENCHMARK(BM_RouteWaypointDragStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace
