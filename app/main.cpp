// kvfree [config-file] [--screenshot FILE.png --after SECONDS [--show-ais]] [--quit-after SECONDS]
//
// --quit-after closes the window through the ordinary quit sequence, the question answered Yes
// on the terminal: a scripted run that starts, shows its chart and stops as a user would.
//
// Runs in the current working folder (charts/, routes/, tides/, logs/ and kelvw.cfg live there).

#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSoundPlayer.h"
#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {
class TerminalPrompter final : public kv::Prompter {
public:
    void warning(const std::string& text) override { std::fprintf(stderr, "warning: %s\n", text.c_str()); }
    void error(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
    void information(const std::string& text) override { std::fprintf(stderr, "information: %s\n", text.c_str()); }
    bool confirm(const std::string& text) override
    {
        std::fprintf(stderr, "question (answered Yes): %s\n", text.c_str());
        return true;
    }
    bool okCancel(const std::string& text) override
    {
        std::fprintf(stderr, "question (answered OK): %s\n", text.c_str());
        return true;
    }
    void beep(kv::Beep) override {}
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVFree"));

    std::string configArgument;
    QString screenshotPath;
    double screenshotAfter = 3.0;
    bool showAis = false;
    double quitAfter = -1.0;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) {
            screenshotPath = args[++i];
        } else if (args[i] == QLatin1String("--after") && i + 1 < args.size()) {
            screenshotAfter = args[++i].toDouble();
        } else if (args[i] == QLatin1String("--quit-after") && i + 1 < args.size()) {
            quitAfter = args[++i].toDouble();
        } else if (args[i] == QLatin1String("--show-ais")) {
            showAis = true;
        } else if (configArgument.empty() && !args[i].startsWith(QLatin1String("--"))) {
            configArgument = args[i].toLatin1().toStdString();
        } else {
            std::fprintf(stderr, "usage: kvfree [config-file] [--screenshot FILE.png --after SECONDS [--show-ais]] "
                                 "[--quit-after SECONDS]\n");
            return 2;
        }
    }

    kvui::QtPrompter qtPrompter;
    TerminalPrompter terminalPrompter;
    // A scripted run (screenshot, timed quit) must not stop at a message box: its messages go to
    // the terminal.
    const bool scripted = !screenshotPath.isEmpty() || quitAfter >= 0.0;
    kv::Prompter& prompter = scripted ? static_cast<kv::Prompter&>(terminalPrompter) : static_cast<kv::Prompter&>(qtPrompter);
    kv::SystemClock clock;
    kv::QtSerialPort serial(QDir::currentPath().toStdString());
    kv::QtSoundPlayer sound;
    kvui::QtLauncher launcher;
    kvui::QtClipboard clipboard;
    kvui::QtPrinter printer;
    kv::Platform platform{prompter, clock, serial, sound, launcher, clipboard, printer};

    kv::ProgramState state;
    kvui::MainWindow window(state, platform);
    qtPrompter.setParent(&window);
    if (scripted) {
        window.aboutBox = [] {};
    }
    window.start(QDir::currentPath().toStdString(), configArgument);
    window.showMaximized();
    if (!screenshotPath.isEmpty()) {
        // Without a window manager "maximised" means nothing: take the whole screen.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            window.setGeometry(screen->availableGeometry());
        }
    }
    if (showAis) {
        // The AIS view exists after the first tick.
        QTimer::singleShot(1500, &window, [&window] { window.showAisTargets(); });
    }

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(static_cast<int>(screenshotAfter * 1000), &window, [&window, screenshotPath] {
            const bool saved = window.grab().save(screenshotPath);
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot saved to" : "could not save",
                         screenshotPath.toLocal8Bit().constData());
            QApplication::exit(saved ? 0 : 1);
        });
    }
    if (quitAfter >= 0.0) {
        QTimer::singleShot(static_cast<int>(quitAfter * 1000), &window, [&window] { window.close(); });
    }
    return QApplication::exec();
}
