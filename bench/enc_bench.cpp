// ENC charts: the import of a cell of about 5 MB by kvtool enc-import (a process per run: GDAL
// reads the cell, the portfolio is cut and written), and the full redraw of a demo ENC tile at
// 1920 × 1440 with the FillAreas view option on and off.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "views/ViewSet.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

fs::path SourceRoot()
{
    std::vector<fs::path> roots;
    if (const char* source = std::getenv("KV_SOURCE_DIR")) {
        roots.push_back(fs::path(source));
    }
    roots.push_back(fs::path(__FILE__).parent_path().parent_path());
    roots.push_back(fs::current_path());
    roots.push_back(fs::current_path().parent_path().parent_path());
    for (const auto& root : roots) {
        std::error_code ec;
        if (fs::exists(root / "scripts/make_s57_cell.py", ec)) {
            return root;
        }
    }
    return {};
}

std::string Kvtool()
{
    if (const char* env = std::getenv("KVTOOL")) {
        return env;
    }
    return (fs::read_symlink("/proc/self/exe").parent_path() / "kvtool").string();
}

// A cell of about 5 MB: 240,000 soundings, 80 depth contours and 24 islands of 2,500 points,
// depth areas round the islands and 400 buoys; made once and kept in the temporary folder.
std::string BigCell(const fs::path& root)
{
    const fs::path dir = fs::temp_directory_path() / "kvbench-enc";
    const fs::path cell = dir / "XX5BIG.000";
    std::error_code ec;
    if (fs::exists(cell, ec)) {
        return cell.string();
    }
    fs::create_directories(dir, ec);
    std::ostringstream j;
    j.precision(9);
    j << "{\"cell\": {\"S57_CSCL\": 45000}, \"features\": [";
    constexpr double kPi = 3.14159265358979323846;
    for (int k = 0; k < 24; ++k) {
        const double lat = 50.05 + 0.9 * std::fmod(k * 0.618034, 1.0);
        const double lon = -1.05 - 0.9 * std::fmod(k * 0.414214, 1.0);
        for (int band = 0; band < 2; ++band) {
            std::ostringstream ring;
            for (int i = 0; i <= 2500; ++i) {
                const double a = 2 * kPi * (i % 2500) / 2500.0;
                const double r = (0.02 + band * 0.01) * (1.0 + 0.2 * std::sin(13 * a) + 0.05 * std::sin(97 * a));
                ring << (i ? "," : "") << "[" << lon + 1.6 * r * std::cos(a) << "," << lat + r * std::sin(a) << "]";
            }
            if (band == 0) {
                j << "{\"class\": \"LNDARE\", \"area\": [[" << ring.str() << "]]},";
            } else {
                j << "{\"class\": \"DEPARE\", \"attrs\": {\"DRVAL1\": 0, \"DRVAL2\": 5}, \"area\": [[" << ring.str()
                  << "]]},";
                j << "{\"class\": \"DEPCNT\", \"attrs\": {\"VALDCO\": 5}, \"line\": [" << ring.str() << "]},";
            }
        }
    }
    for (int c = 0; c < 80; ++c) {
        j << "{\"class\": \"DEPCNT\", \"attrs\": {\"VALDCO\": " << 10 + c % 4 * 10 << "}, \"line\": [";
        for (int i = 0; i < 2000; ++i) {
            j << (i ? "," : "") << "[" << -1.0 - 0.9995 * i / 2000.0 << ","
              << 50.01 + c * 0.0124 + 0.003 * std::sin(i * 0.05 + c) << "]";
        }
        j << "]},";
    }
    for (int b = 0; b < 400; ++b) {
        j << "{\"class\": \"BOYLAT\", \"attrs\": {\"CATLAM\": " << 1 + b % 2 << "}, \"point\": ["
          << -1.0 - std::fmod(b * 0.3819, 1.0) << "," << 50.0 + std::fmod(b * 0.7071, 1.0) << "]},";
    }
    for (int s = 0; s < 240; ++s) {
        j << (s ? "," : "") << "{\"class\": \"SOUNDG\", \"soundings\": [";
        for (int i = 0; i < 1000; ++i) {
            const int n = s * 1000 + i;
            j << (i ? "," : "") << "[" << -1.0 - std::fmod(n * 0.7548776662, 1.0) << ","
              << 50.0 + std::fmod(n * 0.5698402910, 1.0) << "," << 2.0 + (n * 37 % 400) / 10.0 << "]";
        }
        j << "]}";
    }
    j << "]}";
    std::ofstream(dir / "XX5BIG.json") << j.str();
    const std::string command = "python3 '" + (root / "scripts/make_s57_cell.py").string() + "' '"
        + (dir / "XX5BIG.json").string() + "' '" + cell.string() + "'";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    return cell.string();
}

void BM_EncImport5MB(benchmark::State& st)
{
    const fs::path root = SourceRoot();
    const std::string cell = root.empty() ? std::string() : BigCell(root);
    if (cell.empty()) {
        st.SkipWithError("cannot make the cell (needs python3, GDAL's ogr2ogr and scripts/make_s57_cell.py)");
        return;
    }
    const fs::path out = fs::temp_directory_path() / "kvbench-enc" / "out";
    const std::string command
        = "'" + Kvtool() + "' enc-import '" + cell + "' '" + out.string() + "' --name Big >/dev/null";
    for (auto _ : st) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            st.SkipWithError("kvtool enc-import failed");
            return;
        }
        st.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    st.counters["cell_MB"] = static_cast<double>(fs::file_size(cell)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_EncImport5MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Tile C3 of the demo harbour (the channel, the island and its depth bands) at its full-chart
// zoom; argument 1 with FillAreas on.
void BM_EncTileRedraw1920x1440(benchmark::State& st)
{
    const fs::path root = SourceRoot();
    const fs::path chart = root / "demo/charts/enc/Kelvin-NotForNavigation-C3.cht";
    std::error_code ec;
    if (root.empty() || !fs::exists(chart, ec)) {
        st.SkipWithError("demo/charts/enc not found (set KV_SOURCE_DIR)");
        return;
    }
    auto state = std::make_unique<kv::ProgramState>();
    kv::FakePlatform fakes;
    kv::MainWindowHooks noWindow;
    state->folders.AppDir = (root / "demo").string() + "/";
    auto program = std::make_unique<kv::MainController>(*state, fakes.platform, noWindow);
    const kv::DrawingSurface surface = kv::SurfaceForScreen(1920, 1440);
    state->chartGeometry.SurfaceWidth = surface.width;
    state->chartGeometry.SurfaceHeight = surface.height;
    program->FileNewItemClick();
    program->charts().OpenChart(chart.string());
    state->extra.FillAreas = st.range(0) != 0;
    kv::ViewSet& views = program->views();
    kv::ChartView& view = views.view(0);
    for (auto _ : st) {
        views.ReCentre(view);
        benchmark::DoNotOptimize(view.bitmap.constBits());
    }
    st.counters["surface_w"] = surface.width;
    st.counters["surface_h"] = surface.height;
}
BENCHMARK(BM_EncTileRedraw1920x1440)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace
