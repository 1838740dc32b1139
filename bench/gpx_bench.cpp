// Reading a GPX track of 10,000 points as a planning program writes it, and making the track log
// of it (points per second; a run is one whole file).

#include "routes/GpxExchange.h"
#include "routes/GpxImport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

std::string Track(int points)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>Long passage</name><trkseg>\n";
    char line[160];
    for (int i = 0; i < points; ++i) {
        const int s = i * 3;
        std::snprintf(line, sizeof line,
            "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>0</ele><time>2026-03-07T%02d:%02d:%02dZ</time></trkpt>\n",
            50.0 + i * 1e-4, -1.5 + 0.01 * std::sin(i / 100.0), s / 3600 % 24, s / 60 % 60, s % 60);
        xml += line;
    }
    return xml + "</trkseg></trk>\n</gpx>\n";
}

void BM_GpxTrackImport(benchmark::State& state)
{
    const int points = static_cast<int>(state.range(0));
    const std::string xml = Track(points);
    for (auto _ : state) {
        const kv::GpxData data = kv::ReadGpx(xml);
        benchmark::DoNotOptimize(kv::QuickLogFromGpx(data.tracks.at(0)));
    }
    state.SetItemsProcessed(state.iterations() * points);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(xml.size()));
}
BENCHMARK(BM_GpxTrackImport)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
