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
    kv::ProgramState nav;
    kv::Display display;
    const std::string* sentences[] = { &kGga, &kRmc };
    std::size_t i = 0;
    for (auto _ : state) {
        kv::ParseSentence(*sentences[i++ & 1], nav.sentenceFix, display, nav.aisPlayback.AISPlayback);
        benchmark::DoNotOptimize(nav.sentenceFix.SentenceLat);
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
    program.settings.nmea.ComPortNumber = 1;
    nmea.OpenNmeaInterface();
    const std::string line = kGga + "\r\n";
    for (auto _ : state) {
        fakes.serial.receive(line);
        kv::ParseSentence(program.nmeaLink.LastPositionSentence, program.sentenceFix, program.display,
            program.aisPlayback.AISPlayback);
        benchmark::DoNotOptimize(program.sentenceFix.SentenceLat);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(line.size()));
}
BENCHMARK(BM_ReceiveAndParse);

void BM_BuildOutputSentencesAllSwitches(benchmark::State& state)
{
    kv::ProgramState program;
    kv::FakeClock clock;
    program.route.push({ "Start", 50.0, 1.0 });
    program.route.push({ "Needles Fairway", 50.65, 1.6 });
    program.routeProgress.RouteLength = 2;
    program.routeProgress.ActiveWaypoint = 2;
    program.nmeaLink.NmeaOpen = program.settings.nmea.NMEAOutputOn = true;
    program.prefs.nmea.sendAPB = program.prefs.nmea.sendXTE = program.prefs.nmea.sendHSC = program.prefs.nmea.SendBOD
        = true;
    program.prefs.nmea.sendBWR = program.prefs.nmea.SendRMB = program.prefs.nmea.SendVTG = program.prefs.nmea.SendCustom
        = true;
    program.prefs.nmea.CustomNMEA = "$PKVC,@p:3,@c,@s@e";
    program.routeProgress.BearingToWaypoint = 231.4;
    program.routeProgress.CourseToSteer = 229;
    program.sentenceFix.MagVariation = -4;
    program.routeProgress.RangeToWaypoint = 12.5;
    program.routeProgress.XTE = 0.12;
    program.motion.SOG = 6.2;
    program.routeProgress.VMG = 5.9;
    program.routeProgress.TimeToWaypoint = 2.1;
    program.quickLog.push({ 50.2, 1.3, 600.0 });
    const auto ctx = kv::MakeTemplateContext(kv::TemplateRecordsOf(program), clock,
        kv::RouteTextsFromState(program.routeProgress, program.motion, program.settings.units, program.prefs.units));
    for (auto _ : state) {
        kv::BuildOutputSentences(program.nmeaLink, program.settings.nmea, program.prefs.nmea, ctx);
        benchmark::DoNotOptimize(program.nmeaLink.OutputText.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildOutputSentencesAllSwitches);

} // namespace
