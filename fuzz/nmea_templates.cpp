// A user's template text through both expanders, over a state with a route, a quick log and a
// fix, as the output sentences, text-log lines and remarks use them.
#include "FuzzSupport.h"

#include "app/ProgramState.h"
#include "nmea/Templates.h"
#include "nmea/WaypointTransfer.h"
#include "platform/fake/Fakes.h"

namespace {

struct Program {
    Program()
    {
        state.route.push({ "Alpha one               01", 50.5, 1.25 });
        state.route.push({ "b.c'd e@  ", -33.75, -151.5 });
        state.routeProgress.RouteLength = 2;
        state.routeProgress.ActiveWaypoint = 2;
        state.fixInfo.OwnLat = 50.1;
        state.fixInfo.OwnLong = 1.3;
        state.motion.SOG = 5.2;
        state.motion.COG = 271.0;
        state.quickLog.push({ 50.0, 1.2, 600.0 });
        state.quickLog.push({ 50.1, 1.3, 601.0 });
    }
    kv::ProgramState state;
    kv::FakePlatform fakes;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Program program;
    const std::string_view tmpl = kvfuzz::AsText(data, size);
    std::optional<kv::LatLong> tow;
    kv::TemplateSources sources;
    sources.towPosition = [] { return std::optional<kv::LatLong>(kv::LatLong { 50.5, -1.5 }); };
    sources.measureText = [] { return std::string("12.5 Nm 090"); };
    const auto ctx
        = kv::MakeTemplateContext(kv::TemplateRecordsOf(program.state), program.fakes.clock, {}, &sources, &tow);
    const std::string sentence = kv::ExpandSentence(tmpl, ctx);
    const std::string text = kv::ExpandTemplate(tmpl, ctx);
    // Every code expands to a bounded text: no template can make the output explode.
    KV_FUZZ_CHECK(sentence.size() <= 256 * (size + 1));
    KV_FUZZ_CHECK(text.size() <= 256 * (size + 1));
    return 0;
}
