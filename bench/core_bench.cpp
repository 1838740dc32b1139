#include "core/Format.h"
#include "core/Real48.h"

#include <benchmark/benchmark.h>

static void BM_Real48RoundTrip(benchmark::State& state)
{
    double v = 50.123456789;
    for (auto _ : state) {
        v = kv::Real48::fromDouble(v).toDouble() + 1e-9;
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_Real48RoundTrip);

static void BM_FormatScientific(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::FormatScientific(-16.780192674));
    }
}
BENCHMARK(BM_FormatScientific);
