// Chart store loading and saving, the waypoint database and the nearest-diamond search.

#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "charts/WaypointFiles.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/TidalStreams.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

std::string TempFolder()
{
    const auto folder = std::filesystem::temp_directory_path() / "kvbench-charts";
    std::filesystem::create_directories(folder);
    return folder.string() + "/";
}

// The world chart of the demo folder, found from the source tree or the working folder.
std::string WorldChart()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> candidates;
    if (const char* source = std::getenv("KV_SOURCE_DIR")) {
        candidates.push_back(fs::path(source));
    }
    candidates.push_back(fs::path(__FILE__).parent_path().parent_path());
    candidates.push_back(fs::current_path());
    candidates.push_back(fs::current_path().parent_path());
    for (const auto& root : candidates) {
        const fs::path world = root / "demo/charts/world.cht";
        std::error_code ec;
        if (fs::exists(world, ec)) {
            return world.string();
        }
    }
    return {};
}

std::vector<kv::ChartPoint> FullChart()
{
    std::vector<kv::ChartPoint> points;
    points.reserve(10800);
    for (int i = 0; i < 10800; ++i) {
        points.push_back(i % 50 == 49 ? kv::ChartPoint::penUp()
                                      : kv::ChartPoint::make(50.0 + i * 1e-4, 1.0 + (i % 7) * 1e-3, i % 7));
    }
    return points;
}

// Reading a full chart file (10800 points) and appending it to an empty store.
void BM_LoadFullChart(benchmark::State& state)
{
    const std::string path = TempFolder() + "full.cht";
    auto points = FullChart();
    points.push_back(kv::ChartPoint::penUp());
    kv::WriteFileAtomic(path, kv::ChartRecordBytes(points));
    auto store = std::make_unique<kv::ChartStore>();
    for (auto _ : state) {
        store->clear();
        const kv::ChartRecords records = kv::ReadChartRecords(path);
        kv::AppendChartRecords(*store, records.records);
        benchmark::DoNotOptimize(store->count());
    }
}
BENCHMARK(BM_LoadFullChart)->Unit(benchmark::kMillisecond);

// The whole open command on the world chart, configuration and waypoint look-up included.
void BM_OpenWorldChart(benchmark::State& state)
{
    auto program = std::make_unique<kv::ProgramState>();
    kv::FakePlatform fakes;
    kv::ChartViewHooks hooks;
    kv::ChartFiles files(*program, fakes.platform, hooks);
    const std::string world = WorldChart();
    if (world.empty()) {
        state.SkipWithError("demo/charts/world.cht not found (run from the source or build folder)");
        return;
    }
    for (auto _ : state) {
        files.OpenChart(world);
        fakes.prompter.messages.clear();
        benchmark::DoNotOptimize(program->chart.count());
    }
}
BENCHMARK(BM_OpenWorldChart)->Unit(benchmark::kMillisecond);

// Compacting a full store for a save.
void BM_CompactFullStore(benchmark::State& state)
{
    auto store = std::make_unique<kv::ChartStore>();
    kv::AppendChartRecords(*store, FullChart());
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::CompactChart(*store, 1).records.size());
    }
}
BENCHMARK(BM_CompactFullStore)->Unit(benchmark::kMillisecond);

// Reading a waypoint database of 600 entries.
void BM_ReadWaypointDatabase(benchmark::State& state)
{
    const std::string path = TempFolder() + "full.wpt";
    kv::ChartWaypoints table;
    for (int i = 0; i < 600; ++i) {
        table.push({ kv::WaypointNameField("Waypoint " + std::to_string(i), i % 37), 50 + i * 1e-3, -1 + i * 1e-3 });
    }
    kv::WriteWaypointFile(path, kv::PositionLayout::Wpt, table);
    for (auto _ : state) {
        kv::ChartWaypoints read;
        bool formatError = false;
        kv::ReadWaypointFile(path, kv::PositionLayout::Wpt, read, formatError);
        benchmark::DoNotOptimize(read.count());
    }
}
BENCHMARK(BM_ReadWaypointDatabase)->Unit(benchmark::kMicrosecond);

// The stream at the vessel over a full atlas of 100 diamonds (run on every fix).
void BM_NearestDiamond(benchmark::State& state)
{
    kv::TidalDiamonds tides;
    for (int i = 0; i < 100; ++i) {
        kv::TidalDiamond d;
        const int row = i / 10; // ten diamonds to a row
        d.lat = 50 + (i % 10) * 0.05;
        d.lon = 1 + row * 0.05;
        tides.push(d);
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(kv::NearestDiamondTo(tides, 50.23, 1.31, 0.64));
    }
}
BENCHMARK(BM_NearestDiamond);

} // namespace
