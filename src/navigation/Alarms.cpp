#include "navigation/Alarms.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

const AlarmKindInfo* FindAlarmKind(std::string_view name)
{
    for (const AlarmKindInfo& k : kAlarmKinds) {
        if (k.name == name) {
            return &k;
        }
    }
    return nullptr;
}

namespace {

int Urgency(const std::string& kind)
{
    const AlarmKindInfo* k = FindAlarmKind(kind);
    return k != nullptr ? k->urgency : 1000;
}

} // namespace

bool AlarmList::raise(std::string_view kind, const std::string& key, const std::string& text, double time)
{
    for (Alarm& a : alarms_) {
        if (a.kind == kind && a.key == key) {
            a.text = text;
            return false;
        }
    }
    Alarm a;
    a.id = nextId_++;
    a.kind = std::string(kind);
    a.key = key;
    a.text = text;
    a.start = time;
    alarms_.push_back(a);
    events_.push_back({ time, true, a.kind, text });
    lastSound_.reset(); // a new alarm sounds at once
    return true;
}

void AlarmList::end(std::string_view kind, const std::string& key, double time)
{
    for (auto it = alarms_.begin(); it != alarms_.end(); ++it) {
        if (it->kind == kind && it->key == key) {
            events_.push_back({ time, false, it->kind, it->text });
            alarms_.erase(it);
            return;
        }
    }
}

void AlarmList::endAllBut(std::string_view kind, const std::vector<std::string>& keep, double time)
{
    std::vector<std::string> gone;
    for (const Alarm& a : alarms_) {
        if (a.kind == kind && std::find(keep.begin(), keep.end(), a.key) == keep.end()) {
            gone.push_back(a.key);
        }
    }
    for (const std::string& key : gone) {
        end(kind, key, time);
    }
}

bool AlarmList::active(std::string_view kind, const std::string& key) const
{
    return std::any_of(alarms_.begin(), alarms_.end(), [&](const Alarm& a) { return a.kind == kind && a.key == key; });
}

bool AlarmList::acknowledge(int id)
{
    for (Alarm& a : alarms_) {
        if (a.id == id) {
            a.acknowledged = true;
            return true;
        }
    }
    return false;
}

std::vector<Alarm> AlarmList::ordered() const
{
    std::vector<Alarm> out = alarms_;
    std::stable_sort(out.begin(), out.end(), [](const Alarm& a, const Alarm& b) {
        const int ua = Urgency(a.kind), ub = Urgency(b.kind);
        return ua != ub ? ua < ub : a.start < b.start;
    });
    return out;
}

std::string AlarmList::soundDue(
    double time, double repeatSeconds, const std::function<bool(const std::string&)>& sounds)
{
    for (const Alarm& a : ordered()) {
        if (a.acknowledged || (sounds && !sounds(a.kind))) {
            continue;
        }
        if (lastSound_ && time - *lastSound_ < repeatSeconds && time >= *lastSound_) {
            return {};
        }
        lastSound_ = time;
        return a.kind;
    }
    return {};
}

std::vector<AlarmEvent> AlarmList::takeEvents()
{
    std::vector<AlarmEvent> out;
    out.swap(events_);
    return out;
}

double AnchorDistanceM(const AnchorWatch& anchor, double lat, double lonW)
{
    constexpr double kPi = 3.14159265358979323846;
    const double cosLat = std::cos(anchor.lat * kPi / 180.0);
    const double dLat = lat - anchor.lat;
    const double dLon = (lonW - anchor.lonW) * cosLat;
    return 60.0 * std::sqrt(dLat * dLat + dLon * dLon) * 1852.0;
}

namespace {

constexpr std::string_view kGpsLost = "gps-lost";
constexpr std::string_view kAnchorDrag = "anchor-drag";
constexpr std::string_view kShallowWater = "shallow-water";
constexpr std::string_view kArrival = "arrival";
constexpr std::string_view kOffTrack = "off-track";
constexpr std::string_view kDangerousTarget = "dangerous-target";

// Inside the arrival circle of a waypoint: the same plane sailing as route following, in
// nautical miles.
bool Inside(const SteeringTarget& wp, double lat, double lonW, double radiusNm)
{
    AnchorWatch centre;
    centre.lat = wp.lat;
    centre.lonW = wp.lonW;
    return AnchorDistanceM(centre, lat, lonW) / 1852.0 < radiusNm;
}

} // namespace

void AlarmRules::onTime(double time)
{
    if (settings.gpsLostSeconds <= 0 || !lastValidFix_) {
        return;
    }
    const double due = *lastValidFix_ + settings.gpsLostSeconds;
    if (time >= due) {
        list_.raise(kGpsLost, {}, "GPS fix lost", due);
    }
}

void AlarmRules::onFix(double time, bool valid, double lat, double lonW)
{
    onPositionSentence(time, valid);
    if (valid) {
        onAnchorFix(time, lat, lonW);
    }
}

void AlarmRules::onPositionSentence(double time, bool valid)
{
    if (!lastValidFix_) {
        lastValidFix_ = time;
    }
    onTime(time); // a fix that comes late is late: the alarm had started before it
    if (valid) {
        lastValidFix_ = time;
        list_.end(kGpsLost, {}, time);
    }
}

void AlarmRules::stopGpsWatch(double time)
{
    lastValidFix_.reset();
    list_.end(kGpsLost, {}, time);
}

void AlarmRules::onAnchorFix(double time, double lat, double lonW)
{
    if (!anchor.set) {
        return;
    }
    const double d = AnchorDistanceM(anchor, lat, lonW);
    if (d > anchor.radiusM) {
        char text[96];
        std::snprintf(text, sizeof text, "Anchor drag: %.0f m from the anchor (circle %.0f m)", d, anchor.radiusM);
        list_.raise(kAnchorDrag, {}, text, time);
    } else {
        list_.end(kAnchorDrag, {}, time);
    }
}

void AlarmRules::onDepth(double time, bool shallow, double depthMetres)
{
    if (!shallow) {
        list_.end(kShallowWater, {}, time);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Shallow water: %.1f m", depthMetres);
    list_.raise(kShallowWater, {}, text, time);
}

void AlarmRules::onRoute(
    double time, double lat, double lonW, const std::optional<SteeringTarget>& steeringTo, std::optional<double> xteNm)
{
    // Arrival lasts while the vessel is inside the circle of the waypoint it arrived at, also
    // when the route has moved on to the next one.
    if (arrivedAt_ && (!settings.arrival || !Inside(*arrivedAt_, lat, lonW, settings.arrivalRadiusNm))) {
        list_.end(kArrival, arrivalKey_, time);
        arrivedAt_.reset();
    }
    if (settings.arrival && steeringTo && Inside(*steeringTo, lat, lonW, settings.arrivalRadiusNm)) {
        const bool same = arrivedAt_ && arrivedAt_->name == steeringTo->name && arrivedAt_->lat == steeringTo->lat
            && arrivedAt_->lonW == steeringTo->lonW;
        if (!same) {
            if (arrivedAt_) {
                list_.end(kArrival, arrivalKey_, time);
            }
            arrivedAt_ = steeringTo;
            arrivalKey_ = steeringTo->name;
            list_.raise(kArrival, arrivalKey_, "Arrival at " + steeringTo->name, time);
        }
    }
    if (settings.offTrackNm > 0 && steeringTo && xteNm && std::fabs(*xteNm) > settings.offTrackNm) {
        char text[64];
        std::snprintf(text, sizeof text, "Off track: XTE %.2f Nm %s", std::fabs(*xteNm), *xteNm > 0 ? "right" : "left");
        list_.raise(kOffTrack, {}, text, time);
    } else {
        list_.end(kOffTrack, {}, time);
    }
}

void AlarmRules::onEncounters(double time, const std::vector<EncounterNote>& encounters)
{
    std::vector<std::string> keys;
    for (const EncounterNote& e : encounters) {
        keys.push_back(std::to_string(e.mmsi));
        // The note's figures change at every judgement; the alarm keeps the one that raised it.
        if (!list_.active(kDangerousTarget, keys.back())) {
            list_.raise(kDangerousTarget, keys.back(), e.text, time);
        }
    }
    list_.endAllBut(kDangerousTarget, keys, time);
}

void AlarmRules::dropAnchor(double lat, double lonW, double radiusM)
{
    anchor.set = true;
    anchor.lat = lat;
    anchor.lonW = lonW;
    anchor.radiusM
        = std::clamp(std::isfinite(radiusM) ? radiusM : kAnchorRadiusDefaultM, kAnchorRadiusMinM, kAnchorRadiusMaxM);
}

void AlarmRules::weighAnchor(double time)
{
    anchor.set = false;
    list_.end(kAnchorDrag, {}, time);
}

std::string AlarmClockText(double time)
{
    long long s = static_cast<long long>(std::floor(time));
    s %= 86400;
    if (s < 0) {
        s += 86400;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

std::string AlarmEventLine(const AlarmEvent& e)
{
    return AlarmClockText(e.time) + "\t" + (e.start ? "START" : "END") + "\t" + e.kind + "\t" + e.text;
}

namespace {

void PutLE(std::string& out, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    }
}

} // namespace

std::string AlarmWavBytes(const AlarmKindInfo& kind)
{
    constexpr int kRate = 22050;
    constexpr double kPi = 3.14159265358979323846;
    constexpr int kBeep = kRate * 12 / 100; // 120 ms
    constexpr int kGap = kRate * 6 / 100; // 60 ms
    const int beeps = std::clamp(kind.beeps, 1, 5);
    std::vector<std::int16_t> samples(kRate, 0); // one second
    int at = 0;
    for (int b = 0; b < beeps; ++b) {
        const double hz = (b % 2 == 0) ? kind.toneHz : kind.secondToneHz;
        for (int i = 0; i < kBeep && at + i < kRate; ++i) {
            // A short rise and fall at each end keeps the speaker from clicking.
            const double edge = std::min({ 1.0, i / 200.0, (kBeep - i) / 200.0 });
            samples[at + i] = static_cast<std::int16_t>(12000.0 * edge * std::sin(2 * kPi * hz * i / kRate));
        }
        at += kBeep + kGap;
    }
    std::string out = "RIFF";
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2); // PCM
    PutLE(out, 1, 2); // mono
    PutLE(out, kRate, 4);
    PutLE(out, kRate * 2, 4);
    PutLE(out, 2, 2);
    PutLE(out, 16, 2);
    out += "data";
    PutLE(out, dataBytes, 4);
    for (std::int16_t s : samples) {
        PutLE(out, static_cast<std::uint16_t>(s), 2);
    }
    return out;
}

} // namespace kv
