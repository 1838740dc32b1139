#include "ui/ColourGrid.h"

#include "app/PreferencesModel.h"

#include <QMouseEvent>
#include <QPainter>

namespace kvui {

ColourGrid::ColourGrid(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(sizeHint());
}

void ColourGrid::setIndices(int foreground, int background)
{
    fg_ = foreground;
    bg_ = background;
    update();
}

QRect ColourGrid::cellRect(int index) const
{
    return { (index % 4) * kCell, (index / 4) * kCell, kCell, kCell };
}

int ColourGrid::cellAt(QPoint p) const
{
    if (p.x() < 0 || p.y() < 0 || p.x() >= 4 * kCell || p.y() >= 4 * kCell) {
        return -1;
    }
    return p.y() / kCell * 4 + p.x() / kCell;
}

void ColourGrid::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    for (int i = 0; i < 16; ++i) {
        const QColor colour { QRgb(kv::kGridPalette[static_cast<std::size_t>(i)]) };
        const QRect r = cellRect(i);
        painter.fillRect(r, isEnabled() ? colour : colour.darker(150));
        painter.setPen(Qt::gray);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        QString mark;
        if (i == fg_) {
            mark = QStringLiteral("FG");
        }
        if (i == bg_) {
            mark += mark.isEmpty() ? QStringLiteral("BG") : QStringLiteral("/BG");
        }
        if (!mark.isEmpty()) {
            painter.setPen(colour.lightness() > 128 ? Qt::black : Qt::white);
            painter.drawText(r, Qt::AlignCenter, mark);
        }
    }
}

void ColourGrid::mousePressEvent(QMouseEvent* event)
{
    const int cell = cellAt(event->position().toPoint());
    if (cell < 0 || !isEnabled()) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        fg_ = cell;
    } else if (event->button() == Qt::RightButton) {
        bg_ = cell;
    } else {
        return;
    }
    update();
    if (changed) {
        changed(fg_, bg_);
    }
}

} // namespace kvui
