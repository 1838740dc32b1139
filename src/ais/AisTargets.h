#pragma once
// The target table: updating it from the current message after every "!AIVDM" sentence, track
// points, the new-target announcement, the vessel database look-up and append, the nearest
// target, ageing and clearing.

#include "ais/AisState.h"
#include "ais/AisTarget.h"
#include "platform/Clock.h"

#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/Folders.h"
#include "core/Motion.h"
#include "core/PlaneSailing.h" // range and bearing to targets, longitudes west positive
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/SentenceFix.h"
#include <string>

namespace kv {

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

// Sector of a relative bearing (degrees, any value; folded into 0..360).
std::string AisSectorName(double relativeBearing);

// The table and the own position the nearest target is measured from.
struct AisTableRecords {
    AisState& ais;
    const Fix& fixInfo;
    const ChartReference& chartRef;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    AisTableRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , fixInfo(s.fixInfo)
        , chartRef(s.chartRef)
    {
    }
};

std::string AisDatabasePath(const Folders& folders);
// What the target table's operations read and write: the AIS state, and about the own vessel its
// position, chart reference, course and heading field, the working folder of the vessel database,
// the announcement voice and the track.
struct AisTargetRecords {
    AisState& ais;
    const Fix& fixInfo;
    const ChartReference& chartRef;
    const Motion& motion;
    const SentenceFix& sentenceFix;
    const Folders& folders;
    const Preferences& prefs;
    const QuickLog& quickLog;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    AisTargetRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , fixInfo(s.fixInfo)
        , chartRef(s.chartRef)
        , motion(s.motion)
        , sentenceFix(s.sentenceFix)
        , folders(s.folders)
        , prefs(s.prefs)
        , quickLog(s.quickLog)
    {
    }
};

// Start-up: creates KVAIS.ADB empty when missing and counts its records.
void OpenAisDatabase(AisState& ais, const Folders& folders);

void UpdateAISTargets(AisTargetRecords state, Platform& platform);
// The target nearest to own position (0 with no targets) and its range in nautical miles.
struct NearestTarget {
    int number = 0;
    double range = 99999.0;
};
NearestTarget FindNearestAISTarget(const AisState& ais, const Fix& fix, const ChartReference& ref);
// The same, keeping the range as NearestTargetRange while "AIS Zoom" is on.
int NearestAISTarget(AisTableRecords state);
void AgeAISTargets(AisTableRecords state, double nowDays);
// Asks first; true when the table was emptied.
bool ClearAllTargets(AisTargetRecords state, Platform& platform);
void SayAISSector(AisState& ais, const Folders& folders, Platform& platform, const std::string& name);
// The "AIS Auto Remove" menu: sets the limit and the check marks Never1, After15Mins1, ...
void SetAISAgeChoice(AisState& ais, Display& display, AisAgeChoice choice);
// Empties the table without asking (playback start).
void EmptyTargetTable(AisState& ais);

} // namespace kv
