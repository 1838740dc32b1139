// The main window's menus, tool bar, navigation panel and status bar, each command wired to its
// operation.

#include "app/DataPlot.h"
#include "app/HelpTopics.h"
#include "app/MenuState.h"
#include "app/WaypointSend.h"
#include "charts/WaypointFiles.h"
#include "nmea/WaypointTransfer.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/ClickLabel.h"
#include "ui/HelpWindow.h"
#include "ui/InstrumentStrip.h"
#include "ui/MainWindow.h"
#include "ui/RasterViewerWindow.h"
#include "ui/UiText.h"
#include "views/NightPalette.h"
#include "views/Render.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace kvui {

namespace {
std::string Path(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}
QString QPath(const std::string& path)
{
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}
// The remark as typed, with the document's CR LF line ends.
std::string RemarkEditorText(const QPlainTextEdit* editor)
{
    return editor->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toLatin1().toStdString();
}
} // namespace

void MainWindow::buildMenus()
{
    QMenu* file = buildFileMenu();
    QMenu* charts = buildChartsMenu();
    QMenu* routes = buildRoutesMenu();
    buildGpxCommands(file, charts, routes);
    buildNavigationMenu();
    buildNmeaMenu();
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    addCommand(
        edit, kv::ControlName(kv::Control::DOSWPTformat), QStringLiteral("DOS &WPT format"),
        "Also save waypoint database in DOS format", [this] { kv::DOSWPTformatClick(state_.prefs); }, {}, true);
    buildEditMenu(edit);
    buildToolsMenu();
    buildOptionsMenu();
    buildWindowMenu();
    buildHelpMenu();
}

QMenu* MainWindow::buildFileMenu()
{
    kv::MainController& c = *controller_;
    kv::AppState& app = state_.app;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QMenu* openMenu = file->addMenu(QStringLiteral("&Open File"));
    openMenu->menuAction()->setObjectName(QStringLiteral("File1"));
    commands_[QStringLiteral("File1")] = openMenu->menuAction();
    addCommand(openMenu, "Charts1", QStringLiteral("&Charts"), "Open Chart|", [this, &c, &app] {
        const QString path = openFile(QStringLiteral("Open a chart file"),
            QStringLiteral("KV Chart files (*.cht);;KV Layer Files (*.00?)"), QPath(app.ChartDialogDir),
            QStringLiteral("cht"));
        c.charts().OpenChart(Path(path));
    });
    addCommand(openMenu, "Logs1", QStringLiteral("&Logs"), "", [this, &c, &app] {
        const QString path = openFile(QStringLiteral("Open a log file"),
            QStringLiteral("Log Files (*.log);;All files (*)"), QPath(app.LogDialogDir), QStringLiteral("log"));
        c.Logs1Click(Path(path));
    });
    addCommand(openMenu, "Routes1", QStringLiteral("&Routes"), "", [this, &c, &app] {
        const QString path = openFile(QStringLiteral("Open a route file"),
            QStringLiteral("Route Files (*.rte);;Kelv DOS Route Files (*.prn)"), QPath(app.RouteDialogDir),
            QStringLiteral("rte"));
        c.routes().Routes1Click(Path(path));
    });
    addCommand(openMenu, "Tides1", QStringLiteral("&Tides"), "Tidal Atlas files", [this, &c, &app] {
        const QString path = openFile(QStringLiteral("Open Tidal Atlas"),
            QStringLiteral("KV Tide files (*.pos);;All files (*.*)"), QPath(app.TideDialogDir), QStringLiteral("pos"));
        c.Tides1Click(Path(path));
    });
    file->addSeparator();
    addCommand(file, "FileNewItem", QStringLiteral("&New View"), "New View|Open a new chart view",
        [&c] { c.FileNewItemClick(); });
    addCommand(file, "FileCloseItem", QStringLiteral("&Close View"), "", [&c] { c.FileCloseItemClick(); });
    file->addSeparator();
    addCommand(file, "SaveChartAs1", QStringLiteral("Save Chart &As..."), "", [this, &c] {
        c.charts().SaveChartAsClick([this](const std::string& suggested) -> std::optional<std::string> {
            QStringList filters { QStringLiteral("Chart Files (*.cht)") };
            for (int i = 0; i <= 9; ++i) {
                filters << QStringLiteral("Layer Files 00%1 (*.00%1)").arg(i);
            }
            const QString path
                = saveFile(QStringLiteral("Save current chart as..."), filters.join(QStringLiteral(";;")),
                    QPath(state_.app.ChartDialogDir), QStringLiteral("cht"), QPath(suggested));
            if (path.isEmpty()) {
                return std::nullopt;
            }
            return Path(path);
        });
    });
    addCommand(file, "SaveLogAs1", QStringLiteral("Save &Log As..."), "", [this, &c, &app] {
        const QString path = saveFile(QStringLiteral("Save log as..."), QStringLiteral("Log Files (*.log)"),
            QPath(app.LogDialogDir), QStringLiteral("log"));
        if (!path.isEmpty()) {
            c.logs().SaveLogAs1Click(Path(path));
        }
    });
    addCommand(file, "SaveRouteAs1", QStringLiteral("Save &Route As..."), "", [this] { saveRouteAs(); });
    addCommand(
        file, "ChartAppendMode", QStringLiteral("Chart &Append"), "", [&c] { c.charts().ChartAppendModeClick(); }, {},
        true);
    QMenu* purge = file->addMenu(QStringLiteral("&Purge"));
    purge->menuAction()->setObjectName(QStringLiteral("Purge1"));
    addCommand(purge, "PurgeChart1", QStringLiteral("&Chart"), "Remove Chart", [&c] { c.charts().PurgeChart(); });
    addCommand(purge, "PurgeLayers1", QStringLiteral("La&yers"), "Remove Layers", [&c] { c.charts().PurgeLayers(); });
    addCommand(purge, "All1", QStringLiteral("&All"), "Remove Everything", [&c] { c.PurgeAllClick(); });
    addCommand(purge, "Log1", QStringLiteral("&Log"), "Remove Quick Log Track", [&c] { c.Log1Click(); });
    addCommand(purge, "Route1", QStringLiteral("&Route"), "Remove Route", [&c] { c.Route1Click(); });
    addCommand(purge, "Tides2", QStringLiteral("&Tides"), "Remove Tides", [&c] { c.Tides2Click(); });
    file->addSeparator();
    addCommand(
        file, "ShowToolbar1", QStringLiteral("Show &Toolbar"), "Show / Hide the tool bar",
        [this] { speedPanel_->setVisible(!speedPanel_->isVisible()); }, {}, true)
        ->setChecked(true);
    addCommand(
        file, "CopyView", QStringLiteral("Copy View"), "Copy the active view to the clipboard",
        [&c] { c.CopyViewClick(); }, QKeySequence(Qt::CTRL | Qt::Key_C));
    addCommand(
        file, "Print1", QStringLiteral("&Print..."), "Print the active view", [&c] { c.Print1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(file, "PrinterSetUp1", QStringLiteral("P&rinter Setup..."), "", [&c] { c.PrinterSetUp1Click(); });
    addCommand(file, "ViewTextLog1", QStringLiteral("Text &Log Viewer"), "", [&c] { c.logs().ViewTextLog1Click(); });
    file->addSeparator();
    addCommand(file, "Exit1", QStringLiteral("E&xit"), "", [this] { close(); });
    return file;
}

QMenu* MainWindow::buildChartsMenu()
{
    kv::MainController& c = *controller_;
    kv::AppState& app = state_.app;
    QMenu* charts = menuBar()->addMenu(QStringLiteral("&Charts"));
    charts->setObjectName(QStringLiteral("ChartsMenu"));
    addCommand(charts, "Layers1", QStringLiteral("&Layers"), "Load the chart's layers", [&c] { c.Layers1Click(); });
    addCommand(charts, "NearestChart1", QStringLiteral("Nearest C&hart"), "Show Nearest Chart's Name",
        [&c] { c.NearestChart1Click(); });
    addCommand(charts, "LoadNearestChart1", QStringLiteral("L&oad Nearest Chart"), "Auto Load Nearest Chart",
        [&c] { c.LoadNearestChart1Click(); });
    addCommand(charts, "AvailableCharts", QStringLiteral("A&vailable Charts"), "Display available chart boundaries",
        [&c] { c.AvailableChartsClick(); });
    addCommand(charts, "OpenPortfolio1", QStringLiteral("Open Chart Portfolio"), "Open a Portfolio chart file",
        [this, &c, &app] {
            const QString path = openFile(QStringLiteral("Open a chart portfolio"),
                QStringLiteral(
                    "Chart portfolios (*Portfolio.cht *PORTFOLIO.cht *portfolio.cht);;KV Chart files (*.cht)"),
                QPath(app.ChartDialogDir), QStringLiteral("cht"));
            c.OpenPortfolio1Click(Path(path));
        });
    return charts;
}

QMenu* MainWindow::buildRoutesMenu()
{
    QMenu* routes = menuBar()->addMenu(QStringLiteral("&Routes"));
    routes->setObjectName(QStringLiteral("RoutesMenu"));
    addCommand(routes, "SendWaypoints1", QStringLiteral("Send Route Waypoints"), "Send the route waypoints to the GPS",
        [this] { kv::SendWPSClick(state_, platform_); });
    addCommand(routes, "SendChartWaypoints1", QStringLiteral("Send Chart Waypoints"),
        "Send the chart waypoints to the GPS", [this] { kv::SendChartWaypoints1Click(state_, platform_); });
    return routes;
}

void MainWindow::buildNavigationMenu()
{
    kv::MainController& c = *controller_;
    QMenu* nav = menuBar()->addMenu(QStringLiteral("&Navigation"));
    nav->setObjectName(QStringLiteral("NavigationMenu"));
    addCommand(
        nav, "Fix1", QStringLiteral("&Fix"), "", [&c] { c.fix().ManualFix(); }, QKeySequence(Qt::CTRL | Qt::Key_F));
    addCommand(
        nav, "ResetXTE1", QStringLiteral("Reset  XTE"), "", [&c] { c.fix().XTerrorDblClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_X));
    addCommand(
        nav, "SelectWaypoint1", QStringLiteral("Next Waypoint"), "", [&c] { c.SelectWaypoint1Click(); },
        QKeySequence(Qt::CTRL | Qt::Key_W));
    addCommand(
        nav, "DRMode1", QStringLiteral("&DR Mode"), "", [&c] { c.fix().DRMode1Click(); }, {}, true);
    addCommand(
        nav, "TowNavigation1", QStringLiteral("Tow Navigation"), "", [&c] { c.fix().TowNavigationClick(); }, {}, true);
    addCommand(nav, "Find_Antenna", QStringLiteral("Locate Antenna"), "", [&c] { c.Find_AntennaClick(); });
    addCommand(
        nav, "NavigationData1", QStringLiteral("Navigation &Data"), "", [&c] { c.NavigationData1Click(); }, {}, true);
    nav->addSeparator();
    addCommand(
        nav, "TideStep1", QStringLiteral("Tide Step"), "", [&c] { c.IncTideClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_Y));
    buildAnchorCommands(nav);
}

void MainWindow::buildNmeaMenu()
{
    kv::MainController& c = *controller_;
    QMenu* nmea = menuBar()->addMenu(QStringLiteral("N&MEA"));
    nmea->setObjectName(QStringLiteral("NMEAMenu"));
    addCommand(
        nmea, kv::ControlName(kv::Control::NMEAInterface1), QStringLiteral("NMEA &Interface"), "",
        [&c] { c.NMEAServerOnOffClick(); }, {}, true);
    addCommand(
        nmea, kv::ControlName(kv::Control::ShowNMEA), QStringLiteral("Show raw &NMEA"), "", [&c] { c.ShowNMEAClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_N), true);
    addCommand(
        nmea, kv::ControlName(kv::Control::ProcAis), QStringLiteral("Process &AIS Data"), "",
        [&c] { c.ais().ProcAisClick(); }, {}, true);
    nmea->addSeparator();
    addCommand(
        nmea, "AISMonitor", QStringLiteral("AIS Monitor Mode"), "Select AIS fixed monitor mode and station position",
        [&c] { c.AISMonitorClick(); }, {}, true);
    addCommand(
        nmea, "AdditionalTargetData1", QStringLiteral("Additional Target Data"), "",
        [&c] { c.AdditionalTargetData1Click(); }, {}, true);
    addCommand(
        nmea, "UpdateAISDatabase", QStringLiteral("Update AIS Database"), "", [&c] { c.UpdateAISDatabaseClick(); }, {},
        true);
    addCommand(
        nmea, "SearchAISDatabase", QStringLiteral("Search AIS Database"), "", [&c] { c.SearchAISDatabaseClick(); }, {},
        true);
    addCommand(nmea, "AISLogViewer1", QStringLiteral("AIS Log Viewer"), "", [&c] { c.ais().AISLogViewer1Click(); });
    addCommand(nmea, "AISDatabaseViewer1", QStringLiteral("AIS Database Viewer"), "",
        [&c] { c.ais().AISDatabaseViewer1Click(); });
    addCommand(nmea, "AISTargetWindow1", QStringLiteral("AIS &Target Data"), "Show / Hide the AIS target data", [this] {
        aisWindow_->setVisible(!aisWindow_->isVisible());
        aisWindow_->refresh();
    });
    addCommand(nmea, "AISTargetList1", QStringLiteral("Target &List"), "Show / Hide the list of AIS targets", [this] {
        aisList_->setVisible(!aisList_->isVisible());
        aisList_->refresh();
    });
}

void MainWindow::buildToolsMenu()
{
    kv::MainController& c = *controller_;
    kv::AppState& app = state_.app;
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("ToolsMenu"));
    addCommand(tools, "Config1", QStringLiteral("&Load Config..."), "Load a configuration file", [this, &c, &app] {
        if (!c.Config1Allowed()) {
            return;
        }
        const QString path = openFile(QStringLiteral("Load configuration"),
            QStringLiteral("Config files (*.cfg);;All files (*)"), QPath(app.ConfigDialogDir), QStringLiteral("cfg"));
        c.Config1Click(Path(path));
    });
    addCommand(tools, "SaveConfigAs1", QStringLiteral("Save Config As..."), "Save the configuration under another name",
        [this, &c, &app] {
            const QString path = saveFile(QStringLiteral("Save configuration as"),
                QStringLiteral("Config files (*.cfg)"), QPath(app.ConfigDialogDir), QStringLiteral("cfg"));
            c.SaveConfigAs1Click(Path(path));
        });
    addCommand(
        tools, "DataPlot1", QStringLiteral("Data Trend &Plot"), "Show / Hide the data trend plot",
        [&c] { c.DataPlot1Click(); }, {}, true);
    addCommand(tools, kv::ControlName(kv::Control::ExMeasure1), QStringLiteral("Total&ise Measure"), kv::kTotaliseHint,
        [&c] { c.ExMeasureClick(); });
    addCommand(tools, "TidalAtlasEditor1", QStringLiteral("&Tidal Atlas Editor"), "Launch Tidal Editor",
        [&c] { c.TidalAtlasEditor1Click(); });
    addCommand(tools, "RasterImageViewer1", QStringLiteral("Raster Image &Viewer"), "Show the raster image viewer",
        [this] { rasterViewer_->showViewer(); });
}

void MainWindow::buildOptionsMenu()
{
    kv::MainController& c = *controller_;
    // The settings dialogs; the configuration files themselves are loaded and saved under Tools.
    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("OptionsMenu"));
    addCommand(
        options, "Preferences1", QStringLiteral("&Preferences"), "Preferences|", [this] { GlobalViewClick(); },
        QKeySequence(Qt::Key_F11));
    addCommand(options, "Alarms1", QStringLiteral("&Timing"), "Timing Functions|", [this] { Alarms1Click(); });
    options->addSeparator();
    addCommand(
        options, "RemarksMode", QStringLiteral("&Remarks"), "Keep an event log document|",
        [&c] { c.remarks().RemarksModeClick(); }, {}, true);
    addCommand(options, "SaveRemark1", QStringLiteral("Save Remark"), "",
        [this, &c] { c.remarks().SaveRemark1Click(RemarkEditorText(remarkEditor_)); });
    addCommand(
        options, "DiscardRemark", QStringLiteral("Discard Remark"), "", [&c] { c.remarks().DiscardRemarkClick(); },
        QKeySequence(Qt::CTRL | Qt::Key_Delete));
    addCommand(
        options, "ShowHideDocument1", QStringLiteral("Show / Hide Document"), "",
        [&c] { c.remarks().ShowHideDocument1Click(); }, {}, true);
    addCommand(
        options, "NightPalette1", QStringLiteral("&Night Palette"), "Dark red on black for the night|",
        [this] {
            const std::string appDir = state_.folders.AppDir.str();
            if (!kv::SetNightPalette(state_.extra, appDir, !state_.extra.NightPalette)) {
                state_.display.StatusLine
                    = std::string("Night palette could not be written to ") + appDir + kv::kExtraSettingsFile;
            }
        },
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), true);
}

void MainWindow::buildWindowMenu()
{
    kv::MainController& c = *controller_;
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    window->menuAction()->setObjectName(QStringLiteral("Window1"));
    commands_[QStringLiteral("Window1")] = window->menuAction();
    addCommand(window, "WindowCascadeItem", QStringLiteral("&Cascade"), "", [this] { cascadeViews(); });
    addCommand(window, "WindowTileItem", QStringLiteral("&Tile"), "", [this] { tileViews(); });
    addCommand(window, "WindowTileItem2", QStringLiteral("Tile &Horizontally"), "", [this] {
        // One view above the other, each the full width of the area.
        const auto subs = mdi_->subWindowList();
        if (subs.isEmpty()) {
            return;
        }
        const int h = mdi_->viewport()->height() / static_cast<int>(subs.size());
        int y = 0;
        for (QMdiSubWindow* sub : subs) {
            sub->showNormal();
            sub->setGeometry(0, y, mdi_->viewport()->width(), h);
            y += h;
        }
    });
    addCommand(window, "WindowArrangeItem", QStringLiteral("&Arrange Icons"), "", [this] {
        int x = 0;
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            if (sub->isMinimized()) {
                sub->move(x, mdi_->viewport()->height() - sub->height());
                x += sub->width();
            }
        }
    });
    addCommand(window, "WindowMinimizeItem", QStringLiteral("&Minimize All"), "", [this] {
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            sub->showMinimized();
        }
    });
    addCommand(window, "CloseAll1", QStringLiteral("C&lose All"), "", [&c] { c.CloseAll1Click(); });
    addCommand(window, "InsetView", QStringLiteral("&Inset View"), "Reduce the active window to inset size", [this] {
        if (QMdiSubWindow* sub = mdi_->activeSubWindow()) {
            sub->showNormal();
            sub->resize(300, 225);
        }
    });
    addCommand(window, "Next1", QStringLiteral("&Next"), "", [this] { mdi_->activateNextSubWindow(); });
    addCommand(window, "Previous1", QStringLiteral("&Previous"), "", [this] { mdi_->activatePreviousSubWindow(); });
    // The open views, the active one checked; choosing one brings it to the front.
    window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, [this, window] {
        for (QAction* a : window->actions()) {
            if (a->property("viewEntry").toBool()) {
                window->removeAction(a);
                delete a;
            }
        }
        int n = 0;
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            ++n;
            auto* a = new QAction(QStringLiteral("&%1 %2").arg(n).arg(sub->windowTitle()), window);
            a->setObjectName(QStringLiteral("WindowView%1").arg(n));
            a->setProperty("viewEntry", true);
            a->setCheckable(true);
            a->setChecked(sub == mdi_->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub] {
                if (mdi_->subWindowList().contains(sub)) {
                    mdi_->setActiveSubWindow(sub);
                }
            });
            window->addAction(a);
        }
    });
}

void MainWindow::buildHelpMenu()
{
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    // F1 anywhere outside a dialog (the dialogs have their own Help button on F1): the page of the
    // window that is active, the AIS target window included.
    addCommand(
        help, "HelpContentsItem", QStringLiteral("Help contents"), "", [this] { ShowHelpForActiveWindow(this); },
        QKeySequence(Qt::Key_F1))
        ->setShortcutContext(Qt::ApplicationShortcut);
    addCommand(help, "HelpIndexItem", QStringLiteral("Help index"), "",
        [this] { ShowHelp(this, kv::kHelpContents)->showIndex(); });
    help->addSeparator();
    addCommand(help, "HelpAboutItem", QStringLiteral("&About..."), "", [this] { showAboutBox(); });
}

bool MainWindow::saveRouteAs()
{
    // The dialog offers the route's own name, the one it was opened or last saved under.
    const QString name = state_.settings.RouteName.empty() ? QString() : QPath(state_.settings.RouteName + ".rte");
    const QString path = saveFile(QStringLiteral("Save route as..."), QStringLiteral("Route Files (*.rte)"),
        QPath(state_.app.RouteDialogDir), QStringLiteral("rte"), name);
    return !path.isEmpty() && controller_->routes().SaveRouteAs1Click(Path(path));
}

bool MainWindow::saveRouteForExit()
{
    return saveRouteAs();
}

void MainWindow::buildToolBar()
{
    kv::MainController& c = *controller_;
    speedPanel_ = addToolBar(QStringLiteral("Speed buttons"));
    speedPanel_->setObjectName(QStringLiteral("SpeedPanel"));
    speedPanel_->setMovable(false);
    addButton(
        "OpenChart", QStringLiteral("Open"), "Open Chart|", [this] { command(QStringLiteral("Charts1"))->trigger(); });
    addButton("OpenPF", QStringLiteral("Portfolio"), "Open a Portfolio chart file|",
        [this] { command(QStringLiteral("OpenPortfolio1"))->trigger(); });
    addButton(
        "AutoChart", QStringLiteral("Auto Chart"), "Auto Load Nearest Chart|", [&c] { c.LoadNearestChart1Click(); });
    addButton("SaveBtn", QStringLiteral("Save Rte"), "Save Route|",
        [this] { command(QStringLiteral("SaveRouteAs1"))->trigger(); });
    addButton("FixBtn", QStringLiteral("Fix"), "Manual Fix !|", [&c] { c.fix().ManualFix(); });
    addButton(
        kv::ControlName(kv::Control::TxtLogOnOff), QStringLiteral("Text Log"), kv::kTextLogPressHint,
        [this, &c] { c.TxtLogOnOffClick(command(QStringLiteral("TxtLogOnOff"))->isChecked()); }, true);
    addButton("SendWPS", QStringLiteral("Send WPs"), "Send Route Waypoints|",
        [this] { kv::SendWPSClick(state_, platform_); });
    addButton(kv::ControlName(kv::Control::NMEAServerOnOff), QStringLiteral("NMEA"), "Open NMEA interface|",
        [&c] { c.NMEAServerOnOffClick(); });
    addButton("IncTide", QStringLiteral("T"), "Step Tide forward 1 hour|", [&c] { c.IncTideClick(); });
    addButton("GlobalView", QStringLiteral("Prefs"), "Preferences|", [this] { GlobalViewClick(); });
    addButton("TimeBtn", QStringLiteral("Timing"), "Timing Functions|", [this] { Alarms1Click(); });
    addButton(
        kv::ControlName(kv::Control::MeasureMode), QStringLiteral("Measure"), kv::kMeasureStartHint,
        [this, &c] {
            c.MeasureModeClick(command(QLatin1String(kv::ControlName(kv::Control::MeasureMode)))->isChecked());
        },
        true);
    addButton(kv::ControlName(kv::Control::ExMeasure), QStringLiteral("Total"), kv::kTotaliseHint,
        [&c] { c.ExMeasureClick(); });
    addButton(kv::ControlName(kv::Control::PlayAISlog), QStringLiteral("Play AIS"), "Playback an AIS Log|", [this, &c] {
        c.PlayAISlogClick([this]() -> std::optional<std::string> {
            const QString path
                = openFile(QStringLiteral("Open an AIS log"), QStringLiteral("AIS Log Files (*.AIS);;All Files (*)"),
                    QPath(state_.app.LogDialogDir), QStringLiteral("AIS"));
            if (path.isEmpty()) {
                return std::nullopt;
            }
            return Path(path);
        });
    });
}

void MainWindow::buildNavPanel()
{
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    navPanel_ = new QFrame(central);
    navPanel_->setObjectName(QStringLiteral("NavPanel"));
    static_cast<QFrame*>(navPanel_)->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(navPanel_);
    grid->setContentsMargins(4, 2, 4, 2);
    const std::pair<const char*, const char*> fields[] = {
        { "RngToWp", "Range" },
        { "BearingToWP", "Bearing" },
        { "TimeToWP", "Time to WP" },
        { "SpeedOG", "SOG" },
        { "CourseOG", "COG" },
        { "SpeedMG", "VMG" },
        { "Trip", "Trip" },
    };
    int column = 0;
    for (const auto& [name, caption] : fields) {
        auto* title = new QLabel(QLatin1String(caption), navPanel_);
        auto* value = new ClickLabel(navPanel_);
        value->setObjectName(QLatin1String(name));
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setMinimumWidth(56);
        value->setAlignment(Qt::AlignCenter);
        grid->addWidget(title, 0, column);
        grid->addWidget(value, 1, column);
        // The figures share the width the window gives the panel.
        grid->setColumnStretch(column, 2);
        navLabels_[name] = value;
        ++column;
    }
    static_cast<ClickLabel*>(navLabels_["Trip"])->doubleClicked
        = [this] { run([this] { controller_->fix().TripDblClick(); }); };
    grid->addWidget(new QLabel(QStringLiteral("Waypoint"), navPanel_), 0, column);
    wpName_ = new QComboBox(navPanel_);
    wpName_->setObjectName(QStringLiteral("WPName"));
    wpName_->setMinimumWidth(120);
    grid->addWidget(wpName_, 1, column++);
    connect(wpName_, &QComboBox::activated, this,
        [this](int entry) { run([this, entry] { controller_->WPNameChange(entry); }); });

    xteScale_ = new QLabel(navPanel_);
    xteScale_->setObjectName(QStringLiteral("XTEScale"));
    grid->addWidget(xteScale_, 0, column);
    xtError_ = new QProgressBar(navPanel_);
    xtError_->setObjectName(QStringLiteral("XTerror"));
    xtError_->setRange(-100, 100);
    xtError_->setValue(0);
    xtError_->setTextVisible(false);
    xtError_->setMinimumWidth(100);
    xtError_->installEventFilter(this); // a double click restarts the leg
    grid->addWidget(xtError_, 1, column);
    fitNavFigures();
    grid->setColumnStretch(column++, 3);
    xteText_ = new QLabel(navPanel_);
    xteText_->setObjectName(QStringLiteral("XTEText"));
    xteText_->setMinimumWidth(50);
    grid->addWidget(xteText_, 1, column++);
    auto* reset = new QPushButton(QStringLiteral("Reset"), navPanel_);
    reset->setObjectName(QStringLiteral("XTEReset"));
    grid->addWidget(reset, 1, column++);
    resetButton_ = reset;
    connect(reset, &QPushButton::clicked, this, [this] { run([this] { controller_->fix().XTerrorDblClick(); }); });

    layout->addWidget(navPanel_);
    instruments_ = new InstrumentStrip(central);
    layout->addWidget(instruments_);
    buildDataPlot(central);
    layout->addWidget(dataPanel_);
    layout->addWidget(buildAlarmBar());
    layout->addWidget(mdi_, 1);
    setCentralWidget(central);
}

void MainWindow::buildDataPlot(QWidget* parent)
{
    kv::MainController& c = *controller_;
    dataPanel_ = new QFrame(parent);
    dataPanel_->setObjectName(QStringLiteral("Data_Panel"));
    auto* row = new QHBoxLayout(dataPanel_);
    row->setContentsMargins(4, 2, 4, 2);
    auto* title = new QLabel(QStringLiteral("Data Trend"), dataPanel_);
    title->setObjectName(QStringLiteral("Data_Label"));
    row->addWidget(title);
    dataPlot_ = new ClickLabel(dataPanel_);
    dataPlot_->setObjectName(QStringLiteral("Data_Plot"));
    dataPlot_->setFixedSize(600, 120);
    dataPlot_->pressedAt = [this](int x) { run([this, x] { controller_->MarkPlot(x); }); };
    dataPlot_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* popup = new QMenu(dataPlot_);
    addCommand(popup, "CopyPlot1", QStringLiteral("&Copy Plot to Clipboard"), "", [this] {
        const QImage plot = dataPlot_->pixmap().toImage();
        platform_.clipboard.setImage(plot);
        controller_->remarks().PastePicture(plot);
    });
    connect(dataPlot_, &QWidget::customContextMenuRequested, this,
        [this, popup](const QPoint& p) { popup->popup(dataPlot_->mapToGlobal(p)); });
    row->addWidget(dataPlot_);
    row->addWidget(new QLabel(QStringLiteral("Gain"), dataPanel_));
    dataGain_ = new QSpinBox(dataPanel_);
    dataGain_->setObjectName(QStringLiteral("Data_Gain"));
    dataGain_->setRange(0, 100000);
    dataGain_->setValue(1);
    connect(dataGain_, &QSpinBox::valueChanged, this, [this, &c](int gain) {
        if (!refreshing_) {
            run([&c, gain] { c.Data_GainChange(gain); });
        }
    });
    row->addWidget(dataGain_);
    dataRev_ = new QCheckBox(QStringLiteral("-"), dataPanel_);
    dataRev_->setObjectName(QStringLiteral("Data_Rev"));
    connect(dataRev_, &QCheckBox::toggled, this, [this](bool on) {
        if (!refreshing_) {
            run([this, on] { state_.app.plot.reversed = on; });
        }
    });
    row->addWidget(dataRev_);
    auto* plotAll = new QPushButton(QStringLiteral("Plot All"), dataPanel_);
    plotAll->setObjectName(QStringLiteral("PlotAll"));
    connect(plotAll, &QPushButton::clicked, this, [this, &c] { run([&c] { c.PlotAllClick(); }); });
    row->addWidget(plotAll);
    row->addStretch(1);
    dataPanel_->setVisible(false);
}

void MainWindow::refreshDataPlot()
{
    const kv::DataPlotState& plot = state_.app.plot;
    dataPanel_->setVisible(plot.visible);
    if (!plot.visible) {
        return;
    }
    dataGain_->setValue(plot.gain);
    dataGain_->setSingleStep(plot.gainStep);
    const std::string hint = kv::FullScaleHint(plot.gain);
    dataGain_->setToolTip(ShortHint(hint));
    dataRev_->setChecked(plot.reversed);
    if (auto* label = dataPanel_->findChild<QLabel*>(QStringLiteral("Data_Label"))) {
        label->setText(Latin1(plot.label));
    }
    const QImage drawn = kv::DrawDataPlot(state_, plot, dataPlot_->width(), dataPlot_->height());
    dataPlot_->setPixmap(QPixmap::fromImage(state_.extra.NightPalette
            ? kv::NightImage(drawn, kv::ColoursFromSettings(state_.settings).background)
            : drawn));
}

void MainWindow::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("Panel1"));
    statusBar()->setSizeGripEnabled(false);
    gpsIndicator_ = new QLabel(this);
    gpsIndicator_->setObjectName(QStringLiteral("GPSIndicator"));
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    posnPanel_ = new ClickLabel(this);
    posnPanel_->setObjectName(QStringLiteral("PosnPanel"));
    posnPanel_->setMinimumWidth(260);
    posnPanel_->clicked = [this] { run([this] { controller_->PosnPanelClick(); }); };
    posnPanel_->doubleClicked = [this] { run([this] { controller_->PosnPanelDblClick(); }); };
    timePanel_ = new QLabel(this);
    timePanel_->setObjectName(QStringLiteral("TimePanel"));
    timePanel_->setMinimumWidth(70);
    statusBar()->addWidget(gpsIndicator_);
    statusBar()->addWidget(statusLine_, 1);
    hoverPanel_ = new QLabel(this);
    hoverPanel_->setObjectName(QStringLiteral("HoverPanel"));
    hoverPanel_->setMinimumWidth(330);
    hoverPanel_->setToolTip(QStringLiteral("Position under the mouse, range and bearing from own ship"));
    statusBar()->addPermanentWidget(hoverPanel_);
    statusBar()->addPermanentWidget(posnPanel_);
    statusBar()->addPermanentWidget(timePanel_);
}

} // namespace kvui
