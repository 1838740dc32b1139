#include "app/AlarmWatch.h"

#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "core/ExtraSettings.h"
#include "core/Format.h"
#include "navigation/AlarmEncounters.h"
#include "nmea/NmeaParse.h"
#include "platform/Platform.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace kv {

std::string AlarmSoundFile(const std::string& kind)
{
    return "alarm-" + kind + ".wav";
}

AlarmWatch::AlarmWatch(ProgramState& state, Platform& platform)
    : state_(state)
    , platform_(platform)
{
}

double AlarmWatch::now() const
{
    // Whole milliseconds: the days of the clock do not hold a second exactly.
    return std::round(DaysFromDateTime(platform_.clock.now()) * 86400000.0) / 1000.0;
}

void AlarmWatch::ApplySettings()
{
    const ExtraSettings& e = state_.extra;
    rules_.settings.gpsLostSeconds = e.GpsLostAlarm ? e.GpsLostSeconds : 0;
    rules_.settings.arrival = e.ArrivalAlarm;
    rules_.settings.arrivalRadiusNm = state_.settings.route.ArrivalRadius;
    rules_.settings.offTrackNm = e.OffTrackNm;
    const double t = now();
    if (e.AnchorSet) {
        rules_.dropAnchor(e.AnchorLat, e.AnchorLong, e.AnchorRadiusM);
    } else {
        rules_.weighAnchor(t);
    }
    if (rules_.settings.gpsLostSeconds <= 0) {
        rules_.stopGpsWatch(t);
    }
    if (!e.CollisionWarnings) {
        rules_.onEncounters(t, {});
    }
    if (!e.ArrivalAlarm || e.OffTrackNm <= 0) {
        rules_.onRoute(t, state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, std::nullopt, std::nullopt);
    }
}

void AlarmWatch::Tick()
{
    const double t = now();
    // Only a receiver that is listened to can be lost: not with the interface closed, nor in
    // dead reckoning.
    if (!state_.nmeaLink.NmeaOpen || state_.settings.fix.DRMode || rules_.settings.gpsLostSeconds <= 0) {
        rules_.stopGpsWatch(t);
        lastSentence_.clear();
    } else {
        const std::string& sentence = state_.nmeaLink.LastPositionSentence;
        if (!sentence.empty() && sentence != lastSentence_) {
            lastSentence_ = sentence;
            // The fix cycle's own parser decides what a valid position is.
            SentenceFix fix;
            Display scratch;
            rules_.onPositionSentence(t, ParseSentence(sentence, fix, scratch, false) && fix.PositionValid);
        } else {
            rules_.onTime(t);
        }
    }
    EncountersChanged();
    rules_.onDepth(t, state_.instruments.ShallowAlarmOn, state_.instruments.DepthMetres.value);
    // The waypoint the next fix steers to: chosen by the last fix or by the navigator since.
    const RouteProgress& p = state_.routeProgress;
    if (p.ActiveWaypoint >= 1 && p.ActiveWaypoint <= p.RouteLength
        && p.ActiveWaypoint <= static_cast<int>(state_.route.count())) {
        const RouteWaypoint& wp = state_.route.at(static_cast<std::size_t>(p.ActiveWaypoint));
        steering_ = SteeringTarget { TrimRight(wp.name.substr(0, kRouteLabelLength)), wp.lat, wp.lon };
    } else {
        steering_.reset();
    }
    sound(t);
}

void AlarmWatch::FixTaken()
{
    const double t = now();
    rules_.settings.arrivalRadiusNm = state_.settings.route.ArrivalRadius; // the preferences may have changed it
    const double lat = state_.fixInfo.OwnLat, lon = state_.fixInfo.OwnLong;
    if (state_.fixInfo.FixSource == "GPS") {
        rules_.onAnchorFix(t, lat, lon);
    }
    const RouteProgress& p = state_.routeProgress;
    const bool leg = p.ActiveWaypoint >= 1 && p.ActiveWaypoint <= p.RouteLength && p.XTEValid;
    rules_.onRoute(t, lat, lon, steering_, leg ? std::optional<double>(p.XTE) : std::nullopt);
    EncountersChanged();
    sound(t);
}

void AlarmWatch::EncountersChanged()
{
    // Without the warnings the collision watch judges nothing and its encounters are stale.
    rules_.onEncounters(now(),
        state_.extra.CollisionWarnings ? CurrentEncounters(state_.ais, state_.fixInfo, state_.motion)
                                       : std::vector<EncounterNote> {});
}

bool AlarmWatch::Acknowledge(int id)
{
    if (!list_.acknowledge(id)) {
        return false;
    }
    platform_.sound.stop(); // the alarm's sound ends with the acknowledgement
    return true;
}

void AlarmWatch::sound(double time)
{
    list_.takeEvents(); // the window shows the list itself
    const bool targetSound = state_.extra.CollisionAlarm;
    const std::string kind = list_.soundDue(
        time, kAlarmRepeatSeconds, [&](const std::string& k) { return k != "dangerous-target" || targetSound; });
    const AlarmKindInfo* info = FindAlarmKind(kind);
    if (info == nullptr) {
        return;
    }
    const std::string path = state_.folders.AppDir.str() + AlarmSoundFile(kind);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        const std::string tmp = path + ".tmp";
        {
            std::ofstream out(tmp, std::ios::binary);
            out << AlarmWavBytes(*info);
        }
        std::filesystem::rename(tmp, path, ec);
        if (ec) {
            std::filesystem::remove(tmp, ec);
        }
    }
    // The alarm takes the sound device from a spoken prompt; the prompts wait until it is done.
    state_.cycleState.SoundIdle = false;
    if (!platform_.sound.play(path)) {
        state_.cycleState.SoundIdle = true;
    }
}

bool AlarmWatch::saveAnchor()
{
    ExtraSettings wanted = state_.extra;
    wanted.AnchorSet = rules_.anchor.set;
    if (rules_.anchor.set) {
        wanted.AnchorLat = rules_.anchor.lat;
        wanted.AnchorLong = rules_.anchor.lonW;
    }
    const std::string path = state_.folders.AppDir.str() + kExtraSettingsFile;
    if (!ChangeExtraSettings(path, state_.extra, wanted)) {
        state_.display.StatusLine = kAnchorNotWritten + path;
        return false;
    }
    return true;
}

bool AlarmWatch::DropAnchor(bool atCursor)
{
    LatLong at { state_.fixInfo.OwnLat, state_.fixInfo.OwnLong };
    if (!atCursor && state_.quickLog.count() > 0) {
        const QuickLogRecord& newest = state_.quickLog.at(state_.quickLog.count());
        at = ChartDatumFromState(state_.chartRef, LatLong { newest.lat, newest.lon });
    }
    rules_.dropAnchor(at.lat, at.lon, state_.extra.AnchorRadiusM);
    return saveAnchor();
}

bool AlarmWatch::WeighAnchor()
{
    rules_.weighAnchor(now());
    return saveAnchor();
}

} // namespace kv
