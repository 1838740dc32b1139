#pragma once
// What the picture programs of docs/ share: their two folder arguments and saving a window's
// picture. Each program names itself in its messages by its executable's name.

#include <QApplication>
#include <QDir>
#include <QString>
#include <QWidget>

#include <cstdio>
#include <optional>
#include <string>

namespace kvshot {

struct Folders {
    std::string work; // the working folder the program starts in, ending in "/"
    QString out;      // where the pictures go, ending in "/"
};

// WORKDIR and OUTDIR from the command line as absolute folders; the usage line when they are not
// both there.
inline std::optional<Folders> FolderArguments(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WORKDIR OUTDIR\n", qPrintable(QCoreApplication::applicationName()));
        return std::nullopt;
    }
    return Folders{QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString() + "/",
                   QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QStringLiteral("/")};
}

// Lets the window finish drawing, then writes its picture to file.
inline bool Save(QWidget& widget, const QString& file)
{
    QApplication::processEvents();
    const bool saved = widget.grab().save(file);
    if (!saved) {
        std::fprintf(stderr, "%s: cannot write %s\n", qPrintable(QCoreApplication::applicationName()),
                     qPrintable(file));
    }
    return saved;
}

} // namespace kvshot
