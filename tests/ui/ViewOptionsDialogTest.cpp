// The "View and Zoom Properties" dialog as a user drives it: opened from the view's tool bar and
// its pop-up menu, the survey controls following "Plot Survey Log", the log-format warning, the
// line-style buttons, OK storing into the view (with the legend shown), Cancel storing nothing.

#include "UiSupport.h"

#include "app/MainController.h"
#include "app/ViewOptionsModel.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using namespace kv;

TEST(ViewOptionsDialog, ToolBarButtonOpensItAndOkStoresWhatWasChosen)
{
    kvtest::App();
    kvtest::TempDir dir;
    kvtest::PrepareWorkingFolder(dir);
    ProgramState state;
    FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.aboutBox = [] {};
    window.start(dir.path(), "");
    window.show();
    window.secsTick();
    ASSERT_GE(window.controller().views().count(), 1);
    state.settings.TextLogFormat = "@f,@t,@p:3,@s";
    kvui::ViewWindow* w = window.view(0);
    QAction* button = w->toolBar()->findChild<QAction*>(QStringLiteral("ViewBtn"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("View / Zoom properties"));

    int shown = 0;
    window.execDialog = [&](QDialog& d) {
        ++shown;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("View and Zoom Properties"));
        auto* plot = d.findChild<QCheckBox*>(QStringLiteral("PlotTextLog"));
        auto* field = d.findChild<QComboBox*>(QStringLiteral("PlotV"));
        auto* colour = d.findChild<QCheckBox*>(QStringLiteral("BlobOn"));
        auto* range = d.findChild<QSpinBox*>(QStringLiteral("PlotRange"));
        EXPECT_FALSE(field->isEnabled());
        EXPECT_FALSE(colour->isEnabled());
        plot->click();
        EXPECT_TRUE(field->isEnabled());
        EXPECT_TRUE(colour->isEnabled());
        EXPECT_FALSE(range->isEnabled());
        colour->click();
        EXPECT_TRUE(range->isEnabled());
        range->setValue(12);
        // "Quality of fix" is not logged: a warning and back to "- None"; the speed is.
        field->setCurrentIndex(3);
        emit field->activated(3);
        EXPECT_TRUE(fakes.prompter.lastMessageIs(kFieldNotInLogFormat));
        EXPECT_EQ(field->currentIndex(), 0);
        field->setCurrentIndex(4);
        emit field->activated(4);
        EXPECT_EQ(field->currentIndex(), 4);
        d.findChild<QPushButton*>(QStringLiteral("None"))->click();
        d.findChild<QCheckBox*>(QStringLiteral("Lay3"))->click();
        EXPECT_TRUE(d.findChild<QCheckBox*>(QStringLiteral("Lay0"))->isChecked());
        EXPECT_FALSE(d.findChild<QCheckBox*>(QStringLiteral("Lay1"))->isChecked());
        d.findChild<QLineEdit*>(QStringLiteral("HiLite"))->setText(QStringLiteral("7.5"));
        d.findChild<QSpinBox*>(QStringLiteral("xZoom"))->setValue(64);
        d.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        return static_cast<int>(d.result());
    };
    button->trigger();
    EXPECT_EQ(shown, 1);
    const ChartView& v = window.controller().views().view(0);
    EXPECT_TRUE(v.options.PlotTextLog);
    EXPECT_EQ(v.options.PlotField, 'S');
    EXPECT_TRUE(v.options.Blobs);
    EXPECT_EQ(v.options.PlotRange, 12);
    EXPECT_EQ(v.options.Highlight, 7.5);
    EXPECT_EQ(v.zoom, 64.0);
    EXPECT_EQ(v.options.LineTypes, (std::array<bool, 7> { true, false, false, true, false, false, false }));
    EXPECT_FALSE(w->legend()->isHidden()) << "the colour legend shows with the blobs";

    // The pop-up entry opens the same dialog; Cancel keeps everything.
    QAction* popup = w->popupMenu()->findChild<QAction*>(QStringLiteral("Delete1"));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->text(), QStringLiteral("&View Properties"));
    window.execDialog = [&](QDialog& d) {
        ++shown;
        d.findChild<QCheckBox*>(QStringLiteral("PlotTextLog"))->click();
        d.findChild<QSpinBox*>(QStringLiteral("xZoom"))->setValue(3);
        d.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
        return static_cast<int>(d.result());
    };
    popup->trigger();
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(v.options.PlotTextLog);
    EXPECT_EQ(v.zoom, 64.0);
    fakes.prompter.defaultAnswer = true;
    window.close();
}

} // namespace
