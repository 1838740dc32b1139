// kvrouteshot WORKDIR OUTDIR: the picture of a route waypoint dragged with the mouse for the
// manual. Starts the main window over recording fakes on WORKDIR (the demo folder), makes a
// three-waypoint route by clicks and "Add Route Waypoint", ticks "Drag Route Waypoints" and
// drags the second waypoint with mouse events, as a user does;
// the route's old line is drawn dotted for comparison. Saves the view window as
// route-waypoint-drag.png in OUTDIR. docs/make_route_drag_screenshot.sh runs it under Xvfb.

#include "../shotsupport/ShotSupport.h"

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolBar>

#include <cstdio>
#include <vector>

namespace {

void Mouse(QWidget* image, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, at, image->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(image, &e);
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto folders = kvshot::FolderArguments(argc, argv);
    if (!folders) {
        return 2;
    }
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.aboutBox = [] {};
    window.start(folders->work, "");
    window.resize(1000, 720);
    window.show();
    window.secsTick(); // the first tick loads the chart
    QApplication::processEvents();

    kvui::ViewWindow* shown = window.view(0);
    if (shown == nullptr) {
        std::fprintf(stderr, "kvrouteshot: no view\n");
        return 1;
    }
    QWidget* image = shown->image();
    const auto popup = [shown](const char* name) {
        shown->popupMenu()->findChild<QAction*>(QLatin1String(name))->trigger();
        QApplication::processEvents();
    };
    const auto middle = [shown] { return shown->scrollArea()->middlePixel(); };
    for (int i = 0; i < 5; ++i) {
        shown->toolBar()->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    // Three waypoints across the middle of the view, each where it was clicked.
    for (const QPoint by : {QPoint(-220, 60), QPoint(0, -90), QPoint(220, 40)}) {
        const QPoint at = middle() + by;
        Mouse(image, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(image, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        popup("AddRouteWaypoint1");
    }
    window.controller().views().ReCentre(window.controller().views().view(0));
    window.refresh();
    QApplication::processEvents();

    const kv::ChartView& view = window.controller().views().view(0);
    std::vector<QPoint> before;
    for (const kv::RouteWaypoint& w : state.route) {
        if (const auto p = kv::PositionToPixel(view.projection, w.lat, w.lon)) {
            before.emplace_back(p->x, p->y);
        }
    }
    if (before.size() != 3) {
        std::fprintf(stderr, "kvrouteshot: the route is not in the view\n");
        return 1;
    }

    // The second waypoint dragged down and to the right, a few pixels at a time.
    popup("DragRouteWaypoints");
    const QPoint from = before[1];
    const QPoint to = from + QPoint(90, 150);
    Mouse(image, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k <= 10; ++k) {
        Mouse(image, QEvent::MouseMove, from + (to - from) * k / 10, Qt::NoButton, Qt::LeftButton);
    }
    Mouse(image, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    window.refresh();
    QApplication::processEvents();

    // The old legs, dotted, to show where the waypoint came from.
    kv::ChartView& after = window.controller().views().view(0);
    {
        QPainter painter(&after.bitmap);
        painter.setPen(QPen(QColor(200, 0, 0), 1, Qt::DotLine));
        painter.drawLine(before[0], before[1]);
        painter.drawLine(before[1], before[2]);
        painter.drawEllipse(before[1], 4, 4);
    }
    shown->setImage(after.bitmap.copy());
    QApplication::processEvents();

    QWidget* sub = shown->parentWidget();
    const bool ok = kvshot::Save(sub != nullptr ? *sub : *static_cast<QWidget*>(shown),
                                 folders->out + QStringLiteral("route-waypoint-drag.png"));
    std::printf("route modified: %s\n", state.routeEdit.RouteModified ? "yes" : "no");
    return ok ? 0 : 1;
}
