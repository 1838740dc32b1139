#include "ui/ViewWindow.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace kvui {

namespace {
void Report(const std::function<void(int, int)>& f, QMouseEvent* e)
{
    if (f) {
        const QPoint p = e->position().toPoint();
        f(p.x(), p.y());
    }
}

bool StartsPan(const QMouseEvent* e)
{
    return e->button() == Qt::MiddleButton || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
}
} // namespace

ViewImage::ViewImage(QScrollArea* box)
    : QLabel(box)
    , box_(box)
{
    setMouseTracking(true);
}

void ViewImage::mousePressEvent(QMouseEvent* e)
{
    if (StartsPan(e)) {
        panning_ = true;
        panMoved_ = false;
        panStart_ = e->globalPosition().toPoint();
        panScroll_ = QPoint(box_->horizontalScrollBar()->value(), box_->verticalScrollBar()->value());
        setCursor(Qt::ClosedHandCursor);
        e->accept();
        return;
    }
    if (e->button() == Qt::LeftButton) {
        Report(pressed, e);
    }
    QLabel::mousePressEvent(e);
}

void ViewImage::mouseMoveEvent(QMouseEvent* e)
{
    if (panning_) {
        const QPoint d = e->globalPosition().toPoint() - panStart_;
        panMoved_ = panMoved_ || !d.isNull();
        box_->horizontalScrollBar()->setValue(panScroll_.x() - d.x());
        box_->verticalScrollBar()->setValue(panScroll_.y() - d.y());
        return;
    }
    if (e->buttons() & Qt::LeftButton) {
        Report(moved, e);
    }
    Report(hovered, e);
}

void ViewImage::mouseReleaseEvent(QMouseEvent* e)
{
    if (panning_ && (e->button() == Qt::MiddleButton || e->button() == Qt::LeftButton)) {
        panning_ = false;
        unsetCursor();
        if (panMoved_ && panned) {
            panned();
        }
        return;
    }
    if (e->button() == Qt::LeftButton) {
        Report(released, e);
    }
}

void ViewImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && !(e->modifiers() & Qt::ShiftModifier)) {
        Report(doubleClicked, e);
    }
}

void ViewImage::wheelEvent(QWheelEvent* e)
{
    if ((e->modifiers() & Qt::ControlModifier) && e->angleDelta().y() != 0) {
        if (wheelZoom) {
            const QPoint p = e->position().toPoint();
            wheelZoom(p.x(), p.y(), e->angleDelta().y() > 0);
        }
        e->accept();
        return;
    }
    e->ignore(); // the scroll box scrolls
}

void ViewImage::leaveEvent(QEvent* e)
{
    if (left) {
        left();
    }
    QLabel::leaveEvent(e);
}

ViewScrollBox::ViewScrollBox(QWidget* parent)
    : QScrollArea(parent)
{
    auto follow = [this] {
        if (!restoring_) {
            anchor_ = middlePixel();
        }
    };
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, follow);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, follow);
}

QPoint ViewScrollBox::middlePixel() const
{
    const QPoint middle(viewport()->width() / 2, viewport()->height() / 2);
    return widget() ? widget()->mapFrom(viewport(), middle) : middle;
}

void ViewScrollBox::centreOn(int x, int y)
{
    anchor_ = QPoint(x, y);
    restore();
}

void ViewScrollBox::restore()
{
    restoring_ = true;
    horizontalScrollBar()->setValue(anchor_.x() - viewport()->width() / 2);
    verticalScrollBar()->setValue(anchor_.y() - viewport()->height() / 2);
    restoring_ = false;
}

bool ViewScrollBox::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Resize:
    case QEvent::LayoutRequest:
    case QEvent::Show: {
        // The scroll bars' ranges change with the size (and the viewport with the scroll bars
        // shown or hidden); the pixel in the middle must not.
        restoring_ = true;
        const bool done = QScrollArea::event(e);
        restore();
        return done;
    }
    default:
        return QScrollArea::event(e);
    }
}

bool ViewScrollBox::viewportEvent(QEvent* e)
{
    if (e->type() != QEvent::Resize || restoring_) {
        return QScrollArea::viewportEvent(e);
    }
    restoring_ = true;
    const bool done = QScrollArea::viewportEvent(e);
    restore();
    return done;
}

ViewWindow::ViewWindow(int number, QWidget* parent)
    : QWidget(parent)
    , number_(number)
{
    setObjectName(QStringLiteral("ChartView%1").arg(number));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ViewToolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    layout->addWidget(toolBar_);
    scroll_ = new ViewScrollBox(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox1"));
    image_ = new ViewImage(scroll_);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(image_);
    // A window larger than the picture shows it in the middle, on the chart's background.
    scroll_->setAlignment(Qt::AlignCenter);
    scroll_->viewport()->setAutoFillBackground(true);
    layout->addWidget(scroll_, 1);
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    image_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(image_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& p) { popup_->popup(image_->mapToGlobal(p)); });
    memo_ = new QPlainTextEdit(scroll_->viewport());
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->resize(320, 200);
    memo_->hide();
    delay_ = new QTimer(this);
    delay_->setObjectName(QStringLiteral("Delay"));
    zoom_ = new QLabel(toolBar_);
    zoom_->setObjectName(QStringLiteral("ZoomLabel"));
    zoom_->setContentsMargins(6, 0, 6, 0);
    toolBar_->addWidget(zoom_);
    // The scale bar stays in the window's corner whatever is scrolled under it.
    scaleBar_ = new QLabel(scroll_->viewport());
    scaleBar_->setObjectName(QStringLiteral("ScaleBar"));
    scaleBar_->setAttribute(Qt::WA_TransparentForMouseEvents);
    scaleBar_->hide();
    legend_ = new QLabel(scroll_->viewport());
    legend_->setObjectName(QStringLiteral("SurveyLegend"));
    legend_->setAttribute(Qt::WA_TransparentForMouseEvents);
    legend_->hide();
    scroll_->viewport()->installEventFilter(this);
}

bool ViewWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) {
        placeScaleBar();
    }
    return QWidget::eventFilter(watched, event);
}

void ViewWindow::placeScaleBar()
{
    const int margin = 8;
    scaleBar_->move(margin, scroll_->viewport()->height() - scaleBar_->height() - margin);
    scaleBar_->raise();
    if (legend_) {
        legend_->move(scroll_->viewport()->width() - legend_->width() - margin, margin);
        legend_->raise();
    }
}

void ViewWindow::setScaleBar(const QImage& bar)
{
    if (bar.isNull()) {
        scaleBar_->hide();
        return;
    }
    scaleBar_->setPixmap(QPixmap::fromImage(bar));
    scaleBar_->resize(bar.size());
    placeScaleBar();
    scaleBar_->show();
}

void ViewWindow::setLegend(const QImage& legend)
{
    if (legend.isNull()) {
        legend_->hide();
        return;
    }
    legend_->setPixmap(QPixmap::fromImage(legend));
    legend_->resize(legend.size());
    placeScaleBar();
    legend_->show();
}

void ViewWindow::setZoomText(const QString& text)
{
    zoom_->setText(text);
}

void ViewWindow::setBackground(const QColor& colour)
{
    QPalette palette = scroll_->viewport()->palette();
    if (palette.color(QPalette::Window) != colour) {
        palette.setColor(QPalette::Window, colour);
        scroll_->viewport()->setPalette(palette);
    }
}

void ViewWindow::showInformation(const kv::ChartView& view)
{
    if (!view.infoOpen) {
        memo_->hide();
        return;
    }
    if (!memo_->isVisible()) {
        // Placed at the cursor pixel less the scroll offsets, as the text was pointed at.
        const QPoint at(view.cursorX - scroll_->horizontalScrollBar()->value(),
            view.cursorY - scroll_->verticalScrollBar()->value());
        memo_->move(at);
        memo_->setPlainText(QString::fromLatin1(view.infoText.data(), static_cast<qsizetype>(view.infoText.size())));
        memo_->show();
        memo_->raise();
    }
    memo_->setReadOnly(!view.infoEditable);
    const QString hint = QString::fromLatin1(view.infoHint.data(), static_cast<qsizetype>(view.infoHint.size()));
    memo_->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
    memo_->setStatusTip(hint.section(QLatin1Char('|'), 1));
}

std::string ViewWindow::informationText() const
{
    return memo_->toPlainText().toLatin1().toStdString();
}

void ViewWindow::setImage(const QImage& image)
{
    // The pixmap is replaced only when the picture changed: a new pixmap repaints the whole
    // image and costs a copy of the screen-sized bitmap.
    if (image_->pixmap().cacheKey() != 0 && image_->property("shownKey").toLongLong() == image.cacheKey()
        && image_->size() == image.size()) {
        return;
    }
    image_->setPixmap(QPixmap::fromImage(image));
    image_->setProperty("shownKey", image.cacheKey());
    image_->resize(image.size());
}

} // namespace kvui
