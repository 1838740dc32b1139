// AIS: the vessel database search a new target makes, in a 100,000-record KVAIS.ADB, and the
// assembly and decoding of one sentence.

#include "ais/AisDatabase.h"
#include "ais/AisDecoder.h"
#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A database of n records with MMSIs 100000000.., built once per process.
const std::string& BigDatabase(long n)
{
    static const std::string path = [n] {
        const std::string folder = (std::filesystem::temp_directory_path() / "kvbench-ais").string() + "/";
        std::filesystem::create_directories(folder);
        std::string file = folder + kv::kAisDatabaseName;
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(n) * kv::kTAISTargetSize);
        kv::TAISTarget r = kv::ZeroTarget();
        r.VesselName.set("BENCH VESSEL");
        for (long i = 0; i < n; ++i) {
            r.MMSI = static_cast<std::uint32_t>(100000000 + i);
            const kv::AisRecordImage image = kv::ToImage(r);
            bytes.append(reinterpret_cast<const char*>(image.data()), image.size());
        }
        std::filesystem::remove(file);
        kv::AppendToFile(file, bytes);
        return file;
    }();
    return path;
}

void BM_AisDatabaseSearch100k(benchmark::State& state)
{
    const std::string& path = BigDatabase(100000);
    kv::TAISTarget t = kv::ZeroTarget();
    for (auto _ : state) {
        t.MMSI = 100099999; // the last record: the whole file is read
        benchmark::DoNotOptimize(kv::SearchAisDatabase(path, t));
    }
    if (t.VesselName.str() != "BENCH VESSEL") {
        state.SkipWithError("record not found");
    }
}
BENCHMARK(BM_AisDatabaseSearch100k)->Unit(benchmark::kMillisecond);

// The whole new-target path: a position report of an unknown vessel, the beep, the slot and the
// database search (no match, so the whole file is read).
void BM_AisNewTargetWithDatabase100k(benchmark::State& state)
{
    const std::string& path = BigDatabase(100000);
    kv::ProgramState program;
    kv::FakePlatform fake;
    program.folders.AppDir = kv::FolderOf(path);
    kv::AisAssembler& a = program.ais.assembler;
    a.ProcessAISSentence("!AIVDM,1,1,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A");
    for (auto _ : state) {
        program.ais.targets.clear();
        kv::UpdateAISTargets(program, fake.platform);
    }
    fake.prompter.beeps.clear();
}
BENCHMARK(BM_AisNewTargetWithDatabase100k)->Unit(benchmark::kMillisecond);

void BM_AisDecodeSentence(benchmark::State& state)
{
    kv::AisAssembler a;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.ProcessAISSentence("!AIVDM,1,1,,A,15RTgt0PAso;90TKcjM8h6g208CQ,0*4A"));
    }
}
BENCHMARK(BM_AisDecodeSentence);

} // namespace
