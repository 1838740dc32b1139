#include "ui/QtPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QProcess>

namespace kvui {

void QtClipboard::setText(const std::string& latin1Text)
{
    QApplication::clipboard()->setText(QString::fromLatin1(latin1Text.data(), static_cast<qsizetype>(latin1Text.size())));
}

void QtClipboard::setImage(const QImage& image) { QApplication::clipboard()->setImage(image); }

bool QtLauncher::launch(const std::string& program, const std::vector<std::string>& arguments)
{
    QStringList args;
    for (const auto& a : arguments) {
        args << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
    }
    return QProcess::startDetached(QString::fromLocal8Bit(program.data(), static_cast<qsizetype>(program.size())), args);
}

} // namespace kvui
