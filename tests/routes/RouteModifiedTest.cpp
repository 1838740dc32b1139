// Whether the route holds edits that no file has: set by the view's route commands, cleared by
// opening, saving and removing the route.

#include "app/ProgramState.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace kv;

TEST(RouteModified, EditsSetItOpeningSavingAndRemovingClearIt)
{
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    RouteHooks hooks;
    RouteEditor editor(state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, fakes.prompter, hooks);
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0;
    const std::string file = dir.file("r.rte");

    struct Step {
        const char* what;
        std::function<void()> run;
        bool modified;
    };
    const Step steps[] = {
        { "add", [&] { editor.AddRouteWaypoint1Click(); }, true },
        { "save", [&] { ASSERT_TRUE(editor.SaveRouteAs1Click(file)); }, false },
        { "insert",
            [&] {
                state.routeProgress.ActiveWaypoint = 1;
                editor.InsertWaypoint1Click();
            },
            true },
        { "open", [&] { editor.Routes1Click(file); }, false },
        { "edit",
            [&] {
                state.routeProgress.ActiveWaypoint = 1;
                editor.EditRouteOk(EditRouteDialog { "Needles", false });
            },
            true },
        { "save again", [&] { ASSERT_TRUE(editor.SaveRouteAs1Click(file)); }, false },
        { "delete",
            [&] {
                state.routeProgress.ActiveWaypoint = 1;
                editor.DeleteSelectedWaypoint1Click();
            },
            true },
        { "remove",
            [&] {
                fakes.prompter.answer({ true });
                editor.Route1Click();
            },
            false },
        { "delete with nothing selected",
            [&] {
                state.routeProgress.ActiveWaypoint = 0;
                editor.DeleteSelectedWaypoint1Click();
            },
            false },
        { "save that fails",
            [&] {
                editor.AddRouteWaypoint1Click();
                editor.SaveRouteAs1Click(dir.file("no/such/r.rte"));
            },
            true },
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.run();
        EXPECT_EQ(state.routeEdit.RouteModified, s.modified);
    }
}

} // namespace
