// Chart editing as a new user meets it, through the real main window over a copy of the demo
// folder: edit mode, a harbour outline in two line types, chart waypoints through their dialog,
// a survey grid laid, undone and laid again, the chart saved under a new name, the program quit
// and started again, the chart opened: everything comes back. And the double-click on a view
// that shows the nearest chart waypoint, greyed.

#include "UiSupport.h"

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "app/WaypointDialog.h"
#include "charts/ChartEditor.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

using namespace kv;
using kvui::MainWindow;
namespace fs = std::filesystem;

// The chart as drawn: its lines, each the points between two pen-ups. A save compacts runs of
// pen-ups, so the lines, not the slots, are what must come back.
std::vector<std::vector<ChartPoint>> Lines(const ChartStore& chart)
{
    std::vector<std::vector<ChartPoint>> lines(1);
    for (int i = 1; i <= chart.count(); ++i) {
        const ChartPoint& p = chart.point(i);
        if (p.isPenUp()) {
            if (!lines.back().empty()) {
                lines.emplace_back();
            }
        } else {
            lines.back().push_back(p);
        }
    }
    if (lines.back().empty()) {
        lines.pop_back();
    }
    return lines;
}

struct WaypointEntry {
    double lat;
    double lon;
    std::string name;
};

std::vector<WaypointEntry> Waypoints(const ChartWaypoints& table)
{
    std::vector<WaypointEntry> out;
    for (std::size_t i = 1; i <= table.count(); ++i) {
        out.push_back({ table.at(i).lat, table.at(i).lon, table.at(i).name });
    }
    return out;
}

class ChartEditWalkthroughTest : public ::testing::Test {
protected:
    ChartEditWalkthroughTest() { kvtest::App(); }

    void SetUp() override
    {
        fs::copy(fs::path(KV_SOURCE_DIR) / "demo", dir.path(), fs::copy_options::recursive);
        for (const char* folder : { "charts", "routes", "tides", "logs" }) {
            fs::create_directories(dir.file(folder));
        }
    }
    void TearDown() override
    {
        if (window) {
            fakes.prompter.defaultAnswer = true;
            fakes.prompter.answer({ true, false });
            window->close();
            window.reset();
        }
    }

    void start()
    {
        state = std::make_unique<ProgramState>();
        window = std::make_unique<MainWindow>(*state, fakes.platform);
        window->chooseFile = [this](const kvui::FileDialogSpec&) { return chosenFile; };
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
        ASSERT_NE(window->view(0), nullptr);
    }

    QAction* command(const char* name)
    {
        QAction* a = window->command(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        QWidget* image = window->view(0)->image();
        QMouseEvent e(type, at, image->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(image, &e);
    }
    // A click on the view: the cursor moves there.
    void click(QPoint at)
    {
        mouse(QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }
    // A user places the next point by where it lies from the last one: dx, dy pixels from the
    // cursor cross.
    void clickBy(int dx, int dy)
    {
        const ChartView& v = window->controller().views().view(0);
        click({ v.cursorX + dx, v.cursorY + dy });
    }
    // The pixel of a position in the view as drawn now.
    QPoint pixelOf(double lat, double lon)
    {
        const auto p = PositionToPixel(window->controller().views().view(0).projection, lat, lon);
        EXPECT_TRUE(p.has_value());
        return p ? QPoint(p->x, p->y) : QPoint();
    }
    // What the window system sends for a double-click: a click, then the second press as a
    // double-click, then its release.
    void doubleClick(QPoint at)
    {
        click(at);
        mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::NoButton);
    }

    // The waypoint dialog filled in as a user does, closed with OK.
    void addWaypoint(QPoint by, const QString& label, int symbol, const QString& radius = {})
    {
        clickBy(by.x(), by.y());
        QString title;
        window->execDialog = [&](QDialog& d) {
            title = d.windowTitle();
            auto* desc = d.findChild<QLineEdit*>(QStringLiteral("WPdesc"));
            desc->setText(label);
            auto* shape = d.findChild<QComboBox*>(QStringLiteral("WPShape"));
            const int index
                = shape->findText(QStringLiteral("%1").arg(symbol, 2, 10, QLatin1Char('0')), Qt::MatchStartsWith);
            EXPECT_GE(index, 0) << symbol;
            shape->setCurrentIndex(index);
            emit shape->activated(index);
            if (!radius.isEmpty()) {
                auto* r = d.findChild<QLineEdit*>(QStringLiteral("Radius"));
                EXPECT_TRUE(r->isEnabled()) << symbol;
                r->setText(radius);
            }
            d.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
            return d.result();
        };
        command(ControlName(Control::AddChartWaypoint1))->trigger();
        EXPECT_EQ(title, QLatin1String(kAddWaypointCaption));
    }

    void layGrid(int lines, int angle, int length, int spacing)
    {
        window->execDialog = [=](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Auto Generate Survey Grid"));
            d.findChild<QSpinBox*>(QStringLiteral("GLength"))->setValue(length);
            d.findChild<QSpinBox*>(QStringLiteral("GPitch"))->setValue(spacing);
            d.findChild<QSpinBox*>(QStringLiteral("Gangle"))->setValue(angle);
            d.findChild<QSpinBox*>(QStringLiteral("Gnumber"))->setValue(lines);
            return static_cast<int>(QDialog::Accepted);
        };
        command(ControlName(Control::AutoMakeGrid1))->trigger();
    }

    kvtest::TempDir dir;
    FakePlatform fakes;
    std::unique_ptr<ProgramState> state;
    std::unique_ptr<MainWindow> window;
    QString chosenFile;
};

TEST_F(ChartEditWalkthroughTest, AChartDrawnInEditModeSavedQuitAndOpenedAgainIsWhole)
{
    start();
    ChartStore& chart = state->chart;

    // Edit mode on: the warning that the current chart is edited and auto-load is off.
    command(ControlName(Control::ChartEdit1))->trigger();
    ASSERT_TRUE(state->app.ChartEditMode);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kEditModeOn));
    // At the whole-world zoom a pixel is too coarse for a chart point.
    EXPECT_FALSE(command(ControlName(Control::AddChartPoint1))->isEnabled());

    // Zoomed in on a stretch of coast to harbour scale (a pixel is a few metres).
    click({ 300, 200 });
    const ChartView& view = window->controller().views().view(0);
    for (int i = 0; i < 12; ++i) {
        window->view(0)->findChild<QAction*>(QStringLiteral("ZoomIn"))->trigger();
    }
    EXPECT_GE(view.zoom, 100.0);
    EXPECT_TRUE(command(ControlName(Control::AddChartPoint1))->isEnabled());

    // A harbour outline: three sides in line type 0, the rest in type 3, then the pen lifted.
    // Putting the pen down after "Pen Up" starts a line of its own: when the chart's last line
    // ends in a point, a pen-up goes between them.
    int first = chart.count();
    const bool apart = first > 0 && !chart.point(first).isPenUp();
    command("LineT0")->trigger();
    if (apart) {
        EXPECT_TRUE(chart.point(first + 1).isPenUp());
        ++first;
    }
    clickBy(40, 0);
    command(ControlName(Control::AddChartPoint1))->trigger();
    clickBy(0, 40);
    command(ControlName(Control::AddChartPoint1))->trigger();
    clickBy(-20, 10);
    command("LineT3")->trigger();
    clickBy(-20, -10);
    command(ControlName(Control::AddChartPoint1))->trigger();
    clickBy(0, -40);
    command(ControlName(Control::AddChartPoint1))->trigger();
    command(ControlName(Control::PenUp1))->trigger();
    EXPECT_TRUE(command(ControlName(Control::PenUp1))->isChecked());
    EXPECT_FALSE(command("LineT3")->isChecked());
    ASSERT_EQ(chart.count(), first + 6);
    const int types[] = { 0, 0, 0, 3, 3, 3 };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(chart.point(first + 1 + i).lineType(), types[i]) << i;
    }
    // The outline closes on its first point.
    EXPECT_NEAR(chart.point(first + 6).lat(), chart.point(first + 1).lat(), 1e-6);
    EXPECT_NEAR(chart.point(first + 6).lon(), chart.point(first + 1).lon(), 1e-6);
    EXPECT_NE(chart.point(first + 2).lon(), chart.point(first + 1).lon());

    // Two chart waypoints with symbols: a circle of radius R# x 0.01 Nm and a small cross.
    const std::size_t waypointsBefore = state->waypoints.count();
    addWaypoint({ 10, 15 }, QStringLiteral("Harbour entrance"), 20, QStringLiteral("05"));
    addWaypoint({ 15, 15 }, QStringLiteral("Fuel berth"), 1);
    ASSERT_EQ(state->waypoints.count(), waypointsBefore + 2);
    const ChartWaypoint& entrance = state->waypoints.at(waypointsBefore + 1);
    EXPECT_EQ(entrance.label().substr(0, 16), "Harbour entrance");
    EXPECT_EQ(entrance.symbol(), 20);
    EXPECT_EQ(entrance.name.substr(26), "05 ");
    EXPECT_EQ(state->waypoints.at(waypointsBefore + 2).symbol(), 1);

    // A ten-line grid at 45°, undone, laid again: the same records come back.
    clickBy(-5, -10);
    const int beforeGrid = chart.count();
    EXPECT_FALSE(command(ControlName(Control::UndoAutoGrid1))->isEnabled());
    layGrid(10, 45, 200, 20);
    ASSERT_EQ(chart.count(), beforeGrid + 1 + 10 * 3 + 1);
    std::vector<ChartPoint> grid;
    for (int i = beforeGrid + 1; i <= chart.count(); ++i) {
        grid.push_back(chart.point(i));
    }
    EXPECT_FALSE(state->display.StatusLine.empty());
    ASSERT_TRUE(command(ControlName(Control::UndoAutoGrid1))->isEnabled());
    command(ControlName(Control::UndoAutoGrid1))->trigger();
    EXPECT_EQ(chart.count(), beforeGrid);
    EXPECT_FALSE(command(ControlName(Control::UndoAutoGrid1))->isEnabled());
    layGrid(10, 45, 200, 20);
    ASSERT_EQ(chart.count(), beforeGrid + 32);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(chart.point(beforeGrid + 1 + i), grid[static_cast<std::size_t>(i)]) << i;
    }

    // Saved as a new chart.
    const std::string saved = dir.file("charts/harbour.cht");
    chosenFile = QString::fromStdString(saved);
    command("SaveChartAs1")->trigger();
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_TRUE(fs::exists(dir.file("charts/harbour.cfg")));
    EXPECT_TRUE(fs::exists(dir.file("charts/harbour.wpt")));
    EXPECT_EQ(chart.ChartName.str(), "harbour");
    const auto lines = Lines(chart);
    const auto waypoints = Waypoints(state->waypoints);
    const std::string bytes = ReadWholeFile(saved).value_or("");

    // Quit, saving the chart once more when asked: the same bytes.
    fakes.prompter.messages.clear();
    fakes.prompter.answer({ true, true });
    ASSERT_TRUE(window->close());
    EXPECT_EQ(std::count_if(fakes.prompter.messages.begin(), fakes.prompter.messages.end(),
                  [](const auto& m) { return m.text == kSaveChartBeforeExit; }),
        1);
    window.reset();
    EXPECT_EQ(ReadWholeFile(saved).value_or(""), bytes);

    // Started again and the chart opened: every line and waypoint is back.
    start();
    EXPECT_FALSE(state->app.ChartEditMode);
    command("Charts1")->trigger();
    EXPECT_EQ(state->chart.ChartName.str(), "harbour");
    EXPECT_EQ(Lines(state->chart), lines);
    const auto reopened = Waypoints(state->waypoints);
    ASSERT_EQ(reopened.size(), waypoints.size());
    for (std::size_t i = 0; i < waypoints.size(); ++i) {
        EXPECT_EQ(reopened[i].name, waypoints[i].name) << i;
        EXPECT_NEAR(reopened[i].lat, waypoints[i].lat, 1e-7) << i;
        EXPECT_NEAR(reopened[i].lon, waypoints[i].lon, 1e-7) << i;
    }
}

TEST_F(ChartEditWalkthroughTest, DoubleClickOnTheViewShowsTheNearestWaypointGreyed)
{
    start();
    click({ 200, 150 });
    addWaypoint({ 0, 0 }, QStringLiteral("North buoy"), 20, QStringLiteral("07"));
    addWaypoint({ 60, 40 }, QStringLiteral("South mark"), 3);
    ASSERT_EQ(state->waypoints.count(), 2u);
    const auto before = Waypoints(state->waypoints);

    // The snap: the waypoint nearest the clicked point, every field greyed; what is typed is
    // not taken even with OK.
    struct Seen {
        QString title, label;
        bool descEnabled = true, shapeEnabled = true;
    } seen;
    int shown = 0;
    window->execDialog = [&](QDialog& d) {
        ++shown;
        auto* desc = d.findChild<QLineEdit*>(QStringLiteral("WPdesc"));
        seen = { d.windowTitle(), desc->text(), desc->isEnabled(),
            d.findChild<QComboBox*>(QStringLiteral("WPShape"))->isEnabled() };
        desc->setText(QStringLiteral("Changed"));
        d.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        return d.result();
    };
    const QPoint north = pixelOf(state->waypoints.at(1).lat, state->waypoints.at(1).lon);
    const QPoint south = pixelOf(state->waypoints.at(2).lat, state->waypoints.at(2).lon);
    ASSERT_GT((north - south).manhattanLength(), 50);
    doubleClick(south + QPoint(-4, -3));
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(seen.title, QLatin1String(kNearestWaypointCaption));
    EXPECT_EQ(seen.label.trimmed(), QStringLiteral("South mark"));
    EXPECT_FALSE(seen.descEnabled);
    EXPECT_FALSE(seen.shapeEnabled);
    doubleClick(pixelOf(state->waypoints.at(1).lat, state->waypoints.at(1).lon) + QPoint(3, 2));
    EXPECT_EQ(seen.label.trimmed(), QStringLiteral("North buoy"));
    const auto after = Waypoints(state->waypoints);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].name, before[i].name) << i;
    }

    // The dialog is back in its normal state for the edit command.
    window->execDialog = [&](QDialog& d) {
        ++shown;
        auto* desc = d.findChild<QLineEdit*>(QStringLiteral("WPdesc"));
        seen = { d.windowTitle(), desc->text(), desc->isEnabled(),
            d.findChild<QComboBox*>(QStringLiteral("WPShape"))->isEnabled() };
        return static_cast<int>(QDialog::Rejected);
    };
    command(ControlName(Control::EditChartWaypoint1))->trigger();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(seen.title, QLatin1String(kEditWaypointCaption));
    EXPECT_TRUE(seen.descEnabled);
    EXPECT_TRUE(seen.shapeEnabled);
}

} // namespace
