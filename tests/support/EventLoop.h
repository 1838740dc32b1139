#pragma once
// Running the Qt event loop in tests that use real devices and sockets.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace kvtest {

inline void EnsureCoreApp()
{
    static int argc = 1;
    static char name[] = "kvtest";
    static char* argv[] = { name, nullptr };
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
}

// Runs the event loop until the condition holds or the time is up.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

} // namespace kvtest
