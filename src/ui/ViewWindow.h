#pragma once
// One chart view child window: its tool bar, the view image in a scroll box and its pop-up menu.
// The window only shows the image it is given and reports the mouse in image pixels.

#include "views/ViewCommands.h"
#include "views/ViewModel.h"

#include <QImage>
#include <QLabel>
#include <QWidget>

#include <functional>

class QPlainTextEdit;
class QScrollArea;
class QTimer;
class QToolBar;
class QMenu;

namespace kvui {

// The view image; mouse positions are reported in image pixels.
class ViewImage final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    std::function<void(int, int)> pressed, moved, released, doubleClicked;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

class ViewWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ViewWindow(int number, QWidget* parent = nullptr);

    int number() const { return number_; }
    void setNumber(int number) { number_ = number; }
    void setImage(const QImage& image);
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* popupMenu() const { return popup_; }
    ViewImage* image() const { return image_; }
    QScrollArea* scrollArea() const { return scroll_; }
    // Scrolls so that the image pixel (x, y) is in the middle of the window.
    void centreOn(int x, int y);
    // The chart information memo over the image: shown while the view says it is open.
    void showInformation(const kv::ChartView& view);
    std::string informationText() const;
    // The view's quick-log playback and the Delay timer that drives it.
    kv::LogPlayback playback;
    QTimer* delayTimer() const { return delay_; }
    // The view geometry last shown; a change scrolls the middle of the image into view.
    double shownLat = 1000.0, shownLong = 1000.0, shownZoom = -1.0;

private:
    int number_;
    QToolBar* toolBar_;
    QScrollArea* scroll_;
    ViewImage* image_;
    QMenu* popup_;
    QPlainTextEdit* memo_;
    QTimer* delay_;
};

} // namespace kvui
