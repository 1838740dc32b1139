// GPX files read as XML and written back: the reader's answer to files a planning program or a
// hostile hand might write, and the counts that reach the route, waypoint and track tables.

#include "routes/GpxExchange.h"
#include "routes/GpxExport.h"
#include "routes/GpxImport.h"
#include "routes/Routes.h"

#include "core/Format.h"
#include "core/TextFile.h"
#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kv;

namespace {

const char* const kHeader = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="t" xmlns="http://www.topografix.com/GPX/1/1">
)";

std::string Gpx(const std::string& body)
{
    return kHeader + body + "</gpx>\n";
}

} // namespace

// A planning program's file: an old waypoint kept inside a comment and a name in a CDATA section.
// The comment is no point to steer for, and the CDATA is the name's text.
TEST(RouteImportTool, CommentsAreNoPointsAndCdataIsText)
{
    kvtest::TempDir dir;
    dir.write("plan.gpx", Gpx(R"(<!-- old waypoint: <rtept lat="10.0" lon="10.0"><name>GHOST</name></rtept> -->
<rte><rtept lat="50.5" lon="-1.5"><name><![CDATA[A&B <harbour>]]></name></rtept>
<rtept lat="50.75" lon="-1.25"><name>Lymington</name></rtept></rte>
)"));
    const auto r = kvtest::RunKvtool({ "route-import", dir.file("plan.gpx"), dir.file("plan.rte") });
    ASSERT_EQ(r.exitCode, 0);
    const auto lines = ReadTextLines(dir.file("plan.rte")).value();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "A&B <harbour>           19   N 50.30.00000  W001.30.00000");
    EXPECT_EQ(lines[1].substr(0, 9), "Lymington");
}

TEST(GpxReader, XmlAsXmlMeansIt)
{
    const struct {
        const char* what;
        std::string xml;
        std::vector<std::string> names; // of the waypoints read
    } cases[] = {
        { "comment holding a point",
            Gpx("<!-- <wpt lat=\"1\" lon=\"1\"><name>GHOST</name></wpt> --><wpt lat=\"2\" lon=\"3\"/>"), { "" } },
        { "CDATA", Gpx("<wpt lat=\"2\" lon=\"3\"><name><![CDATA[<b>&amp;]]></name></wpt>"), { "<b>&amp;" } },
        { "references", Gpx("<wpt lat=\"2\" lon=\"3\"><name>A&amp;B &#233;&#x41;&lt;&quot;</name></wpt>"),
            { "A&B \xe9"
              "A<\"" } },
        { "GPX 1.0 with a prefix",
            "<g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/0\"><g:wpt lat=\"2\" "
            "lon=\"3\"><g:name>P</g:name></g:wpt></g:gpx>",
            { "P" } },
        { "no namespace", "<gpx><wpt lat=\"2\" lon=\"3\"><name> N </name></wpt></gpx>", { "N" } },
        { "other namespaces and extensions skipped",
            Gpx("<o:wpt xmlns:o=\"urn:other\" lat=\"1\" lon=\"1\"/><extensions><wpt lat=\"1\" lon=\"1\"/></extensions>"
                "<wpt lat=\"2\" lon=\"3\"><o:name xmlns:o=\"urn:other\">NOT</o:name><name>Y</name></wpt>"),
            { "Y" } },
        { "an external entity is not fetched",
            "<!DOCTYPE gpx [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><gpx><wpt lat=\"2\" "
            "lon=\"3\"><name>a&x;b</name></wpt></gpx>",
            { "ab" } },
        { "a name with markup keeps its text", Gpx("<wpt lat=\"2\" lon=\"3\"><name>a<b>x</b>c</name></wpt>"),
            { "ac" } },
    };
    for (const auto& c : cases) {
        const GpxData data = ReadGpx(c.xml);
        EXPECT_EQ(data.error, "") << c.what;
        std::vector<std::string> names;
        for (const GpxPoint& p : data.waypoints) {
            names.push_back(p.name);
            EXPECT_EQ(p.lat, 2.0) << c.what;
            EXPECT_EQ(p.lon, 3.0) << c.what;
        }
        EXPECT_EQ(names, c.names) << c.what;
    }
}

TEST(GpxReader, HostileFilesGiveAMessageAndNoPoint)
{
    const std::string laughs
        = R"(<?xml version="1.0"?><!DOCTYPE gpx [<!ENTITY a "aaaaaaaaaa">)"
          R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">)"
          R"(<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;"><!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;">)"
          R"(<!ENTITY f "&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;"><!ENTITY g "&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;">]>)"
          R"(<gpx><wpt lat="1" lon="1"><name>&g;</name></wpt></gpx>)";
    const struct {
        const char* what;
        std::string xml;
        const char* message; // part of the error
    } cases[] = {
        { "truncated after a point", Gpx("<wpt lat=\"2\" lon=\"3\"/><wpt lat=\"4\" lon=\"5\"><na").substr(0, 140),
            "line 3" },
        { "tags that do not match", Gpx("<wpt lat=\"2\" lon=\"3\"/>\n<rte><rtept lat=\"1\" lon=\"1\"></rte>"),
            "(line 4, column " },
        { "billion laughs", laughs, "GPX file not read" },
        { "undeclared entity", Gpx("<wpt lat=\"2\" lon=\"3\"><name>&nbsp;</name></wpt>"), "GPX file not read" },
        { "GPX 1.2 namespace", "<gpx xmlns=\"http://www.topografix.com/GPX/1/2\"><wpt lat=\"1\" lon=\"1\"/></gpx>",
            "not a GPX file: the document is <gpx> of namespace http://www.topografix.com/GPX/1/2" },
        { "another document", "<kml><wpt lat=\"1\" lon=\"1\"/></kml>", "not a GPX file: the document is <kml>" },
        { "empty", "", "GPX file not read" },
        { "binary", std::string("\0\xff\xfe<gpx>", 8), "GPX file not read" },
        { "second document element", "<gpx><wpt lat=\"1\" lon=\"1\"/></gpx><gpx/>", "GPX file not read" },
    };
    for (const auto& c : cases) {
        const GpxData data = ReadGpx(c.xml);
        EXPECT_NE(data.error.find(c.message), std::string::npos) << c.what << ": " << data.error;
        EXPECT_TRUE(data.waypoints.empty() && data.routes.empty() && data.tracks.empty()) << c.what;
    }
    // Positions that are no positions leave the point out, counted.
    const GpxData odd
        = ReadGpx(Gpx(R"(<wpt lat="91" lon="0"/><wpt lat="0" lon="-180.5"/><wpt lat="nan" lon="0"/>)"
                      R"(<wpt lon="1"/><wpt lat="1e1" lon=" 2 "/><wpt o:lat="5" lat="6" lon="7" xmlns:o="urn:o"/>)"));
    EXPECT_EQ(odd.error, "");
    EXPECT_EQ(odd.skipped, 4u);
    ASSERT_EQ(odd.waypoints.size(), 2u);
    EXPECT_EQ(odd.waypoints[0].lat, 10.0);
    EXPECT_EQ(odd.waypoints[1].lat, 6.0);
}

TEST(GpxReader, FilesBeyondTheLimitAreNotRead)
{
    kvtest::TempDir dir;
    {
        std::ofstream out(dir.file("big.gpx"), std::ios::binary);
        out << kHeader;
        const std::string chunk = "<wpt lat=\"50\" lon=\"-1\"><name>x</name></wpt>\n";
        for (std::size_t written = 0; written < std::size_t { 100 } * 1024 * 1024; written += chunk.size()) {
            out << chunk;
        }
        out << "</gpx>\n";
    }
    const GpxData data = ReadGpxFile(dir.file("big.gpx"));
    EXPECT_NE(data.error.find("is larger than"), std::string::npos) << data.error;
    EXPECT_TRUE(data.waypoints.empty());
    EXPECT_NE(ReadGpxFile(dir.file("none.gpx")).error.find("does not exist"), std::string::npos);
}

TEST(GpxTables, CapacitiesAndTheThinnedTrack)
{
    GpxLine route;
    for (int i = 0; i < 45; ++i) {
        route.points.push_back({ 50.0 + i * 0.01, -1.0, i == 1 ? "" : "P" + std::to_string(i), {} });
    }
    const GpxRouteWaypoints r = RouteFromGpx(route);
    ASSERT_EQ(r.waypoints.size(), 40u);
    EXPECT_EQ(r.dropped, 5u);
    EXPECT_EQ(r.waypoints[1].name, DefaultRouteName(2));
    EXPECT_EQ(r.waypoints[0].lon, 1.0); // west positive

    ChartWaypoints table;
    for (int i = 0; i < 590; ++i) {
        table.push({});
    }
    EXPECT_EQ(AddGpxWaypoints(route.points, table), 10u);
    EXPECT_EQ(table.at(600).label(), "P9");
    EXPECT_EQ(table.at(600).symbol(), 19);

    GpxLine track;
    for (int i = 0; i < 10000; ++i) {
        track.points.push_back(
            { i * 0.001, i * 0.001, {}, i == 9999 ? "2026-03-07T23:59:30.5Z" : "2026-03-07T10:00:00Z" });
    }
    const QuickLog log = QuickLogFromGpx(track);
    ASSERT_EQ(log.count(), kQuickLogCapacity);
    EXPECT_EQ(log.at(1).lat, 0.0);
    EXPECT_DOUBLE_EQ(log.at(98).lat, 9.999);
    EXPECT_DOUBLE_EQ(log.at(98).lon, -9.999);
    EXPECT_EQ(log.at(1).minutes, 600.0);
    EXPECT_DOUBLE_EQ(log.at(98).minutes, 23 * 60 + 59.5 + 0.5 / 60);
    for (std::size_t k = 2; k <= 98; ++k) {
        EXPECT_GT(log.at(k).lat, log.at(k - 1).lat) << k; // evenly spread, never a point twice
    }
}

TEST(GpxWriter, NamesAreEscapedAndReadBack)
{
    GpxData data;
    data.waypoints.push_back({ -33.5, 151.25, "A&B <\"x\"> \xe9\x01", {} });
    data.routes.push_back({ "R&D", { { 50.5, -1.5, "]]>", {} } } });
    data.tracks.push_back({ "T", { { 1.0, 2.0, {}, "2026-03-07T10:00:00.000" } } });
    const std::string xml = WriteGpx(data);
    // UTF-8 é; the control character, which XML cannot carry, a space
    EXPECT_NE(xml.find("<name>A&amp;B &lt;&quot;x&quot;&gt; \xc3\xa9 </name>"), std::string::npos) << xml;
    const GpxData back = ReadGpx(xml);
    ASSERT_EQ(back.error, "");
    ASSERT_EQ(back.waypoints.size(), 1u);
    EXPECT_EQ(back.waypoints[0].name, "A&B <\"x\"> \xe9");
    EXPECT_EQ(back.waypoints[0].lon, 151.25);
    EXPECT_EQ(back.routes.at(0).name, "R&D");
    EXPECT_EQ(back.routes.at(0).points.at(0).name, "]]>");
    EXPECT_EQ(back.tracks.at(0).points.at(0).time, "2026-03-07T10:00:00.000");
}
