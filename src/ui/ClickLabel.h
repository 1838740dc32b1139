#pragma once
// A status-bar panel that reports clicks and double clicks.

#include <QLabel>
#include <QMouseEvent>

#include <functional>

namespace kvui {

class ClickLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> clicked;
    std::function<void()> doubleClicked;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && clicked) {
            clicked();
        }
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && doubleClicked) {
            doubleClicked();
        }
    }
};

} // namespace kvui
