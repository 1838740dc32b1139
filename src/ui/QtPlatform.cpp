#include "ui/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>

namespace kvui {

void QtClipboard::setText(const std::string& latin1Text)
{
    QApplication::clipboard()->setText(QString::fromLatin1(latin1Text.data(), static_cast<qsizetype>(latin1Text.size())));
}

void QtClipboard::setImage(const QImage& image) { QApplication::clipboard()->setImage(image); }

QtPrinter::QtPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

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
    return QProcess::startDetached(QString::fromLocal8Bit(program.data(), static_cast<qsizetype>(program.size())), args);
}

} // namespace kvui
