#pragma once
// Alarms that must be acknowledged: the list of active alarms (kind, text, start time,
// acknowledged) and the rules that raise and end them from fixes, the route, the AIS encounters
// and the passing of time. The alarm bar of the window and `kvtool alarms` both feed these same
// rules; neither knows a rule of its own. Times are seconds on one running scale chosen by the
// caller (seconds of the day of the GPS clock in a replay, of the computer clock in the program).
// Longitudes are WEST positive as in the navigation state. Pure: no I/O, no platform.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// What each kind of alarm is: its name (as `kvtool alarms` prints it and the ini knows it), its
// urgency (lower is more urgent: listed first, its sound wins) and its sound, two tones played as
// `beeps` short beeps. A new kind is one more line of this table and a rule that raises it.
struct AlarmKindInfo {
    std::string_view name;
    int urgency;
    double toneHz;
    double secondToneHz;
    int beeps;
};

inline constexpr AlarmKindInfo kAlarmKinds[] = {
    { "anchor-drag", 0, 1200, 900, 4 },
    { "dangerous-target", 1, 1000, 1000, 3 },
    { "gps-lost", 2, 700, 500, 2 },
    { "off-track", 3, 880, 660, 2 },
    { "arrival", 4, 660, 880, 1 },
    { "shallow-water", 0, 1400, 1100, 5 },
};

// The table line of a kind; nullptr for a name not in the table.
const AlarmKindInfo* FindAlarmKind(std::string_view name);

struct Alarm {
    int id = 0; // unique for the run, for the Acknowledge button
    std::string kind; // a name of kAlarmKinds
    std::string key; // tells apart alarms of one kind (a target's MMSI, a waypoint)
    std::string text; // what the bar shows; may be updated while the alarm lasts
    double start = 0; // seconds
    bool acknowledged = false;
};

struct AlarmEvent {
    double time = 0;
    bool start = true; // false: the alarm ended
    std::string kind;
    std::string text;
};

// The active alarms. An alarm is raised once for its condition and lives until the condition
// ends; acknowledging it silences it but leaves it listed.
class AlarmList {
public:
    // Raises the alarm `kind`/`key` at `time`, or only refreshes its text when it is active.
    // Returns true when it is new.
    bool raise(std::string_view kind, const std::string& key, const std::string& text, double time);
    // Ends the alarm `kind`/`key` if it is active.
    void end(std::string_view kind, const std::string& key, double time);
    // Ends every alarm of `kind` whose key is not in `keep`.
    void endAllBut(std::string_view kind, const std::vector<std::string>& keep, double time);
    bool active(std::string_view kind, const std::string& key = {}) const;
    // Marks the alarm acknowledged; false for an id that is not active.
    bool acknowledge(int id);

    // The active alarms, the most urgent kind first, the older first within a kind.
    std::vector<Alarm> ordered() const;
    bool empty() const { return alarms_.empty(); }

    // The sound to play at `time`: the kind of the most urgent unacknowledged alarm when the
    // last alarm sound started at least `repeatSeconds` ago (or none was played since the last
    // alarm was raised); empty when none is due. Calling it counts as playing the sound. Kinds
    // for which `sounds` says no are passed over (a kind whose sound is switched off).
    std::string soundDue(
        double time, double repeatSeconds, const std::function<bool(const std::string& kind)>& sounds = nullptr);

    // Starts and ends in order since the last call.
    std::vector<AlarmEvent> takeEvents();

private:
    std::vector<Alarm> alarms_;
    std::vector<AlarmEvent> events_;
    int nextId_ = 1;
    std::optional<double> lastSound_;
};

// The settings of the rules: each kind can be off, and the defaults keep them off except the
// anchor watch, which only a "Drop Anchor" command starts.
struct AlarmSettings {
    double gpsLostSeconds = 0; // 0: no GPS alarm
    bool arrival = false; // alarm on entering the arrival circle of the waypoint steered to
    double arrivalRadiusNm = 0.2; // the route's waypoint change range
    double offTrackNm = 0; // |XTE| above it raises the off-track alarm; 0: off
};

struct AnchorWatch {
    bool set = false;
    double lat = 0;
    double lonW = 0;
    double radiusM = 30;
};

inline constexpr double kAnchorRadiusMinM = 10;
inline constexpr double kAnchorRadiusMaxM = 500;
inline constexpr double kAnchorRadiusDefaultM = 30;

// Distance from the anchor in metres: plane sailing, the program's one distance formula.
double AnchorDistanceM(const AnchorWatch& anchor, double lat, double lonW);

// A waypoint being steered to.
struct SteeringTarget {
    std::string name;
    double lat = 0;
    double lonW = 0;
};

// A target in an encounter (the collision rule's one-per-encounter judgement), with its note.
struct EncounterNote {
    std::uint32_t mmsi = 0;
    std::string text;
};

// The rules. Each `on...` call is one observation at `time`; the list collects what they raise.
class AlarmRules {
public:
    explicit AlarmRules(AlarmList& list)
        : list_(list)
    {
    }

    AlarmSettings settings;
    AnchorWatch anchor;

    // The clock moved on: a GPS fix missing for gpsLostSeconds raises "GPS fix lost" at the
    // moment the time ran out (the last valid fix plus the limit).
    void onTime(double time);
    // A position sentence: valid or not. A valid one ends a GPS alarm and is judged against the
    // anchor circle (onPositionSentence and onAnchorFix in one).
    void onFix(double time, bool valid, double lat, double lonW);
    // The GPS part: a position sentence, valid or not. The first one starts the watch, so that a
    // receiver that never gets a fix raises the alarm too.
    void onPositionSentence(double time, bool valid);
    // The anchor part: a fix's position against the anchor circle.
    void onAnchorFix(double time, double lat, double lonW);
    // No receiver to watch (the interface closed, dead reckoning): the GPS alarm ends and the
    // watch starts again with the next sentence.
    void stopGpsWatch(double time);
    // After a fix's route following: the waypoint that was steered to during the fix (nothing
    // without an active route) and the cross-track error then.
    void onRoute(double time, double lat, double lonW, const std::optional<SteeringTarget>& steeringTo,
        std::optional<double> xteNm);
    // After the collision judgement: the targets now in an encounter. A target entering one
    // raises its alarm once; it ends with the encounter or when the target is gone.
    void onEncounters(double time, const std::vector<EncounterNote>& encounters);

    // The echo sounder's verdict: `shallow` while the depth is below the limit (the instruments
    // keep a little margin before they call it over). A sounder that falls silent ends nothing:
    // only a depth above the limit does. The text follows the latest depth.
    void onDepth(double time, bool shallow, double depthMetres);

    // "Drop Anchor" at a position, "Weigh Anchor" (ends the anchor alarm with the watch).
    void dropAnchor(double lat, double lonW, double radiusM);
    void weighAnchor(double time);

private:
    AlarmList& list_;
    std::optional<double> lastValidFix_;
    std::string arrivalKey_;
    std::optional<SteeringTarget> arrivedAt_;
};

// "HH:MM:SS<TAB>START|END<TAB>kind<TAB>text", the time of day of `time` (seconds, any day).
std::string AlarmEventLine(const AlarmEvent& e);
// "HH:MM:SS" of a time in seconds, taken modulo a day.
std::string AlarmClockText(double time);

// A short alarm sound for a kind as the bytes of a WAV file (16-bit mono PCM, 22050 Hz):
// the kind's beeps alternating between its two tones, then silence to one second.
std::string AlarmWavBytes(const AlarmKindInfo& kind);

} // namespace kv
