// The alarm bar in the main window: alarms stack most urgent first above the chart area, the
// Acknowledge button silences and dims one, and an alarm whose condition ends leaves by itself.

#include "UiSupport.h"

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

constexpr double kMetre = 1.0 / 1852.0 / 60.0;

QList<QWidget*> Rows(QWidget& window)
{
    QWidget* bar = window.findChild<QWidget*>(QStringLiteral("AlarmBar"));
    return bar == nullptr ? QList<QWidget*> {} : bar->findChildren<QWidget*>(QStringLiteral("AlarmRow"));
}

QString RowText(QWidget* row)
{
    return row->findChild<QLabel*>(QStringLiteral("AlarmText"))->text();
}

TEST(AlarmBar, StacksMostUrgentFirstAcknowledgesAndClearsItself)
{
    kvtest::App();
    kvtest::TempDir dir;
    kvtest::PrepareWorkingFolder(dir);
    kv::ProgramState state;
    kv::FakePlatform fakes;
    auto window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
    window->start(dir.path(), "");
    window->show();
    QWidget* bar = window->findChild<QWidget*>(QStringLiteral("AlarmBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isVisible()) << "no alarm, no bar";
    // Above the chart area.
    const auto* mdi = window->findChild<QMdiArea*>(QStringLiteral("ClientArea"));
    ASSERT_NE(mdi, nullptr);

    // The GPS watch is switched on and the receiver goes quiet; then the anchor drags.
    state.extra.GpsLostAlarm = true;
    window->controller().alarms().ApplySettings();
    state.nmeaLink.NmeaOpen = true;
    state.nmeaLink.LastPositionSentence = "$GPRMC,120000,A,5000.000,N,00100.000,W,0.0,0.0,081226,,";
    fakes.clock.time = kv::LocalDateTime { 2026, 12, 8, 12, 0, 0, 0 };
    window->secsTick();
    fakes.clock.time.second = 10;
    window->secsTick();
    state.fixInfo.OwnLat = 50.0;
    state.fixInfo.OwnLong = 1.0;
    window->findChild<QAction*>(QStringLiteral("DropAnchorCursor1"))->trigger();
    EXPECT_EQ(state.extra.AnchorLat, 50.0);
    EXPECT_EQ(state.extra.AnchorLong, 1.0);
    state.fixInfo.FixSource = "GPS";
    state.fixInfo.OwnLat = 50.0 + 45 * kMetre; // the fix replaces the cursor the redraw left there
    state.fixInfo.OwnLong = 1.0;
    window->controller().alarms().FixTaken();
    fakes.clock.time.second = 11;
    window->secsTick();

    QList<QWidget*> rows = Rows(*window);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_LT(bar->mapTo(window.get(), QPoint(0, 0)).y(), mdi->mapTo(window.get(), QPoint(0, 0)).y());
    // The anchor drag is more urgent than the lost fix although it started later.
    EXPECT_EQ(RowText(rows[0]), QStringLiteral("Anchor drag: 45 m from the anchor (circle 30 m)"));
    EXPECT_EQ(rows[0]->findChild<QLabel*>(QStringLiteral("AlarmTime"))->text(), QStringLiteral("12:00:10"));
    EXPECT_EQ(RowText(rows[1]), QStringLiteral("GPS fix lost"));
    EXPECT_EQ(rows[1]->findChild<QLabel*>(QStringLiteral("AlarmTime"))->text(), QStringLiteral("12:00:10"));

    // Acknowledge the anchor drag: its sound stops, it stays, dimmed, with its button spent.
    const int stopsBefore = fakes.sound.stops;
    rows[0]->findChild<QPushButton*>(QStringLiteral("Acknowledge"))->click();
    EXPECT_EQ(fakes.sound.stops, stopsBefore + 1);
    rows = Rows(*window);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0]->property("acknowledged").toBool());
    EXPECT_FALSE(rows[0]->findChild<QPushButton*>(QStringLiteral("Acknowledge"))->isEnabled());
    EXPECT_FALSE(rows[1]->property("acknowledged").toBool());
    // Steering goes on: the bar is no dialog.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The fix comes back: the GPS alarm leaves; weighing anchor ends the other.
    state.nmeaLink.LastPositionSentence = "$GPRMC,120012,A,5000.000,N,00100.000,W,0.0,0.0,081226,,";
    fakes.clock.time.second = 12;
    window->secsTick();
    rows = Rows(*window);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(RowText(rows[0]).startsWith(QStringLiteral("Anchor drag")));
    window->findChild<QAction*>(QStringLiteral("WeighAnchor1"))->trigger();
    EXPECT_TRUE(Rows(*window).isEmpty());
    EXPECT_FALSE(bar->isVisible());

    fakes.prompter.defaultAnswer = true;
    window->close();
}

} // namespace
