#pragma once
// One chart view child window: its tool bar, the view image in a scroll box and its pop-up menu.
// The window only shows the image it is given and reports the mouse in image pixels.

#include "views/RouteMouse.h"
#include "views/ViewCommands.h"
#include "views/ViewModel.h"

#include <QImage>
#include <QLabel>
#include <QScrollArea>
#include <QWidget>

#include <functional>

class QPlainTextEdit;
class QTimer;
class QToolBar;
class QMenu;

namespace kvui {

// The view image; mouse positions are reported in image pixels. The left button picks the
// cursor; the middle button, or Shift with the left button, drags the picture; Ctrl with the
// wheel zooms about the mouse; the wheel alone scrolls.
class ViewImage final : public QLabel {
    Q_OBJECT
public:
    explicit ViewImage(QScrollArea* box);
    std::function<void(int, int)> pressed, moved, released, doubleClicked;
    // The mouse over the picture with no button down (and while dragging), and leaving it.
    std::function<void(int, int)> hovered;
    std::function<void()> left;
    // A drag of the picture has ended after moving it.
    std::function<void()> panned;
    // Ctrl + wheel at an image pixel: true to zoom in.
    std::function<void(int, int, bool)> wheelZoom;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    QScrollArea* box_;
    bool panning_ = false;
    bool panMoved_ = false;
    QPoint panStart_; // global position where the drag began
    QPoint panScroll_; // scroll position then
};

// The scroll box of a view. It keeps the image pixel at the middle of the window where it is
// when the window changes size (resize, maximise, tile, cascade).
class ViewScrollBox final : public QScrollArea {
    Q_OBJECT
public:
    explicit ViewScrollBox(QWidget* parent);
    // Scrolls so that the image pixel (x, y) is in the middle of the window.
    void centreOn(int x, int y);
    // The image pixel in the middle of the window.
    QPoint middlePixel() const;

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    void restore();
    QPoint anchor_; // the image pixel meant to be in the middle
    bool restoring_ = false;
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
    ViewScrollBox* scrollArea() const { return scroll_; }
    // Scrolls so that the image pixel (x, y) is in the middle of the window.
    void centreOn(int x, int y) { scroll_->centreOn(x, y); }
    // The scale bar in the lower left corner of the window (a null image hides it) and the zoom
    // in the tool bar.
    void setScaleBar(const QImage& bar);
    void setZoomText(const QString& text);
    // The survey-log plot's colour legend in the upper right corner (a null image hides it).
    void setLegend(const QImage& legend);
    QLabel* legend() const { return legend_; }
    // The colour around a picture smaller than the window.
    void setBackground(const QColor& colour);
    QLabel* scaleBar() const { return scaleBar_; }
    // The chart information memo over the image: shown while the view says it is open.
    void showInformation(const kv::ChartView& view);
    std::string informationText() const;
    // The view's quick-log playback and the Delay timer that drives it.
    kv::LogPlayback playback;
    // A drag of a route waypoint under way in this view.
    kv::RouteDrag routeDrag;
    QTimer* delayTimer() const { return delay_; }
    // The view's common tails already shown: a new one scrolls the middle of the image into view.
    unsigned shownCentred = 0;
    bool shownOnce = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeScaleBar();
    int number_;
    QToolBar* toolBar_;
    ViewScrollBox* scroll_;
    ViewImage* image_;
    QMenu* popup_;
    QPlainTextEdit* memo_;
    QTimer* delay_;
    QLabel* zoom_;
    QLabel* scaleBar_;
    QLabel* legend_ = nullptr;
};

} // namespace kvui
