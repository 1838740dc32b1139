#pragma once
// Message boxes and beeps for the core, as modal Qt message boxes over the main window.

#include "platform/Prompter.h"

class QWidget;

namespace kvui {

class QtPrompter final : public kv::Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr)
        : parent_(parent)
    {
    }
    void setParent(QWidget* parent) { parent_ = parent; }

    void warning(const std::string& text) override;
    void error(const std::string& text) override;
    void information(const std::string& text) override;
    bool confirm(const std::string& text) override;
    bool okCancel(const std::string& text) override;
    bool okCancelCaptioned(const std::string& caption, const std::string& text) override;
    bool informationOkCancel(const std::string& text) override;
    kv::Answer yesNoCancel(const std::string& text) override;
    void beep(kv::Beep kind) override;

private:
    QWidget* parent_;
};

} // namespace kvui
