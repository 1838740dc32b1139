#include "routes/Routes.h"

#include "app/ProgramState.h"

#include "core/Format.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/Golden.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

using namespace kv;

TEST(Golden, RouteFile)
{
    ProgramState state;
    FakePrompter prompter;
    RouteHooks hooks;
    RouteEditor editor(state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, prompter, hooks);
    state.route.push({ DefaultRouteName(1), 50.7625, 1.2933333 });
    state.route.push({ "Nab Tower               0512 ", 50.6675, 0.9519444 });
    state.route.push({ DefaultRouteName(3), -5.0, -3.5 });
    state.route.push({ DefaultRouteName(27), 49.5311, -0.1533 });
    kvtest::TempDir dir;
    ASSERT_TRUE(editor.SaveRouteAs1Click(dir.file("golden.rte")));
    kvtest::ExpectGolden("routes/golden/golden.rte", dir.read("golden.rte"));
}

TEST(RouteImportTool, GpxRouteOrWaypoints)
{
    kvtest::TempDir dir;
    dir.write("trip.gpx", R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test">
  <wpt lat="10" lon="10"><name>Ignored while there is a route</name></wpt>
  <rte><name>Solent</name>
    <rtept lat="50.7625" lon="-1.2933333"><name>Cowes Outer &amp; Inner Buoy Long</name></rtept>
    <rtept lon="-0.9519444" lat="50.6675"/>
    <rtept lat='-5.0' lon='3.5'><name>Caf&#233; Ostende</name></rtept>
    <rtept lat="north" lon="1"><name>bad</name></rtept>
  </rte>
</gpx>)");
    auto r = kvtest::RunKvtool({ "route-import", dir.file("trip.gpx"), dir.file("trip.rte") });
    ASSERT_EQ(r.exitCode, 0);
    const auto lines = ReadTextLines(dir.file("trip.rte")).value();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Cowes Outer & Inner Buoy19   N 50.45.75000  W001.17.60000");
    EXPECT_EQ(lines[1], "B                       19   N 50.40.05000  W000.57.11666");
    EXPECT_EQ(lines[2].substr(0, 24), PadRight("Caf\xe9 Ostende", 24)); // the character reference resolved
    EXPECT_EQ(lines[2].substr(29), "S 05.00.00000  E003.30.00000");

    // Only waypoints: they make the route; more than 40 are cut to 40.
    std::string gpx = "<gpx>";
    for (int i = 0; i < 45; ++i) {
        gpx += "<wpt lat=\"" + std::to_string(40 + i * 0.1) + "\" lon=\"2\"><name>W" + std::to_string(i)
            + "</name></wpt>";
    }
    dir.write("wpts.gpx", gpx + "</gpx>");
    r = kvtest::RunKvtool({ "route-import", dir.file("wpts.gpx"), dir.file("w.rte") });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(ReadTextLines(dir.file("w.rte")).value().size(), 40u);

    dir.write("empty.gpx", "<gpx></gpx>");
    EXPECT_EQ(kvtest::RunKvtool({ "route-import", dir.file("empty.gpx"), dir.file("e.rte") }).exitCode, 1);
    EXPECT_FALSE(FileExists(dir.file("e.rte")));
    EXPECT_EQ(kvtest::RunKvtool({ "route-import", dir.file("none.gpx"), dir.file("e.rte") }).exitCode, 1);
    EXPECT_EQ(kvtest::RunKvtool({ "route-import", dir.file("trip.gpx"), dir.file("gone/e.rte") }).exitCode, 1);
}

TEST(RouteImportTool, NamesLoseControlCharactersAndWhatLatin1Lacks)
{
    kvtest::TempDir dir;
    // Raw line breaks and a tab in names would split the route's lines.
    dir.write("odd.gpx",
        "<gpx><rte><rtept lat=\"50\" lon=\"-1\"><name>Line\r\nbreak\tand tab"
        "</name></rtept><rtept lat=\"51\" lon=\"-1\"><name>Caf\xc3\xa9 \xe2\x82\xac"
        "\xf0\x9f\x98\x80</name></rtept></rte></gpx>");
    const auto r = kvtest::RunKvtool({ "route-import", dir.file("odd.gpx"), dir.file("odd.rte") });
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "2 route points written to " + dir.file("odd.rte") + "\n");
    const auto lines = ReadTextLines(dir.file("odd.rte")).value();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 24), PadRight("Line break and tab", 24)); // XML reads CR LF as one line end
    EXPECT_EQ(lines[1].substr(0, 24), PadRight("Caf\xe9 ??", 24));
    RouteHooks hooks;
    ProgramState state;
    FakePrompter prompter;
    RouteEditor editor(state.route, state.routeProgress, state.routeEdit, state.fixInfo, state.chartRef,
        state.waypoints, state.settings, state.settings.fix, state.folders, state.display, prompter, hooks);
    EXPECT_TRUE(editor.ReadRouteFile(dir.file("odd.rte")));
    EXPECT_EQ(state.route.count(), 2);

    // A NUL is no character of XML at all: the file is refused, nothing written.
    dir.write("nul.gpx",
        "<gpx><rte><rtept lat=\"50\" lon=\"-1\"><name>a" + std::string(1, '\0') + "b</name></rtept></rte></gpx>");
    EXPECT_EQ(kvtest::RunKvtool({ "route-import", dir.file("nul.gpx"), dir.file("nul.rte") }).exitCode, 1);
    EXPECT_FALSE(FileExists(dir.file("nul.rte")));

    // A folder or a FIFO given as the GPX file: a clear refusal, no abort and no wait.
    std::filesystem::create_directory(dir.file("dir.gpx"));
    ASSERT_EQ(::mkfifo(dir.file("fifo.gpx").c_str(), 0600), 0);
    for (const char* name : { "dir.gpx", "fifo.gpx" }) {
        EXPECT_EQ(kvtest::RunKvtool({ "route-import", dir.file(name), dir.file("x.rte") }).exitCode, 1) << name;
    }
    EXPECT_FALSE(FileExists(dir.file("x.rte")));
}
