// The help window on the bundled manual, the Help buttons of the dialogs, and remarks mode
// driven through the main window's commands.

#include "UiSupport.h"

#include "app/HelpTopics.h"
#include "app/Remarks.h"
#include "app/WaypointDialog.h"
#include "platform/fake/Fakes.h"
#include "support/RtfReader.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"
#include "ui/WaypointEditDialog.h"

#include <QAction>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

using namespace kv;

class HelpTest : public ::testing::Test {
protected:
    HelpTest() { kvtest::App(); }
};

TEST_F(HelpTest, EveryTopicOpensItsPageOfTheManual)
{
    for (const HelpTopic& topic : HelpTopics()) {
        kvui::HelpWindow* help = kvui::ShowHelp(nullptr, topic.number);
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->browser()->source().fileName().toStdString(), topic.page) << topic.number;
        // The page came out of the bundled manual: its first heading is the topic's subject.
        const QString text = help->browser()->toPlainText();
        EXPECT_GT(text.size(), 200) << topic.page;
        EXPECT_EQ(help->index()->count(), static_cast<int>(HelpTopics().size()));
        EXPECT_EQ(help->index()->currentItem()->data(Qt::UserRole).toInt(), topic.number);
        help->close();
    }
    // A link between pages (relative, as the pages write them; a click resolves it against the
    // page shown) opens the next page rendered.
    kvui::HelpWindow* linked = kvui::ShowHelp(nullptr, kHelpContents);
    linked->browser()->setSource(linked->browser()->source().resolved(QUrl(QStringLiteral("troubleshooting.md"))));
    EXPECT_EQ(linked->browser()->source().toString(), QStringLiteral("qrc:/manual/troubleshooting.md"));
    EXPECT_TRUE(linked->browser()->toPlainText().startsWith(QStringLiteral("Troubleshooting")))
        << linked->browser()->toPlainText().left(40).toStdString();
    linked->close();

    // An unknown number opens the contents.
    kvui::HelpWindow* help = kvui::ShowHelp(nullptr, 777);
    EXPECT_EQ(help->browser()->source().fileName(), QStringLiteral("README.md"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Contents")));
    help->close();
}

TEST_F(HelpTest, WaypointDialogHelpButtonOpensItsPageOverTheDialog)
{
    WaypointDialogModel model;
    FakePrompter prompter;
    Settings settings;
    kvui::WaypointEditDialog dialog(model, settings, prompter);
    auto* button = dialog.findChild<QPushButton*>(QStringLiteral("HelpBtn"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->shortcut(), QKeySequence(Qt::Key_F1));
    button->click();
    auto* help = dialog.findChild<kvui::HelpWindow*>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->browser()->source().fileName(), QStringLiteral("waypoint-dialog.md"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Editing a route waypoint")));
}

class RemarksWindowTest : public ::testing::Test {
protected:
    RemarksWindowTest() { kvtest::App(); }
    void SetUp() override
    {
        kvtest::PrepareWorkingFolder(dir);
        window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
        window->aboutBox = [] {};
        window->chooseFile = [](const kvui::FileDialogSpec&) { return QString(); };
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
    }
    QAction* command(const char* name) { return window->command(QLatin1String(name)); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<kvui::MainWindow> window;
};

TEST_F(RemarksWindowTest, RemarkTypedInTheEditorAndAViewCopyReachTheDocument)
{
    ASSERT_NE(command("RemarksMode"), nullptr);
    EXPECT_FALSE(command("SaveRemark1")->isVisible());
    EXPECT_FALSE(command("ShowHideDocument1")->isEnabled());
    command("RemarksMode")->trigger();
    ASSERT_TRUE(state.app.RemarksMode);
    EXPECT_TRUE(command("RemarksMode")->isChecked());
    EXPECT_TRUE(command("ShowHideDocument1")->isEnabled());
    EXPECT_EQ(command("DiscardRemark")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));

    window->controller().remarks().OpenRemarkEditor();
    window->refresh();
    QPlainTextEdit* editor = window->remarkEditor();
    EXPECT_TRUE(command("RemarkBtn")->isVisible());
    EXPECT_TRUE(editor->toPlainText().startsWith(QStringLiteral("Event Number: ")));
    EXPECT_EQ(editor->toPlainText().count(QLatin1Char('\n')), 4);
    editor->moveCursor(QTextCursor::End);
    editor->insertPlainText(QStringLiteral("anchor dropped"));
    command("RemarkBtn")->trigger();
    EXPECT_FALSE(command("RemarkBtn")->isVisible());

    command("CopyView")->trigger();
    command("ShowHideDocument1")->trigger();
    EXPECT_TRUE(window->documentWindow()->isVisible());
    EXPECT_TRUE(window->documentWindow()->toPlainText().contains(QStringLiteral("Remarks: anchor dropped")));

    const RemarksDocument* document = window->controller().remarks().document();
    ASSERT_NE(document, nullptr);
    const std::string path = document->path();
    ASSERT_EQ(document->items().size(), 5u); // heading, remark, its blank lines, picture, position
    EXPECT_FALSE(document->items()[3].picture.isNull());
    // The remark goes in with the document's CR LF line ends.
    EXPECT_NE(document->items()[1].text.find("\r\nRemarks: anchor dropped"), std::string::npos);

    // Closed by its title bar, the window stays closed and the check mark goes.
    window->documentWindow()->close();
    EXPECT_FALSE(command("ShowHideDocument1")->isChecked());
    window->secsTick();
    EXPECT_FALSE(window->documentWindow()->isVisible());
    command("ShowHideDocument1")->trigger();
    EXPECT_TRUE(window->documentWindow()->isVisible());

    command("RemarksMode")->trigger();
    EXPECT_FALSE(window->documentWindow()->isVisible());
    EXPECT_EQ(path, dir.file("logs/") + state.textLog.LogNameBase.str() + ".doc");
    const std::string rtf = dir.read("logs/" + state.textLog.LogNameBase.str() + ".doc");
    EXPECT_NE(rtf.find("anchor dropped"), std::string::npos);
    EXPECT_NE(rtf.find("\\pngblip"), std::string::npos);
    for (const std::string& text : fakes.prompter.texts()) {
        EXPECT_NE(text, kWordNotRunning);
        EXPECT_NE(text, kErrorStoppingWord);
        EXPECT_NE(text, kCannotStartWord);
    }
}

// As a new user would: remarks on, three manual fixes (two remarks saved, the third
// discarded), one Copy View, remarks off. The day's .doc holds the event log in that order.
TEST_F(RemarksWindowTest, ThreeFixesTwoRemarksAndAViewCopyMakeTheDaysEventLog)
{
    state.settings.fix.KeepTextLog = true;
    command("RemarksMode")->trigger();
    ASSERT_TRUE(state.app.RemarksMode);
    QPlainTextEdit* editor = window->remarkEditor();
    const char* typed[] = { "first buoy", "second buoy" };
    for (int fix = 0; fix < 3; ++fix) {
        command("FixBtn")->trigger();
        ASSERT_TRUE(command("RemarkBtn")->isVisible()) << "fix " << fix;
        if (fix < 2) {
            editor->moveCursor(QTextCursor::End);
            editor->insertPlainText(QLatin1String(typed[fix]));
            command("RemarkBtn")->trigger();
        } else {
            command("DiscardRemark")->trigger();
        }
        EXPECT_FALSE(command("RemarkBtn")->isVisible());
    }
    command("CopyView")->trigger();
    command("RemarksMode")->trigger();
    EXPECT_FALSE(state.app.RemarksMode);

    const kvtest::RtfContent doc = kvtest::ReadRtf(dir.read("logs/" + state.textLog.LogNameBase.str() + ".doc"));
    const auto heading = doc.text.find("EVENT LOG ");
    const auto first = doc.text.find("Remarks: first buoy");
    const auto second = doc.text.find("Remarks: second buoy");
    EXPECT_EQ(heading, 0u);
    ASSERT_NE(first, std::string::npos) << doc.text;
    ASSERT_NE(second, std::string::npos) << doc.text;
    EXPECT_LT(first, second);
    std::size_t remarks = 0;
    for (std::size_t at = 0; (at = doc.text.find("Event Number: ", at)) != std::string::npos; ++at) {
        ++remarks;
    }
    EXPECT_EQ(remarks, 2u);
    ASSERT_EQ(doc.pictures.size(), 1u);
    EXPECT_GT(doc.picturesAt[0], second);
    ASSERT_GT(window->controller().views().count(), 0);
    EXPECT_EQ(doc.pictures[0].size(), window->controller().views().view(0).bitmap.size());
}

} // namespace
