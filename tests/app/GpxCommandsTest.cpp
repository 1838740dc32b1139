// GPX import and export from the menus, on a program without a window: what reaches the route,
// the chart waypoints and the quick log, which files are made, and which are left alone.

#include "app/GpxCommands.h"
#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/GpxImport.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using namespace kv;

// A working folder whose first tick opens a small chart "world".
class Program {
public:
    Program()
    {
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            std::filesystem::create_directories(dir.file(folder));
        }
        dir.write("charts/world.cht",
            ChartRecordBytes({ ChartPoint::make(50.0, 1.0), ChartPoint::make(50.5, 1.5), ChartPoint::penUp() }));
        controller = std::make_unique<MainController>(state, fakes.platform, window);
        controller->FormCreate(dir.path(), "");
    }
    std::map<std::string, std::string> files(const std::string& folder) const
    {
        std::map<std::string, std::string> contents;
        for (const auto& e : std::filesystem::directory_iterator(dir.file(folder))) {
            contents[e.path().filename().string()] = dir.read(folder + "/" + e.path().filename().string());
        }
        return contents;
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks window;
    std::unique_ptr<MainController> controller;
};

const char* const kTwoRoutesAndATrack = R"(<gpx xmlns="http://www.topografix.com/GPX/1/1">
<rte><name>Solent</name><rtept lat="50.5" lon="-1.5"/><rtept lat="50.6" lon="-1.4"/></rte>
<rte><name>Other</name><rtept lat="-4" lon="3"><name>Far &amp; away</name></rtept></rte>
<trk><name>Day out</name><trkseg><trkpt lat="50.1" lon="-1.1"><time>2026-03-07T10:00:00Z</time></trkpt>
<trkpt lat="50.2" lon="-1.2"><time>2026-03-07T10:30:00Z</time></trkpt></trkseg>
<trkseg><trkpt lat="50.3" lon="-1.3"/></trkseg></trk>
</gpx>)";

TEST(GpxCommands, TheUserChoosesOneOfSeveralRoutesAndNoRouteFileIsReplaced)
{
    Program p;
    p.dir.write("two.gpx", kTwoRoutesAndATrack);
    p.dir.write("routes/Other.rte", "kept as it was\r\n");
    std::vector<std::string> offered;
    GpxCommands(*p.controller).ImportGpx1Click(p.dir.file("two.gpx"), [&](const std::vector<std::string>& choices) {
        offered = choices;
        return std::optional<std::size_t>(1);
    });
    EXPECT_EQ(offered,
        (std::vector<std::string> { "Route Solent (2 points)", "Route Other (1 points)", "Track Day out (3 points)" }));
    EXPECT_EQ(p.dir.read("routes/Other.rte"), "kept as it was\r\n");
    ASSERT_EQ(p.state.route.count(), 1u);
    EXPECT_EQ(p.state.route.at(1).name, "Far & away              19   ");
    EXPECT_EQ(p.state.route.at(1).lon, -3.0);
    EXPECT_EQ(p.state.settings.RouteName, "Other-2");
    EXPECT_TRUE(FileExists(p.dir.file("routes/Other-2.rte")));

    // Cancelled: nothing changes.
    GpxCommands(*p.controller).ImportGpx1Click(p.dir.file("two.gpx"), [](const auto&) {
        return std::optional<std::size_t>();
    });
    EXPECT_EQ(p.state.settings.RouteName, "Other-2");
    EXPECT_FALSE(FileExists(p.dir.file("routes/Solent.rte")));
}

TEST(GpxCommands, ATrackIsShownFromALogOfItsOwnAndTheDaysLogStays)
{
    Program p;
    p.controller->SecsTimerTimer();
    p.state.quickLog.push({ 49.0, 2.0, 5.0 });
    ASSERT_TRUE(p.controller->logs().WriteLogFile(p.controller->logs().TrackLogPath()));
    const auto before = p.files("logs");
    p.dir.write("two.gpx", kTwoRoutesAndATrack);
    GpxCommands(*p.controller).ImportGpx1Click(p.dir.file("two.gpx"), [](const auto&) {
        return std::optional<std::size_t>(2);
    });
    const auto after = p.files("logs");
    for (const auto& [name, bytes] : before) {
        EXPECT_EQ(after.at(name), bytes) << name;
    }
    ASSERT_TRUE(after.count("Day_out-track.log"));
    EXPECT_EQ(p.state.textLog.LogNameBase.str(), "Day_out-track");
    ASSERT_EQ(p.state.quickLog.count(), 3u);
    EXPECT_NEAR(p.state.quickLog.at(2).lon, 1.2, 1e-9); // west positive
    EXPECT_EQ(p.state.quickLog.at(2).minutes, 630.0);
    EXPECT_EQ(p.state.quickLog.at(3).minutes, 630.0); // no time: the one before it
}

TEST(GpxCommands, AMalformedFileWritesNothing)
{
    Program p;
    p.controller->SecsTimerTimer();
    const std::size_t shown = p.fakes.prompter.messages.size();
    const auto routes = p.files("routes");
    const auto logs = p.files("logs");
    p.dir.write("cut.gpx", std::string(kTwoRoutesAndATrack).substr(0, 200));
    int asked = 0;
    GpxCommands(*p.controller).ImportGpx1Click(p.dir.file("cut.gpx"), [&](const auto&) {
        ++asked;
        return std::optional<std::size_t>(0);
    });
    GpxCommands(*p.controller).ImportGpxWaypoints1Click(p.dir.file("cut.gpx"));
    EXPECT_EQ(asked, 0);
    ASSERT_EQ(p.fakes.prompter.messages.size(), shown + 2);
    for (std::size_t i = shown; i < shown + 2; ++i) {
        EXPECT_EQ(p.fakes.prompter.messages[i].kind, "error");
        EXPECT_NE(
            p.fakes.prompter.messages[i].text.find("Premature end of document. (line 3, column 61)"), std::string::npos)
            << p.fakes.prompter.messages[i].text;
    }
    EXPECT_EQ(p.state.waypoints.count(), 0u);
    EXPECT_EQ(p.files("routes"), routes);
    EXPECT_EQ(p.files("logs"), logs);
    EXPECT_EQ(p.state.route.count(), 0u);
}

TEST(GpxCommands, WaypointsJoinTheOpenChartUpTo600)
{
    Program p;
    std::string gpx = "<gpx>";
    for (int i = 0; i < 8; ++i) {
        gpx += "<wpt lat=\"50." + std::to_string(i) + "\" lon=\"1\"><name>W" + std::to_string(i) + "</name></wpt>";
    }
    p.dir.write("marks.gpx", gpx + "</gpx>");
    GpxCommands(*p.controller).ImportGpxWaypoints1Click(p.dir.file("marks.gpx"));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kGpxOpenChartFirst));

    p.controller->SecsTimerTimer();
    ASSERT_GT(p.state.chart.count(), 0);
    for (int i = 0; i < 595; ++i) {
        p.state.waypoints.push({ WaypointNameField("old", 1), 40.0, 1.0 });
    }
    GpxCommands(*p.controller).ImportGpxWaypoints1Click(p.dir.file("marks.gpx"));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs("Waypoint Database Full ! 3 GPX waypoints were not added"));
    EXPECT_EQ(p.state.waypoints.at(600).label(), "W4");
    EXPECT_EQ(p.state.waypoints.at(600).lon, -1.0);
    EXPECT_EQ(ReadTextLines(p.dir.file("charts/world.wpt")).value().size(), 600u);

    // Nothing to export: a message and no file.
    EXPECT_FALSE(GpxCommands(*p.controller).ExportGpx1Click(p.dir.file("route.gpx")));
    EXPECT_TRUE(p.fakes.prompter.lastMessageIs(kGpxNoRoute));
    EXPECT_FALSE(FileExists(p.dir.file("route.gpx")));
}

} // namespace
