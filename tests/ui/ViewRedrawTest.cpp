// The chart views through the commands of a live voyage: the AIS view keeps drawing its targets
// through the window commands, and every command that redraws a view leaves the same picture as
// a fresh drawing of the same state.

#include "UiSupport.h"
#include "app/ProgramState.h"

#include "app/PreferencesModel.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/AisDraw.h"
#include "views/Render.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace kv;
using kvui::MainWindow;

constexpr Rgb kTargetRed = 0xFF0000;
constexpr Rgb kTargetYellow = 0xFFFF00;

Rgb PixelOf(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

class ViewRedrawTest : public ::testing::Test {
protected:
    ViewRedrawTest() { kvtest::App(); }

    void SetUp() override
    {
        kvtest::PrepareWorkingFolder(dir);
        fakes.prompter.defaultAnswer = true;
        window = std::make_unique<MainWindow>(state, fakes.platform);
        window->aboutBox = [] {};
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
    }
    void TearDown() override
    {
        window->close();
        window.reset();
    }

    ViewSet& views() { return window->controller().views(); }
    // The position at a pixel offset from the middle of the first view's picture.
    LatLong At(int dx, int dy)
    {
        const Projection& p = views().view(0).projection;
        return PixelToLatLong(p, p.halfW + dx, p.halfH + dy);
    }
    void HearTarget(unsigned mmsi, int dx, int dy)
    {
        const LatLong pos = At(dx, dy);
        window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(mmsi, pos.lat, -pos.lon, 6.0, 90.0));
    }
    // Three targets apart from each other, shown in the AIS view.
    void ShowThreeTargets()
    {
        HearTarget(235000001, -120, -80);
        HearTarget(235000002, 100, 60);
        HearTarget(235000003, 140, -90);
        ASSERT_EQ(state.ais.targets.count(), 3);
        window->view(0)->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS"))->trigger();
    }
    // Targets whose mark is drawn at their place in the AIS view.
    int DrawnTargets()
    {
        const ChartView* v = views().aisView();
        if (!v) {
            return 0;
        }
        int drawn = 0;
        for (int n = 1; n <= state.ais.targets.count(); ++n) {
            const LatLong pos = AisTargetChartPosition(state.chartRef, state.ais.targets[n]);
            const auto px = PositionToPixel(v->projection, pos.lat, pos.lon);
            if (px && px->x >= 0 && px->y >= 0 && px->x < v->bitmap.width() && px->y < v->bitmap.height()) {
                const Rgb c = PixelOf(v->bitmap, px->x, px->y);
                drawn += c == kTargetRed || c == kTargetYellow;
            }
        }
        return drawn;
    }
    // Pixels of view `index` that differ from a fresh drawing of the state as it is now.
    int DifferingPixels(int index)
    {
        ChartView fresh = views().view(index);
        fresh.bitmap = QImage();
        RedrawView(fresh, fresh.bitmap, RenderContext { window->controller().state(), views().shared });
        const QImage& shown = views().view(index).bitmap;
        if (fresh.bitmap.size() != shown.size()) {
            return -1;
        }
        int n = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                n += PixelOf(fresh.bitmap, x, y) != PixelOf(shown, x, y);
            }
        }
        return n;
    }
    QAction* command(const char* name) { return window->command(QLatin1String(name)); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ViewRedrawTest, TargetsStayDrawnThroughTheWindowCommands)
{
    ShowThreeTargets();
    // A row of the target list picked by the user.
    window->aisList()->refresh();
    window->aisList()->table()->selectRow(1);
    const int picked = state.ais.SelectedTarget;
    ASSERT_GE(picked, 1);
    ASSERT_EQ(DrawnTargets(), 3);

    QMdiArea* area = window->findChild<QMdiArea*>();
    const std::pair<const char*, std::function<void()>> commands[] = {
        { "new view", [&] { command("FileNewItem")->trigger(); } },
        { "tile", [&] { command("WindowTileItem")->trigger(); } },
        { "cascade", [&] { command("WindowCascadeItem")->trigger(); } },
        { "tile horizontally", [&] { command("WindowTileItem2")->trigger(); } },
        { "maximise", [&] { area->subWindowList().front()->showMaximized(); } },
        { "close the second view",
            [&] {
                area->setActiveSubWindow(area->subWindowList().back());
                command("FileCloseItem")->trigger();
            } },
        { "new view again", [&] { command("FileNewItem")->trigger(); } },
        { "purge layers", [&] { command("PurgeLayers1")->trigger(); } },
    };
    for (const auto& [name, run] : commands) {
        run();
        // The five-second refresh of the AIS view.
        ASSERT_NE(views().aisView(), nullptr) << name;
        for (int i = 0; i < views().count(); ++i) {
            window->controller().RefRateTimer(i);
        }
        EXPECT_EQ(DrawnTargets(), 3) << name;
        EXPECT_EQ(state.ais.SelectedTarget, picked) << name;
        window->aisWindow()->refresh();
        EXPECT_FALSE(window->aisWindow()->memo()->toPlainText().isEmpty()) << name;
    }
    // The view the purge opened took over from the AIS view, with its button and its rule.
    window->refresh();
    const int ais = &views().view(0) == views().aisView() ? 0 : 1;
    EXPECT_TRUE(window->view(ais)->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS"))->isVisible());
    EXPECT_FALSE(views().CloseView(ais));
}

TEST_F(ViewRedrawTest, EveryRedrawingCommandDrawsWhatAFreshDrawingDraws)
{
    ShowThreeTargets();
    // A route and a tidal atlas to purge and to step through.
    std::vector<std::string> lines;
    for (int i = 1; i <= 3; ++i) {
        RouteWaypoint w;
        w.name = DefaultRouteName(i);
        const LatLong pos = At(-150 + 90 * i, 30 * i);
        w.lat = pos.lat;
        w.lon = pos.lon;
        lines.push_back(RouteLine(w));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/r.rte"), lines));
    ASSERT_TRUE(window->controller().routes().ReadRouteFile(dir.file("routes/r.rte")));
    TidalDiamond diamond;
    const LatLong at = At(-40, 40);
    diamond.lat = at.lat;
    diamond.lon = at.lon;
    for (int h = 0; h < kTideHours; ++h) {
        diamond.set[static_cast<std::size_t>(h)] = static_cast<std::int16_t>(30 * h);
        diamond.rate[static_cast<std::size_t>(h)] = 20;
    }
    state.tides.push(diamond);
    window->controller().UpdateMenuItems();
    window->refresh();

    PreferencesModel preferences(window->controller());
    preferences.Fill();
    const std::pair<const char*, std::function<void()>> cases[] = {
        { "five-second refresh", [&] { window->controller().RefRateTimer(0); } },
        { "tide step", [&] { command("TideStep1")->trigger(); } },
        { "tide step again", [&] { command("TideStep1")->trigger(); } },
        { "target list row",
            [&] {
                window->aisList()->refresh();
                window->aisList()->table()->selectRow(2);
            } },
        { "colour scheme", [&] { preferences.DefaultsClick(3); } },
        { "purge route", [&] { command("Route1")->trigger(); } },
        { "clear all targets",
            [&] { window->view(0)->popupMenu()->findChild<QAction*>(QStringLiteral("ClearAllTargets1"))->trigger(); } },
    };
    for (const auto& [name, run] : cases) {
        // Each command starts from a re-centred view, which recreates the picture.
        views().ReCentre(views().view(0));
        ASSERT_EQ(DifferingPixels(0), 0) << "before " << name;
        run();
        EXPECT_EQ(DifferingPixels(0), 0) << name;
    }
    // What the commands removed is gone from the picture.
    EXPECT_EQ(state.ais.targets.count(), 0);
    EXPECT_TRUE(state.route.empty());
    EXPECT_EQ(ColoursFromSettings(state.settings).background, 0xFFFFFFu);
}

// A dangerous target's note leaves the status line with the target when all targets are cleared,
// instead of naming a target no longer shown until the next fix.
TEST_F(ViewRedrawTest, ClearingTheTargetsClearsTheirCollisionNote)
{
    state.extra.CollisionWarnings = true;
    // 0.1 nm north of own ship, heading south for it at 6 knots.
    const double lat = state.fixInfo.OwnLat + 0.1 / 60.0;
    window->controller().ais().DecodeAndUpdate(
        kvtest::AisPositionReport(235000009, lat, -state.fixInfo.OwnLong, 6.0, 180.0));
    ASSERT_EQ(state.display.StatusLine.rfind("Danger", 0), 0u) << state.display.StatusLine;
    window->view(0)->popupMenu()->findChild<QAction*>(QStringLiteral("ClearAllTargets1"))->trigger();
    EXPECT_EQ(state.ais.targets.count(), 0);
    EXPECT_EQ(state.display.StatusLine.find("Danger"), std::string::npos) << state.display.StatusLine;
}

} // namespace
