// kvfree [--workdir DIR] [config-file] [--screenshot FILE.png --after SECONDS [--show-ais]]
//        [--quit-after SECONDS]   (kvfree --help tells the rest)
//
// --quit-after closes the window through the ordinary quit sequence, the question answered Yes
// on the terminal: a scripted run that starts, shows its chart and stops as a user would.
//
// Runs in its working folder (charts/, routes/, tides/, logs/ and kelvw.cfg live there), chosen
// by kv::ChooseWorkingFolder and made the current folder.

#include "app/CommandLine.h"
#include "app/WorkingFolder.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/qt/QtNmeaServer.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/qt/QtSoundPlayer.h"
#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/QtPrompter.h"
#include "ui/ViewWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    void beep(kv::Beep) override { }
};
std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Where the demo data may lie: beside an installed program (share/kvfree/demo), in the
// installation prefix it was built for, and in the source tree of a build that is not installed.
std::vector<std::string> DemoFolders()
{
    return { QCoreApplication::applicationDirPath().toStdString() + "/../share/kvfree/demo", KV_INSTALLED_DEMO_DIR,
        KV_SOURCE_DEMO_DIR };
}

int UsageError(const std::string& text)
{
    std::fprintf(stderr, "kvfree: %s\nTry 'kvfree --help' for more information.\n", text.c_str());
    return 2;
}
} // namespace

int main(int argc, char** argv)
{
    // --help, --version and usage errors are answered before Qt looks for a display.
    const std::vector<std::string> rawArgs(argv + 1, argv + argc);
    kv::CommandLine options = kv::ParseCommandLine(rawArgs, true);
    if (!options.error.empty()) {
        return UsageError(options.error);
    }
    kv::WorkingFolderInputs folderInputs { QDir::currentPath().toStdString(), options.workdir, options.configArgument,
        Env("XDG_DATA_HOME"), Env("HOME").empty() ? QDir::homePath().toStdString() : Env("HOME") };
    const kv::WorkingFolderChoice folder = kv::ChooseWorkingFolder(folderInputs);
    if (options.help) {
        std::fputs(kv::HelpText(folder).c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::fputs(kv::VersionText().c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KVFree"));
    QApplication::setApplicationVersion(QString::fromStdString(kv::ProgramVersion()));
    QGuiApplication::setDesktopFileName(QStringLiteral("kvfree"));
    // What Qt did not take of its own options is ours, and must be known.
    std::vector<std::string> args;
    for (const QString& a : QApplication::arguments().mid(1)) {
        args.push_back(a.toStdString());
    }
    options = kv::ParseCommandLine(args, false);
    if (!options.error.empty()) {
        return UsageError(options.error);
    }
    const QString screenshotPath = QString::fromStdString(options.screenshot);
    const double quitAfter = options.quitAfter;

    kvui::QtPrompter qtPrompter;
    TerminalPrompter terminalPrompter;
    // A scripted run (screenshot, timed quit) must not stop at a message box: its messages go to
    // the terminal.
    const bool scripted = !screenshotPath.isEmpty() || quitAfter >= 0.0;
    kv::Prompter& prompter
        = scripted ? static_cast<kv::Prompter&>(terminalPrompter) : static_cast<kv::Prompter&>(qtPrompter);

    const kv::WorkingFolderSetup setup = kv::PrepareWorkingFolder(folder, kv::FindDemoData(DemoFolders()));
    if (!setup.ok) {
        prompter.error(setup.message);
        return 1;
    }
    // Relative names (the configuration argument, a screenshot file, dev/com<n>) are taken from
    // the working folder from here on.
    const QString screenshotFile = screenshotPath.isEmpty() ? QString() : QFileInfo(screenshotPath).absoluteFilePath();
    QDir::setCurrent(QString::fromStdString(folder.folder));
    const std::string workingFolder = QDir::currentPath().toStdString();

    kv::SystemClock clock;
    kv::QtSerialPort serial(workingFolder);
    kv::QtSoundPlayer sound;
    kvui::QtLauncher launcher;
    kvui::QtClipboard clipboard;
    kvui::QtPrinter printer;
    kv::Platform platform { prompter, clock, serial, sound, launcher, clipboard, printer };

    kv::ProgramState state;
    kvui::MainWindow window(state, platform);
    qtPrompter.setParent(&window);
    if (scripted) {
        window.aboutBox = [] {};
    }
    window.start(workingFolder, options.configArgument);
    // The NMEA server for the boat's other devices, when kvfree.ini asks for one.
    kv::QtNmeaServer nmeaServer;
    if (state.extra.ServeNmeaPort > 0) {
        nmeaServer.onStatus = [&state, &window](const std::string& text) {
            state.display.StatusLine = text;
            window.refresh();
        };
        if (nmeaServer.listen(state.extra.ServeNmeaAddress, static_cast<std::uint16_t>(state.extra.ServeNmeaPort))) {
            window.controller().setSentenceRelay(&nmeaServer);
        } else {
            state.display.StatusLine = nmeaServer.error();
            window.refresh();
        }
    }
    window.showMaximized();
    if (!screenshotPath.isEmpty()) {
        // Without a window manager "maximised" means nothing: take the whole screen.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            window.setGeometry(screen->availableGeometry());
        }
    }
    if (options.showAis) {
        // The AIS view exists after the first tick.
        QTimer::singleShot(1500, &window, [&window] { window.showAisTargets(); });
    }

    if (options.rings > 0) {
        QTimer::singleShot(1800, &window, [&window, presses = options.rings] { window.pressRangeRings(presses); });
    }
    if (options.courseUp) {
        QTimer::singleShot(1600, &window, [&window] {
            if (window.view(0) != nullptr) {
                if (QAction* up = window.view(0)->popupMenu()->findChild<QAction*>(QStringLiteral("OrientCourseUp"))) {
                    up->trigger();
                }
            }
        });
    }
    if (!options.printPdf.empty()) {
        // The print path of the Print command with the dialog answered: a PDF on white paper.
        const QString pdf = QFileInfo(QString::fromStdString(options.printPdf)).absoluteFilePath();
        const int at = std::max(0, static_cast<int>(options.screenshotAfter * 1000) - 500);
        QTimer::singleShot(at, &window, [&window, &printer, pdf] {
            printer.printer().setOutputFormat(QPrinter::PdfFormat);
            printer.printer().setOutputFileName(pdf);
            printer.printDialog = [](QPrinter&, bool& whitePaper) {
                whitePaper = true;
                return true;
            };
            if (QAction* print = window.command(QStringLiteral("Print1"))) {
                print->trigger();
            }
            std::printf("printed to %s\n", pdf.toLocal8Bit().constData());
        });
    }
    if (!screenshotPath.isEmpty()) {
        QTimer::singleShot(
            static_cast<int>(options.screenshotAfter * 1000), &window, [&window, screenshotPath = screenshotFile] {
                const bool saved = window.grab().save(screenshotPath);
                std::fprintf(saved ? stdout : stderr, "%s %s\n", saved ? "screenshot saved to" : "could not save",
                    screenshotPath.toLocal8Bit().constData());
                QApplication::exit(saved ? 0 : 1);
            });
    }
    if (setup.created) {
        // Told once: the next start finds the folder made. A scripted run's prompter writes
        // it to the terminal already.
        if (!scripted) {
            std::printf("%s\n", setup.message.c_str());
        }
        // Shown after the About box of the first tick, so that the box does not cover it.
        window.setFirstStartNote(setup.message);
    }
    if (quitAfter >= 0.0) {
        QTimer::singleShot(static_cast<int>(quitAfter * 1000), &window, [&window] { window.close(); });
    }
    const int code = QApplication::exec();
    window.controller().setSentenceRelay(nullptr);
    return code;
}
