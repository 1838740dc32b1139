// Editing by mouse through the real main window: route waypoints placed where the user clicks
// although a fix has since put the cursor back on own ship, a route waypoint dragged to a new
// place, chart points added without the view jumping, and undo and redo of chart and route edits
// that give back the very bytes the files held.

#include "UiSupport.h"
#include "WindowFixture.h"

#include "app/EditUndo.h"
#include "app/MainController.h"
#include "app/ProgramState.h"
#include "charts/ChartEditor.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/RouteMouse.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using namespace kv;
using kvui::MainWindow;
namespace fs = std::filesystem;

class EditByMouseTest : public kvtest::WindowTest {
protected:
    void start()
    {
        startWindow(QSize(760, 560));
        ASSERT_NE(window->view(0), nullptr);
        kvtest::Spin(20);
    }

    QAction* command(const char* name)
    {
        QAction* a = window->command(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    QAction* popup(const char* name) { return window->view(0)->popupMenu()->findChild<QAction*>(QLatin1String(name)); }
    ViewSet& views() { return window->controller().views(); }
    const ChartView& model() { return views().view(0); }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QWidget* image = window->view(0)->image();
        QMouseEvent e(type, at, image->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(image, &e);
    }
    void click(QPoint at)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    void drag(QPoint from, QPoint to)
    {
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        const QPoint half = from + (to - from) / 2;
        mouse(QEvent::MouseMove, half, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }
    // The pixel in the view's picture where a position is drawn now.
    QPoint pixelOf(double lat, double lon)
    {
        const auto p = PositionToPixel(model().projection, lat, lon);
        EXPECT_TRUE(p.has_value());
        return p ? QPoint(p->x, p->y) : QPoint();
    }
    // A pixel of the picture in the part the window shows, dx, dy from its middle.
    QPoint shown(int dx, int dy)
    {
        const QPoint middle = window->view(0)->scrollArea()->middlePixel();
        return middle + QPoint(dx, dy);
    }
    // What a fix does to the cursor: own ship's position goes into the quick log and the cursor.
    void fixAt(double lat, double lon)
    {
        state.quickLog.push({ lat, lon, 600.0 });
        state.fixInfo.OwnLat = lat;
        state.fixInfo.OwnLong = lon;
    }
};

// Ctrl+R after a click places the waypoint at the click although a fix has since moved the
// cursor back to own ship; the pop-up's Insert works at the click too.
TEST_F(EditByMouseTest, RouteWaypointsGoWhereClickedWhileUnderWay)
{
    start();
    for (int i = 0; i < 4; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    const QPoint first = shown(-60, -40);
    click(first);
    const LatLong clicked = PixelToLatLong(model().projection, first.x(), first.y());
    const QPoint ship = shown(50, 60);
    const LatLong shipAt = PixelToLatLong(model().projection, ship.x(), ship.y());
    fixAt(shipAt.lat, shipAt.lon);

    popup("AddRouteWaypoint1")->trigger();
    ASSERT_EQ(state.route.count(), 1U);
    EXPECT_NEAR(state.route.at(1).lat, clicked.lat, 1e-9);
    EXPECT_NEAR(state.route.at(1).lon, clicked.lon, 1e-9);
    // Own ship stays where the fix put it.
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLat, shipAt.lat);
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLong, shipAt.lon);

    // A second click and fix: the second waypoint at the second click.
    const QPoint second = shown(30, -50);
    click(second);
    const LatLong clicked2 = PixelToLatLong(model().projection, second.x(), second.y());
    fixAt(shipAt.lat, shipAt.lon);
    popup("AddRouteWaypoint1")->trigger();
    ASSERT_EQ(state.route.count(), 2U);
    EXPECT_NEAR(state.route.at(2).lat, clicked2.lat, 1e-9);
    EXPECT_NEAR(state.route.at(2).lon, clicked2.lon, 1e-9);
    EXPECT_TRUE(state.routeEdit.RouteModified);

    // Without a fix since the click the cursor is the click, as always.
    const QPoint third = shown(-20, 40);
    click(third);
    popup("AddRouteWaypoint1")->trigger();
    ASSERT_EQ(state.route.count(), 3U);
    EXPECT_DOUBLE_EQ(state.route.at(3).lat, state.fixInfo.OwnLat);
}

// In "Drag Route Waypoints" mode a left drag that starts on a route waypoint moves it, the legs
// are drawn to its new place, the route is marked modified and the cursor stays where it was; a
// drag that starts elsewhere moves the cursor. Undo puts the waypoint back.
TEST_F(EditByMouseTest, ARouteWaypointDraggedMovesWithItsLegs)
{
    start();
    for (int i = 0; i < 4; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    for (const QPoint at : { shown(-80, 0), shown(0, -60), shown(80, 0) }) {
        click(at);
        popup("AddRouteWaypoint1")->trigger();
    }
    ASSERT_EQ(state.route.count(), 3U);
    window->secsTick(); // the tick enables "Save Route As"
    chosenFile = QString::fromStdString(dir.file("routes/drag.rte"));
    command("SaveRouteAs1")->trigger();
    ASSERT_FALSE(state.routeEdit.RouteModified);
    const RouteWaypoint before = state.route.at(2);

    // Not in drag mode: the press on the waypoint moves the cursor.
    const QPoint mark = pixelOf(before.lat, before.lon);
    click(mark);
    EXPECT_EQ(state.route.at(2), before);
    EXPECT_EQ(QPoint(model().cursorX, model().cursorY), mark);

    popup("DragRouteWaypoints")->trigger();
    ASSERT_TRUE(state.routeEdit.DragWaypoints);
    click(shown(-100, 80)); // the cursor somewhere else
    const double cursorLat = state.fixInfo.OwnLat;
    const QImage picture = model().bitmap.copy();
    const QPoint to = pixelOf(before.lat, before.lon) + QPoint(30, 70);
    drag(pixelOf(before.lat, before.lon) + QPoint(2, -1), to + QPoint(2, -1));

    const LatLong expected = PixelToLatLong(model().projection, to.x() + 2, to.y() - 1);
    EXPECT_NEAR(state.route.at(2).lat, expected.lat, 1e-9);
    EXPECT_NEAR(state.route.at(2).lon, expected.lon, 1e-9);
    EXPECT_EQ(state.route.at(2).name, before.name);
    EXPECT_TRUE(state.routeEdit.RouteModified);
    EXPECT_DOUBLE_EQ(state.fixInfo.OwnLat, cursorLat);
    // The legs now run to the new place: the middle of the new leg from waypoint 1 is drawn over.
    const QPoint one = pixelOf(state.route.at(1).lat, state.route.at(1).lon);
    const QPoint middle = (one + pixelOf(state.route.at(2).lat, state.route.at(2).lon)) / 2;
    bool drawn = false;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            drawn = drawn || model().bitmap.pixel(middle + QPoint(dx, dy)) != picture.pixel(middle + QPoint(dx, dy));
        }
    }
    EXPECT_TRUE(drawn);

    // A drag that starts away from every waypoint moves the cursor only.
    const QPoint away = shown(-110, 90);
    drag(away, away + QPoint(5, 5));
    EXPECT_EQ(QPoint(model().cursorX, model().cursorY), away + QPoint(5, 5));

    // Undo puts the waypoint back and the route is as saved again.
    command("EditUndo1")->trigger();
    EXPECT_EQ(state.route.at(2), before);
    EXPECT_FALSE(state.routeEdit.RouteModified);
    command("EditRedo1")->trigger();
    EXPECT_NEAR(state.route.at(2).lat, expected.lat, 1e-9);
}

// Route edits taken back one by one: the route file saved again holds the bytes saved before
// the edits; made again, the bytes saved after them. Saving under another name starts afresh.
TEST_F(EditByMouseTest, RouteUndoAndRedoGiveBackTheSavedBytes)
{
    start();
    for (int i = 0; i < 3; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    for (const QPoint at : { shown(-80, 0), shown(0, -60), shown(80, 0) }) {
        click(at);
        popup("AddRouteWaypoint1")->trigger();
    }
    window->secsTick(); // the tick enables "Save Route As"
    const std::string path = dir.file("routes/undo.rte");
    chosenFile = QString::fromStdString(path);
    command("SaveRouteAs1")->trigger();
    const std::string saved = ReadWholeFile(path).value_or("x");

    // Four edits: append, insert before waypoint 2, delete waypoint 3, drag waypoint 1.
    click(shown(40, 50));
    popup("AddRouteWaypoint1")->trigger();
    state.routeProgress.ActiveWaypoint = 2;
    click(shown(-40, 50));
    popup("InsertWaypoint1")->trigger();
    state.routeProgress.ActiveWaypoint = 3;
    fakes.prompter.defaultAnswer = true;
    popup("DeleteSelectedWaypoint1")->trigger();
    popup("DragRouteWaypoints")->trigger();
    const QPoint one = pixelOf(state.route.at(1).lat, state.route.at(1).lon);
    drag(one, one + QPoint(-20, 30));
    command("SaveRouteAs1")->trigger();
    const std::string edited = ReadWholeFile(path).value_or("y");
    ASSERT_NE(edited, saved);

    for (int i = 0; i < 4; ++i) {
        command("EditUndo1")->trigger();
    }
    command("SaveRouteAs1")->trigger();
    EXPECT_EQ(ReadWholeFile(path).value_or(""), saved);
    EXPECT_EQ(state.display.WPNameItems.size(), 3U);

    for (int i = 0; i < 4; ++i) {
        command("EditRedo1")->trigger();
    }
    command("SaveRouteAs1")->trigger();
    EXPECT_EQ(ReadWholeFile(path).value_or(""), edited);

    // Saved under another name: the history of the old one is gone.
    chosenFile = QString::fromStdString(dir.file("routes/other.rte"));
    command("SaveRouteAs1")->trigger();
    EXPECT_FALSE(window->controller().undo().canUndo());
}

// Chart edits (points in two line types, a waypoint deleted, a survey grid) taken back and made
// again: the chart and waypoint files saved under the same name hold the same bytes as before
// and after the edits. Opening another chart forgets the history.
TEST_F(EditByMouseTest, ChartUndoAndRedoGiveBackTheSavedBytes)
{
    start();
    command(ControlName(Control::ChartEdit1))->trigger();
    ASSERT_TRUE(state.app.ChartEditMode);
    click(shown(0, 0));
    for (int i = 0; i < 12; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    ASSERT_TRUE(command(ControlName(Control::AddChartPoint1))->isEnabled());
    // A waypoint to delete later.
    window->execDialog = [](QDialog& d) {
        d.accept();
        return static_cast<int>(QDialog::Accepted);
    };
    command(ControlName(Control::AddChartWaypoint1))->trigger();
    const std::string cht = dir.file("charts/undo.cht");
    const std::string wpt = dir.file("charts/undo.wpt");
    chosenFile = QString::fromStdString(cht);
    command("SaveChartAs1")->trigger();
    const std::string savedChart = ReadWholeFile(cht).value_or("x");
    const std::string savedWaypoints = ReadWholeFile(wpt).value_or("x");
    ASSERT_FALSE(savedWaypoints.empty());

    command("LineT0")->trigger();
    click(shown(30, 0));
    command(ControlName(Control::AddChartPoint1))->trigger();
    click(shown(30, 30));
    command("LineT3")->trigger();
    command(ControlName(Control::PenUp1))->trigger(); // changes nothing to undo
    fakes.prompter.defaultAnswer = true;
    command(ControlName(Control::DeleteChartWaypoint1))->trigger();
    window->execDialog = [](QDialog&) { return static_cast<int>(QDialog::Accepted); };
    command(ControlName(Control::AutoMakeGrid1))->trigger();
    command("SaveChartAs1")->trigger();
    const std::string editedChart = ReadWholeFile(cht).value_or("y");
    const std::string editedWaypoints = ReadWholeFile(wpt).value_or("y");
    ASSERT_NE(editedChart, savedChart);
    ASSERT_NE(editedWaypoints, savedWaypoints);

    for (int i = 0; i < 5; ++i) {
        command("EditUndo1")->trigger();
    }
    EXPECT_FALSE(window->controller().undo().canUndo());
    // The waypoint taken back is written at once, as the waypoint commands do.
    EXPECT_EQ(ReadWholeFile(wpt).value_or(""), savedWaypoints);
    command("SaveChartAs1")->trigger();
    EXPECT_EQ(ReadWholeFile(cht).value_or(""), savedChart);
    EXPECT_EQ(ReadWholeFile(wpt).value_or(""), savedWaypoints);

    for (int i = 0; i < 5; ++i) {
        command("EditRedo1")->trigger();
    }
    command("SaveChartAs1")->trigger();
    EXPECT_EQ(ReadWholeFile(cht).value_or(""), editedChart);
    EXPECT_EQ(ReadWholeFile(wpt).value_or(""), editedWaypoints);

    // Ctrl+Z is the Undo key, Ctrl+Shift+Z the Redo key.
    EXPECT_EQ(command("EditUndo1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(command("EditRedo1")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    // Another chart opened: nothing of the old one can be undone.
    ASSERT_TRUE(window->controller().undo().canUndo());
    command(ControlName(Control::ChartEdit1))->trigger();
    chosenFile = QString::fromStdString(dir.file("charts/world.cht"));
    fakes.prompter.defaultAnswer = false; // not saved again
    command("Charts1")->trigger();
    EXPECT_EQ(state.chart.ChartName.str(), "world");
    EXPECT_FALSE(window->controller().undo().canUndo());
}

// With Pen Up ticked, a line type starts a new line: the first point is not joined to the end of
// the chart's last line. The view stays put while the added points are inside it.
TEST_F(EditByMouseTest, ANewLineAfterPenUpStandsApartAndTheViewStaysPut)
{
    start();
    command(ControlName(Control::ChartEdit1))->trigger();
    click(shown(0, 0));
    for (int i = 0; i < 12; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    // The chart's last line ends at a point, not a pen-up (as a coastline does).
    ChartStore& chart = state.chart;
    if (chart.point(chart.count()).isPenUp()) {
        chart.setCount(chart.count() + 1);
        chart.setPoint(chart.count(), ChartPoint::make(10.0, 20.0));
    }
    const int last = chart.count();
    ASSERT_TRUE(command(ControlName(Control::PenUp1))->isChecked());

    const double refLat = model().referenceLat();
    const double refLong = model().referenceLong();
    const QPoint scroll(window->view(0)->scrollArea()->horizontalScrollBar()->value(),
        window->view(0)->scrollArea()->verticalScrollBar()->value());
    const QPoint at = shown(40, 20);
    click(at);
    command("LineT0")->trigger();
    ASSERT_EQ(chart.count(), last + 2);
    EXPECT_TRUE(chart.point(last + 1).isPenUp());
    EXPECT_FALSE(chart.point(last + 2).isPenUp());
    EXPECT_EQ(chart.point(last + 2).lineType(), 0);
    // The view did not move: the same centre, the same scroll, the point where it was clicked.
    EXPECT_DOUBLE_EQ(model().referenceLat(), refLat);
    EXPECT_DOUBLE_EQ(model().referenceLong(), refLong);
    EXPECT_EQ(pixelOf(chart.point(last + 2).lat(), chart.point(last + 2).lon()), at);
    const QPoint next = shown(-40, 30);
    click(next);
    command(ControlName(Control::AddChartPoint1))->trigger();
    EXPECT_DOUBLE_EQ(model().referenceLat(), refLat);
    EXPECT_EQ(pixelOf(chart.point(last + 3).lat(), chart.point(last + 3).lon()), next);
    EXPECT_EQ(QPoint(window->view(0)->scrollArea()->horizontalScrollBar()->value(),
                  window->view(0)->scrollArea()->verticalScrollBar()->value()),
        scroll);

    // A point outside what the window shows brings the view to it.
    const QPoint outside = shown(0, 0) + QPoint(window->view(0)->scrollArea()->viewport()->width(), 0);
    views().MouseDown(views().view(0), outside.x(), outside.y());
    views().MouseUp(views().view(0), outside.x(), outside.y());
    command(ControlName(Control::AddChartPoint1))->trigger();
    EXPECT_NE(model().referenceLong(), refLong);
}

} // namespace
