#include "navigation/TrackLog.h"

#include "ais/AisTargets.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/Real48.h"
#include "core/TextFile.h"
#include "core/Units.h"
#include "navigation/NmeaBridge.h"

#include <cmath>
#include <cstdint>
#include <filesystem>

namespace kv {

std::string EncodeTrackLog(const QuickLog& log)
{
    std::string image(kTrackLogSize, '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(image.data());
    std::size_t offset = 0;
    for (const QuickLogRecord& r : log) {
        doubleToReal48(r.lat, out + offset);
        doubleToReal48(r.lon, out + offset + 6);
        doubleToReal48(r.minutes, out + offset + 12);
        offset += kTrackLogRecordSize;
    }
    doubleToReal48(static_cast<double>(log.count()), out + kTrackLogCountOffset);
    return image;
}

TrackLogImage DecodeTrackLog(std::string_view bytes)
{
    // Only the 14 blocks of the layout are read; anything after them is not part of the log.
    std::string image(kTrackLogSize, '\0');
    image.replace(0, std::min(bytes.size(), kTrackLogSize), bytes.substr(0, kTrackLogSize));
    const auto* in = reinterpret_cast<const std::uint8_t*>(image.data());

    TrackLogImage result;
    for (std::size_t k = 0; k < kQuickLogCapacity; ++k) {
        const std::uint8_t* record = in + k * kTrackLogRecordSize;
        result.records[k] = { real48ToDouble(record), real48ToDouble(record + 6), real48ToDouble(record + 12) };
    }
    const double count = real48ToDouble(in + kTrackLogCountOffset);
    if (std::isfinite(count) && count > -0.5 && count < kQuickLogCapacity + 0.5) {
        result.count = static_cast<std::size_t>(RoundHalfEven(count));
    }
    return result;
}

std::string DateText(const LocalDateTime& now)
{
    return ZeroFill(FormatInt(now.day, 2)) + "-" + ZeroFill(FormatInt(now.month, 2)) + "-"
        + ZeroFill(FormatInt(now.year % 100, 2));
}

std::string ComposeTextLogLine(TrackLogRecords state, const Clock& clock)
{
    return ExpandTextTemplate(TemplateRecordsOf(state), state.routeTexts, clock, state.settings.TextLogFormat);
}

std::string TrackLogs::TextLogPath() const
{
    // A log set opened as "TRIP.TXT" keeps writing to that file.
    const std::string name = state_.textLog.LogNameBase.str() + ".txt";
    return FindFileCaseInsensitive(state_.folders.LogDir.str(), name)
        .value_or(JoinPath(state_.folders.LogDir.str(), name));
}

std::string TrackLogs::TrackLogPath() const
{
    return JoinPath(state_.folders.LogDir.str(), state_.fixInfo.FixDateText.str() + ".log");
}

bool TrackLogs::WriteLogFile(const std::string& name)
{
    if (!WriteFileAtomic(name, EncodeTrackLog(state_.quickLog))) {
        platform_.prompter.error(kLogWriteError);
        return false;
    }
    return true;
}

bool TrackLogs::ReadLogFile(const std::string& name)
{
    const auto bytes = ReadWholeFile(name);
    if (!bytes) {
        platform_.prompter.error(kLogReadError);
        return false;
    }
    const TrackLogImage image = DecodeTrackLog(*bytes);
    if (!image.count) {
        platform_.prompter.error(kLogReadError);
        return false;
    }
    QuickLog& log = state_.quickLog;
    log.clear();
    for (std::size_t k = 0; k < *image.count; ++k) {
        log.push(image.records[k]);
    }
    state_.cycleState.LogEmpty = false;
    return true;
}

void TrackLogs::OpenTextLog()
{
    const std::string path = TextLogPath();
    const auto lines = ReadTextLines(path);
    if (!lines) {
        state_.textLog.TextLogFixCount = 0;
        // Something that is not a readable file stands at the log's name (a folder, a FIFO):
        // it is not replaced, and the lines of this log set cannot be kept.
        if (PathTaken(path)) {
            platform_.prompter.error(kTextLogWriteError);
            return;
        }
        if (!WriteTextLinesAtomic(
                path, { "Log Date : " + state_.textLog.LogNameBase.str(), state_.settings.TextLogFormat })) {
            platform_.prompter.error(kTextLogWriteError);
        }
        return;
    }
    if (lines->size() >= 2) {
        state_.textLog.TextLogFileFormat = (*lines)[1];
        state_.settings.TextLogFormat = state_.textLog.TextLogFileFormat;
    }
    // Header lines, event numbers ("*3"), pen-up marks ("# -b") and empty lines are not fixes.
    std::uint16_t fixes = 0;
    for (std::size_t i = 2; i < lines->size(); ++i) {
        const std::string& line = (*lines)[i];
        if (!line.empty() && line[0] != '*' && line.rfind("# -b", 0) != 0) {
            ++fixes;
        }
    }
    state_.textLog.TextLogFixCount = fixes;
}

std::string DamagedLogName(const std::string& path, int n)
{
    return FolderOf(path) + NameWithoutExtension(path) + ".damaged-" + std::to_string(n) + ".log";
}

void TrackLogs::KeepDamagedTrackLog(const std::string& path)
{
    const auto kept = MoveAside(path, [&](int n) { return DamagedLogName(path, n + 1); });
    if (kept) {
        state_.display.StatusLine = kDamagedLogKept + NameWithoutExtension(*kept) + ExtensionOf(*kept);
    } else {
        // It stays where it is; the next fix's rewrite of the day's log may then replace it.
        state_.display.StatusLine = kDamagedLogNotKept + path;
    }
}

void TrackLogs::OpenDayLogs()
{
    const std::string day = DateText(platform_.clock.now());
    state_.fixInfo.FixDateText = day;
    state_.textLog.LogNameBase = day;
    // A fresh working folder has no log folder yet; without it no log could be kept at all.
    std::error_code ignored;
    std::filesystem::create_directories(NormalizeSeparators(state_.folders.LogDir.str()), ignored);

    const std::string trackPath = JoinPath(state_.folders.LogDir.str(), day + ".log");
    if (PathTaken(trackPath)) {
        // The first fix rewrites today's track log whole. A file that could not be read, or that
        // is not a whole image, would lose its records then: it is kept under another name.
        const bool whole = FileSize(trackPath) == kTrackLogSize && FileExists(trackPath);
        const bool read = ReadLogFile(trackPath);
        if (!read || !whole) {
            KeepDamagedTrackLog(trackPath);
        }
    } else {
        // No track for the day: the first fix dates it.
        state_.fixInfo.FixDateText.clear();
    }

    OpenTextLog();

    OpenAisLog();

    // The vessel database lies in the working folder; a missing one starts empty.
    OpenAisDatabase(state_.ais, state_.folders);
}

void TrackLogs::OpenAisLog()
{
    const std::string base = state_.textLog.LogNameBase.str();
    const std::string path = JoinPath(state_.folders.LogDir.str(), base + ".AIS");
    if (!PathTaken(path)) {
        WriteTextLinesAtomic(path, { "AIS Log Date : " + base });
    }
    state_.ais.AisLogPath = path;
}

void TrackLogs::WriteTextLogLine(bool manual)
{
    if (!state_.settings.fix.KeepTextLog) {
        return;
    }
    const std::uint16_t fixCount = state_.textLog.TextLogFixCount;
    const std::uint16_t eventNumber = state_.textLog.EventNumber;
    std::string text;
    if (state_.sentenceFix.EventSentence && state_.app.PenUp) {
        text += "# -b\r\n";
    }
    state_.textLog.TextLogFixCount = static_cast<std::uint16_t>(state_.textLog.TextLogFixCount + 1);
    if (manual) {
        state_.textLog.EventNumber = static_cast<std::uint16_t>(state_.textLog.EventNumber + 1);
        text += "*" + std::to_string(state_.textLog.EventNumber) + "\r\n";
    }
    text += ComposeTextLogLine(state_, platform_.clock) + "\r\n";
    if (!AppendLinesToFile(TextLogPath(), text)) {
        // Nothing reached the file: the numbers stay as the file has them.
        state_.textLog.TextLogFixCount = fixCount;
        state_.textLog.EventNumber = eventNumber;
        platform_.prompter.error(kTextLogWriteError);
    }
}

void TrackLogs::Logs1Click(const std::string& chosenFile)
{
    const std::string extension = ToUpperAscii(ExtensionOf(chosenFile));
    if (extension != ".LOG" && extension != ".TXT") {
        return;
    }
    // A track log that cannot be read says so and keeps the quick log; the text and AIS logs
    // still switch to the chosen set.
    if (extension == ".LOG") {
        ReadLogFile(chosenFile);
    }
    state_.textLog.LogNameBase = NameWithoutExtension(chosenFile);
    std::string folder = FolderOf(chosenFile);
    if (folder.empty()) {
        folder = state_.folders.LogDir.str();
    }
    state_.folders.LogDir = folder;
    state_.app.LogDialogDir = state_.folders.LogDir.str();
    OpenTextLog();
    OpenAisLog();
}

void TrackLogs::SaveLogAs1Click(const std::string& chosenFile)
{
    if (!chosenFile.empty()) {
        WriteLogFile(chosenFile);
    }
}

void TrackLogs::Log1Click()
{
    if (!platform_.prompter.confirm(kPurgeLogQuestion)) {
        return;
    }
    PurgeQuickLog();
}

void TrackLogs::PurgeQuickLog()
{
    state_.quickLog.clear();
    RestartTrack(state_.cycleState, state_.motion);
    state_.display.Trip = "0.00 Nm";
}

void TrackLogs::ViewTextLog1Click()
{
    const std::string& viewer = state_.settings.TextLogViewerPath;
    // Without a chosen viewer the desktop's handler for text files opens the log.
    const std::string program = viewer.empty() ? std::string("xdg-open") : viewer;
    if (!platform_.launcher.launch(program, { TextLogPath() })) {
        platform_.prompter.error(kApplicationNotAvailable);
    }
}

void TrackLogs::TxtLogOnOffClick(bool pressed)
{
    state_.settings.fix.KeepTextLog = !pressed;
    state_.display.checked[Control::TxtLogOnOff] = pressed;
    state_.display.hints[Control::TxtLogOnOff] = pressed ? kTextLogReleaseHint : kTextLogPressHint;
}

} // namespace kv
