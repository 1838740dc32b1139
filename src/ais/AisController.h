#pragma once
// The AIS subsystem's event handlers: the hand-over of received "!AIVDM" lines (log, assemble,
// decode, update the table), the "Process AIS Data" switch, AIS log playback on its timer,
// monitor mode and the two companion viewers.

#include "nmea/AisHandOver.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kv {

struct ProgramState;
struct Platform;

class AisController final : public AisSentenceHandler {
public:
    AisController(ProgramState& state, Platform& platform);

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
    // Appends the sentence (and the position sentence when its time changed) to the day's log.
    void LogAISSentence(std::string_view sentence);

    // chooseFile is the open dialog: the chosen path, or nothing when cancelled.
    void PlayAISlogClick(const std::function<std::optional<std::string>()>& chooseFile);
    // One tick of the playback timer (Display.AISPlayTimer): plays one line.
    void AISplayTimeTimer();
    void SetPlaybackSpeed(int speed);
    static unsigned PlaybackIntervalMs(int speed);

    void AISMonitorClick();
    void AISLogViewer1Click();
    void AISDatabaseViewer1Click();

private:
    void startPlayback(const std::string& path);
    void endPlayback();
    void showGpsUnknown();
    void purge(bool asking);

    ProgramState& state_;
    Platform& platform_;
};

} // namespace kv
