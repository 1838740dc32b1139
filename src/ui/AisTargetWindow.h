#pragma once
// "AIS Target Data": a small stay-on-top window with the lines of one target.

#include "app/ProgramState.h"
#include "platform/Clock.h"

#include <QWidget>

#include <functional>
#include <string>

class QPlainTextEdit;
class QSpinBox;
class QMenu;
class QAction;

namespace kvui {

class AisTargetWindow final : public QWidget {
    Q_OBJECT
public:
    AisTargetWindow(kv::ProgramState& state, kv::Clock& clock, QWidget* parent = nullptr);

    // Rebuilds the text of the selected target, the target selector and the height.
    void refresh();
    QPlainTextEdit* memo() const { return memo_; }
    QSpinBox* targetNumber() const { return tgtNum_; }
    QMenu* popup() const { return popup_; }
    QAction* action(const QString& name) const;

    // Set by the main window: stepping the target number redraws the views (the highlight moves
    // at once), and Copy also hands the whole text to the remarks document.
    std::function<void()> redrawViews;
    std::function<void(const std::string&)> copyToRemarks;

private:
    void setStayOnTop(bool on);

    kv::ProgramState& state_;
    kv::Clock& clock_;
    QPlainTextEdit* memo_;
    QSpinBox* tgtNum_;
    QMenu* popup_;
    bool updating_ = false;
};

} // namespace kvui
