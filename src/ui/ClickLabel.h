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
    std::function<void(int)> pressedAt; // x of a left press

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && pressedAt) {
            pressedAt(static_cast<int>(e->position().x()));
        }
        QLabel::mousePressEvent(e);
    }
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
