#pragma once
// The frame most window tests share: the program on the fake platform in a prepared working
// folder, its main window opened by `startWindow`, and closed at the end of each test without
// the questions a close asks.

#include "UiSupport.h"

#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace kvtest {

class WindowTest : public ::testing::Test {
protected:
    WindowTest() { App(); }
    void SetUp() override { PrepareWorkingFolder(dir); }
    void TearDown() override
    {
        if (window) {
            fakes.prompter.defaultAnswer = true;
            fakes.prompter.defaultChoice = kv::Answer::No;
            window->close();
            window.reset();
        }
    }

    // The program started on the world chart. With a size, the window is made that size but kept
    // smaller than the screen, whose size the view bitmaps have, so that the views scroll.
    void startWindow(QSize size = {})
    {
        window = std::make_unique<kvui::MainWindow>(state, fakes.platform);
        window->aboutBox = [] {};
        window->chooseFile = [this](const kvui::FileDialogSpec&) { return chosenFile; };
        window->start(dir.path(), "");
        if (size.isValid()) {
            const QSize screen = QGuiApplication::primaryScreen()->size();
            window->resize(std::min(size.width(), screen.width() - 40), std::min(size.height(), screen.height() - 40));
        }
        window->show();
        window->secsTick();
    }

    TempDir dir;
    kv::ProgramState state;
    kv::FakePlatform fakes;
    std::unique_ptr<kvui::MainWindow> window;
    QString chosenFile; // what the file dialog answers
};

} // namespace kvtest
