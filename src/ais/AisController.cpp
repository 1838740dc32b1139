#include "ais/AisController.h"

#include "core/Units.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisSmallCraftTargets.h"
#include "ais/AisTargets.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "core/TextLogState.h"
#include "nmea/NmeaParse.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kv {

namespace {

constexpr const char* kPlayHint = "Playback an AIS Log|";
constexpr const char* kStopHint = "Stop Playing the AIS Log|";

bool IsAivdm(std::string_view line)
{
    return line.substr(0, 6) == "!AIVDM";
}

} // namespace

AisController::AisController(AisControllerRecords state, Platform& platform)
    : state_(state)
    , platform_(platform)
{
    Display& d = state_.display;
    d.checked[Control::UpdateAISDatabase] = state_.ais.UpdateAISDatabase;
    d.checked[Control::SearchAISDatabase] = state_.ais.SearchAISDatabase;
    d.checked[Control::AISMonitor] = state_.ais.AISMonitor;
    d.hints[Control::PlayAISlog] = kPlayHint;
    SetAISAgeChoice(state_.ais, d, state_.ais.AgeChoice);
    d.AISPlayTimer.intervalMs = PlaybackIntervalMs(state_.ais.PBspeed);
}

void AisController::ProcessAISSentence(std::string_view sentence)
{
    if (!state_.prefs.ProcAis) {
        return;
    }
    state_.nmeaLink.LastAisSentence.assign(sentence);
    LogAISSentence(sentence);
    DecodeAndUpdate(sentence);
}

void AisController::DecodeAndUpdate(std::string_view sentence)
{
    if (state_.ais.assembler.ProcessAISSentence(sentence) && state_.extra.ClassBAndAtoNTargets) {
        SmallCraftToCurrent(state_.ais, state_.ais.SmallCraftCounts);
    }
    UpdateAISTargets(state_, platform_);
    WatchCollisions(state_, platform_);
}

void AisController::ProcAisClick()
{
    if (!state_.nmeaLink.NmeaOpen) {
        platform_.prompter.warning("Open NMEA interface first!");
        return;
    }
    state_.prefs.ProcAis = !state_.prefs.ProcAis;
}

void AisController::LogAISSentence(std::string_view a)
{
    AisState& ais = state_.ais;
    if (state_.prefs.ShowNMEA) {
        state_.display.StatusLine.assign(a);
    }
    if (ais.AisLogPath.empty()) {
        return; // no day's log is open
    }
    const std::string& p = state_.nmeaLink.LastPositionSentence;
    const std::string_view time = NmeaFieldView(p, 1);
    // Both lines go out in one write so a log never holds half of what was decided here.
    std::string lines;
    const bool newSentence = a != ais.LastLoggedAIS;
    const bool newTime = time != ais.LastLoggedTime;
    if (newSentence) {
        lines.append(a);
        lines += "\r\n";
    }
    if (newTime) {
        lines += p;
        lines += "\r\n";
    }
    if (lines.empty()) {
        return;
    }
    logBatch_ += lines;
    if (newSentence) {
        ais.LastLoggedAIS.assign(a);
    }
    if (newTime) {
        ais.LastLoggedTime.assign(time);
    }
    if (batchDepth_ == 0) {
        flushLog();
    }
}

void AisController::BeginBatch()
{
    ++batchDepth_;
}

void AisController::EndBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0) {
        flushLog();
    }
}

void AisController::InterfaceClosed()
{
    flushLog();
    closeLog();
}

AisController::~AisController()
{
    closeLog();
}

bool AisController::openLog(std::string& lines)
{
    const std::string& path = state_.ais.AisLogPath;
    if (logFd_ >= 0 && logFdPath_ == path) {
        return true;
    }
    closeLog();
    const int fd = OpenForAppend(path, O_RDWR);
    struct stat st { };
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    // A log whose last line was cut short (a crash, a full disk) gets its line end first, so
    // that the next sentence starts a line of its own.
    char last = '\n';
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') {
        lines.insert(0, "\r\n");
    }
    logFd_ = fd;
    logFdPath_ = path;
    logSize_ = st.st_size;
    // A new day's log starts with room again.
    state_.ais.AisLogNote.clear();
    return true;
}

void AisController::closeLog()
{
    if (logFd_ >= 0) {
        ::close(logFd_);
    }
    logFd_ = -1;
    logFdPath_.clear();
}

void AisController::pauseLogging(const std::string& note)
{
    state_.ais.AisLogNote = note;
    if (state_.display.StatusLine != note) {
        state_.display.StatusLine = note;
    }
}

void AisController::flushLog()
{
    if (logBatch_.empty()) {
        return;
    }
    std::string lines;
    lines.swap(logBatch_);
    AisState& ais = state_.ais;
    // A log that cannot be written loses these lines; the memory of what was written is
    // forgotten, so the next sentence tries again.
    auto lost = [&ais] {
        ais.LastLoggedAIS.clear();
        ais.LastLoggedTime.clear();
    };
    if (ais.AisLogPath.empty() || !openLog(lines)) {
        lost();
        return;
    }
    if (!ais.AisLogNote.empty() && logSize_ >= static_cast<long long>(state_.extra.AisMaxLogMB) * 1048576) {
        pauseLogging(ais.AisLogNote);
        return;
    }
    // The track logs and the settings must still find room on the disk.
    struct statvfs disk { };
    const long long floor = static_cast<long long>(state_.extra.AisMinFreeMB) * 1048576;
    if (::fstatvfs(logFd_, &disk) == 0
        && static_cast<long long>(disk.f_bavail) * static_cast<long long>(disk.f_frsize)
            < floor + static_cast<long long>(lines.size())) {
        pauseLogging(
            "Less than " + std::to_string(state_.extra.AisMinFreeMB) + " MB free for the logs: AIS logging paused");
        return;
    }
    const long long limit = static_cast<long long>(state_.extra.AisMaxLogMB) * 1048576;
    std::string_view out = lines;
    std::string note;
    if (logSize_ + static_cast<long long>(out.size()) > limit) {
        // Whole lines up to the limit, then no more for the day.
        const long long room = std::max(0LL, limit - logSize_);
        const auto end = room > 0 ? out.substr(0, static_cast<std::size_t>(room)).rfind('\n') : std::string_view::npos;
        out = end == std::string_view::npos ? std::string_view() : out.substr(0, end + 1);
        note = "AIS log of the day reached " + std::to_string(state_.extra.AisMaxLogMB) + " MB: AIS logging paused";
    } else if (!ais.AisLogNote.empty()) {
        // Room again on the disk.
        if (state_.display.StatusLine == ais.AisLogNote) {
            state_.display.StatusLine.clear();
        }
        ais.AisLogNote.clear();
    }
    while (!out.empty()) {
        const ssize_t n = ::write(logFd_, out.data(), out.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            closeLog();
            lost();
            return;
        }
        logSize_ += n;
        out.remove_prefix(static_cast<std::size_t>(n));
    }
    if (!note.empty()) {
        pauseLogging(note);
    }
}

unsigned AisController::PlaybackIntervalMs(int speed)
{
    speed = std::clamp(speed, 1, 50);
    return static_cast<unsigned>(RoundHalfEven(5000.0 / speed));
}

void AisController::SetPlaybackSpeed(int speed)
{
    state_.ais.PBspeed = std::clamp(speed, 1, 50);
    state_.display.AISPlayTimer.intervalMs = PlaybackIntervalMs(state_.ais.PBspeed);
}

void AisController::showGpsUnknown()
{
    state_.display.GPSIndicatorText = "GPS ?";
    state_.display.GPSIndicatorColour = "silver";
}

void AisController::purge(bool asking)
{
    if (asking && purgeQuickLogAsking) {
        purgeQuickLogAsking();
    } else if (purgeQuickLog) {
        purgeQuickLog();
    } else {
        state_.quickLog.clear();
        RestartTrack(state_.cycleState, state_.motion);
        state_.display.Trip = "0.00 Nm";
    }
}

void AisController::PlayAISlogClick(const std::function<std::optional<std::string>()>& chooseFile)
{
    Display& d = state_.display;
    if (state_.aisPlayback.AISPlayback) {
        d.AISPlayTimer.enabled = false;
        if (platform_.prompter.okCancelCaptioned("Confirm", "Playback Paused - Stop playing current AIS log file ?")) {
            state_.aisPlayback.AISPlayback = false;
            state_.ais.PlayLines.clear();
            state_.ais.PlayNext = 0;
            d.enabled[Control::NMEAServerOnOff] = true;
            d.hints[Control::PlayAISlog] = kPlayHint;
            restoreSwitchesAfterPlayback();
            showGpsUnknown();
        } else {
            d.AISPlayTimer.enabled = true;
        }
        return;
    }
    const std::optional<std::string> path = chooseFile ? chooseFile() : std::nullopt;
    if (!path) {
        return;
    }
    state_.ais.AISMonitor = false;
    d.checked[Control::AISMonitor] = false;
    state_.ais.UseGpsTimeBeforePlayback = state_.prefs.fix.UseGpsTime;
    state_.ais.TextLogStoppedByPlayback = false;
    state_.prefs.fix.UseGpsTime = true;
    EmptyTargetTable(state_.ais);
    purge(false);
    d.Trip = "0.00 Nm";
    if (redrawViews) {
        redrawViews();
    }
    startPlayback(*path);
    if (!state_.aisPlayback.AISPlayback) {
        restoreSwitchesAfterPlayback();
    }
}

void AisController::restoreSwitchesAfterPlayback()
{
    state_.prefs.fix.UseGpsTime = state_.ais.UseGpsTimeBeforePlayback;
    if (state_.ais.TextLogStoppedByPlayback) {
        state_.ais.TextLogStoppedByPlayback = false;
        state_.settings.fix.KeepTextLog = true;
        state_.display.checked[Control::TxtLogOnOff] = false;
        state_.display.hints[Control::TxtLogOnOff] = kTextLogPressHint;
    }
}

void AisController::StopPlayback()
{
    if (state_.aisPlayback.AISPlayback) {
        endPlayback();
    }
}

void AisController::startPlayback(const std::string& path)
{
    auto lines = ReadTextLines(path);
    if (!lines) {
        return;
    }
    Display& d = state_.display;
    AisState& ais = state_.ais;
    ais.PlayFileName = path;
    ais.PlayLines = std::move(*lines);
    ais.PlayNext = 0;
    state_.aisPlayback.AISPlayback = true;
    d.AISPlayTimer.intervalMs = PlaybackIntervalMs(ais.PBspeed);
    d.AISPlayTimer.enabled = true;
    d.enabled[Control::NMEAServerOnOff] = false;
    d.hints[Control::PlayAISlog] = kStopHint;
    if (state_.settings.fix.KeepTextLog) {
        // No text log is written from a playback: the text-log button goes down.
        state_.settings.fix.KeepTextLog = false;
        state_.ais.TextLogStoppedByPlayback = true;
        d.checked[Control::TxtLogOnOff] = true;
        d.hints[Control::TxtLogOnOff] = kTextLogReleaseHint;
    }
}

void AisController::endPlayback()
{
    Display& d = state_.display;
    d.AISPlayTimer.enabled = false;
    d.enabled[Control::NMEAServerOnOff] = true;
    d.hints[Control::PlayAISlog] = kPlayHint;
    state_.ais.PlayLines.clear();
    state_.ais.PlayNext = 0;
    state_.aisPlayback.AISPlayback = false;
    restoreSwitchesAfterPlayback();
    showGpsUnknown();
}

void AisController::AISplayTimeTimer()
{
    AisState& ais = state_.ais;
    if (!state_.aisPlayback.AISPlayback || ais.PlayNext >= ais.PlayLines.size()) {
        endPlayback();
        return;
    }
    const std::string line = ais.PlayLines[ais.PlayNext++];
    if (state_.prefs.ShowNMEA) {
        state_.display.StatusLine = line;
    }
    if (!line.empty() && line[0] == '$') {
        state_.cycleState.CurrentSentence = line;
        if (processPositionSentence) {
            processPositionSentence(line);
        }
    } else if (IsAivdm(line)) {
        state_.nmeaLink.LastAisSentence = line;
        DecodeAndUpdate(line);
    }
}

void AisController::AISMonitorClick()
{
    Display& d = state_.display;
    if (state_.ais.AISMonitor) {
        state_.ais.AISMonitor = false;
        d.checked[Control::AISMonitor] = false;
        return;
    }
    if (state_.nmeaLink.NmeaOpen) {
        platform_.prompter.warning("Turn NMEA server link OFF first !");
        return;
    }
    if (!platform_.prompter.informationOkCancel(
            "The quick log will be cleared. Place Cursor on monitoring position and click "
            "FIX or press CTRL + F. Then turn the NMEA Server link ON")) {
        return;
    }
    purge(true);
    if (state_.quickLog.empty()) {
        state_.ais.AISMonitor = true;
        d.checked[Control::AISMonitor] = true;
        state_.prefs.fix.UseGpsTime = false;
    }
}

void AisController::AISLogViewer1Click()
{
    const Settings& s = state_.settings;
    std::string program = s.TextLogViewerPath;
    if (program.empty()) {
        program
            = !s.AISLogViewerPath.empty() ? s.AISLogViewerPath : JoinPath(state_.folders.AppDir.str(), "AISLogViewer");
    }
    // The file goes as one element of the argument vector: that keeps a path with blanks whole,
    // which is what quoting it on a command line is for.
    if (!platform_.launcher.launch(program, { state_.ais.AisLogPath })) {
        platform_.prompter.error("Application Not Available");
    }
}

void AisController::AISDatabaseViewer1Click()
{
    const std::string program = JoinPath(state_.folders.AppDir.str(), "AISDatabaseViewer");
    if (!platform_.launcher.launch(program, { state_.folders.AppDir.str() })) {
        platform_.prompter.error("Application Not Available");
    }
}

} // namespace kv
