// The survey-log plot at the end of a long survey day: a text log of 86,400 fixes (one a second
// for 24 hours, survey lines run back and forth) plotted with values and colour blobs on a
// 1920 × 1440 view. "RedrawDay" is the view's redraw step as the program runs it at every fix:
// one more fix line appended to the log, then the step, which reads only what was added.
// "ReadAndParseDay" reads the whole log back as the first redraw of a day's log does, and
// "RedrawDayReadWhole" is the step reading it whole each time.

#include "app/ProgramState.h"
#include "core/TextFile.h"
#include "views/RenderCanvas.h"
#include "views/SurveyLogDraw.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace kv;

constexpr int kDayFixes = 86400;

struct SurveyDay {
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "kvbench-survey";
    ProgramState state;
    Projection projection;
    ViewOptions options;

    SurveyDay()
    {
        std::filesystem::create_directories(folder);
        std::vector<std::string> lines { "Log Date : 09-12-26", "@f,@p:3,@s,@x" };
        lines.reserve(kDayFixes + 2);
        // Lines 1 km apart, 0.2° long, run at 5 knots; a position every second.
        for (int n = 1; n <= kDayFixes; ++n) {
            const int line = n / 2000;
            const double along = (n % 2000) / 2000.0 * 0.2;
            const double lat = 49.9 + line * 0.009;
            const double lon = 0.9 + ((line % 2) == 0 ? along : 0.2 - along);
            char text[96];
            std::snprintf(text, sizeof text, "%05d,%02d%06.3f,N,%03d%06.3f,W,%.2f,%.3f", n, static_cast<int>(lat),
                (lat - static_cast<int>(lat)) * 60.0, static_cast<int>(lon), (lon - static_cast<int>(lon)) * 60.0,
                4.5 + (n % 97) / 97.0, (n % 41 - 20) / 1000.0);
            lines.emplace_back(text);
        }
        WriteTextLinesAtomic((folder / "09-12-26.txt").string(), lines);
        state.folders.LogDir = folder.string() + "/";
        state.textLog.LogNameBase = "09-12-26";

        projection.refLat = 50.0;
        projection.refLong = 1.0;
        projection.latScale = 5000;
        projection.longScale = 3200;
        projection.width = 1920;
        projection.height = 1440;
        projection.halfW = 960;
        projection.halfH = 720;
        projection.margin = 1920.0;

        options.PlotTextLog = true;
        options.PlotField = 'S';
        options.Blobs = true;
        options.SurveyTrack = true;
        options.PlotRange = 6;
        options.Highlight = 5.4;
    }
    ~SurveyDay()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

void BM_SurveyLogRedrawDay(benchmark::State& st)
{
    SurveyDay day;
    const std::string path = SurveyLogPath(day.state.folders.LogDir.str(), day.state.textLog.LogNameBase.str());
    QImage image(day.projection.width, day.projection.height, QImage::Format_RGB32);
    SurveyLogReader reader;
    RenderCanvas first(image);
    DrawSurveyLogOf(first, day.projection, day.options, RenderRecords(day.state), SchemeColours {}, &reader);
    int n = kDayFixes;
    for (auto _ : st) {
        st.PauseTiming();
        ++n;
        AppendLinesToFile(path, "99999,5000.000,N,00100.000,W," + std::to_string(4 + n % 3) + ".00,0.010\r\n");
        st.ResumeTiming();
        RenderCanvas canvas(image);
        benchmark::DoNotOptimize(
            DrawSurveyLogOf(canvas, day.projection, day.options, RenderRecords(day.state), SchemeColours {}, &reader));
    }
}
BENCHMARK(BM_SurveyLogRedrawDay)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SurveyLogRedrawDayReadWhole(benchmark::State& st)
{
    SurveyDay day;
    QImage image(day.projection.width, day.projection.height, QImage::Format_RGB32);
    for (auto _ : st) {
        RenderCanvas canvas(image);
        benchmark::DoNotOptimize(
            DrawSurveyLogOf(canvas, day.projection, day.options, RenderRecords(day.state), SchemeColours {}));
    }
}
BENCHMARK(BM_SurveyLogRedrawDayReadWhole)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SurveyLogReadAndParseDay(benchmark::State& st)
{
    SurveyDay day;
    const std::string path = SurveyLogPath(day.state.folders.LogDir.str(), day.state.textLog.LogNameBase.str());
    for (auto _ : st) {
        const auto lines = ReadTextLines(path);
        benchmark::DoNotOptimize(ParseSurveyLog(*lines, 'S', 0.0, 0.0));
    }
}
BENCHMARK(BM_SurveyLogReadAndParseDay)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
