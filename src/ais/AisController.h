#pragma once
// The AIS subsystem's event handlers: the hand-over of received "!AIVDM" lines (log, assemble,
// decode, update the table), the "Process AIS Data" switch, AIS log playback on its timer,
// monitor mode and the two companion viewers.

#include "nmea/AisHandOver.h"

#include "ais/AisState.h"
#include "core/AisPlayback.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct Platform;

// What the AIS event handlers read and write: the AIS state and playback switch, the sentence a
// played record hands to the fix cycle and the track restart at playback, the indicators, the last
// AIS sentence of the link, the switches playback and monitor mode force (text log, GPS time), and
// the records the target table reads.
struct AisControllerRecords {
    AisState& ais;
    AisPlayback& aisPlayback;
    FixCycleState& cycleState;
    Display& display;
    NmeaLink& nmeaLink;
    Preferences& prefs;
    QuickLog& quickLog;
    Settings& settings;
    Motion& motion;
    const ExtraSettings& extra;
    const Folders& folders;
    const Fix& fixInfo;
    const ChartReference& chartRef;
    const SentenceFix& sentenceFix;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    AisControllerRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , aisPlayback(s.aisPlayback)
        , cycleState(s.cycleState)
        , display(s.display)
        , nmeaLink(s.nmeaLink)
        , prefs(s.prefs)
        , quickLog(s.quickLog)
        , settings(s.settings)
        , motion(s.motion)
        , extra(s.extra)
        , folders(s.folders)
        , fixInfo(s.fixInfo)
        , chartRef(s.chartRef)
        , sentenceFix(s.sentenceFix)
    {
    }
};

class AisController final : public AisSentenceHandler {
public:
    AisController(AisControllerRecords state, Platform& platform);
    ~AisController() override;
    AisController(const AisController&) = delete;
    AisController& operator=(const AisController&) = delete;

    // Links to other subsystems, set by whoever wires the program together.
    // A "$" line of a played log: the fix cycle's sentence processing.
    std::function<void(const std::string&)> processPositionSentence;
    // The quick-log purge of the log menu without its question (playback start). When not set
    // the quick log is emptied and the track restarted here.
    std::function<void()> purgeQuickLog;
    // The same purge with its own question (monitor mode); when not set, purgeQuickLog is used.
    std::function<void()> purgeQuickLogAsking;
    std::function<void()> redrawViews;

    // Live reception, while AIS processing is on: log the line, assemble and decode it, update
    // the target table.
    void ProcessAISSentence(std::string_view sentence) override;
    // Assembly, decoding and the table update, without logging (also used by playback).
    void DecodeAndUpdate(std::string_view sentence);

    void ProcAisClick();
    // Appends the sentence (and the position sentence when its time changed) to the day's log:
    // at once, or inside a batch at its end.
    void LogAISSentence(std::string_view sentence);

    // Received input comes in slices: the log lines of one slice go out in one write, to a file
    // kept open while the interface is open. The day's log stops at its size limit, and logging
    // pauses while the disk is nearly full; the status line says so (AisState.AisLogNote).
    void BeginBatch() override;
    void EndBatch() override;
    void InterfaceClosed() override;

    // chooseFile is the open dialog: the chosen path, or nothing when cancelled.
    void PlayAISlogClick(const std::function<std::optional<std::string>()>& chooseFile);
    // One tick of the playback timer (Display.AISPlayTimer): plays one line.
    void AISplayTimeTimer();
    void SetPlaybackSpeed(int speed);
    // Ends a playback as its last line does (the quit uses it).
    void StopPlayback();
    static unsigned PlaybackIntervalMs(int speed);

    void AISMonitorClick();
    void AISLogViewer1Click();
    void AISDatabaseViewer1Click();

private:
    void startPlayback(const std::string& path);
    void endPlayback();
    void restoreSwitchesAfterPlayback();
    void showGpsUnknown();
    void purge(bool asking);
    void flushLog();
    // Opens the day's log unless it is open; a line end goes before `lines` when the file's last
    // line is unfinished.
    bool openLog(std::string& lines);
    void closeLog();
    void pauseLogging(const std::string& note);

    AisControllerRecords state_;
    Platform& platform_;
    std::string logBatch_; // lines decided on and not yet written
    int batchDepth_ = 0;
    int logFd_ = -1; // the day's log while it is written to
    std::string logFdPath_;
    long long logSize_ = 0; // its size in bytes
};

} // namespace kv
