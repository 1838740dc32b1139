#include "app/RasterViewerGlue.h"

#include "app/MenuState.h"

namespace kv {

bool RasterViewerGlue::chartPointAllowed() const
{
    return controller_.ChartPointsAllowed();
}

void RasterViewerGlue::addChartPoint(double lat, double lon)
{
    state_.fixInfo.OwnLat = lat;
    state_.fixInfo.OwnLong = lon;
    controller_.editor().AddChartPoint1Click();
}

void RasterViewerGlue::addChartWaypoint(double lat, double lon)
{
    state_.fixInfo.OwnLat = lat;
    state_.fixInfo.OwnLong = lon;
    controller_.editor().AddChartWaypoint1Click();
    controller_.UpdateMenuItems();
}

} // namespace kv
