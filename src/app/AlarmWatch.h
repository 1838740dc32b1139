#pragma once
// The program's alarms: feeds the alarm rules from the program state (the receiver's position
// sentences, each fix, the route, the collision watch, the clock), sounds the most urgent alarm
// until it is acknowledged, and keeps the anchor watch in kvfree.ini. The alarm bar of the
// window shows `Alarms()` and calls `Acknowledge`.

#include "navigation/Alarms.h"
#include <string>
#include <vector>

namespace kv {

struct ProgramState;
struct Platform;

// The alarm sound of a kind is a file in the working folder, made when missing; a file of the
// same name put there by the user is played instead.
std::string AlarmSoundFile(const std::string& kind);

inline constexpr const char* kAnchorNotWritten = "The anchor watch could not be written to ";

// Seconds between two soundings of an alarm not yet acknowledged.
inline constexpr double kAlarmRepeatSeconds = 4.0;

class AlarmWatch {
public:
    AlarmWatch(ProgramState& state, Platform& platform);

    // The rules take their switches and limits and the anchor from the settings (kvfree.ini and
    // the waypoint change range): at start and after the preferences change.
    void ApplySettings();
    // The one-second timer: the receiver's latest sentence, the clock, the encounters, the sound.
    void Tick();
    // After each fix (position, route following and collision judgement done).
    void FixTaken();
    // After the collision watch has judged the targets.
    void EncountersChanged();

    bool Acknowledge(int id);
    std::vector<Alarm> Alarms() const { return list_.ordered(); }

    // "Drop Anchor" at own ship (the newest fix) or at the cursor; "Weigh Anchor". Both write
    // kvfree.ini; false when it could not be written (the watch changes for the run all the same).
    bool DropAnchor(bool atCursor);
    bool WeighAnchor();
    bool AnchorDown() const { return rules_.anchor.set; }

private:
    double now() const;
    void sound(double time);
    bool saveAnchor();

    ProgramState& state_;
    Platform& platform_;
    AlarmList list_;
    AlarmRules rules_ { list_ };
    std::string lastSentence_;
    std::optional<SteeringTarget> steering_;
};

} // namespace kv
