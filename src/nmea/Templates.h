#pragma once
// The "@" field templates: autopilot sentences (ExpandSentence) and every other composed text
// (ExpandTemplate), the NMEA checksum, the per-fix output sentences and the waypoint list
// transfer.

#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/SentenceFix.h"
#include "core/Settings.h"
#include "core/TextLogState.h"
#include "platform/Clock.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The route-following texts the navigation computation formats at each fix. The fix cycle fills
// this from its results; RouteTextsFromState derives the same texts from the state's values for
// callers that have no computation of their own at hand (tools, tests).
struct RouteTexts {
    std::string ArrivalFlagText = ",A"; // ",A" or ",V"
    std::string RangeText; // "3.8570 Nm "
    std::string TimeToWaypointText; // "12 Hr 30.0 Min" or "********"
    std::string VMGText; // "5.25 Kn" or "********" or "Speed<Tide! "
    std::string SOGText; // "5.25"
    std::string XTEText; // "0.25,L,"
    std::string PreviousWaypointName; // the waypoint just passed
    double CourseToSteerValue = 0.0; // unrounded course to steer, degrees true
};
RouteTexts RouteTextsFromState(
    const RouteProgress& progress, const Motion& motion, const UnitSettings& units, const UnitPreferences& unitPrefs);

// Values that other parts of the program own (chart views, the chart editor's measuring tool,
// the raster image viewer). An unset source inserts an empty text.
struct TemplateSources {
    // Tow point in chart datum, and the coordinate texts of the tow, port and starboard offset
    // points as the chart view shows them.
    std::function<std::optional<LatLong>()> towPosition;
    std::function<std::pair<std::string, std::string>()> towPointTexts;
    std::function<std::pair<std::string, std::string>()> portPointTexts;
    std::function<std::pair<std::string, std::string>()> starboardPointTexts;
    // The measuring tool's result while measuring is on, "" otherwise.
    std::function<std::string()> measureText;
    // The last cursor position text of the raster image viewer.
    std::function<std::string()> rasterCursorText;
};

// The program's records an "@" code can print: the fix and the parsed sentence, the chart
// offsets, speed and course, the route progress, the text-log counters, the track and the route.
struct TemplateRecords {
    const Fix& fixInfo;
    const SentenceFix& sentenceFix;
    const ChartReference& chartRef;
    const Motion& motion;
    const RouteProgress& routeProgress;
    const TextLogState& textLog;
    const QuickLog& quickLog;
    const RouteTable& route;
};

// Everything a template reads. `towCopy` is the tow position the sentence expander last copied,
// which the text expander prints; it lives with the caller so that it persists between calls.
struct TemplateContext : TemplateRecords {
    LocalDateTime now;
    RouteTexts texts;
    const TemplateSources* sources = nullptr;
    std::optional<LatLong>* towCopy = nullptr;
    // Stands in for the active route entry (used to send chart waypoints without touching the
    // route table).
    const RouteWaypoint* activeOverride = nullptr;
};

std::string ExpandSentence(std::string_view tmpl, const TemplateContext& ctx);
std::string ExpandTemplate(std::string_view tmpl, const TemplateContext& ctx);

// "*" and two upper-case hexadecimal digits of the exclusive-or of the characters from position
// `start` (1-based) to the end of `text`.
std::string NMEAChecksum(std::string_view text, std::size_t start = 2);

// A waypoint's identifier in every sentence that names it (the "@w" and "@<" codes, "$ECWPL",
// and so APB, BOD, BWR and RMB alike): the name upper-cased, cut to its first 6 characters,
// trailing blanks and "@" removed, then every blank, ".", "'" and every character a sentence
// cannot carry (the NMEA delimiters, "|", anything outside printable ASCII) turned into "-".
std::string WaypointIdentifier(std::string_view name);
// The identifiers of a list of waypoints, unique within it: when two names give the same text,
// the later ones end in a number ("NEEDLE", "NEEDL2", "NEEDL3"); an empty name is "WP" and its
// place in the list.
std::vector<std::string> WaypointIdentifiers(const std::vector<std::string>& names);
// The identifier of route waypoint `index` (1-based) among the route's identifiers; "" outside it.
std::string RouteWaypointIdentifier(const RouteTable& route, int index);

// The autopilot sentences of one fix into link.OutputText (empty when none are due: the
// interface closed, no active waypoint, output off).
void BuildOutputSentences(
    NmeaLink& link, const NmeaSettings& settings, const NmeaPreferences& prefs, const TemplateContext& ctx);

// The template records of the program state or of a wider bundle, by member name.
template <class S> TemplateRecords TemplateRecordsOf(const S& s)
{
    return TemplateRecords { s.fixInfo, s.sentenceFix, s.chartRef, s.motion, s.routeProgress, s.textLog, s.quickLog,
        s.route };
}

// The context of the records as they stand (clock read now).
TemplateContext MakeTemplateContext(const TemplateRecords& records, const Clock& clock, RouteTexts texts = {},
    const TemplateSources* sources = nullptr, std::optional<LatLong>* towCopy = nullptr);

} // namespace kv
