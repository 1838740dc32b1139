#pragma once
// The rows of the AIS target list window: one row per target with its name, class, range,
// bearing, speed, course, closest approach and age, sortable by any column. Dangerous targets
// (collision warnings on) always come first whatever the sort. Pure: the window only shows the
// texts this builds.

#include "ais/AisCollision.h"
#include "ais/AisSmallCraftTargets.h"
#include "ais/AisState.h"
#include "core/ChartReference.h"
#include "core/ExtraSettings.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "core/Settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// What the list reads: the targets, the warning limits, the own vessel's position, motion and
// chart factor, and the display unit.
struct TargetListRecords {
    const AisState& ais;
    const ExtraSettings& extra;
    const Fix& fixInfo;
    const Motion& motion;
    const ChartReference& chartRef;
    const UnitSettings& units;

    template <class S>
    TargetListRecords(
        const S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : ais(s.ais)
        , extra(s.extra)
        , fixInfo(s.fixInfo)
        , motion(s.motion)
        , chartRef(s.chartRef)
        , units(s.settings.units)
    {
    }
};

enum class TargetListColumn { Name, Class, Range, Bearing, SOG, COG, CPA, TCPA, Age };
inline constexpr int kTargetListColumns = 9;

struct TargetListRow {
    int slot = 0; // the target's number in the table (1-based)
    std::uint32_t mmsi = 0;
    std::string name; // vessel or aid name, else the MMSI
    AisTargetClass cls = AisTargetClass::ClassA;
    double range = 0; // in the display unit
    double bearing = 0; // degrees true
    std::optional<double> sog; // knots; none when not available
    std::optional<double> cog; // degrees; none when not available
    std::optional<CpaResult> cpa; // moving targets with a known motion only
    bool dangerous = false; // collision warnings on and inside the limits
    double ageSeconds = 0;
    double cpaShown = 0; // the closest approach in the display unit, as the range
};

// The rows in table order. `nowDays` is the local time the ages are counted to.
std::vector<TargetListRow> BuildTargetRows(TargetListRecords state, double nowDays);

// Sorts by `column`; dangerous rows first, rows without the value last, ties in table order.
void SortTargetRows(std::vector<TargetListRow>& rows, TargetListColumn column, bool ascending);

std::string TargetListHeader(TargetListColumn column, const UnitSettings& units);
std::string TargetListCell(const TargetListRow& row, TargetListColumn column);
std::string TargetClassText(AisTargetClass cls);
// A target's name as the list and the status line show it: without the "@" padding and trailing
// blanks, its MMSI when it has no name yet.
std::string TargetDisplayName(const TAISTarget& t);

// The row of the target with this MMSI, or -1.
int FindTargetRow(const std::vector<TargetListRow>& rows, std::uint32_t mmsi);

} // namespace kv
