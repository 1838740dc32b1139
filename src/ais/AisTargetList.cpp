#include "ais/AisTargetList.h"

#include "ais/AisTargets.h"
#include "core/Format.h"
#include "core/Units.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

bool IsAid(AisTargetClass cls)
{
    return cls == AisTargetClass::AidToNavigation || cls == AisTargetClass::VirtualAidToNavigation;
}

// The value a column sorts by; none sorts last.
std::optional<double> SortValue(const TargetListRow& r, TargetListColumn column)
{
    switch (column) {
    case TargetListColumn::Class:
        return static_cast<double>(r.cls);
    case TargetListColumn::Range:
        return r.range;
    case TargetListColumn::Bearing:
        return r.bearing;
    case TargetListColumn::SOG:
        return r.sog;
    case TargetListColumn::COG:
        return r.cog;
    case TargetListColumn::CPA:
        return r.cpa ? std::optional<double>(r.cpa->cpaNm) : std::nullopt;
    case TargetListColumn::TCPA:
        return r.cpa ? std::optional<double>(r.cpa->tcpaMin) : std::nullopt;
    case TargetListColumn::Age:
        return r.ageSeconds;
    case TargetListColumn::Name:
        break;
    }
    return std::nullopt;
}

} // namespace

std::string TargetDisplayName(const TAISTarget& t)
{
    std::string name;
    for (const char c : t.VesselName.view()) {
        if (c != '@') {
            name += c;
        }
    }
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name.empty() ? std::to_string(t.MMSI) : name;
}

std::vector<TargetListRow> BuildTargetRows(TargetListRecords state, double nowDays)
{
    const AisState& ais = state.ais;
    const VesselMotion own { state.fixInfo.OwnLat, state.fixInfo.OwnLong, state.motion.SOG, state.motion.COGValue };
    std::vector<TargetListRow> rows;
    rows.reserve(static_cast<std::size_t>(ais.targets.count()));
    for (int n = 1; n <= ais.targets.count(); ++n) {
        const TAISTarget& t = ais.targets[n];
        TargetListRow row;
        row.slot = n;
        row.mmsi = t.MMSI;
        row.name = TargetDisplayName(t);
        row.cls = TargetClass(t);

        // Range and bearing to the newest track point, as the target text gives them.
        const LatLong pos = AisLatestPosition(t);
        const double cosLat = state.chartRef.CosLatFactor;
        row.range = PlaneSailingDistance(cosLat, own.lat, own.lonW, pos.lat, pos.lon) * state.units.UnitFactor;
        row.bearing = PlaneSailingBearing(cosLat, own.lat, own.lonW, pos.lat, pos.lon);

        if (!IsAid(row.cls)) {
            if (t.SOG < 1023) {
                row.sog = t.SOG / 10.0;
            }
            if (t.COG < 3600) {
                row.cog = t.COG / 10.0;
            }
            // Only a target under way with a known course gets a closest approach, the same
            // targets the collision watch judges.
            if (row.sog && row.cog && t.SOG != 0 && PositionKnown(t)) {
                const LatLong at = AisPosition(t);
                const VesselMotion target { at.lat, at.lon, *row.sog, *row.cog };
                row.cpa = ComputeCpa(own, target);
                row.cpaShown = row.cpa->cpaNm * state.units.UnitFactor;
                row.dangerous = state.extra.CollisionWarnings
                    && IsDangerous(*row.cpa, state.extra.CpaLimitNm, state.extra.TcpaLimitMin);
            }
        }
        const double age = (nowDays - t.LastHeard) * 86400.0;
        row.ageSeconds = std::isfinite(age) && age > 0 ? age : 0; // a clock gone back shows no age
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortTargetRows(std::vector<TargetListRow>& rows, TargetListColumn column, bool ascending)
{
    std::stable_sort(rows.begin(), rows.end(), [&](const TargetListRow& a, const TargetListRow& b) {
        if (a.dangerous != b.dangerous) {
            return a.dangerous;
        }
        if (column == TargetListColumn::Name) {
            if (a.name == b.name) {
                return a.slot < b.slot;
            }
            return ascending ? a.name < b.name : b.name < a.name;
        }
        const auto va = SortValue(a, column);
        const auto vb = SortValue(b, column);
        if (va.has_value() != vb.has_value()) {
            return va.has_value();
        }
        if (!va || *va == *vb) {
            return a.slot < b.slot;
        }
        return ascending ? *va < *vb : *vb < *va;
    });
}

std::string TargetClassText(AisTargetClass cls)
{
    switch (cls) {
    case AisTargetClass::ClassA:
        return "A";
    case AisTargetClass::ClassB:
        return "B";
    case AisTargetClass::AidToNavigation:
        return "AtoN";
    case AisTargetClass::VirtualAidToNavigation:
        return "AtoN (virtual)";
    }
    return "";
}

namespace {
// The distance unit of the range and CPA columns: the one every distance of the program shows.
std::string TrimmedUnitLabel(const UnitSettings& units)
{
    std::string label = DistanceUnitLabel(units);
    while (!label.empty() && label.back() == ' ') {
        label.pop_back();
    }
    return label;
}
} // namespace

std::string TargetListHeader(TargetListColumn column, const UnitSettings& units)
{
    switch (column) {
    case TargetListColumn::Name:
        return "Name / MMSI";
    case TargetListColumn::Class:
        return "Class";
    case TargetListColumn::Range:
        return "Range " + TrimmedUnitLabel(units);
    case TargetListColumn::Bearing:
        return "Bearing \xb0T";
    case TargetListColumn::SOG:
        return "SOG Kn";
    case TargetListColumn::COG:
        return "COG \xb0T";
    case TargetListColumn::CPA:
        return "CPA " + TrimmedUnitLabel(units);
    case TargetListColumn::TCPA:
        return "TCPA Min";
    case TargetListColumn::Age:
        return "Age";
    }
    return "";
}

std::string TargetListCell(const TargetListRow& row, TargetListColumn column)
{
    switch (column) {
    case TargetListColumn::Name:
        return row.name;
    case TargetListColumn::Class:
        return TargetClassText(row.cls);
    case TargetListColumn::Range:
        return FormatFixed(row.range, 0, 2);
    case TargetListColumn::Bearing:
        return ZeroFill(FormatFixed(row.bearing, 5, 1));
    case TargetListColumn::SOG:
        return row.sog ? FormatFixed(*row.sog, 0, 1) : "-";
    case TargetListColumn::COG:
        return row.cog ? ZeroFill(FormatFixed(*row.cog, 5, 1)) : "-";
    case TargetListColumn::CPA:
        return row.cpa ? FormatFixed(row.cpaShown, 0, 2) : "-";
    case TargetListColumn::TCPA:
        return row.cpa ? FormatFixed(row.cpa->tcpaMin, 0, 1) : "-";
    case TargetListColumn::Age: {
        const long long s = std::llround(row.ageSeconds);
        return std::to_string(s / 60) + ":" + ZeroFill(FormatInt(s % 60, 2));
    }
    }
    return "";
}

int FindTargetRow(const std::vector<TargetListRow>& rows, std::uint32_t mmsi)
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].mmsi == mmsi) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace kv
