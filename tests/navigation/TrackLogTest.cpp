#include "navigation/TrackLog.h"
#include "app/ProgramState.h"

#include "core/Paths.h"
#include "core/Real48.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <sys/stat.h>

using namespace kv;

namespace {

struct LogFixture {
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    TrackLogs logs { state, fakes.platform };

    LogFixture()
    {
        state.folders.LogDir = dir.path() + "/logs/";
        state.folders.AppDir = dir.path() + "/";
        fakes.clock.time = { 2026, 3, 7, 9, 30, 0, 0 };
    }
    std::string log(const std::string& name) const { return dir.read("logs/" + name); }
};

} // namespace

TEST(TrackLogImage, LayoutOfEmptyAndFullLogs)
{
    QuickLog empty;
    const std::string image = EncodeTrackLog(empty);
    ASSERT_EQ(image.size(), 1792u);
    EXPECT_EQ(image.substr(1764, 6), std::string(6, '\0')); // count 0 is six zero bytes

    QuickLog log;
    log.push({ 50.5, -1.25, 600.0 });
    log.push({ -10.0, 179.5, 1439.75 });
    const std::string two = EncodeTrackLog(log);
    ASSERT_EQ(two.size(), 1792u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(two.data());
    EXPECT_EQ(real48ToDouble(bytes + 18), -10.0);
    EXPECT_EQ(real48ToDouble(bytes + 18 + 6), 179.5);
    EXPECT_EQ(real48ToDouble(bytes + 18 + 12), 1439.75);
    EXPECT_EQ(real48ToDouble(bytes + 1764), 2.0);

    const TrackLogImage back = DecodeTrackLog(two);
    ASSERT_TRUE(back.count.has_value());
    EXPECT_EQ(*back.count, 2u);
    EXPECT_EQ(back.records[0], (QuickLogRecord { 50.5, -1.25, 600.0 }));
}

TEST(TrackLogImage, ShortLongAndCorruptImages)
{
    QuickLog log;
    log.push({ 1.0, 2.0, 3.0 });
    std::string image = EncodeTrackLog(log);

    // Short: read as far as it goes; a file ending before the count has count 0.
    const TrackLogImage shortImage = DecodeTrackLog(std::string_view(image).substr(0, 100));
    ASSERT_TRUE(shortImage.count.has_value());
    EXPECT_EQ(*shortImage.count, 0u);
    EXPECT_EQ(shortImage.records[0].lat, 1.0);
    EXPECT_EQ(DecodeTrackLog(std::string_view(image).substr(0, 1764)).count.value(), 0u); // no count bytes
    // Long: the extra bytes are not read.
    EXPECT_EQ(DecodeTrackLog(image + std::string(500, '\x7f')).count.value(), 1u);

    // Counts that no log can hold.
    for (double bad : { 99.0, 1000.0, -1.0, 1e30 }) {
        doubleToReal48(bad, reinterpret_cast<std::uint8_t*>(image.data()) + 1764);
        EXPECT_FALSE(DecodeTrackLog(image).count.has_value()) << bad;
    }
    doubleToReal48(97.6, reinterpret_cast<std::uint8_t*>(image.data()) + 1764);
    EXPECT_EQ(DecodeTrackLog(image).count.value(), 98u); // rounded
    // Garbage with the largest exponent: never a count.
    for (std::size_t i = 1764; i < 1770; ++i) {
        image[i] = '\xff';
    }
    EXPECT_FALSE(DecodeTrackLog(image).count.has_value());
}

TEST(TrackLogFiles, WriteReadAndFailures)
{
    LogFixture f;
    std::filesystem::create_directories(f.dir.file("logs"));
    f.state.quickLog.push({ 50.0, 1.0, 10.0 });
    f.state.quickLog.push({ 50.125, 1.125, 20.0 });
    const std::string path = f.dir.file("logs/a.log");
    ASSERT_TRUE(f.logs.WriteLogFile(path));
    EXPECT_EQ(f.dir.read("logs/a.log").size(), 1792u);

    ProgramState other;
    FakePlatform fakes;
    TrackLogs reader(other, fakes.platform);
    other.quickLog.push({ 1.0, 1.0, 1.0 });
    ASSERT_TRUE(reader.ReadLogFile(path));
    EXPECT_EQ(other.quickLog.count(), 2u);
    EXPECT_EQ(other.quickLog.at(2), (QuickLogRecord { 50.125, 1.125, 20.0 }));
    EXPECT_FALSE(other.cycleState.LogEmpty);

    // Missing and corrupt files: the message, and the quick log as it was.
    EXPECT_FALSE(reader.ReadLogFile(f.dir.file("logs/none.log")));
    f.dir.write("logs/bad.log", std::string(1764, '\0') + "\xff\xff\xff\xff\xff\xff");
    EXPECT_FALSE(reader.ReadLogFile(f.dir.file("logs/bad.log")));
    EXPECT_EQ(fakes.prompter.texts(), (std::vector<std::string> { kLogReadError, kLogReadError }));
    EXPECT_EQ(other.quickLog.count(), 2u);

    // An unwritable target: the message, and the old file intact.
    std::filesystem::create_directory(f.dir.file("logs/dir.log"));
    EXPECT_FALSE(f.logs.WriteLogFile(f.dir.file("logs/dir.log")));
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs(kLogWriteError));
    f.state.quickLog.clear();
    f.logs.SaveLogAs1Click(f.dir.file("nofolder/x.log"));
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs(kLogWriteError));
    EXPECT_EQ(f.dir.read("logs/a.log").substr(1764, 6), EncodeTrackLog(other.quickLog).substr(1764, 6));
}

TEST(DayLogs, CreateThenRestartSameDayAndNextDay)
{
    LogFixture f;
    f.state.settings.TextLogFormat = "@f,@t";
    f.logs.OpenDayLogs();
    EXPECT_EQ(f.state.textLog.LogNameBase, "07-03-26");
    // No track log yet: no fix has dated one (the first fix names it).
    EXPECT_EQ(f.state.fixInfo.FixDateText, "");
    EXPECT_EQ(f.log("07-03-26.txt"), "Log Date : 07-03-26\r\n@f,@t\r\n");
    EXPECT_EQ(f.log("07-03-26.AIS"), "AIS Log Date : 07-03-26\r\n");
    EXPECT_TRUE(f.state.quickLog.empty());

    // A day's track and text log exist: the restart continues them.
    for (int i = 0; i < 5; ++i) {
        f.state.quickLog.push({ 50.0 + i, 1.0, 600.0 + i });
    }
    f.state.fixInfo.FixDateText = "07-03-26";
    ASSERT_TRUE(f.logs.WriteLogFile(f.logs.TrackLogPath()));
    f.dir.write("logs/07-03-26.txt", "Log Date : 07-03-26\r\n@t,@p\r\n*1\r\n\r\n00001,x\r\n# -b\r\n00002,y\r\n");

    ProgramState again;
    again.folders.LogDir = f.state.folders.LogDir;
    TrackLogs restart(again, f.fakes.platform);
    restart.OpenDayLogs();
    EXPECT_EQ(again.quickLog.count(), 5u);
    EXPECT_EQ(again.fixInfo.FixDateText, "07-03-26");
    EXPECT_EQ(again.textLog.TextLogFixCount, 2);
    EXPECT_EQ(again.settings.TextLogFormat, "@t,@p"); // a day's file keeps one format

    // Next day: a new, empty track.
    f.fakes.clock.time.day = 8;
    ProgramState next;
    next.folders.LogDir = f.state.folders.LogDir;
    TrackLogs nextDay(next, f.fakes.platform);
    nextDay.OpenDayLogs();
    EXPECT_TRUE(next.quickLog.empty());
    EXPECT_TRUE(std::filesystem::exists(f.dir.file("logs/08-03-26.txt")));
}

TEST(DayLogs, TextLogWithoutHeaderAndUnwritableFolder)
{
    LogFixture f;
    std::filesystem::create_directories(f.dir.file("logs"));
    f.dir.write("logs/07-03-26.txt", "");
    f.state.settings.TextLogFormat = "@t";
    f.logs.OpenDayLogs();
    EXPECT_EQ(f.state.textLog.TextLogFixCount, 0);
    EXPECT_EQ(f.state.settings.TextLogFormat, "@t");

    LogFixture g;
    g.state.folders.LogDir = g.dir.path() + "/file-not-folder/";
    g.dir.write("file-not-folder", "x");
    g.logs.OpenDayLogs();
    EXPECT_TRUE(g.fakes.prompter.lastMessageIs(kTextLogWriteError));
    g.state.settings.fix.KeepTextLog = true;
    g.logs.WriteTextLogLine(true);
    EXPECT_EQ(g.state.textLog.TextLogFixCount, 0); // nothing written, nothing counted
    EXPECT_EQ(g.state.textLog.EventNumber, 0);
}

TEST(TextLog, EventLinesPenUpAndSwitch)
{
    LogFixture f;
    f.logs.OpenDayLogs();
    f.state.settings.fix.KeepTextLog = true;
    f.logs.WriteTextLogLine(false);
    f.logs.WriteTextLogLine(true);
    f.state.sentenceFix.EventSentence = true;
    f.state.app.PenUp = true;
    f.logs.WriteTextLogLine(true);
    EXPECT_EQ(f.state.textLog.TextLogFixCount, 3);
    EXPECT_EQ(f.state.textLog.EventNumber, 2);
    const std::string text = f.log("07-03-26.txt");
    EXPECT_NE(text.find("\r\n*1\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n# -b\r\n*2\r\n"), std::string::npos);

    f.logs.TxtLogOnOffClick(true);
    EXPECT_FALSE(f.state.settings.fix.KeepTextLog);
    EXPECT_EQ(f.state.display.hint(Control::TxtLogOnOff), "Release for Text Logs On|");
    f.logs.WriteTextLogLine(false);
    EXPECT_EQ(f.log("07-03-26.txt"), text);
    f.logs.TxtLogOnOffClick(false);
    EXPECT_EQ(f.state.display.hint(Control::TxtLogOnOff), "Press for Text Logs Off|");
}

// Opening a log set: whether or not its track log can be read, the text and AIS logs switch to
// it and the log dialog starts in its folder next time.
TEST(LogCommands, OpeningALogSwitchesTheSetAndTheDialogFolder)
{
    struct Case {
        const char* file;
        std::string bytes;
        std::size_t records; // in the quick log afterwards (one before)
        bool message; // "Error reading Log File!"
    };
    QuickLog three;
    for (int i = 0; i < 3; ++i) {
        three.push({ 10.0 + i, 0.0, 0.0 });
    }
    for (const Case& c : { Case { "trip/Good.log", EncodeTrackLog(three), 3, false },
             Case { "trip/Bad.LOG", std::string(1792, '\xff'), 1, true },
             Case { "trip/Notes.txt", "Log Date : Notes\r\n@q\r\nA\r\n", 1, false } }) {
        LogFixture f;
        f.logs.OpenDayLogs();
        f.state.quickLog.push({ 1.0, 2.0, 3.0 });
        f.dir.write(c.file, c.bytes);
        f.logs.Logs1Click(f.dir.file(c.file));
        const std::string base = NameWithoutExtension(c.file);
        EXPECT_EQ(f.state.quickLog.count(), c.records) << c.file;
        EXPECT_EQ(f.fakes.prompter.lastMessageIs(kLogReadError), c.message) << c.file;
        EXPECT_EQ(f.state.textLog.LogNameBase, base) << c.file;
        EXPECT_EQ(f.state.app.LogDialogDir, f.dir.path() + "/trip/") << c.file;
        EXPECT_EQ(f.state.ais.AisLogPath, f.dir.file("trip/" + base + ".AIS")) << c.file;
        EXPECT_TRUE(std::filesystem::exists(f.dir.file("trip/" + base + ".AIS"))) << c.file;
    }
}

TEST(LogCommands, OpenAnotherSetPurgeAndViewer)
{
    LogFixture f;
    f.logs.OpenDayLogs();
    f.state.quickLog.push({ 1.0, 2.0, 3.0 });
    // Upper-case ".TXT": names switch, the track stays.
    f.dir.write("old/TRIP.TXT", "Log Date : TRIP\r\n@q\r\nA\r\nB\r\n");
    f.logs.Logs1Click(f.dir.file("old/TRIP.TXT"));
    EXPECT_EQ(f.state.textLog.LogNameBase, "TRIP");
    EXPECT_EQ(f.state.folders.LogDir, f.dir.path() + "/old/");
    EXPECT_EQ(f.state.textLog.TextLogFixCount, 2);
    EXPECT_EQ(f.state.quickLog.count(), 1u);
    f.state.settings.fix.KeepTextLog = true;
    f.logs.WriteTextLogLine(false); // appended to the file that was opened, whatever its case
    EXPECT_GT(f.dir.read("old/TRIP.TXT").size(), 28u);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("old/TRIP.txt")));
    EXPECT_EQ(f.state.textLog.TextLogFixCount, 3);

    // ".Log": the track is replaced; a missing text log beside it is created.
    QuickLog three;
    for (int i = 0; i < 3; ++i) {
        three.push({ 10.0 + i, 0.0, 0.0 });
    }
    f.dir.write("other/Day.Log", EncodeTrackLog(three));
    f.logs.Logs1Click(f.dir.file("other/Day.Log"));
    EXPECT_EQ(f.state.quickLog.count(), 3u);
    EXPECT_EQ(f.dir.read("other/Day.txt").substr(0, 18), "Log Date : Day\r\n@q");

    // Purge asks, and leaves the files alone.
    f.state.motion.TripDistance = 5.0;
    f.fakes.prompter.answer({ false, true });
    f.logs.Log1Click();
    EXPECT_EQ(f.state.quickLog.count(), 3u);
    f.logs.Log1Click();
    EXPECT_TRUE(f.state.quickLog.empty());
    EXPECT_TRUE(f.state.cycleState.LogEmpty);
    EXPECT_EQ(f.state.motion.TripDistance, 0.0);
    EXPECT_EQ(f.state.display.Trip, "0.00 Nm");
    EXPECT_EQ(f.dir.read("other/Day.Log").size(), 1792u);
    EXPECT_EQ(f.fakes.prompter.messages[0].text, kPurgeLogQuestion);

    // Viewer: the chosen program with the file, and the message when it does not start.
    f.state.settings.TextLogViewerPath = "/usr/bin/myviewer";
    f.logs.ViewTextLog1Click();
    ASSERT_EQ(f.fakes.launcher.launches.size(), 1u);
    EXPECT_EQ(f.fakes.launcher.launches[0].program, "/usr/bin/myviewer");
    EXPECT_EQ(f.fakes.launcher.launches[0].arguments, (std::vector<std::string> { f.dir.path() + "/other/Day.txt" }));
    f.fakes.launcher.succeed = false;
    f.logs.ViewTextLog1Click();
    EXPECT_TRUE(f.fakes.prompter.lastMessageIs(kApplicationNotAvailable));
}

TEST(DayLogs, TodaysTrackLogThatCannotBeContinuedIsKeptAside)
{
    QuickLog three;
    for (int i = 0; i < 3; ++i) {
        three.push({ 50.0 + i, 1.0, 600.0 + i });
    }
    std::string badCount = EncodeTrackLog(three);
    std::fill(badCount.begin() + 1764, badCount.begin() + 1770, '\xff');
    const struct {
        const char* what;
        std::string bytes; // empty: a folder stands at the name
        std::size_t recordsLoaded;
        bool message; // "Error reading Log File!"
    } cases[] = {
        { "cut short after two records", EncodeTrackLog(three).substr(0, 40), 0, false },
        { "cut short before the reserved bytes", EncodeTrackLog(three).substr(0, 1780), 3, false },
        { "a count no log holds", badCount, 0, true },
        { "a folder", "", 0, true },
    };
    for (const auto& c : cases) {
        LogFixture f;
        f.dir.write("logs/07-03-26.damaged-1.log", "an earlier one");
        if (c.bytes.empty()) {
            std::filesystem::create_directories(f.dir.file("logs/07-03-26.log/inner"));
        } else {
            f.dir.write("logs/07-03-26.log", c.bytes);
        }
        f.logs.OpenDayLogs();
        EXPECT_EQ(f.state.quickLog.count(), c.recordsLoaded) << c.what;
        EXPECT_EQ(f.fakes.prompter.lastMessageIs(kLogReadError), c.message) << c.what;
        EXPECT_EQ(f.state.display.StatusLine, "Damaged track log kept as 07-03-26.damaged-2.log") << c.what;
        EXPECT_EQ(f.log("07-03-26.damaged-1.log"), "an earlier one") << c.what;
        if (c.bytes.empty()) {
            EXPECT_TRUE(std::filesystem::is_directory(f.dir.file("logs/07-03-26.damaged-2.log/inner"))) << c.what;
        } else {
            EXPECT_EQ(f.log("07-03-26.damaged-2.log"), c.bytes) << c.what;
        }
        // The first fix starts the day's log afresh; the damaged one stays.
        EXPECT_EQ(f.state.fixInfo.FixDateText, "07-03-26") << c.what;
        ASSERT_TRUE(f.logs.WriteLogFile(f.logs.TrackLogPath())) << c.what;
        EXPECT_EQ(f.log("07-03-26.log").size(), kTrackLogSize) << c.what;
        EXPECT_TRUE(std::filesystem::exists(f.dir.file("logs/07-03-26.damaged-2.log"))) << c.what;
    }

    // A whole, readable log is continued in place.
    LogFixture g;
    g.dir.write("logs/07-03-26.log", EncodeTrackLog(three));
    g.logs.OpenDayLogs();
    EXPECT_EQ(g.state.quickLog.count(), 3u);
    EXPECT_TRUE(g.state.display.StatusLine.empty());
    EXPECT_FALSE(std::filesystem::exists(g.dir.file("logs/07-03-26.damaged-1.log")));
}

TEST(DayLogs, FifoOrFolderInPlaceOfTheTextAndAisLogsIsReportedNotReplaced)
{
    for (const bool fifo : { true, false }) {
        LogFixture f;
        std::filesystem::create_directories(f.dir.file("logs"));
        for (const char* name : { "logs/07-03-26.txt", "logs/07-03-26.AIS" }) {
            if (fifo) {
                ASSERT_EQ(::mkfifo(f.dir.file(name).c_str(), 0600), 0);
            } else {
                std::filesystem::create_directory(f.dir.file(name));
            }
        }
        f.logs.OpenDayLogs(); // returns: nothing waits for a writer
        EXPECT_TRUE(f.fakes.prompter.lastMessageIs(kTextLogWriteError)) << fifo;
        f.state.settings.fix.KeepTextLog = true;
        f.logs.WriteTextLogLine(false);
        EXPECT_EQ(f.state.textLog.TextLogFixCount, 0) << fifo;
        for (const char* name : { "logs/07-03-26.txt", "logs/07-03-26.AIS" }) {
            EXPECT_EQ(std::filesystem::is_fifo(f.dir.file(name)), fifo) << name;
            EXPECT_EQ(std::filesystem::is_directory(f.dir.file(name)), !fifo) << name;
        }
    }
}

TEST(DayLogs, VesselDatabaseLivesInTheWorkingFolderOnly)
{
    LogFixture f;
    f.logs.OpenDayLogs();
    EXPECT_TRUE(FileExists(f.dir.file("KVAIS.ADB")));

    // Without a working folder no database is made, least of all in the current folder.
    kvtest::TempDir elsewhere;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.path());
    ProgramState state;
    state.folders.LogDir = elsewhere.path() + "/logs/";
    FakePlatform fakes;
    TrackLogs logs(state, fakes.platform);
    logs.OpenDayLogs();
    std::filesystem::current_path(before);
    EXPECT_FALSE(PathTaken(elsewhere.file("KVAIS.ADB")));
    EXPECT_EQ(state.ais.AISDatabaseCount, 0);
}
