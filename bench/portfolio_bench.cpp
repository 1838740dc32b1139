// Chart portfolios: cutting a large source into tiles (a synthetic coast of a million points),
// and the auto-load of the next tile at a fix with the redraw that follows, on the demo Solent
// portfolio and a 1920-pixel-wide screen.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartTiler.h"
#include "platform/fake/Fakes.h"
#include "views/ViewSet.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Wiggly islands over 50-51 N, 1-3 W, n points in all.
std::vector<kv::TilerLine> SyntheticCoast(long long n)
{
    std::vector<kv::TilerLine> lines;
    const int islands = 400;
    const long long perIsland = n / islands;
    for (int k = 0; k < islands; ++k) {
        const double lat = 50.05 + 0.9 * std::fmod(k * 0.618034, 1.0);
        const double lon = 1.05 + 1.9 * std::fmod(k * 0.414214, 1.0);
        const double radius = 0.005 + 0.03 * std::fmod(k * 0.7548, 1.0);
        kv::TilerLine l;
        l.polygon = true;
        for (long long i = 0; i <= perIsland; ++i) {
            const double a = 2 * kPi * static_cast<double>(i % perIsland) / static_cast<double>(perIsland);
            const double r
                = radius * (1.0 + 0.2 * std::sin(13 * a) + 0.05 * std::sin(97 * a) + 0.01 * std::sin(1009 * a));
            l.points.push_back({ lat + r * std::sin(a), lon + 1.6 * r * std::cos(a) });
        }
        lines.push_back(std::move(l));
    }
    return lines;
}

void BM_PortfolioBuild1MPoints(benchmark::State& st)
{
    const auto source = SyntheticCoast(1000000);
    kv::PortfolioOptions o;
    o.prefix = "Bench";
    int tiles = 0, grid = 0;
    for (auto _ : st) {
        const kv::Portfolio p = kv::BuildPortfolio(source, kv::TilerBox { 50.0, 51.0, 1.0, 3.0 }, o);
        tiles = static_cast<int>(p.tiles.size());
        grid = p.gridSize;
        benchmark::DoNotOptimize(p.overview.lines.data());
    }
    st.counters["tiles"] = tiles;
    st.counters["grid"] = grid;
}
BENCHMARK(BM_PortfolioBuild1MPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

std::string SolentFolder()
{
    namespace fs = std::filesystem;
    std::vector<fs::path> roots;
    if (const char* source = std::getenv("KV_SOURCE_DIR")) {
        roots.push_back(fs::path(source));
    }
    roots.push_back(fs::path(__FILE__).parent_path().parent_path());
    roots.push_back(fs::current_path());
    roots.push_back(fs::current_path().parent_path());
    for (const auto& root : roots) {
        std::error_code ec;
        if (fs::exists(root / "demo/charts/solent/SolentPortfolio.cht", ec)) {
            return (root / "demo/charts/solent").string() + "/";
        }
    }
    return {};
}

// A fix in the next tile: the nearest-chart search over the folder's index, the chart read with
// its configuration, and the full-chart redraw of the view, alternately west and east of 1.45 W
// in mid-Solent (tiles Solent-B2 and Solent-C2).
void BM_AutoLoadNextTileWithRedraw1920(benchmark::State& st)
{
    const std::string folder = SolentFolder();
    if (folder.empty()) {
        st.SkipWithError("demo/charts/solent not found (set KV_SOURCE_DIR)");
        return;
    }
    auto state = std::make_unique<kv::ProgramState>();
    kv::FakePlatform fakes;
    kv::MainWindowHooks noWindow;
    state->folders.AppDir = std::filesystem::path(folder).parent_path().parent_path().parent_path().string() + "/";
    auto program = std::make_unique<kv::MainController>(*state, fakes.platform, noWindow);
    const kv::DrawingSurface surface = kv::SurfaceForScreen(1920, 1080);
    state->chartGeometry.SurfaceWidth = surface.width;
    state->chartGeometry.SurfaceHeight = surface.height;
    program->FileNewItemClick();
    program->charts().OpenChart(folder + "SolentPortfolio.cht");
    const double positions[2][2] = { { 50.76, 1.50 }, { 50.76, 1.40 } };
    int i = 0;
    long long loads = 0;
    for (auto _ : st) {
        state->fixInfo.OwnLat = positions[i][0];
        state->fixInfo.OwnLong = positions[i][1];
        i = 1 - i;
        loads += program->charts().AutoLoadChart() ? 1 : 0;
        benchmark::DoNotOptimize(program->views().view(0).bitmap.constBits());
    }
    if (loads != static_cast<long long>(st.iterations())) {
        st.SkipWithError("a fix did not load the next tile");
    }
    st.counters["surface_h"] = surface.height;
}
BENCHMARK(BM_AutoLoadNextTileWithRedraw1920)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
