#pragma once
// "->WGS84": folds the chart offsets (the difference between the chart's datum and the receiver's)
// into the stored positions and sets the offsets to zero. The tables it edits are reached through
// PositionTable callbacks so that any owner of positions (the chart store, the chart waypoints) can take part without
// this code knowing its layout. Routes are the user's own and are left as they are.

#include "core/ChartReference.h"
#include "platform/Platform.h"

#include <functional>

namespace kv {

// The preferences' spin fields LatOffs and LongOffs: thousandths of a minute, -10000 … 10000.
struct ChartOffsetFields {
    int LatOffs = 0;
    int LongOffs = 0; // east positive
};
inline constexpr int kChartOffsetLimit = 10000;
inline constexpr const char* kCht2WGS84Hint = "Remove offsets from chart and set values to 0|";
inline constexpr double kChartOffsetUnitsPerDegree = 60000.0;

// One stored position, latitude and west-positive longitude, edited in place.
using PositionEdit = std::function<void(double& lat, double& lon)>;
// A table applies the edit to every position it holds.
using PositionTable = std::function<void(const PositionEdit&)>;

// Chart datum to receiver datum: latitude - ChartLatOffset, longitude + ChartLongOffset.
PositionEdit RemoveChartOffsets(double chartLatOffset, double chartLongOffset);

class ChartDatumController {
public:
    // `reference` holds the chart offsets this clears.
    ChartDatumController(ChartReference& reference, Platform& platform)
        : reference_(reference)
        , platform_(platform)
    {
    }

    // The charts code plugs its tables in here: the points of the loaded chart are always
    // processed, the chart waypoints when the user says so.
    void setChartPoints(PositionTable table) { chartPoints_ = std::move(table); }
    void setChartWaypoints(PositionTable table) { chartWaypoints_ = std::move(table); }

    // The "->WGS84" button of the preferences; edits `fields` as the dialog's spin fields.
    void Cht2WGS84Click(ChartOffsetFields& fields);

private:
    ChartReference& reference_;
    Platform& platform_;
    PositionTable chartPoints_;
    PositionTable chartWaypoints_;
};

} // namespace kv
