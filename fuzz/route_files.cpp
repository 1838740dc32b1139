// Route files in both layouts (.rte and the DOS .prn) through the route reader of the program.
#include "FuzzSupport.h"

#include "app/ProgramState.h"
#include "charts/WaypointFiles.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"

namespace {

struct Program {
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::RouteHooks hooks;
    kv::RouteEditor editor { state.route, state.nav, state.nav, state.nav, state.nav, state.waypoints,
        state.settings, state.nav, state.nav, state.display, fakes.prompter, hooks };
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Program p;
    const auto& scratch = kvfuzz::Scratch::get();
    for (const char* name : { "fuzz.rte", "fuzz.prn" }) {
        const std::string path = scratch.write(name, kvfuzz::AsText(data, size));
        KV_FUZZ_CHECK(p.editor.ReadRouteFile(path));
        KV_FUZZ_CHECK(p.state.route.count() <= kv::kRouteCapacity);
        KV_FUZZ_CHECK(p.state.nav.RouteLength == static_cast<int>(p.state.route.count()));
        KV_FUZZ_CHECK(p.state.display.WPNameItems.size() == p.state.route.count());
        for (const auto& w : p.state.route) {
            KV_FUZZ_CHECK(kvfuzz::Finite(w.lat) && kvfuzz::Finite(w.lon));
        }
        // Saved as .rte and opened again: the same route.
        const std::string saved = scratch.path("saved.rte");
        KV_FUZZ_CHECK(p.editor.SaveRouteAs1Click(saved));
        std::vector<std::string> lines;
        for (const auto& w : p.state.route) {
            lines.push_back(kv::RouteLine(w));
        }
        KV_FUZZ_CHECK(p.editor.ReadRouteFile(saved));
        KV_FUZZ_CHECK(p.state.route.count() == lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            KV_FUZZ_CHECK(kv::RouteLine(p.state.route.at(i + 1)) == lines[i]);
        }
        p.fakes.prompter.messages.clear();
    }
    return 0;
}
