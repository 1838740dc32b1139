#include "views/NorthArrow.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kv {

namespace {
constexpr int kArrowSize = 44; // pixels, on screen
} // namespace

NorthDirection NorthOnScreen(double angleRadians)
{
    // A point due north of the reference lies at dy < 0, dx = 0; turned, it is at
    // (−dy sin θ, dy cos θ).
    return NorthDirection { std::sin(angleRadians), -std::cos(angleRadians) };
}

void DrawNorthArrow(QPainter& painter, int x, int y, int size, double angleRadians, Rgb colour, Rgb background)
{
    const NorthDirection n = NorthOnScreen(angleRadians);
    const QPointF centre(x + size / 2.0, y + size / 2.0);
    const double half = size * 0.32;
    const QPointF head = centre + QPointF(n.x * half, n.y * half);
    const QPointF tail = centre - QPointF(n.x * half, n.y * half);
    const QPointF across(-n.y * size * 0.12, n.x * size * 0.12);
    const QPointF barb = head - QPointF(n.x * size * 0.28, n.y * size * 0.28);
    const QColor ink = QColor::fromRgb(0xFF000000u | colour);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor::fromRgb(0xFF000000u | background), 1));
    painter.setBrush(QColor::fromRgb(0xFF000000u | background));
    painter.drawEllipse(centre, size / 2.0 - 0.5, size / 2.0 - 0.5);
    painter.setPen(QPen(ink, std::max(1.0, size / 22.0)));
    painter.drawEllipse(centre, size / 2.0 - 1.5, size / 2.0 - 1.5);
    painter.drawLine(tail, barb);
    QPainterPath arrow;
    arrow.moveTo(head);
    arrow.lineTo(barb + across);
    arrow.lineTo(barb - across);
    arrow.closeSubpath();
    painter.fillPath(arrow, ink);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        painter.restore(); // no fonts without a GUI application: the arrow alone
        return;
    }
    // The letter on the tail side, upright, so that it never sits under the head.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(6, size * 3 / 11));
    font.setBold(true);
    painter.setFont(font);
    const QPointF letter
        = centre - QPointF(n.x * size * 0.05, n.y * size * 0.05) + QPointF(-n.y * size * 0.2, n.x * size * 0.2);
    const QRectF box(letter.x() - size * 0.15, letter.y() - size * 0.15, size * 0.3, size * 0.3);
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("N"));
    painter.restore();
}

QImage NorthArrowImage(double angleRadians, Rgb colour, Rgb background)
{
    if (angleRadians == 0.0) {
        return {};
    }
    QImage image(kArrowSize, kArrowSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawNorthArrow(painter, 0, 0, kArrowSize, angleRadians, colour, background);
    painter.end();
    return image;
}

} // namespace kv
