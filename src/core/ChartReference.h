#pragma once
// How the chart in use relates to the receiver's datum, and its scale factor. Owner: charts (the
// chart configuration) and geodesy (the datum commands); the configuration reader sets them at
// start. Read by every conversion between receiver and chart positions.

#include "core/LatLong.h"

namespace kv {

struct ChartReference {
    double ChartLatOffset = 0.0; // degrees added to a receiver latitude
    double ChartLongOffset = 0.0; // degrees subtracted from a receiver longitude
    double CosLatFactor = 1.0; // cosine of the chart's reference latitude
};

// Chart datum = (lat + ChartLatOffset, long - ChartLongOffset); the quick log holds receiver datum.
LatLong ChartDatumFromState(const ChartReference& ref, LatLong state);
LatLong StateFromChartDatum(const ChartReference& ref, LatLong chart);

} // namespace kv
