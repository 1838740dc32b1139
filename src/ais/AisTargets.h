#pragma once
// The target table: updating it from the current message after every "!AIVDM" sentence, track
// points, the new-target announcement, the vessel database look-up and append, the nearest
// target, ageing and clearing.

#include "ais/AisState.h"
#include "ais/AisTarget.h"
#include "platform/Clock.h"

#include <string>

namespace kv {

struct ProgramState;
struct Platform;
struct Display;
struct ChartReference;
struct Fix;
struct Folders;

// Local date and time as days since 30 December 1899 (fraction = time of day).
double DaysFromDateTime(const LocalDateTime& t);
// The inverse, for texts.
LocalDateTime DateTimeFromDays(double days);

// Room for one more point: the count grows up to 40, then the oldest point is dropped.
void AddTargetTrackPoint(TAISTarget& t);
// Adds (lat, lon) (degrees, east positive) unless it equals the newest point exactly.
bool AddTrackPosition(TAISTarget& t, double lat, double lon);
// The position of a record's Latitude/Longitude fields in degrees (east positive).
double AisLatDegrees(const TAISTarget& t);
double AisLonDegrees(const TAISTarget& t);

// Plane sailing as the route computations do it; longitudes WEST positive.
double PlaneSailingRange(double lat1, double lon1, double lat2, double lon2, double cosLat);
double PlaneSailingBearing(double latA, double lonA, double latB, double lonB, double cosLat);

// Sector of a relative bearing (degrees, any value; folded into 0..360).
std::string AisSectorName(double relativeBearing);

std::string AisDatabasePath(const Folders& folders);
// Start-up: creates KVAIS.ADB empty when missing and counts its records.
void OpenAisDatabase(ProgramState& state);

void UpdateAISTargets(ProgramState& state, Platform& platform);
// The target nearest to own position (0 with no targets) and its range in nautical miles.
struct NearestTarget {
    int number = 0;
    double range = 99999.0;
};
NearestTarget FindNearestAISTarget(const AisState& ais, const Fix& fix, const ChartReference& ref);
// The same, keeping the range as NearestTargetRange while "AIS Zoom" is on.
int NearestAISTarget(ProgramState& state);
void AgeAISTargets(ProgramState& state, double nowDays);
// Asks first; true when the table was emptied.
bool ClearAllTargets(ProgramState& state, Platform& platform);
void SayAISSector(ProgramState& state, Platform& platform, const std::string& name);
// The "AIS Auto Remove" menu: sets the limit and the check marks Never1, After15Mins1, ...
void SetAISAgeChoice(AisState& ais, Display& display, AisAgeChoice choice);
// Empties the table without asking (playback start).
void EmptyTargetTable(AisState& ais);

} // namespace kv
