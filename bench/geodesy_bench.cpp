// Conversions per second of the position texts and grid conversions (items_per_second).

#include "geodesy/Grid.h"
#include "geodesy/PositionReadout.h"
#include "geodesy/PositionText.h"

#include <benchmark/benchmark.h>

namespace {

// A walk over Britain so that no two calls see the same input.
struct Walk {
    double lat = 50.0;
    double lon = -5.0;
    void step()
    {
        lat += 0.0137;
        lon += 0.0071;
        if (lat > 60.0) {
            lat = 50.0;
        }
        if (lon > 1.5) {
            lon = -5.0;
        }
    }
};

void BM_NationalGridNumeric(benchmark::State& state)
{
    Walk w;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::NationalGridFromLatLong(w.lat, w.lon, false));
        w.step();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NationalGridNumeric);

void BM_NationalGridLettered(benchmark::State& state)
{
    Walk w;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::NationalGridFromLatLong(w.lat, w.lon, true));
        w.step();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_NationalGridLettered);

void BM_LatLongFromNationalGrid(benchmark::State& state)
{
    double e = 100000.0;
    double n = 50000.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::LatLongFromNationalGrid(n, e));
        e = e > 650000.0 ? 100000.0 : e + 1237.0;
        n = n > 1200000.0 ? 50000.0 : n + 2311.0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LatLongFromNationalGrid);

void BM_UtmWgs84(benchmark::State& state)
{
    Walk w;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::UtmFromLatLong(w.lat, w.lon, 8));
        w.step();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UtmWgs84);

void BM_PositionToTextAndBack(benchmark::State& state)
{
    Walk w;
    for (auto _ : state) {
        const auto t = kv::PositionToText(w.lat, w.lon);
        benchmark::DoNotOptimize(kv::TextToPosition(t.latitude, t.longitude));
        w.step();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PositionToTextAndBack);

void BM_PositionReadout(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    Walk w;
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::PositionReadout(w.lat, -w.lon, 4, mode, true));
        w.step();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PositionReadout)->Arg(-1)->Arg(0)->Arg(8);

} // namespace
