// The window's commands that reach into the subsystems and then bring the rest of the window up to
// date: each operation here does the subsystems' work, redraws or re-centres the views as the
// command needs, and sets the command enabling again, so that a menu item or a button only
// forwards. What a command empties across subsystems (closing the last view, removing
// everything) is decided here too; the subsystems only say whether the user agreed.

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargets.h"
#include "app/EditUndo.h"
#include "app/MainController.h"
#include "views/EditRefresh.h"
#include "views/RouteMouse.h"
#include "views/ViewAis.h"

namespace kv {

bool MainController::CloseView(int index)
{
    bool closed = false;
    if (index >= 0 && index < views_->count()) {
        closed = views_->CloseView(index);
        if (closed && views_->count() == 0) {
            ForgetViewData();
        }
    }
    if (views_->count() == 0) {
        state_.chart.setCount(0);
    }
    UpdateMenuItems();
    return closed;
}

void MainController::ForgetViewData()
{
    Display& d = state_.display;
    d.ClearNavDisplay();
    d.WPNameItems.clear();
    d.WPNameIndex = -1;
    state_.route.clear();
    state_.routeProgress.RouteLength = 0;
    ChartStore& store = state_.chart;
    store.clear(); // count 0, every slot a pen-up, layer marker "**********"
    store.ReservedInteger = 0;
    store.ChartName.clear();
    store.ConfigName.clear();
    state_.waypoints.clear();
}

void MainController::PurgeAllClick()
{
    if (!charts_->PurgeAll()) {
        return;
    }
    // Everything else the charts were drawn with goes too: the track and the trip, the route and
    // its progress, and dead reckoning, which has no route left to run along.
    state_.quickLog.clear();
    state_.motion.TripDistance = 0.0;
    state_.motion.LastLegDistance = 0.0;
    state_.cycleState.LogEmpty = true;
    state_.display.Trip = "0.00 Nm";
    state_.route.clear();
    state_.routeProgress.RouteLength = 0;
    state_.routeProgress.ActiveWaypoint = 0;
    state_.routeProgress.LegWaypoint = 0;
    state_.routeProgress.LegOrigin = 0;
    state_.settings.fix.DRMode = false;
    state_.display.checked[Control::DRMode1] = false;
    state_.display.enabled[Control::DRMode1] = false;
    state_.display.WPNameItems.clear();
    state_.display.WPNameIndex = -1;
    removeSurveyTrack();
    RefreshViews();
    UpdateMenuItems();
}

void MainController::Logs1Click(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    logs_->Logs1Click(path);
    RefreshViews();
    UpdateMenuItems();
}

void MainController::Tides1Click(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    tides_->Tides1Click(path);
    UpdateMenuItems();
    RedrawViews();
}

void MainController::Log1Click()
{
    logs_->Log1Click();
    RefreshViews();
    UpdateMenuItems();
}

void MainController::Route1Click()
{
    routes_->Route1Click();
    UpdateMenuItems();
}

void MainController::Tides2Click()
{
    tides_->Tides2Click();
    UpdateMenuItems();
    RedrawViews();
}

void MainController::Layers1Click()
{
    charts_->LoadLayers();
    RedrawViews();
}

void MainController::Find_AntennaClick()
{
    fix_->Find_Antenna();
    RefreshViews();
}

void MainController::IncTideClick()
{
    tides_->IncTideClick();
    RedrawViews();
}

void MainController::NMEAServerOnOffClick()
{
    nmea_->NMEAServerOnOffClick();
    UpdateMenuItems();
}

void MainController::AISMonitorClick()
{
    ais_->AISMonitorClick();
    UpdateMenuItems();
}

void MainController::TxtLogOnOffClick(bool pressed)
{
    logs_->TxtLogOnOffClick(pressed);
    UpdateMenuItems();
}

void MainController::PlayAISlogClick(const std::function<std::optional<std::string>()>& chooseFile)
{
    ais_->PlayAISlogClick(chooseFile);
    UpdateMenuItems();
}

void MainController::ClearAllTargets1Click(ChartView& v)
{
    if (ClearAllTargets(state_, platform_)) {
        WatchCollisions(state_, platform_); // the note of a target now gone goes with it
        views_->Redraw(v);
    }
}

void MainController::DropAnchor(bool atCursor)
{
    alarms_->DropAnchor(atCursor);
    RedrawViews();
}

void MainController::WeighAnchor()
{
    alarms_->WeighAnchor();
    RedrawViews();
}

void MainController::SelectTarget(int slot)
{
    SelectListTarget(*views_, slot);
    RedrawViews();
}

void MainController::ShowTarget(int slot)
{
    ChartView* v = views_->aisView();
    const AisTargetTable& targets = state_.ais.targets;
    if (v != nullptr && targets.valid(slot) && PositionKnown(targets[slot])) {
        CentreOnTarget(*views_, *v, slot); // selects it, centres the AIS view on it and draws
    } else {
        // Nowhere to centre: chosen all the same, and the mark of the target chosen before loses
        // its highlight now rather than at the next refresh.
        SelectTarget(slot);
    }
}

void MainController::RouteCommand(ChartView& v, const std::function<void()>& command)
{
    undo_->routeEdit([this, &command] { AtRouteCommandPosition(views_->state(), command); });
    views_->CommonTail(v);
    state_.routeEdit.RouteListChanged = true;
}

void MainController::MoveDraggedWaypoint(int index, double lat, double lon, const RouteSnapshot& before)
{
    routes_->MoveRouteWaypoint(index, lat, lon);
    undo_->recordRoute(before);
    for (int i = 0; i < views_->count(); ++i) {
        RedrawInPlace(*views_, views_->view(i));
    }
}

void MainController::Undo1Click()
{
    if (!undo_->Undo()) {
        platform_.prompter.beep(Beep::Default);
    }
}

void MainController::Redo1Click()
{
    if (!undo_->Redo()) {
        platform_.prompter.beep(Beep::Default);
    }
}

} // namespace kv
