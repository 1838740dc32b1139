#include "ui/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>

namespace kvui {

namespace {
QString Text(const std::string& latin1)
{
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}
QString Title()
{
    return QApplication::applicationName();
}
} // namespace

void QtPrompter::warning(const std::string& text)
{
    QMessageBox::warning(parent_, Title(), Text(text));
}
void QtPrompter::error(const std::string& text)
{
    QMessageBox::critical(parent_, Title(), Text(text));
}
void QtPrompter::information(const std::string& text)
{
    QMessageBox::information(parent_, Title(), Text(text));
}

bool QtPrompter::confirm(const std::string& text)
{
    return QMessageBox::question(parent_, Title(), Text(text), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPrompter::okCancel(const std::string& text)
{
    return QMessageBox::question(parent_, Title(), Text(text), QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

bool QtPrompter::okCancelCaptioned(const std::string& caption, const std::string& text)
{
    return QMessageBox::question(parent_, Text(caption), Text(text), QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

bool QtPrompter::informationOkCancel(const std::string& text)
{
    return QMessageBox::information(parent_, Title(), Text(text), QMessageBox::Ok | QMessageBox::Cancel)
        == QMessageBox::Ok;
}

kv::Answer QtPrompter::yesNoCancel(const std::string& text)
{
    switch (QMessageBox::question(
        parent_, Title(), Text(text), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return kv::Answer::Yes;
    case QMessageBox::No:
        return kv::Answer::No;
    default:
        return kv::Answer::Cancel;
    }
}

void QtPrompter::beep(kv::Beep)
{
    QApplication::beep();
}

} // namespace kvui
