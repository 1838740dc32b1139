// The anchor watch in the Navigation menu and the alarm bar above the chart views.

#include "app/MainController.h"
#include "ui/AlarmBar.h"
#include "ui/MainWindow.h"

#include <QMenu>

namespace kvui {

void MainWindow::buildAnchorCommands(QMenu* nav)
{
    kv::MainController& c = *controller_;
    nav->addSeparator();
    // Own ship's last fix, or the point last clicked in a view.
    addCommand(nav, "DropAnchor1", QStringLiteral("Drop Anchor"),
        "Drop Anchor|Watch the anchor from own ship's position", [&c] { c.DropAnchor(false); });
    addCommand(nav, "DropAnchorCursor1", QStringLiteral("Drop Anchor at Cursor"),
        "Drop Anchor at Cursor|Watch the anchor from the cursor position", [&c] { c.DropAnchor(true); });
    addCommand(nav, "WeighAnchor1", QStringLiteral("Weigh Anchor"), "Weigh Anchor|End the anchor watch",
        [&c] { c.WeighAnchor(); });
}

QWidget* MainWindow::buildAlarmBar()
{
    alarmBar_ = new AlarmBar(this);
    alarmBar_->acknowledge = [this](int id) { run([this, id] { controller_->alarms().Acknowledge(id); }); };
    return alarmBar_;
}

} // namespace kvui
