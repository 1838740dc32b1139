#pragma once
// What the scenes of kvshot share: the folders a scene works in and saving a window's picture.

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <string>

namespace kvshot {

struct Folders {
    std::string work; // the scene's own working folder, ending in "/"
    QString out; // where the pictures go, ending in "/"
};

// Lets the window finish drawing, then writes its picture to file.
inline bool Save(QWidget& widget, const QString& file)
{
    QApplication::processEvents();
    const bool saved = widget.grab().save(file);
    if (!saved) {
        std::fprintf(stderr, "kvshot: cannot write %s\n", qPrintable(file));
    }
    return saved;
}

// The window's picture with a pop-up painted where it stands on the screen (a pop-up is a window
// of its own, which the window's picture leaves out).
inline bool SaveWithPopup(QWidget& window, QWidget* popup, const QString& file)
{
    QApplication::processEvents();
    QPixmap picture = window.grab();
    if (popup != nullptr && popup->isVisible()) {
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    }
    const bool saved = picture.save(file);
    if (!saved) {
        std::fprintf(stderr, "kvshot: cannot write %s\n", qPrintable(file));
    }
    return saved;
}

// Stops the main window's second timer, for a scene that ticks it itself: the picture then
// follows from the scene's own steps and not from how long a busy machine takes over them (a
// second passing in a slow run would raise the collision alarms above the chart).
inline void HoldSecondTimer(QWidget& window)
{
    if (auto* timer = window.findChild<QTimer*>(QStringLiteral("SecsTimer"))) {
        timer->stop();
    }
}

// Runs the event loop for a while, so that timers fire as they would for a user.
inline void Spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

} // namespace kvshot
