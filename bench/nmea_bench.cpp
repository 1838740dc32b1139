// Reception and parsing of position sentences, and the per-fix output sentences.

#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "nmea/NmeaParse.h"
#include "nmea/Templates.h"
#include "nmea/WaypointTransfer.h"
#include "platform/fake/Fakes.h"

#include <benchmark/benchmark.h>

namespace {

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

void BM_ParseSentence(benchmark::State& state)
{
    kv::NavState nav;
    kv::Display display;
    const std::string* sentences[] = {&kGga, &kRmc};
    std::size_t i = 0;
    for (auto _ : state) {
        kv::ParseSentence(*sentences[i++ & 1], nav, display);
        benchmark::DoNotOptimize(nav.SentenceLat);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseSentence);

// Characters in, the sentence kept at its carriage return, then parsed as the fix would.
void BM_ReceiveAndParse(benchmark::State& state)
{
    kv::ProgramState program;
    kv::FakePlatform fakes;
    kv::NmeaInterface nmea(program, fakes.platform);
    program.nav.ComPortNumber = 1;
    nmea.OpenNmeaInterface();
    const std::string line = kGga + "\r\n";
    for (auto _ : state) {
        fakes.serial.receive(line);
        kv::ParseSentence(program.nav.LastPositionSentence, program.nav, program.display);
        benchmark::DoNotOptimize(program.nav.SentenceLat);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ReceiveAndParse);

void BM_BuildOutputSentencesAllSwitches(benchmark::State& state)
{
    kv::ProgramState program;
    kv::FakeClock clock;
    auto& nav = program.nav;
    program.route.push({"Start", 50.0, 1.0});
    program.route.push({"Needles Fairway", 50.65, 1.6});
    nav.RouteLength = 2;
    nav.ActiveWaypoint = 2;
    nav.NmeaOpen = nav.NMEAOutputOn = true;
    nav.sendAPB = nav.sendXTE = nav.sendHSC = nav.SendBOD = true;
    nav.sendBWR = nav.SendRMB = nav.SendVTG = nav.SendCustom = true;
    nav.CustomNMEA = "$PKVC,@p:3,@c,@s@e";
    nav.BearingToWaypoint = 231.4;
    nav.CourseToSteer = 229;
    nav.MagVariation = -4;
    nav.RangeToWaypoint = 12.5;
    nav.XTE = 0.12;
    nav.SOG = 6.2;
    nav.VMG = 5.9;
    nav.TimeToWaypoint = 2.1;
    program.quickLog.push({50.2, 1.3, 600.0});
    const auto ctx = kv::MakeTemplateContext(program, clock, kv::RouteTextsFromState(nav));
    for (auto _ : state) {
        kv::BuildOutputSentences(nav, ctx);
        benchmark::DoNotOptimize(nav.OutputText.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildOutputSentencesAllSwitches);

} // namespace
