// Small faults of the main window at its default size: figures cut off, the remark editor out of
// reach, the target list too narrow, the first-start note behind the About box, F1 in the Timing
// dialog.

#include "UiSupport.h"
#include "WindowFixture.h"

#include "app/ProgramState.h"
#include "app/Remarks.h"
#include "app/TimingModel.h"
#include "platform/fake/Fakes.h"
#include "ui/AisTargetListWindow.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/TimingDialog.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace kv;
using kvui::MainWindow;

class WindowFitTest : public kvtest::WindowTest {
protected:
    // The window at the size it opens with.
    void start()
    {
        startWindow();
        kvtest::Spin(30);
    }
    // The width a label needs for its text, frame and margins included.
    static int Needed(const QLabel* label)
    {
        const QMargins m = label->contentsMargins();
        return label->fontMetrics().horizontalAdvance(label->text()) + m.left() + m.right() + 2 * label->margin();
    }
};

// The navigation panel's figures at their widest, in normal and in large type, are shown whole.
TEST_F(WindowFitTest, NavigationFiguresAreNeverCut)
{
    start();
    const std::pair<const char*, const char*> widest[] = {
        { "TimeToWP", " 0 Hr 10.0 Min" },
        { "TimeToWP", "99 Hr 59.9 Min" },
        { "Trip", "12345.67 Mls" },
        { "RngToWp", "1234.56 Km " },
        { "SpeedMG", "Speed<Tide! " },
    };
    for (const bool large : { false, true }) {
        state.extra.LargeNavFigures = large;
        for (const auto& [name, text] : widest) {
            state.display.TimeToWP = name == std::string("TimeToWP") ? text : "";
            state.display.Trip = name == std::string("Trip") ? text : "";
            state.display.RngToWp = name == std::string("RngToWp") ? text : "";
            state.display.SpeedMG = name == std::string("SpeedMG") ? text : "";
            window->refresh();
            kvtest::Spin(10);
            auto* label = window->findChild<QLabel*>(QLatin1String(name));
            ASSERT_NE(label, nullptr);
            EXPECT_GE(label->contentsRect().width(),
                Needed(label) - label->contentsMargins().left() - label->contentsMargins().right())
                << name << " \"" << text << "\" large " << large;
        }
    }
}

// The remark editor is on the window, not in the tool bar's overflow menu.
TEST_F(WindowFitTest, RemarkEditorIsShownAtTheDefaultSize)
{
    start();
    window->controller().remarks().OpenRemarkEditor();
    window->refresh();
    kvtest::Spin(30);
    QPlainTextEdit* editor = window->remarkEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    const QRect inWindow(editor->mapTo(window.get(), QPoint(0, 0)), editor->size());
    EXPECT_TRUE(window->rect().contains(inWindow)) << inWindow.x() << "," << inWindow.y();
    QAction* save = window->command(QLatin1String(kv::ctl::RemarkButton));
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isVisible());
}

// The target list opens wide enough for every column, the closest approach, its time and the
// age included.
TEST_F(WindowFitTest, TargetListOpensWithEveryColumnInView)
{
    start();
    window->command(QStringLiteral("AISTargetList1"))->trigger();
    kvtest::Spin(30);
    QTableWidget* table = window->aisList()->table();
    ASSERT_TRUE(table->isVisible());
    const int visible = table->viewport()->width();
    for (int c = 0; c < table->columnCount(); ++c) {
        const QString header = table->horizontalHeaderItem(c)->text();
        EXPECT_LE(table->columnViewportPosition(c) + table->columnWidth(c), visible) << header.toStdString();
        EXPECT_GE(table->columnWidth(c), table->horizontalHeader()->fontMetrics().horizontalAdvance(header))
            << header.toStdString();
    }
}

// A new user's note comes after the About box of the first tick, so the box does not cover it.
TEST(FirstStart, NoteIsShownAfterTheAboutBox)
{
    kvtest::App();
    kvtest::TempDir dir;
    kvtest::PrepareWorkingFolder(dir);
    ProgramState state;
    FakePlatform fakes;
    auto window = std::make_unique<MainWindow>(state, fakes.platform);
    std::size_t messagesAtAbout = 99;
    window->aboutBox = [&] { messagesAtAbout = fakes.prompter.messages.size(); };
    window->setFirstStartNote("A folder was made for you");
    window->start(dir.path(), "");
    window->show();
    kvtest::Spin(20);
    const auto noted = [&] {
        for (const auto& m : fakes.prompter.messages) {
            if (m.text == "A folder was made for you") {
                return true;
            }
        }
        return false;
    };
    EXPECT_FALSE(noted()) << "not before the About box";
    window->secsTick();
    ASSERT_NE(messagesAtAbout, 99U);
    EXPECT_TRUE(kvtest::SpinUntil(500, noted));
    // Once only.
    window->showAboutBox();
    kvtest::Spin(20);
    EXPECT_EQ(std::count_if(fakes.prompter.messages.begin(), fakes.prompter.messages.end(),
                  [](const auto& m) { return m.text == "A folder was made for you"; }),
        1);
    fakes.prompter.defaultAnswer = true;
    window->close();
}

// F1 in the Timing dialog opens the manual's page of the timing settings over the dialog.
TEST_F(WindowFitTest, F1InTheTimingDialogOpensItsPage)
{
    start();
    TimingModel model(window->controller());
    model.Fill();
    kvui::TimingDialog dialog(model, window.get());
    auto* key = dialog.findChild<QShortcut*>(QStringLiteral("TimingHelpKey"));
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->key(), QKeySequence(Qt::Key_F1));
    emit key->activated();
    auto* help = dialog.findChild<kvui::HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->browser()->source().fileName(), QStringLiteral("preferences.md"));
}

} // namespace
