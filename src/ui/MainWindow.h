#pragma once
// The main window: a thin mirror of the program state. Commands call core operations and the
// window then shows what the state says.

#include "core/ProgramState.h"
#include "platform/Prompter.h"

#include <QMainWindow>

class QLabel;

namespace kvui {

class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(kv::ProgramState& state, kv::Prompter& prompter, QWidget* parent = nullptr);

    // Shows what the state says (status bar panels, caption).
    void refresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    kv::ProgramState& state_;
    kv::Prompter& prompter_;
    QLabel* statusLine_ = nullptr;
    QLabel* posnPanel_ = nullptr;
    QLabel* timePanel_ = nullptr;
};

} // namespace kvui
