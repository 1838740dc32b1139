#pragma once
// The raster image viewer's way into the chart editor: a click on a referenced image becomes the
// shared cursor position and then a chart point or a chart waypoint, under the same conditions
// as the main window's own commands.

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "raster/RasterViewer.h"

namespace kv {

class RasterViewerGlue final : public raster::RasterHooks {
public:
    RasterViewerGlue(ProgramState& state, MainController& controller)
        : state_(state)
        , controller_(controller)
    {
    }

    bool chartPointAllowed() const override;
    bool penUp() const override { return state_.app.PenUp; }
    void addChartPoint(double lat, double lon) override;
    void addChartWaypoint(double lat, double lon) override;

private:
    ProgramState& state_;
    MainController& controller_;
};

} // namespace kv
