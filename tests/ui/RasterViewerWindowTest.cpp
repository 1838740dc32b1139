// The raster image viewer window in the program: made hidden with the main window, opened from
// the Tools menu and by a chartlet waypoint, its pop-up menu, the reference dialog and the
// tracking timer.

#include "UiSupport.h"

#include "app/ProgramState.h"
#include "app/WaypointDialog.h"
#include "platform/fake/Fakes.h"
#include "raster/ImageReference.h"
#include "ui/MainWindow.h"
#include "ui/RasterViewerWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace kv;
using kv::raster::RasterCommand;

class RasterViewerWindowTest : public ::testing::Test {
protected:
    RasterViewerWindowTest() { kvtest::App(); }

    void SetUp() override
    {
        kvtest::PrepareWorkingFolder(dir);
        for (const char* ext : { ".jpg", ".bmp", ".ref" }) {
            std::filesystem::copy_file(
                std::filesystem::path(KV_SOURCE_DIR) / "demo/charts" / (std::string("HarbourPlan") + ext),
                dir.file(std::string("charts/quay") + ext));
        }
        window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
        window->aboutBox = [] {};
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
    }
    void TearDown() override
    {
        fakes.prompter.defaultAnswer = true;
        window->close();
        window.reset();
    }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<kvui::MainWindow> window;
};

TEST_F(RasterViewerWindowTest, MadeHiddenOpenedFromToolsAndKeepsItsImageWhileHidden)
{
    kvui::RasterViewerWindow* viewer = window->rasterViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(viewer->windowFlags() & Qt::WindowStaysOnTopHint);

    QAction* tools = window->command(QStringLiteral("RasterImageViewer1"));
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(tools->text(), QStringLiteral("Raster Image &Viewer"));
    tools->trigger();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Raster Image Viewer"));

    // Before an image only these three may be chosen.
    for (const auto& info : kv::raster::RasterCommands()) {
        const bool always = info.command == RasterCommand::OpenImage || info.command == RasterCommand::StayOnTop
            || info.command == RasterCommand::AutoPlayAudio;
        viewer->refreshMenu();
        EXPECT_EQ(viewer->command(info.command)->isEnabled(), always) << info.caption;
    }
    EXPECT_EQ(viewer->popupMenu()->actions().size(), 18);
    EXPECT_EQ(viewer->command(RasterCommand::ZoomIn)->shortcut(), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(viewer->command(RasterCommand::ZoomOut)->shortcut(), QKeySequence(Qt::Key_F6));
    EXPECT_EQ(viewer->command(RasterCommand::Normal)->shortcut(), QKeySequence(Qt::Key_F8));
    EXPECT_EQ(viewer->command(RasterCommand::AddChartPoint)->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(viewer->command(RasterCommand::PlayAudio)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F11));
    EXPECT_EQ(viewer->command(RasterCommand::StopAudio)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F12));
    EXPECT_TRUE(viewer->command(RasterCommand::StayOnTop)->isChecked());
    EXPECT_TRUE(viewer->command(RasterCommand::AutoPlayAudio)->isChecked());

    QString folderAsked;
    viewer->chooseImage = [this, &folderAsked](const QString& folder) {
        folderAsked = folder;
        return QString::fromStdString(dir.file("charts/quay.bmp"));
    };
    viewer->command(RasterCommand::OpenImage)->trigger();
    EXPECT_EQ(folderAsked.toStdString(), state.folders.ChartDir.str());
    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Raster Image Viewer (quay)"));
    EXPECT_TRUE(viewer->viewer().referenced());
    EXPECT_TRUE(viewer->command(RasterCommand::TrackVessel)->isEnabled());
    EXPECT_EQ(viewer->canvas()->size(), QSize(512, 384));

    // Tracking runs on a timer at the fix interval; a press on the picture pauses it.
    viewer->command(RasterCommand::TrackVessel)->trigger();
    EXPECT_TRUE(viewer->trackTimer()->isActive());
    EXPECT_EQ(viewer->trackTimer()->interval(), static_cast<int>(state.settings.fix.FixIntervalMs));
    viewer->canvas()->onPress(100, 100);
    EXPECT_FALSE(viewer->trackTimer()->isActive());
    viewer->canvas()->onRelease(100, 100);
    EXPECT_TRUE(viewer->trackTimer()->isActive());
    EXPECT_TRUE(viewer->windowTitle().endsWith(QLatin1Char('E'))) << viewer->windowTitle().toStdString();

    viewer->hide();
    tools->trigger();
    EXPECT_TRUE(viewer->viewer().loaded());
    EXPECT_EQ(viewer->viewer().imagePath(), dir.file("charts/quay.bmp"));
}

TEST_F(RasterViewerWindowTest, AChartletWaypointOpensItsJpegInTheViewer)
{
    window->execDialog = [](QDialog& dialog) {
        dialog.reject(); // Cancel opens the picture as OK does
        return dialog.result();
    };
    WaypointDialogModel model;
    model.fields.WPdesc = "quay";
    model.fields.WPShape = "33   Chartlet with audio clip";
    window->runWaypointDialog(model, false);
    kvui::RasterViewerWindow* viewer = window->rasterViewer();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->viewer().imagePath(), dir.file("charts/quay.jpg"));
    EXPECT_EQ(viewer->viewer().kind(), kv::raster::ImageKind::Jpeg);
    viewer->refreshMenu();
    EXPECT_FALSE(viewer->command(RasterCommand::TrackVessel)->isEnabled());
}

TEST_F(RasterViewerWindowTest, TheReferenceDialogRefusesASizeOfZeroAndAsksBeforeSaving)
{
    kvui::RasterViewerWindow* viewer = window->rasterViewer();
    viewer->showViewer();
    ASSERT_TRUE(viewer->viewer().Open(dir.file("charts/quay.bmp")));
    viewer->sync();
    const kv::raster::ImageReference before = viewer->viewer().reference();
    bool refused = false;
    viewer->execDialog = [&](QDialog& dialog) {
        auto* height = dialog.findChild<QLineEdit*>(QStringLiteral("ImageHeight"));
        EXPECT_EQ(height->text(), QStringLiteral("384"));
        EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("NWLat"))->isEnabled());
        height->setText(QStringLiteral("0"));
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        refused = dialog.result() != QDialog::Accepted && !fakes.prompter.messages.empty()
            && fakes.prompter.messages.back().kind == "warning";
        height->setText(QStringLiteral("400"));
        dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        return dialog.result();
    };
    fakes.prompter.answer({ false });
    viewer->command(RasterCommand::ReferenceImage)->trigger();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kv::raster::kSaveReferenceQuestion));
    EXPECT_EQ(viewer->viewer().reference().height, 400);
    EXPECT_EQ(viewer->viewer().zoom().shown_height, 400);
    // Not saved on No: the file keeps what it had.
    EXPECT_EQ(kv::raster::ReadRefFile(dir.file("charts/quay.ref")).ref.height, before.height);
}

// The corner fields supply the degree sign and the point as the user types, like every other
// position field.
TEST_F(RasterViewerWindowTest, TheReferenceCornersHaveThePositionTypingAids)
{
    kvui::ReferenceDialog dialog(
        kv::raster::FormFromReference(kv::raster::ImageReference {}), true, "x.bmp", fakes.prompter);
    struct Case {
        const char* field;
        const char* keys;
        const char* shown;
    };
    // Only the digits and the hemisphere letter are typed.
    for (const Case& c : { Case { "NWLat", "50072S",
                               "50\xb0"
                               "07.2S" },
             Case { "SELat", "49599N",
                 "49\xb0"
                 "59.9N" },
             Case { "NWLong", "001155E",
                 "001\xb0"
                 "15.5E" },
             Case { "SELong", "001001W",
                 "001\xb0"
                 "00.1W" } }) {
        auto* edit = dialog.findChild<QLineEdit*>(QLatin1String(c.field));
        ASSERT_NE(edit, nullptr) << c.field;
        edit->clear();
        edit->setFocus();
        for (const char* k = c.keys; *k != '\0'; ++k) {
            QKeyEvent press(
                QEvent::KeyPress, QChar(QLatin1Char(*k)).toUpper().unicode(), Qt::NoModifier, QString(QLatin1Char(*k)));
            QApplication::sendEvent(edit, &press);
        }
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.shown)) << c.field;
    }
}

} // namespace
