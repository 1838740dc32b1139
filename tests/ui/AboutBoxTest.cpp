// The About box names the version and the working folder the window was started in.

#include "UiSupport.h"

#include "app/CommandLine.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"

#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

TEST(AboutBox, ShowsVersionAndWorkingFolder)
{
    kvtest::App();
    kvtest::TempDir dir;
    kvtest::PrepareWorkingFolder(dir);
    kv::ProgramState state;
    kv::FakePlatform fakes;
    auto window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
    window->start(dir.path(), "");
    window->showAboutBox();
    const auto* box = window->findChild<QMessageBox*>(QStringLiteral("AboutBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QString::fromStdString("KVFree " + kv::ProgramVersion())))
        << box->text().toStdString();
    EXPECT_TRUE(box->text().contains(QString::fromStdString("Working folder: " + dir.path())))
        << box->text().toStdString();
    fakes.prompter.defaultAnswer = true;
    window->close();
}

} // namespace
