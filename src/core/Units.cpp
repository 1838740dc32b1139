#include "core/Units.h"
#include "core/ChartReference.h"

namespace kv {

LatLong ChartDatumFromState(const ChartReference& ref, LatLong state)
{
    return { state.lat + ref.ChartLatOffset, state.lon - ref.ChartLongOffset };
}

LatLong StateFromChartDatum(const ChartReference& ref, LatLong chart)
{
    return { chart.lat - ref.ChartLatOffset, chart.lon + ref.ChartLongOffset };
}

double DistanceInDisplayUnits(const UnitSettings& units, double nauticalMiles)
{
    return nauticalMiles * units.UnitFactor;
}

double SpeedInDisplayUnits(const UnitSettings& units, const UnitPreferences& prefs, double knots)
{
    return prefs.KnotsAlways ? knots : knots * units.UnitFactor;
}

std::string DistanceUnitLabel(const UnitSettings& units)
{
    const double f = units.UnitFactor;
    std::string label = "Nm ";
    if (f < 1.1) {
        label = "Nm ";
    }
    if (f > 1.2) {
        label = "Km ";
    }
    if (f > 1.0 && f < 1.8) {
        label = "Mls";
    }
    return label;
}

std::string SpeedUnitLabel(const UnitSettings& units, const UnitPreferences& prefs)
{
    const double f = units.UnitFactor;
    std::string label = " Kn";
    if (f < 1.1) {
        label = " Kn";
    }
    if (f > 1.2) {
        label = " Kph";
    }
    if (f > 1.0 && f < 1.8) {
        label = " Mph";
    }
    if (prefs.KnotsAlways) {
        label = " Kn";
    }
    return label;
}

void RestartTrack(FixCycleState& cycle, Motion& motion)
{
    cycle.LogEmpty = true;
    cycle.DropIndex = 2;
    cycle.DropCounter = 0;
    motion.TripDistance = 0.0;
    motion.LastLegDistance = 0.0;
}

} // namespace kv
