// Editing a chart and a route through the main window's commands and mouse events. Chart edit
// mode: a small harbour drawn in two line types, two chart waypoints and a ten-line survey grid
// at 45 degrees laid through the "Auto Generate Survey Grid" dialog; saves the dialog as filled
// in, the main window with the result and the Edit menu. A route: three waypoints made by clicks
// and "Add Route Waypoint", "Drag Route Waypoints" ticked and the second waypoint dragged; the
// route's old line is drawn dotted for comparison.

#include "Scenes.h"

#include "app/MainController.h"
#include "app/MenuState.h"
#include "app/ProgramState.h"
#include "charts/ChartEditor.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>

#include <cmath>
#include <cstdio>
#include <vector>

namespace kvshot {

namespace {

constexpr double kMetresPerDegree = 1852.0 * 60.0;

void Mouse(QWidget* image, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, at, image->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(image, &e);
    QApplication::processEvents();
}

} // namespace

bool ChartEditScene(const Folders& folders)
{
    const std::string& work = folders.work;
    const QString& out = folders.out;

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    OpenMainWindow(window, work, 1100, 760);
    const auto command = [&window](const char* name) { window.command(QLatin1String(name))->trigger(); };
    command(kv::ControlName(kv::Control::ChartEdit1));

    // The harbour lies around the cursor; positions are metres north and east of it.
    const double lat0 = state.fixInfo.OwnLat;
    const double lon0 = state.fixInfo.OwnLong;
    const double cosLat = std::cos(lat0 * M_PI / 180.0);
    const auto at = [&](double north, double east) {
        state.fixInfo.OwnLat = lat0 + north / kMetresPerDegree;
        state.fixInfo.OwnLong = lon0 - east / kMetresPerDegree / cosLat; // west positive
    };

    // Zoomed in on the harbour: a few hundred metres across the view.
    kv::ViewSet& views = window.controller().views();
    kv::ChartView& view = views.view(0);
    at(0, 0);
    views.ReCentre(view);
    for (int i = 0; i < 24 && view.zoom < 1000; ++i) {
        views.ZoomInClick(view);
    }

    // The drying edge inside the harbour (line type 1), then the quay and breakwaters (type 0),
    // which the grid then takes as its line type.
    at(120, -220);
    command("LineT1");
    at(120, -120);
    command(kv::ControlName(kv::Control::AddChartPoint1));
    at(40, -220);
    command(kv::ControlName(kv::Control::AddChartPoint1));
    command(kv::ControlName(kv::Control::PenUp1));
    command(kv::ControlName(kv::Control::AddChartPoint1));
    const double quay[][2] = { { -150, -250 }, { 150, -250 }, { 150, 120 }, { 60, 120 } };
    at(quay[0][0], quay[0][1]);
    command("LineT0");
    for (int i = 1; i < 4; ++i) {
        at(quay[i][0], quay[i][1]);
        command(kv::ControlName(kv::Control::AddChartPoint1));
    }
    command(kv::ControlName(kv::Control::PenUp1));
    command(kv::ControlName(kv::Control::AddChartPoint1));
    at(-150, 120);
    command("LineT0");
    at(-150, -20);
    command(kv::ControlName(kv::Control::AddChartPoint1));
    command(kv::ControlName(kv::Control::PenUp1));
    command(kv::ControlName(kv::Control::AddChartPoint1));

    // Two chart waypoints through the waypoint dialog.
    const auto waypoint = [&](double north, double east, const char* label, int symbol) {
        at(north, east);
        window.execDialog = [&](QDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("WPdesc"))->setText(QLatin1String(label));
            auto* shape = d.findChild<QComboBox*>(QStringLiteral("WPShape"));
            const int index
                = shape->findText(QStringLiteral("%1").arg(symbol, 2, 10, QLatin1Char('0')), Qt::MatchStartsWith);
            shape->setCurrentIndex(index);
            emit shape->activated(index);
            d.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
            return d.result();
        };
        command(kv::ControlName(kv::Control::AddChartWaypoint1));
    };
    waypoint(-5, 130, "Entrance light", 5); // light or lighthouse
    waypoint(100, -60, "Anchorage", 22);

    // The grid: ten lines of 150 m, 15 m apart, at 45 degrees, every second one in the next line
    // type, laid from the middle of the harbour.
    bool ok = true;
    at(-40, -40);
    window.execDialog = [&](QDialog& d) {
        d.findChild<QSpinBox*>(QStringLiteral("GLength"))->setValue(150);
        d.findChild<QSpinBox*>(QStringLiteral("GPitch"))->setValue(15);
        d.findChild<QSpinBox*>(QStringLiteral("Gangle"))->setValue(45);
        d.findChild<QSpinBox*>(QStringLiteral("Gnumber"))->setValue(10);
        d.findChild<QCheckBox*>(QStringLiteral("AltLine"))->setChecked(true);
        d.show();
        ok = Save(d, out + QStringLiteral("survey-grid-dialog.png")) && ok;
        return static_cast<int>(QDialog::Accepted);
    };
    command(kv::ControlName(kv::Control::AutoMakeGrid1));
    window.execDialog = [](QDialog& d) { return d.exec(); };

    at(0, 0);
    views.ReCentre(view);
    window.refresh();
    QApplication::processEvents();
    ok = Save(window, out + QStringLiteral("chart-edit-result.png")) && ok;

    // The Edit menu as it opens in edit mode, with its Chart Points submenu open beside it. The
    // two are separate windows: the picture is taken from the screen.
    auto* edit = window.findChild<QMenu*>(QStringLiteral("EditMenu"));
    const QPoint corner = window.mapToGlobal(QPoint(200, 40));
    edit->popup(corner);
    QApplication::processEvents();
    QMenu* points = nullptr;
    for (QAction* a : edit->actions()) {
        if (a->menu() != nullptr && a->objectName() == QLatin1String(kv::ControlName(kv::Control::ChartPoints1))) {
            points = a->menu();
            edit->setActiveAction(a);
            points->popup(edit->mapToGlobal(edit->actionGeometry(a).topRight()));
        }
    }
    QApplication::processEvents();
    QRect area = edit->frameGeometry();
    if (points != nullptr) {
        area = area.united(points->frameGeometry());
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPixmap menus = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!menus.save(out + QStringLiteral("edit-menu.png"))) {
        std::fprintf(stderr, "kvshot: cannot write edit-menu.png\n");
        ok = false;
    }
    edit->hide();
    return ok;
}

bool RouteDragScene(const Folders& folders)
{
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.aboutBox = [] {};
    OpenMainWindow(window, folders.work, 1000, 720);

    kvui::ViewWindow* shown = window.view(0);
    if (shown == nullptr) {
        std::fprintf(stderr, "kvshot: no view\n");
        return false;
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
    for (const QPoint by : { QPoint(-220, 60), QPoint(0, -90), QPoint(220, 40) }) {
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
        std::fprintf(stderr, "kvshot: the route is not in the view\n");
        return false;
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
    const bool ok = Save(
        sub != nullptr ? *sub : *static_cast<QWidget*>(shown), folders.out + QStringLiteral("route-waypoint-drag.png"));
    if (!state.routeEdit.RouteModified) {
        std::fprintf(stderr, "kvshot: the drag left the route as it was\n");
        return false;
    }
    return ok;
}

} // namespace kvshot
