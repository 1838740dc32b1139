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
    kv::RouteEditor editor { state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, fakes.prompter, hooks };
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
        KV_FUZZ_CHECK(p.state.routeProgress.RouteLength == static_cast<int>(p.state.route.count()));
        KV_FUZZ_CHECK(p.state.display.WPNameItems.size() == p.state.route.count());
        for (const auto& w : p.state.route) {
            KV_FUZZ_CHECK(kvfuzz::Finite(w.lat) && kvfuzz::Finite(w.lon));
        }
        // Saved as .rte and opened again: the same name fields, and the positions to the precision
        // of the columns (a value that rounds to zero may keep the hemisphere of its sign, so the
        // lines themselves can differ).
        const std::string saved = scratch.path("saved.rte");
        KV_FUZZ_CHECK(p.editor.SaveRouteAs1Click(saved));
        const std::vector<kv::RouteWaypoint> before(p.state.route.begin(), p.state.route.end());
        KV_FUZZ_CHECK(p.editor.ReadRouteFile(saved));
        KV_FUZZ_CHECK(p.state.route.count() == before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            const kv::RouteWaypoint& w = p.state.route.at(i + 1);
            KV_FUZZ_CHECK(kv::RouteLine(w).substr(0, 29) == kv::RouteLine(before[i]).substr(0, 29));
            // Three columns of degrees: larger values are written as 999.
            if (std::fabs(before[i].lat) < 999.0 && std::fabs(before[i].lon) < 999.0) {
                KV_FUZZ_CHECK(std::fabs(w.lat - before[i].lat) <= 1e-6 && std::fabs(w.lon - before[i].lon) <= 1e-6);
            }
        }
        p.fakes.prompter.messages.clear();
    }
    return 0;
}
