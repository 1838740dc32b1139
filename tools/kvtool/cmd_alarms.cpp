// kvtool alarms: a voyage replayed through the program's alarm rules, one line per alarm start
// and end, so the rules can be checked without a window. Time is the GPS clock of the position
// sentences; AIS sentences are judged by the program's collision watch at the time of the last
// position sentence before them.

#include "Command.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargets.h"
#include "app/ProgramState.h"
#include "core/Format.h"
#include "core/TextFile.h"
#include "navigation/AlarmEncounters.h"
#include "navigation/Alarms.h"
#include "navigation/RouteFollowing.h"
#include "nmea/NmeaParse.h"
#include "platform/fake/Fakes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace {

std::optional<double> Number(const std::string& text)
{
    const auto v = kv::ParseReal(text);
    if (!v || !std::isfinite(*v)) {
        return std::nullopt;
    }
    return *v;
}

// Seconds of the day of an "hhmmss.ss" field.
std::optional<double> SentenceSeconds(const std::string& field)
{
    if (field.size() < 6) {
        return std::nullopt;
    }
    const auto h = kv::ParseInt(field.substr(0, 2)), m = kv::ParseInt(field.substr(2, 2));
    const auto s = Number(field.substr(4));
    if (!h || !m || !s || *h > 23 || *m > 59 || *s < 0 || *s >= 61) {
        return std::nullopt;
    }
    return *h * 3600.0 + *m * 60.0 + *s;
}

struct Waypoint {
    std::string name;
    double lat = 0, lonW = 0;
};

void Print(kv::AlarmList& list)
{
    for (const kv::AlarmEvent& e : list.takeEvents()) {
        std::printf("%s\n", kv::AlarmEventLine(e).c_str());
    }
}

int Usage()
{
    std::fprintf(stderr,
        "usage: kvtool alarms VOYAGE.nmea [--anchor LAT LONW RADIUS_M] [--gps-lost S] "
        "[--waypoint NAME LAT LONW]... [--arrival NM] [--xte NM] [--cpa NM] [--tcpa MIN]\n");
    return 2;
}

int RunAlarms(const kvtool::Args& args)
{
    std::string file;
    kv::AlarmList list;
    kv::AlarmRules rules(list);
    rules.settings.gpsLostSeconds = 10;
    rules.settings.arrival = true;
    std::vector<Waypoint> route;
    kv::ProgramState state;
    state.extra.CollisionWarnings = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::size_t k) { return i + k < args.size() ? Number(args[i + k]) : std::nullopt; };
        if (a == "--anchor") {
            const auto lat = value(1), lon = value(2), r = value(3);
            if (!lat || !lon || !r || std::fabs(*lat) > 90 || std::fabs(*lon) > 180 || *r < kv::kAnchorRadiusMinM
                || *r > kv::kAnchorRadiusMaxM) {
                std::fprintf(
                    stderr, "kvtool alarms: --anchor wants LAT LONW (west positive) and a radius of 10 to 500 m\n");
                return 2;
            }
            rules.dropAnchor(*lat, *lon, *r);
            i += 3;
        } else if (a == "--waypoint") {
            const auto lat = value(2), lon = value(3);
            if (i + 3 >= args.size() || !lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180) {
                std::fprintf(stderr, "kvtool alarms: --waypoint wants NAME LAT LONW (west positive)\n");
                return 2;
            }
            route.push_back({ args[i + 1], *lat, *lon });
            i += 3;
        } else if (a == "--gps-lost" || a == "--arrival" || a == "--xte" || a == "--cpa" || a == "--tcpa") {
            const auto v = value(1);
            if (!v || *v < 0) {
                std::fprintf(stderr, "kvtool alarms: %s wants a number of 0 or more\n", a.c_str());
                return 2;
            }
            (a == "--gps-lost"         ? rules.settings.gpsLostSeconds
                    : a == "--arrival" ? rules.settings.arrivalRadiusNm
                    : a == "--xte"     ? rules.settings.offTrackNm
                    : a == "--cpa"     ? state.extra.CpaLimitNm
                                       : state.extra.TcpaLimitMin)
                = *v;
            i += 1;
        } else if (file.empty() && a.rfind("--", 0) != 0) {
            file = a;
        } else {
            return Usage();
        }
    }
    if (file.empty()) {
        return Usage();
    }
    const auto lines = kv::ReadTextLines(file);
    if (!lines) {
        std::fprintf(stderr, "kvtool alarms: cannot read %s\n", file.c_str());
        return 1;
    }

    kv::FakePlatform fakes;
    fakes.clock.time = kv::LocalDateTime { 2000, 1, 1, 0, 0, 0, 0 };
    state.ais.UpdateAISDatabase = false; // a replay neither reads nor writes a vessel database
    state.ais.SearchAISDatabase = false;

    std::optional<double> clock; // seconds on a running scale: a voyage may pass midnight
    double dayOffset = 0;
    std::optional<double> prevTime, prevLat, prevLon;
    std::size_t active = 0;
    double legBearing = 0;
    bool legStarted = false;
    for (const std::string& raw : *lines) {
        const std::string line = raw.substr(0, raw.find_last_not_of("\r\n ") + 1);
        if (line.size() > 6 && line.compare(0, 6, "!AIVDM") == 0) {
            if (!clock || kv::ChecksumMismatch(line) || !state.ais.assembler.ProcessAISSentence(line)) {
                continue;
            }
            kv::UpdateAISTargets(state, fakes.platform);
            kv::WatchCollisions(state, fakes.platform);
            rules.onEncounters(*clock, kv::CurrentEncounters(state.ais, state.fixInfo, state.motion));
            Print(list);
            continue;
        }
        const std::string id = kv::NmeaField(line, 0);
        const bool rmc = id.size() == 6 && id[0] == '$' && id.compare(3, 3, "RMC") == 0;
        const bool gga = id.size() == 6 && id[0] == '$' && id.compare(3, 3, "GGA") == 0;
        if ((!rmc && !gga) || kv::CheckSentence(line) != kv::SentenceRejection::None) {
            continue;
        }
        const auto day = SentenceSeconds(kv::NmeaField(line, 1));
        if (!day) {
            continue;
        }
        if (clock && *day + dayOffset < *clock - 43200) {
            dayOffset += 86400; // past midnight
        }
        const double t = *day + dayOffset;
        clock = t;
        const std::string latF = kv::NmeaField(line, rmc ? 3 : 2), latH = kv::NmeaField(line, rmc ? 4 : 3);
        const std::string lonF = kv::NmeaField(line, rmc ? 5 : 4), lonH = kv::NmeaField(line, rmc ? 6 : 5);
        const std::string status = kv::NmeaField(line, rmc ? 2 : 6);
        const bool valid = !latF.empty() && !lonF.empty() && (rmc ? status == "A" : !status.empty() && status != "0");
        if (!valid) {
            rules.onFix(t, false, 0, 0);
            Print(list);
            continue;
        }
        const double lat = kv::ParseNmeaLatitude(latF, latH), lon = kv::ParseNmeaLongitude(lonF, lonH);
        state.fixInfo.OwnLat = lat;
        state.fixInfo.OwnLong = lon;
        const double cosLat = std::cos(lat * 3.14159265358979323846 / 180.0);
        // Own motion from the last two fixes, as the program reckons it with one fix averaged.
        if (prevTime && t > *prevTime) {
            const kv::LatLong from { *prevLat, *prevLon }, to { lat, lon };
            state.motion.SOG = kv::PlaneDistance(cosLat, from, to) / ((t - *prevTime) / 3600.0);
            state.motion.COGValue = kv::PlaneBearing(cosLat, from, to);
        }
        prevTime = t;
        prevLat = lat;
        prevLon = lon;
        rules.onFix(t, true, lat, lon);
        // Route following in small: the waypoint steered to, the leg from where it was chosen,
        // advance on arrival.
        std::optional<kv::SteeringTarget> steering;
        std::optional<double> xte;
        if (active < route.size()) {
            const Waypoint& wp = route[active];
            steering = kv::SteeringTarget { wp.name, wp.lat, wp.lonW };
            const kv::LatLong here { lat, lon }, there { wp.lat, wp.lonW };
            const double bearing = kv::PlaneBearing(cosLat, here, there);
            const double range = kv::PlaneDistance(cosLat, here, there);
            if (!legStarted) {
                legBearing = bearing;
                legStarted = true;
            }
            const double x = (legBearing - bearing) * 3.14159265358979323846 / 180.0;
            xte = std::clamp(std::cos(x) > 0 ? range * std::tan(x) : 9.99, -9.99, 9.99);
            if (range < rules.settings.arrivalRadiusNm) {
                ++active;
                if (active < route.size()) {
                    legBearing = kv::PlaneBearing(cosLat, here, kv::LatLong { route[active].lat, route[active].lonW });
                }
            }
        }
        rules.onRoute(t, lat, lon, steering, xte);
        kv::WatchCollisions(state, fakes.platform); // the program judges the targets again at every fix
        rules.onEncounters(t, kv::CurrentEncounters(state.ais, state.fixInfo, state.motion));
        Print(list);
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "alarms",
    "VOYAGE.nmea [--anchor LAT LONW RADIUS_M] [--gps-lost S] [--waypoint NAME LAT LONW]... [--arrival NM] [--xte NM] "
    "[--cpa NM] [--tcpa MIN]: one line per alarm start and end of a replayed voyage",
    &RunAlarms } };

} // namespace
