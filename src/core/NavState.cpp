#include "core/NavState.h"

namespace kv {

LatLong ChartDatumFromState(const NavState& nav, LatLong state)
{
    return {state.lat + nav.ChartLatOffset, state.lon - nav.ChartLongOffset};
}

LatLong StateFromChartDatum(const NavState& nav, LatLong chart)
{
    return {chart.lat - nav.ChartLatOffset, chart.lon + nav.ChartLongOffset};
}

double DistanceInDisplayUnits(const NavState& nav, double nauticalMiles)
{
    return nauticalMiles * nav.UnitFactor;
}

double SpeedInDisplayUnits(const NavState& nav, double knots)
{
    return nav.KnotsAlways ? knots : knots * nav.UnitFactor;
}

std::string DistanceUnitLabel(const NavState& nav)
{
    const double f = nav.UnitFactor;
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

std::string SpeedUnitLabel(const NavState& nav)
{
    const double f = nav.UnitFactor;
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
    if (nav.KnotsAlways) {
        label = " Kn";
    }
    return label;
}

void RestartTrack(NavState& nav)
{
    nav.LogEmpty = true;
    nav.DropIndex = 2;
    nav.DropCounter = 0;
    nav.TripDistance = 0.0;
    nav.LastLegDistance = 0.0;
}

} // namespace kv
