#include "ui/QtPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QVBoxLayout>

namespace kvui {

void QtClipboard::setText(const std::string& latin1Text)
{
    QApplication::clipboard()->setText(
        QString::fromLatin1(latin1Text.data(), static_cast<qsizetype>(latin1Text.size())));
}

void QtClipboard::setImage(const QImage& image)
{
    QApplication::clipboard()->setImage(image);
}

QtPrinter::QtPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    printDialog = [](QPrinter& printer, bool& whitePaper) {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        auto* paper = new QWidget;
        paper->setWindowTitle(QStringLiteral("Chart"));
        auto* layout = new QVBoxLayout(paper);
        auto* white = new QCheckBox(QStringLiteral("White paper (dark lines on a white background)"), paper);
        white->setObjectName(QStringLiteral("WhitePaper"));
        white->setChecked(whitePaper);
        layout->addWidget(white);
        layout->addStretch(1);
        dialog.setOptionTabs({ paper });
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        whitePaper = white->isChecked();
        return true;
    };
}

QtPrinter::~QtPrinter() = default;

bool QtPrinter::printFitted(const QImage& image)
{
    if (image.isNull()) {
        return false;
    }
    QPrintDialog dialog(printer_.get(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        return false;
    }
    // Scaled to fit the page, keeping the picture's proportions.
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    return painter.end();
}

bool QtPrinter::printDrawn(const std::function<QImage(const kv::PrintPage&)>& draw)
{
    if (!printDialog || !printDialog(*printer_, whitePaper_)) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(printer_.get())) {
        return false;
    }
    // The picture is drawn for the printable area at a resolution the drawing can afford, then
    // placed centred; at the printer's own resolution it is copied pixel for pixel.
    const QRect area = painter.viewport();
    const int deviceDpi = std::max(1, printer_->resolution());
    const int dpi = std::min(deviceDpi, kMaxDrawingDpi);
    kv::PrintPage page;
    page.width = area.width() * dpi / deviceDpi;
    page.height = area.height() * dpi / deviceDpi;
    page.dotsPerInch = dpi;
    page.whitePaper = whitePaper_;
    const QImage picture = draw(page);
    if (picture.isNull()) {
        painter.end();
        return false;
    }
    const double enlarge = static_cast<double>(deviceDpi) / dpi;
    const QSizeF size(picture.width() * enlarge, picture.height() * enlarge);
    const QRectF target(area.x() + (area.width() - size.width()) / 2.0,
        area.y() + (area.height() - size.height()) / 2.0, size.width(), size.height());
    painter.drawImage(target, picture);
    return painter.end();
}

void QtPrinter::preferOrientation(bool landscape)
{
    printer_->setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void QtPrinter::setup()
{
    QPageSetupDialog dialog(printer_.get(), QApplication::activeWindow());
    dialog.exec();
}

bool QtLauncher::launch(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList args;
    for (const auto& a : arguments) {
        args << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
    }
    return QProcess::startDetached(
        QString::fromLocal8Bit(program.data(), static_cast<qsizetype>(program.size())), args);
}

} // namespace kvui
