// kvshot WORKDIR OUTDIR [SCENE...]: the pictures of the program for the documentation, one named
// scene after another (every scene when none is named). Each scene works in a fresh copy of
// WORKDIR (the demo folder), so that the scenes do not see each other's files and WORKDIR itself
// is never written. kvshot --list names the scenes with the pictures each one writes.
// docs/make-pictures.sh runs it under Xvfb.

#include "Scenes.h"

#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kvshot {

void OpenMainWindow(kvui::MainWindow& window, const std::string& work, int width, int height)
{
    window.start(work, "");
    HoldSecondTimer(window);
    window.resize(width, height);
    window.show();
    window.secsTick();
    QApplication::processEvents();
}

std::vector<Scene> AllScenes()
{
    return {
        { QStringLiteral("preferences"), PreferencesPictures(), &PreferencesScene },
        { QStringLiteral("timing"), { QStringLiteral("timing-dialog.png") }, &TimingScene },
        { QStringLiteral("waypoint-dialog"), { QStringLiteral("waypoint-dialog.png") }, &WaypointDialogScene },
        { QStringLiteral("help"), { QStringLiteral("help-window.png") }, &HelpScene },
        { QStringLiteral("remarks"), { QStringLiteral("remarks-document.png") }, &RemarksScene },
        { QStringLiteral("ais-encounter"),
            { QStringLiteral("ais-encounter.png"), QStringLiteral("ais-target-list.png"),
                QStringLiteral("ais-new-view-tile.png"), QStringLiteral("ais-clear-all-targets.png") },
            &AisEncounterScene },
        { QStringLiteral("ais-glance"),
            { QStringLiteral("ais-target-popup.png"), QStringLiteral("ais-night-palette.png") }, &AisGlanceScene },
        { QStringLiteral("view-options"),
            { QStringLiteral("view-options-dialog.png"), QStringLiteral("survey-log-plot.png") }, &ViewOptionsScene },
        { QStringLiteral("chart-edit"),
            { QStringLiteral("survey-grid-dialog.png"), QStringLiteral("chart-edit-result.png"),
                QStringLiteral("edit-menu.png") },
            &ChartEditScene },
        { QStringLiteral("route-drag"), { QStringLiteral("route-waypoint-drag.png") }, &RouteDragScene },
        { QStringLiteral("raster-viewer"), { QStringLiteral("raster-viewer.png") }, &RasterViewerScene },
        { QStringLiteral("anchor-watch"), { QStringLiteral("anchor-watch.png") }, &AnchorWatchScene },
    };
}

} // namespace kvshot

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: kvshot WORKDIR OUTDIR [SCENE...]\n       kvshot --list\n");
    return 2;
}

// A fresh copy of the working folder for one scene.
bool CopyFolder(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::copy(from.toStdString(), to.toStdString(), std::filesystem::copy_options::recursive, error);
    if (error) {
        std::fprintf(stderr, "kvshot: cannot copy %s: %s\n", qPrintable(from), error.message().c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<kvshot::Scene> scenes = kvshot::AllScenes();
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    // The list needs no display.
    if (args.size() == 1 && args[0] == QLatin1String("--list")) {
        for (const kvshot::Scene& scene : scenes) {
            std::printf("%s\t%s\n", qPrintable(scene.name), qPrintable(scene.pictures.join(QLatin1Char(' '))));
        }
        return 0;
    }
    if (args.size() < 2) {
        return Usage();
    }
    QApplication app(argc, argv);
    const QString work = QDir(args[0]).absolutePath();
    const QString out = QDir(args[1]).absolutePath() + QStringLiteral("/");
    if (!QDir(work).exists()) {
        std::fprintf(stderr, "kvshot: no folder %s\n", qPrintable(work));
        return 2;
    }
    // The scenes named, in the order given; every scene when none is.
    std::vector<const kvshot::Scene*> chosen;
    for (const QString& name : args.mid(2)) {
        const auto found = std::find_if(scenes.begin(), scenes.end(), [&](const auto& s) { return s.name == name; });
        if (found == scenes.end()) {
            std::fprintf(stderr, "kvshot: no scene \"%s\" (kvshot --list names them)\n", qPrintable(name));
            return 2;
        }
        chosen.push_back(&*found);
    }
    if (chosen.empty()) {
        for (const kvshot::Scene& scene : scenes) {
            chosen.push_back(&scene);
        }
    }
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "kvshot: cannot make %s\n", qPrintable(out));
        return 2;
    }

    int failed = 0;
    for (const kvshot::Scene* scene : chosen) {
        QTemporaryDir copy;
        const QString folder = copy.path() + QStringLiteral("/work");
        bool ok = copy.isValid() && CopyFolder(work, folder);
        ok = ok && scene->run(kvshot::Folders { folder.toStdString() + "/", out });
        std::printf("%s: %s\n", qPrintable(scene->name), ok ? "done" : "FAILED");
        std::fflush(stdout);
        failed += ok ? 0 : 1;
    }
    return failed == 0 ? 0 : 1;
}
