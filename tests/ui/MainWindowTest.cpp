// The main window over fakes: start-up, command enabling, views, quit, the cursor and the
// position panel, the waypoint list, hints and the AIS target window.

#include "UiSupport.h"
#include "app/ProgramState.h"

#include "ais/AisText.h"
#include "app/Remarks.h"
#include "charts/WaypointFiles.h"
#include "core/Config.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/GpxImport.h"
#include "routes/Routes.h"
#include "support/ConfigFile.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace {

using namespace kv;
using kvui::MainWindow;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { kvtest::App(); }

    void SetUp() override { kvtest::PrepareWorkingFolder(dir); }
    void TearDown() override
    {
        if (window) {
            fakes.prompter.defaultAnswer = true;
            window->close();
            window.reset();
        }
    }

    void writeRoute(const std::string& name, int waypoints)
    {
        std::vector<std::string> lines;
        for (int i = 1; i <= waypoints; ++i) {
            RouteWaypoint w;
            w.name = DefaultRouteName(i);
            w.lat = -16.7 + i * 0.05;
            w.lon = -41.7 + i * 0.05;
            lines.push_back(RouteLine(w));
        }
        ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/" + name + ".rte"), lines));
    }

    void start(const std::string& argument = "")
    {
        window = std::make_unique<MainWindow>(state, fakes.platform);
        window->aboutBox = [this] { ++aboutBoxes; };
        window->chooseFile = [this](const kvui::FileDialogSpec& request) {
            dialogs.push_back(request);
            return chosenFile;
        };
        window->start(dir.path(), argument);
        window->show();
    }

    QAction* command(const char* name)
    {
        QAction* a = window->command(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }

    QString label(const char* name) { return window->findChild<QLabel*>(QLatin1String(name))->text(); }
    int subWindows() { return static_cast<int>(window->findChild<QMdiArea*>()->subWindowList().size()); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<MainWindow> window;
    int aboutBoxes = 0;
    std::vector<kvui::FileDialogSpec> dialogs;
    QString chosenFile;
};

TEST_F(MainWindowTest, StartsWithoutConfigurationOnTheWorldChart)
{
    start();
    EXPECT_EQ(subWindows(), 0);
    EXPECT_FALSE(command("File1")->isEnabled());
    EXPECT_FALSE(command("Window1")->isEnabled());
    EXPECT_EQ(window->secsTimer()->interval(), 1000);
    EXPECT_TRUE(window->secsTimer()->isActive());
    EXPECT_FALSE(window->fixTimer()->isActive());

    window->secsTick();
    EXPECT_EQ(aboutBoxes, 1);
    ASSERT_EQ(subWindows(), 1);
    // No configuration name: no empty brackets after the chart's name.
    EXPECT_EQ(window->findChild<QMdiArea*>()->subWindowList().first()->windowTitle(), QStringLiteral("world"));
    EXPECT_TRUE(command("File1")->isEnabled());
    EXPECT_TRUE(fakes.prompter.lastMessageIs("Total chart points = " + std::to_string(state.chart.count())));
    EXPECT_GT(state.chart.count(), 1000);
    EXPECT_EQ(label("TimePanel"), QStringLiteral("12:00:00"));
    EXPECT_EQ(label("Trip"), QStringLiteral("0.00 Nm"));
    // The view shows the redrawn chart: not a single colour.
    kvui::ViewWindow* view = window->view(0);
    ASSERT_NE(view, nullptr);
    const QImage image = view->image()->pixmap().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window->controller().views().view(0).bitmap.size());
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 2u);
}

TEST_F(MainWindowTest, CommandsCarryTheirCaptionsShortcutsAndHints)
{
    start();
    EXPECT_EQ(command("Fix1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(command("ResetXTE1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(command("SelectWaypoint1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
    EXPECT_EQ(command("TideStep1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(command("ShowNMEA")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(command("NMEAInterface1")->text(), QStringLiteral("NMEA &Interface"));
    EXPECT_EQ(command("NavigationData1")->text(), QStringLiteral("Navigation &Data"));
    EXPECT_TRUE(command("ProcAis")->isChecked());
    EXPECT_EQ(command("IncTide")->text(), QStringLiteral("T"));
    // "short|long": the short part is the tool tip, the long part goes to the status line; a
    // hint without "|" is both.
    EXPECT_EQ(command("IncTide")->toolTip(), QStringLiteral("Step Tide forward 1 hour"));
    EXPECT_EQ(command("IncTide")->statusTip(), QString());
    EXPECT_EQ(command("Route1")->statusTip(), QStringLiteral("Remove Route"));
    command("Route1")->showStatusText(window.get());
    EXPECT_EQ(label("StatusLine"), QStringLiteral("Remove Route"));
    EXPECT_EQ(state.display.StatusLine, "Remove Route");
    // Leaving a control keeps the message.
    QStatusTipEvent leave { QString() };
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_EQ(label("StatusLine"), QStringLiteral("Remove Route"));

    EXPECT_EQ(command("FixBtn")->toolTip(), QStringLiteral("Manual Fix !"));

    // Totalise is a tool button and a Tools menu entry, enabled together in measure mode only.
    QAction* totaliseEntry = command("ExMeasure1");
    ASSERT_NE(totaliseEntry, nullptr);
    EXPECT_TRUE(window->findChild<QMenu*>(QStringLiteral("ToolsMenu"))->actions().contains(totaliseEntry));
    EXPECT_EQ(totaliseEntry->toolTip(), QStringLiteral("Totalise distance and reset measure point"));
    window->secsTick();
    EXPECT_FALSE(totaliseEntry->isEnabled());
    EXPECT_EQ(command("MeasureMode")->toolTip(), QStringLiteral("Measure On"));
    command("MeasureMode")->trigger();
    EXPECT_EQ(command("MeasureMode")->toolTip(), QStringLiteral("Measure off"));
    EXPECT_TRUE(command("MeasureMode")->isChecked());
    EXPECT_TRUE(totaliseEntry->isEnabled());
    EXPECT_TRUE(command("ExMeasure")->isEnabled());
    command("MeasureMode")->trigger();
    EXPECT_FALSE(totaliseEntry->isEnabled());
}

TEST_F(MainWindowTest, EnablingFollowsTheModes)
{
    writeRoute("coast", 5);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    start();
    // No view: nothing that needs one.
    for (const char* name : { "SaveRouteAs1", "Route1", "Fix1", "FixBtn", "DRMode1", "Find_Antenna" }) {
        EXPECT_FALSE(command(name)->isEnabled()) << name;
    }
    window->secsTick();
    for (const char* name : { "SaveRouteAs1", "Route1", "Fix1", "FixBtn", "DRMode1", "Find_Antenna" }) {
        EXPECT_TRUE(command(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(command("TideStep1")->isEnabled()); // no tidal atlas
    EXPECT_FALSE(command("SendWaypoints1")->isEnabled()); // interface closed
    EXPECT_FALSE(command("SaveLogAs1")->isEnabled()); // empty quick log
    EXPECT_FALSE(window->fixTimer()->isActive());

    // Dead reckoning: no fixes by hand, the fix timer runs.
    command("DRMode1")->trigger();
    EXPECT_TRUE(command("DRMode1")->isChecked());
    EXPECT_FALSE(command("Fix1")->isEnabled());
    EXPECT_FALSE(command("FixBtn")->isEnabled());
    EXPECT_TRUE(window->fixTimer()->isActive());
    EXPECT_EQ(window->fixTimer()->interval(), 10000);
    EXPECT_EQ(label("StatusLine"), QStringLiteral("Dead Reckoning Mode !"));
    command("DRMode1")->trigger();
    EXPECT_TRUE(command("Fix1")->isEnabled());
    EXPECT_FALSE(window->fixTimer()->isActive());

    // The interface open: waypoints can be sent, the antenna cannot be located.
    command("NMEAInterface1")->trigger();
    EXPECT_TRUE(state.nmeaLink.NmeaOpen);
    EXPECT_TRUE(command("NMEAInterface1")->isChecked());
    EXPECT_TRUE(command("SendWaypoints1")->isEnabled());
    EXPECT_FALSE(command("Find_Antenna")->isEnabled());
    EXPECT_TRUE(window->fixTimer()->isActive());

    // A second view: the antenna command wants exactly one.
    command("NMEAInterface1")->trigger(); // closes after the question (answered Yes)
    EXPECT_FALSE(state.nmeaLink.NmeaOpen);
    EXPECT_TRUE(command("Find_Antenna")->isEnabled());
    command("FileNewItem")->trigger();
    EXPECT_EQ(subWindows(), 2);
    EXPECT_FALSE(command("Find_Antenna")->isEnabled());
}

TEST_F(MainWindowTest, DosWaypointFormatIsChosenInTheEditMenu)
{
    start();
    QAction* dos = command("DOSWPTformat");
    ASSERT_NE(dos, nullptr);
    EXPECT_EQ(dos->text(), QStringLiteral("DOS &WPT format"));
    EXPECT_EQ(dos->statusTip(), QStringLiteral("Also save waypoint database in DOS format"));
    const QMenu* edit = window->findChild<QMenu*>(QStringLiteral("EditMenu"));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->actions().contains(dos));
    EXPECT_TRUE(dos->isCheckable());
    EXPECT_FALSE(dos->isChecked());
    EXPECT_FALSE(dos->isEnabled()); // no view yet
    window->secsTick();
    ASSERT_TRUE(dos->isEnabled());
    dos->trigger();
    EXPECT_TRUE(dos->isChecked());
    EXPECT_TRUE(state.prefs.DOSWPTformat);
    dos->trigger();
    EXPECT_FALSE(dos->isChecked());
    EXPECT_FALSE(state.prefs.DOSWPTformat);
}

TEST_F(MainWindowTest, EditMenuDrawsLinesAndLaysAGridThroughItsDialog)
{
    start();
    window->secsTick();
    QAction* edit = command("ChartEdit1");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("&Chart Edit"));
    EXPECT_TRUE(command("PenUp1")->isChecked());
    EXPECT_FALSE(command("AddChartPoint1")->isEnabled());
    EXPECT_FALSE(command("UndoAutoGrid1")->isEnabled());
    edit->trigger();
    ASSERT_TRUE(state.app.ChartEditMode);
    EXPECT_TRUE(edit->isChecked());
    EXPECT_FALSE(command("AddChartPoint1")->isEnabled()); // the whole world: too coarse for points
    for (int i = 0; i < 6; ++i) {
        window->view(0)->toolBar()->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    ASSERT_GE(window->controller().views().view(0).zoom, 1.0);
    EXPECT_TRUE(command("AddChartPoint1")->isEnabled());

    // The pen put down after Pen Up: a pen-up first, so the new line is not joined to the end of
    // the chart's last line, then the point.
    int before = state.chart.count();
    ASSERT_FALSE(state.chart.point(before).isPenUp());
    command("LineT2")->trigger();
    EXPECT_TRUE(state.chart.point(before + 1).isPenUp());
    ++before;
    EXPECT_EQ(state.chart.count(), before + 1);
    EXPECT_TRUE(command("LineT2")->isChecked());
    EXPECT_FALSE(command("PenUp1")->isChecked());
    // Choosing the checked type again leaves it checked and adds nothing.
    command("LineT2")->trigger();
    EXPECT_TRUE(command("LineT2")->isChecked());
    EXPECT_EQ(state.chart.count(), before + 1);

    QString title;
    window->execDialog = [&](QDialog& d) {
        title = d.windowTitle();
        d.findChild<QSpinBox*>(QStringLiteral("Gnumber"))->setValue(3);
        d.findChild<QSpinBox*>(QStringLiteral("Gangle"))->setValue(45);
        return static_cast<int>(QDialog::Accepted);
    };
    command("AutoMakeGrid1")->trigger();
    EXPECT_EQ(title, QStringLiteral("Auto Generate Survey Grid"));
    EXPECT_EQ(state.chart.count(), before + 1 + 11);
    ASSERT_TRUE(command("UndoAutoGrid1")->isEnabled());
    command("UndoAutoGrid1")->trigger();
    EXPECT_EQ(state.chart.count(), before + 1);
    EXPECT_FALSE(command("UndoAutoGrid1")->isEnabled());
}

TEST_F(MainWindowTest, SwitchCheckMarksMirrorThePreferences)
{
    start();
    window->secsTick();
    for (const SwitchCommand& item : kSwitchCommands) {
        const char* name = ControlName(item.control);
        QAction* action = command(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_EQ(action->isChecked(), state.prefs.*item.field) << name;
        // A change of the record shows after the next operation, whoever made it.
        state.prefs.*item.field = !(state.prefs.*item.field);
        window->secsTick();
        EXPECT_EQ(action->isChecked(), state.prefs.*item.field) << name;
    }
    // A click the operation refuses leaves the mark as the record has it: AIS processing cannot
    // be switched while the interface is closed.
    state.prefs.ProcAis = true;
    window->secsTick();
    command("ProcAis")->trigger();
    EXPECT_TRUE(state.prefs.ProcAis);
    EXPECT_TRUE(command("ProcAis")->isChecked());
    EXPECT_TRUE(fakes.prompter.lastMessageIs("Open NMEA interface first!"));
    // A click that is taken changes the record, and the mark follows.
    command("ShowNMEA")->trigger();
    command("ShowNMEA")->trigger();
    const bool shown = state.prefs.ShowNMEA;
    command("ShowNMEA")->trigger();
    EXPECT_NE(state.prefs.ShowNMEA, shown);
    EXPECT_EQ(command("ShowNMEA")->isChecked(), state.prefs.ShowNMEA);
}

TEST_F(MainWindowTest, ThirdViewIsRefused)
{
    start();
    window->secsTick();
    command("FileNewItem")->trigger();
    EXPECT_EQ(subWindows(), 2);
    command("FileNewItem")->trigger();
    EXPECT_EQ(subWindows(), 2);
    EXPECT_TRUE(fakes.prompter.lastMessageIs("Two views maximum - close one first..."));
}

TEST_F(MainWindowTest, ClosingTheOnlyViewAsksFirst)
{
    start();
    window->secsTick();
    fakes.prompter.answer({ false });
    command("FileCloseItem")->trigger();
    EXPECT_EQ(subWindows(), 1);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(
        "This is the only view open. Closing it will remove all data ! - Are you really sure?"));

    // The window's own close button goes through the same rule.
    fakes.prompter.answer({ false });
    window->findChild<QMdiArea*>()->subWindowList().first()->close();
    kvtest::Spin(50);
    EXPECT_EQ(subWindows(), 1);
    EXPECT_EQ(fakes.prompter.texts().size(), 3u); // chart points, and the question twice
}

TEST_F(MainWindowTest, CloseAllEmptiesEverything)
{
    writeRoute("coast", 3);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    start();
    window->secsTick();
    command("FileNewItem")->trigger();
    ASSERT_EQ(subWindows(), 2);
    fakes.prompter.answer({ true, true });
    command("CloseAll1")->trigger();
    EXPECT_EQ(subWindows(), 0);
    EXPECT_EQ(state.chart.count(), 0);
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("WPName"))->count(), 0);
    EXPECT_FALSE(command("File1")->isEnabled());
    EXPECT_FALSE(command("Window1")->isEnabled());
    EXPECT_FALSE(command("Route1")->isEnabled());
    // A new view is still possible.
    EXPECT_TRUE(command("FileNewItem")->isEnabled());
}

TEST_F(MainWindowTest, QuitAnsweredNoThenYesWritesKelvwCfg)
{
    kvtest::WriteConfigIn(dir, "boat2.cfg", [](ProgramState& nav, Settings&) { nav.settings.vessel.BoatSpeed = 6.5; });
    start("boat2.cfg");
    window->secsTick();
    fakes.prompter.answer({ false });
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(std::filesystem::exists(dir.file("kelvw.cfg")));
    fakes.prompter.answer({ true });
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->secsTimer()->isActive());
    ASSERT_TRUE(std::filesystem::exists(dir.file("kelvw.cfg")));
    ProgramState nav;
    Settings& settings = nav.settings;
    ASSERT_TRUE(ReadConfig(dir.file("kelvw.cfg"), nav.fixInfo, nav.chartRef, nav.folders, settings));
    EXPECT_DOUBLE_EQ(nav.settings.vessel.BoatSpeed, 6.5);
    EXPECT_EQ(nav.folders.ChartName, "world");
    window.reset();
}

TEST_F(MainWindowTest, ClickInTheViewMovesTheCursorAndThePositionPanel)
{
    start();
    window->secsTick();
    kvui::ViewWindow* view = window->view(0);
    ASSERT_NE(view, nullptr);
    const kv::ChartView& model = window->controller().views().view(0);
    const QPoint at(200, 150);
    QMouseEvent press(
        QEvent::MouseButtonPress, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->image(), &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->image(), &release);

    const LatLong expected = PixelToLatLong(model.projection, at.x(), at.y());
    EXPECT_NEAR(state.fixInfo.OwnLat, expected.lat, 1e-9);
    EXPECT_NEAR(state.fixInfo.OwnLong, expected.lon, 1e-9);
    EXPECT_EQ(model.cursorX, 200);
    EXPECT_EQ(model.cursorY, 150);
    const QString readout = label("PosnPanel");
    EXPECT_FALSE(readout.isEmpty());
    EXPECT_EQ(readout.toLatin1().toStdString(), state.display.PosnPanel);

    // A click on the position panel: decimal degrees, east positive.
    auto* panel = window->findChild<QLabel*>(QStringLiteral("PosnPanel"));
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), panel->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(panel, &click);
    char text[80];
    std::snprintf(text, sizeof text, "%.5f\xb0 %.5f\xb0 (S/W -ve)", state.fixInfo.OwnLat, -state.fixInfo.OwnLong);
    EXPECT_EQ(label("PosnPanel"), QString::fromLatin1(text));
}

TEST_F(MainWindowTest, NextWaypointWrapsOnAFiveWaypointRoute)
{
    writeRoute("coast", 5);
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "coast"; });
    start();
    window->secsTick();
    auto* list = window->findChild<QComboBox*>(QStringLiteral("WPName"));
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(list->currentIndex(), 0);
    for (int expected : { 2, 3, 4, 5, 1 }) {
        command("SelectWaypoint1")->trigger();
        EXPECT_EQ(state.routeProgress.ActiveWaypoint, expected);
        EXPECT_EQ(list->currentIndex(), expected - 1);
    }
    // Choosing in the list.
    list->setCurrentIndex(3);
    emit list->activated(3);
    EXPECT_EQ(state.routeProgress.ActiveWaypoint, 4);
    EXPECT_EQ(list->toolTip(), QStringLiteral("Selected Waypoint"));
}

TEST_F(MainWindowTest, NavigationDataHidesThePanel)
{
    start();
    window->secsTick();
    QWidget* panel = window->findChild<QWidget*>(QStringLiteral("NavPanel"));
    EXPECT_TRUE(panel->isVisible());
    command("NavigationData1")->trigger();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(command("NavigationData1")->isChecked());
    command("NavigationData1")->trigger();
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(MainWindowTest, AisTargetWindowShowsTheSelectedTarget)
{
    start();
    window->secsTick();
    window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235001234, -16.70, 41.80, 8.5, 45.0));
    window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235005678, -16.72, 41.75, 3.0, 270.0));
    ASSERT_EQ(state.ais.targets.count(), 2);

    kvui::ViewWindow* view = window->view(0);
    QAction* showAis = view->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS"));
    ASSERT_NE(showAis, nullptr);
    EXPECT_TRUE(showAis->isVisible()); // the first view is the AIS view
    showAis->trigger();
    kvui::AisTargetWindow* targets = window->aisWindow();
    EXPECT_TRUE(targets->isVisible());
    EXPECT_EQ(targets->windowTitle(), QStringLiteral("AIS Target Data"));
    EXPECT_TRUE(targets->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_GE(state.ais.SelectedTarget, 1);
    const std::vector<std::string> lines
        = WriteTargetText(state.ais, kv::OwnShipOf(state), state.ais.SelectedTarget, fakes.clock.now());
    const QString memo = targets->memo()->toPlainText();
    EXPECT_EQ(memo.split(QLatin1Char('\n')).size(), static_cast<qsizetype>(lines.size()));
    EXPECT_TRUE(memo.contains(QString::fromLatin1(lines.front().c_str())));
    EXPECT_EQ(targets->height(), 420);

    command("AdditionalTargetData1")->trigger();
    targets->refresh();
    EXPECT_EQ(targets->height(), 550);
    EXPECT_GT(targets->memo()->toPlainText().split(QLatin1Char('\n')).size(), static_cast<qsizetype>(lines.size()));

    // The pop-up menu of the window.
    EXPECT_TRUE(targets->action(QStringLiteral("StayOnTop1"))->isChecked());
    EXPECT_TRUE(targets->action(QStringLiteral("WordWrap1"))->isChecked());
    targets->action(QStringLiteral("WordWrap1"))->trigger();
    EXPECT_EQ(targets->memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    targets->action(QStringLiteral("SelectAll1"))->trigger();
    EXPECT_TRUE(targets->memo()->textCursor().hasSelection());

    showAis->trigger();
    EXPECT_FALSE(targets->isVisible());
}

// Stepping the target number redraws the views at once (the highlight moves with it), and Copy
// in remarks mode puts the whole text into the remarks document.
TEST_F(MainWindowTest, TargetWindowStepsRedrawAndCopiesIntoTheRemarks)
{
    start();
    window->secsTick();
    window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235001234, -16.70, 41.80, 8.5, 45.0));
    window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235005678, -16.76, 41.75, 3.0, 270.0));
    ASSERT_EQ(state.ais.targets.count(), 2);
    state.ais.HighlightNearest = false; // the selector is there to step
    state.ais.SelectedTarget = 1;
    window->view(0)->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS"))->trigger();
    kvui::AisTargetWindow* targets = window->aisWindow();
    ASSERT_TRUE(targets->targetNumber()->isVisible());
    const int first = state.ais.SelectedTarget;
    ASSERT_GE(first, 1);
    // Close enough that the two targets lie apart on the bitmap.
    kv::ChartView& v = window->controller().views().view(0);
    v.zoom = 16.0;
    window->controller().views().CommonTail(v);
    const QImage before = window->controller().views().view(0).bitmap.copy();
    targets->targetNumber()->setValue(first == 1 ? 2 : 1);
    EXPECT_NE(state.ais.SelectedTarget, first);
    EXPECT_NE(window->controller().views().view(0).bitmap, before);

    command("RemarksMode")->trigger();
    ASSERT_TRUE(state.app.RemarksMode);
    const RemarksDocument* doc = window->controller().remarks().document();
    ASSERT_NE(doc, nullptr);
    const std::size_t items = doc->items().size();
    targets->action(QStringLiteral("Copy1"))->trigger();
    ASSERT_EQ(doc->items().size(), items + 1);
    std::string expected = targets->memo()->toPlainText().toLatin1().toStdString();
    for (std::size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) {
        expected.replace(at, 1, "\r\n");
    }
    EXPECT_EQ(doc->items().back().text, expected + "\r\n\r\n");
}

TEST_F(MainWindowTest, FileDialogsUseTheirTitlesAndFolders)
{
    writeRoute("coast", 3);
    start();
    window->secsTick();
    chosenFile = QString::fromStdString(dir.file("routes/coast.rte"));
    command("Routes1")->trigger();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Open a route file"));
    EXPECT_EQ(dialogs[0].folder.toStdString(), dir.path() + "/routes/");
    EXPECT_EQ(state.routeProgress.RouteLength, 3);
    window->secsTick(); // the list is rebuilt on the tick
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("WPName"))->count(), 3);

    chosenFile = QString::fromStdString(dir.file("routes/copy.rte"));
    command("SaveRouteAs1")->trigger();
    EXPECT_EQ(dialogs.back().title, QStringLiteral("Save route as..."));
    EXPECT_TRUE(dialogs.back().save);
    EXPECT_EQ(dialogs.back().fileName, QStringLiteral("coast.rte")); // the route's own name offered
    EXPECT_TRUE(std::filesystem::exists(dir.file("routes/copy.rte")));
    command("SaveRouteAs1")->trigger();
    EXPECT_EQ(dialogs.back().fileName, QStringLiteral("copy.rte")); // then the name it was saved as

    chosenFile.clear(); // cancelled: nothing changes
    command("Charts1")->trigger();
    EXPECT_EQ(dialogs.back().title, QStringLiteral("Open a chart file"));
    EXPECT_GT(state.chart.count(), 1000);
}

TEST_F(MainWindowTest, ViewRouteCommandsBuildTheRouteAtTheCursor)
{
    start();
    window->secsTick();
    kvui::ViewWindow* view = window->view(0);
    auto popup = [&](const char* name) {
        QAction* a = view->popupMenu()->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    EXPECT_EQ(popup("AddRouteWaypoint1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    state.fixInfo.OwnLat = -16.5;
    state.fixInfo.OwnLong = -41.5;
    popup("AddRouteWaypoint1")->trigger();
    state.fixInfo.OwnLat = -16.4;
    popup("AddRouteWaypoint1")->trigger();
    ASSERT_EQ(state.route.count(), 2u);
    window->secsTick(); // the list is rebuilt on the tick
    auto* list = window->findChild<QComboBox*>(QStringLiteral("WPName"));
    EXPECT_EQ(list->count(), 2);
    EXPECT_TRUE(command("SaveRouteAs1")->isEnabled());
    EXPECT_TRUE(command("DRMode1")->isEnabled());

    // Edit: the dialog gets the active waypoint's label and may rename it.
    window->editRouteDialog = [](kv::EditRouteDialog& edit) {
        edit.name = "Needles";
        edit.MoveWP = false;
        return true;
    };
    popup("EditRoute1")->trigger();
    window->secsTick();
    EXPECT_NE(list->itemText(state.routeProgress.ActiveWaypoint - 1).indexOf(QStringLiteral("Needles")), -1);

    popup("DeleteSelectedWaypoint1")->trigger();
    EXPECT_EQ(state.route.count(), 1u);
    window->secsTick();
    EXPECT_EQ(list->count(), 1);

    // Purge the route after its question.
    command("Route1")->trigger();
    EXPECT_TRUE(fakes.prompter.lastMessageIs("This will remove the current route! - Are you sure?"));
    window->secsTick();
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(command("SaveRouteAs1")->isEnabled());
}

TEST_F(MainWindowTest, TripDoubleClickResetsAfterTheQuestion)
{
    start();
    window->secsTick();
    state.motion.TripDistance = 12.5;
    state.display.Trip = "12.50 Nm";
    window->refresh();
    auto* trip = window->findChild<QLabel*>(QStringLiteral("Trip"));
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(3, 3), trip->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    fakes.prompter.answer({ false });
    QApplication::sendEvent(trip, &dbl);
    EXPECT_EQ(trip->text(), QStringLiteral("12.50 Nm"));
    fakes.prompter.answer({ true });
    QApplication::sendEvent(trip, &dbl);
    EXPECT_TRUE(fakes.prompter.lastMessageIs("Reset the trip distance - Are you sure?"));
    EXPECT_EQ(trip->text(), QStringLiteral("0.00 Nm"));
    EXPECT_DOUBLE_EQ(state.motion.TripDistance, 0.0);
}

TEST_F(MainWindowTest, DataTrendPlotPanel)
{
    start();
    window->secsTick();
    QWidget* panel = window->findChild<QWidget*>(QStringLiteral("Data_Panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    command("DataPlot1")->trigger();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(command("DataPlot1")->isChecked());
    auto* gain = window->findChild<QSpinBox*>(QStringLiteral("Data_Gain"));
    gain->setValue(0);
    EXPECT_EQ(gain->value(), 1);
    gain->setValue(150);
    EXPECT_EQ(gain->singleStep(), 100);
    EXPECT_EQ(gain->toolTip(), QStringLiteral("Full Scale=30.00"));
    auto* plot = window->findChild<QLabel*>(QStringLiteral("Data_Plot"));
    EXPECT_FALSE(plot->pixmap().isNull());
    command("CopyPlot1")->trigger();
    EXPECT_EQ(fakes.clipboard.image.size(), plot->size());
    command("DataPlot1")->trigger();
    EXPECT_FALSE(panel->isVisible());
}

} // namespace

namespace {

TEST_F(MainWindowTest, ViewPlaybackAreaAndChartInformation)
{
    dir.write("charts/world.inf", "Natural Earth land\r\n1:110m\r\n");
    start();
    window->secsTick();
    kvui::ViewWindow* view = window->view(0);
    ASSERT_NE(view, nullptr);
    auto popup = [&](const char* name) {
        QAction* a = view->popupMenu()->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };

    // Chart information: Ctrl+I opens the read-only memo with the chart's .inf text, and closes it.
    EXPECT_EQ(popup("Information1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    popup("Information1")->trigger();
    auto* memo = view->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isVisible());
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("Natural Earth land\n1:110m"));
    popup("Information1")->trigger();
    EXPECT_FALSE(memo->isVisible());

    // Area is refused while the quick log holds positions.
    state.quickLog.push({ -16.7, -41.7, 600.0 });
    popup("Area1")->trigger();
    EXPECT_TRUE(fakes.prompter.lastMessageIs("Close NMEA server or turn DR mode off and purge the log first !"));

    // Playback of a four-record quick log runs on the view's Delay timer to its end.
    state.quickLog.push({ -16.6, -41.6, 601.0 });
    state.quickLog.push({ -16.5, -41.5, 602.0 });
    state.quickLog.push({ -16.4, -41.4, 603.0 });
    popup("PlaybackLog1")->trigger();
    auto* delay = view->findChild<QTimer*>(QStringLiteral("Delay"));
    ASSERT_NE(delay, nullptr);
    EXPECT_TRUE(delay->isActive());
    EXPECT_EQ(delay->interval(), 200); // round(1000 / 5 records a second)
    EXPECT_EQ(label("StatusLine").toStdString(), "Log Playback in Progress ...");
    QElapsedTimer waited;
    waited.start();
    while (delay->isActive() && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_FALSE(delay->isActive());
    EXPECT_EQ(view->playback.index, 4);
    EXPECT_EQ(label("StatusLine"), QString());
}

} // namespace

TEST_F(MainWindowTest, WindowCommandsStepThroughTheViewsAndInsetTheActiveOne)
{
    start();
    window->secsTick();
    command("FileNewItem")->trigger();
    ASSERT_EQ(subWindows(), 2);
    QMdiArea* area = window->findChild<QMdiArea*>();
    QMdiSubWindow* first = area->activeSubWindow();
    ASSERT_NE(first, nullptr);
    command("Next1")->trigger();
    QMdiSubWindow* second = area->activeSubWindow();
    EXPECT_NE(second, first);
    command("Previous1")->trigger();
    EXPECT_EQ(area->activeSubWindow(), first);
    first->showMaximized();
    command("InsetView")->trigger();
    EXPECT_FALSE(first->isMaximized());
    EXPECT_EQ(first->size(), QSize(300, 225));
    for (const char* name :
        { "NearestChart1", "LoadNearestChart1", "AvailableCharts", "OpenPortfolio1", "OpenPF", "AutoChart" }) {
        EXPECT_NE(window->command(QLatin1String(name)), nullptr) << name;
    }
    EXPECT_EQ(command("LoadNearestChart1")->text(), QStringLiteral("L&oad Nearest Chart"));
    EXPECT_EQ(command("AvailableCharts")->statusTip(), QStringLiteral("Display available chart boundaries"));
}

// Routes, "Import GPX…": the list of the file's routes answers which one becomes the route; the
// route goes out again with "Export GPX…"; the log export sits beside "Save Log As".
TEST_F(MainWindowTest, GpxImportAsksWhichRouteAndExportWritesIt)
{
    start();
    dir.write("two.gpx",
        "<gpx><rte><name>One</name><rtept lat=\"-16.5\" lon=\"-41.5\"/></rte><rte><name>Two</name>"
        "<rtept lat=\"-16.6\" lon=\"-41.6\"/><rtept lat=\"-16.7\" lon=\"-41.7\"/></rte></gpx>");
    QStringList offered;
    window->execDialog = [&offered](QDialog& dialog) {
        auto& input = dynamic_cast<QInputDialog&>(dialog);
        offered = input.comboBoxItems();
        input.setTextValue(offered.value(1));
        return static_cast<int>(QDialog::Accepted);
    };
    chosenFile = QString::fromStdString(dir.file("two.gpx"));
    command("ImportGpx1")->trigger();
    EXPECT_EQ(
        offered, (QStringList { QStringLiteral("Route One (1 points)"), QStringLiteral("Route Two (2 points)") }));
    ASSERT_EQ(state.route.count(), 2u);
    EXPECT_NEAR(state.route.at(2).lon, 41.7, 1e-9);
    EXPECT_TRUE(std::filesystem::exists(dir.file("routes/Two.rte")));

    chosenFile = QString::fromStdString(dir.file("out.gpx"));
    command("ExportGpx1")->trigger();
    EXPECT_EQ(ReadGpxFile(dir.file("out.gpx")).routes.at(0).points.size(), 2u);
    const QList<QAction*> file = window->findChild<QMenu*>(QStringLiteral("FileMenu"))->actions();
    const auto at = file.indexOf(command("SaveLogAs1"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(file.value(at + 1), command("ExportLogGpx1"));
}
