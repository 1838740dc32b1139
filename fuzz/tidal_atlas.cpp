// A tidal atlas: the .pos file of diamond positions and its .FLO stream file (the input holds
// both; see SplitTwo).
#include "FuzzSupport.h"

#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "routes/TidalStreams.h"

namespace {

struct Program {
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::TidalAtlas atlas { state.tides, state.tideStream, state.prefs.tide, state.fixInfo, state.chartRef, state.motion,
        state.routeProgress, state.settings.vessel, state.display, fakes.platform };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Program p;
    const auto [positions, streams] = kvfuzz::SplitTwo(kvfuzz::AsText(data, size));
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string pos = scratch.write("fuzz.pos", positions);
    scratch.write("fuzz.FLO", streams);
    p.state.tides.clear();
    KV_FUZZ_CHECK(p.atlas.LoadAtlas(pos));
    KV_FUZZ_CHECK(p.state.tides.count() <= kv::kDiamondCapacity);
    KV_FUZZ_CHECK(p.state.tides.count() == std::min(streams.size() / kv::kStreamRecordSize, kv::kDiamondCapacity));
    for (const auto& d : p.state.tides) {
        KV_FUZZ_CHECK(kvfuzz::Finite(d.lat) && kvfuzz::Finite(d.lon));
    }
    // What the atlas feeds: the stream at the vessel and along the leg.
    p.state.prefs.tide.AtlasTide = true;
    p.state.chartRef.CosLatFactor = 0.6;
    p.atlas.StreamAtVessel();
    KV_FUZZ_CHECK(kvfuzz::Finite(p.state.tideStream.TideRate));
    for (int i = 0; i < 13; ++i) {
        p.atlas.IncTideClick();
    }
    p.fakes.prompter.messages.clear();
    return 0;
}
