// kvfree [config-file] [--screenshot FILE.png --after SECONDS]
//
// Runs in the current working folder (charts/, routes/, tides/, logs/ and kelvw.cfg live there).

#include "core/Lifecycle.h"
#include "ui/MainWindow.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVFree"));

    std::string configArgument;
    QString screenshotPath;
    double screenshotAfter = 3.0;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size()) {
            screenshotPath = args[++i];
        } else if (args[i] == QLatin1String("--after") && i + 1 < args.size()) {
            screenshotAfter = args[++i].toDouble();
        } else if (configArgument.empty() && !args[i].startsWith(QLatin1String("--"))) {
            configArgument = args[i].toLatin1().toStdString();
        } else {
            std::fprintf(stderr, "usage: kvfree [config-file] [--screenshot FILE.png --after SECONDS]\n");
            return 2;
        }
    }

    kv::ProgramState state;
    kv::InitialiseProgram(state, QDir::currentPath().toStdString(), configArgument);

    kvui::QtPrompter prompter;
    kvui::MainWindow window(state, prompter);
    prompter.setParent(&window);
    window.show();

    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(static_cast<int>(screenshotAfter * 1000), &window, [&window, screenshotPath] {
            const bool saved = window.grab().save(screenshotPath);
            std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot saved to" : "could not save",
                         screenshotPath.toLocal8Bit().constData());
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
