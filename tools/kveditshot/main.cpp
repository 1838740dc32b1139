// kveditshot WORKDIR OUTDIR: pictures of chart editing for the documentation. Starts the main
// window over recording fakes on WORKDIR, switches chart edit mode on, draws a small harbour in
// two line types, adds two chart waypoints and lays a ten-line survey grid at 45 degrees through
// the "Auto Generate Survey Grid" dialog, then saves the Edit menu (edit-menu.png), the dialog
// as filled in (survey-grid-dialog.png) and the main window with the result
// (chart-edit-result.png) in OUTDIR. docs/make_edit_screenshots.sh runs it under Xvfb.

#include "../shotsupport/ShotSupport.h"

#include "app/MainController.h"
#include "app/MenuState.h"
#include "app/ProgramState.h"
#include "charts/ChartEditor.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMetresPerDegree = 1852.0 * 60.0;


} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto folders = kvshot::FolderArguments(argc, argv);
    if (!folders) {
        return 2;
    }
    const std::string& work = folders->work;
    const QString& out = folders->out;

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.start(work, "");
    window.resize(1100, 760);
    window.show();
    window.secsTick(); // the first tick loads the chart
    QApplication::processEvents();
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
    const double quay[][2] = {{-150, -250}, {150, -250}, {150, 120}, {60, 120}};
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
            const int index =
                shape->findText(QStringLiteral("%1").arg(symbol, 2, 10, QLatin1Char('0')), Qt::MatchStartsWith);
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
        ok = kvshot::Save(d, out + QStringLiteral("survey-grid-dialog.png")) && ok;
        return static_cast<int>(QDialog::Accepted);
    };
    command(kv::ControlName(kv::Control::AutoMakeGrid1));
    window.execDialog = [](QDialog& d) { return d.exec(); };

    at(0, 0);
    views.ReCentre(view);
    window.refresh();
    QApplication::processEvents();
    ok = kvshot::Save(window, out + QStringLiteral("chart-edit-result.png")) && ok;

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
        std::fprintf(stderr, "kveditshot: cannot write edit-menu.png\n");
        ok = false;
    }
    edit->hide();
    return ok ? 0 : 1;
}
