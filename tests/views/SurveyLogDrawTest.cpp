// The survey-log plot: where a field stands in a text-log line, the fixes read back from a log,
// and the pixels of a small plot (blob colours at the ends of the range, the highlight, last N,
// events only, the survey track, labels that do not cover each other, the legend).

#include "views/SurveyLogDraw.h"

#include "app/ProgramState.h"
#include "core/TextFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <tuple>

using namespace kv;

namespace {

// 400 × 300 pixels centred on 50° N 1° W, 1000 pixels per degree both ways: 0.01° is 10 pixels.
Projection TestProjection()
{
    Projection p;
    p.refLat = 50.0;
    p.refLong = 1.0;
    p.latScale = 1000;
    p.longScale = 1000;
    p.width = 400;
    p.height = 300;
    p.halfW = 200;
    p.halfH = 150;
    p.margin = 400.0;
    return p;
}

struct Picture {
    Picture()
        : image(400, 300, QImage::Format_RGB32)
    {
        image.fill(QColor::fromRgb(0xFF000000u | kNavy));
    }
    Rgb at(int x, int y) const { return image.pixel(x, y) & 0xFFFFFFu; }
    int count(Rgb c, int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                n += at(x, y) == c ? 1 : 0;
            }
        }
        return n;
    }
    QImage image;
};

// A fix at pixel (x, y) of the test projection.
SurveyLogFix FixAt(int x, int y, double value, bool event = false)
{
    SurveyLogFix f;
    f.lat = 50.0 - (y - 150) / 1000.0;
    f.lon = 1.0 - (x - 200) / 1000.0;
    f.value = value;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", value);
    f.text = buf;
    f.event = event;
    return f;
}

ViewOptions PlotOptions()
{
    ViewOptions o;
    o.PlotTextLog = true;
    o.PlotField = 'S';
    o.Blobs = true;
    o.PlotRange = 10;
    o.UseCrosses = false;
    return o;
}

} // namespace

TEST(SurveyLog, FieldIndexCountsTheCommasEachCodeWrites)
{
    const char* standard = "@d,@f,@t,@p:3,@q,@c,@s,@v,@x,@y";
    struct Case {
        const char* format;
        char code;
        std::optional<int> index;
    };
    const Case cases[] = {
        { standard, 'd', 0 },
        { standard, 'F', 1 },
        { standard, 'p', 3 },
        { standard, 'q', 7 },
        { standard, 's', 9 },
        { standard, 'x', 11 },
        { standard, 'y', 12 },
        { "@p,@s", 's', 4 }, // a position fills four fields
        { "@y,@t", 't', 2 }, // decimal degrees fill two
        { "@p:4,@s", 's', 4 }, // the ":n" adds no field
        { "a@,b,@s", 's', 1 }, // "@," vanishes with its comma
        { "@Z,@s", 's', 1 }, // an unknown code vanishes, the comma after it stays
        { "@a,@s", 's', 1 }, // "@a" is not a text-log code
        { standard, 'w', std::nullopt },
        { "", 's', std::nullopt },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LogFieldIndex(c.format, c.code), c.index) << c.format << " " << c.code;
    }
}

TEST(SurveyLog, ReadsFixesEventsPenUpsAndValuesFromTheLogLines)
{
    const std::vector<std::string> lines = {
        "Log Date : 09-12-26",
        "@f,@t,@p:3,@s,@x",
        "00001,10:00:00,5030.000,N,00130.000,W,4.50,-0.12",
        "",
        "*1",
        "00002,10:00:10,5030.600,N,00129.400,E,5.00,0.30",
        "# -b",
        "00003,10:00:20,garbage,N,00130.000,W,6.00,0.00",
        "00004,10:00:30,5031.200,S,00130.000,W,7.25,1.00",
    };
    const auto fixes = ParseSurveyLog(lines, 'S', 0.001, 0.002);
    ASSERT_EQ(fixes.size(), 3u);
    // Receiver datum to chart datum: latitude + offset, longitude − offset.
    EXPECT_NEAR(fixes[0].lat, 50.5 + 0.001, 1e-9);
    EXPECT_NEAR(fixes[0].lon, 1.5 - 0.002, 1e-9);
    EXPECT_TRUE(fixes[0].penUp); // the first fix starts the track
    EXPECT_FALSE(fixes[0].event);
    EXPECT_EQ(fixes[0].text, "4.50");
    EXPECT_EQ(fixes[0].value, 4.5);
    EXPECT_NEAR(fixes[1].lon, -(1.0 + 29.4 / 60.0) - 0.002, 1e-9); // east is negative
    EXPECT_TRUE(fixes[1].event);
    EXPECT_FALSE(fixes[1].penUp);
    EXPECT_NEAR(fixes[2].lat, -(50.0 + 31.2 / 60.0) + 0.001, 1e-9);
    EXPECT_TRUE(fixes[2].penUp) << "after \"# -b\" and a line that could not be placed";
    EXPECT_FALSE(fixes[2].event);

    const auto times = ParseSurveyLog(lines, 'T', 0, 0);
    ASSERT_EQ(times.size(), 3u);
    EXPECT_NEAR(*times[1].value, 10.0 + 10.0 / 3600.0, 1e-9);
    const auto xte = ParseSurveyLog(lines, 'X', 0, 0);
    EXPECT_EQ(xte[0].value, -0.12);
    const auto none = ParseSurveyLog(lines, '-', 0, 0);
    EXPECT_TRUE(none[0].text.empty());
    EXPECT_FALSE(none[0].value);

    // Without "@p" the decimal "@y" position places the fix (chart datum, east positive).
    const auto decimal = ParseSurveyLog({ "h", "@f,@y,@s", "1,50.25000000,-1.75000000,3.0" }, 'S', 0.5, 0.5);
    ASSERT_EQ(decimal.size(), 1u);
    EXPECT_DOUBLE_EQ(decimal[0].lat, 50.25);
    EXPECT_DOUBLE_EQ(decimal[0].lon, 1.75);
    EXPECT_TRUE(ParseSurveyLog({ "h", "@f,@s", "1,3.0" }, 'S', 0, 0).empty());
    EXPECT_TRUE(ParseSurveyLog({ "only a header" }, 'S', 0, 0).empty());
}

TEST(SurveyLog, ColourScaleRunsFromPurpleToYellowOverTheAbsoluteValue)
{
    EXPECT_EQ(ViridisColour(0.0), 0x440154u);
    EXPECT_EQ(ViridisColour(1.0), 0xFDE725u);
    EXPECT_EQ(ViridisColour(0.5), 0x26828Eu);
    EXPECT_EQ(ViridisColour(-3.0), 0x440154u);
    EXPECT_EQ(ViridisColour(7.0), 0xFDE725u);
    EXPECT_EQ(BlobColour(0.0, 10), ViridisColour(0.0));
    EXPECT_EQ(BlobColour(10.0, 10), ViridisColour(1.0));
    EXPECT_EQ(BlobColour(-10.0, 10), ViridisColour(1.0));
    EXPECT_EQ(BlobColour(55.0, 10), ViridisColour(1.0));
    EXPECT_EQ(BlobColour(5.0, 10), ViridisColour(0.5));
    // Perceptual: the lightness (here the green channel) rises all the way.
    int lastGreen = -1;
    for (int i = 0; i <= 20; ++i) {
        const int green = static_cast<int>((ViridisColour(i / 20.0) >> 8) & 0xFF);
        EXPECT_GT(green, lastGreen) << i;
        lastGreen = green;
    }
}

TEST(SurveyLog, BlobsTakeTheColourOfTheirValueAndHighValuesGetARing)
{
    Picture pic;
    RenderCanvas canvas(pic.image);
    ViewOptions o = PlotOptions();
    o.Highlight = 8.0;
    o.PlotField = '-'; // blobs only here; labels are tested below
    const std::vector<SurveyLogFix> fixes = { FixAt(100, 100, 0.0), FixAt(200, 100, 10.0), FixAt(300, 100, -9.0) };
    DrawSurveyLog(canvas, TestProjection(), o, fixes, SchemeColours {});
    EXPECT_EQ(pic.at(100, 100), ViridisColour(0.0));
    EXPECT_EQ(pic.at(103, 100), ViridisColour(0.0));
    EXPECT_EQ(pic.at(200, 100), ViridisColour(1.0));
    EXPECT_EQ(pic.at(300, 100), ViridisColour(0.9));
    // The white edge at radius 6, the red ring of values above 8 at 7 and 8, none on the low one.
    EXPECT_EQ(pic.at(200 + kBlobRadius + 1, 100), kWhite);
    EXPECT_EQ(pic.at(200 + kBlobRadius + 2, 100), kHighlightRing);
    EXPECT_EQ(pic.at(300, 100 - kBlobRadius - 3), kHighlightRing);
    EXPECT_EQ(pic.count(kHighlightRing, 85, 85, 115, 115), 0);
    EXPECT_EQ(pic.at(100 + kBlobRadius + 4, 100), kNavy);
}

TEST(SurveyLog, LastNAndEventsOnlyChooseTheFixesDrawn)
{
    const std::vector<SurveyLogFix> fixes = { FixAt(50, 150, 1.0, true), FixAt(100, 150, 2.0),
        FixAt(150, 150, 3.0, true), FixAt(200, 150, 4.0), FixAt(250, 150, 5.0) };
    struct Case {
        const char* what;
        bool lastN;
        int n;
        bool eventsOnly;
        std::vector<int> drawn; // x of the blobs drawn
    };
    const Case cases[] = {
        { "all", false, 100, false, { 50, 100, 150, 200, 250 } },
        { "last 2", true, 2, false, { 200, 250 } },
        { "last 0", true, 0, false, {} },
        { "last 100 of 5", true, 100, false, { 50, 100, 150, 200, 250 } },
        { "events", false, 100, true, { 50, 150 } },
        { "events among the last 3", true, 3, true, { 150 } },
    };
    for (const Case& c : cases) {
        Picture pic;
        RenderCanvas canvas(pic.image);
        ViewOptions o = PlotOptions();
        o.PlotField = '-';
        o.LastN = c.lastN;
        o.NShow = c.n;
        o.EventsOnly = c.eventsOnly;
        DrawSurveyLog(canvas, TestProjection(), o, fixes, SchemeColours {});
        for (int x : { 50, 100, 150, 200, 250 }) {
            const bool expected = std::find(c.drawn.begin(), c.drawn.end(), x) != c.drawn.end();
            EXPECT_EQ(pic.at(x, 150) != kNavy, expected) << c.what << " x " << x;
        }
    }
}

TEST(SurveyLog, SurveyTrackJoinsTheFixesAndBreaksAtPenUp)
{
    std::vector<SurveyLogFix> fixes = { FixAt(100, 50, 1.0), FixAt(200, 50, 1.0), FixAt(300, 50, 1.0) };
    fixes[2].penUp = true;
    Picture pic;
    RenderCanvas canvas(pic.image);
    ViewOptions o = PlotOptions();
    o.Blobs = false;
    o.PlotField = '-';
    o.SurveyTrack = true;
    o.EventsOnly = true; // the track still joins the fixes that are not events
    DrawSurveyLog(canvas, TestProjection(), o, fixes, SchemeColours {});
    EXPECT_EQ(pic.at(150, 50), kSurveyTrackColour);
    EXPECT_EQ(pic.at(250, 50), kNavy);
    // Crosses mark the fixes when asked for.
    Picture crosses;
    RenderCanvas c2(crosses.image);
    o.SurveyTrack = false;
    o.EventsOnly = false;
    o.UseCrosses = true;
    DrawSurveyLog(c2, TestProjection(), o, fixes, SchemeColours {});
    EXPECT_EQ(crosses.at(102, 52), kWhite);
    EXPECT_EQ(crosses.at(150, 50), kNavy);
}

// " Plot Tow": the "@>" field gives each fix its tow (moved to chart datum like "@p"), drawn as a
// towline and a ring only when asked for; a line whose tow field is blank has no tow.
TEST(SurveyLog, TowFromTheLogIsPlottedOnlyWhenAsked)
{
    const std::vector<std::string> lines = { "Log Date : 09-12-26", "@f,@p:3,@>:3",
        "1,5000.000,N,00100.000,W,5000.600,N,00100.600,W", "2,5000.000,N,00100.000,W,,,," };
    const auto fixes = ParseSurveyLog(lines, '-', 0.0, 0.0);
    ASSERT_EQ(fixes.size(), 2u);
    ASSERT_TRUE(fixes[0].towLat && fixes[0].towLon);
    EXPECT_NEAR(*fixes[0].towLat, 50.01, 1e-9);
    EXPECT_NEAR(*fixes[0].towLon, 1.01, 1e-9);
    EXPECT_FALSE(fixes[1].towLat);
    const auto shifted = ParseSurveyLog(lines, '-', 0.001, 0.002);
    EXPECT_NEAR(*shifted[0].towLat, 50.011, 1e-9);
    EXPECT_NEAR(*shifted[0].towLon, 1.008, 1e-9);

    ViewOptions o = PlotOptions();
    o.PlotField = '-';
    o.Blobs = false;
    for (const bool plotTow : { false, true }) {
        o.PlotTow = plotTow;
        Picture pic;
        RenderCanvas canvas(pic.image);
        DrawSurveyLog(canvas, TestProjection(), o, fixes, SchemeColours {});
        // The fix at (200, 150), its tow at (190, 140).
        const Rgb expected = plotTow ? kTowColour : kNavy;
        EXPECT_EQ(pic.at(195, 145), expected) << "towline, plot tow " << plotTow;
        EXPECT_EQ(pic.at(193, 140), expected) << "tow ring, plot tow " << plotTow;
    }
}

TEST(SurveyLog, LabelsAreWrittenWithoutCoveringEachOtherAndHighlightedOnesFirst)
{
    // Five fixes on one pixel: four places around it, so one label is left out; the highlighted
    // value is always among those written, in black on its yellow box.
    std::vector<SurveyLogFix> fixes;
    for (double v : { 1.0, 2.0, 3.0, 4.0, 99.0 }) {
        fixes.push_back(FixAt(200, 150, v));
    }
    Picture pic;
    RenderCanvas canvas(pic.image);
    if (canvas.textHeight() == 0) {
        GTEST_SKIP() << "no fonts";
    }
    ViewOptions o = PlotOptions();
    o.Highlight = 50.0;
    const int written = DrawSurveyLog(canvas, TestProjection(), o, { fixes.begin(), fixes.end() }, SchemeColours {});
    EXPECT_EQ(written, 4);
    EXPECT_GT(pic.count(kHighlightBox, 0, 0, 399, 299), 20);
    EXPECT_GT(pic.count(kBlack, 0, 0, 399, 299), 5);
    // Without a field there is nothing to write.
    o.PlotField = '-';
    EXPECT_EQ(DrawSurveyLog(canvas, TestProjection(), o, fixes, SchemeColours {}), 0);
}

TEST(SurveyLog, LegendShowsTheScaleOnlyWithBlobs)
{
    ViewOptions o = PlotOptions();
    const QImage legend = SurveyLegendImage(o, SchemeColours {});
    ASSERT_FALSE(legend.isNull());
    // The bar runs from the low end at its left to the high end at its right.
    EXPECT_EQ(legend.pixel(10, 30) & 0xFFFFFFu, ViridisColour(0.0));
    EXPECT_EQ(legend.pixel(179, 30) & 0xFFFFFFu, ViridisColour(1.0));
    o.Blobs = false;
    EXPECT_TRUE(SurveyLegendImage(o, SchemeColours {}).isNull());
    o.Blobs = true;
    o.PlotTextLog = false;
    EXPECT_TRUE(SurveyLegendImage(o, SchemeColours {}).isNull());
}

TEST(SurveyLog, CopiedAndPrintedPicturesCarryTheLegend)
{
    ViewOptions o = PlotOptions();
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::black);
    // Top right, at the window's margin, at the screen's size and enlarged for a page.
    for (const int scale : { 1, 3 }) {
        SCOPED_TRACE(scale);
        QImage page(400 * scale, 300 * scale, QImage::Format_RGB32);
        page.fill(Qt::black);
        const QImage with = WithSurveyLegend(page, o, SchemeColours {}, scale);
        const int left = page.width() - 190 * scale - 8 * scale;
        EXPECT_EQ(with.pixel(left + 10 * scale, 8 * scale + 30 * scale) & 0xFFFFFFu, ViridisColour(0.0));
        EXPECT_EQ(with.pixel(left + 179 * scale + scale / 2, 8 * scale + 30 * scale) & 0xFFFFFFu, ViridisColour(1.0));
        EXPECT_EQ(with.pixel(5, page.height() - 5) & 0xFFFFFFu, 0u);
    }
    // Without blobs the picture is left as it is.
    o.Blobs = false;
    EXPECT_EQ(WithSurveyLegend(picture, o, SchemeColours {}), picture);
}

TEST(SurveyLog, RedrawStepReadsTheTextLogInUse)
{
    kvtest::TempDir dir;
    ProgramState state;
    state.folders.LogDir = dir.path();
    state.textLog.LogNameBase = "09-12-26";
    ASSERT_TRUE(WriteTextLinesAtomic(
        dir.file("09-12-26.txt"), { "Log Date : 09-12-26", "@f,@p:3,@s", "00001,5000.000,N,00100.000,W,10.00" }));
    Picture pic;
    RenderCanvas canvas(pic.image);
    const ViewOptions o = PlotOptions();
    DrawSurveyLogOf(canvas, TestProjection(), o, RenderRecords(state), SchemeColours {});
    EXPECT_EQ(pic.at(200, 150), ViridisColour(1.0));
    // Another log set in use, without a file: nothing is drawn.
    Picture empty;
    RenderCanvas c2(empty.image);
    state.textLog.LogNameBase = "10-12-26";
    DrawSurveyLogOf(c2, TestProjection(), o, RenderRecords(state), SchemeColours {});
    EXPECT_EQ(empty.count(kNavy, 0, 0, 399, 299), 400 * 300);
}

// The reader the views share follows the log through what happens to it during a survey day and
// always gives what reading the whole log gives.
TEST(SurveyLog, ReaderFollowingTheLogGivesWhatAWholeReadGives)
{
    kvtest::TempDir dir;
    const std::string path = dir.file("09-12-26.txt");
    const std::string header = "Log Date : 09-12-26\r\n@f,@p:3,@s\r\n";
    auto fix = [](int n, double speed) {
        char line[64];
        std::snprintf(line, sizeof line, "%05d,50%02d.000,N,00100.000,W,%.2f\r\n", n, n % 60, speed);
        return std::string(line);
    };
    auto append = [&](const std::string& bytes) { std::ofstream(path, std::ios::binary | std::ios::app) << bytes; };
    auto replace = [&](const std::string& bytes) {
        dir.write("new.txt", bytes);
        std::filesystem::rename(dir.file("new.txt"), path);
    };
    auto rewriteInPlace
        = [&](const std::string& bytes) { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; };
    const struct {
        const char* step;
        std::function<void()> change;
    } steps[] = {
        { "a new log", [&] { replace(header + fix(1, 1.0)); } },
        { "a fix appended", [&] { append(fix(2, 2.0)); } },
        { "an event and a pen-up line", [&] { append("*1 buoy\r\n" + fix(3, 3.0) + "# -b\r\n" + fix(4, 4.0)); } },
        { "a line cut after the first figure of its speed", [&] { append(fix(5, 5.5).substr(0, 30)); } },
        { "the rest of it", [&] { append(fix(5, 5.5).substr(30)); } },
        { "a line in three pieces, the event mark first", [&] { append("*"); } },
        { "... its end", [&] { append("2\r\n" + fix(6, 6.0).substr(0, 8)); } },
        { "... the fix", [&] { append(fix(6, 6.0).substr(8)); } },
        { "nothing changed", [] {} },
        { "replaced by a shorter log", [&] { replace(header + fix(9, 9.0)); } },
        { "written anew in place with another format",
            [&] {
                rewriteInPlace("Log Date : "
                               "09-12-26\r\n@f,@s,@p:3\r\n00001,7.00,5001.000,N,00100.000,W\r\n00002,8.00,5002.000,N,"
                               "00100.000,W\r\n");
            } },
        { "cut short in place", [&] { rewriteInPlace(header); } },
        { "grown again", [&] { append(fix(10, 1.0) + fix(11, 2.0)); } },
        { "forty fixes more",
            [&] {
                for (int n = 12; n < 52; ++n)
                    append(fix(n, n / 10.0));
            } },
        { "cut short in place, its first lines kept",
            [&] { std::filesystem::resize_file(path, header.size() + 30 * fix(1, 1.0).size()); } },
    };
    SurveyLogReader reader;
    EXPECT_EQ(reader.read(path, 'S', 0.0, 0.0), nullptr) << "no log yet";
    auto key = [](const std::vector<SurveyLogFix>& fixes) {
        std::vector<std::tuple<double, double, bool, bool, std::string>> k;
        k.reserve(fixes.size());
        for (const auto& f : fixes) {
            k.emplace_back(f.lat, f.lon, f.event, f.penUp, f.text);
        }
        return k;
    };
    for (const auto& s : steps) {
        s.change();
        const auto whole = ParseSurveyLog(*ReadTextLines(path), 'S', 0.01, 0.02);
        const auto* followed = reader.read(path, 'S', 0.01, 0.02);
        ASSERT_NE(followed, nullptr) << s.step;
        EXPECT_EQ(key(*followed), key(whole)) << s.step;
        // Another view plotting another field reads the same log on its own.
        const auto* other = reader.read(path, 'F', 0.01, 0.02);
        ASSERT_NE(other, nullptr) << s.step;
        EXPECT_EQ(key(*other), key(ParseSurveyLog(*ReadTextLines(path), 'F', 0.01, 0.02))) << s.step;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(reader.read(path, 'S', 0.01, 0.02), nullptr) << "the log went";
}
