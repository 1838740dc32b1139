#include "geodesy/ChartDatum.h"

#include <algorithm>

namespace kv {

PositionEdit RemoveChartOffsets(double chartLatOffset, double chartLongOffset)
{
    return [chartLatOffset, chartLongOffset](double& lat, double& lon) {
        lat -= chartLatOffset;
        lon += chartLongOffset;
    };
}

void ChartDatumController::Cht2WGS84Click(ChartOffsetFields& fields)
{
    Prompter& prompter = platform_.prompter;
    if (!prompter.confirm("This will edit the chart! - Are you sure?")) {
        prompter.information("No changes were made.");
        return;
    }
    // The spin fields hold what the user typed; keep it inside their range.
    fields.LatOffs = std::clamp(fields.LatOffs, -kChartOffsetLimit, kChartOffsetLimit);
    fields.LongOffs = std::clamp(fields.LongOffs, -kChartOffsetLimit, kChartOffsetLimit);
    reference_.ChartLatOffset = fields.LatOffs / kChartOffsetUnitsPerDegree;
    reference_.ChartLongOffset = fields.LongOffs / kChartOffsetUnitsPerDegree;

    const PositionEdit edit = RemoveChartOffsets(reference_.ChartLatOffset, reference_.ChartLongOffset);
    if (chartPoints_) {
        chartPoints_(edit);
    }
    if (prompter.confirm("Do you want to process the chart waypoints too?") && chartWaypoints_) {
        chartWaypoints_(edit);
    }

    reference_.ChartLatOffset = 0.0;
    reference_.ChartLongOffset = 0.0;
    fields.LatOffs = 0;
    fields.LongOffs = 0;
    prompter.information("Done - Click OK to redraw chart. Save the chart to update files on disk");
}

} // namespace kv
