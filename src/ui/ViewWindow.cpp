#include "ui/ViewWindow.h"

#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace kvui {

namespace {
void Report(const std::function<void(int, int)>& f, QMouseEvent* e)
{
    if (f) {
        const QPoint p = e->position().toPoint();
        f(p.x(), p.y());
    }
}
} // namespace

void ViewImage::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        Report(pressed, e);
    }
    QLabel::mousePressEvent(e);
}

void ViewImage::mouseMoveEvent(QMouseEvent* e)
{
    if (e->buttons() & Qt::LeftButton) {
        Report(moved, e);
    }
}

void ViewImage::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        Report(released, e);
    }
}

void ViewImage::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        Report(doubleClicked, e);
    }
}

ViewWindow::ViewWindow(int number, QWidget* parent) : QWidget(parent), number_(number)
{
    setObjectName(QStringLiteral("ChartView%1").arg(number));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("ViewToolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    layout->addWidget(toolBar_);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("ScrollBox1"));
    image_ = new ViewImage(scroll_);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(image_);
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
    image_->setPixmap(QPixmap::fromImage(image));
    image_->resize(image.size());
}

void ViewWindow::centreOn(int x, int y)
{
    scroll_->horizontalScrollBar()->setValue(x - scroll_->viewport()->width() / 2);
    scroll_->verticalScrollBar()->setValue(y - scroll_->viewport()->height() / 2);
}

} // namespace kvui
