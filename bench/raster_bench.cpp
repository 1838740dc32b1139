// Opening a large scanned chart in the raster image viewer: the 10,000 x 8,000 JPEG decoded for a
// 1024 x 768 window and scaled to fit, as the viewer's first show does. Besides the time, each
// benchmark reports the memory the open takes at its peak ("peak_MB"): the kernel's peak resident
// size (VmHWM) is reset through /proc/self/clear_refs before the open, and the peak afterwards
// less the resident size before it is the figure ("process_peak_MB" is the whole process's peak
// resident size during the open, libraries included). Where the reset is refused the counter is the
// growth of getrusage's ru_maxrss instead, which only shows peaks above the earlier ones.

#include "raster/ImageDecode.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

#include <jpeglib.h>

namespace {

constexpr int kChartWidth = 10000;
constexpr int kChartHeight = 8000;

// A chart-like picture written row by row (never whole in memory): sea and land tints, a
// graticule, depth-contour-like curves and scanner noise, at quality 85 with 4:2:0 colour.
bool WriteScannedChart(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr); // the benchmark's own file: libjpeg's default exit is fine
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kChartWidth;
    cinfo.image_height = kChartHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 85, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(kChartWidth) * 3);
    std::minstd_rand noise(17);
    for (int y = 0; y < kChartHeight; ++y) {
        for (int x = 0; x < kChartWidth; ++x) {
            const bool land
                = (x / 37 + y / 53) % 11 == 0 || (x - 6000) * (x - 6000) + (y - 3000) * (y - 3000) < 4000000;
            int r = land ? 240 : 200, g = land ? 220 : 225, b = land ? 160 : 245;
            if (x % 500 < 2 || y % 500 < 2 || ((x * 3 + y * 5) % 701) < 2) {
                r = g = b = 40; // graticule and contours
            }
            const int n = static_cast<int>(noise() % 17) - 8;
            unsigned char* p = &row[static_cast<std::size_t>(x) * 3];
            p[0] = static_cast<unsigned char>(std::clamp(r + n, 0, 255));
            p[1] = static_cast<unsigned char>(std::clamp(g + n, 0, 255));
            p[2] = static_cast<unsigned char>(std::clamp(b + n, 0, 255));
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

// The chart, made once per machine in the temporary folder (it is not part of the sources).
std::string ScannedChart()
{
    const auto folder = std::filesystem::temp_directory_path() / "kvbench-raster";
    std::filesystem::create_directories(folder);
    std::string path = (folder / "scanned-chart-10000x8000.jpg").string();
    std::string error;
    const auto size = kv::raster::ReadImageSize(path, &error);
    if (!size || size->width != kChartWidth || size->height != kChartHeight) {
        if (!WriteScannedChart(path)) {
            return {};
        }
    }
    return path;
}

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.c_str() + prefix.size());
        }
    }
    return -1;
}

long MaxRssKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Peak {
    double added = 0; // MB the open added at its peak over what was resident before it
    double process = 0; // MB resident in the whole process at that peak (Qt and all)
};

// Measures the peak memory of one call of open().
template <typename Open> Peak PeakMegabytes(Open open)
{
    // Large blocks always from mmap, given back on free: otherwise glibc raises its threshold
    // after the first open, keeps the freed picture in the heap, and the next open's pages are
    // already resident before it starts.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5" << std::flush; // resets VmHWM to the current resident size
    const bool reset = clear.good();
    const long before = reset ? StatusKb("VmRSS") : MaxRssKb();
    open();
    const long after = reset ? StatusKb("VmHWM") : MaxRssKb();
    return { static_cast<double>(after - before) / 1024.0, static_cast<double>(after) / 1024.0 };
}

// Open and first show at fit-to-window: decode at the reduction for the window, then scale the
// reduced picture to fit it as the viewer draws it.
void OpenAndShow(benchmark::State& state, int windowWidth, int windowHeight)
{
    const std::string path = ScannedChart();
    if (path.empty()) {
        state.SkipWithError("the test chart could not be written");
        return;
    }
    Peak peak;
    int denom = 0;
    for (auto _ : state) {
        const Peak one = PeakMegabytes([&] {
            std::string error;
            auto decoded = kv::raster::DecodeImage(path, windowWidth, windowHeight, &error);
            if (!decoded) {
                state.SkipWithError(error.c_str());
                return;
            }
            denom = decoded->scaleDenom;
            QImage shown = windowWidth > 0
                ? decoded->image.scaled(windowWidth, windowHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : decoded->image;
            benchmark::DoNotOptimize(shown.constBits());
        });
        peak.added = std::max(peak.added, one.added);
        peak.process = std::max(peak.process, one.process);
    }
    state.counters["peak_MB"] = peak.added;
    state.counters["process_peak_MB"] = peak.process;
    state.counters["scale_denom"] = denom;
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
}

void BM_RasterOpenFitToWindow(benchmark::State& state)
{
    OpenAndShow(state, 1024, 768);
}
BENCHMARK(BM_RasterOpenFitToWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: the same chart at 1:1, which the scaled decoding avoids.
void BM_RasterOpenFullSize(benchmark::State& state)
{
    OpenAndShow(state, 0, 0);
}
BENCHMARK(BM_RasterOpenFullSize)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// Reading the size alone (the header): what the viewer needs before it picks the reduction.
void BM_RasterReadSize(benchmark::State& state)
{
    const std::string path = ScannedChart();
    for (auto _ : state) {
        std::string error;
        benchmark::DoNotOptimize(kv::raster::ReadImageSize(path, &error));
    }
}
BENCHMARK(BM_RasterReadSize)->Unit(benchmark::kMicrosecond);

} // namespace
