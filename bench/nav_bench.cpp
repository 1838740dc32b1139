// Route-following computations and whole fixes per second (items_per_second), with a full quick
// log, a full route and a full tidal atlas: the worst case of one fix.

#include "app/ProgramState.h"
#include "navigation/FixCycle.h"
#include "navigation/RouteFollowing.h"
#include "navigation/TrackLog.h"
#include "platform/fake/Fakes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

void FillTables(kv::ProgramState& s)
{
    s.chartRef.CosLatFactor = 0.63;
    s.settings.fix.AverageFixes = 6;
    for (int i = 0; i < 98; ++i) {
        s.quickLog.push({ 50.0 + i * 0.001, 1.0 - i * 0.0005, 600.0 + i * 0.1667 });
    }
    for (int i = 0; i < 40; ++i) {
        s.route.push({ "WP" + std::to_string(i), 50.2 + i * 0.01, 1.0 - i * 0.01 });
    }
    s.routeProgress.RouteLength = 40;
    s.routeProgress.ActiveWaypoint = 20;
    for (int i = 0; i < 100; ++i) {
        kv::TidalDiamond d;
        d.lat = 49.5 + i * 0.01;
        d.lon = 0.5 + i * 0.01;
        d.set.fill(static_cast<std::int16_t>(i));
        d.rate.fill(12);
        s.tides.push(d);
    }
    s.fixInfo.OwnLat = 50.1;
    s.fixInfo.OwnLong = 0.95;
}

void BM_FollowRoute(benchmark::State& state)
{
    kv::ProgramState s;
    FillTables(s);
    for (auto _ : state) {
        s.routeProgress.ActiveWaypoint = 20;
        kv::FollowRoute(s);
        benchmark::DoNotOptimize(s.routeProgress.XTE);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FollowRoute);

void BM_EncodeTrackLog(benchmark::State& state)
{
    kv::ProgramState s;
    FillTables(s);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::EncodeTrackLog(s.quickLog));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeTrackLog);

// A whole received fix: parse, quick log, the 1,792-byte track log rewritten on disk, route
// following, output sentences, text-log line.
void BM_WholeFix(benchmark::State& state)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kvbench-nav";
    std::filesystem::create_directories(dir / "logs");
    kv::ProgramState s;
    FillTables(s);
    kv::FakePlatform fakes;
    class OneView final : public kv::FixCycleHooks {
        int OpenViewCount() const override { return 1; }
    } hooks;
    kv::TrackLogs logs(s, fakes.platform);
    kv::FixCycle cycle(kv::FixCycleRecords(s), fakes.platform, logs, hooks);
    s.folders.AppDir = dir.string() + "/";
    s.folders.LogDir = (dir / "logs").string() + "/";
    s.textLog.LogNameBase = "bench";
    s.settings.fix.KeepTextLog = true;
    s.nmeaLink.NmeaOpen = true;
    // Two sentences in turn: the fix timer takes a sentence only once.
    const std::string sentences[2] = { "$GPGGA,120000,5006.0000,N,00057.0000,W,1,08,0.9,1.0,M,,M,,*00",
        "$GPGGA,120010,5006.0100,N,00057.0000,W,1,08,0.9,1.0,M,,M,,*00" };
    int next = 0;
    for (auto _ : state) {
        s.nmeaLink.LastPositionSentence = sentences[next];
        next = 1 - next;
        s.routeProgress.ActiveWaypoint = 20;
        cycle.FixTimerTimer();
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_WholeFix);

} // namespace
