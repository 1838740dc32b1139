// The pop-up of a target clicked in the AIS view, wired to the view set and the target window.

#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/TargetPopup.h"
#include "ui/ViewWindow.h"

#include "views/AisTargetPopup.h"
#include "views/ViewAis.h"

namespace kvui {

bool MainWindow::openTargetPopup(ViewWindow* w, int x, int y)
{
    const int index = indexOf(w);
    kv::ViewSet& set = controller_->views();
    if (index < 0 || index >= set.count()) {
        return false;
    }
    const int n = kv::TargetAtPixel(set.view(index), state_, x, y);
    if (n == 0) {
        return false;
    }
    auto* popup = w->findChild<TargetPopup*>();
    if (!popup) {
        popup = new TargetPopup(w);
        popup->followed = [this, w, &set](int target) {
            onView(w, [&set, target](kv::ChartView& v) { kv::FollowTargetClick(set, v, target); });
        };
        popup->detailed = [this, &set](int target) {
            run([this, target] { controller_->SelectTarget(target); });
            aisWindow_->show();
            aisWindow_->refresh();
        };
    }
    // Beside the mark, clear of it and of its label's own place.
    popup->showTarget(n, kv::TargetPopupLines(state_, n), w->image()->mapToGlobal(QPoint(x + 12, y + 12)));
    return true;
}

} // namespace kvui
