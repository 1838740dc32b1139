// The controls the core writes, as the window shows them: every one has its action or widget,
// and what is written for it reaches that control.

#include "WindowFixture.h"

#include "app/ProgramState.h"
#include "core/Config.h"
#include "core/Controls.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "support/ConfigFile.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"

#include <QAction>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace kv;

using ControlBindingTest = kvtest::WindowTest;

// A control the window does not have would take its check mark, enabled flag or hint nowhere.
TEST_F(ControlBindingTest, EveryControlHasItsActionOrWidget)
{
    startWindow();
    ASSERT_NE(window->view(0), nullptr);
    // The waypoint dialog has no "Get Avg. Position" button yet: its enabled flag is kept for it.
    const std::set<Control> notBuilt { Control::GetAvgPos };
    for (const ControlEntry& entry : kControls) {
        const QString name = QLatin1String(entry.name);
        const bool action = window->command(name) != nullptr || window->findChild<QAction*>(name) != nullptr;
        const bool widget = window->findChild<QWidget*>(name) != nullptr;
        EXPECT_EQ(action || widget, notBuilt.count(entry.control) == 0) << entry.name;
    }
}

// The gauge's hint names the cross-track error of the last fix.
TEST_F(ControlBindingTest, CrossTrackGaugeShowsItsHint)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= 2; ++i) {
        RouteWaypoint w;
        w.name = DefaultRouteName(i);
        w.lat = -16.7 + i * 0.05;
        w.lon = -41.7;
        lines.push_back(RouteLine(w));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/leg.rte"), lines));
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState&, Settings& s) { s.RouteName = "leg"; });
    startWindow();
    auto* gauge = window->findChild<QProgressBar*>(QStringLiteral("XTerror"));
    ASSERT_NE(gauge, nullptr);
    // A leg is followed from the second fix of the track on.
    for (const double lat : { -16.63, -16.62 }) {
        state.fixInfo.OwnLat = lat;
        state.fixInfo.OwnLong = -41.7 + 0.5 / 60; // half a mile east of the leg
        window->command(QStringLiteral("FixBtn"))->trigger();
    }
    const std::string tip = gauge->toolTip().toStdString();
    EXPECT_EQ(tip.rfind("XTE = ", 0), 0u) << tip;
    EXPECT_EQ(tip + "|", state.display.hint(Control::XTerror));
}

} // namespace
