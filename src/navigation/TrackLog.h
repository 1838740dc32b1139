#pragma once
// The day's log set in the log folder: the track log ".log" (an image of the quick log), the
// text log ".txt" (one line per logged fix) and the AIS log ".AIS" header, plus the Logs menu
// commands.

#include "platform/Platform.h"

#include "ais/AisState.h"
#include "core/AppState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/Motion.h"
#include "core/QuickLog.h"
#include "core/RoutePanelTexts.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TextLogState.h"
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::size_t kTrackLogSize = 1792; // 14 blocks of 128 bytes
inline constexpr std::size_t kTrackLogCountOffset = 1764;
inline constexpr std::size_t kTrackLogRecordSize = 18;

inline constexpr const char* kLogWriteError = "Error writing Log File!";
inline constexpr const char* kLogReadError = "Error reading Log File!";
inline constexpr const char* kTextLogWriteError = "Error Writing Text Log";
inline constexpr const char* kPurgeLogQuestion = "This will remove the automatic track! - Are you sure?";
inline constexpr const char* kApplicationNotAvailable = "Application Not Available";
// Status line texts when today's track log cannot be continued and is set aside.
inline constexpr const char* kDamagedLogKept = "Damaged track log kept as ";
inline constexpr const char* kDamagedLogNotKept = "Damaged track log could not be set aside: ";

// The 1,792-byte image: 98 records of three 48-bit reals, the count real at 1764, 22 zero bytes.
std::string EncodeTrackLog(const QuickLog& log);

// A decoded image. Bytes missing at the end of a short file read as zero, so the count of a file
// that stops before offset 1764 is 0. The count is nullopt when the stored real does not round
// to 0 … 98 (a corrupt file): the caller keeps its quick log.
struct TrackLogImage {
    std::array<QuickLogRecord, kQuickLogCapacity> records {};
    std::optional<std::size_t> count;
};
TrackLogImage DecodeTrackLog(std::string_view bytes);

// The n-th name (1, 2, ...) a damaged track log is kept under: "<folder><name>.damaged-<n>.log".
std::string DamagedLogName(const std::string& path, int n);

// "dd-mm-yy" of the computer clock.
std::string DateText(const LocalDateTime& now);

// What the day's logs read and write: the quick log and its track-log image, the fix date, the log
// folder and text-log counters, the trip (restarted with the track), the text-log format and switch,
// the AIS log path, and the records a text-log line prints.
struct TrackLogRecords {
    QuickLog& quickLog;
    Fix& fixInfo;
    Folders& folders;
    TextLogState& textLog;
    FixCycleState& cycleState;
    Motion& motion;
    Settings& settings;
    AisState& ais;
    Display& display;
    AppState& app; // the log dialogs' folder follows an opened log
    const RoutePanelTexts& routeTexts;
    const SentenceFix& sentenceFix;
    const ChartReference& chartRef;
    const RouteProgress& routeProgress;
    const RouteTable& route;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    TrackLogRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : quickLog(s.quickLog)
        , fixInfo(s.fixInfo)
        , folders(s.folders)
        , textLog(s.textLog)
        , cycleState(s.cycleState)
        , motion(s.motion)
        , settings(s.settings)
        , ais(s.ais)
        , display(s.display)
        , app(s.app)
        , routeTexts(s.routeTexts)
        , sentenceFix(s.sentenceFix)
        , chartRef(s.chartRef)
        , routeProgress(s.routeProgress)
        , route(s.route)
    {
    }
};

// Text-log line of the current fix from the user's format (the @-template expansion).
std::string ComposeTextLogLine(TrackLogRecords state, const Clock& clock);

class TrackLogs {
public:
    TrackLogs(TrackLogRecords state, Platform& platform)
        : state_(state)
        , platform_(platform)
    {
    }

    void OpenDayLogs();
    bool WriteLogFile(const std::string& name);
    bool ReadLogFile(const std::string& name);
    void WriteTextLogLine(bool manual);

    // Opens (or creates) LogDir + LogNameBase + ".txt" and takes over its format and fix count.
    void OpenTextLog();
    // The AIS log of the same set (LogDir + LogNameBase + ".AIS"), created with its header line.
    void OpenAisLog();

    // Menu and button commands; the dialogs' chosen file comes in as the argument.
    void Logs1Click(const std::string& chosenFile);
    void SaveLogAs1Click(const std::string& chosenFile);
    // Asks first; on Yes runs PurgeQuickLog.
    void Log1Click();
    // The purge itself: the quick log emptied, the track restarted, the trip panel at zero. The
    // files on disk stay as they are until the next fix rewrites the day's track log.
    void PurgeQuickLog();
    void ViewTextLog1Click();
    void TxtLogOnOffClick(bool pressed);

    std::string TextLogPath() const;
    std::string TrackLogPath() const; // LogDir + FixDateText + ".log"

private:
    // Moves a day's track log that cannot be continued to the next free DamagedLogName, with a
    // note in the status line.
    void KeepDamagedTrackLog(const std::string& path);

    TrackLogRecords state_;
    Platform& platform_;
};

} // namespace kv
